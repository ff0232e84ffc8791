#include <gtest/gtest.h>

#include <QStringEncoder>

#include "media/cue_sheet.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

using test::TempDir;
using test::WriteFile;

constexpr std::int64_t kSecond = kCueFramesPerSecond;

// The same album in any encoding: its title is written as {title}.
QString albumSheet(const QString& title) {
    return QStringLiteral(
               "REM GENRE \"J-Pop\"\r\n"
               "REM DATE 1998\r\n"
               "REM REPLAYGAIN_ALBUM_GAIN -7.50 dB\r\n"
               "REM REPLAYGAIN_ALBUM_PEAK 0.990000\r\n"
               "PERFORMER \"Band\"\r\n"
               "TITLE \"%1\"\r\n"
               "this line means nothing\r\n"
               "FILE \"album.wav\" WAVE\r\n"
               "  TRACK 01 AUDIO\r\n"
               "    TITLE \"%1 1\"\r\n"
               "    REM REPLAYGAIN_TRACK_GAIN -6.02 dB\r\n"
               "    REM REPLAYGAIN_TRACK_PEAK 0.5\r\n"
               "    INDEX 01 00:00:00\r\n"
               "  TRACK 02 AUDIO\r\n"
               "    TITLE \"Two\"\r\n"
               "    PERFORMER \"Guest\"\r\n"
               "    INDEX 00 01:58:70\r\n"
               "    INDEX 01 02:00:00\r\n"
               "    INDEX 01 02:30:00\r\n"
               "  TRACK 03 MODE1/2352\r\n"
               "    INDEX 01 03:00:00\r\n"
               "  TRACK 04 AUDIO\r\n"
               "    INDEX 01 04:00:7x\r\n"
               "    INDEX 01 04:00:74\r\n")
        .arg(title);
}

class CueSheetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::WriteSineWave(dir.File("album.wav"), 44100, 2, 16, 440, 10)); }
    CueSheet Parse(const QByteArray& bytes) { return ParseCueSheet(bytes, dir.Path()); }
    TempDir dir;
};

TEST_F(CueSheetTest, TracksRunFromTheirStartToTheNextOnesWithThePregapInTheTrackBefore) {
    const CueSheet s = Parse(albumSheet(QStringLiteral("Album")).toUtf8());
    EXPECT_EQ(s.title, u"Album");
    EXPECT_EQ(s.performer, u"Band");
    EXPECT_EQ(s.date, u"1998");
    EXPECT_EQ(s.genre, u"J-Pop");
    EXPECT_TRUE(s.failure.isEmpty());
    // The data track goes; a malformed INDEX line is skipped; the second INDEX 01 of a track counts not.
    ASSERT_EQ(s.tracks.size(), 3u);
    const CueTrack& one = s.tracks[0];
    EXPECT_EQ(one.number, 1);
    EXPECT_EQ(one.file, dir.File("album.wav"));
    EXPECT_EQ(one.title, u"Album 1");
    EXPECT_EQ(one.performer, u"Band");
    EXPECT_EQ(one.start, 0);
    EXPECT_EQ(one.end, 120 * kSecond);  // through track 2's pregap
    EXPECT_EQ(one.gains.trackGain, -6.02);
    EXPECT_EQ(one.gains.trackPeak, 0.5);
    EXPECT_EQ(one.gains.albumGain, -7.5);
    EXPECT_EQ(one.gains.albumPeak, 0.99);
    const CueTrack& two = s.tracks[1];
    EXPECT_EQ(two.performer, u"Guest");
    EXPECT_EQ(two.pregap, 118 * kSecond + 70);
    EXPECT_EQ(two.start, 120 * kSecond);
    EXPECT_EQ(two.end, 240 * kSecond + 74);  // the data track between plays not
    EXPECT_FALSE(two.gains.trackGain.has_value());
    EXPECT_EQ(two.gains.albumGain, -7.5);
    EXPECT_EQ(s.tracks[2].number, 4);
    EXPECT_EQ(s.tracks[2].end, -1);
}

TEST_F(CueSheetTest, EveryEncodingReadsAlike) {
    const QString sheet = albumSheet(QString::fromUtf8("東京"));
    QByteArray cp932 = albumSheet(QStringLiteral("@@")).toLatin1();
    cp932.replace("@@", "\x93\x8C\x8B\x9E");
    QStringEncoder le(QStringEncoder::Utf16LE);
    QStringEncoder be(QStringEncoder::Utf16BE);
    const QByteArray bareLe = le.encode(sheet);
    const QList<QByteArray> encodings = {
        sheet.toUtf8(), "\xEF\xBB\xBF" + sheet.toUtf8(), "\xFF\xFE" + bareLe, "\xFE\xFF" + be.encode(sheet),
        bareLe, cp932,
    };
    for (const QByteArray& bytes : encodings) {
        const CueSheet s = Parse(bytes);
        EXPECT_EQ(s.title, QString::fromUtf8("東京")) << bytes.left(8).toHex().toStdString();
        ASSERT_EQ(s.tracks.size(), 3u);
        EXPECT_EQ(s.tracks[0].title, QString::fromUtf8("東京 1"));
        EXPECT_EQ(s.tracks[1].start, 120 * kSecond);
    }
}

