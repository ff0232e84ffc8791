#include <gtest/gtest.h>

#include <sys/stat.h>

#include "media/mpeg_info.h"
#include "playback/media_summary.h"
#include "support/time_format.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::PlaybackDir;

QStringList linesOf(const MediaSummary& s) { return s.Text.split(QStringLiteral("\r\n")); }

TEST(MediaSummary, PcmWavesAreDescribedFromTheirHeaders) {
    PlaybackDir dir;
    const QString wav = dir.File("tone.wav");
    ASSERT_TRUE(test::WriteSineWave(wav, 44100, 2, 16, 440, 1500));
    const MediaSummary s = BuildMediaSummary(wav);
    EXPECT_EQ(s.Found, 1);
    EXPECT_EQ(s.DurationMs, 1500);
    EXPECT_EQ(linesOf(s), QStringList({wav, ShellTypeName(wav), "wav(44100Hz/16bit/Stereo)", "000'01.500"}));
    EXPECT_FALSE(ShellTypeName(wav).isEmpty());

    const QString six = dir.File("six.wav");
    ASSERT_TRUE(test::WriteSineWave(six, 48000, 6, 24, 440, 200));
    EXPECT_EQ(linesOf(BuildMediaSummary(six)).value(2), "wav(48000Hz/24bit/6ch)");
    const QString mono = dir.File("mono.wav");
    ASSERT_TRUE(test::WriteSineWave(mono, 8000, 1, 8, 440, 200));
    EXPECT_EQ(linesOf(BuildMediaSummary(mono)).value(2), "wav(8000Hz/8bit/Mono)");
}

TEST(MediaSummary, AFloatWaveAsksATemporaryPlayer) {
    PlaybackDir dir;
    const QString wav = dir.File("float.wav");
    const QByteArray silence(44100 * 2 * 4, '\0');
    ASSERT_TRUE(test::WriteRiffFile(wav, {{"fmt ", test::FmtBody(3, 2, 44100, 32)}, {"data", silence}}));
    const MediaSummary s = BuildMediaSummary(wav);
    const QString type = ShellTypeName(wav);
    EXPECT_EQ(s.Found, 1);
    EXPECT_NEAR(s.DurationMs, 1000, 50);
    EXPECT_EQ(linesOf(s).mid(0, 3), QStringList({wav, type, type.trimmed()}));
}

TEST(MediaSummary, AWaveHoldingMp3IsDescribedByTheMpegParser) {
    PlaybackDir dir;
    const QString wav = dir.File("mp3.wav");
    const test::MpegFrameSpec frame;
    ASSERT_TRUE(test::WriteRiffFile(wav, {{"fmt ", test::FmtBody(85, 2, 44100, 0)},
                                          {"data", test::MpegFrames(frame, 40)}}));
    MpegAudioInfo info;
    ASSERT_EQ(ReadMpegInfo(wav, info), 1);
    const MediaSummary s = BuildMediaSummary(wav);
    EXPECT_EQ(s.Found, 1);
    EXPECT_EQ(s.DurationMs, info.DurationMs);
    EXPECT_EQ(linesOf(s).value(2), info.LongText.trimmed());
}

TEST(MediaSummary, AnMp3WithoutFramesFallsBackToThePlayer) {
    PlaybackDir dir;
    const QString mp3 = dir.File("zero.mp3");
    ASSERT_TRUE(test::WriteFile(mp3, QByteArray(4000, '\0')));
    const MediaSummary s = BuildMediaSummary(mp3);
    const QString type = ShellTypeName(mp3);
    EXPECT_EQ(s.Found, 1);
    EXPECT_EQ(s.DurationMs, 0);
    EXPECT_EQ(linesOf(s), QStringList({mp3, type, type.trimmed(), "000'00.000"}));
}

TEST(MediaSummary, OtherTypesGiveThreeLinesAndMissingFilesNothing) {
    PlaybackDir dir;
    const QString odd = dir.File("data.xyz");
    ASSERT_TRUE(test::WriteFile(odd, "hello"));
    const MediaSummary s = BuildMediaSummary(odd);
    EXPECT_EQ(s.Found, 0);
    EXPECT_EQ(linesOf(s), QStringList({odd, ShellTypeName(odd), "000'00.000"}));
    const MediaSummary none = BuildMediaSummary(dir.File("gone.wav"));
    EXPECT_EQ(none.Found, 0);
    EXPECT_EQ(none.DurationMs, 0);
    EXPECT_TRUE(none.Text.isEmpty());
}

// No header reader opens a pipe: nothing would ever write to it.
TEST(MediaSummary, ANamedPipeUnderAnAudioNameIsSummarisedLikeAnUnreadableFile) {
    PlaybackDir dir;
    for (const QString& name : {QStringLiteral("x.wav"), QStringLiteral("x.flac"), QStringLiteral("x.mp3")}) {
        const QString fifo = dir.File(name);
        ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        const MediaSummary s = BuildMediaSummary(fifo);
        const QString type = ShellTypeName(fifo);
        EXPECT_EQ(s.Found, 1);
        EXPECT_EQ(linesOf(s), QStringList({fifo, type, type.trimmed(), "000'00.000"}));
        EXPECT_TRUE(dir.ErrorLines().contains("FileName " + fifo + "#not a file"));
    }
}

TEST(MediaSummary, WindowsMediaTakesItsLengthFromAGraph) {
    PlaybackDir dir;
    const QString wma = dir.Encoded("wma", "tone.wma", 1200);
    if (wma.isEmpty()) GTEST_SKIP() << "no WMA encoder";
    const MediaSummary s = BuildMediaSummary(wma);
    EXPECT_EQ(s.Found, 1);
    EXPECT_NEAR(s.DurationMs, 1200, 120);
    EXPECT_EQ(linesOf(s).value(2), ShellTypeName(wma).trimmed());
}

}  // namespace
}  // namespace rilumo
