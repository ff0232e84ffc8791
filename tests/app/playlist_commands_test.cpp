#include <QDir>
#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "app/playlist_commands.h"
#include "support/globals.h"
#include "support/paths.h"
#include "support/settings.h"
#include "tests/common/scripted_dialogs.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

enum Menu { kLoad = 0, kSave = 1, kFolder = 2, kFolderShuffled = 3, kShuffle = 4, kClear = 5 };

class Playlist : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppFolderForTesting(appDir.Path());
        saved = QDir::currentPath();
        w = std::make_unique<FrmMain>(StartupArgs{});
        w->Load();
    }
    void TearDown() override {
        w->close();
        w.reset();
        SetAppFolderForTesting({});
        QDir::setCurrent(saved);
    }
    QString touch(const QString& name) {
        const QString p = media.File(name);
        EXPECT_TRUE(test::WriteFile(p, "x"));
        return p;
    }
    QStringList titles() {
        QStringList t;
        for (int i = 0; i < w->LV().ItemCount(); ++i) t << w->LV().Value(i, 0).ToText();
        return t;
    }
    QStringList paths() {
        QStringList t;
        for (int i = 0; i < w->LV().ItemCount(); ++i) t << w->LV().AuxID(i, 0).ToText();
        return t;
    }

    test::TempDir appDir, media;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<FrmMain> w;
    QString saved;
};

}  // namespace

TEST_F(Playlist, FolderFillsInNameOrderSkippingOthersAndSubfolders) {
    touch("b.MP3");
    touch("a.wav");
    touch("c.txt");
    QDir(media.Path()).mkdir("sub.mp3");
    touch("sub.mp3/inner.mp3");
    dialogs.folders << media.Path();
    w->MenuFileClick(kFolder);
    EXPECT_EQ(titles(), (QStringList{"a", "b"}));
    EXPECT_EQ(paths().at(1), media.File("b.MP3"));
    EXPECT_EQ(w->LV().IconType(0), 1);
    EXPECT_EQ(w->LV().IconType(1), 4);
    EXPECT_EQ(w->LV().DispColor(0), 0xE0E0E0u);
    EXPECT_EQ(ReadSetting("RndFolder", ""), media.Path() + "/");
    EXPECT_EQ(w->State().busy, 0);
    EXPECT_EQ(w->State().userStop, 1);
}

TEST_F(Playlist, CancelledDialogChangesNothing) {
    touch("a.wav");
    dialogs.folders << media.Path();
    w->MenuFileClick(kFolder);
    WriteSetting("RndFolder", "/kept/");
    w->MenuFileClick(kFolder);  // no answer scripted: cancelled
    EXPECT_EQ(titles(), QStringList{"a"});
    EXPECT_EQ(ReadSetting("RndFolder", ""), "/kept/");
    w->MenuFileClick(kLoad);
    EXPECT_EQ(titles(), QStringList{"a"});
}

TEST_F(Playlist, EscOutsideAScanDoesNotStopTheNextOne) {
    for (int i = 0; i < 150; ++i) touch(QString("t%1.mp3").arg(i, 3, 10, QChar('0')));
    w->State().cancelScan = 1;
    dialogs.folders << media.Path();
    w->MenuFileClick(kFolderShuffled);
    EXPECT_EQ(w->LV().ItemCount(), 150);
    QStringList sorted = titles();
    sorted.sort();
    EXPECT_EQ(sorted.first(), "t000");
    EXPECT_EQ(sorted.last(), "t149");
}

TEST_F(Playlist, SaveAlwaysEndsInLstAndRoundTripsWithCrLf) {
    const QString a = touch("a b.wav"), b = touch("日本語 \"q\".mp3");
    w->AddTitle(a, -2);
    w->AddTitle(b, -2);
    dialogs.files << appDir.File("mylist") << appDir.File("other.LST") << appDir.File("party.rnl");
    w->MenuFileClick(kSave);
    w->MenuFileClick(kSave);
    w->MenuFileClick(kSave);
    EXPECT_TRUE(dialogs.askedSave);
    EXPECT_EQ(test::ReadFile(appDir.File("mylist.lst")), (a + "\r\n" + b + "\r\n").toUtf8());
    EXPECT_TRUE(QFile::exists(appDir.File("other.LST")));
    EXPECT_TRUE(QFile::exists(appDir.File("party.rnl.lst")));
    EXPECT_EQ(ReadSetting("ListFolder", ""), appDir.Path() + "/");

    dialogs.files << appDir.File("mylist.lst");
    w->MenuFileClick(kClear);
    EXPECT_EQ(w->LV().ItemCount(), 0);
    w->MenuFileClick(kLoad);
    EXPECT_EQ(paths(), (QStringList{a, b}));
}

