#include "playback/media_summary.h"

#include <QElapsedTimer>
#include <QMimeDatabase>
#include <QStringList>

#include <atomic>

#include "media/file_types.h"
#include "media/mpeg_info.h"
#include "media/open_formats.h"
#include "media/wave_reader.h"
#include "playback/c_fgraph.h"
#include "playback/graph/catalogue.h"
#include "support/file_ops.h"
#include "support/paths.h"
#include "support/time_format.h"

namespace rilumo {

namespace {

QString channelPart(int channels) {
    if (channels == 1) return QStringLiteral("bit/Mono");
    if (channels == 2) return QStringLiteral("bit/Stereo");
    return QStringLiteral("bit/") + QString::number(channels) + QStringLiteral("ch");
}

// Long enough for a big sound font; a stalled file reads as length 0.
constexpr int kLengthLoadLimitMs = 8000;

std::atomic<bool> abandonLengths{false};

// Only a graph knows these formats' length; a temporary player builds one,
// on a graph that never opens a sound stream beside the playing one.
std::int32_t lengthByPlayer(const QString& path) {
    C_FGraph player;
    player.Context().Catalogue = graph::SilentCatalogue;
    player.Init();
    player.SetLoadLimit(kLengthLoadLimitMs);
    player.SetFileName(path);
    QElapsedTimer clock;
    clock.start();
    // In short steps, so that a program closing need not wait for the load.
    while (!abandonLengths && clock.elapsed() < kLengthLoadLimitMs * 2) {
        player.WaitLoaded(50);
        if (player.LoadSettled()) break;
    }
    const std::int32_t length = player.LoadSettled() ? player.Length() : 0;
    player.CloseWave();
    return length;
}

// How a file's summary is learnt: from its header where a reader of ours
// knows the type, from a temporary player, or not at all.
using Way = SummaryRoute;

Way wayFor(const QString& path) {
    Way way = SummaryRouteOf(path);
    // A pipe or a device under an audio name would block a header reader for
    // good; the player refuses it at once, as it does an unreadable file.
    if (way != Way::None && !IsRegularFile(path)) way = Way::Player;
    return way;
}

}  // namespace

void AbandonPlayerLengths(bool abandon) { abandonLengths = abandon; }

QString ShellTypeName(const QString& path) {
    static const QMimeDatabase db;
    return db.mimeTypeForFile(path).comment();
}

MediaSummary BuildMediaSummary(const QString& path) {
    MediaSummary s;
    if (!FileExists(path)) return s;
    const QString t = ShellTypeName(path);
    QString d;
    Way way = wayFor(path);
    if (way == Way::Open) {
        // A file that is something else under one of these names falls to the player.
        const OpenAudioInfo o = ReadOpenAudioInfo(path);
        if (o.Valid == 1 && o.DurationMs > 0) {
            d = o.LongText;
            s.DurationMs = o.DurationMs;
            s.Found = 1;
        } else {
            way = Way::Player;
        }
    }

    if (way == Way::Wave) {
        const WaveInfo w = ReadWaveInfo(path);
        if ((w.FormatTag == 1 || w.FormatTag == -2) && w.Valid == 1) {
            d = QStringLiteral("wav(") + QString::number(w.SampleRate) + QStringLiteral("Hz/") +
                QString::number(w.BitsPerSample) + channelPart(w.Channels) + u')';
            s.DurationMs = w.DurationMs;
            s.Found = 1;
        } else {
            way = (w.FormatTag == 80 || w.FormatTag == 85) ? Way::Mpeg : Way::Player;
        }
    }
    if (way == Way::Mpeg) {
        MpegAudioInfo m;
        const int ok = ReadMpegInfo(path, m);
        d = m.LongText.trimmed();
        s.DurationMs = m.DurationMs;
        if (ok == 1) {
            s.Found = 1;
        } else {
            way = Way::Player;
        }
    }
    if (way == Way::Player) {
        s.DurationMs = lengthByPlayer(path);
        d = t.trimmed();
        s.Found = 1;
    }
    if (way == Way::None) {
        d.clear();
        s.DurationMs = 0;
        s.Found = 0;
    }
    s.Text = path + QStringLiteral("\r\n") + t + QStringLiteral("\r\n");
    if (!d.isEmpty()) s.Text += d + QStringLiteral("\r\n");
    s.Text += FormatMilliseconds(s.DurationMs, 0, 0);
    return s;
}

}  // namespace rilumo
