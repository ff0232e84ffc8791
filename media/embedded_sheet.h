#pragma once
// A CUE sheet kept in an audio file's own tags: a FLAC file's CUESHEET
// comment, an APE tag's Cuesheet item (WavPack, APE). The sheet's FILE lines
// name whatever the disc was ripped to; the file carrying it is meant.

#include <QString>

#include "media/cue_sheet.h"

namespace rilumo {

// Whether path's type can carry a sheet in its tags (by its extension).
bool MayEmbedSheet(const QString& path);

// The sheet's text as the tags hold it; empty when there is none. Blocking.
QString EmbeddedSheetText(const QString& path);

// The sheet parsed with path standing for every FILE it names; no tracks
// (and a failure) when there is none.
CueSheet ReadEmbeddedSheet(const QString& path);

// The text with each FILE line naming fileName instead (one added in front
// when it has none), as the reader would take it in fileName's folder.
QByteArray SheetForFile(const QString& text, const QString& fileName);

}  // namespace rilumo
