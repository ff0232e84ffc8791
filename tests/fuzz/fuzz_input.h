#pragma once
// The readers work on paths, so each input goes to a file in memory-backed
// storage first (one per process, so parallel jobs do not collide).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace rilumo::fuzz {

inline QString InputPath(const char* extension) {
    const QString dir = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                   : QDir::tempPath();
    return QStringLiteral("%1/rilumo-fuzz-%2.%3").arg(dir).arg(getpid()).arg(extension);
}

inline void WriteInput(const QString& path, const std::uint8_t* data, std::size_t size) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    if (f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) std::abort();
}

// A broken invariant counts as a finding.
inline void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace rilumo::fuzz
