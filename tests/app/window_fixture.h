#pragma once
// The real main window playing generated tracks into the clocked null
// renderer, with private settings and scripted dialogs.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/frm_main.h"
#include "support/globals.h"
#include "support/paths.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/scripted_dialogs.h"
#include "tests/common/test_env.h"

namespace rilumo::test {

// Pumps events (the window's timer included) until cond holds.
inline bool WaitFor(const std::function<bool()>& cond, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

class PlayerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("RILUMO_AUDIO_SINK", "null");
        if (qEnvironmentVariableIsEmpty("GST_REGISTRY"))
            qputenv("GST_REGISTRY", (QDir::tempPath() + "/rilumo-tests-gst-registry.bin").toLocal8Bit());
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/korvent").removeRecursively();
        SetAppFolderForTesting(appDir.Path() + u'/');
        globals::ErrorCatch = 0;
        saved = QDir::currentPath();
        w = std::make_unique<FrmMain>(StartupArgs{});
        w->Load();
        // As a user would, fill the list after the first tick has seen the idle player.
        ASSERT_TRUE(WaitFor([&] { return w->State().lastSeenMode == 1; }));
    }
    void TearDown() override {
        if (w) w->close();
        w.reset();
        SetAppFolderForTesting({});
        QDir::setCurrent(saved);
    }

    QString Track(const QString& name, int ms, double frequency = 440) {
        const QString path = media.File(name);
        EXPECT_TRUE(WriteSineWave(path, 44100, 2, 16, frequency, ms));
        return path;
    }
    void Fill(const QStringList& paths) {
        for (const QString& p : paths) w->AddTitle(p, -2);
        w->LV().Refresh();
    }
    static bool WaitFor(const std::function<bool()>& cond, int ms = 20000) { return test::WaitFor(cond, ms); }
    bool WaitForStatus(const QString& word) {
        return WaitFor([&] { return Status() == word; });
    }
    QString Status() const { return w->PicPlay().TextMes(0); }
    QString Playing() { return w->Player().FileName(); }
    bool LampsOn() const { return w->PlayButtons().DrawnState(2) == 2; }
    bool PausedLamp() const { return w->PlayButtons().DrawnState(1) == 2; }
    bool Shows(int picture) const {
        return w->ImageOA(0)->pixmap().cacheKey() == w->ImageOA(picture)->pixmap().cacheKey();
    }
    void Click(int button) { w->PlayButtons_ButtonClicked(static_cast<std::int16_t>(button)); }
    void Select(int row) {
        w->LV().UnSelectAll();
        w->LV().SetSelectedItem(row);
    }

    TempDir appDir, media;
    ScriptedDialogs dialogs;
    std::unique_ptr<FrmMain> w;
    QString saved;
};

}  // namespace rilumo::test
