// Tags written by TagLib into files the tests make, read back through
// ReadTrackTags: every container, and CP932 text hiding in Latin-1 fields.

#include <gtest/gtest.h>

#include <taglib/apetag.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include <QDir>

#include <sys/stat.h>

#include "media/track_tags.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo::test {
namespace {

TagLib::String Utf8(const QString& s) { return TagLib::String(s.toStdString(), TagLib::String::UTF8); }
// Bytes as a Latin-1 string, so that TagLib writes them back byte for byte.
TagLib::String Raw(const QByteArray& b) { return TagLib::String(TagLib::ByteVector(b.constData(), b.size())); }

const QByteArray kCp932Title("\x93\xF1\x8B\xC8\x96\xDA");   // 二曲目
const QByteArray kCp932Artist("\x89\xCC\x8E\xE8");          // 歌手
const QByteArray kCp932Album("\x93\x8C\x8B\x9E");           // 東京

class TrackTagsTest : public ::testing::Test {
protected:
    QString Mp3(const QString& name, int frames = 40) {
        const QString path = dir.File(name);
        EXPECT_TRUE(WriteFile(path, MpegFrames(MpegFrameSpec{}, frames)));
        return path;
    }
    static void TagEverything(const QString& path, const QString& kind) {
        TagLib::FileRef f(QFile::encodeName(path).constData());
        ASSERT_FALSE(f.isNull()) << kind.toStdString();
        TagLib::PropertyMap map;
        map.insert("TITLE", Utf8(QStringLiteral("曲 ") + kind));
        map.insert("ARTIST", Utf8(QStringLiteral("歌手")));
        map.insert("ALBUMARTIST", Utf8(QStringLiteral("みんな")));
        map.insert("ALBUM", Utf8(QStringLiteral("Café")));
        map.insert("TRACKNUMBER", TagLib::String("3/12"));
        map.insert("DISCNUMBER", TagLib::String("2"));
        map.insert("DATE", TagLib::String("2001"));
        map.insert("GENRE", TagLib::String("Jazz"));
        f.file()->setProperties(map);
        ASSERT_TRUE(f.save()) << kind.toStdString();
    }

