#include "app/application.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/frm_main.h"
#include "app/mpris_service.h"
#include "app/quit_signals.h"
#include "app/remote_control.h"
#include "playback/graph/backend.h"
#include "playback/graph/graph.h"
#include "playback/summary_worker.h"
#include "support/log.h"

namespace rilumo {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        const QString why = QStringLiteral("unhandled failure: ") + QString::fromUtf8(e.what());
        std::fprintf(stderr, "rilumo: %s\n", why.toLocal8Bit().constData());
        WriteLog(why, 1, 1);
    } catch (...) {
        std::fprintf(stderr, "rilumo: unhandled failure\n");
        WriteLog(QStringLiteral("unhandled failure"), 1, 1);
    }
    std::_Exit(3);
}

int RunProgram(int argc, char** argv) {
    // While the window comes up; the player's first use waits for it.
    graph::StartBackend();
    InstallQuitSignals();
    StartupArgs args = StartupArgsFrom(argc, argv);
    // A file manager hands over an audio file as readily as a list.
    const QString audio = remote::TakeAudioFile(args);
    Application app(argc, argv);
    // Ties the window to its launcher, for the icon a desktop shows for it.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
    FrmMain w(args);
    WatchQuitSignals(&w, [&w] { w.RequestClose(); });
    w.Load();
    int code = 0;
    if (w.CloseRequested()) {
        // Asked to quit while starting: the event loop would never see a close.
        w.close();
    } else {
        if (!audio.isEmpty()) remote::OpenFile(w, audio);
        const std::unique_ptr<MprisService> mpris = StartMpris(w);
        code = app.exec();
    }
    // Summaries for the box and graphs closed while they ran finish on workers.
    FinishMediaSummaries(1000);
    graph::Graph::WaitForRetiredGraphs(2000);
    graph::FinishBackendStart();
    StopWatchingQuitSignals();
    return code;
}

}  // namespace rilumo
