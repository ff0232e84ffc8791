#include <gtest/gtest.h>

#include <QFile>

#include <cmath>
#include <functional>

#include <taglib/apetag.h>
#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

#include "media/replaygain.h"
#include "support/settings.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

using Mode = ReplayGainMode;

// -6.02 dB halves the amplitude.
constexpr double kHalf = 0.49997;

double factor(const ReplayGainTags& tags, Mode mode, double preamp = 0, bool noClip = true, double fallback = 0) {
    return ReplayGainFactor(tags, ReplayGainSettings{mode, preamp, noClip, fallback});
}

TEST(ReplayGainLevel, GainTextAndPeaksParseOrGiveNothing) {
    EXPECT_EQ(ParseGainText(" -6.02 dB"), -6.02);
    EXPECT_EQ(ParseGainText("+3.5"), 3.5);
    EXPECT_EQ(ParseGainText("1.5 DB "), 1.5);
    for (const char* junk : {"", "dB", "loud", "inf", "nan", "-6,02 dB"}) EXPECT_FALSE(ParseGainText(junk)) << junk;
    EXPECT_EQ(ParsePeakText("0.988525"), 0.988525);
    for (const char* junk : {"0", "-1", "x", "inf"}) EXPECT_FALSE(ParsePeakText(junk)) << junk;
}

TEST(ReplayGainLevel, EachModeTakesItsGainTheOtherOneOrTheFallback) {
    const ReplayGainTags both{-6.02, 0.5, -12.04, 0.9};
    EXPECT_EQ(factor(both, Mode::Off), 1.0);
    EXPECT_NEAR(factor(both, Mode::Track), kHalf, 1e-4);
    EXPECT_NEAR(factor(both, Mode::Album), kHalf * kHalf, 1e-4);
    EXPECT_NEAR(factor(ReplayGainTags{-6.02, 0.5, {}, {}}, Mode::Album), kHalf, 1e-4);
    EXPECT_NEAR(factor(ReplayGainTags{{}, {}, -6.02, 0.5}, Mode::Track), kHalf, 1e-4);
    EXPECT_NEAR(factor(both, Mode::Track, 6.02), 1.0, 1e-4);
    EXPECT_NEAR(factor({}, Mode::Track, 6.02, true, -6.02), kHalf, 1e-4);  // no preamp on the fallback
    EXPECT_EQ(factor({}, Mode::Off, 0, true, -6.02), 1.0);
}

TEST(ReplayGainLevel, NoClipHoldsThePeakAtFullScaleAndWildGainsStayInRange) {
    const ReplayGainTags loud{12.0, 0.5, {}, {}};
    EXPECT_DOUBLE_EQ(factor(loud, Mode::Track), 2.0);
    EXPECT_NEAR(factor(loud, Mode::Track, 0, false), 3.981, 1e-3);
    EXPECT_EQ(factor(ReplayGainTags{100.0, {}, {}, {}}, Mode::Track), 10.0);
    EXPECT_NEAR(factor(ReplayGainTags{-400.0, {}, {}, {}}, Mode::Track), 0.0, 1e-12);
}

TEST(ReplayGainSettingsTest, AreReadAsTextWithDefaultsForWhatIsNoNumber) {
    QFile::remove(NativeSettingsFile());
    EXPECT_EQ(ReadReplayGainSettings().mode, Mode::Track);
    WriteReplayGainMode(Mode::Album);
    WriteSetting(QStringLiteral("ReplayGainPreamp"), QStringLiteral("3.5"));
    WriteSetting(QStringLiteral("ReplayGainNoClip"), QStringLiteral("0"));
    WriteSetting(QStringLiteral("ReplayGainFallback"), QStringLiteral("-4 dB"));
    ReplayGainSettings s = ReadReplayGainSettings();
    EXPECT_EQ(s.mode, Mode::Album);
    EXPECT_EQ(s.preampDb, 3.5);
    EXPECT_FALSE(s.noClip);
    EXPECT_EQ(s.fallbackDb, -4);
    WriteSetting(QStringLiteral("ReplayGain"), QStringLiteral("7"));
    WriteSetting(QStringLiteral("ReplayGainPreamp"), QStringLiteral("loud"));
    s = ReadReplayGainSettings();
    EXPECT_EQ(s.mode, Mode::Track);
    EXPECT_EQ(s.preampDb, 0);
    QFile::remove(NativeSettingsFile());
}

// ---- tags written by TagLib into real encoded files -------------------------

void setProperties(const QString& path, const std::function<void(TagLib::PropertyMap&)>& edit) {
    TagLib::FileRef f(QFile::encodeName(path).constData());
    ASSERT_FALSE(f.isNull());
    TagLib::PropertyMap map = f.file()->properties();
    edit(map);
    f.file()->setProperties(map);
    ASSERT_TRUE(f.save());
}

