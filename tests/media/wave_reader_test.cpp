#include <gtest/gtest.h>

#include "media/wave_reader.h"
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
}

TEST_F(WaveReader, SineFixtureIsReadBack) {
    const QString path = dir.File("sine.wav");
    ASSERT_TRUE(test::WriteSineWave(path, 22050, 1, 8, 440, 500));
    const WaveInfo w = ReadWaveInfo(path);
    EXPECT_EQ(w.Valid, 1);
    EXPECT_EQ(w.FormatCode, 0);
    EXPECT_EQ(w.FrameCount, 11025);
    EXPECT_EQ(w.DurationMs, 500);
}

}  // namespace
}  // namespace rilumo
