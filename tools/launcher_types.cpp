// Writes the launcher from its template, with the MIME types of the file-type
// table in place of @MIME_TYPES@, so the desktop offers Rilumo exactly the
// files it plays.

#include <QFile>
#include <QStringList>

#include <cstdio>

#include "media/file_types.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: launcher-types TEMPLATE OUTPUT\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) return 1;
    QByteArray text = in.readAll();
    text.replace("@MIME_TYPES@", (rilumo::AcceptedMimeTypes().join(u';') + u';').toUtf8());
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size()) return 1;
    return 0;
}
