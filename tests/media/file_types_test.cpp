#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include "media/content_sniff.h"
#include "media/file_types.h"
#include "media/mp4_gapless.h"
#include "media/mpeg_info.h"
#include "media/open_formats.h"
#include "media/wave_reader.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

TEST(FileTypes, EveryAcceptedExtensionHasACodeAChainARouteAndAMimeType) {
    const QStringList accepted = AcceptedExtensions();
    // The classic groups by their codes, and what the player added.
    const QList<QPair<QStringList, int>> groups = {
        {{"wav"}, 1}, {{"mp1"}, 2}, {{"mp2", "mpa"}, 3}, {{"mp3"}, 4},
        {{"aif", "aiff", "snd", "asf", "wma", "m4a", "aac"}, 5},
        {{"m1v", "m2v", "mpg", "mpeg"}, 6}, {{"avi", "wmv", "mp4"}, 7}, {{"mid", "midi", "smf"}, 8},
        {{"flac", "ogg", "oga", "opus", "wv"}, 9}};
    int count = 0;
    for (const auto& [extensions, code] : groups) {
        for (const QString& e : extensions) {
            EXPECT_EQ(FileTypeCode("/a/x." + e), code) << e.toStdString();
            EXPECT_EQ(FileTypeCode("/a/x." + e.toUpper()), code) << e.toStdString();
            ++count;
        }
    }
    EXPECT_EQ(accepted.size(), count);
    for (const FileType& t : FileTypes()) {
        if (t.code == 0) continue;
        EXPECT_NE(t.chain, Chain::None) << t.name;
        EXPECT_NE(t.route, SummaryRoute::None) << t.name;
        EXPECT_TRUE(QByteArray(t.mimeTypes).contains('/')) << t.name;
    }
    // A list of stream links and a header-only type are never entries.
    for (const char* path : {"/a/x.asx", "/a/x.wmariff", "/a/x.txt", "/a.mp3/readme", "/a/mp3", "/a/x."})
        EXPECT_EQ(FileTypeCode(path), 0) << path;
    EXPECT_EQ(ChainOf("wmariff"), Chain::WindowsMedia);
    EXPECT_EQ(ChainOf("xyz"), Chain::None);
    EXPECT_EQ(SummaryRouteOf("/a/x.asx"), SummaryRoute::None);
    const QStringList mimes = AcceptedMimeTypes();
    EXPECT_EQ(mimes.size(), QSet<QString>(mimes.begin(), mimes.end()).size());
    for (const char* m : {"audio/mpeg", "audio/flac", "video/x-msvideo", "audio/midi"}) EXPECT_TRUE(mimes.contains(m));
    EXPECT_FALSE(mimes.contains("audio/x-ms-asx"));
}

TEST(ContentSniff, RefusesZerosPicturesArchivesProgramsAndText) {
    const QList<QPair<QByteArray, Content>> refused = {
        {{}, Content::Empty},
        {QByteArray(4096, '\0'), Content::Zeros},
        {QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), Content::Picture},
        {QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10), Content::Picture},
        {"GIF89a\x01\0\x01\0", Content::Picture},
        {QByteArray("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n", 15), Content::Document},
        {QByteArray("PK\x03\x04\x14\0\0\0", 8), Content::Archive},
        {QByteArray("\x7F" "ELF\x02\x01\x01\0", 8), Content::Program},
        {"A text file under an audio name.\n", Content::Text},
        {QString("日本語のテキスト\r\n").repeated(100).toUtf8(), Content::Text},
    };
    for (const auto& [bytes, content] : refused) EXPECT_EQ(SniffContent(bytes), content) << bytes.left(8).toHex().data();

    // Real files of every type pass: tests/playback. Zeros short of a whole
    // kilobyte may still be a header's padding.
    EXPECT_EQ(SniffContent(QByteArray(1023, '\0') + '\x01'), Content::Unknown);
    EXPECT_EQ(SniffContent(test::Id3v2Tag(100) + test::MpegFrame({})), Content::Unknown);
}

// A half-downloaded file: its size preallocated, nothing written yet.
QString sparse(const test::TempDir& dir, const QString& name, qint64 size) {
    const QString path = dir.File(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
    return path;
}

TEST(FileTypes, HeaderReadersStopEarlyInHugeFilesOfZeros) {
    test::TempDir dir;
    const QString wav = sparse(dir, "x.wav", 2LL << 30);
    const QString flac = sparse(dir, "x.flac", 100LL << 20);
    const QString mp3 = sparse(dir, "x.mp3", 100LL << 20);
    const QString m4a = sparse(dir, "x.m4a", 2LL << 30);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(GetFileType(wav), "wav");
    EXPECT_EQ(ReadWaveInfo(wav).Valid, 0);
    EXPECT_EQ(GetFileType(flac), "flac");
    EXPECT_EQ(ReadOpenAudioInfo(flac).Valid, 0);
    MpegAudioInfo info;
    EXPECT_EQ(ReadMpegInfo(mp3, info), 0);
    EXPECT_FALSE(ReadMp4GaplessTrim(m4a).Valid());
    for (const QString& p : {wav, flac, mp3, m4a}) EXPECT_EQ(SniffFile(p), Content::Zeros);
    // Minutes before the walks were bounded; a generous bound for a busy machine.
    EXPECT_LT(clock.elapsed(), 2000);
}

}  // namespace
}  // namespace rilumo
