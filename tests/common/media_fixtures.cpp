#include "tests/common/media_fixtures.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>
#include <QProcess>
#include <QStringList>

#include <cmath>
#include <cstring>
#include <numbers>

#include "tests/common/test_env.h"

namespace rilumo::test {

namespace {

void putLe(QByteArray& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(char((value >> (8 * i)) & 0xFF));
}
void putBe32(QByteArray& out, std::uint32_t value) {
    for (int i = 3; i >= 0; --i) out.append(char((value >> (8 * i)) & 0xFF));
}

}  // namespace

QByteArray SineSamples(int sampleRate, int channels, int bits, double frequency, int ms) {
    const std::int64_t frames = std::int64_t(sampleRate) * ms / 1000;
    const int bytes = bits / 8;
    QByteArray out;
    out.reserve(qsizetype(frames * channels * bytes));
    const double peak = std::ldexp(1.0, bits - 1) - 1;
    for (std::int64_t i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2 * std::numbers::pi * frequency * double(i) / sampleRate);
        for (int c = 0; c < channels; ++c) {
            if (bits == 8)
                out.append(char(std::lround(128 + v * 127)));
            else
                putLe(out, std::uint64_t(std::int64_t(std::lround(v * peak))), bytes);
        }
    }
    return out;
}

QByteArray FmtBody(int formatTag, int channels, int sampleRate, int bits,
                   const QByteArray& extension) {
    QByteArray b;
    const int align = channels * bits / 8;
    putLe(b, std::uint16_t(formatTag), 2);
    putLe(b, std::uint16_t(channels), 2);
    putLe(b, std::uint32_t(sampleRate), 4);
    putLe(b, std::uint32_t(sampleRate) * std::uint32_t(align), 4);
    putLe(b, std::uint16_t(align), 2);
    putLe(b, std::uint16_t(bits), 2);
    return b + extension;
}

QByteArray RiffFile(const QList<RiffChunk>& chunks) {
    QByteArray body = "WAVE";
    for (const RiffChunk& c : chunks) {
        body += c.id.leftJustified(4, ' ', true);
        putLe(body, std::uint32_t(c.declaredSize >= 0 ? c.declaredSize : c.body.size()), 4);
        body += c.body;
        if (c.pad && (c.body.size() & 1)) body.append('\0');
    }
    QByteArray out = "RIFF";
    putLe(out, std::uint32_t(body.size()), 4);
    return out + body;
}

QByteArray PcmWave(int sampleRate, int channels, int bits, const QByteArray& data) {
    return RiffFile({{"fmt ", FmtBody(1, channels, sampleRate, bits)}, {"data", data}});
}

bool WriteRiffFile(const QString& path, const QList<RiffChunk>& chunks) {
    return WriteFile(path, RiffFile(chunks));
}

bool WritePcmWave(const QString& path, int sampleRate, int channels, int bits,
                  const QByteArray& data) {
    return WriteFile(path, PcmWave(sampleRate, channels, bits, data));
}

bool WriteSineWave(const QString& path, int sampleRate, int channels, int bits,
                   double frequency, int ms) {
    return WritePcmWave(path, sampleRate, channels, bits,
                        SineSamples(sampleRate, channels, bits, frequency, ms));
}

qint16 SineSample(qint64 n, int rate) {
    return static_cast<qint16>(std::lround(12000.0 * std::sin(2.0 * std::numbers::pi * kPartTone * static_cast<double>(n) / rate)));
}

bool WriteSinePart(const QString& path, int rate, qint64 from, qint64 count) {
    QByteArray data;
    data.reserve(static_cast<int>(count * 4));
    for (qint64 n = from; n < from + count; ++n) {
        const qint16 v = SineSample(n, rate);
        for (int c = 0; c < 2; ++c) data.append(reinterpret_cast<const char*>(&v), 2);
    }
    return WritePcmWave(path, rate, 2, 16, data);
}

namespace {

QByteArray box(const char* type, const QByteArray& payload) {
    QByteArray b;
    const quint32 size = static_cast<quint32>(payload.size() + 8);
    for (int i = 3; i >= 0; --i) b.append(static_cast<char>((size >> (8 * i)) & 0xFF));
    return b + QByteArray(type, 4) + payload;
}

}  // namespace

