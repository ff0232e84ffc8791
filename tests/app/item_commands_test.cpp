// Entry commands, the mends around them, the layout and shutdown paths.

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>


#include "support/file_ops.h"
#include "support/settings.h"
#include "tests/app/window_fixture.h"

using namespace rilumo;
using test::PlayerWindow;

namespace {

QStringList Titles(UC_ListView& lv) {
    QStringList t;
    for (int i = 0; i < lv.ItemCount(); ++i) t << lv.Value(i, 0).ToText();
    return t;
}

}  // namespace

TEST_F(PlayerWindow, MenuDeleteInfoAndClip) {
    Fill({Track("a.wav", 500), Track("b.wav", 500), Track("c.wav", 500)});
    EXPECT_EQ(w->MenuRC()->actions().size(), 3);
    EXPECT_EQ(w->MenuDel()->text(), "削除");
    EXPECT_EQ(w->MenuInfo()->text(), "情報");
    EXPECT_EQ(w->MenuClip()->text(), "クリップ");

    w->MenuClip_Click();  // no cursor entry: empty text
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
    Select(1);
    w->MenuClip_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "b");

    w->MenuInfo_Click();
    ASSERT_TRUE(WaitFor([&] { return dialogs.messages.size() == 1; }));
    EXPECT_TRUE(dialogs.messages[0].contains("wav(44100Hz/16bit/Stereo)")) << dialogs.messages[0].toStdString();
    EXPECT_EQ(dialogs.askedType, 64);
    QFile::remove(w->LV().AuxID(1, 0).ToText());
    w->MenuInfo_Click();  // the file has gone: nothing shown
    test::PumpFor(300);
    EXPECT_EQ(dialogs.messages.size(), 1);

    w->LV().SetIsSelected(2, 1);
    w->MenuDel_Click();
    EXPECT_EQ(Titles(w->LV()), (QStringList{"a"}));
    w->MenuDel_Click();  // nothing selected: nothing changes
    EXPECT_EQ(Titles(w->LV()), (QStringList{"a"}));
}

// A file only a graph can measure: the box comes once the graph has, and
// the window plays on meanwhile.
TEST_F(PlayerWindow, TheInfoBoxComesLaterWhileTheTickRuns) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const QString video = media.File("clip.wmv");
    ASSERT_TRUE(test::WriteVideoFile("wmv", video, 2500));
    Fill({Track("a.wav", 8000), video});
    Select(0);
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    int ticks = 0;
    QObject::connect(&w->TimerMCI(), &QTimer::timeout, [&] { ++ticks; });

    Select(1);
    w->MenuInfo_Click();
    w->MenuInfo_Click();  // while the first is being made: ignored
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "the box was made on the window thread";
    ASSERT_TRUE(WaitFor([&] { return !dialogs.messages.isEmpty(); }));
    EXPECT_GT(ticks, 0);
    EXPECT_TRUE(dialogs.messages[0].contains("000'02.")) << dialogs.messages[0].toStdString();
    EXPECT_EQ(Status(), "PLAY");
    test::PumpFor(500);
    EXPECT_EQ(dialogs.messages.size(), 1);

    // Closed while the next one is made: it is never shown, nothing breaks.
    w->MenuInfo_Click();
    w->close();
    w.reset();
    test::PumpFor(1000);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(PlayerWindow, FailedLoadShowsStopAndPlaybackStopsAtThatEntry) {
    const QString bad = media.File("bad.wav");
    ASSERT_TRUE(test::WriteFile(bad, QByteArray("RIFF\x04\0\0\0WAVEjunk", 16) + QByteArray(4000, '\x7f')));
    Fill({Track("good.wav", 300), bad, Track("after.wav", 300)});
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    ASSERT_TRUE(WaitForStatus("STOP"));
    test::PumpFor(300);
    EXPECT_EQ(Status(), "STOP");
    EXPECT_EQ(w->State().playIndex, 1);
    EXPECT_FALSE(LampsOn());
    EXPECT_TRUE(Shows(1));
    EXPECT_EQ(w->LV().DispColor(1), 0x00FF00u);  // where playback stopped
    EXPECT_TRUE(Playing().isEmpty());

    // Straight from the button, too.
    Select(1);
    Click(2);
    test::PumpFor(300);
    EXPECT_EQ(Status(), "STOP");
    EXPECT_EQ(w->State().playIndex, 1);
}

