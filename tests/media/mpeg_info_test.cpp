#include <gtest/gtest.h>

#include <QProcess>

#include <cmath>
#include <map>
#include <memory>

#include "media/mpeg_info.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/globals.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

using test::MpegFrameSpec;

constexpr MpegFrameSpec kCd128{};  // MPEG-1 layer III, 128 kbit/s, 44.1 kHz, joint stereo

class MpegInfo : public ::testing::Test {
protected:
    test::TempDir dir;
    MpegAudioInfo info;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.File(name);
        EXPECT_TRUE(test::WriteFile(path, bytes));
        return path;
    }
    int read(const QString& name, const QByteArray& bytes) {
        return ReadMpegInfo(write(name, bytes), info);
    }
};

int roundEven(double x) { return int(std::nearbyint(x)); }

TEST_F(MpegInfo, FrameAtFileStart) {
    const QByteArray frames = test::MpegFrames(kCd128, 100);
    ASSERT_EQ(quint8(frames[2]), 0x90);
    ASSERT_EQ(read("a.mp3", frames), 1);
    EXPECT_EQ(info.AudioStart, 1);
    EXPECT_EQ(info.Layer, 3);
    EXPECT_EQ(info.IsLowRate, 0);
    EXPECT_EQ(info.Bitrate, 128);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.ChannelMode, 1);
    EXPECT_EQ(info.Channels, 2);
    EXPECT_EQ(info.IsVbr, 0);
    EXPECT_EQ(info.FileSize, frames.size());
    EXPECT_EQ(info.AudioSize, frames.size());
    EXPECT_EQ(info.AudioEnd, frames.size());
    EXPECT_EQ(info.DurationMs, roundEven(frames.size() / 16.0));
    EXPECT_EQ(info.BlockBytes, roundEven(3456.0 / 44100 * 128 * 125));
    EXPECT_EQ(info.Header[0], 0xFB);
    EXPECT_EQ(info.Header[1], 0x90);
    EXPECT_EQ(info.Header[2], 0x40);
    EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
    EXPECT_EQ(info.ShortText, "mp3(44.1kHz/128kb/JS)");
}

TEST_F(MpegInfo, LeadingTagIsSkippedAndTrailingTagExcluded) {
    // A sync pattern inside the leading block must not be taken for the header.
    QByteArray head = test::Id3v1Tag();
    head.replace(40, 4, test::MpegHeader(kCd128));
    const QByteArray frames = test::MpegFrames(kCd128, 20);
    ASSERT_EQ(read("t.mp3", head + frames + test::Id3v1Tag()), 1);
    EXPECT_EQ(info.AudioStart, 129);
    EXPECT_EQ(info.AudioSize, frames.size());
    EXPECT_EQ(info.AudioEnd, 128 + frames.size());
}

TEST_F(MpegInfo, LeadingTagInShortFileDoesNotCutTheAudio) {
    const QByteArray bytes = test::Id3v1Tag() + test::MpegFrames(kCd128, 1);
    ASSERT_EQ(read("s.mp3", bytes), 1);
    EXPECT_EQ(info.AudioSize, bytes.size() - 128);
}

TEST_F(MpegInfo, Id3v2TagsOfSeveralSizes) {
    for (int body : {0, 257, 990, 999, 4096, 98000, 300001}) {
        SCOPED_TRACE(body);
        QByteArray tag = test::Id3v2Tag(body);
        if (body > 100) tag.replace(60, 4, test::MpegHeader(kCd128));  // a decoy in the tag
        const QByteArray frames = test::MpegFrames(kCd128, 30);
        ASSERT_EQ(read("id3.mp3", tag + frames), 1);
        EXPECT_EQ(info.AudioStart, 10 + body + 1);
        EXPECT_EQ(info.AudioSize, frames.size());
        EXPECT_EQ(info.Bitrate, 128);
    }
    // Size bytes 00 00 02 01: 257 bytes of tag body.
    QByteArray tag = test::Id3v2Tag(257);
    EXPECT_EQ(tag.mid(6, 4), QByteArray("\0\0\x02\x01", 4));
}

