#pragma once
// One body for the list-reader targets: each target names its format.

#include "media/playlist_formats.h"
#include "tests/fuzz/fuzz_input.h"

namespace rilumo::fuzz {

inline int FuzzPlaylist(PlaylistKind kind, const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList paths = ParsePlaylist(kind, bytes, QStringLiteral("/base/"));
    // Every entry is a local absolute path (a URI's scheme never survives).
    for (const QString& p : paths) Check(p.startsWith(u'/') && !p.startsWith(QStringLiteral("file:")));
    return 0;
}

}  // namespace rilumo::fuzz
