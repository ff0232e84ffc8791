#include "app/replaygain_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <array>

#include "media/replaygain.h"

namespace rilumo {

namespace {

struct ModeItem {
    const char* caption;
    ReplayGainMode mode;
};

constexpr std::array<ModeItem, 3> kModeItems{{
    {"リプレイゲイン: オフ", ReplayGainMode::Off},
    {"トラック", ReplayGainMode::Track},
    {"アルバム", ReplayGainMode::Album},
}};

}  // namespace

QMenu* BuildPlayMenu(QMenuBar& bar) {
    QMenu* menu = bar.addMenu(QStringLiteral("再生(&L)"));
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (const ModeItem& item : kModeItems) {
        QAction* a = menu->addAction(QString::fromUtf8(item.caption));
        a->setCheckable(true);
        group->addAction(a);
        const ReplayGainMode mode = item.mode;
        QObject::connect(a, &QAction::triggered, menu, [mode] { WriteReplayGainMode(mode); });
    }
    // The setting may change outside the window (another instance, an
    // edit of the file): the check follows it each time the menu opens.
    auto showCurrent = [menu] {
        const ReplayGainMode current = ReadReplayGainSettings().mode;
        const auto actions = menu->actions();
        for (size_t i = 0; i < kModeItems.size() && i < static_cast<size_t>(actions.size()); ++i) {
            actions[static_cast<qsizetype>(i)]->setChecked(kModeItems[i].mode == current);
        }
    };
    QObject::connect(menu, &QMenu::aboutToShow, menu, showCurrent);
    showCurrent();
    return menu;
}

}  // namespace rilumo
