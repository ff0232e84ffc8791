#include "media/mpeg_info.h"
#include "tests/fuzz/fuzz_input.h"

using namespace rilumo;

namespace {

void checkResult(const MpegAudioInfo& m, std::size_t size) {
    fuzz::Check(m.FileSize == std::int32_t(size));
    fuzz::Check(m.AudioStart >= 1 && m.AudioStart <= m.FileSize);
    fuzz::Check(m.AudioSize > 0 && m.AudioEnd == m.AudioStart + m.AudioSize - 1);
    fuzz::Check(m.AudioEnd <= m.FileSize);
    fuzz::Check(m.Layer >= 1 && m.Layer <= 3 && m.Bitrate >= 0 && m.DurationMs >= 0);
    fuzz::Check(m.Channels == (m.ChannelMode == 3 ? 1 : 2));
    fuzz::Check(!m.LongText.isEmpty() && m.LongText.size() <= 255 && m.ShortText.size() <= 255);
}

}  // namespace

// The same bytes under two names: the ".mp3" ending changes the search.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString mp3 = fuzz::InputPath("mp3");
    static const QString other = fuzz::InputPath("mp2");
    for (const QString& path : {mp3, other}) {
        fuzz::WriteInput(path, data, size);
        MpegAudioInfo m;
        if (ReadMpegInfo(path, m) == 1) checkResult(m, size);
    }
    return 0;
}