bool AddItunSmpb(const QString& path, qint64 delay, qint64 padding, qint64 samples) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray file = f.readAll();
    f.close();
    qsizetype at = 0;
    qsizetype moov = -1;
    while (at + 8 <= file.size()) {
        const quint32 size = static_cast<quint8>(file[at]) << 24 | static_cast<quint8>(file[at + 1]) << 16 |
                             static_cast<quint8>(file[at + 2]) << 8 | static_cast<quint8>(file[at + 3]);
        if (size < 8) return false;
        if (file.mid(at + 4, 4) == "moov") moov = at;
        at += size;
    }
    if (moov < 0 || at != file.size()) return false;
    const QByteArray text = QStringLiteral(" 00000000 %1 %2 %3 00000000 00000000")
                                .arg(delay, 8, 16, QLatin1Char('0'))
                                .arg(padding, 8, 16, QLatin1Char('0'))
                                .arg(samples, 16, 16, QLatin1Char('0'))
                                .toUpper()
                                .toLatin1();
    const QByteArray zero4(4, '\0');
    const QByteArray item = box("----", box("mean", zero4 + "com.apple.iTunes") + box("name", zero4 + "iTunSMPB") +
                                            box("data", QByteArray("\0\0\0\1", 4) + zero4 + text));
    const QByteArray udta = box("udta", box("meta", zero4 + box("ilst", item)));
    QByteArray movie = file.mid(moov + 8) + udta;
    file = file.left(moov) + box("moov", movie);
    return WriteFile(path, file);
}

qint64 SamplesOffSine(const std::vector<qint16>& got, int rate) {
    qint64 off = 0;
    for (size_t n = 0; n < got.size(); ++n) off += std::abs(got[n] - SineSample(static_cast<qint64>(n), rate)) > 1;
    return off;
}

