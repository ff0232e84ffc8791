#include "app/remote_control.h"

#include <algorithm>

#include "app/frm_main.h"
#include "app/playlist_commands.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/paths.h"

namespace rilumo::remote {

namespace {

bool busy(FrmMain& w) { return w.State().busy == 1; }

// The entry the play button starts: the cursor's, else the first.
int startEntry(FrmMain& w) { return std::max(w.LV().SelectedItem(), 0); }

int currentEntry(FrmMain& w) { return w.Player().FileName().isEmpty() ? startEntry(w) : w.State().playIndex; }

void selectEntry(FrmMain& w, int index) {
    w.LV().UnSelectAll();
    w.LV().SetSelectedItem(index);
}

}  // namespace

void Play(FrmMain& w) {
    if (busy(w) || w.PlayerMode() == 3) return;
    w.PlayButtons_ButtonClicked(2);
}

void Pause(FrmMain& w) {
    if (!busy(w) && w.PlayerMode() == 3) w.PlayButtons_ButtonClicked(1);
}

void PlayPause(FrmMain& w) {
    if (busy(w)) return;
    const std::int32_t mode = w.PlayerMode();
    w.PlayButtons_ButtonClicked(mode == 2 || mode == 3 ? 1 : 2);
}

void Stop(FrmMain& w) { w.PlayButtons_ButtonClicked(0); }

void Step(FrmMain& w, int direction) {
    if (busy(w)) return;
    Trap([&] {
        const int count = w.LV().ItemCount();
        if (count < 1) return;
        const int next = ((currentEntry(w) + direction) % count + count) % count;
        const std::int32_t mode = w.PlayerMode();
        // Play while paused would resume the paused track.
        if (mode == 2) w.PlayButtons_ButtonClicked(0);
        selectEntry(w, next);
        if (mode == 3) {
            w.PlayButtons_ButtonClicked(2);
            return;
        }
        w.LV().ShowSelected(1);
        w.LV().ReDraw();
    });
}

bool SeekTo(FrmMain& w, std::int32_t ms) {
    if (w.State().lastSeenMode != 3) return false;
    w.SeekTo(ms);
    return true;
}

bool OpenFile(FrmMain& w, const QString& path) {
    if (busy(w) || FileTypeCode(path) == 0 || !FileExists(path)) return false;
    return TrapOr(false, [&] {
        w.AddTitle(path, -2);
        w.LV().SetVbarParm();
        if (w.PlayerMode() == 2) w.PlayButtons_ButtonClicked(0);
        selectEntry(w, w.LV().ItemCount() - 1);
        w.PlayButtons_ButtonClicked(2);
        return true;
    });
}

Track CurrentTrack(FrmMain& w) {
    C_FGraph& player = w.Player();
    UC_ListView& lv = w.LV();
    const int i = currentEntry(w);
    // -1 would name the cursor's entry.
    const bool inList = i >= 0 && i < lv.ItemCount();
    const QString entryPath = inList ? lv.AuxID(i, 0).ToText() : QString();
    Track t;
    t.path = player.FileName().isEmpty() ? entryPath : player.FileName();
    if (t.path.isEmpty()) return {};
    t.title = t.path == entryPath ? lv.Value(i, 0).ToText() : TitleOf(t.path);
    t.length = player.FileName().isEmpty() ? 0 : player.Length();
    return t;
}

QString TakeAudioFile(StartupArgs& args) {
    const QString path = CommandLinePath(args);
    if (FileTypeCode(path) == 0 || !FileExists(path)) return {};
    args.commandLine.clear();
    return path;
}

}  // namespace rilumo::remote
