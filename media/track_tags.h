#pragma once
// What a file says about its music: its tags and audio properties, read
// through TagLib. Every field may be missing; a file TagLib cannot read gives
// an empty TrackTags, never an error.

#include <QString>

#include <cstdint>

namespace rilumo {

struct TrackTags {
    QString title;
    QString artist;
    QString albumArtist;
    QString album;
    int discNumber = 0;   // 0: unknown
    int trackNumber = 0;  // 0: unknown
    QString date;
    QString genre;
    std::int64_t lengthMs = 0;  // 0: unknown
    int sampleRate = 0;         // Hz
    int bitsPerSample = 0;      // 0 for lossy formats
    int channels = 0;
    int bitrateKbps = 0;
    QString formatName;         // "FLAC", "MP3", "Ogg Vorbis", ...
    bool read = false;          // the file was opened and parsed

    bool operator==(const TrackTags&) const = default;
};

// Reads a file's tags and properties. Blocking: call it off the window thread.
TrackTags ReadTrackTags(const QString& path);

// "FLAC 44.1kHz 16bit", "MP3 48kHz 320kbps"; empty when nothing is known.
QString FormatSummary(const TrackTags& tags);

}  // namespace rilumo
