// Writes the seed corpus: fuzz_seeds OUT_DIR makes a folder per fuzzer in
// OUT_DIR with small files of the layouts the readers meet.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

using namespace rilumo::test;

namespace {

constexpr int kMaxSeed = 12000;

int written = 0;
void seed(const QString& dir, const QString& name, const QByteArray& bytes) {
    if (WriteFile(dir + u'/' + name, bytes.left(kMaxSeed))) ++written;
}

void waveSeeds(const QString& d) {
    const QByteArray pcm = SineSamples(8000, 2, 16, 440, 20);
    seed(d, "pcm16", PcmWave(8000, 2, 16, pcm));
    seed(d, "pcm8", PcmWave(8000, 1, 8, SineSamples(8000, 1, 8, 440, 20)));
    seed(d, "pcm24x6", PcmWave(8000, 6, 24, QByteArray(360, '\0')));
    seed(d, "list-first", RiffFile({{"LIST", QByteArrayLiteral("INFOINAM\x05\0\0\0tone\0")},
                                    {"fmt ", FmtBody(1, 2, 44100, 16)}, {"data", pcm}}));
    seed(d, "data-first", RiffFile({{"data", pcm}, {"fmt ", FmtBody(1, 2, 8000, 16)}}));
    seed(d, "odd-junk", RiffFile({{"junk", "abc"}, {"fmt ", FmtBody(1, 1, 8000, 8)}, {"data", "xyz"}}));
    seed(d, "float", RiffFile({{"fmt ", FmtBody(3, 2, 44100, 32)}, {"data", pcm}}));
    seed(d, "extensible", RiffFile({{"fmt ", FmtBody(0xFFFE, 2, 44100, 16, QByteArray(24, '\x01'))},
                                    {"data", pcm}}));
    for (int tag : {80, 85, 352})
        seed(d, QStringLiteral("tag%1").arg(tag), RiffFile({{"fmt ", FmtBody(tag, 2, 44100, 0)},
                                                            {"data", QByteArray(64, '\xFF')}}));
    seed(d, "huge-chunk", RiffFile({{"LIST", "ab", 0xFFFFFFFFll}, {"fmt ", FmtBody(1, 2, 44100, 16)}}));
    seed(d, "zero-rate", RiffFile({{"fmt ", FmtBody(1, 2, 0, 16)}, {"data", "abcd"}}));
}

void mpegSeeds(const QString& d) {
    const MpegFrameSpec cd;
    MpegFrameSpec mono = cd, low = cd, lowMono = cd, layer2 = cd, layer1 = cd;
    mono.channelMode = 3;
    low.mpeg1 = false;
    low.bitrateIndex = 4;
    lowMono = low;
    lowMono.channelMode = 3;
    layer2.layer = 2;
    layer2.bitrateIndex = 3;
    layer1.layer = 1;
    layer1.bitrateIndex = 1;
    seed(d, "cbr", MpegFrames(cd, 6));
    seed(d, "cbr-id3v1", MpegFrames(cd, 4) + Id3v1Tag());
    seed(d, "tag-first", Id3v1Tag() + MpegFrames(cd, 4));
    seed(d, "id3v2", Id3v2Tag(257) + MpegFrames(cd, 4));
    seed(d, "id3v2-window", Id3v2Tag(985) + MpegFrames(cd, 4));
    seed(d, "info", XingFrame(cd, 10, 4000, "Info") + MpegFrames(cd, 4));
    seed(d, "xing", XingFrame(cd, 10, 4000) + MpegFrames(cd, 4));
    seed(d, "xing-mono", XingFrame(mono, 10, 4000) + MpegFrames(mono, 4));
    seed(d, "xing-low", XingFrame(low, 10, 4000) + MpegFrames(low, 4));
    seed(d, "xing-low-mono", XingFrame(lowMono, 10, 4000) + MpegFrames(lowMono, 4));
    seed(d, "xing-zero", XingFrame(cd, 0, 0) + MpegFrames(cd, 2));
    seed(d, "layer2", MpegFrames(layer2, 10));
    seed(d, "layer1", MpegFrames(layer1, 20));
    seed(d, "ref-byte", QByteArray("\xFF\xFB\xFF\0\0\0", 6) + MpegFrames(low, 2) + MpegFrames(cd, 2));
    seed(d, "blind-spot", QByteArray(997, '\0') + MpegFrames(cd, 3));
    seed(d, "ff-run", QByteArray(300, '\xFF') + MpegFrames(cd, 2));

    // Real encoder output, cut to the seed size.
    if (!HasGstElement("lamemp3enc")) return;
    QTemporaryDir tmp;
    const QString tone = tmp.filePath("tone.wav");
    WriteSineWave(tone, 44100, 2, 16, 440, 300);
    const struct { const char* name; const char* element; const char* fragment; } encoders[] = {
        {"lame-vbr", "xingmux", "lamemp3enc target=quality quality=2 ! xingmux"},
        {"lame-vbr-mono22", "xingmux",
         "audio/x-raw,rate=22050,channels=1 ! lamemp3enc target=quality quality=4 ! xingmux"},
        {"lame-cbr-id3", "id3v2mux",
         "lamemp3enc target=bitrate bitrate=64 cbr=true ! taginject tags=title=seed ! id3v2mux"},
        {"mp2", "avenc_mp2", "avenc_mp2 bitrate=64000"},
    };
    for (const auto& e : encoders) {
        const QString out = tmp.filePath(QString(e.name) + ".bin");
        if (HasGstElement(e.element) && EncodeWithGStreamer(tone, out, e.fragment))
            seed(d, e.name, ReadFile(out));
    }
}

void openFormatSeeds(const QString& d) {
    seed(d, "flac-bare", QByteArray("fLaC\x80\x00\x00\x22", 8) + QByteArray(10, '\x10') +
                             QByteArray("\x0a\xc4\x42\xf0\x00\x01\x00\x00", 8) + QByteArray(16, '\0'));
    seed(d, "wvpk-bare", QByteArray("wvpk", 4) + QByteArray(28, '\x01'));
    seed(d, "id3-then", Id3v2Tag(40) + QByteArray("fLaC", 4));
    QTemporaryDir tmp;
    const QString tone = tmp.filePath("tone.wav");
    WriteSineWave(tone, 44100, 2, 16, 440, 300);
    for (const char* kind : {"flac", "ogg", "opus", "oga", "wv"}) {
        const QString out = tmp.filePath(QString(kind) + ".bin");
        if (EncodeAs(kind, tone, out)) seed(d, kind, ReadFile(out));
    }
}

void listSeeds(const QString& root) {
    seed(root + "/list_m3u", "extm3u",
         "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:12,A - B\r\nrel/a.mp3\r\n/abs/b.flac\nfile:///x%20y.ogg\nC:\\w.mp3\n");
    seed(root + "/list_m3u", "latin1", "caf\xE9.mp3\n../up.wav\n");
    seed(root + "/list_pls", "pls",
         "[playlist]\nFile2=b.mp3\nTitle2=B\nFile1=file:///a.mp3\nNumberOfEntries=2\nVersion=2\n");
    seed(root + "/list_xspf", "xspf",
         "<?xml version=\"1.0\"?><playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>"
         "<track><location>file:///a%20b.flac</location></track><track><location>rel/c.ogg</location>"
         "</track></trackList></playlist>");
    seed(root + "/list_own", "own", "\"/m/a.mp3\"\r\nrel.wav\r\n\"\r\n");
    // A Japanese Windows desktop's lists: CP932 with backslashes, and "Unicode".
    seed(root + "/list_m3u", "cp932", "#EXTM3U\r\n\x93\x8C\x8B\x9E\\\x93\xF1.wav\r\n..\\\x95\x5C.wav\r\n");
    seed(root + "/list_own", "utf16", QByteArray("\xFF\xFE" "a\0\\\0b\0\r\0\n\0", 12));
    seed(root + "/list_pls", "mixed", "[playlist]\nFile1=\xE6\x9D\xB1.wav\nFile2=\x93\x8C.wav\n");
}

void legacyTextSeeds(const QString& d) {
    seed(d, "cp932", "\x83\x5E\x83\x43\x83\x67\x83\x8B \xB1\x87\x40\x81\x60\\");
    seed(d, "utf8", "\xE6\x9D\xB1\xE4\xBA\xAC");
    seed(d, "latin1", "Caf\xE9");
    seed(d, "utf16", QByteArray("\xFE\xFF\x67\x71", 4));
    seed(d, "stray", "\xED\xA0\x80\xC0\xAF\xF4\x90\x80\x80");
}

// An encoded file tagged the way the player reads it, and a bare tag.
void mp4Seeds(const QString& d) {
    QTemporaryDir tmp;
    const QString wav = tmp.filePath("tone.wav");
    const QString m4a = tmp.filePath("tone.m4a");
    if (WriteSineWave(wav, 8000, 1, 16, 440, 100) && EncodeAs("m4a", wav, m4a) && AddItunSmpb(m4a, 1024, 200, 800)) {
        QFile f(m4a);
        if (f.open(QIODevice::ReadOnly)) seed(d, "tagged", f.readAll());
    }
    seed(d, "moov-only", QByteArray("\0\0\0\x08moov", 8));
}

// Sheets naming the files fuzz_cue_sheet keeps beside them.
void cueSeeds(const QString& d) {
    seed(d, "album", "\xEF\xBB\xBFREM DATE 2001\r\nREM REPLAYGAIN_ALBUM_GAIN -6.5 dB\r\nPERFORMER \"P\"\r\n"
                     "FILE \"a.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"\x93\x8C\"\r\n    INDEX 01 00:00:00\r\n"
                     "  TRACK 02 AUDIO\r\n    INDEX 00 01:00:00\r\n    INDEX 01 01:02:10\r\n"
                     "FILE \"disc\\c.MP3\" MP3\r\n  TRACK 03 AUDIO\r\n    INDEX 01 00:00:00\r\n"
                     "FILE b.wav WAVE\r\n  TRACK 04 AUDIO\r\n    REM REPLAYGAIN_TRACK_GAIN +1.0 dB\r\n"
                     "    INDEX 01 00:00:01\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds OUT_DIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(root + "/wave_reader");
    QDir().mkpath(root + "/mpeg_info");
    for (const char* sub : {"open_formats", "mp4_gapless", "list_m3u", "list_pls", "list_xspf", "list_own",
                            "legacy_text", "cue_sheet"})
        QDir().mkpath(root + u'/' + QLatin1String(sub));
    waveSeeds(root + "/wave_reader");
    mpegSeeds(root + "/mpeg_info");
    openFormatSeeds(root + "/open_formats");
    mp4Seeds(root + "/mp4_gapless");
    listSeeds(root);
    legacyTextSeeds(root + "/legacy_text");
    cueSeeds(root + "/cue_sheet");
    std::printf("fuzz_seeds: %d seed files in %s\n", written, argv[1]);
    return written > 0 ? 0 : 1;
}
