#pragma once
// The one table of file types: for each extension its playlist code (which is
// also its icon), the chain the graph builder plays it through, how the info
// box learns its format, and its MIME types. The folder scan, the list
// readers, drops, the builder, the info box and the desktop's remote all ask
// it; nothing else keeps a list of extensions.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

namespace rilumo {

// The builder's hand-built chains.
enum class Chain {
    None,          // no chain: the builder logs the type and falls to the direct link
    Wave,          // wave parser (WAVE, AIFF, Sun audio)
    MpegAudio,     // MPEG-I splitter and the MPEG audio decoder (layers I and II)
    Mp3,           // MPEG-I splitter and the MP3 decoder the machine has
    Mp4Splitter,   // MP4 splitter and the catch-all decoder
    Decoder,       // the catch-all decoder alone: MP4, raw AAC, the video containers' sound
    Flac,          // FLAC parser and decoder, the catch-all decoder second
    WavPack,       // WavPack parser and decoder, the catch-all decoder second
    Ogg,           // Ogg splitter and the decoder its first stream needs, likewise
    WindowsMedia,  // the ASF reader and a Windows Media decoder
    Midi,          // MIDI parser into the MIDI device, no audio renderer
};

// How the info box learns a file's format.
enum class SummaryRoute { None, Wave, Mpeg, Open, Player };

struct FileType {
    const char* name;  // lower-case extension, or a type only a header gives
    // The playlist's file-type code and icon index; 0 = never an entry.
    std::int32_t code;
    Chain chain;
    SummaryRoute route;
    const char* mimeTypes;  // space-separated, the usual one first
};

std::span<const FileType> FileTypes();

// The row of a file type as the builder names it (a lower-case extension,
// or "wmariff" from a RIFF header); nullptr for a type not in the table.
const FileType* FindFileType(const QString& type);

// The playlist's code for a path's extension (any letter case), 0 when the
// extension is not one the player accepts.
std::int32_t FileTypeCode(const QString& path);

// The chain of a file type; Chain::None for a type not in the table.
Chain ChainOf(const QString& type);

// The info box's way for a path, by its extension.
SummaryRoute SummaryRouteOf(const QString& path);

// Every extension a playlist entry may have, in table order.
QStringList AcceptedExtensions();

// The MIME types of the accepted extensions, each once, in table order.
QStringList AcceptedMimeTypes();

}  // namespace rilumo
