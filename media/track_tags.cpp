#include "media/track_tags.h"


#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apeproperties.h>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacproperties.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/wavpackproperties.h>

#include <QStringList>

#include <array>
#include <mutex>
#include <vector>

#include "support/file_ops.h"
#include "support/legacy_text.h"
#include "support/paths.h"

namespace rilumo {

namespace {

// Text declared Latin-1 is often CP932 from a Japanese desktop, but which one
// can only be told from the title, artist and album together, after parsing.
// So the handlers keep the raw bytes: a byte of 0x80 and above goes into a
// private-use block that real tags never hold, and is read back below.
constexpr char16_t kRawBase = 0xF700;

bool IsRawByte(QChar c) { return c.unicode() >= kRawBase + 0x80 && c.unicode() <= kRawBase + 0xFF; }

TagLib::String KeepRawBytes(const TagLib::ByteVector& data) {
    std::wstring text;
    for (const char byte : data) {
        const auto b = static_cast<unsigned char>(byte);
        if (b == 0) break;
        text.push_back(b < 0x80 ? static_cast<wchar_t>(b) : static_cast<wchar_t>(kRawBase + b));
    }
    return TagLib::String(text);
}

class RawId3v1Text : public TagLib::ID3v1::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        return KeepRawBytes(data).stripWhiteSpace();
    }
};

class RawId3v2Text : public TagLib::ID3v2::Latin1StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override { return KeepRawBytes(data); }
};

// TagLib's handlers are process-wide; set once, before the first read.
void InstallRawHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        static RawId3v1Text id3v1;
        static RawId3v2Text id3v2;
        TagLib::ID3v1::Tag::setStringHandler(&id3v1);
        TagLib::ID3v2::Tag::setLatin1StringHandler(&id3v2);
    });
}

bool HoldsRawBytes(const QString& s) {
    for (const QChar c : s)
        if (IsRawByte(c)) return true;
    return false;
}

QByteArray RawBytes(const QString& s) {
    QByteArray bytes;
    bytes.reserve(s.size());
    for (const QChar c : s) bytes.append(static_cast<char>(IsRawByte(c) ? c.unicode() - kRawBase : c.unicode()));
    return bytes;
}

enum class LegacyCode { Utf8, Cp932, Latin1 };

bool AllUtf8(const std::vector<QByteArray>& raws) {
    for (const QByteArray& raw : raws)
        if (!QUtf8StringView(raw).isValidUtf8()) return false;
    return true;
}

bool AllCp932(const std::vector<QByteArray>& raws) {
    for (const QByteArray& raw : raws) {
        bool ok = false;
        DecodeCp932(raw, &ok);
        if (!ok) return false;
    }
    return true;
}

LegacyCode ChooseCode(const std::vector<QByteArray>& raws) {
    if (AllUtf8(raws)) return LegacyCode::Utf8;
    return AllCp932(raws) ? LegacyCode::Cp932 : LegacyCode::Latin1;
}

QString Decode(const QByteArray& raw, LegacyCode code) {
    switch (code) {
    case LegacyCode::Utf8: return QString::fromUtf8(raw);
    case LegacyCode::Cp932: return DecodeCp932(raw, nullptr);
    case LegacyCode::Latin1: break;
    }
    return QString::fromLatin1(raw);
}

// One decision for the file, taken on the fields that hold raw bytes: the
// title, artist and album when any of them does, else the rest together.
void DecodeLegacyFields(TrackTags& t) {
    const std::array<QString*, 3> names{&t.title, &t.artist, &t.album};
    const std::array<QString*, 3> others{&t.albumArtist, &t.genre, &t.date};
    for (const auto& group : {names, others}) {
        std::vector<QByteArray> raws;
        std::vector<QString*> fields;
        for (QString* f : group)
            if (HoldsRawBytes(*f)) {
                raws.push_back(RawBytes(*f));
                fields.push_back(f);
            }
        if (raws.empty()) continue;
        const LegacyCode code = ChooseCode(raws);
        for (size_t i = 0; i < fields.size(); ++i) *fields[i] = Decode(raws[i], code);
    }
}

