#pragma once
// CUE sheets: a whole disc in one audio file (or a few), its tracks named in
// a text beside it. Positions stay in CD frames (75 a second) as the sheet
// writes them and become samples only at the file's own rate, so nothing is
// rounded twice. The reader only looks into the sheet's folder to find the
// files it names; the bytes can be anything.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "media/replaygain.h"

namespace rilumo {

inline constexpr int kCueFramesPerSecond = 75;

struct CueTrack {
    int number = 0;            // TRACK nn
    QString file;              // the audio file, a local path that exists
    std::int64_t start = 0;    // INDEX 01, frames into the file
    // INDEX 00 where it lies in the track's own file, else -1. The pregap
    // is played as the end of the track before.
    std::int64_t pregap = -1;
    // The next track's INDEX 01 in the same file; -1: to the file's end.
    std::int64_t end = -1;
    QString title;
    QString performer;         // the sheet's when the track names none
    ReplayGainTags gains;      // the track's REM REPLAYGAIN_*, the sheet's album ones

    bool operator==(const CueTrack&) const = default;
};

struct CueSheet {
    QString title;             // the album
    QString performer;
    QString date;              // REM DATE
    QString genre;             // REM GENRE
    QStringList files;         // every FILE as written, in sheet order
    std::vector<CueTrack> tracks;  // audio tracks of files that were found
    QString failure;           // why there is no track; empty when there are some
};

// The sheet's text: UTF-8 with or without a byte-order mark, UTF-16 with
// one or without, CP932, else Latin-1.
QString DecodeCueText(const QByteArray& bytes);

// folder is the sheet's own; FILE names are taken against it.
CueSheet ParseCueSheet(const QByteArray& bytes, const QString& folder);

// Frames to samples at rate, exact where 75 divides the rate (every CD and
// studio rate does), else rounded half to even.
std::int64_t CueFramesToSamples(std::int64_t frames, int rate);
std::int64_t CueFramesToMs(std::int64_t frames);

}  // namespace rilumo
