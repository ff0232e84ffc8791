#include <gtest/gtest.h>

#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

// The encoder helper is what the MPEG and playback tests stand on: check that
// it produces a real stream and reports a broken pipeline as a failure.
TEST(MediaFixtures, EncodesAndReportsFailure) {
    if (!test::HasGstElement("lamemp3enc")) GTEST_SKIP() << "lamemp3enc missing";
    EXPECT_FALSE(test::HasGstElement("no-such-element-here"));
    test::TempDir dir;
    const QString wav = dir.File("tone.wav");
    ASSERT_TRUE(test::WriteSineWave(wav, 44100, 2, 16, 440, 1000));
    const QString mp3 = dir.File("tone.mp3");
    ASSERT_TRUE(test::EncodeWithGStreamer(wav, mp3, "lamemp3enc target=bitrate bitrate=128 cbr=true"));
    const QByteArray bytes = test::ReadFile(mp3);
    ASSERT_GT(bytes.size(), 4);
    EXPECT_EQ(quint8(bytes[0]), 0xFF);
    EXPECT_FALSE(test::EncodeWithGStreamer(wav, dir.File("x.bin"), "no-such-element-here"));
}

}  // namespace
}  // namespace rilumo