// TagLib's wide strings hold UTF-16 units, whatever the width of wchar_t.
QString ToQt(const TagLib::String& s) {
    const std::wstring units = s.toWString();
    QString text(static_cast<qsizetype>(units.size()), Qt::Uninitialized);
    for (size_t i = 0; i < units.size(); ++i) text[static_cast<qsizetype>(i)] = QChar(static_cast<char16_t>(units[i]));
    return text.trimmed();
}

QString Property(const TagLib::PropertyMap& map, const char* key) {
    const auto it = map.find(key);
    return it == map.end() || it->second.isEmpty() ? QString() : ToQt(it->second.toString(" / "));
}

// "3/12" and "03" alike; 0 when the text holds no number.
int LeadingNumber(const QString& text) {
    int n = 0, digits = 0;
    for (const QChar c : text) {
        if (!c.isDigit() || digits == 6) break;
        n = n * 10 + c.digitValue();
        ++digits;
    }
    return n;
}

void FillFromTag(const TagLib::Tag& tag, TrackTags& t) {
    auto fill = [](QString& field, const TagLib::String& s) {
        if (field.isEmpty()) field = ToQt(s);
    };
    fill(t.title, tag.title());
    fill(t.artist, tag.artist());
    fill(t.album, tag.album());
    fill(t.genre, tag.genre());
    if (t.trackNumber == 0) t.trackNumber = static_cast<int>(tag.track());
    if (t.date.isEmpty() && tag.year() > 0) t.date = QString::number(tag.year());
}

void ReadTextFields(const TagLib::FileRef& ref, TrackTags& t) {
    if (const TagLib::Tag* tag = ref.tag()) FillFromTag(*tag, t);
    // A WAV file's tag is its ID3v2 chunk only; the INFO list fills the gaps.
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(ref.file()); wav && wav->hasInfoTag())
        FillFromTag(*wav->InfoTag(), t);
    const TagLib::PropertyMap map = ref.file()->properties();
    t.albumArtist = Property(map, "ALBUMARTIST");
    t.discNumber = LeadingNumber(Property(map, "DISCNUMBER"));
    if (const QString date = Property(map, "DATE"); !date.isEmpty()) t.date = date;
    if (t.trackNumber == 0) t.trackNumber = LeadingNumber(Property(map, "TRACKNUMBER"));
    DecodeLegacyFields(t);
}

// The bit depth is told only for lossless audio, where it says something.
int LosslessBits(TagLib::File* f) {
    if (auto* x = dynamic_cast<TagLib::FLAC::File*>(f)) return x->audioProperties()->bitsPerSample();
    if (auto* x = dynamic_cast<TagLib::RIFF::WAV::File*>(f)) {
        const int format = x->audioProperties()->format();
        return format == 1 || format == 3 || format == 0xFFFE ? x->audioProperties()->bitsPerSample() : 0;
    }
    if (auto* x = dynamic_cast<TagLib::RIFF::AIFF::File*>(f)) return x->audioProperties()->bitsPerSample();
    if (auto* x = dynamic_cast<TagLib::MP4::File*>(f))
        return x->audioProperties()->codec() == TagLib::MP4::Properties::ALAC ? x->audioProperties()->bitsPerSample()
                                                                             : 0;
    if (auto* x = dynamic_cast<TagLib::APE::File*>(f)) return x->audioProperties()->bitsPerSample();
    if (auto* x = dynamic_cast<TagLib::WavPack::File*>(f)) return x->audioProperties()->bitsPerSample();
    return 0;
}

