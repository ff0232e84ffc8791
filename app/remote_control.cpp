#include "app/remote_control.h"

#include "app/frm_main.h"
#include "app/playlist_commands.h"
#include "support/error_trap.h"
#include "support/file_ops.h"

namespace rilumo::remote {

void Play(FrmMain& w) {
    PlaybackController& c = w.Playback();
    if (c.Busy() || c.Mode() == kModePlaying) return;
    c.ButtonClicked(kButtonPlay);
}

void Pause(FrmMain& w) {
    PlaybackController& c = w.Playback();
    if (!c.Busy() && c.Mode() == kModePlaying) c.ButtonClicked(kButtonPause);
}

void PlayPause(FrmMain& w) {
    PlaybackController& c = w.Playback();
    if (c.Busy()) return;
    const std::int32_t mode = c.Mode();
    c.ButtonClicked(mode == kModePaused || mode == kModePlaying ? kButtonPause : kButtonPlay);
}

void Stop(FrmMain& w) { w.Playback().ButtonClicked(kButtonStop); }

void Step(FrmMain& w, int direction) { w.Playback().Step(direction); }

bool SeekTo(FrmMain& w, std::int32_t ms) {
    PlaybackController& c = w.Playback();
    if (!c.Playing()) return false;
    c.SeekTo(ms);
    return true;
}

bool OpenFile(FrmMain& w, const QString& path) {
    if (w.Playback().Busy() || FileTypeCode(path) == 0 || !FileExists(path)) return false;
    return TrapOr(false, [&] {
        w.AddTitle(path, kLastEntry);
        w.Playback().PlayLast();
        return true;
    });
}

QString TakeAudioFile(StartupArgs& args) {
    const QString path = CommandLinePath(args);
    if (FileTypeCode(path) == 0 || !FileExists(path)) return {};
    args.commandLine.clear();
    return path;
}

}  // namespace rilumo::remote
