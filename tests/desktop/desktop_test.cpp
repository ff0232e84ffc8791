// The real program on a private X display: started with a list, Space typed
// into its window, watched only through the pixels on the screen. Leaves a
// picture of the playing window in the build folder's artifacts/.

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <functional>
#include <gtest/gtest.h>

#include "tests/common/media_fixtures.h"
#include "tests/desktop/session/desktop_session.h"

namespace rilumo::desktop {
namespace {

// The lit status sign is the only pink on the window (its letters and face
// are light pink); the unlit sign and everything else are grey, black, white,
// green or the file-type icons' colours.
bool pink(QRgb c) { return qRed(c) >= 200 && qBlue(c) >= 150 && qRed(c) - qGreen(c) >= 40 && qBlue(c) > qGreen(c); }
bool signLit(const QImage& window) { return CountPixels(window, pink) >= 100; }

QImage waitFor(XClient& x, std::uint32_t& window, int ms, const std::function<bool(const QImage&)>& done) {
    QElapsedTimer t;
    t.start();
    QImage last;
    while (t.elapsed() < ms) {
        if (!window) window = x.TopLevel();
        last = x.Grab(window);
        if (!last.isNull() && done(last)) return last;
        QThread::msleep(50);
    }
    return last;
}

TEST(RealWindow, SpaceStartsTheListAndTheWindowShowsTheLitSignAndARunningTime) {
    VirtualDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no virtual display: " << display.Error().toStdString();
    ASSERT_TRUE(HaveTool("xdotool"));

    test::TempDir dir;
    QByteArray list;
    for (int i = 0; i < 3; ++i) {
        const QString path = dir.File(QStringLiteral("トーン%1.wav").arg(i + 1));
        ASSERT_TRUE(test::WriteSineWave(path, 44100, 2, 16, 440.0 + 220 * i, 4000));
        list += path.toUtf8() + "\r\n";
    }
    ASSERT_TRUE(test::WriteFile(dir.File("list.lst"), list));

    XClient x(display.Name());
    ASSERT_TRUE(x.Ok());
    Child child;
    child.SetEnv("DISPLAY", display.Name());
    child.SetEnv("RILUMO_AUDIO_SINK", "null");
    ASSERT_TRUE(child.Start(RilumoExecutable(), {dir.File("list.lst")}));

    std::uint32_t window = 0;
    // Painted: the captions and the listed titles are on the screen.
    const QImage stopped = waitFor(x, window, 60000, [](const QImage& img) { return DistinctColours(img, 32) >= 32; });
    ASSERT_GE(DistinctColours(stopped, 32), 32) << "the window was never painted";
    EXPECT_FALSE(signLit(stopped));

    ASSERT_TRUE(SendKey(display.Name(), window, "space"));
    const QImage playing = waitFor(x, window, 15000, signLit);
    // The time moves on while the track plays: a later frame differs.
    QThread::msleep(1500);
    const QImage later = x.Grab(window);
    QDir().mkpath(ArtifactsFolder());
    const QString shot = ArtifactsFolder() + "/desktop_playing.png";
    later.save(shot);
    std::printf("screenshot: %s\n", qPrintable(shot));

    EXPECT_TRUE(signLit(playing)) << "Space did not light the sign";
    EXPECT_NE(playing, later) << "nothing on the window changed while playing";
    EXPECT_TRUE(signLit(later));
    x.RequestClose(window);
    EXPECT_TRUE(child.WaitFinished(10000)) << "the window did not close when asked";
}

}  // namespace
}  // namespace rilumo::desktop
