#include <gtest/gtest.h>

#include "media/wave_reader.h"
#include "support/error_trap.h"
#include "support/globals.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

using test::FmtBody;
using test::RiffChunk;

class WaveReader : public ::testing::Test {
protected:
    test::TempDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.File(name);
        EXPECT_TRUE(test::WriteFile(path, bytes));
        return path;
    }
    QString riff(const QString& name, const QList<RiffChunk>& chunks) {
        return write(name, test::RiffFile(chunks));
    }
};

TEST_F(WaveReader, OneSecondOfCdAudio) {
    const QString path = riff("cd.wav", {{"fmt ", FmtBody(1, 2, 44100, 16)},
                                         {"data", QByteArray(176400, '\0')}});
    const WaveInfo w = ReadWaveInfo(path);
    EXPECT_EQ(w.Valid, 1);
    EXPECT_EQ(w.FrameCount, 44100);
    EXPECT_EQ(w.DurationMs, 1000);
    EXPECT_EQ(w.SampleRate, 44100);
    EXPECT_EQ(w.Channels, 2);
    EXPECT_EQ(w.BitsPerSample, 16);
    EXPECT_EQ(w.BytesPerFrame, 4);
    EXPECT_EQ(w.FormatCode, 3);
    EXPECT_EQ(w.FormatTag, 1);
    EXPECT_EQ(w.DataOffset, 44);
    EXPECT_EQ(w.DataSize, 176400u);
    EXPECT_EQ(w.FileSize, 44u + 176400u);
    EXPECT_EQ(GetFileType(path), "wav");
    WaveInfo filled;
    EXPECT_EQ(ReadWaveInfo(path, filled), 1);
    EXPECT_EQ(filled.DataOffset, 44);
}

TEST_F(WaveReader, ChunkOrders) {
    const QByteArray fmt = FmtBody(1, 2, 48000, 16);
    const QByteArray data(19200, '\x11');
    const QByteArray list = QByteArrayLiteral("INFOINAM\x05\0\0\0tone\0");
    struct Case { const char* name; QList<RiffChunk> chunks; int dataOffset; };
    const Case cases[] = {
        {"list first", {{"LIST", list}, {"fmt ", fmt}, {"data", data}}, 12 + 8 + 18 + 8 + 16 + 8},
        {"data first", {{"data", data}, {"fmt ", fmt}}, 20},
        {"fact between", {{"fmt ", fmt}, {"fact", QByteArrayLiteral("\x10\0\0\0")}, {"data", data}}, 12 + 24 + 12 + 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WaveInfo w = ReadWaveInfo(riff("o.wav", c.chunks));
        EXPECT_EQ(w.Valid, 1);
        EXPECT_EQ(w.FormatCode, 3);
        EXPECT_EQ(w.DataOffset, c.dataOffset);
        EXPECT_EQ(w.FrameCount, 4800);
        EXPECT_EQ(w.DurationMs, 100);
    }
}

TEST_F(WaveReader, OddChunkIsFollowedByPadByte) {
    const QList<RiffChunk> padded = {{"junk", "abc"}, {"fmt ", FmtBody(1, 1, 8000, 8)},
                                     {"data", QByteArray(8001, '\x80')}};
    const WaveInfo w = ReadWaveInfo(riff("p.wav", padded));
    EXPECT_EQ(w.Valid, 1);
    EXPECT_EQ(w.DataOffset, 12 + 12 + 24 + 8);
    EXPECT_EQ(w.DurationMs, 1000);  // 8001 frames at 8 kHz: 1000.125 ms

    // Without the pad byte the walk lands one byte off and finds nothing.
    QList<RiffChunk> unpadded = padded;
    unpadded[0].pad = false;
    const WaveInfo u = ReadWaveInfo(riff("u.wav", unpadded));
    EXPECT_EQ(u.Valid, 0);
    EXPECT_EQ(u.FormatTag, 0);
}

TEST_F(WaveReader, FormatCodes) {
    struct Row { int channels, bits, code; };
    const Row rows[] = {{1, 8, 0}, {2, 8, 1}, {1, 16, 2}, {2, 16, 3}, {1, 24, 4},
                        {2, 24, 5}, {6, 16, 6}, {8, 16, 7}, {6, 24, 8}, {8, 24, 9}};
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.channels << "ch " << r.bits << "bit");
        const int bytesPerFrame = r.channels * r.bits / 8;
        const WaveInfo w = ReadWaveInfo(riff("f.wav", {{"fmt ", FmtBody(1, r.channels, 32000, r.bits)},
                                                       {"data", QByteArray(bytesPerFrame * 16000, '\0')}}));
        EXPECT_EQ(w.Valid, 1);
        EXPECT_EQ(w.FormatCode, r.code);
        EXPECT_EQ(w.BytesPerFrame, bytesPerFrame);
        EXPECT_EQ(w.FrameCount, 16000);
        EXPECT_EQ(w.DurationMs, 500);
    }
}

