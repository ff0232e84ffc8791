// Keys, remote calls and drops that arrive while a command is between two of
// its steps (inside the yield point of a list repaint) wait for it to end.

#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "app/remote_control.h"
#include "tests/app/window_fixture.h"

namespace rilumo {
namespace {

using test::PlayerWindow;

class Reentrancy : public PlayerWindow {
protected:
    // Posted now, so that the next yield point of a command delivers them.
    void PostSpace() {
        QCoreApplication::postEvent(w.get(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " "));
    }
    void PostRemoteNext() {
        QMetaObject::invokeMethod(
            w.get(), [this] { w->Enter(FrmMain::WhenBusy::Passes, [this] { remote::Step(*w, 1); }); },
            Qt::QueuedConnection);
    }
    void PostDrop(const QStringList& files, float y) {
        QMetaObject::invokeMethod(
            w.get(),
            [this, files, y] {
                QMimeData data;
                QList<QUrl> urls;
                for (const QString& f : files) urls << QUrl::fromLocalFile(f);
                data.setUrls(urls);
                emit w->LV().OLEDragDrop(&data, 1, 1, 0, 0, y);
            },
            Qt::QueuedConnection);
    }
    QStringList Titles() {
        QStringList t;
        for (int i = 0; i < w->LV().ItemCount(); ++i) t << w->LV().Value(i, 0).ToText();
        return t;
    }
};

TEST_F(Reentrancy, CallsInsideAStartWaitForItAndThenRunInOrder) {
    Fill({Track("a.wav", 4000), Track("b.wav", 4000), Track("c.wav", 4000)});
    const QString dropped = Track("d.wav", 4000);
    Select(1);
    PostDrop({dropped}, 1.2f * w->LV().OneHeight());  // above the entry about to play
    PostRemoteNext();
    w->PlayFrom();
    // Nothing of them has happened between closing one file and opening the next.
    EXPECT_EQ(Titles(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(w->State().playIndex, 1);
    EXPECT_TRUE(Playing().endsWith("b.wav"));
    // Then the drop (the play index follows its entry) and the step from it.
    ASSERT_TRUE(WaitFor([&] { return Playing().endsWith("c.wav"); }));
    EXPECT_EQ(Titles(), (QStringList{"a", "d", "b", "c"}));
    EXPECT_EQ(w->State().playIndex, 3);
    EXPECT_EQ(w->State().busy, 0);
    ASSERT_TRUE(WaitForStatus("PLAY"));
}

TEST_F(Reentrancy, ASpaceInsideTheRepaintOfADeleteWaitsForIt) {
    Fill({Track("a.wav", 4000), Track("b.wav", 4000), Track("c.wav", 4000)});
    Select(2);
    PostSpace();
    w->MenuDel_Click();
    // The delete finished alone; the Space then starts the entry under the cursor.
    EXPECT_EQ(Titles(), (QStringList{"a", "b"}));
    EXPECT_EQ(w->Player().mode(), 1);
    ASSERT_TRUE(WaitForStatus("PLAY"));
}

}  // namespace
}  // namespace rilumo
