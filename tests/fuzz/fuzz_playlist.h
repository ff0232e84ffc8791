#pragma once
// One body for the list-reader targets: each target names its format.

#include <QHash>

#include "media/playlist_formats.h"
#include "tests/fuzz/fuzz_input.h"

namespace rilumo::fuzz {

inline void CheckPaths(const QStringList& paths) {
    // Every entry is a local absolute path (a URI's scheme never survives).
    for (const QString& p : paths) Check(p.startsWith(u'/') && !p.startsWith(QStringLiteral("file:")));
}

inline int FuzzPlaylist(PlaylistKind kind, const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckPaths(ParsePlaylist(kind, bytes, QStringLiteral("/base/")));
    // A file system on which some of the readings exist: every reading and
    // its backslash variant get chosen somewhere.
    const PathProbe someExist = [](const QString& p) { return qHash(p) % 3 == 0; };
    CheckPaths(ParsePlaylist(kind, bytes, QStringLiteral("/base/"), someExist));
    return 0;
}

}  // namespace rilumo::fuzz
