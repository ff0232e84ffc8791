// rilumo-info FILE...: the format summary of each file, as the player's
// "情報" box shows it, for scripts and for a look without the window.
// Exit status 1 when a file does not exist, 2 without arguments.

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "playback/media_summary.h"
#include "support/file_ops.h"

int main(int argc, char** argv) {
    // A length needs a graph but never a sound device.
    if (qEnvironmentVariableIsEmpty("RILUMO_AUDIO_SINK")) qputenv("RILUMO_AUDIO_SINK", "null");
    QCoreApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: rilumo-info FILE...\n");
        return 2;
    }
    int status = 0;
    bool first = true;
    for (const QString& file : files) {
        if (!rilumo::FileExists(file)) {
            std::fprintf(stderr, "rilumo-info: %s: no such file\n", file.toLocal8Bit().constData());
            status = 1;
            continue;
        }
        QString text = rilumo::BuildMediaSummary(file).Text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (!first) std::fputs("\n", stdout);
        first = false;
        std::fputs(text.toUtf8().constData(), stdout);
        std::fputs("\n", stdout);
    }
    return status;
}
