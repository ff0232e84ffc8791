#include <gtest/gtest.h>

#include "media/open_formats.h"
#include "tests/common/media_fixtures.h"

using namespace rilumo;

// Real files from the encoders the plugin sets install: the reader must
// agree with what the encoders wrote.
TEST(OpenFormats, DescribesWhatTheEncodersWrote) {
    test::TempDir dir;
    const QString stereo = dir.File("tone.wav"), mono = dir.File("mono.wav");
    ASSERT_TRUE(test::WriteSineWave(stereo, 44100, 2, 16, 440, 1500));
    ASSERT_TRUE(test::WriteSineWave(mono, 22050, 1, 16, 440, 2000));
    const struct {
        const QString& in;
        const char* name;
        const char* fragment;
        const char* text;
        int ms;
    } rows[] = {
        {stereo, "a.flac", "flacenc", "flac(44100Hz/16bit/Stereo)", 1500},
        {mono, "b.flac", "flacenc", "flac(22050Hz/16bit/Mono)", 2000},
        {stereo, "c.ogg", "vorbisenc ! oggmux", "ogg(44100Hz/Stereo)", 1500},
        {stereo, "d.opus", "audioresample ! audio/x-raw,rate=48000 ! opusenc ! oggmux", "opus(48000Hz/Stereo)", 1500},
        {stereo, "e.oga", "flacenc ! oggmux", "flac(44100Hz/16bit/Stereo)", 1500},
        {stereo, "f.wv", "wavpackenc", "wv(44100Hz/32bit/Stereo)", 1500},  // the encoder takes 32-bit samples only
    };
    for (const auto& r : rows) {
        const QString out = dir.File(r.name);
        ASSERT_TRUE(test::EncodeWithGStreamer(r.in, out, r.fragment)) << r.name;
        const OpenAudioInfo i = ReadOpenAudioInfo(out);
        EXPECT_EQ(i.Valid, 1) << r.name;
        EXPECT_EQ(i.LongText, QString::fromLatin1(r.text)) << r.name;
        // Vorbis and Opus end on whole packets: a few milliseconds either way.
        EXPECT_NEAR(i.DurationMs, r.ms, 30) << r.name;
    }
}

TEST(OpenFormats, AnythingElseIsNotValid) {
    test::TempDir dir;
    const QString text = dir.File("renamed.flac");
    ASSERT_TRUE(test::WriteFile(text, "this is no audio file\n"));
    EXPECT_EQ(ReadOpenAudioInfo(text).Valid, 0);
    EXPECT_EQ(ReadOpenAudioInfo(dir.File("missing.ogg")).Valid, 0);
    EXPECT_EQ(ReadOpenAudioInfo(dir.Path()).Valid, 0);
    // Truncated downloads: the magic and little else.
    for (const char* bytes : {"fLaC", "fLaC\x00\x00\x00\x22", "OggS", "wvpk"}) {
        const QString cut = dir.File("cut.bin");
        ASSERT_TRUE(test::WriteFile(cut, QByteArray(bytes)));
        EXPECT_EQ(ReadOpenAudioInfo(cut).Valid, 0) << bytes;
    }
}
