// CUE sheet tracks in the real window's list: every way in, their cells, the
// tag loader beside them, saving and loading back, and what MPRIS tells.

#include <QDBusConnection>
#include <QFile>
#include <QMimeData>
#include <QStringEncoder>

#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include "app/list_columns.h"
#include "app/mpris_service.h"
#include "app/sheet_entries.h"
#include "app/tag_loader.h"
#include "media/cue_sheet.h"
#include "tests/app/window_fixture.h"

namespace rilumo::test {
namespace {

enum Menu { kLoad = 0, kSave = 1, kFolder = 2 };
constexpr int kRate = 8000;
constexpr std::int64_t kSecond = kCueFramesPerSecond;

// Three tones of one second each (track 2 has a pregap), titles as given;
// track 3 has none.
QString AlbumSheet(const QString& one, const QString& two, const QString& file = "album.wav") {
    return QStringLiteral(
               "REM DATE 2001\r\nPERFORMER \"Band\"\r\nTITLE \"Album\"\r\n"
               "FILE \"%3\" WAVE\r\n"
               "  TRACK 01 AUDIO\r\n    TITLE \"%1\"\r\n    INDEX 01 00:00:00\r\n"
               "  TRACK 02 AUDIO\r\n    TITLE \"%2\"\r\n    PERFORMER \"Guest\"\r\n"
               "    INDEX 00 00:00:70\r\n    INDEX 01 00:01:00\r\n"
               "  TRACK 03 AUDIO\r\n    INDEX 01 00:02:00\r\n")
        .arg(one, two, file);
}

class SheetEntries : public PlayerWindow {
protected:
    void SetUp() override {
        PlayerWindow::SetUp();
        if (HasFatalFailure()) return;
        album = media.File("album.wav");
        QByteArray pcm;
        for (double tone : {330.0, 440.0, 660.0}) pcm += SineSamples(kRate, 1, 16, tone, 1000);
        ASSERT_TRUE(WritePcmWave(album, kRate, 1, 16, pcm));
        // The whole file's tags, which no track may show.
        TagLib::RIFF::WAV::File f(QFile::encodeName(album).constData());
        f.ID3v2Tag()->setTitle("Whole");
        f.ID3v2Tag()->setArtist("Someone else");
        ASSERT_TRUE(f.save(TagLib::RIFF::WAV::File::ID3v2));
    }
    QString Sheet(const QString& name, const QByteArray& bytes) {
        const QString p = media.File(name);
        EXPECT_TRUE(WriteFile(p, bytes));
        return p;
    }
    void Load(const QString& file) {
        dialogs.files << file;
        w->MenuFileClick(kLoad);
    }
    QString Cell(int row, ListColumn c) { return w->LV().Value(row, DataIndex(c)).ToText(); }
    QStringList Column(ListColumn c) {
        QStringList out;
        for (int i = 0; i < w->LV().ItemCount(); ++i) out << Cell(i, c);
        return out;
    }
    // Everything that makes an entry what it is.
    QStringList Entries() {
        QStringList out;
        for (int i = 0; i < w->LV().ItemCount(); ++i)
            out << w->LV().AuxID(i, 0).ToText() + "|" + w->LV().AuxID(i, 1).ToText() + "|" +
                       Cell(i, ListColumn::FileTitle);
        return out;
    }
    bool AllRead() {
        return WaitFor([&] { return w->Tags().Idle(); });
    }