void tagAll(TagLib::PropertyMap& map) {
    map.replace("REPLAYGAIN_TRACK_GAIN", TagLib::StringList("-6.02 dB"));
    map.replace("REPLAYGAIN_TRACK_PEAK", TagLib::StringList("0.500000"));
    map.replace("REPLAYGAIN_ALBUM_GAIN", TagLib::StringList("-9.50 dB"));
    map.replace("REPLAYGAIN_ALBUM_PEAK", TagLib::StringList("0.750000"));
}

const ReplayGainTags kWritten{-6.02, 0.5, -9.5, 0.75};

class ReplayGainTagsTest : public ::testing::Test {
protected:
    // The tone encoded as kind; empty (the case skipped) without an encoder.
    QString Encoded(const QString& kind) {
        const QString wav = dir.File(kind + QStringLiteral(".wav"));
        const QString out = dir.File(QStringLiteral("tone.") + kind);
        if (!test::WriteSineWave(wav, 44100, 2, 16, 440, 200)) return {};
        return kind == u"wav" || test::EncodeAs(kind, wav, out) ? (kind == u"wav" ? wav : out) : QString();
    }
    test::TempDir dir;
};

TEST_F(ReplayGainTagsTest, VorbisCommentsApeAndId3v2TextFramesAllRead) {
    int tried = 0;
    for (const QString kind : {"flac", "ogg", "wv", "mp3", "wav"}) {
        const QString path = Encoded(kind);
        if (path.isEmpty()) continue;
        ++tried;
        EXPECT_TRUE(ReadReplayGain(path).Empty()) << kind.toStdString();
        setProperties(path, tagAll);
        EXPECT_EQ(ReadReplayGain(path), kWritten) << kind.toStdString();
    }
    EXPECT_GE(tried, 3);
}

TEST_F(ReplayGainTagsTest, AnMp3WithOnlyAnApeTagAndMp4FreeformAtomsRead) {
    if (const QString mp3 = Encoded(QStringLiteral("mp3")); !mp3.isEmpty()) {
        {
            TagLib::MPEG::File f(QFile::encodeName(mp3).constData());
            // A title too: TagLib leaves out a tag with none of the common fields.
            f.APETag(true)->setTitle("t");
            f.APETag()->addValue("REPLAYGAIN_TRACK_GAIN", "-3.00 dB");
            ASSERT_TRUE(f.save());
        }
        EXPECT_EQ(ReadReplayGain(mp3), (ReplayGainTags{-3.0, {}, {}, {}}));
    }
    const QString m4a = Encoded(QStringLiteral("m4a"));
    if (m4a.isEmpty()) GTEST_SKIP() << "no AAC encoder";
    TagLib::MP4::File f(QFile::encodeName(m4a).constData());
    ASSERT_TRUE(f.isValid());
    auto atom = [&](const char* name, const char* value) {
        f.tag()->setItem(TagLib::String("----:com.apple.iTunes:") + name, TagLib::MP4::Item(TagLib::StringList(value)));
    };
    atom("replaygain_track_gain", "-6.02 dB");
    atom("replaygain_track_peak", "0.5");
    atom("REPLAYGAIN_ALBUM_GAIN", "-9.5 dB");
    atom("replaygain_album_peak", "0.75");
    ASSERT_TRUE(f.save());
    EXPECT_EQ(ReadReplayGain(m4a), kWritten);
}

TEST_F(ReplayGainTagsTest, OpusGainsCountFromItsOwnReferenceAndBrokenFilesGiveNothing) {
    const QString opus = Encoded(QStringLiteral("opus"));
    if (!opus.isEmpty()) {
        TagLib::Ogg::Opus::File f(QFile::encodeName(opus).constData());
        ASSERT_TRUE(f.isValid());
        f.tag()->addField("R128_TRACK_GAIN", "-2821");  // -11.02 dB against -23 LUFS
        f.tag()->addField("R128_ALBUM_GAIN", "junk");
        ASSERT_TRUE(f.save());
        const ReplayGainTags t = ReadReplayGain(opus);
        ASSERT_TRUE(t.trackGain);
        EXPECT_NEAR(*t.trackGain, -6.02, 0.01);
        EXPECT_FALSE(t.albumGain);
    }
    ASSERT_TRUE(test::WriteFile(dir.File("noise.flac"), "fLaC\0\0\0\x22garbage"));
    EXPECT_TRUE(ReadReplayGain(dir.File("noise.flac")).Empty());
    EXPECT_TRUE(ReadReplayGain(dir.File("absent.mp3")).Empty());
}

}  // namespace
}  // namespace rilumo
