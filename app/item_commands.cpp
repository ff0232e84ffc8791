// What the user does to single entries: double-click to play, the pop-up
// menu (delete, format summary, copy the title) and dragging entries out.

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QSet>
#include <QUrl>

#include <algorithm>

#include "app/frm_main.h"
#include "app/sheet_fill.h"
#include "app/tag_loader.h"
#include "playback/summary_worker.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/log.h"
#include "support/ui/message_box.h"
#include "support/paths.h"

namespace rilumo {

void FrmMain::BuildItemMenu() {
    menuRC_ = new QMenu(this);
    menuDel_ = menuRC_->addAction(QStringLiteral("削除"));
    menuInfo_ = menuRC_->addAction(QStringLiteral("情報"));
    menuClip_ = menuRC_->addAction(QStringLiteral("クリップ"));
    connect(menuDel_, &QAction::triggered, this, [this] { Enter(WhenBusy::Passes, [this] { MenuDel_Click(); }); });
    connect(menuInfo_, &QAction::triggered, this, [this] { Enter(WhenBusy::Passes, [this] { MenuInfo_Click(); }); });
    connect(menuClip_, &QAction::triggered, this, [this] { Enter(WhenBusy::Passes, [this] { MenuClip_Click(); }); });
}

std::vector<int> FrmMain::SelectedEntries() const {
    std::vector<int> rows;
    for (int i = 0; i < lv_->ItemCount(); ++i)
        if (lv_->IsSelected(i) == 1) rows.push_back(i);
    return rows;
}

void FrmMain::LV_DblClicked() {
    Trap([this] {
        if (lv_->ItemCount() < 1) return;
        if (lv_->SelectedItem() < 0 || state_.busy == 1) return;
        // Another entry in place of the playing one ends in "STOP", not in an advance.
        if (PlayerMode() > kModeStopped) playback_->State().userStop = 1;
        PlayButtons_ButtonClicked(kButtonPlay);
    });
}

void FrmMain::LV_RightClicked(float, float) { menuRC_->popup(QCursor::pos()); }

void FrmMain::MenuDel_Click() {
    CommandGuard::Scope running(Commands());
    Ignore([this] {
        if (state_.busy == 1 || lv_->ItemCount() < 1) return;
        const std::vector<int> removed = SelectedEntries();
        lv_->DeleteSelected();
        FollowRemoval(removed);
        lv_->SetVbarParm();
        lv_->ReDraw();
    });
}

void FrmMain::MenuInfo_Click() {
    Trap([this] {
        const QString path = lv_->AuxID(kCursorEntry, 0).ToText();
        if (!FileExists(path)) return;
        // The summary may load the file into a graph: the window goes on
        // meanwhile, and a request while one is under way is ignored.
        if (summaryPending_) return;
        summaryPending_ = true;
        BuildMediaSummaryLater(path, this, [this](const MediaSummary& summary) {
            summaryPending_ = false;
            CenteredMessageBox(summary.Text, 64, QString::fromLatin1(kAppTitle), this);
        });
    });
}

void FrmMain::MenuClip_Click() {
    Ignore([this] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(lv_->Value(kCursorEntry, 0).ToText());
    });
}

void FrmMain::LV_OLEStartDrag(QMimeData* data, int& allowedEffects) {
    Trap([&] {
        dragOut_ = {};
        const std::int32_t mode = PlayerMode();
        if (lv_->SelectedItem() == 0 && (mode == kModePaused || mode == kModePlaying)) return;
        allowedEffects = 1;
        data->clear();
        QList<QUrl> urls;
        QSet<QString> linked;
        QStringList names;
        for (int i : SelectedEntries()) {
            const QString path = lv_->AuxID(i, 0).ToText();
            // The tracks of one sheet are one file to another program.
            if (!linked.contains(path)) urls << QUrl::fromEncoded(FileUriOf(path));
            linked.insert(path);
            DraggedEntry e{i, path, lv_->Value(i, 0), lv_->DispColor(i), lv_->IconType(i), SavedEntryName(*lv_, i),
                           {}, {}};
            for (int c = 0; c < lv_->NumData(); ++c) e.cells.push_back(lv_->Value(i, c));
            e.segment = lv_->AuxID(i, 1);
            names << e.name;
            dragOut_.entries.push_back(std::move(e));
        }
        data->setUrls(urls);
        PutEntryNames(*data, names);
        dragOut_.active = true;
        dragOut_.playIndex = playback_->State().playIndex;
        std::vector<int> removed;
        for (const DraggedEntry& e : dragOut_.entries) removed.push_back(e.index);
        lv_->DeleteSelected();
        FollowRemoval(removed);
        lv_->UnSelectAll();
        lv_->ReDraw();
        lv_->SetVbarParm();
    });
}

void FrmMain::LV_OLECompleteDrag(int& effect) {
    if (!dragOut_.active) return;
    DragOut out = std::move(dragOut_);
    dragOut_ = {};
    // Entries leave the list only when a drop took them; a cancelled drag, or
    // a drop the list itself refused, puts them back where they were.
    if (effect != 0 && !out.refused) return;
    Trap([&] {
        for (const DraggedEntry& e : out.entries) {
            const int at = std::min(e.index, lv_->ItemCount());
            if (at == lv_->ItemCount()) {
                lv_->AddItem(1);
            } else {
                lv_->InsertItem(at);
            }
            lv_->SetAuxID(at, 0, e.path);
            lv_->SetValue(at, 0, e.title);
            for (int c = 1; c < std::ssize(e.cells); ++c) lv_->SetValue(at, c, e.cells[size_t(c)]);
            lv_->SetAuxID(at, 1, e.segment);
            lv_->SetDispColor(at, e.color);
            lv_->SetIconType(at, e.icon);
            lv_->SetIsSelected(at, 1);
            tags_->Add(at);
        }
        playback_->State().playIndex = out.playIndex;
        lv_->SetVbarParm();
        lv_->ReDraw();
    });
}

}  // namespace rilumo
