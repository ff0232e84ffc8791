// ReadMpegInfo on 10 MB files: how many reads it issues and what a call costs,
// beside one plain read of the same byte ranges and a read of the whole file.
// Files live in the page cache after the first pass, so this is the parser's
// and the open/seek/read cost, not the disk's.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>

#include "media/mpeg_info.h"
#include "support/file_ops.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

constexpr int kFileBytes = 10 * 1024 * 1024;

QByteArray filled(const QByteArray& head) {
    const test::MpegFrameSpec cd;
    const QByteArray frame = test::MpegFrame(cd);
    QByteArray out = head;
    out.reserve(kFileBytes);
    while (out.size() + frame.size() + 128 <= kFileBytes) out += frame;
    return out + test::Id3v1Tag();
}

// One open, then the bytes the parser reads: the first 48, the search from
// its start to the window holding the first frame, that frame's first 48
// bytes and the last 1024.
double plainReadMicros(const QString& path, qint64 searchFrom, qint64 frameAt, int rounds) {
    const qint64 windows = (frameAt - searchFrom) / 1000 + 1;
    QByteArray buf(qsizetype(std::max<qint64>(windows * 1000, 1024)), 0);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return -1;
        f.read(buf.data(), 48);
        f.seek(searchFrom);
        f.read(buf.data(), windows * 1000);
        f.seek(frameAt);
        f.read(buf.data(), 48);
        f.seek(f.size() - 1024);
        f.read(buf.data(), 1024);
    }
    return double(t.nsecsElapsed()) / 1000.0 / rounds;
}

double wholeFileMillis(const QString& path) {
    QElapsedTimer t;
    t.start();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray all = f.readAll();
    return double(t.nsecsElapsed()) / 1e6 * (all.isEmpty() ? -1 : 1);
}

void run(const char* name, const QString& path, qint64 searchFrom, int rounds) {
    MpegAudioInfo info;
    ReadMpegInfo(path, info);  // warm the cache
    const std::uint64_t before = ReadAtCalls();
    QElapsedTimer t;
    t.start();
    int ok = 0;
    for (int i = 0; i < rounds; ++i) ok += ReadMpegInfo(path, info);
    const double micros = double(t.nsecsElapsed()) / 1000.0 / rounds;
    const double reads = double(ReadAtCalls() - before) / rounds;
    std::printf("%-34s first frame at %9d  reads/call %7.1f  ReadMpegInfo %9.1f us/call  "
                "plain read of same ranges %8.1f us  whole file %6.2f ms  [%s, ok %d/%d]\n",
                name, info.AudioStart - 1, reads, micros, plainReadMicros(path, searchFrom, info.AudioStart - 1, rounds),
                wholeFileMillis(path), info.LongText.toUtf8().constData(), ok, rounds);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::TempDir dir;
    const QString nearStart = dir.File("near.mp3");
    const QString bigPicture = dir.File("picture.mp3");
    const QString untagged = dir.File("junk.mp3");
    test::WriteFile(nearStart, filled(test::Id3v2Tag(1000)));
    test::WriteFile(bigPicture, filled(test::Id3v2Tag(5 * 1024 * 1024)));
    // 5 MB before the first frame that no tag accounts for: the window search
    // has to walk all of it.
    test::WriteFile(untagged, filled(QByteArray(5 * 1024 * 1024, '\0')));

    std::printf("ReadMpegInfo on %d-byte files (average over the rounds)\n", kFileBytes);
    run("first frame near the start", nearStart, 1010, 2000);
    run("5 MB ID3v2 picture in front", bigPicture, 10 + 5 * 1024 * 1024, 2000);
    run("5 MB untagged bytes in front", untagged, 0, 100);
    return 0;
}
