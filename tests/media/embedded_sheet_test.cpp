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

// The FILE line names what the disc was ripped to, after a tab.
const char* const kSheet =
    "TITLE \"Disc\"\r\nFILE\t\"CDImage.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"A\"\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \"B\"\r\n    INDEX 01 00:00:40\r\n";

void ExpectTwoTracksOf(const QString& path) {
    SCOPED_TRACE(path.toStdString());
    const CueSheet s = ReadEmbeddedSheet(path);
    EXPECT_EQ(s.title, "Disc");
    ASSERT_EQ(s.tracks.size(), 2u);
    EXPECT_EQ(s.tracks[0].file, path);
    EXPECT_EQ(s.tracks[0].end, 40);
    EXPECT_EQ(s.tracks[1].title, "B");
    EXPECT_EQ(s.tracks[1].end, -1);
}

TEST(EmbeddedSheet, AFlacCommentAndAWavPackApeItemAreTheFilesOwnTracks) {
    test::TempDir dir;
    const QString wav = dir.File("t.wav");
    ASSERT_TRUE(test::WriteSineWave(wav, 8000, 1, 16, 440, 1000));
    // Quotes and blanks in the name must not break the FILE line it takes.
    const QString flac = dir.File("it's \"my\" disc.flac");
    if (!test::EncodeAs("flac", wav, flac)) GTEST_SKIP() << "no FLAC encoder";
    EXPECT_TRUE(ReadEmbeddedSheet(flac).tracks.empty());
    {
        TagLib::FLAC::File f(QFile::encodeName(flac).constData());
        f.xiphComment(true)->addField("CUESHEET", kSheet);
        ASSERT_TRUE(f.save());
    }
    ExpectTwoTracksOf(flac);

    const QString wv = dir.File("disc.wv");
    if (test::EncodeAs("wv", wav, wv)) {
        {
            TagLib::WavPack::File f(QFile::encodeName(wv).constData());
            f.APETag(true)->addValue("Cuesheet", kSheet);
            ASSERT_TRUE(f.save());
        }
        ExpectTwoTracksOf(wv);
    }

    // Files that only look the part have none, and say so.
    ASSERT_TRUE(test::WriteFile(dir.File("junk.flac"), QByteArray(5000, '\xFF')));
    for (const QString& p : {dir.File("junk.flac"), wav, dir.Path()}) {
        EXPECT_TRUE(ReadEmbeddedSheet(p).tracks.empty());
        EXPECT_FALSE(ReadEmbeddedSheet(p).failure.isEmpty());
    }
}

}  // namespace
}  // namespace rilumo
