#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "playback/c_fgraph.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

struct Format {
    const char* kind;   // fixture kind
    const char* file;
    QStringList chain;  // the filters the hand-built chain consists of
    int tolerance;      // encoders pad the stream a little
};

class PlaysEveryListedFormat : public test::PlayerTest, public ::testing::WithParamInterface<Format> {};

TEST_P(PlaysEveryListedFormat, ThroughItsHandBuiltChain) {
    const Format& f = GetParam();
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
    p.Init();
    ASSERT_TRUE(Load(path));
    ASSERT_EQ(p.FileName(), path) << dir.ErrorLines().join('\n').toStdString();
    EXPECT_NEAR(p.Length(), 1500, f.tolerance);
    EXPECT_EQ(FilterNames(), f.chain);
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
    QElapsedTimer sincePlay;
    sincePlay.start();
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(200));
    // Decoded no faster than it plays.
    EXPECT_LE(p.Position(0), sincePlay.elapsed() + 50);
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
        Format{"flac", "a.flac", {kSource, "FLAC Parser", "FLAC Decoder", kRenderer}, 50},
        Format{"ogg", "a.ogg", {kSource, "Ogg Splitter", "Vorbis Decoder", kRenderer}, 50},
        Format{"opus", "a.opus", {kSource, "Ogg Splitter", "Opus Decoder", kRenderer}, 50},
        // The decoder follows the codec inside, not the file's name.
        Format{"oga", "a.ogg", {kSource, "Ogg Splitter", "FLAC Decoder", kRenderer}, 50},
        Format{"wv", "a.wv", {kSource, "WavPack Parser", "WavPack Decoder", kRenderer}, 50},
        Format{"mid", "a.mid", {kSource, "MIDI Parser", "Default MidiOut Device"}, 100}),
    [](const auto& info) { return std::string(info.param.kind); });

}  // namespace
}  // namespace rilumo

namespace rilumo {
namespace {

// The wave parser hands over what the file holds; a compressed wave gets its
// decoder inserted in front of the renderer, as intelligent connect would.
using CompressedWave = test::PlayerTest;

TEST_F(CompressedWave, GetsADecoderBetweenParserAndRenderer) {
    const QString wav = dir.File("mulaw.wav");
    QByteArray fmt = test::FmtBody(7, 1, 8000, 8);
    ASSERT_TRUE(test::WriteRiffFile(wav, {{"fmt ", fmt}, {"data", test::RandomBytes(8000, 7)}}));
    p.Init();
    ASSERT_TRUE(Load(wav));
    ASSERT_EQ(p.FileName(), wav) << dir.ErrorLines().join('\n').toStdString();
    EXPECT_NEAR(p.Length(), 1000, 50);
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(150));
}

}  // namespace
}  // namespace rilumo