TEST_F(WaveReader, UnsupportedFormatStopsAtTheFormatChunk) {
    const QString path = riff("float.wav", {{"fmt ", FmtBody(3, 2, 44100, 32)},
                                            {"data", QByteArray(800, '\0')}});
    const WaveInfo w = ReadWaveInfo(path);
    EXPECT_EQ(w.Valid, 0);
    EXPECT_EQ(w.FormatTag, 3);
    EXPECT_EQ(w.BitsPerSample, 32);
    EXPECT_EQ(w.BytesPerFrame, 8);
    EXPECT_EQ(w.DataOffset, 0);
    EXPECT_EQ(GetFileType(path), "wav");  // from the extension
    // Odd combinations round the frame size to even: 1 x 12 bits -> 2 bytes.
    EXPECT_EQ(ReadWaveInfo(riff("x.wav", {{"fmt ", FmtBody(1, 1, 8000, 12)}})).BytesPerFrame, 2);
    EXPECT_EQ(ReadWaveInfo(riff("x.wav", {{"fmt ", FmtBody(1, 1, 8000, 20)}})).BytesPerFrame, 2);
}

TEST_F(WaveReader, ExtensibleTagIsSignExtended) {
    const QByteArray ext = QByteArray("\x16\0\x10\0\x03\0\0\0", 8) + QByteArray(16, '\x01');
    const QString path = riff("ext.WAV", {{"fmt ", FmtBody(0xFFFE, 2, 44100, 16, ext)},
                                          {"data", QByteArray(4000, '\0')}});
    const WaveInfo w = ReadWaveInfo(path);
    EXPECT_EQ(w.FormatTag, -2);
    EXPECT_EQ(w.Valid, 1);
    EXPECT_EQ(w.DataOffset, 12 + 8 + 40 + 8);
    EXPECT_EQ(GetFileType(path), "wav");
}