TEST_F(PlayerWindow, DraggedEntriesLeaveOnlyWhenADropTookThem) {
    Fill({Track("a.wav", 3000), Track("b.wav", 3000), Track("c.wav", 3000), Track("d.wav", 3000)});
    auto dragOut = [&](std::initializer_list<int> rows, int effectAfter, const std::function<void()>& between) {
        w->LV().UnSelectAll();
        for (int r : rows) w->LV().SetIsSelected(r, 1);
        w->LV().SetSelectedItem(*rows.begin());
        QMimeData data;
        int allowed = 0;
        w->LV_OLEStartDrag(&data, allowed);
        EXPECT_EQ(allowed, 1);
        EXPECT_EQ(data.urls().size(), static_cast<qsizetype>(rows.size()));
        if (between) between();
        int effect = effectAfter;
        w->LV_OLECompleteDrag(effect);
        return data.urls();
    };
    const QStringList start = Titles(w->LV());

    // Cancelled: back where they were.
    const QList<QUrl> urls = dragOut({1, 3}, 0, [&] { EXPECT_EQ(Titles(w->LV()), (QStringList{"a", "c"})); });
    EXPECT_EQ(urls[0].toLocalFile(), media.File("b.wav"));
    EXPECT_EQ(Titles(w->LV()), start);

    // Dropped back onto row 0 while stopped: a move, in the dropped order.
    dragOut({1, 2}, 1, [&] { w->DropOnList({media.File("c.wav"), media.File("b.wav")}, 0); });
    EXPECT_EQ(Titles(w->LV()), (QStringList{"c", "b", "a", "d"}));

    // While playing the list refuses row 0, so the entries come back.
    Select(3);
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    dragOut({1, 2}, 1, [&] { w->DropOnList({media.File("b.wav"), media.File("a.wav")}, 0); });
    EXPECT_EQ(Titles(w->LV()), (QStringList{"c", "b", "a", "d"}));
    EXPECT_EQ(w->State().playIndex, 3);

    // Taken by another program: they stay out.
    dragOut({1}, 1, nullptr);
    EXPECT_EQ(Titles(w->LV()), (QStringList{"c", "a", "d"}));
    EXPECT_EQ(w->State().playIndex, 2);

    // Cursor on entry 0 while playing: nothing is offered.
    Select(0);
    QMimeData data;
    int allowed = 0;
    w->LV_OLEStartDrag(&data, allowed);
    EXPECT_EQ(allowed, 0);
    EXPECT_FALSE(data.hasUrls());
    EXPECT_EQ(w->LV().ItemCount(), 3);
}

TEST_F(PlayerWindow, PlayIndexFollowsThePlayingEntry) {
    Fill({Track("a.wav", 200), Track("b.wav", 1500), Track("c.wav", 3000), Track("d.wav", 3000)});
    Select(1);
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    // Two dropped above it, then the first entry deleted.
    w->DropOnList({media.File("x.wav"), media.File("y.wav")}, 255 + 10);
    EXPECT_EQ(w->State().playIndex, 3);
    Select(0);
    w->MenuDel_Click();
    EXPECT_EQ(w->State().playIndex, 2);
    EXPECT_EQ(w->LV().Value(2, 0).ToText(), "b");
    // The playing entry itself goes: the advance takes the one that followed it.
    Select(2);
    w->MenuDel_Click();
    ASSERT_TRUE(WaitFor([&] { return Playing().endsWith("c.wav"); }));
}

TEST_F(PlayerWindow, LayoutFollowsResizesAndTheBackgroundDoubleClickShrinks) {
    const int tpp = globals::TwipsPerPixel;
    for (int width : {700, 250}) {
        w->resize(width, 500);
        test::PumpFor(20);
        const int client = w->ClientWidthTwips();
        EXPECT_EQ(w->LV().width(), client / tpp);
        EXPECT_EQ(w->LV().TabWidth(0), std::max(0, client - 420));
        EXPECT_EQ(w->PictureF().x(), (client - 5055) / 2 / tpp);
        EXPECT_EQ(w->LV().y() + w->LV().height(), w->centralWidget()->height());
    }
    EXPECT_LT(w->PictureF().x(), 0);  // narrower than the controls: cut at both sides
    w->resize(900, 500);
    w->Form_DblClick();
    EXPECT_EQ(w->frameGeometry().width(), 5055 / tpp + 16);
    EXPECT_EQ(w->height(), 500);
}

TEST_F(PlayerWindow, ClosingDuringAFolderScanEndsItAndShutsDown) {
    for (int i = 0; i < 600; ++i) test::WriteFile(media.File(QString("f%1.wav").arg(i)), "x");
    dialogs.folders << media.Path();
    QTimer::singleShot(0, w.get(), [&] { w->close(); });
    w->MenuFileClick(2);
    EXPECT_LT(w->LV().ItemCount(), 600);
    EXPECT_EQ(w->State().busy, 0);
    EXPECT_FALSE(ReadSetting("WindowState", "none").isEmpty());
    EXPECT_NE(ReadSetting("IsRemain", "none"), "none");
}
