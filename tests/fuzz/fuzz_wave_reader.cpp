#include "media/wave_reader.h"
#include "tests/fuzz/fuzz_input.h"

using namespace rilumo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path = fuzz::InputPath("wav");
    fuzz::WriteInput(path, data, size);

    const WaveInfo w = ReadWaveInfo(path);
    if (w.Valid) {
        fuzz::Check(w.FileSize == size);
        fuzz::Check(w.DataOffset >= 20 && std::uint64_t(w.DataOffset) <= size);
        fuzz::Check(w.SampleRate != 0 && w.FrameCount >= 0 && w.BytesPerFrame > 0);
        fuzz::Check(w.FormatCode >= 0 && w.FormatCode <= 9);
    }
    const QString type = GetFileType(path);
    fuzz::Check(type == "wav" || type == "mp2" || type == "mp3" || type == "wmariff" || type.isEmpty());
    return 0;
}