std::vector<qint16> ReadLeftChannel(const QString& rawPath) {
    QFile f(rawPath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    std::vector<qint16> left(static_cast<size_t>(bytes.size() / 4));
    for (size_t i = 0; i < left.size(); ++i) std::memcpy(&left[i], bytes.constData() + 4 * i, 2);
    return left;
}

// ---- MPEG audio -----------------------------------------------------------

int MpegBitrateKbps(const MpegFrameSpec& s) {
    static constexpr int v1[3][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}};
    static constexpr int v2[3][15] = {
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    if (s.layer < 1 || s.layer > 3 || s.bitrateIndex < 0 || s.bitrateIndex > 14) return 0;
    return (s.mpeg1 ? v1 : v2)[s.layer - 1][s.bitrateIndex];
}

int MpegSampleRate(const MpegFrameSpec& s) {
    static constexpr int rates[3] = {44100, 48000, 32000};
    if (s.rateIndex < 0 || s.rateIndex > 2) return 0;
    return s.mpeg1 ? rates[s.rateIndex] : rates[s.rateIndex] / 2;
}

int MpegSamplesPerFrame(const MpegFrameSpec& s) {
    if (s.layer == 1) return 384;
    if (s.layer == 3 && !s.mpeg1) return 576;
    return 1152;
}

int MpegFrameLength(const MpegFrameSpec& s) {
    const int rate = MpegSampleRate(s);
    const int kbps = MpegBitrateKbps(s);
    if (rate == 0 || kbps == 0) return 4;
    if (s.layer == 1) return (12 * kbps * 1000 / rate + (s.padding ? 1 : 0)) * 4;
    const int slotsPerBit = MpegSamplesPerFrame(s) / 8;
    return slotsPerBit * kbps * 1000 / rate + (s.padding ? 1 : 0);
}

QByteArray MpegHeader(const MpegFrameSpec& s) {
    QByteArray h(4, '\0');
    const int layerCode = 4 - s.layer;  // 3 -> 01, 2 -> 10, 1 -> 11
    h[0] = char(0xFF);
    h[1] = char(0xF0 | (s.mpeg1 ? 0x08 : 0x00) | (layerCode << 1) | 0x01);  // no CRC
    h[2] = char((s.bitrateIndex << 4) | (s.rateIndex << 2) | (s.padding ? 0x02 : 0x00));
    h[3] = char(s.channelMode << 6);
    return h;
}

QByteArray MpegFrame(const MpegFrameSpec& frame) {
    QByteArray f = MpegHeader(frame);
    f.append(QByteArray(MpegFrameLength(frame) - 4, '\x55'));
    return f;
}

QByteArray MpegFrames(const MpegFrameSpec& frame, int count) {
    return MpegFrame(frame).repeated(count);
}

int XingOffset(const MpegFrameSpec& s) {
    const bool mono = s.channelMode == 3;
    if (s.mpeg1) return mono ? 21 : 36;
    return mono ? 13 : 21;
}

QByteArray XingFrame(const MpegFrameSpec& frame, std::uint32_t frames, std::uint32_t bytes,
                     const QByteArray& tag) {
    QByteArray f = MpegHeader(frame);
    f.append(QByteArray(XingOffset(frame) - 4, '\0'));
    f += tag.leftJustified(4, ' ', true);
    putBe32(f, 0x3);  // frames and bytes fields present
    putBe32(f, frames);
    putBe32(f, bytes);
    const int length = MpegFrameLength(frame);
    if (f.size() < length) f.append(QByteArray(length - f.size(), '\0'));
    return f;
}

QByteArray Id3v2Tag(int bodySize) {
    QByteArray t = "ID3";
    t.append(char(3)).append(char(0)).append(char(0));
    for (int shift = 21; shift >= 0; shift -= 7) t.append(char((bodySize >> shift) & 0x7F));
    QByteArray body(bodySize, '\0');
    // Frame-like text in front so the tag is not all zeros.
    static const char raw[] = "TIT2\0\0\0\x06\0\0\0title";
    const QByteArray frame(raw, sizeof raw - 1);
    body.replace(0, std::min<qsizetype>(frame.size(), bodySize), frame.left(bodySize));
    return t + body;
}

QByteArray Id3v1Tag(const QByteArray& title) {
    QByteArray t = "TAG" + title.leftJustified(30, '\0', true);
    t.append(QByteArray(128 - t.size(), '\0'));
    return t;
}

// ---- GStreamer tools ------------------------------------------------------

bool HasGstElement(const QString& element) {
    QProcess p;
    p.start(QStringLiteral("gst-inspect-1.0"), {QStringLiteral("--exists"), element});
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool EncodeWithGStreamer(const QString& wavIn, const QString& out,
                         const QString& encoderPipelineFragment) {
    QStringList args = {QStringLiteral("-q"), QStringLiteral("filesrc"),
                        QStringLiteral("location=") + wavIn, QStringLiteral("!"),
                        QStringLiteral("wavparse"), QStringLiteral("!"),
                        QStringLiteral("audioconvert"), QStringLiteral("!"),
                        QStringLiteral("audioresample"), QStringLiteral("!")};
    args += QProcess::splitCommand(encoderPipelineFragment);
    args += {QStringLiteral("!"), QStringLiteral("filesink"), QStringLiteral("location=") + out};
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral("gst-launch-1.0"), args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
           QFileInfo(out).size() > 0;
}

bool EncodeAs(const QString& kind, const QString& wavIn, const QString& out) {
    struct Way {
        const char* kind;
        const char* element;
        const char* fragment;
    };
    static const Way ways[] = {
        {"mp3", "lamemp3enc", "lamemp3enc target=bitrate bitrate=128 cbr=true"},
        {"mp2", "avenc_mp2", "avenc_mp2 bitrate=192000"},
        {"wma", "avenc_wmav2", "avenc_wmav2 ! asfmux"},
        {"m4a", "avenc_aac", "avenc_aac ! mp4mux"},
        {"aiff", "aiffmux", "aiffmux"},
        {"flac", "flacenc", "flacenc"},
        {"ogg", "vorbisenc", "vorbisenc ! oggmux"},
        {"opus", "opusenc", "audioresample ! audio/x-raw,rate=48000 ! opusenc ! oggmux"},
        {"oga", "flacenc", "flacenc ! oggmux"},
        {"wv", "wavpackenc", "wavpackenc"},
    };
    for (const Way& w : ways) {
        if (kind != QLatin1String(w.kind)) continue;
        QFile::remove(out);
        return HasGstElement(QString::fromLatin1(w.element)) &&
               EncodeWithGStreamer(wavIn, out, QString::fromLatin1(w.fragment));
    }
    return false;
}

QByteArray RecordingSink(const QString& rawPath, int rate) {
    return QStringLiteral("audioresample ! audio/x-raw,format=S16LE,channels=2,rate=%1 ! filesink sync=true location=%2")
        .arg(rate)
        .arg(rawPath)
        .toUtf8();
}

bool HaveFfmpeg() { return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty(); }

bool WriteVideoFile(const QString& kind, const QString& path, int ms) {
    static const QMap<QString, QStringList> codecs = {
        {"avi", {"-c:v", "mjpeg", "-c:a", "libmp3lame", "-f", "avi"}},
        {"wmv", {"-c:v", "wmv2", "-c:a", "wmav2", "-f", "asf"}},
        {"mpg", {"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"}},
        {"ogg", {"-c:v", "libtheora", "-c:a", "libvorbis", "-f", "ogg"}},
    };
    if (!HaveFfmpeg() || !codecs.contains(kind)) return false;
    const QString seconds = QString::number(ms / 1000.0);
    QStringList args = {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                        "testsrc=size=160x120:rate=25:duration=" + seconds,
                        "-f", "lavfi", "-i", "sine=frequency=440:duration=" + seconds};
    args << codecs.value(kind) << "-shortest" << path;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("ffmpeg"), args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && QFileInfo(path).size() > 0;
}

qint16 ThreePitchAlbum::Sample(qint64 n) const {
    const qint64 perFrame = rate / 75;
    const int track = n < bounds[1] * perFrame ? 0 : n < bounds[2] * perFrame ? 1 : 2;
    return static_cast<qint16>(std::lround(12000 * std::sin(2 * M_PI * 330.0 * (track + 1) * n / rate)));
}

bool ThreePitchAlbum::Write(const QString& path) const {
    QByteArray pcm;
    for (qint64 n = 0; n < bounds[3] * (rate / 75); ++n) {
        const qint16 s = Sample(n);
        pcm.append(reinterpret_cast<const char*>(&s), 2).append(reinterpret_cast<const char*>(&s), 2);
    }
    return WritePcmWave(path, rate, 2, 16, pcm);
}

}  // namespace rilumo::test