TEST_F(WaveReader, FileTypeByTagThenExtension) {
    struct Case { int tag; const char* name; const char* type; };
    const Case cases[] = {{1, "a.mp3", "wav"},     {80, "a.wav", "mp2"},   {85, "a.wav", "mp3"},
                          {352, "a.wav", "wmariff"}, {353, "a.wma", "wmariff"}, {2, "a.WaV", "wav"},
                          {17, "a.Adpcm", "adpcm"}, {17, "noext", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // MPEG in RIFF is typed even though the walk stops there (no table entry).
        const QString path = riff(c.name, {{"fmt ", FmtBody(c.tag, 2, 44100, c.tag == 1 ? 16 : 0)},
                                           {"data", QByteArray(100, '\0')}});
        EXPECT_EQ(GetFileType(path), c.type);
    }
    const QString mp3 = write("song.MP3", test::MpegFrames({}, 10));
    EXPECT_EQ(ReadWaveInfo(mp3).Valid, 0);
    EXPECT_EQ(ReadWaveInfo(mp3).FormatTag, 0);
    EXPECT_EQ(GetFileType(mp3), "mp3");
}

TEST_F(WaveReader, RealEncoderOutput) {
    if (!test::HasGstElement("wavenc")) GTEST_SKIP() << "wavenc missing";
    const QString source = dir.File("src.wav");
    ASSERT_TRUE(test::WriteSineWave(source, 22050, 1, 16, 330, 1500));
    const QString out = dir.File("out.wav");
    ASSERT_TRUE(test::EncodeWithGStreamer(
        source, out, "audio/x-raw,format=S24LE,channels=2,rate=48000 ! taginject tags=title=tone ! wavenc"));
    const WaveInfo w = ReadWaveInfo(out);
    EXPECT_EQ(w.Valid, 1);
    EXPECT_EQ(w.FormatCode, 5);
    EXPECT_EQ(w.SampleRate, 48000);
    EXPECT_NEAR(w.DurationMs, 1500, 2);
    EXPECT_EQ(w.DataSize, std::uint64_t(w.FrameCount) * 6);
    EXPECT_EQ(w.FileSize, std::uint64_t(test::ReadFile(out).size()));
}

TEST_F(WaveReader, HostileFiles) {
    EXPECT_EQ(ReadWaveInfo(dir.File("missing.wav")).Valid, 0);
    EXPECT_EQ(GetFileType(dir.File("missing.wav")), "wav");
    EXPECT_EQ(ReadWaveInfo(dir.Path()).Valid, 0);
    EXPECT_EQ(ReadWaveInfo(write("empty.wav", {})).Valid, 0);
    EXPECT_EQ(GetFileType(write("empty.aif", {})), "aif");

    // A chunk size of 0xFFFFFFFF jumps past the end instead of wrapping back.
    const WaveInfo huge = ReadWaveInfo(riff("h.wav", {{"LIST", "ab", 0xFFFFFFFFll},
                                                      {"fmt ", FmtBody(1, 2, 44100, 16)},
                                                      {"data", QByteArray(16, '\0')}}));
    EXPECT_EQ(huge.Valid, 0);
    EXPECT_EQ(huge.FormatTag, 0);
    // Sizes that would move backwards as signed numbers still move forwards.
    EXPECT_EQ(ReadWaveInfo(riff("b.wav", {{"LIST", {}, 0xFFFFFFF8ll}})).Valid, 0);

    // A format chunk cut short: what is missing reads as zero.
    QByteArray cut = test::RiffFile({{"fmt ", FmtBody(1, 2, 44100, 16)}}).left(12 + 8 + 5);
    const WaveInfo c = ReadWaveInfo(write("cut.wav", cut));
    EXPECT_EQ(c.Valid, 0);
    EXPECT_EQ(c.FormatTag, 1);
    EXPECT_EQ(c.Channels, 2);
    EXPECT_EQ(c.SampleRate, 0x44);

    // A data chunk whose size field is cut off by the end of the file.
    QByteArray noSize = test::RiffFile({{"fmt ", FmtBody(1, 2, 44100, 16)}});
    noSize += QByteArray("data\x10\x10", 6);
    const WaveInfo n = ReadWaveInfo(write("n.wav", noSize));
    EXPECT_EQ(n.Valid, 0);
    EXPECT_EQ(n.FormatCode, 3);

    // A data size beyond the file is reported as written; frames are capped.
    const WaveInfo big = ReadWaveInfo(riff("d.wav", {{"fmt ", FmtBody(1, 1, 44100, 8)},
                                                     {"data", {}, 0xFFFFFFFFll}}));
    EXPECT_EQ(big.Valid, 1);
    EXPECT_EQ(big.DataSize, 0xFFFFFFFFu);
    EXPECT_EQ(big.FrameCount, 2147483647);
    EXPECT_EQ(big.DurationMs, 48695774);
}

TEST_F(WaveReader, ArithmeticFailureEndsTheWalkOrPropagates) {
    const QString zeroRate = riff("z.wav", {{"fmt ", FmtBody(1, 2, 0, 16)}, {"data", QByteArray(4, 0)}});
    const WaveInfo w = ReadWaveInfo(zeroRate);
    EXPECT_EQ(w.Valid, 0);
    EXPECT_EQ(w.FrameCount, 1);
    EXPECT_EQ(GetFileType(zeroRate), "");
    // Too long to count in milliseconds.
    const QString slow = riff("s.wav", {{"fmt ", FmtBody(1, 1, 1, 8)}, {"data", {}, 0x7FFFFFFFll}});
    EXPECT_EQ(ReadWaveInfo(slow).Valid, 0);

    globals::ErrorCatch = 1;
    EXPECT_THROW(ReadWaveInfo(zeroRate), Failure);
    EXPECT_THROW(GetFileType(zeroRate), Failure);
    globals::ErrorCatch = 0;
}

}  // namespace
}  // namespace rilumo