TEST_F(CueSheetTest, SeveralFilesFoundByWindowsPathsStemAndCaseAMissingOneDropsItsTracks) {
    ASSERT_TRUE(test::WriteSineWave(dir.File("disc/Two.wav"), 44100, 2, 16, 440, 10));
    ASSERT_TRUE(WriteFile(dir.File("three.flac"), "fLaC"));
    const QByteArray sheet =
        "FILE \"album.wav\" WAVE\n"
        "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
        "  TRACK 02 AUDIO\n    INDEX 01 00:30:00\n"
        "  TRACK 03 AUDIO\n    INDEX 00 01:00:00\n"
        "FILE \"disc\\two.WAV\" WAVE\n"
        "    INDEX 01 00:00:00\n"
        "  TRACK 04 AUDIO\n    INDEX 01 00:10:00\n"
        "FILE gone away.wav WAVE\n"
        "  TRACK 05 AUDIO\n    INDEX 01 00:00:00\n"
        "FILE \"C:\\rips\\three.wav\" WAVE\n"
        "  TRACK 06 AUDIO\n    INDEX 01 00:00:00\n";
    const CueSheet s = Parse(sheet);
    EXPECT_EQ(s.files, (QStringList{"album.wav", "disc\\two.WAV", "gone away.wav", "C:\\rips\\three.wav"}));
    ASSERT_EQ(s.tracks.size(), 5u);
    EXPECT_EQ(s.tracks[1].end, -1);  // track 3 starts in the next file: its pregap ends this one
    EXPECT_EQ(s.tracks[2].file, dir.File("disc/Two.wav"));
    EXPECT_EQ(s.tracks[2].pregap, -1);
    EXPECT_EQ(s.tracks[2].end, 10 * kSecond);
    EXPECT_EQ(s.tracks[3].number, 4);
    EXPECT_EQ(s.tracks[4].number, 6);
    EXPECT_EQ(s.tracks[4].file, dir.File("three.flac"));
}

TEST_F(CueSheetTest, ASheetWithoutPlayableFilesGivesNoTracksAndSaysWhy) {
    ASSERT_TRUE(WriteFile(dir.File("image.bin"), "data"));
    EXPECT_EQ(Parse("").failure, u"the sheet names no file");
    EXPECT_EQ(Parse("\xFF\xFE\x00\xD8garbage\x00").failure, u"the sheet names no file");
    const CueSheet missing = Parse("FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                   "FILE \"image.bin\" BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n");
    EXPECT_TRUE(missing.tracks.empty());
    EXPECT_EQ(missing.failure, u"no playable file: a.wav, image.bin");
    const CueSheet noAudio = Parse("FILE \"album.wav\" WAVE\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n"
                                   "TRACK 02 AUDIO\nINDEX 00 00:00:00\n");
    EXPECT_TRUE(noAudio.tracks.empty());
    EXPECT_EQ(noAudio.failure, u"no audio track in a file that was found");
    // A track that starts before the one ahead of it in the same file is junk.
    const CueSheet backwards = Parse("FILE album.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 01:00:00\n"
                                     "TRACK 02 AUDIO\nINDEX 01 00:30:00\n");
    ASSERT_EQ(backwards.tracks.size(), 1u);
    EXPECT_EQ(backwards.tracks[0].end, -1);
    // A TRACK line that is junk leaves its INDEX lines to the track before, which takes no late pregap.
    const CueSheet lost = Parse("FILE album.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                "TRACK 02!AUDIO\nINDEX 00 01:00:00\nINDEX 01 01:02:00\n");
    ASSERT_EQ(lost.tracks.size(), 1u);
    EXPECT_EQ(lost.tracks[0].start, 0);
    EXPECT_EQ(lost.tracks[0].pregap, -1);
}

TEST(CueFrames, BecomeSamplesExactlyAtEveryCommonRate) {
    EXPECT_EQ(CueFramesToSamples(1, 44100), 588);
    EXPECT_EQ(CueFramesToSamples(75 * 3600, 48000), 48000LL * 3600);
    EXPECT_EQ(CueFramesToSamples(1, 96000), 1280);
    EXPECT_EQ(CueFramesToSamples(1, 32000), 427);  // 426.67
    EXPECT_EQ(CueFramesToSamples(1, 22050), 294);
    EXPECT_EQ(CueFramesToMs(1), 13);
    EXPECT_EQ(CueFramesToMs(2), 27);
    EXPECT_EQ(CueFramesToMs(99999LL * 60 * 75), 99999LL * 60 * 1000);
    EXPECT_EQ(CueFramesToSamples(-5, 44100), 0);
}

}  // namespace
}  // namespace rilumo
