#include "media/replaygain.h"


#include <algorithm>
#include <cmath>

#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/apetag.h>
#include <taglib/id3v2tag.h>
#include <taglib/xiphcomment.h>

#include "support/convert.h"
#include "support/paths.h"
#include "support/settings.h"

namespace rilumo {

namespace {

// The volume stage takes at most ten times the level (+20 dB).
constexpr double kMaxFactor = 10.0;
// Opus gains count from -23 LUFS, ReplayGain's from -18.
constexpr double kR128ToReplayGainDb = 5.0;

QString qt(const TagLib::String& s) { return QString::fromStdString(s.to8Bit(true)); }

struct Keys {
    const char* trackGain = "REPLAYGAIN_TRACK_GAIN";
    const char* trackPeak = "REPLAYGAIN_TRACK_PEAK";
    const char* albumGain = "REPLAYGAIN_ALBUM_GAIN";
    const char* albumPeak = "REPLAYGAIN_ALBUM_PEAK";
};

template <typename Lookup>
ReplayGainTags gainsFrom(Lookup lookup) {
    const Keys k;
    ReplayGainTags t;
    t.trackGain = ParseGainText(lookup(k.trackGain));
    t.trackPeak = ParsePeakText(lookup(k.trackPeak));
    t.albumGain = ParseGainText(lookup(k.albumGain));
    t.albumPeak = ParsePeakText(lookup(k.albumPeak));
    return t;
}

ReplayGainTags fromProperties(const TagLib::PropertyMap& map) {
    return gainsFrom([&](const char* key) {
        const auto it = map.find(key);
        return it == map.end() || it->second.isEmpty() ? QString() : qt(it->second.front());
    });
}

// Freeform atoms are named in any letter case by the tools that write them.
ReplayGainTags fromMp4(const TagLib::MP4::Tag& tag) {
    const auto items = tag.itemMap();
    return gainsFrom([&](const char* key) {
        const TagLib::String wanted = TagLib::String("----:COM.APPLE.ITUNES:") + key;
        for (const auto& [name, item] : items) {
            const TagLib::StringList values = item.toStringList();
            if (name.upper() == wanted && !values.isEmpty()) return qt(values.front());
        }
        return QString();
    });
}

// Q7.8 fixed point dB relative to the header's output gain.
std::optional<double> r128(const TagLib::Ogg::XiphComment& comment, const char* key) {
    const auto& fields = comment.fieldListMap();
    const auto it = fields.find(key);
    if (it == fields.end() || it->second.isEmpty()) return std::nullopt;
    bool ok = false;
    const int q = qt(it->second.front()).trimmed().toInt(&ok);
    if (!ok || q < -32768 || q > 32767) return std::nullopt;
    return q / 256.0 + kR128ToReplayGainDb;
}

ReplayGainTags fromOpus(const TagLib::Ogg::XiphComment& comment) {
    ReplayGainTags t;
    t.trackGain = r128(comment, "R128_TRACK_GAIN");
    t.albumGain = r128(comment, "R128_ALBUM_GAIN");
    return t;
}

// An MP3 may carry both tags; ID3v2 wins field by field.
ReplayGainTags fromMpeg(TagLib::MPEG::File& file) {
    ReplayGainTags id3 = file.ID3v2Tag() ? fromProperties(file.ID3v2Tag()->properties()) : ReplayGainTags{};
    const ReplayGainTags ape = file.APETag() ? fromProperties(file.APETag()->properties()) : ReplayGainTags{};
    if (!id3.trackGain) id3.trackGain = ape.trackGain;
    if (!id3.trackPeak) id3.trackPeak = ape.trackPeak;
    if (!id3.albumGain) id3.albumGain = ape.albumGain;
    if (!id3.albumPeak) id3.albumPeak = ape.albumPeak;
    return id3;
}

double fromDb(double db) { return std::pow(10.0, db / 20.0); }

double settingDb(const QString& key) {
    return ParseGainText(ReadSetting(key, 0)).value_or(0.0);
}

}  // namespace

std::optional<double> ParseGainText(const QString& text) {
    QString t = text.trimmed();
    if (t.endsWith(QStringLiteral("db"), Qt::CaseInsensitive)) t.chop(2);
    bool ok = false;
    const double v = t.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<double> ParsePeakText(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

ReplayGainTags ReadReplayGain(const QString& path) {
    const QByteArray name = PathToBytes(path);
    TagLib::FileRef ref(name.constData(), false);
    TagLib::File* file = ref.file();
    if (!file || !file->isValid()) return {};
    if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
        return opus->tag() ? fromOpus(*opus->tag()) : ReplayGainTags{};
    }
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) return mp4->tag() ? fromMp4(*mp4->tag()) : ReplayGainTags{};
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) return fromMpeg(*mpeg);
    return fromProperties(file->properties());
}

ReplayGainSettings ReadReplayGainSettings() {
    ReplayGainSettings s;
    const std::int32_t mode = ToInt32Or(ReadSetting(QStringLiteral("ReplayGain"), 1), 1);
    s.mode = mode >= 0 && mode <= 2 ? static_cast<ReplayGainMode>(mode) : ReplayGainMode::Track;
    s.preampDb = settingDb(QStringLiteral("ReplayGainPreamp"));
    s.noClip = ToInt32Or(ReadSetting(QStringLiteral("ReplayGainNoClip"), 1), 1) != 0;
    s.fallbackDb = settingDb(QStringLiteral("ReplayGainFallback"));
    return s;
}

void WriteReplayGainMode(ReplayGainMode mode) {
    WriteSetting(QStringLiteral("ReplayGain"), static_cast<std::int32_t>(mode));
}

double ReplayGainFactor(const ReplayGainTags& tags, const ReplayGainSettings& settings) {
    if (settings.mode == ReplayGainMode::Off) return 1.0;
    // Either mode takes the other kind of gain before it takes none.
    const bool album = settings.mode == ReplayGainMode::Album ? tags.albumGain.has_value() : !tags.trackGain;
    const std::optional<double> gain = album ? tags.albumGain : tags.trackGain;
    const std::optional<double> peak = album ? tags.albumPeak : tags.trackPeak;
    double factor = gain ? fromDb(*gain + settings.preampDb) : fromDb(settings.fallbackDb);
    if (gain && settings.noClip && peak && factor * *peak > 1.0) factor = 1.0 / *peak;
    if (!std::isfinite(factor)) return 1.0;
    return std::clamp(factor, 0.0, kMaxFactor);
}

}  // namespace rilumo
