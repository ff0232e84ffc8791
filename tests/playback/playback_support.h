#pragma once
// Shared by the playback tests: real files made on the spot, the error log
// of a private program folder, and polling the player the way the window's
// timer does.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

#include "playback/c_fgraph.h"
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
    // The tone encoded by GStreamer: kind is "mp3", "mp2", "wma", "m4a", "aiff",
    // "flac", "ogg" (Vorbis), "opus", "oga" (FLAC in Ogg) or "wv".
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
// Long enough for whatever a test waits for while a track plays; only a hang
// runs it out, never a slow machine.
inline constexpr int kPlayDeadlineMs = 20000;

// Calls poll every 15 ms (pumping events) until it returns true or ms pass.
bool PollUntil(int ms, const std::function<bool()>& poll);
// The same with player's Poll before each look, as the window's tick does.
bool PollUntil(PlayerCore& player, int ms, const std::function<bool()>& poll);

// A player on the null renderer in a private program folder. A test that
// chooses the catalogue, dev mode or load limit does so before Init.
class PlayerTest : public ::testing::Test {
protected:
    // Carries the load on until it ends; true when the file is ready.
    bool Load(const QString& path) {
        p.SetFileName(path);
        return p.WaitLoaded(kLoadDeadlineMs);
    }
    bool InitWithTone(int ms) {
        p.Init();
        return Load(dir.Wave("tone.wav", ms));
    }
    // Until the position passes ms while the track still runs.
    bool PlaysPast(int ms) {
        return PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 3 && p.Position(0) > ms; });
    }
    // The filters of the graph, in the order they were added.
    QStringList FilterNames();

    PlaybackDir dir;
    C_FGraph p;
};

}  // namespace rilumo::test