QString FormatNameOf(TagLib::File* f, const QString& path) {
    if (auto* x = dynamic_cast<TagLib::MPEG::File*>(f))
        return QStringLiteral("MP%1").arg(x->audioProperties() ? x->audioProperties()->layer() : 3);
    if (dynamic_cast<TagLib::FLAC::File*>(f)) return QStringLiteral("FLAC");
    if (dynamic_cast<TagLib::Ogg::Vorbis::File*>(f)) return QStringLiteral("Ogg Vorbis");
    if (dynamic_cast<TagLib::Ogg::Opus::File*>(f)) return QStringLiteral("Opus");
    if (auto* x = dynamic_cast<TagLib::MP4::File*>(f))
        return x->audioProperties() && x->audioProperties()->codec() == TagLib::MP4::Properties::ALAC
                   ? QStringLiteral("ALAC")
                   : QStringLiteral("AAC");
    if (dynamic_cast<TagLib::ASF::File*>(f)) return QStringLiteral("WMA");
    if (dynamic_cast<TagLib::RIFF::WAV::File*>(f)) return QStringLiteral("WAV");
    if (dynamic_cast<TagLib::RIFF::AIFF::File*>(f)) return QStringLiteral("AIFF");
    if (dynamic_cast<TagLib::APE::File*>(f)) return QStringLiteral("APE");
    if (dynamic_cast<TagLib::WavPack::File*>(f)) return QStringLiteral("WavPack");
    const int dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot + 1).toUpper();
}

void ReadAudioFields(const TagLib::FileRef& ref, const QString& path, TrackTags& t) {
    TagLib::File* f = ref.file();
    t.formatName = FormatNameOf(f, path);
    const TagLib::AudioProperties* p = ref.audioProperties();
    if (!p) return;
    t.lengthMs = p->lengthInMilliseconds();
    t.sampleRate = p->sampleRate();
    t.channels = p->channels();
    t.bitrateKbps = p->bitrate();
    t.bitsPerSample = LosslessBits(f);
}

}  // namespace

TrackTags ReadTrackTags(const QString& path) {
    InstallRawHandlers();
    // A pipe or a device under an audio name would hold the reader for good.
    if (!IsRegularFile(path)) return {};
    TrackTags t;
    try {
        const QByteArray name = PathToBytes(path);
        TagLib::FileRef ref(name.constData(), true, TagLib::AudioProperties::Fast);
        if (ref.isNull()) return {};
        ReadTextFields(ref, t);
        ReadAudioFields(ref, path, t);
        t.read = true;
    } catch (...) {
        // A damaged file TagLib gives up on is a file without tags.
        return {};
    }
    return t;
}

namespace {

QString MakeSummary(const TrackTags& tags) {
    QStringList parts;
    if (!tags.formatName.isEmpty()) parts << tags.formatName;
    if (tags.sampleRate > 0) parts << QString::number(tags.sampleRate / 1000.0, 'g', 4) + QStringLiteral("kHz");
    if (tags.bitsPerSample > 0) {
        parts << QString::number(tags.bitsPerSample) + QStringLiteral("bit");
    } else if (tags.bitrateKbps > 0) {
        parts << QString::number(tags.bitrateKbps) + QStringLiteral("kbps");
    }
    return parts.join(u' ');
}

}  // namespace

// A list holds the same few summaries over and over: consecutive entries of
// one format share one copy of the text.
QString FormatSummary(const TrackTags& tags) {
    struct Last {
        QString formatName;
        int sampleRate = 0, bitsPerSample = 0, bitrateKbps = 0;
        QString text;
    };
    thread_local Last last;
    if (tags.formatName != last.formatName || tags.sampleRate != last.sampleRate ||
        tags.bitsPerSample != last.bitsPerSample || tags.bitrateKbps != last.bitrateKbps)
        last = {tags.formatName, tags.sampleRate, tags.bitsPerSample, tags.bitrateKbps, MakeSummary(tags)};
    return last.text;
}

}  // namespace rilumo
