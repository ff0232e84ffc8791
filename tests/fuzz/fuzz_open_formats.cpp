#include "media/open_formats.h"
#include "tests/fuzz/fuzz_input.h"

using namespace rilumo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path = fuzz::InputPath("flac");
    fuzz::WriteInput(path, data, size);

    const OpenAudioInfo i = ReadOpenAudioInfo(path);
    if (i.Valid) {
        fuzz::Check(i.SampleRate > 0 && i.Channels > 0 && i.DurationMs >= 0);
        fuzz::Check(i.LongText.startsWith(i.Codec + u'('));
    } else {
        fuzz::Check(i.LongText.isEmpty() && i.DurationMs == 0);
    }
    return 0;
}