TEST_F(MpegInfo, LastThreeBytesOfAWindowAreNeverExamined) {
    // Windows count from where the search starts (after a tag), also deep
    // into the file where several windows come in one read.
    const QByteArray frames = test::MpegFrames(kCd128, 5);
    for (int tagBody : {-1, 257}) {
        const QByteArray head = tagBody < 0 ? QByteArray() : test::Id3v2Tag(tagBody);
        const int searchFrom = int(head.size());
        for (int window : {0, 1, 6, 70, 300}) {
            SCOPED_TRACE(::testing::Message() << "tag " << tagBody << " window " << window);
            const int seen = window * 1000 + 996;
            ASSERT_EQ(read("w.mp3", head + QByteArray(seen, '\0') + frames), 1);
            EXPECT_EQ(info.AudioStart, searchFrom + seen + 1);
            ASSERT_EQ(read("w.mp3", head + QByteArray(seen + 1, '\0') + frames), 1);
            EXPECT_EQ(info.AudioStart, searchFrom + seen + 1 + test::MpegFrameLength(kCd128) + 1);
        }
    }
}

TEST_F(MpegInfo, FrameNearTheStartCostsFourSmallReads) {
    const QString path = write("n.mp3", test::Id3v2Tag(300) + test::MpegFrames(kCd128, 3000));
    const std::uint64_t before = ReadAtCalls();
    ASSERT_EQ(ReadMpegInfo(path, info), 1);
    EXPECT_LE(ReadAtCalls() - before, 4u);
}

TEST_F(MpegInfo, SecondByteFFOnlyQualifiesOutsideMp3Files) {
    const QByteArray bytes = QByteArray("\xFF\xFF\x90\x64", 4) + test::MpegFrames(kCd128, 10);
    ASSERT_EQ(read("x.MP3", bytes), 1);
    EXPECT_EQ(info.AudioStart, 5);
    EXPECT_EQ(info.Layer, 3);
    ASSERT_EQ(read("x.mp2", bytes), 1);
    EXPECT_EQ(info.AudioStart, 1);
    EXPECT_EQ(info.Layer, 1);
}

TEST_F(MpegInfo, ThirdByteFFFixesTheReferenceByte) {
    MpegFrameSpec lower = kCd128;
    lower.mpeg1 = false;
    QByteArray bytes = QByteArray("\xFF\xFB\xFF", 3) + QByteArray(7, '\0');
    bytes += test::MpegFrame(lower);  // FF F3: not the reference byte, skipped
    bytes += QByteArray(500 - bytes.size(), '\0');
    bytes += test::MpegFrames(kCd128, 10);
    ASSERT_EQ(read("r.bin", bytes), 1);
    EXPECT_EQ(info.AudioStart, 501);
    EXPECT_EQ(info.IsLowRate, 0);
}

TEST_F(MpegInfo, BitrateTablesPerVersionAndLayer) {
    struct Row { bool mpeg1; int layer, index, kbps, rate; };
    const Row rows[] = {{true, 1, 14, 448, 44100}, {true, 2, 14, 384, 48000},
                        {true, 2, 1, 32, 32000},   {true, 3, 14, 320, 44100},
                        {true, 3, 1, 32, 44100},   {false, 1, 9, 144, 22050},
                        {false, 1, 14, 256, 24000}, {false, 2, 1, 8, 16000},
                        {false, 2, 14, 160, 22050}, {false, 3, 9, 80, 24000},
                        {false, 3, 14, 160, 16000}};
    for (const Row& r : rows) {
        MpegFrameSpec s;
        s.mpeg1 = r.mpeg1;
        s.layer = r.layer;
        s.bitrateIndex = r.index;
        s.rateIndex = r.rate == 48000 || r.rate == 24000 ? 1 : r.rate == 44100 || r.rate == 22050 ? 0 : 2;
        s.channelMode = 0;
        SCOPED_TRACE(::testing::Message() << r.mpeg1 << " L" << r.layer << " #" << r.index);
        const QByteArray frames = test::MpegFrames(s, 40);
        ASSERT_EQ(read("b.mp" + QString::number(r.layer), frames), 1);
        EXPECT_EQ(info.Layer, r.layer);
        EXPECT_EQ(info.IsLowRate, r.mpeg1 ? 0 : 1);
        EXPECT_EQ(info.Bitrate, r.kbps);
        EXPECT_EQ(info.SampleRate, r.rate);
        EXPECT_EQ(info.DurationMs, roundEven(frames.size() / (r.kbps / 8.0)));
        EXPECT_EQ(info.LongText, QStringLiteral("mp%1(%2Hz/%3kbps/Stereo)")
                                     .arg(r.layer).arg(r.rate).arg(r.kbps));
    }
}