    QString album;
};

TEST_F(SheetEntries, ASegmentTravelsWithItsEntryAndAnythingElseIsTheWholeFile) {
    Fill({Track("b.wav", 100), Track("a.wav", 100)});
    const EntrySegment s{true, 75, 150, "/x/y #1.cue", 3};
    SetSegment(w->LV(), 0, s);
    w->LV().ReOrder(0, 1);
    EXPECT_EQ(SegmentOf(w->LV(), 1), s);
    EXPECT_FALSE(SegmentOf(w->LV(), 0).isTrack);
    EXPECT_FALSE(SegmentOf(w->LV(), 5).isTrack);
    for (const char* junk : {"cue\t1\t2", "cue\t9\t3\t1\t", "mp3\t0\t-1\t1\t"}) {
        w->LV().SetAuxID(1, 1, junk);
        EXPECT_FALSE(SegmentOf(w->LV(), 1).isTrack) << junk;
    }
    SetSegment(w->LV(), 1, s);
    SetSegment(w->LV(), 1, {});
    EXPECT_TRUE(w->LV().AuxID(1, 1).IsEmpty());
}

TEST_F(SheetEntries, SheetsInEveryEncodingListTheirTracksWithTheSheetsWords) {
    const QString text = AlbumSheet("@1", "@2");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QByteArray cp932 = text.toLatin1();
    cp932.replace("@1", "\x93\x8C\x8B\x9E").replace("@2", "\x83\x65\x83\x58\x83\x67");  // 東京, テスト
    const struct {
        const char* name;
        QByteArray bytes;
    } sheets[] = {{"utf8.cue", AlbumSheet("東京", "テスト").toUtf8()},
                  {"bom.cue", "\xEF\xBB\xBF" + AlbumSheet("東京", "テスト").toUtf8()},
                  {"utf16.cue", utf16.encode(AlbumSheet("東京", "テスト"))},
                  {"cp932.cue", cp932}};
    for (const auto& s : sheets) {
        SCOPED_TRACE(s.name);
        const QString path = Sheet(s.name, s.bytes);
        Load(path);
        EXPECT_EQ(dialogs.askedFilters, (QStringList{"プレイリスト (*)", "CUE シート (*.cue)"}));
        ASSERT_EQ(w->LV().ItemCount(), 3);
        EXPECT_EQ(Column(ListColumn::FileTitle), (QStringList{"東京", "テスト", "album 03"}));
        EXPECT_EQ(Column(ListColumn::TagTitle), (QStringList{"東京", "テスト", ""}));
        EXPECT_EQ(Column(ListColumn::Artist), (QStringList{"Band", "Guest", "Band"}));
        EXPECT_EQ(Column(ListColumn::Album), (QStringList{"Album", "Album", "Album"}));
        EXPECT_EQ(Column(ListColumn::Track), (QStringList{"1", "2", "3"}));
        EXPECT_EQ(w->LV().AuxID(1, 0).ToText(), album);
        EXPECT_EQ(SegmentOf(w->LV(), 1), (EntrySegment{true, kSecond, 2 * kSecond, path, 2}));
        EXPECT_EQ(SegmentOf(w->LV(), 2).endFrames, -1);
        EXPECT_EQ(w->LV().IconType(0), 1);
        // The pregap plays as the end of track 1; track 3 runs to the file's end.
        ASSERT_TRUE(AllRead());
        EXPECT_EQ(Column(ListColumn::Length), (QStringList{"1000", "1000", "1000"}));
        EXPECT_EQ(Column(ListColumn::Format), (QStringList(3, "WAV 8kHz 16bit")));
        EXPECT_EQ(Column(ListColumn::TagTitle).at(2), "");
    }
}

TEST_F(SheetEntries, OnlyFoundFilesGiveTracksAndASheetOfNoneIsToldLikeABadList) {
    ASSERT_TRUE(WriteSineWave(media.File("b.wav"), kRate, 1, 16, 500, 500));
    const QString mixed = Sheet("mixed.cue",
                                "junk before anything\nFILE \"album.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                " TRACK 02 AUDIO\n  INDEX 01 00:01:xx\n  INDEX 01 00:01:00\n"
                                "FILE \"gone.wav\" WAVE\n TRACK 03 AUDIO\n  INDEX 01 00:00:00\n"
                                "FILE \"sub\\..\\b.wav\" WAVE\n TRACK 04 AUDIO\n  TITLE \"Four\"\n  INDEX 01 00:00:00\n"
                                "TRACK\nINDEX 01\n");
    Load(mixed);
    EXPECT_EQ(Column(ListColumn::FileTitle), (QStringList{"album 01", "album 02", "Four"}));
    EXPECT_EQ(w->LV().AuxID(2, 0).ToText(), media.File("b.wav"));
    EXPECT_EQ(SegmentOf(w->LV(), 1).endFrames, -1);  // the next track is another file's

    const QString none = Sheet("none.cue", "FILE \"gone.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n");
    Load(none);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("gone.wav")) << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].startsWith("プレイリストを読み込めませんでした。"));
    EXPECT_EQ(w->LV().ItemCount(), 3);  // the list stays

    // The command line takes a sheet as it takes a list.
    FrmMain other(StartupArgs{"mixed.cue", media.Path()});
    other.Load();
    EXPECT_EQ(other.LV().ItemCount(), 3);
    other.close();
}

TEST_F(SheetEntries, AFolderListsItsSheetsTracksTogetherAndTheirFileNeverWhole) {
    ASSERT_TRUE(WriteSineWave(media.File("b.wav"), kRate, 1, 16, 500, 200));
    ASSERT_TRUE(WriteSineWave(media.File("zeta.wav"), kRate, 1, 16, 500, 200));
    Sheet("album.cue", AlbumSheet("Zulu", "Mike").toUtf8());
    Sheet("copy.cue", AlbumSheet("Zulu", "Mike").toUtf8());  // the same file again
    Sheet("broken.cue", "FILE \"gone.wav\" WAVE\n");
    dialogs.folders << media.Path();
    w->MenuFileClick(kFolder);
    EXPECT_EQ(Column(ListColumn::FileTitle), (QStringList{"Zulu", "Mike", "album 03", "b", "zeta"}));
    EXPECT_EQ(SegmentOf(w->LV(), 2).sheetPath, media.File("album.cue"));

    // Dropped together, a sheet and its file are the sheet's tracks alone.
    w->MenuFileClick(5);
    w->DropOnList({album, media.File("album.cue"), media.File("b.wav")}, 0);
    EXPECT_EQ(Column(ListColumn::FileTitle), (QStringList{"Zulu", "Mike", "album 03", "b"}));
}

