#pragma once
// What the desktop asks of the player from outside the window (media keys,
// the sound menu, the lock screen, a file manager's "open with"), done by the
// playback controller as the matching button, key or bar drag would.
// A busy window ignores every request, as it ignores its buttons.

#include <QString>

#include <cstdint>

namespace rilumo {

class FrmMain;
struct StartupArgs;

namespace remote {

void Play(FrmMain& w);       // starts or resumes; nothing while playing
void Pause(FrmMain& w);      // nothing unless playing
void PlayPause(FrmMain& w);  // the pause button while a track is loaded, else play
void Stop(FrmMain& w);
// The following (+1) or preceding (-1) entry, round the list's ends. It plays
// when a track was playing; otherwise it becomes the one play starts, and a
// paused track is stopped, as only the stop button leaves it.
void Step(FrmMain& w, int direction);
// Seeks the playing track; false when nothing plays.
bool SeekTo(FrmMain& w, std::int32_t ms);
// Appends an audio file the player accepts and plays it; false when it is none.
bool OpenFile(FrmMain& w, const QString& path);

// An audio file named on the command line is to be played, not read as a
// list: returns it and clears the command line; empty when it names none.
QString TakeAudioFile(StartupArgs& args);

}  // namespace remote
}  // namespace rilumo
