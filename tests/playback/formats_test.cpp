#include <gtest/gtest.h>

#include "playback/c_fgraph.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::PlaybackDir;
using test::PumpFor;

struct Format {
    const char* kind;   // fixture kind
    const char* file;
    QStringList chain;  // the filters the hand-built chain consists of
    int tolerance;      // encoders pad the stream a little
};

class PlaysEveryListedFormat : public ::testing::TestWithParam<Format> {};

TEST_P(PlaysEveryListedFormat, ThroughItsHandBuiltChain) {
    const Format& f = GetParam();
    PlaybackDir dir;
    const QString kind = QString::fromLatin1(f.kind);
    QString path;
    if (kind == u"wav") {
        path = dir.Wave(QString::fromLatin1(f.file), 1500);
    } else if (kind == u"mid") {
        if (graph::SoundFontPath().isEmpty()) GTEST_SKIP() << "no sound font";
        path = dir.Midi(QString::fromLatin1(f.file), 3);
    } else {
        path = dir.Encoded(kind, QString::fromLatin1(f.file), 1500);
    }
    if (path.isEmpty()) GTEST_SKIP() << "no encoder for " << f.kind;
    C_FGraph p;
    p.Init();
    p.SetFileName(path);
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    ASSERT_EQ(p.FileName(), path) << dir.ErrorLines().join('\n').toStdString();
    EXPECT_NEAR(p.Length(), 1500, f.tolerance);
    QStringList names;
    for (graph::Filter* filter : p.Context().Control->FilterCollection()) names << filter->Name();
    EXPECT_EQ(names, f.chain);
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
    ASSERT_EQ(p.Play(), 1);
    PumpFor(400);
    EXPECT_EQ(p.mode(), 3);
    EXPECT_GT(p.Position(0), 200);
    EXPECT_LT(p.Position(0), 700);
}

const QString kSource = QStringLiteral("File Source (Async.)");
const QString kRenderer = QStringLiteral("Default WaveOut Device");

INSTANTIATE_TEST_SUITE_P(
    Formats, PlaysEveryListedFormat,
    ::testing::Values(
        Format{"wav", "a.wav", {kSource, "Wave Parser", kRenderer}, 50},
        Format{"aiff", "a.aiff", {kSource, "Wave Parser", kRenderer}, 50},
        Format{"mp3", "a.mp3", {kSource, "MPEG-I Stream Splitter", "MPEG Layer-3 Decoder", kRenderer}, 120},
        Format{"mp2", "a.mp2", {kSource, "MPEG-I Stream Splitter", "MPEG Audio Decoder", kRenderer}, 120},
        Format{"wma", "a.wma", {"WM ASF Reader", "WMAudio Decoder DMO", kRenderer}, 120},
        Format{"m4a", "a.m4a", {kSource, "ffdshow Audio Decoder", kRenderer}, 120},
        Format{"mid", "a.mid", {kSource, "MIDI Parser", "Default MidiOut Device"}, 100}),
    [](const auto& info) { return std::string(info.param.kind); });

}  // namespace
}  // namespace rilumo

namespace rilumo {
namespace {

// The wave parser hands over what the file holds; a compressed wave gets its
// decoder inserted in front of the renderer, as intelligent connect would.
TEST(CompressedWave, GetsADecoderBetweenParserAndRenderer) {
    test::PlaybackDir dir;
    const QString wav = dir.File("mulaw.wav");
    QByteArray fmt = test::FmtBody(7, 1, 8000, 8);
    ASSERT_TRUE(test::WriteRiffFile(wav, {{"fmt ", fmt}, {"data", test::RandomBytes(8000, 7)}}));
    C_FGraph p;
    p.Init();
    p.SetFileName(wav);
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    ASSERT_EQ(p.FileName(), wav) << dir.ErrorLines().join('\n').toStdString();
    EXPECT_NEAR(p.Length(), 1000, 50);
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
    ASSERT_EQ(p.Play(), 1);
    test::PumpFor(300);
    EXPECT_EQ(p.mode(), 3);
    EXPECT_GT(p.Position(0), 150);
}

}  // namespace
}  // namespace rilumo