TEST_F(SheetEntries, ASavedListBringsBackTheSameEntriesInTheSameOrder) {
    const QString sheet = Sheet("album.cue", AlbumSheet("One", "Two").toUtf8());
    Load(sheet);
    w->LV().DeleteItem(0);
    w->LV().ReOrder(0, 1);  // album 03, Two: out of sheet order
    Fill({Track("plain.wav", 200)});
    // A file that happens to bear a track's name keeps its own meaning.
    ASSERT_TRUE(WriteFile(sheet + "#03", "x"));
    const QStringList before = Entries();
    dialogs.files << media.File("saved");
    w->MenuFileClick(kSave);
    EXPECT_EQ(ReadFile(media.File("saved.lst")),
              (sheet + "#003\r\n" + sheet + "#02\r\n" + media.File("plain.wav") + "\r\n").toUtf8());
    w->MenuFileClick(5);
    Load(media.File("saved.lst"));
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(Cell(1, ListColumn::Artist), "Guest");
}

TEST_F(SheetEntries, AFlacsOwnSheetOpensAsItsTracksAndTheyStayTracksWhenMoved) {
    const QString flac = media.File("disc.flac");
    if (!EncodeAs("flac", album, flac)) GTEST_SKIP() << "no FLAC encoder";
    {
        TagLib::FLAC::File f(QFile::encodeName(flac).constData());
        f.xiphComment(true)->addField("TITLE", "Whole");
        f.xiphComment(true)->addField(
            "CUESHEET", TagLib::String(AlbumSheet("一", "二", "CDImage.wav").toStdString(), TagLib::String::UTF8));
        ASSERT_TRUE(f.save());
    }
    w->DropOnList({flac}, 0);
    ASSERT_EQ(Column(ListColumn::FileTitle), (QStringList{"一", "二", "disc 03"}));
    EXPECT_EQ(w->LV().AuxID(0, 0).ToText(), flac);
    EXPECT_EQ(SegmentOf(w->LV(), 1), (EntrySegment{true, kSecond, 2 * kSecond, QString(), 2}));
    ASSERT_TRUE(AllRead());
    EXPECT_EQ(Column(ListColumn::TagTitle), (QStringList{"一", "二", ""}));
    EXPECT_TRUE(Cell(2, ListColumn::Format).startsWith("FLAC")) << Cell(2, ListColumn::Format).toStdString();
    EXPECT_NEAR(Cell(2, ListColumn::Length).toDouble(), 1000, 50);

    // Dragged to the top, tracks 2 and 3 are still those tracks, not the
    // whole file; to another program they are the file once.
    w->LV().UnSelectAll();
    w->LV().SetSelectedItem(1);
    w->LV().SetIsSelected(2, 1);
    QMimeData data;
    int allowed = 0;
    w->LV_OLEStartDrag(&data, allowed);
    EXPECT_EQ(data.urls().size(), 1);
    emit w->LV().OLEDragDrop(&data, 1, 1, 0, 0, 0);
    int effect = 1;
    w->LV_OLECompleteDrag(effect);
    EXPECT_EQ(Column(ListColumn::FileTitle), (QStringList{"二", "disc 03", "一"}));
    EXPECT_EQ(SegmentOf(w->LV(), 1).trackNumber, 3);

    // Saved as the file's tracks, it loads back so.
    const QStringList before = Entries();
    dialogs.files << media.File("flac.lst");
    w->MenuFileClick(kSave);
    w->MenuFileClick(5);
    Load(media.File("flac.lst"));
    EXPECT_EQ(Entries(), before);
}

TEST_F(SheetEntries, MprisTellsATracksOwnWordsNotItsFiles) {
    Load(Sheet("album.cue", AlbumSheet("One", "Two").toUtf8()));
    ASSERT_TRUE(AllRead());
    MprisService mpris(*w, QDBusConnection(QStringLiteral("no bus")));
    w->LV().SetSelectedItem(1);
    const QVariantMap m = mpris.Metadata();
    EXPECT_EQ(m.value("xesam:title").toString(), "Two");
    EXPECT_EQ(m.value("xesam:artist").toStringList(), QStringList{"Guest"});
    EXPECT_EQ(m.value("xesam:album").toString(), "Album");
    EXPECT_EQ(m.value("xesam:trackNumber").toInt(), 2);
    EXPECT_EQ(m.value("mpris:length").toLongLong(), 1000 * 1000);
    const QVariant id = m.value("mpris:trackid");
    w->LV().SetSelectedItem(2);
    EXPECT_EQ(mpris.Metadata().value("xesam:title").toString(), "album 03");
    EXPECT_NE(mpris.Metadata().value("mpris:trackid"), id);
}

}  // namespace
}  // namespace rilumo::test
