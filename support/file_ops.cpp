#include "support/file_ops.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/error_trap.h"
#include "support/event_pump.h"
#include "support/paths.h"
#include "support/text.h"

namespace rilumo {

namespace {
std::uint64_t readCalls = 0;

QString withoutTrailingSlash(const QString& path) {
    return path.size() > 1 && path.endsWith(kSep) ? path.left(path.size() - 1) : path;
}

bool statOf(const QString& path, struct stat& st) { return ::stat(PathToBytes(path).constData(), &st) == 0; }
}  // namespace

int FileExists(const QString& path) {
    if (TrimSpaces(path).isEmpty()) return 0;
    struct stat st{};
    return statOf(path, st) && !S_ISDIR(st.st_mode) ? 1 : 0;
}

bool IsRegularFile(const QString& path) {
    if (path.isEmpty()) return false;
    struct stat st{};
    return statOf(path, st) && S_ISREG(st.st_mode);
}

int DirectoryExists(const QString& path) {
    if (TrimSpaces(path).isEmpty()) return 0;
    struct stat st{};
    return statOf(withoutTrailingSlash(path), st) && S_ISDIR(st.st_mode) ? 1 : 0;
}

int MakeDirectory(const QString& path) {
    if (TrimSpaces(path).isEmpty()) return 0;
    return ::mkdir(PathToBytes(withoutTrailingSlash(path)).constData(), 0777) == 0 ? 1 : 0;
}

int RemoveFile(const QString& path) {
    return TrapOr(0, [&] {
        const QByteArray name = PathToBytes(path);
        struct stat st{};
        if (::lstat(name.constData(), &st) != 0) return 1;
        if (::access(name.constData(), W_OK) != 0) ::chmod(name.constData(), st.st_mode | S_IWUSR);
        return ::unlink(name.constData()) == 0 ? 1 : 0;
    });
}

bool OpenForRead(QFile& file, const QString& path) {
    if (path.isEmpty()) return false;
    const int fd = ::open(PathToBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

int FileSizeOf(const QString& path, std::int64_t& size) {
    size = 0;
    QFile f;
    if (!OpenForRead(f, path)) return 0;
    size = f.size();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(size & 0xFFFFFFFFu));
}

FolderFiles::FolderFiles(const QString& folder)
    : folder_(PathToBytes(FixTrailingSlash(folder, false))), dir_(::opendir(folder_.constData())) {}

FolderFiles::~FolderFiles() {
    if (dir_) ::closedir(dir_);
}

bool FolderFiles::Next(QString& name) {
    while (dir_) {
        const dirent* e = ::readdir(dir_);
        if (!e) break;
        const QByteArray raw(e->d_name);
        if (raw == "." || raw == "..") continue;
        if (e->d_type == DT_DIR) continue;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st{};
            if (::stat((folder_ + raw).constData(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        }
        name = PathFromBytes(raw);
        return true;
    }
    return false;
}

int SeekTo(QFile& file, std::int64_t offset) {
    if (offset < 0) return -1;
    return file.seek(offset) ? 0 : -1;
}

std::int64_t SizeOfOpenFile(QFile& file) { return file.isOpen() ? file.size() : -1; }

int ReadAt(char* buffer, std::int64_t count, std::int64_t offset32, const QString& path,
           std::int64_t offset64, int retries) {
    if (count < 0) return 0;
    int attempt = 0;
    for (;;) {
        ++readCalls;
        bool ok = false;
        QFile f;
        if (OpenForRead(f, path)) {
            const std::int64_t at = offset64 != 0 ? offset64 : offset32;
            if (SeekTo(f, at) == 0) {
                const std::int64_t got = f.read(buffer, count);
                if (got >= 0) {
                    // Defined contents past a short read: the callers parse what they get.
                    std::memset(buffer + got, 0, static_cast<size_t>(count - got));
                    ok = true;
                }
            }
            f.close();
        }
        if (ok) return 1;
        if (retries <= 0 || ++attempt >= retries) return 0;
        WaitMs(500, 0);
    }
}

int ReadAt(QByteArray& buffer, std::int64_t count, std::int64_t offset, const QString& path,
           int retries) {
    buffer.clear();
    if (count < 0 || offset < 0) return 0;
    int attempt = 0;
    for (;;) {
        // Never allocate more than the file can give: a count taken from a
        // damaged header must not exhaust memory. The size is taken again on
        // every attempt, since the file may appear or grow during the wait.
        std::int64_t size = 0;
        FileSizeOf(path, size);
        const std::int64_t want = std::min(count, size > offset ? size - offset : 0);
        QByteArray data(static_cast<qsizetype>(want), '\0');
        if (ReadAt(data.data(), want, offset, path, offset, 0)) {
            buffer = std::move(data);
            return 1;
        }
        if (retries <= 0 || ++attempt >= retries) return 0;
        WaitMs(500, 0);
    }
}

void WaitMs(int ms, int slice) {
    // A monotonic clock: no midnight wrap to correct, and no clock change can
    // make the wait endless.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        DoEvents();
        if (clock.elapsed() > ms) return;
        if (slice > 0)
            QThread::msleep(static_cast<unsigned long>(slice));
        else
            QThread::yieldCurrentThread();
    }
}

QString ByteToBits(int value) {
    QString bits;
    for (int b = 7; b >= 0; --b) bits += (value >> b) & 1 ? u'1' : u'0';
    return bits;
}

int IsOdd(double x) {
    if (!std::isfinite(x)) return 0;
    const double digit = std::fabs(std::fmod(std::trunc(x), 10.0));
    return static_cast<int>(digit) % 2;
}

std::uint64_t ReadAtCalls() { return readCalls; }

}  // namespace rilumo
