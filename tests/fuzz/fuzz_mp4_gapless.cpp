#include "media/mp4_gapless.h"
#include "tests/fuzz/fuzz_input.h"

using namespace rilumo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path = fuzz::InputPath("m4a");
    fuzz::WriteInput(path, data, size);
    const GaplessTrim t = ReadMp4GaplessTrim(path);
    fuzz::Check(t.Skip >= 0 && t.Skip <= 65536 && t.Keep >= 0);
    fuzz::Check(t.Valid() || t.Keep == 0);
    return 0;
}
