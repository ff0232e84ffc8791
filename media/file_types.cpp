#include "media/file_types.h"

#include "support/paths.h"

namespace rilumo {

namespace {

using C = Chain;
using R = SummaryRoute;

// Codes 1 to 8 are the classic groups, 9 the open formats; the code is also
// the row of the entry's icon in the list's strip.
constexpr FileType kTypes[] = {
    {"wav", 1, C::Wave, R::Wave, "audio/x-wav"},
    {"mp1", 2, C::MpegAudio, R::Mpeg, "audio/mpeg"},
    {"mp2", 3, C::MpegAudio, R::Mpeg, "audio/mp2"},
    {"mpa", 3, C::MpegAudio, R::Mpeg, "audio/mpeg"},
    {"mp3", 4, C::Mp3, R::Mpeg, "audio/mpeg"},
    {"aif", 5, C::Wave, R::Player, "audio/x-aiff"},
    {"aiff", 5, C::Wave, R::Player, "audio/x-aiff"},
    {"snd", 5, C::Wave, R::Player, "audio/basic"},
    {"asf", 5, C::WindowsMedia, R::Player, "application/vnd.ms-asf"},
    {"wma", 5, C::WindowsMedia, R::Player, "audio/x-ms-wma"},
    {"m4a", 5, C::Decoder, R::Player, "audio/mp4"},
    {"aac", 5, C::Decoder, R::Player, "audio/aac"},
    // The video containers are played for their sound; the picture is dropped.
    {"m1v", 6, C::Decoder, R::Player, "video/mpeg"},
    {"m2v", 6, C::Decoder, R::Player, "video/mpeg"},
    {"mpg", 6, C::Decoder, R::Player, "video/mpeg"},
    {"mpeg", 6, C::Decoder, R::Player, "video/mpeg"},
    {"avi", 7, C::Decoder, R::Player, "video/x-msvideo"},
    {"wmv", 7, C::WindowsMedia, R::Player, "video/x-ms-wmv"},
    {"mp4", 7, C::Decoder, R::Player, "video/mp4"},
    {"mid", 8, C::Midi, R::Player, "audio/midi"},
    {"midi", 8, C::Midi, R::Player, "audio/midi"},
    {"smf", 8, C::Midi, R::Player, "audio/midi"},
    {"flac", 9, C::Flac, R::Open, "audio/flac"},
    {"ogg", 9, C::Ogg, R::Open, "audio/ogg audio/x-vorbis+ogg"},
    {"oga", 9, C::Ogg, R::Open, "audio/ogg"},
    {"opus", 9, C::Ogg, R::Open, "audio/x-opus+ogg"},
    {"wv", 9, C::WavPack, R::Open, "audio/x-wavpack"},
    // Types no entry has. Windows Media audio in a RIFF file, told by its header.
    {"wmariff", 0, C::WindowsMedia, R::None, ""},
    // The MP4 splitter's chain, kept for a type no extension maps to.
    {"m4aaa", 0, C::Mp4Splitter, R::None, ""},
    // A list of links to streams, not sound: nothing here could play it.
    {"asx", 0, C::None, R::None, ""},
};

}  // namespace

std::span<const FileType> FileTypes() { return kTypes; }

const FileType* FindFileType(const QString& type) {
    if (type.isEmpty()) return nullptr;
    for (const FileType& t : kTypes) {
        if (type == QLatin1String(t.name)) return &t;
    }
    return nullptr;
}

std::int32_t FileTypeCode(const QString& path) {
    const FileType* t = FindFileType(LowerExtension(path));
    return t ? t->code : 0;
}

Chain ChainOf(const QString& type) {
    const FileType* t = FindFileType(type);
    return t ? t->chain : Chain::None;
}

SummaryRoute SummaryRouteOf(const QString& path) {
    const FileType* t = FindFileType(LowerExtension(path));
    return t && t->code != 0 ? t->route : SummaryRoute::None;
}

QStringList AcceptedExtensions() {
    QStringList out;
    for (const FileType& t : kTypes) {
        if (t.code != 0) out << QLatin1String(t.name);
    }
    return out;
}

QStringList AcceptedMimeTypes() {
    QStringList out;
    for (const FileType& t : kTypes) {
        if (t.code == 0) continue;
        for (const QString& m : QString::fromLatin1(t.mimeTypes).split(u' ', Qt::SkipEmptyParts)) {
            if (!out.contains(m)) out << m;
        }
    }
    return out;
}

}  // namespace rilumo
