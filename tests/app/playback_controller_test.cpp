// The controller's word to the desktop's remote: a seek is told when it
// moves the playing track, and only then.

#include <vector>

#include "tests/app/window_fixture.h"

namespace rilumo {
namespace {

using test::PlayerWindow;

TEST_F(PlayerWindow, ASeekIsToldWhenItMovesThePlayingTrackAndOnlyThen) {
    Fill({Track("a.wav", 4000)});
    PlaybackController& c = w->Playback();
    std::vector<std::int32_t> told;
    QObject::connect(&c, &PlaybackController::Seeked, [&] { told.push_back(c.SeekedTo()); });
    Click(kButtonPlay);
    ASSERT_TRUE(WaitFor([&] { return c.Playing() && c.Length() == 4000; }));
    w->ProgBar().SetValue(500);
    w->ProgBar_MouseUD(true);
    EXPECT_TRUE(told.empty()) << "the press only takes hold of the bar";
    w->ProgBar_MouseUD(false);
    w->SeekTo(1000);
    EXPECT_EQ(told, (std::vector<std::int32_t>{2000, 1000}));

    Click(kButtonPause);
    ASSERT_TRUE(WaitForStatus("PAUSE"));
    w->ProgBar().SetValue(250);
    w->ProgBar_MouseUD(false);
    w->SeekTo(3000);
    EXPECT_EQ(told.size(), 2u) << "a paused track only stores where to start";
    EXPECT_EQ(c.SeekedTo(), 3000);
}

}  // namespace
}  // namespace rilumo
