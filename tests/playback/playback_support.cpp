#include "tests/playback/playback_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

#include "support/log.h"
#include "support/paths.h"
#include "tests/common/media_fixtures.h"

namespace rilumo::test {

namespace {

// Every playback test plays into the clocked null sink unless it says otherwise.
class NullRenderer : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("RILUMO_AUDIO_SINK", "null");
        // The private cache folder of each test process would make GStreamer
        // rescan every plugin each time; its registry cache is shared instead.
        if (qEnvironmentVariableIsEmpty("GST_REGISTRY")) {
            qputenv("GST_REGISTRY", (QDir::tempPath() + QStringLiteral("/rilumo-tests-gst-registry.bin")).toLocal8Bit());
        }
    }
};
[[maybe_unused]] auto* const kNullRenderer = ::testing::AddGlobalTestEnvironment(new NullRenderer);

QByteArray vlq(quint32 n) {
    QByteArray out(1, static_cast<char>(n & 0x7F));
    while (n >>= 7) out.prepend(static_cast<char>((n & 0x7F) | 0x80));
    return out;
}

QByteArray be(quint32 v, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
}

}  // namespace

PlaybackDir::PlaybackDir() { SetAppFolderForTesting(dir_.Path() + u'/'); }
PlaybackDir::~PlaybackDir() { SetAppFolderForTesting(QString()); }

QStringList PlaybackDir::ErrorLines() const {
    QFile f(LogFolder() + QString::fromLatin1(kAppTitle) + QStringLiteral(".err"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        lines << line.mid(20);  // "yyyy/mm/dd hh:mm:ss "
    }
    return lines;
}

QString PlaybackDir::Wave(const QString& name, int ms, double frequency) {
    const QString path = File(name);
    return WriteSineWave(path, 44100, 2, 16, frequency, ms) ? path : QString();
}

QString PlaybackDir::Encoded(const QString& kind, const QString& name, int ms) {
    const QString wav = Wave(name + QStringLiteral(".source.wav"), ms);
    const QString out = File(name);
    const bool made = EncodeAs(kind, wav, out);
    QFile::remove(wav);
    return made ? out : QString();
}

QString PlaybackDir::Midi(const QString& name, int notes) {
    QByteArray track;
    track += vlq(0) + QByteArray("\xFF\x51\x03", 3) + be(500000, 3);  // 120 bpm
    track += vlq(0) + QByteArray("\xC0\x00", 2);
    for (int i = 0; i < notes; ++i) {
        track += vlq(0) + QByteArray("\x90", 1) + static_cast<char>(60 + i % 12) + static_cast<char>(100);
        track += vlq(480) + QByteArray("\x80", 1) + static_cast<char>(60 + i % 12) + static_cast<char>(0);
    }
    track += vlq(0) + QByteArray("\xFF\x2F\x00", 3);
    QByteArray file = QByteArray("MThd") + be(6, 4) + be(0, 2) + be(1, 2) + be(480, 2);
    file += QByteArray("MTrk") + be(static_cast<quint32>(track.size()), 4) + track;
    const QString path = File(name);
    return WriteFile(path, file) ? path : QString();
}

QByteArray RandomBytes(int count, unsigned seed) {
    std::mt19937 gen(seed);
    QByteArray out(count, '\0');
    for (char& c : out) c = static_cast<char>(gen() & 0xFF);
    return out;
}

bool PollUntil(int ms, const std::function<bool()>& poll) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (poll()) return true;
        PumpFor(15);
    }
    return poll();
}

bool PollUntil(PlayerCore& player, int ms, const std::function<bool()>& poll) {
    return PollUntil(ms, [&] {
        player.Poll();
        return poll();
    });
}

QStringList PlayerTest::FilterNames() {
    QStringList names;
    if (!p.Context().Control) return names;
    for (graph::Filter* f : p.Context().Control->FilterCollection()) names << f->Name();
    return names;
}

}  // namespace rilumo::test
