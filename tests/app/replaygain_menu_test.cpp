#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>

#include "app/replaygain_menu.h"
#include "media/replaygain.h"
#include "support/settings.h"
#include "tests/app/window_fixture.h"

namespace rilumo {
namespace {

QString checkedCaption(const QMenu& menu) {
    for (QAction* a : menu.actions()) {
        if (a->isChecked()) return a->text();
    }
    return {};
}

TEST(ReplayGainMenu, ItsCheckedItemWritesAndFollowsTheSetting) {
    QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/korvent").removeRecursively();
    QMenuBar bar;
    QMenu* menu = BuildPlayMenu(bar);
    EXPECT_EQ(menu->title(), QString::fromUtf8("再生(&L)"));
    const auto items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QString::fromUtf8("リプレイゲイン: オフ"));
    EXPECT_EQ(checkedCaption(*menu), QString::fromUtf8("トラック"));
    items[2]->trigger();
    EXPECT_EQ(ReadSetting(QStringLiteral("ReplayGain"), 1), u"2");
    EXPECT_EQ(checkedCaption(*menu), QString::fromUtf8("アルバム"));
    items[0]->trigger();
    EXPECT_EQ(ReadReplayGainSettings().mode, ReplayGainMode::Off);
    WriteSetting(QStringLiteral("ReplayGain"), QStringLiteral("1"));
    emit menu->aboutToShow();
    EXPECT_EQ(checkedCaption(*menu), QString::fromUtf8("トラック"));
}

using MainWindowMenus = test::PlayerWindow;

TEST_F(MainWindowMenus, ThePlayMenuFollowsThePlaylistMenu) {
    QStringList titles;
    for (QAction* a : w->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{QString::fromUtf8("プレイリスト(&P)"), QString::fromUtf8("再生(&L)")}));
}

}  // namespace
}  // namespace rilumo
