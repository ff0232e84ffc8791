#pragma once
// Raw file operations shared by the log, the media readers, the player and
// the main window. Sizes and offsets are 64-bit throughout.

#include <QByteArray>
#include <QString>

#include <cstdint>

#include <dirent.h>

class QFile;

namespace rilumo {

int FileExists(const QString& path);
// A regular file, or a link to one: never a pipe or a device, whose first read
// could block for good, and never a folder.
bool IsRegularFile(const QString& path);
int DirectoryExists(const QString& path);
int MakeDirectory(const QString& path);
int RemoveFile(const QString& path);
// Opens a file by its name's exact bytes (Qt's own open would lose a name
// that is not UTF-8); false for a folder or a failure.
bool OpenForRead(QFile& file, const QString& path);
// Low 32 bits of the size as a signed int; 0 and size 0 when it cannot be opened.
int FileSizeOf(const QString& path, std::int64_t& size);
// Reads count bytes at offset64 (when non-zero) or offset32 into buffer; a
// short read at the end of the file still succeeds. With retries > 0 a failed
// read is tried again after 500 ms (events keep running), retries times at most.
int ReadAt(char* buffer, std::int64_t count, std::int64_t offset32, const QString& path,
           std::int64_t offset64, int retries);
// ReadAt into a byte array; the array is resized to the bytes actually read.
int ReadAt(QByteArray& buffer, std::int64_t count, std::int64_t offset, const QString& path,
           int retries = 0);
// The names of one folder's entries that are not folders (a link counts as
// what it points to), in the order the file system lists them, byte-exact.
class FolderFiles {
public:
    explicit FolderFiles(const QString& folder);
    ~FolderFiles();
    FolderFiles(const FolderFiles&) = delete;
    FolderFiles& operator=(const FolderFiles&) = delete;
    bool Next(QString& name);

private:
    QByteArray folder_;
    DIR* dir_;
};

int SeekTo(QFile& file, std::int64_t offset);
std::int64_t SizeOfOpenFile(QFile& file);
void WaitMs(int ms, int slice);
QString ByteToBits(int value);
int IsOdd(double x);

// How many file reads ReadAt has issued since the start (for benchmarks).
std::uint64_t ReadAtCalls();

}  // namespace rilumo
