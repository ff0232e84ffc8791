#pragma once
// Shared by the playback tests: real files made on the spot, the error log
// of a private program folder, and polling the player the way the window's
// timer does.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

#include "tests/common/test_env.h"

namespace rilumo::test {

// A temporary program folder (so the error log lands in it) with its own
// fixtures; restores the real program folder when it goes.
class PlaybackDir {
public:
    PlaybackDir();
    ~PlaybackDir();
    QString File(const QString& name) const { return dir_.File(name); }
    QString Path() const { return dir_.Path(); }
    // Lines of the error log, without their time stamps.
    QStringList ErrorLines() const;

    // A 16-bit stereo 44.1 kHz sine tone.
    QString Wave(const QString& name, int ms, double frequency = 440);
    // The tone encoded by GStreamer: kind is "mp3", "mp2", "wma", "m4a" or "aiff".
    // Empty when this machine has no encoder for it.
    QString Encoded(const QString& kind, const QString& name, int ms);
    // A one-track standard MIDI file of `notes` quarter notes at 120 bpm.
    QString Midi(const QString& name, int notes);

private:
    TempDir dir_;
};

QByteArray RandomBytes(int count, unsigned seed);

// Long enough for any load to end, ready or refused.
inline constexpr int kLoadDeadlineMs = 35000;

// Calls poll every 15 ms (pumping events) until it returns true or ms pass.
bool PollUntil(int ms, const std::function<bool()>& poll);

}  // namespace rilumo::test
