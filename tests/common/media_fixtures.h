#pragma once
// Fixture writers for media tests: PCM WAVE files, RIFF files laid out chunk
// by chunk, byte-built MPEG audio frames and tags, and real encoded files made
// by GStreamer's command-line tools. QtCore only.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <ostream>
#include <vector>

#include "tests/common/test_env.h"  // PrintTo for QString

namespace rilumo::test {

// ---- RIFF/WAVE ------------------------------------------------------------

// Interleaved little-endian PCM of a sine tone (8-bit unsigned, 16/24/32-bit signed).
QByteArray SineSamples(int sampleRate, int channels, int bits, double frequency, int ms);

struct RiffChunk {
    QByteArray id;              // four bytes, e.g. "fmt ", "data", "LIST"
    QByteArray body;
    std::int64_t declaredSize = -1;  // the size field written; -1 = body size
    bool pad = true;            // write the pad byte after an odd-sized body
};

// The 16-byte body of a "fmt " chunk (plus any extension bytes).
QByteArray FmtBody(int formatTag, int channels, int sampleRate, int bits,
                   const QByteArray& extension = {});
// "RIFF" <size> "WAVE" followed by the chunks in the order given.
QByteArray RiffFile(const QList<RiffChunk>& chunks);
QByteArray PcmWave(int sampleRate, int channels, int bits, const QByteArray& data);

bool WriteRiffFile(const QString& path, const QList<RiffChunk>& chunks);
bool WritePcmWave(const QString& path, int sampleRate, int channels, int bits,
                  const QByteArray& data);
bool WriteSineWave(const QString& path, int sampleRate, int channels, int bits,
                   double frequency, int ms);

// One long stereo 16-bit sine cut into files: sample n of the whole is
// SineSample(n, rate), and a part holds samples [from, from + count).
inline constexpr double kPartTone = 441.0;
qint16 SineSample(qint64 n, int rate);
bool WriteSinePart(const QString& path, int rate, qint64 from, qint64 count);
// Adds an iTunSMPB tag (delay, padding, samples) to an MP4 file whose movie
// header is its last box, as GStreamer's muxer writes it.
bool AddItunSmpb(const QString& path, qint64 delay, qint64 padding, qint64 samples);
// The samples of a recording, from its first, that are not SineSample's (by
// more than 1).
qint64 SamplesOffSine(const std::vector<qint16>& got, int rate);
// The left channel of a raw 16-bit stereo recording.
std::vector<qint16> ReadLeftChannel(const QString& rawPath);

// ---- MPEG audio -----------------------------------------------------------

struct MpegFrameSpec {
    bool mpeg1 = true;    // false: the lower-sample-rate tables (version bit clear)
    int layer = 3;        // 1, 2 or 3
    int bitrateIndex = 9; // 1..14 (9 = 128 kbit/s for MPEG-1 layer III)
    int rateIndex = 0;    // 0 44.1/22.05 kHz, 1 48/24, 2 32/16
    int channelMode = 1;  // 0 stereo, 1 joint, 2 dual, 3 mono
    bool padding = false;
};

int MpegBitrateKbps(const MpegFrameSpec& frame);
int MpegSampleRate(const MpegFrameSpec& frame);
int MpegSamplesPerFrame(const MpegFrameSpec& frame);
int MpegFrameLength(const MpegFrameSpec& frame);
QByteArray MpegHeader(const MpegFrameSpec& frame);
// One whole frame: header plus a zero body (no 0xFF bytes in it).
QByteArray MpegFrame(const MpegFrameSpec& frame);
QByteArray MpegFrames(const MpegFrameSpec& frame, int count);
// Where a layer III frame puts its VBR header: after the side information.
int XingOffset(const MpegFrameSpec& frame);
// A frame carrying a "Xing" (or "Info") header with frame and byte counts.
QByteArray XingFrame(const MpegFrameSpec& frame, std::uint32_t frames, std::uint32_t bytes,
                     const QByteArray& tag = "Xing");
// "ID3" v2.3 tag whose body (after the 10-byte header) has bodySize bytes.
QByteArray Id3v2Tag(int bodySize);
// A 128-byte "TAG" trailer.
QByteArray Id3v1Tag(const QByteArray& title = "title");

// ---- GStreamer tools ------------------------------------------------------

// True when gst-inspect-1.0 knows the element (e.g. "lamemp3enc").
bool HasGstElement(const QString& element);
// Runs gst-launch-1.0 filesrc IN ! wavparse ! audioconvert ! audioresample !
// <fragment> ! filesink OUT; true when it finished in time and OUT is non-empty.
bool EncodeWithGStreamer(const QString& wavIn, const QString& out,
                         const QString& encoderPipelineFragment);
// Encodes a WAV file as kind: "mp3", "mp2", "wma", "m4a", "aiff", "flac",
// "ogg" (Vorbis), "opus", "oga" (FLAC in Ogg) or "wv"; false when this
// machine has no encoder for it or the encoding failed.
bool EncodeAs(const QString& kind, const QString& wavIn, const QString& out);
// A renderer's sink (for RILUMO_AUDIO_SINK) that writes what it plays, in
// real time, as raw 16-bit stereo at rate.
QByteArray RecordingSink(const QString& rawPath, int rate = 44100);

// ---- Video containers (ffmpeg) --------------------------------------------

bool HaveFfmpeg();
// A test picture beside a 440 Hz tone, ms long, made by ffmpeg: kind "avi"
// (MJPEG + MP3), "wmv" (WMV2 + WMA2), "mpg" (MPEG-1 video + MP2 in a program
// stream) or "ogg" (Theora + Vorbis); false when ffmpeg is missing or fails.
bool WriteVideoFile(const QString& kind, const QString& path, int ms);

// A one-file album of three tracks, each a sine of its own pitch (330, 660,
// 990 Hz), so a recording tells which track plays and where. Bounds are the
// tracks' starts and the album's end in CD frames; 75 divides the rate.
struct ThreePitchAlbum {
    std::int64_t bounds[4];
    int rate = 44100;
    qint16 Sample(qint64 n) const;
    // The whole album as a 16-bit stereo WAV.
    bool Write(const QString& path) const;
};

}  // namespace rilumo::test
