// The window through a sound server that goes away: off the air with the
// time standing while it is gone, playing on by itself when it is back, and
// stopped (not advanced) when it stays away.

#include "tests/app/window_fixture.h"
#include "tests/common/sound_server.h"

using namespace rilumo;

namespace {

class SoundReturnWindow : public test::PlayerWindow {
protected:
    void SetUp() override {
        server = std::make_unique<test::SoundServer>();
        if (!server->Ok()) GTEST_SKIP() << "no private sound server here: " << server->Error().toStdString();
        PlayerWindow::SetUp();
        output = std::make_unique<test::PlayInto>(*server);
    }
    void TearDown() override {
        PlayerWindow::TearDown();
        output.reset();
    }
    QString Time() const { return w->PicPlay().TextMes(1); }
    bool OffAir() { return WaitFor([&] { return Status() == "PAUSE" && Shows(1) && !LampsOn(); }); }
    bool OnAir() { return WaitFor([&] { return Status() == "PLAY" && Shows(2) && LampsOn(); }); }

    std::unique_ptr<test::SoundServer> server;
    std::unique_ptr<test::PlayInto> output;
};

TEST_F(SoundReturnWindow, OffTheAirWhileTheServerIsGoneThenOnToTheNextEntry) {
    Fill({Track("a.wav", 4000), Track("b.wav", 4000, 660)});
    Click(2);
    ASSERT_TRUE(OnAir());
    ASSERT_TRUE(WaitFor([&] { return Time() >= "00'01.0"; }));

    server->Kill();
    ASSERT_TRUE(OffAir()) << Status().toStdString();
    const QString lostAt = Time();
    WaitFor([] { return false; }, 1500);
    EXPECT_EQ(Time(), lostAt);
    EXPECT_EQ(w->State().playIndex, 0);

    ASSERT_TRUE(server->Start());
    ASSERT_TRUE(OnAir());
    EXPECT_TRUE(WaitFor([&] { return Time() > lostAt; }));
    EXPECT_EQ(w->State().playIndex, 0);
    // Its end advances as any end does.
    ASSERT_TRUE(WaitFor([&] { return w->State().playIndex == 1 && Playing().endsWith("b.wav"); }));
    EXPECT_TRUE(OnAir());
    EXPECT_TRUE(WaitFor([&] { return server->StreamCount() == 1; }));
}

TEST_F(SoundReturnWindow, GivingUpShowsStopWithoutAdvancingAndSpaceStartsAgain) {
    Fill({Track("a.wav", 6000), Track("b.wav", 6000, 660)});
    w->Player().SetOutputRetryLimit(2000);
    Select(1);
    Click(2);
    ASSERT_TRUE(OnAir());
    server->Kill();
    ASSERT_TRUE(OffAir());
    ASSERT_TRUE(WaitFor([&] { return Status() == "STOP"; }));
    EXPECT_FALSE(LampsOn());
    EXPECT_FALSE(PausedLamp());
    EXPECT_TRUE(Shows(1));
    WaitFor([] { return false; }, 1000);
    EXPECT_EQ(Status(), "STOP");
    EXPECT_EQ(w->State().playIndex, 1);
    EXPECT_TRUE(Playing().isEmpty());

    ASSERT_TRUE(server->Start());
    w->Form_KeyUp(32, 0);
    ASSERT_TRUE(OnAir());
    EXPECT_TRUE(Playing().endsWith("b.wav"));
    EXPECT_TRUE(WaitFor([&] { return server->StreamCount() == 1; }));
}

}  // namespace
