#include <gtest/gtest.h>

#include "media/playlist_formats.h"
#include "support/paths.h"

using namespace rilumo;

namespace {
const QString kBase = QStringLiteral("/lists/");
}

TEST(PlaylistFormats, EntriesResolveToLocalPaths) {
    const struct {
        const char* entry;
        const char* path;
    } rows[] = {
        {"/music/a.mp3", "/music/a.mp3"},
        {"b c.flac", "/lists/b c.flac"},
        {"../up/d.ogg", "/up/d.ogg"},
        {"./sub/曲.opus", "/lists/sub/曲.opus"},
        {"file:///music/a%20b%23.mp3", "/music/a b#.mp3"},
        {"file://localhost/music/%E6%9B%B2.wav", "/music/曲.wav"},
        {"FILE:///x.mp3", "/x.mp3"},
        {"file://server/share/x.mp3", ""},
        {"http://radio.example/stream", ""},
        {"C:\\Music\\a.mp3", ""},
        {"d:/music/a.mp3", ""},
        {"\\\\server\\share\\a.mp3", ""},
        {"   ", ""},
        {"", ""},
        {"odd:name.mp3", "/lists/odd:name.mp3"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ResolveListEntry(QString::fromUtf8(r.entry), kBase), QString::fromUtf8(r.path)) << r.entry;
}

TEST(PlaylistFormats, KindsByExtension) {
    EXPECT_EQ(PlaylistKindOf("/a/x.M3U"), PlaylistKind::M3u);
    EXPECT_EQ(PlaylistKindOf("/a/x.m3u8"), PlaylistKind::M3u8);
    EXPECT_EQ(PlaylistKindOf("/a/x.Pls"), PlaylistKind::Pls);
    EXPECT_EQ(PlaylistKindOf("/a/x.xspf"), PlaylistKind::Xspf);
    EXPECT_EQ(PlaylistKindOf("/a/x.rnl"), PlaylistKind::Own);
    EXPECT_TRUE(IsForeignPlaylist("/a/x.pls"));
    EXPECT_FALSE(IsForeignPlaylist("/a/x.lst"));
}

TEST(PlaylistFormats, M3uSkipsCommentsAndFallsBackToLatin1) {
    const QByteArray m3u = "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:123,Artist - Title\r\na.mp3\r\n\r\n/abs/b.wav\n#x\n";
    EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u8, m3u, kBase), QStringList({"/lists/a.mp3", "/abs/b.wav"}));
    const QByteArray latin1 = "caf\xE9.mp3\n";  // not valid UTF-8
    EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u, latin1, kBase), QStringList({QString::fromUtf8("/lists/café.mp3")}));
    EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u, "caf\xC3\xA9.mp3", kBase),
              QStringList({QString::fromUtf8("/lists/café.mp3")}));
    const QString utf16 = QChar(0xFEFF) + QString::fromUtf8("#EXTM3U\r\n曲.mp3\r\n");
    const QByteArray le(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u, le, kBase), QStringList({QString::fromUtf8("/lists/曲.mp3")}));
}

TEST(PlaylistFormats, PlsTakesFilesInNumberOrder) {
    const QByteArray pls =
        "[other]\nFile1=/not/this.mp3\n[playlist]\nNumberOfEntries=1\nFile10=ten.mp3\r\n"
        "Title2=x\nFile2 = /two.mp3 \nfile1=one.mp3\nFilex=bad.mp3\nFile1=dup.mp3\nVersion=2\n";
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Pls, pls, kBase),
              QStringList({"/lists/one.mp3", "/two.mp3", "/lists/ten.mp3"}));
}

TEST(PlaylistFormats, XspfTakesTheFirstLocationOfEachTrack) {
    const QByteArray xspf = R"(<?xml version="1.0" encoding="UTF-8"?>
<playlist version="1" xmlns="http://xspf.org/ns/0/">
  <title>t</title><location>file:///not/a/track.mp3</location>
  <trackList>
    <track><title>One</title><location>file:///m/one%20a.flac</location><location>file:///m/alt.flac</location></track>
    <track><location>http://example/stream.ogg</location></track>
    <track><location>rel/tw%C3%B6.ogg</location></track>
    <track><annotation>no location</annotation></track>
    <track><location>&#47;abs&amp;x.mp3</location></track>
  </trackList>
</playlist>)";
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Xspf, xspf, kBase),
              QStringList({"/m/one a.flac", QString::fromUtf8("/lists/rel/twö.ogg"), "/abs&x.mp3"}));
    // A broken document keeps what came before the fault.
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Xspf, xspf.left(xspf.indexOf("<track><location>http")), kBase),
              QStringList({"/m/one a.flac"}));
}

TEST(PlaylistFormats, OwnListsKeepTheQuoteRule) {
    const QByteArray own = "\"/m/a.mp3\"\r\nrel.wav\r\n\"\r\nC:\\x.mp3\r\n";
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Own, own, kBase), QStringList({"/m/a.mp3", "/lists/rel.wav"}));
}

