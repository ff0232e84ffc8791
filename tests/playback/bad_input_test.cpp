#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <unistd.h>

#include "media/file_types.h"
#include "playback/c_fgraph.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::PlaybackDir;

const QStringList kAccepted = AcceptedExtensions();

// The head of a real file of the kind, where one can be made here.
QByteArray headOf(PlaybackDir& dir, const QString& ext, QMap<QString, QByteArray>& made) {
    static const QMap<QString, QString> kinds = {
        {"mp3", "mp3"}, {"mp1", "mp2"}, {"mp2", "mp2"}, {"mpg", "mp2"}, {"mpeg", "mp2"}, {"m1v", "mp2"},
        {"m2v", "mp2"}, {"asf", "wma"}, {"wma", "wma"}, {"wmv", "wma"}, {"asx", "wma"}, {"m4a", "m4a"},
        {"aif", "aiff"}, {"aiff", "aiff"}, {"flac", "flac"}, {"ogg", "ogg"}, {"oga", "oga"}, {"opus", "opus"},
        {"wv", "wv"}};
    const bool midi = ext == u"mid" || ext == u"midi" || ext == u"smf";
    const QString kind = midi ? QStringLiteral("mid") : kinds.value(ext, QStringLiteral("wav"));
    if (!made.contains(kind)) {
        QString real;
        if (midi) real = dir.Midi("head.mid", 8);
        if (kind != u"wav" && !midi) real = dir.Encoded(kind, "head." + kind, 500);
        if (real.isEmpty()) real = dir.Wave("head.wav", 500);
        made[kind] = test::ReadFile(real).left(16);
    }
    return made[kind];
}

// A file that stalls its graph is refused once the load limit has passed.
constexpr int kRefusalLimitMs = 1000;

class BadInput : public test::PlayerTest {
protected:
    void SetUp() override {
        p.SetLoadLimit(kRefusalLimitMs);
        p.Init();
    }
    // Loads path, expecting the clean failure: idle, empty name, a reason logged.
    void ExpectRefused(const QString& path);
};

void BadInput::ExpectRefused(const QString& path) {
    const qsizetype before = dir.ErrorLines().size();
    // A load that hangs runs out the deadline and has not failed.
    EXPECT_FALSE(Load(path)) << path.toStdString();
    EXPECT_TRUE(p.LoadFailed()) << path.toStdString();
    EXPECT_TRUE(p.FileName().isEmpty()) << path.toStdString();
    EXPECT_EQ(p.Length(), 0) << path.toStdString();
    EXPECT_EQ(p.mode(), 1) << path.toStdString();
    EXPECT_EQ(p.Play(), 0) << path.toStdString();
    EXPECT_GT(dir.ErrorLines().size(), before) << "no reason logged for " << path.toStdString();
}

TEST_F(BadInput, EveryAcceptedExtensionRefusesBrokenFilesAndTheNextGoodOnePlays) {
    const QString good = dir.Wave("good.wav", 2000);
    unsigned seed = 1;
    QMap<QString, QByteArray> heads;
    for (const QString& ext : kAccepted) {
        const QString truncated = dir.File("truncated." + ext);
        ASSERT_TRUE(test::WriteFile(truncated, headOf(dir, ext, heads)));
        const QString empty = dir.File("empty." + ext);
        ASSERT_TRUE(test::WriteFile(empty, {}));
        const QString noise = dir.File("noise." + ext);
        ASSERT_TRUE(test::WriteFile(noise, test::RandomBytes(4096, seed++)));
        const QString text = dir.File("text." + ext);
        ASSERT_TRUE(test::WriteFile(text, "A text file under an audio name.\n"));
        const QString folder = dir.File("folder." + ext);
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const QString& bad : {truncated, empty, noise, text, folder}) ExpectRefused(bad);

        ASSERT_TRUE(Load(good));
        ASSERT_EQ(p.FileName(), good) << "after the broken ." << ext.toStdString() << " files";
        ASSERT_EQ(p.Play(), 1);
        EXPECT_EQ(p.mode(), 3);
        p.CloseWave();
    }
}

TEST_F(BadInput, AnUnreadableFileIsRefused) {
    for (const QString& ext : {QStringLiteral("wav"), QStringLiteral("mp3"), QStringLiteral("wma")}) {
        const QString path = dir.File("locked." + ext);
        if (geteuid() == 0) {
            // Permissions do not stop root; this file's every read fails instead.
            ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), path));
        } else {
            ASSERT_TRUE(test::WriteFile(path, test::ReadFile(dir.Wave("src.wav", 300))));
            ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
        }
        ExpectRefused(path);
    }
    const QString good = dir.Wave("good.wav", 1000);
    EXPECT_TRUE(Load(good));
    EXPECT_EQ(p.FileName(), good);
}

TEST_F(BadInput, ANamedPipeIsRefusedWithoutBlocking) {
    const QString fifo = dir.File("pipe.mp3");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    ExpectRefused(fifo);
}

}  // namespace
}  // namespace rilumo
