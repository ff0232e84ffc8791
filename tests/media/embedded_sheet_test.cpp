// Sheets kept in an audio file's tags, written there by TagLib.

#include <gtest/gtest.h>

#include <QFile>

#include <taglib/apetag.h>
#include <taglib/flacfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include "media/embedded_sheet.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

using test::TempDir;

const char* const kSheet =
    "TITLE \"Disc\"\r\nFILE \"CDImage.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"A\"\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \"B\"\r\n    INDEX 01 00:00:40\r\n";

class EmbeddedSheetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::WriteSineWave(wav, 8000, 1, 16, 440, 1000)); }
    void ExpectTwoTracksOf(const QString& path) {
        const CueSheet s = ReadEmbeddedSheet(path);
        EXPECT_EQ(s.title, "Disc");
        ASSERT_EQ(s.tracks.size(), 2u);
        EXPECT_EQ(s.tracks[0].file, path);
        EXPECT_EQ(s.tracks[0].end, 40);
        EXPECT_EQ(s.tracks[1].title, "B");
        EXPECT_EQ(s.tracks[1].end, -1);
    }
    TempDir dir;
    const QString wav = dir.File("t.wav");
};

TEST_F(EmbeddedSheetTest, AFlacCommentAndAWavPackApeItemAreTheFilesOwnTracks) {
    const QString flac = dir.File("it's \"my\" disc.flac");
    if (!test::EncodeAs("flac", wav, flac)) GTEST_SKIP() << "no FLAC encoder";
    EXPECT_TRUE(ReadEmbeddedSheet(flac).tracks.empty());
    EXPECT_FALSE(ReadEmbeddedSheet(flac).failure.isEmpty());
    {
        TagLib::FLAC::File f(QFile::encodeName(flac).constData());
        f.xiphComment(true)->addField("CUESHEET", kSheet);
        ASSERT_TRUE(f.save());
    }
    ExpectTwoTracksOf(flac);

    const QString wv = dir.File("disc.wv");
    if (!test::EncodeAs("wv", wav, wv)) return;
    {
        TagLib::WavPack::File f(QFile::encodeName(wv).constData());
        f.APETag(true)->addValue("Cuesheet", kSheet);
        ASSERT_TRUE(f.save());
    }
    ExpectTwoTracksOf(wv);
}

TEST_F(EmbeddedSheetTest, OnlyTypesThatCarryASheetAreAskedAndOddFilesHaveNone) {
    EXPECT_TRUE(MayEmbedSheet("/a/B.FLAC"));
    EXPECT_TRUE(MayEmbedSheet("/a/b.wv"));
    EXPECT_FALSE(MayEmbedSheet("/a/b.wav"));
    EXPECT_TRUE(EmbeddedSheetText(wav).isEmpty());
    ASSERT_TRUE(test::WriteFile(dir.File("junk.flac"), QByteArray(5000, '\xFF')));
    EXPECT_TRUE(ReadEmbeddedSheet(dir.File("junk.flac")).tracks.empty());
    EXPECT_TRUE(EmbeddedSheetText(dir.Path()).isEmpty());
}

TEST_F(EmbeddedSheetTest, EveryFileLineNamesTheFileAndASheetWithoutOneGetsIt) {
    EXPECT_EQ(SheetForFile("TITLE x\nfile \"a.wav\" WAVE\n  FILE\tb.wav WAVE\nFILES", "c d.flac"),
              "TITLE x\nFILE ./c d.flac WAVE\nFILE ./c d.flac WAVE\nFILES");
    EXPECT_EQ(SheetForFile("TRACK 01 AUDIO", "c.flac"), "FILE ./c.flac WAVE\nTRACK 01 AUDIO");
}

}  // namespace
}  // namespace rilumo