TEST_F(Playlist, FailedSaveTellsTheUserAndKeepsThePlaylist) {
    w->AddTitle(touch("a.wav"), -2);
    QDir(appDir.Path()).mkdir("taken.lst");
    dialogs.files << appDir.File("taken.lst");
    w->MenuFileClick(kSave);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains(appDir.File("taken.lst")));
    EXPECT_TRUE(QFileInfo(appDir.File("taken.lst")).isDir());
    EXPECT_EQ(w->LV().ItemCount(), 1);
    EXPECT_EQ(w->State().busy, 0);
}

TEST_F(Playlist, ListReadingSurvivesOddLines) {
    const QString a = touch("a.wav"), b = touch("b c.mp3"), c = touch("ç.mid"), d = touch("d.mp2");
    QByteArray list;
    list += "\"" + a.toUtf8() + "\"\r\n";         // quoted
    list += "\"\r\n";                              // a lone quote is an empty line
    list += media.File("missing.wav").toUtf8() + "\r\n";
    list += media.Path().toUtf8() + "\r\n";        // a folder
    list += "\xff\xfe\x00garbage\r\n";
    list += QByteArray(100000, 'x') + "\n";
    list += b.toUtf8() + "\r";                     // CR-only end
    list += c.toUtf8() + "\n";                     // LF-only end
    list += touch("e.txt").toUtf8() + "\r\n";      // not a type the player takes
    list += d.toUtf8();                            // no final line end
    ASSERT_TRUE(test::WriteFile(appDir.File("odd.lst"), list));
    w->AddTitle(touch("kept.wav"), -2);
    w->ReadList(appDir.File("odd.lst"));
    EXPECT_EQ(paths().mid(1), (QStringList{a, b, c, d}));
    EXPECT_EQ(titles().first(), "kept");

    w->ReadList(appDir.File("no such list"));
    EXPECT_EQ(w->LV().ItemCount(), 5);
}

TEST_F(Playlist, ListsOfOtherProgramsLoadWithTheirRelativePaths) {
    QDir(media.Path()).mkdir("sub dir");
    const QString a = touch("a.flac"), b = touch("曲 b.ogg"), c = touch("sub dir/c.opus"), d = touch("d.wv");
    const QByteArray bUri = QUrl::fromLocalFile(b).toEncoded();
    const struct {
        const char* name;
        QByteArray text;
    } lists[] = {
        {"x.m3u", "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,A\r\na.flac\r\n" + bUri + "\r\nsub dir/c.opus\r\n"
                  "C:\\Music\\d.wv\r\n" + d.toUtf8() + "\r\n"},
        {"x.m3u8", "a.flac\n" + b.toUtf8() + "\n./sub dir/../sub dir/c.opus\nmissing.flac\n" + d.toUtf8()},
        {"x.pls", "[playlist]\nFile4=" + d.toUtf8() + "\nFile1=a.flac\nFile3=sub dir/c.opus\nFile2=" + bUri +
                  "\nNumberOfEntries=9\n"},
        {"x.xspf", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><playlist version=\"1\" "
                   "xmlns=\"http://xspf.org/ns/0/\"><trackList><track><location>a.flac</location></track>"
                   "<track><location>" + bUri + "</location></track><track><location>sub%20dir/c.opus"
                   "</location></track><track><location>" + QUrl::fromLocalFile(d).toEncoded() +
                   "</location></track></trackList></playlist>"},
        {"x.lst", "a.flac\r\n\"" + b.toUtf8() + "\"\r\nsub dir/c.opus\r\n" + QUrl::fromLocalFile(d).toEncoded()},
    };
    for (const auto& l : lists) {
        ASSERT_TRUE(test::WriteFile(media.File(l.name), l.text));
        w->LV().DeleteAll();
        w->ReadList(media.File(l.name));
        EXPECT_EQ(paths(), (QStringList{a, b, c, d})) << l.name;
    }
    // A list dropped on the list goes in at the row, in its own order.
    w->LV().DeleteAll();
    for (const char* n : {"r0.wav", "r1.wav"}) w->AddTitle(touch(n), -2);
    w->DropOnList({media.File("x.m3u8")}, 1.2f * w->LV().OneHeight());
    EXPECT_EQ(titles(), (QStringList{"r0", "a", "曲 b", "c", "d", "r1"}));
}