    TempDir dir;
};

TEST_F(TrackTagsTest, EveryContainerGivesItsTagsAndProperties) {
    const QString wav = dir.File("tone.wav");
    ASSERT_TRUE(WriteSineWave(wav, 44100, 2, 16, 440, 1000));
    struct Case {
        const char* kind;
        const char* format;
    };
    const Case cases[] = {{"wav", "WAV"},   {"mp3", "MP3"},         {"flac", "FLAC"}, {"ogg", "Ogg Vorbis"},
                          {"opus", "Opus"}, {"m4a", "AAC"},         {"wma", "WMA"},   {"aiff", "AIFF"},
                          {"wv", "WavPack"}};
    int tried = 0;
    for (const Case& c : cases) {
        const QString kind = QString::fromLatin1(c.kind);
        const QString path = dir.File("t." + kind);
        if (kind == "wav") QFile::copy(wav, path);
        else if (!EncodeAs(kind, wav, path)) continue;
        ++tried;
        TagEverything(path, kind);
        const TrackTags t = ReadTrackTags(path);
        SCOPED_TRACE(c.kind);
        EXPECT_TRUE(t.read);
        EXPECT_EQ(t.title, QStringLiteral("曲 ") + kind);
        EXPECT_EQ(t.artist, QStringLiteral("歌手"));
        EXPECT_EQ(t.album, QStringLiteral("Café"));
        EXPECT_EQ(t.trackNumber, 3);
        EXPECT_EQ(t.date, "2001");
        EXPECT_EQ(t.genre, "Jazz");
        EXPECT_EQ(t.formatName, c.format);
        EXPECT_NEAR(static_cast<double>(t.lengthMs), 1000, 150);
        EXPECT_GT(t.sampleRate, 0);
        EXPECT_GT(t.channels, 0);
        // Not every container has a field for these.
        if (kind != "wav") {
            EXPECT_EQ(t.albumArtist, QStringLiteral("みんな"));
            EXPECT_EQ(t.discNumber, 2);
        }
    }
    EXPECT_GE(tried, 5) << "too few encoders on this machine";
    EXPECT_EQ(ReadTrackTags(dir.File("t.flac")).bitsPerSample, 16);
}

TEST_F(TrackTagsTest, WaveInfoChunkAndId3VersionsAndApe) {
    const QString wav = dir.File("info.wav");
    ASSERT_TRUE(WriteSineWave(wav, 8000, 1, 16, 440, 500));
    {
        TagLib::RIFF::WAV::File f(QFile::encodeName(wav).constData());
        f.InfoTag()->setTitle("Info title");
        f.InfoTag()->setArtist("Info artist");
        ASSERT_TRUE(f.save(TagLib::RIFF::WAV::File::Info));
    }
    EXPECT_EQ(ReadTrackTags(wav).title, "Info title");
    EXPECT_EQ(ReadTrackTags(wav).artist, "Info artist");
    EXPECT_EQ(FormatSummary(ReadTrackTags(wav)), "WAV 8kHz 16bit");

    struct Way {
        int tags;
        TagLib::ID3v2::Version version;
    };
    for (const Way way : {Way{TagLib::MPEG::File::ID3v2, TagLib::ID3v2::v3}, Way{TagLib::MPEG::File::ID3v2, TagLib::ID3v2::v4},
                          Way{TagLib::MPEG::File::APE, TagLib::ID3v2::v4}, Way{TagLib::MPEG::File::ID3v1, TagLib::ID3v2::v4}}) {
        const QString path = Mp3("way.mp3");
        {
            TagLib::MPEG::File f(QFile::encodeName(path).constData());
            TagLib::Tag* tag = way.tags == TagLib::MPEG::File::APE ? static_cast<TagLib::Tag*>(f.APETag(true))
                               : way.tags == TagLib::MPEG::File::ID3v1 ? static_cast<TagLib::Tag*>(f.ID3v1Tag(true))
                                                                       : f.ID3v2Tag(true);
            tag->setTitle("Song");
            tag->setTrack(7);
            ASSERT_TRUE(f.save(way.tags, TagLib::File::StripOthers, way.version, TagLib::File::DoNotDuplicate));
        }
        const TrackTags t = ReadTrackTags(path);
        EXPECT_EQ(t.title, "Song") << way.tags;
        EXPECT_EQ(t.trackNumber, 7) << way.tags;
        EXPECT_EQ(FormatSummary(t), "MP3 44.1kHz 128kbps");
    }
}

// Writes the three names into Latin-1 frames of ID3v2.3 and into ID3v1.
void WriteLatin1Names(const QString& path, const QByteArray& title, const QByteArray& artist,
                      const QByteArray& album, int tags) {
    TagLib::MPEG::File f(QFile::encodeName(path).constData());
    for (TagLib::Tag* tag : {static_cast<TagLib::Tag*>(f.ID3v2Tag(true)), static_cast<TagLib::Tag*>(f.ID3v1Tag(true))}) {
        tag->setTitle(Raw(title));
        tag->setArtist(Raw(artist));
        tag->setAlbum(Raw(album));
    }
    ASSERT_TRUE(f.save(tags, TagLib::File::StripOthers, TagLib::ID3v2::v3, TagLib::File::DoNotDuplicate));
}

TEST_F(TrackTagsTest, Latin1FieldsDecodeAsCp932OnlyWhenTheNamesDoTogether) {
    for (const int tags : {int(TagLib::MPEG::File::ID3v2), int(TagLib::MPEG::File::ID3v1)}) {
        SCOPED_TRACE(tags);
        const QString path = Mp3("cp932.mp3");
        WriteLatin1Names(path, kCp932Title, kCp932Artist, kCp932Album, tags);
        TrackTags t = ReadTrackTags(path);
        EXPECT_EQ(t.title, QStringLiteral("二曲目"));
        EXPECT_EQ(t.artist, QStringLiteral("歌手"));
        EXPECT_EQ(t.album, QStringLiteral("東京"));

        // "Café" is no CP932: the whole file stays Latin-1, the title too.
        WriteLatin1Names(path, kCp932Title, "ASCII", "Caf\xE9", tags);
        t = ReadTrackTags(path);
        EXPECT_EQ(t.album, QStringLiteral("Café"));
        EXPECT_EQ(t.title, QString::fromLatin1(kCp932Title));

        // UTF-8 bytes in a Latin-1 field are taken as what they are.
        WriteLatin1Names(path, QStringLiteral("歌").toUtf8(), "", "", tags);
        EXPECT_EQ(ReadTrackTags(path).title, QStringLiteral("歌"));
    }
    // Text declared UTF-8 is never decoded again.
    const QString path = Mp3("utf8.mp3");
    {
        TagLib::MPEG::File f(QFile::encodeName(path).constData());
        auto* frame = new TagLib::ID3v2::TextIdentificationFrame("TIT2", TagLib::String::UTF8);
        frame->setText(Utf8(QStringLiteral("Ã©")));
        f.ID3v2Tag(true)->addFrame(frame);
        ASSERT_TRUE(f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4));
    }
    EXPECT_EQ(ReadTrackTags(path).title, QStringLiteral("Ã©"));
}

TEST_F(TrackTagsTest, WhatTagLibCannotReadGivesEmptyTags) {
    EXPECT_EQ(ReadTrackTags(dir.File("missing.mp3")), TrackTags{});
    EXPECT_EQ(ReadTrackTags(dir.Path()), TrackTags{});
    const QString pipe = dir.File("pipe.mp3");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(ReadTrackTags(pipe), TrackTags{}) << "and returns at once";
    const QString junk = dir.File("junk.flac");
    ASSERT_TRUE(WriteFile(junk, QByteArray("fLaC") + QByteArray(200, '\xFF')));
    EXPECT_TRUE(ReadTrackTags(junk).title.isEmpty());
    const QString unknown = dir.File("notes.txt");
    ASSERT_TRUE(WriteFile(unknown, "hello"));
    EXPECT_FALSE(ReadTrackTags(unknown).read);
}

TEST(FormatSummary, NamesRateAndDepthOrBitrate) {
    TrackTags t;
    EXPECT_EQ(FormatSummary(t), "");
    t.formatName = "FLAC";
    t.sampleRate = 44100;
    t.bitsPerSample = 16;
    t.bitrateKbps = 900;
    EXPECT_EQ(FormatSummary(t), "FLAC 44.1kHz 16bit");
    t = {};
    t.formatName = "MP3";
    t.sampleRate = 48000;
    t.bitrateKbps = 320;
    EXPECT_EQ(FormatSummary(t), "MP3 48kHz 320kbps");
    t.sampleRate = 22050;
    EXPECT_EQ(FormatSummary(t), "MP3 22.05kHz 320kbps");
}

}  // namespace
}  // namespace rilumo::test
