#include <gtest/gtest.h>

#include <QProcess>

#include "media/mp4_gapless.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

TEST(Mp4Gapless, TheTagGivesTheSamplesToSkipAndKeepAndAnythingOddGivesNone) {
    const GaplessTrim t = ParseItunSmpb(" 00000000 00000840 000001CA 00000000003F31F6 00000000 00000000");
    EXPECT_EQ(t.Skip, 0x840);
    EXPECT_EQ(t.Keep, 0x3F31F6);
    for (const char* odd : {"", " 00000000 00000840", " 00000000 zz 0 100", " 0 0 0 0", " 0 FFFFFFFF 0 100"}) {
        EXPECT_FALSE(ParseItunSmpb(odd).Valid()) << odd;
    }
    // Files: no movie header at all, and a box claiming more than the file holds.
    test::TempDir dir;
    ASSERT_TRUE(test::WriteFile(dir.File("text.m4a"), "not an mp4 file at all"));
    ASSERT_TRUE(test::WriteFile(dir.File("cut.m4a"), QByteArray("\0\0\x10\0moov", 8) + QByteArray(64, '\0')));
    EXPECT_FALSE(ReadMp4GaplessTrim(dir.File("text.m4a")).Valid());
    EXPECT_FALSE(ReadMp4GaplessTrim(dir.File("cut.m4a")).Valid());
    EXPECT_FALSE(ReadMp4GaplessTrim(dir.File("missing.m4a")).Valid());
}


QByteArray be32(std::uint32_t v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = char(v >> (24 - 8 * i));
    return b;
}

// Version-0 payloads: a movie at time scale 1000, media and sample entry at rate.
QByteArray mvhd() { return QByteArray(12, '\0') + be32(1000) + QByteArray(84, '\0'); }
QByteArray mdhd(int scale) { return QByteArray(12, '\0') + be32(scale) + QByteArray(8, '\0'); }
QByteArray stsd(int rate) {
    return QByteArray(7, '\0') + '\1' + be32(36) + "mp4a" + QByteArray(24, '\0') + be32(std::uint32_t(rate) << 16);
}
QByteArray elst(const QList<QPair<std::uint32_t, std::int32_t>>& edits) {
    QByteArray b = QByteArray(4, '\0') + be32(std::uint32_t(edits.size()));
    for (const auto& [duration, start] : edits) b += be32(duration) + be32(std::uint32_t(start)) + be32(0x10000);
    return b;
}

TEST(Mp4Gapless, TheEditListGivesTheTrimInTheTracksOwnSamplesOnly) {
    // 1.5 s of the movie after 2112 samples of priming, behind an empty edit.
    GaplessTrim t = ParseEditList(elst({{500, -1}, {1500, 2112}}), mvhd(), mdhd(48000), stsd(48000));
    EXPECT_EQ(t.Skip, 2112);
    EXPECT_EQ(t.Keep, 72000);
    // A media time scale that is not the sample rate, or no edit with media: no trim.
    EXPECT_FALSE(ParseEditList(elst({{1500, 2112}}), mvhd(), mdhd(1000), stsd(48000)).Valid());
    EXPECT_FALSE(ParseEditList(elst({{500, -1}}), mvhd(), mdhd(48000), stsd(48000)).Valid());
    EXPECT_FALSE(ParseEditList(elst({{1500, 2112}}).left(14), mvhd(), mdhd(48000), stsd(48000)).Valid());
    EXPECT_FALSE(ParseEditList({}, {}, {}, {}).Valid());
}

TEST(Mp4Gapless, AnEncodedFileIsTrimmedByItsEditListOrItsTagNeverBoth) {
    test::TempDir dir;
    const qint64 length = 44137;
    const QString wav = dir.File("tone.wav");
    ASSERT_TRUE(test::WriteSinePart(wav, 44100, 0, length));
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-loglevel", "error", "-y", "-i", wav, "-c:a", "aac", dir.File("lavf.m4a")});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) GTEST_SKIP() << "no ffmpeg";
    GaplessTrim t = ReadMp4GaplessTrim(dir.File("lavf.m4a"));
    EXPECT_EQ(t.Skip, 1024);
    // Its length is in the movie's milliseconds.
    EXPECT_NEAR(static_cast<double>(t.Keep), static_cast<double>(length), 44.1);
    // The tag, where a tagger added it, is taken alone.
    ASSERT_TRUE(test::AddItunSmpb(dir.File("lavf.m4a"), 1024, 0, length - 100));
    t = ReadMp4GaplessTrim(dir.File("lavf.m4a"));
    EXPECT_EQ(t.Skip, 1024);
    EXPECT_EQ(t.Keep, length - 100);
}

}  // namespace
}  // namespace rilumo