TEST_F(MpegInfo, ChannelModesAndShortRates) {
    MpegFrameSpec s = kCd128;
    s.mpeg1 = false;
    const char* shortNames[] = {"ST", "JS", "DC", "Mono"};
    const char* longNames[] = {"Stereo", "JointStereo", "DualChannel", "Mono"};
    for (int mode = 0; mode < 4; ++mode) {
        s.channelMode = mode;
        ASSERT_EQ(read("c.mp3", test::MpegFrames(s, 10)), 1);
        EXPECT_EQ(info.ChannelMode, mode);
        EXPECT_EQ(info.Channels, mode == 3 ? 1 : 2);
        EXPECT_EQ(info.ShortText, QStringLiteral("mp3(22.05kHz/80kb/%1)").arg(shortNames[mode]));
        EXPECT_EQ(info.LongText, QStringLiteral("mp3(22050Hz/80kbps/%1)").arg(longNames[mode]));
    }
    s.rateIndex = 1;
    ASSERT_EQ(read("c.mp3", test::MpegFrames(s, 10)), 1);
    EXPECT_EQ(info.ShortText, "mp3(24kHz/80kb/Mono)");
}

// The VBR header sits after the side information: 36, 21 or 13 bytes in.
struct XingCase { const char* name; bool mpeg1; int mode; int offset; int samples; };
class XingLayouts : public MpegInfo, public ::testing::WithParamInterface<XingCase> {};

