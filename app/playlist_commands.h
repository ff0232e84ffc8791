#pragma once
// Filling the playlist: the file-type table, list files and the folder scan.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>

// FileTypeCode: which files the playlist takes.
#include "media/file_types.h"

namespace rilumo {

// Reads a list file line by line without holding it whole: CR LF, LF or CR
// ends a line; a line starting with a double quote loses its first and last
// character. Lines longer than any path can be are passed over as empty.
class ListReader {
public:
    explicit ListReader(const QString& file);
    bool IsOpen() const { return file_.isOpen(); }
    // The next line, or false at the end of the file or on a read failure.
    bool Next(QString& line);

private:
    bool Fill();
    QFile file_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    bool eof_ = false;
};

// Why a list file cannot be loaded (a folder, no permission, not text), in
// words for the user; empty when it can.
QString ListFileProblem(const QString& file);

// The entries of a list another program wrote (M3U, M3U8, PLS, XSPF), as
// local paths in list order, relative ones taken against the list's folder.
QStringList ReadForeignList(const QString& file);

// The folder relative entries of a list are taken against, ending in "/".
QString ListBaseFolder(const QString& file);

// Writes one path per line, CR LF ended, through a temporary file renamed
// over the target: a failed save leaves any existing file as it was.
// Returns false with the reason in *error.
bool WriteListFile(const QString& file, const QStringList& paths, QString* error);

}  // namespace rilumo