TEST_F(Playlist, AListThatCannotBeReadKeepsThePlaylistAndSaysWhy) {
    w->AddTitle(touch("kept.wav"), -2);
    const QString binary = appDir.File("song.lst");
    ASSERT_TRUE(test::WriteFile(binary, QByteArray("RIFF\0\0\0\0WAVEfmt ", 16)));
    const QString locked = appDir.File("locked.m3u");
    ASSERT_TRUE(test::WriteFile(locked, "a.wav\n"));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    QStringList cases{binary, appDir.Path()};
    if (!QFileInfo(locked).isReadable()) cases << locked;  // root reads anything
    for (const QString& list : cases) {
        dialogs.messages.clear();
        dialogs.files << list;
        w->MenuFileClick(kLoad);
        ASSERT_EQ(dialogs.messages.size(), 1) << list.toStdString();
        EXPECT_TRUE(dialogs.messages.first().contains(list));
        EXPECT_EQ(titles(), QStringList{"kept"});
        EXPECT_EQ(w->State().busy, 0);
    }
}

TEST_F(Playlist, RnlListIsShuffledOnLoad) {
    QByteArray list;
    QStringList order;
    for (int i = 0; i < 30; ++i) {
        const QString p = touch(QString("s%1.wav").arg(i, 2, 10, QChar('0')));
        order << p;
        list += p.toUtf8() + "\r\n";
    }
    ASSERT_TRUE(test::WriteFile(appDir.File("party.RNL"), list));
    dialogs.files << appDir.File("party.RNL");
    w->MenuFileClick(kLoad);
    QStringList got = paths();
    EXPECT_NE(got, order);
    got.sort();
    EXPECT_EQ(got, order);
}

TEST_F(Playlist, DropInsertsAtTheRowInTheDroppedOrder) {
    for (const char* n : {"r0.wav", "r1.wav", "r2.wav", "r3.wav"}) w->AddTitle(touch(n), -2);
    const QStringList drop{touch("x.mp3"), touch("y.mp3"), touch("z.mp3")};
    const float row3 = 3.2f * w->LV().OneHeight();
    w->DropOnList(drop, row3);
    EXPECT_EQ(titles(), (QStringList{"r0", "r1", "r2", "x", "y", "z", "r3"}));
    w->DropOnList({touch("last.wav"), touch("after.wav")}, 1e6f);
    EXPECT_EQ(titles().mid(7), (QStringList{"last", "after"}));
    EXPECT_EQ(w->State().busy, 0);
    // While stopped a drop on row 0 inserts there.
    w->DropOnList({touch("first.wav")}, 0);
    EXPECT_EQ(titles().first(), "first");
}

TEST(CommandLineList, LoadsAtStartUpAndShufflesRnl) {
    test::TempDir app, dir;
    SetAppFolderForTesting(app.Path());
    const QString saved = QDir::currentPath();
    QByteArray list;
    QStringList order;
    for (int i = 0; i < 20; ++i) {
        const QString p = dir.File(QString("t%1.mp3").arg(i));
        test::WriteFile(p, "x");
        order << p;
        list += p.toUtf8() + "\r\n";
    }
    test::WriteFile(dir.File("in order.lst"), list);
    test::WriteFile(dir.File("mixed.Rnl"), list);
    auto loaded = [&](const QString& commandLine) {
        FrmMain w({commandLine, dir.Path()});
        w.Load();
        QStringList got;
        for (int i = 0; i < w.LV().ItemCount(); ++i) got << w.LV().AuxID(i, 0).ToText();
        w.close();
        return got;
    };
    EXPECT_EQ(loaded("in order.lst"), order);  // relative to the start folder
    const QStringList mixed = loaded(dir.File("mixed.Rnl"));
    EXPECT_NE(mixed, order);
    EXPECT_EQ(mixed.size(), order.size());
    EXPECT_TRUE(loaded("\"" + dir.File("in order.lst") + "\"").isEmpty());
    SetAppFolderForTesting({});
    QDir::setCurrent(saved);
}

TEST_F(Playlist, FolderScanTakesFileLinksButNotFolderLinksOrMissingFolders) {
    const QString target = touch("real.wav");
    QDir(media.Path()).mkdir("deep.mp3");
    QFile::link(target, media.File("link.mp3"));
    QFile::link(media.File("deep.mp3"), media.File("dirlink.mp3"));
    QFile::link(media.File("gone.wav"), media.File("dangling.wav"));
    w->AddFolder(media.Path());
    QStringList got = titles();
    got.sort();
    EXPECT_EQ(got, (QStringList{"dangling", "link", "real"}));
    w->AddFolder(media.File("no such folder"));
    EXPECT_EQ(w->LV().ItemCount(), 3);
}