namespace {
QByteArray cp932(const char* utf8) {
    // The fixtures' Japanese in the bytes a Japanese Windows desktop writes.
    static const struct {
        const char* text;
        const char* bytes;
    } table[] = {{"東京", "\x93\x8C\x8B\x9E"}, {"二曲目", "\x93\xF1\x8B\xC8\x96\xDA"}, {"表", "\x95\x5C"}};
    QByteArray out(utf8);
    for (const auto& row : table) out.replace(row.text, row.bytes);
    return out;
}

PathProbe existing(const QStringList& files) {
    return [files](const QString& p) { return files.contains(p); };
}
}  // namespace

TEST(PlaylistFormats, WindowsJapaneseM3uReadsWithBackslashesAndCrLf) {
    const QByteArray m3u = cp932("#EXTM3U\r\n#EXTINF:1,東京\r\n一.wav\r\n東京\\二曲目.wav\r\n..\\表.wav\r\nC:\\x.wav\r\n");
    // "一" in the first line is UTF-8 on purpose: lines are decided one by one.
    const QStringList files = {QString::fromUtf8("/lists/一.wav"), QString::fromUtf8("/lists/東京/二曲目.wav"),
                               QString::fromUtf8("/表.wav")};
    EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u, m3u, kBase, existing(files)), files);
    // With nothing to ask, a line is read as written.
    EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u, m3u, kBase)[1], QString::fromUtf8("/lists/東京\\二曲目.wav"));
}

TEST(PlaylistFormats, ExistingFilesDecideBetweenReadings) {
    // The same CP932 line names either a converted name or one kept as bytes.
    const QByteArray line = cp932("東京.wav\r\n");
    const QString converted = QString::fromUtf8("/lists/東京.wav");
    const QString asBytes = PathFromBytes("/lists/\x93\x8C\x8B\x9E.wav");
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Own, line, kBase, existing({converted})), QStringList{converted});
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Own, line, kBase, existing({asBytes})), QStringList{asBytes});
    // A Latin-1 name only when it is the one on disk.
    const QString latin = QString::fromLatin1("/lists/\x93\x8C\x8B\x9E.wav");
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Own, line, kBase, existing({latin})), QStringList{latin});
    // A raw CP932 name whose second byte is 0x5C keeps it, not a separator.
    const QString rawTable = PathFromBytes("/lists/d/\x95\x5C.wav");
    EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u, "d\\\x95\x5C.wav", kBase, existing({rawTable})), QStringList{rawTable});
}

TEST(PlaylistFormats, Utf16AndQuotedOwnAndPlsEntriesAllDecode) {
    const QString text = QString::fromUtf8("\"東京.wav\"\r\nb.wav\r\n曲\\c.wav\r\n");
    const QString le = QChar(0xFEFF) + text;
    const QByteArray leBytes(reinterpret_cast<const char*>(le.utf16()), le.size() * 2);
    QByteArray beBytes;
    for (const QChar c : le) beBytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    const QStringList files = {QString::fromUtf8("/lists/東京.wav"), "/lists/b.wav", QString::fromUtf8("/lists/曲/c.wav")};
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Own, leBytes, kBase, existing(files)), files);
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Own, beBytes, kBase, existing(files)), files);
    const QByteArray pls = cp932("[playlist]\r\nFile1=東京.wav\r\nFile2=file:///m/%93%8C.wav\r\n");
    EXPECT_EQ(ParsePlaylist(PlaylistKind::Pls, pls, kBase),
              QStringList({QString::fromUtf8("/lists/東京.wav"), PathFromBytes("/m/\x93\x8C.wav")}));
}

TEST(PlaylistFormats, SheetTrackNamesSplitBackAndNeverMeanAFileOfTheirOwn) {
    EXPECT_EQ(SheetTrackName("/m/a.cue", 3), "/m/a.cue#03");
    EXPECT_EQ(SheetTrackName("/m/a.cue", 120), "/m/a.cue#120");
    const auto taken = [](const QString& p) { return p == "/m/a.cue#03" || p == "/m/a.cue#003"; };
    EXPECT_EQ(SheetTrackName("/m/a.cue", 3, taken), "/m/a.cue#0003");
    QString sheet;
    int n = -1;
    ASSERT_TRUE(SplitSheetTrackName("/m/#x/a b.flac#0003", &sheet, &n));
    EXPECT_EQ(sheet, "/m/#x/a b.flac");
    EXPECT_EQ(n, 3);
    for (const char* other : {"/m/a.cue", "/m/a.cue#3", "/m/a.cue#0x", "#03", "/m/a.cue#1000", "/m/a.cue#03 "})
        EXPECT_FALSE(SplitSheetTrackName(other, &sheet, &n)) << other;
}
