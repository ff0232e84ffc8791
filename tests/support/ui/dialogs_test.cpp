#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "support/ui/dialogs.h"
#include "tests/common/test_env.h"
#include "tests/common/scripted_dialogs.h"

using namespace rilumo;

TEST(BrowseFolder, StartFolderTitleAndTrailingSeparator) {
    test::TempDir dir;
    test::ScriptedDialogs d;
    d.answer = dir.Path();
    EXPECT_EQ(BrowseFolder(dir.Path() + "/", "", nullptr), dir.Path() + "/");
    EXPECT_EQ(d.askedStart, dir.Path());
    EXPECT_EQ(d.askedTitle, "フォルダを選択してください");

    EXPECT_EQ(BrowseFolder("", "選んで", nullptr), dir.Path() + "/");
    EXPECT_EQ(d.askedStart, QDir::currentPath());
    EXPECT_EQ(d.askedTitle, "選んで");

    BrowseFolder("/", "", nullptr);
    EXPECT_EQ(d.askedStart, "/");
}

TEST(BrowseFolder, CancelOrANonFolderGivesEmpty) {
    test::TempDir dir;
    test::ScriptedDialogs d;
    EXPECT_EQ(BrowseFolder(dir.Path(), "", nullptr), "");
    ASSERT_TRUE(test::WriteFile(dir.File("f"), "x"));
    d.answer = dir.File("f");
    EXPECT_EQ(BrowseFolder(dir.Path(), "", nullptr), "");
    d.answer = dir.File("missing");
    EXPECT_EQ(BrowseFolder(dir.Path(), "", nullptr), "");
}

TEST(FileDialog, FiltersAndDefaultFlags) {
    test::ScriptedDialogs d;
    d.answer = "  /m/a.lst  ";
    EXPECT_EQ(FileDialog(nullptr, 1, "プレイリスト|*.*", "/m", "a.lst", -1), "/m/a.lst");
    EXPECT_TRUE(d.askedSave);
    EXPECT_TRUE(d.askedConfirm);
    EXPECT_EQ(d.askedFilters, QStringList{"プレイリスト (*)"});
    EXPECT_EQ(d.askedStart, "/m");
    EXPECT_EQ(d.askedName, "a.lst");

    FileDialog(nullptr, 0, "", "", "", -1);
    EXPECT_FALSE(d.askedSave);
    EXPECT_TRUE(d.askedFilters.isEmpty());
    FileDialog(nullptr, 1, "x|*.x", "", "", 0x80004);
    EXPECT_FALSE(d.askedConfirm);

    d.answer.clear();
    EXPECT_EQ(FileDialog(nullptr, 0, "x|*.x", "", "", -1), "");
}

TEST(FileDialog, QtNameFilters) {
    EXPECT_EQ(QtNameFilters("音声|*.mp3;*.wav|すべて|*.*"),
              (QStringList{"音声 (*.mp3 *.wav)", "すべて (*)"}));
    EXPECT_EQ(QtNameFilters("名前だけ"), QStringList{});
    EXPECT_EQ(QtNameFilters("a||b|*.b|c"), (QStringList{"a (*)", "b (*.b)"}));
}

TEST(MessageBoxStyle, ButtonsIconsAndCodes) {
    auto box = MakeMessageBox(nullptr, "t", "c", 4 + 32);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    box->button(QMessageBox::No)->click();
    EXPECT_EQ(MessageBoxResult(*box), 7);

    box = MakeMessageBox(nullptr, "t", "c", 1 + 48 + 0x100);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Cancel));
    EXPECT_EQ(MessageBoxResult(*box), 2);  // closed without a button

    box = MakeMessageBox(nullptr, "t", "c", 64);
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(MessageBoxResult(*box), 1);
    EXPECT_EQ(MakeMessageBox(nullptr, "t", "c", 16)->icon(), QMessageBox::Critical);
    EXPECT_EQ(MakeMessageBox(nullptr, "t", "c", 3)->standardButtons(),
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

TEST(MessageBoxStyle, RealBoxAppearsWhereItWasPlaced) {
    QPoint seen(-1, -1);
    QSize seenSize;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        seen = box->pos();
        seenSize = box->frameGeometry().size();
        static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
    });
    QWidget owner;
    owner.show();
    EXPECT_EQ(CurrentDialogs().ShowMessage(&owner, "本文", "題", 4, true, 37, 41), 6);
    EXPECT_EQ(seen, QPoint(37, 41));
    const QSize size = CurrentDialogs().MessageSize(&owner, "本文", "題", 4);
    EXPECT_EQ(size, seenSize);
}