TEST_P(XingLayouts, FrameCountGivesDurationAndAverageRate) {
    const XingCase c = GetParam();
    MpegFrameSpec s = kCd128;
    s.mpeg1 = c.mpeg1;
    s.channelMode = c.mode;
    ASSERT_EQ(test::XingOffset(s), c.offset);
    const std::uint32_t frames = 1000;
    const QByteArray audio = test::XingFrame(s, frames, 0) + test::MpegFrames(s, 40);
    for (int tagBody : {0, 98000}) {
        SCOPED_TRACE(tagBody);
        const QByteArray tag = tagBody ? test::Id3v2Tag(tagBody) : QByteArray();
        ASSERT_EQ(read("v.mp3", tag + audio + test::Id3v1Tag()), 1);
        EXPECT_EQ(info.IsVbr, 1);
        EXPECT_EQ(info.FrameCount, 1000);
        const int rate = c.mpeg1 ? 44100 : 22050;
        const int duration = roundEven(1000.0 * c.samples / (rate / 1000.0));
        EXPECT_EQ(info.DurationMs, duration);
        EXPECT_EQ(info.AudioSize, audio.size());
        // The average rate depends only on the audio, not on a tag in front.
        EXPECT_EQ(info.Bitrate, roundEven(audio.size() * 8.0 / duration));
        EXPECT_TRUE(info.LongText.contains("kbps[VBR]/")) << info.LongText.toStdString();
        EXPECT_FALSE(info.ShortText.contains("VBR"));
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, XingLayouts,
                         ::testing::Values(XingCase{"Mpeg1Stereo", true, 1, 36, 1152},
                                           XingCase{"Mpeg1Mono", true, 3, 21, 1152},
                                           XingCase{"Mpeg2Stereo", false, 0, 21, 576},
                                           XingCase{"Mpeg2Mono", false, 3, 13, 576}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(MpegInfo, InfoHeaderIsConstantBitRate) {
    const QByteArray frames = test::XingFrame(kCd128, 50, 0, "Info") + test::MpegFrames(kCd128, 50);
    ASSERT_EQ(read("i.mp3", frames), 1);
    EXPECT_EQ(info.IsVbr, 0);
    EXPECT_EQ(info.FrameCount, 0);
    EXPECT_EQ(info.Bitrate, 128);
    EXPECT_EQ(info.DurationMs, roundEven(frames.size() / 16.0));
}

TEST_F(MpegInfo, XingWithoutFramesOrWithAbsurdCountIsRejected) {
    ASSERT_EQ(read("z.mp3", test::XingFrame(kCd128, 0, 0) + test::MpegFrames(kCd128, 5)), 0);
    EXPECT_EQ(info.IsVbr, 1);  // filled as far as it got
    EXPECT_EQ(read("z.mp3", test::XingFrame(kCd128, 0xFFFFFFFFu, 0) + test::MpegFrames(kCd128, 5)), 0);
    EXPECT_EQ(read("z.mp3", test::XingFrame(kCd128, 0x7FFFFFFFu, 0) + test::MpegFrames(kCd128, 5)), 0);
}

TEST_F(MpegInfo, FailurePropagatesInErrorCatchMode) {
    const QString path = write("z.mp3", test::XingFrame(kCd128, 0, 0) + test::MpegFrames(kCd128, 5));
    globals::ErrorCatch = 1;
    EXPECT_THROW(ReadMpegInfo(path, info), Failure);
    globals::ErrorCatch = 0;
    EXPECT_EQ(ReadMpegInfo(path, info), 0);
}

TEST_F(MpegInfo, ReservedCodesAreRejected) {
    auto withHeader = [](std::uint8_t b2, std::uint8_t b3) {
        QByteArray f = test::MpegFrames(kCd128, 4);
        for (int i = 0; i < 4; ++i) {
            f[i * 417 + 1] = char(b2);
            f[i * 417 + 2] = char(b3);
        }
        return f;
    };
    EXPECT_EQ(read("r.mp3", withHeader(0xF9, 0x90)), 0);  // layer code 00
    EXPECT_EQ(read("r.mp3", withHeader(0xFB, 0x00)), 0);  // free format
    EXPECT_EQ(read("r.mp3", withHeader(0xFB, 0xF0)), 0);  // bit-rate index 15
    EXPECT_EQ(read("r.mp3", withHeader(0xFB, 0x9C)), 0);  // sample-rate code 11
}

TEST_F(MpegInfo, HostileAndTruncatedFiles) {
    EXPECT_EQ(ReadMpegInfo(dir.File("missing.mp3"), info), 0);
    EXPECT_EQ(ReadMpegInfo(dir.Path(), info), 0);
    EXPECT_EQ(read("e.mp3", {}), 0);
    EXPECT_EQ(info.AudioStart, 1);
    EXPECT_EQ(read("s.mp3", test::MpegFrame(kCd128).left(47)), 0);
    EXPECT_EQ(read("z.mp3", QByteArray(5000, '\0')), 0);
    EXPECT_EQ(read("f.mp3", QByteArray(5000, '\xFF')), 0);
    EXPECT_EQ(read("f.bin", QByteArray(5000, '\xFF')), 0);
    // A header cut off by the end of the file: the window reads zeros past it.
    ASSERT_EQ(read("t.mp3", QByteArray(45, '\0') + test::MpegHeader(kCd128).left(3)), 1);
    EXPECT_EQ(info.AudioSize, 3);
    EXPECT_EQ(info.ChannelMode, 0);
    // A tag that claims more bytes than the file has.
    QByteArray id3 = test::Id3v2Tag(100) + test::MpegFrames(kCd128, 2);
    id3[6] = id3[7] = id3[8] = id3[9] = char(0x7F);
    EXPECT_EQ(read("h.mp3", id3), 0);
    // The Xing check must not reach past a frame cut short.
    EXPECT_EQ(read("x.mp3", QByteArray(10, '\0') + test::XingFrame(kCd128, 10, 0).left(44)), 1);
    EXPECT_EQ(info.IsVbr, 0);
}

// ---- real encoded files --------------------------------------------------

class EncodedMpeg : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<test::TempDir>();
        tone_ = dir_->File("tone.wav");
        test::WriteSineWave(tone_, 44100, 2, 16, 440, 3000);
    }
    static void TearDownTestSuite() { dir_.reset(); }

    // Encodes the tone once per fragment; empty when the encoder is missing.
    static QString encoded(const QString& element, const QString& name, const QString& fragment) {
        static std::map<QString, QString> done;
        if (auto it = done.find(name); it != done.end()) return it->second;
        QString out;
        if (test::HasGstElement(element)) {
            out = dir_->File(name);
            if (!test::EncodeWithGStreamer(tone_, out, fragment)) out.clear();
        }
        return done[name] = out;
    }

    static inline std::unique_ptr<test::TempDir> dir_;
    static inline QString tone_;
    MpegAudioInfo info;
};

#define ENCODED_OR_SKIP(var, element, name, fragment)                 \
    const QString var = encoded(element, name, fragment);             \
    if (var.isEmpty()) GTEST_SKIP() << "cannot encode with " element;

TEST_F(EncodedMpeg, ConstantBitRateWithId3v2Tag) {
    ENCODED_OR_SKIP(path, "lamemp3enc", "cbr.mp3",
                    "lamemp3enc target=bitrate bitrate=128 cbr=true ! taginject tags=title=tone ! id3v2mux");
    ASSERT_EQ(ReadMpegInfo(path, info), 1);
    EXPECT_GT(info.AudioStart, 11);
    EXPECT_EQ(info.IsVbr, 0);
    EXPECT_EQ(info.ShortText, "mp3(44.1kHz/128kb/JS)");
    EXPECT_NEAR(info.DurationMs, 3000, 100);
}

TEST_F(EncodedMpeg, ConstantBitRateWithInfoHeaderAndId3v1) {
    ENCODED_OR_SKIP(path, "lamemp3enc", "cbr-plain.mp3", "lamemp3enc target=bitrate bitrate=128 cbr=true");
    const QByteArray audio = test::ReadFile(path);
    ASSERT_EQ(quint8(audio[0]), 0xFF);
    MpegFrameSpec s = kCd128;
    s.channelMode = (quint8(audio[3]) >> 6);
    const QString tagged = dir_->File("cbr-info.mp3");
    ASSERT_TRUE(test::WriteFile(tagged, test::XingFrame(s, 120, 0, "Info") + audio + test::Id3v1Tag()));
    ASSERT_EQ(ReadMpegInfo(tagged, info), 1);
    EXPECT_EQ(info.IsVbr, 0);
    EXPECT_EQ(info.Bitrate, 128);
    EXPECT_EQ(info.AudioSize, audio.size() + test::MpegFrameLength(s));
    EXPECT_NEAR(info.DurationMs, 3000, 100);
}

struct VbrCase { const char* name; const char* caps; int rate; int channels; int samples; };
class EncodedVbr : public EncodedMpeg, public ::testing::WithParamInterface<VbrCase> {};

TEST_P(EncodedVbr, XingHeaderGivesTheToneLength) {
    const VbrCase c = GetParam();
    const QString fragment = QString(c.caps) + " lamemp3enc target=quality quality=2 ! xingmux";
    ENCODED_OR_SKIP(path, "xingmux", QString(c.name) + ".mp3", fragment);
    ASSERT_EQ(ReadMpegInfo(path, info), 1);
    EXPECT_EQ(info.IsVbr, 1);
    EXPECT_EQ(info.SampleRate, c.rate);
    EXPECT_EQ(info.Channels, c.channels);
    EXPECT_EQ(info.DurationMs, roundEven(info.FrameCount * double(c.samples) / (c.rate / 1000.0)));
    EXPECT_NEAR(info.DurationMs, 3000, 150);
    EXPECT_EQ(info.Bitrate, roundEven(info.AudioSize * 8.0 / info.DurationMs));
    EXPECT_TRUE(info.LongText.endsWith(info.Channels == 1 ? "[VBR]/Mono)" : "[VBR]/JointStereo)"))
        << info.LongText.toStdString();

    // A large picture in front changes neither duration nor the average rate.
    const QString tagged = dir_->File(QString(c.name) + "-cover.mp3");
    ASSERT_TRUE(test::WriteFile(tagged, test::Id3v2Tag(98000) + test::ReadFile(path)));
    MpegAudioInfo withTag;
    ASSERT_EQ(ReadMpegInfo(tagged, withTag), 1);
    EXPECT_EQ(withTag.AudioStart, info.AudioStart + 98010);
    EXPECT_EQ(withTag.DurationMs, info.DurationMs);
    EXPECT_EQ(withTag.Bitrate, info.Bitrate);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, EncodedVbr,
    ::testing::Values(VbrCase{"Stereo44k", "", 44100, 2, 1152},
                      VbrCase{"Mono44k", "audio/x-raw,channels=1 !", 44100, 1, 1152},
                      VbrCase{"Stereo22k", "audio/x-raw,rate=22050 !", 22050, 2, 576},
                      VbrCase{"Mono22k", "audio/x-raw,rate=22050,channels=1 !", 22050, 1, 576},
                      VbrCase{"Stereo16k", "audio/x-raw,rate=16000 !", 16000, 2, 576}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(EncodedMpeg, LayerTwo) {
    ENCODED_OR_SKIP(path, "avenc_mp2", "tone.mp2", "avenc_mp2 bitrate=192000");
    ASSERT_EQ(ReadMpegInfo(path, info), 1);
    EXPECT_EQ(info.AudioStart, 1);
    EXPECT_EQ(info.Layer, 2);
    EXPECT_EQ(info.IsLowRate, 0);
    EXPECT_EQ(info.Bitrate, 192);
    EXPECT_NEAR(info.DurationMs, 3000, 100);
    EXPECT_EQ(info.LongText, "mp2(44100Hz/192kbps/Stereo)");
}

TEST_F(EncodedMpeg, LayerTwoAtLowerSampleRate) {
    ENCODED_OR_SKIP(path, "avenc_mp2", "low.mp2", "audio/x-raw,rate=24000 ! avenc_mp2 bitrate=64000");
    ASSERT_EQ(ReadMpegInfo(path, info), 1);
    EXPECT_EQ(info.Layer, 2);
    EXPECT_EQ(info.IsLowRate, 1);
    EXPECT_EQ(info.Bitrate, 64);
    EXPECT_EQ(info.ShortText, "mp2(24kHz/64kb/ST)");
    EXPECT_NEAR(info.DurationMs, 3000, 100);
}


// The encoder delay and padding of the LAME-style extension, as the two
// encoders that write most MP3 files write it.
TEST_F(MpegInfo, EncoderDelayAndPaddingAreReadWhateverTheEncoderAndCheckedByTheirCrc) {
    const qint64 length = 44137;
    const QString wav = dir.File("tone.wav");
    ASSERT_TRUE(test::WriteSinePart(wav, 44100, 0, length));
    const QList<QStringList> encoders = {
        {"lame", "--quiet", "--cbr", "-b", "192", wav, dir.File("lame.mp3")},
        {"ffmpeg", "-loglevel", "error", "-y", "-i", wav, "-c:a", "libmp3lame", "-b:a", "192k", dir.File("lavc.mp3")}};
    int tried = 0;
    for (const QStringList& e : encoders) {
        QProcess encoder;
        encoder.start(e.front(), e.mid(1));
        if (!encoder.waitForFinished(60000) || encoder.exitCode() != 0) continue;
        ++tried;
        const QString mp3 = e.back();
        const MpegGapless g = ReadMpegGapless(mp3);
        ASSERT_TRUE(g.Valid()) << e.front().toStdString();
        EXPECT_EQ(g.Samples - g.Delay - g.Padding, length) << g.Encoder.toStdString();
        EXPECT_EQ(g.Delay, 576) << g.Encoder.toStdString();
        EXPECT_TRUE(g.Encoder.startsWith(e.front() == u"lame" ? "LAME" : "Lav")) << g.Encoder.toStdString();

        // One byte of the extension changed: its checksum no longer fits.
        QByteArray bytes = test::ReadFile(mp3);
        const qsizetype at = bytes.indexOf(g.Encoder.toLatin1());
        ASSERT_GT(at, 0);
        bytes[at + 10] = char(bytes[at + 10] ^ 0x01);
        ASSERT_TRUE(test::WriteFile(dir.File("changed.mp3"), bytes));
        EXPECT_FALSE(ReadMpegGapless(dir.File("changed.mp3")).Valid());
        // A writer that leaves the checksum out is taken at its word.
        bytes[at + 34] = 0;
        bytes[at + 35] = 0;
        ASSERT_TRUE(test::WriteFile(dir.File("unchecked.mp3"), bytes));
        EXPECT_EQ(ReadMpegGapless(dir.File("unchecked.mp3")).Delay, 576);
    }
    if (tried == 0) GTEST_SKIP() << "no MP3 encoder";
    // Without the extension: nothing to trim, never a guess.
    ASSERT_TRUE(test::WriteFile(dir.File("plain.mp3"), test::XingFrame(kCd128, 10, 4000) + test::MpegFrames(kCd128, 10)));
    EXPECT_FALSE(ReadMpegGapless(dir.File("plain.mp3")).Valid());
    ASSERT_TRUE(test::WriteFile(dir.File("frames.mp3"), test::MpegFrames(kCd128, 10)));
    EXPECT_FALSE(ReadMpegGapless(dir.File("frames.mp3")).Valid());
    EXPECT_FALSE(ReadMpegGapless(dir.File("missing.mp3")).Valid());
}

}  // namespace
}  // namespace rilumo
