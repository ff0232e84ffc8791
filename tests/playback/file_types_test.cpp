#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "media/content_sniff.h"
#include "media/file_types.h"
#include "playback/graph_builder.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

// The tone re-encoded by ffmpeg into a container GStreamer's encoders do not
// write; empty when ffmpeg is missing.
QString ffmpegFile(test::PlaybackDir& dir, const QString& name, const QStringList& codec) {
    const QString wav = dir.Wave("src-" + name + ".wav", 1500);
    const QString out = dir.File(name);
    QProcess p;
    p.start("ffmpeg", QStringList{"-v", "error", "-y", "-i", wav} + codec + QStringList{out});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return out;
}

TEST(FileTypeChains, EveryAcceptedExtensionHasAChainTheBuilderMakes) {
    for (const FileType& t : FileTypes()) {
        if (t.code != 0) {
            EXPECT_TRUE(BuildsChain(t.chain)) << t.name;
        }
    }
}

struct Container {
    const char* file;
    QStringList codec;
    bool knowsLength = true;  // raw ADTS has no header that tells
};

class PlaysTheSoundOf : public test::PlayerTest, public ::testing::WithParamInterface<Container> {};

// Types the list takes that were once left without a chain (each load
// logged "Unknown Filetype" twice): their sound plays through the table's chain.
TEST_P(PlaysTheSoundOf, ItsContainerThroughTheTablesChain) {
    const QString path = ffmpegFile(dir, GetParam().file, GetParam().codec);
    if (path.isEmpty()) GTEST_SKIP() << "ffmpeg cannot write " << GetParam().file;
    ASSERT_NE(FileTypeCode(path), 0);
    EXPECT_EQ(SniffFile(path), Content::Unknown);
    p.Init();
    ASSERT_TRUE(Load(path)) << dir.ErrorLines().join('\n').toStdString();
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
    if (GetParam().knowsLength) {
        EXPECT_NEAR(p.Length(), 1500, 150);
    }
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(200));
}

INSTANTIATE_TEST_SUITE_P(
    Containers, PlaysTheSoundOf,
    ::testing::Values(Container{"a.avi", {"-c:a", "libmp3lame"}}, Container{"a.mpg", {"-c:a", "mp2"}},
                      Container{"a.mp4", {"-c:a", "aac"}}, Container{"a.aac", {"-c:a", "aac"}, false},
                      Container{"a.snd", {"-f", "au"}}),
    [](const auto& info) { return QString(info.param.file).replace('.', '_').toStdString(); });

TEST(FileTypeSniff, RealFilesOfEveryEncodedKindPass) {
    test::PlaybackDir dir;
    QStringList files = {dir.Wave("a.wav", 300), dir.Midi("a.mid", 2)};
    for (const char* kind : {"mp3", "mp2", "wma", "m4a", "aiff", "flac", "ogg", "opus", "oga", "wv"})
        files << dir.Encoded(kind, QString("a.") + kind, 300);
    const QString mp3 = files[2];
    if (!mp3.isEmpty()) {
        const QString tagged = dir.File("tagged.mp3");
        ASSERT_TRUE(test::WriteFile(tagged, test::Id3v2Tag(200) + test::ReadFile(mp3)));
        files << tagged;
    }
    for (const QString& f : files) {
        if (!f.isEmpty()) {
            EXPECT_EQ(SniffFile(f), Content::Unknown) << f.toStdString();
        }
    }
}

class Refusal : public test::PlayerTest {
protected:
    // Loads path and expects the quiet failure well within the 1 s a
    // listener would wait, with the one line given.
    void ExpectRefused(const QString& path, const QString& line) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(Load(path)) << path.toStdString();
        EXPECT_LT(clock.elapsed(), 2000) << path.toStdString();
        EXPECT_TRUE(p.LoadFailed());
        EXPECT_EQ(p.mode(), 1);
        EXPECT_EQ(p.Play(), 0);
        EXPECT_EQ(dir.ErrorLines().filter(path), QStringList{line});
    }
    QString sparse(const QString& name, qint64 size) {
        QFile f(dir.File(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
        return f.fileName();
    }
};

TEST_F(Refusal, FilesOfZerosPicturesAndTextUnderAudioNamesAreRefusedAtOnce) {
    p.Init();
    const QString png = dir.File("picture.mp3");
    ASSERT_TRUE(test::WriteFile(png, QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + test::RandomBytes(2000, 7)));
    const QString text = dir.File("notes.wav");
    ASSERT_TRUE(test::WriteFile(text, "Not a wave at all.\n"));
    for (const QString& bad : {sparse("big.wav", 2LL << 30), sparse("big.flac", 100LL << 20), png, text})
        ExpectRefused(bad, "not an audio file: " + bad);
    // The player is not worn by them: a real file plays next.
    ASSERT_TRUE(Load(dir.Wave("good.wav", 1000)));
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(100));
}

TEST_F(Refusal, AFileDeletedSinceItWasListedIsLoggedWhenItsTurnComes) {
    p.Init();
    const QString gone = dir.Wave("gone.wav", 500);
    ASSERT_TRUE(QFile::remove(gone));
    ExpectRefused(gone, "file not found: " + gone);
}

}  // namespace
}  // namespace rilumo
