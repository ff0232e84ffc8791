#pragma once
// Filling the playlist: the file-type table, list files and the folder scan.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// FileTypeCode: which files the playlist takes.
#include "media/file_types.h"
#include "media/playlist_formats.h"

namespace rilumo {

// Why a list file cannot be loaded (a folder, no permission, not text), in
// words for the user; empty when it can.
QString ListFileProblem(const QString& file);

// The entries of any list file (the own format or another program's), in
// list order and each in its readings, and the folder relative ones are
// taken against. The menu, the command line and drops all read through it.
struct ListEntries {
    std::vector<EntryReadings> entries;
    QString baseFolder;
};
ListEntries ReadListEntries(const QString& file);
// The existing file an entry names, or a sheet track's name (sheet, "#",
// number) whose sheet exists; empty when it names none.
QString ExistingEntryPath(const EntryReadings& entry, const QString& baseFolder);

// The folder relative entries of a list are taken against, ending in "/".
QString ListBaseFolder(const QString& file);

// Writes one path per line as the name's bytes, CR LF ended, through a
// temporary file renamed over the target: a failed save leaves any existing
// file as it was. A path holding a line break cannot be one line; it is
// left out and named in *leftOut. Returns false with the reason in *error.
bool WriteListFile(const QString& file, const QStringList& paths, QString* error, QStringList* leftOut = nullptr);

}  // namespace rilumo
