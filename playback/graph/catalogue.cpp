#include "playback/graph/catalogue.h"

#include <iterator>

#include "playback/graph/gst_util.h"
#include "support/error_trap.h"
#include "support/file_ops.h"

namespace rilumo::graph {

namespace {

enum RowFlag : unsigned {
    kFileSource = 1,  // its "location" takes the file name
    kDynamic = 2,     // its "demux" element adds its output pads once data flows
    kSoundFont = 4,   // takes the General MIDI sound font; left out when none is installed
    kInserted = 8,    // put in by Connect between two pins, never registered
};

// One recipe of the catalogue. Rows with the same name are alternatives, the
// first usable one wins; a renderer's description goes in front of its bin.
struct Row {
    const char* name;
    const char* factories;    // space-separated; each must exist
    const char* description;  // a gst-launch bin description
    unsigned flags = 0;
    const char* gate = nullptr;  // media types a typefind gate lets through
    const char* sink = nullptr;  // a renderer: its sink, "" the default one
};

// What every renderer is made of in front of its sink: conversion, then the
// volume and balance controls the players reach by these names.
constexpr const char* kRendererFactories = "audioconvert audioresample volume audiopanorama";
constexpr const char* kRendererBin =
    "audioconvert ! audioresample ! volume name=rilumo-volume ! audiopanorama name=rilumo-balance method=simple";

// Wave, AIFF and AU containers; other streams are refused at the gate.
constexpr const char* kWaveTypes = "audio/x-wav audio/x-aiff audio/x-au audio/x-rf64 audio/x-w64";
// Elementary MPEG audio (with or without tags), MPEG-1/2 system streams, and
// MPEG audio held in RIFF.
constexpr const char* kMpegTypes = "audio/mpeg application/x-id3 application/x-apetag video/mpeg audio/x-wav";
constexpr const char* kMp4Types = "video/quicktime audio/x-m4a video/x-matroska video/webm";
// Some taggers put an ID3 tag in front of a FLAC stream.
constexpr const char* kFlacTypes = "audio/x-flac application/x-id3";
constexpr const char* kOggTypes = "audio/ogg application/ogg";
constexpr const char* kWavPackTypes = "audio/x-wavpack";
constexpr const char* kAviTypes = "video/x-msvideo";

// Every filter, in the fixed order of the catalogue.
constexpr Row kRows[] = {
    {"File Source (Async.)", "filesrc", "filesrc name=source", kFileSource},
    {"Wave Parser", "parsebin wavparse aiffparse", "parsebin name=demux", kDynamic, kWaveTypes},
    {"MPEG-I Stream Splitter", "parsebin mpegaudioparse", "parsebin name=demux", kDynamic, kMpegTypes},
    {"MPEG Audio Decoder", "mpg123audiodec", "mpg123audiodec"},
    {"MPEG Audio Decoder", "avdec_mp2float", "avdec_mp2float"},
    {"MP3 Decoder DMO", "avdec_mp3", "avdec_mp3"},
    {"MPEG Layer-3 Decoder", "mpg123audiodec", "mpg123audiodec"},
    {"MPEG Layer-3 Decoder", "avdec_mp3", "avdec_mp3"},
    {"ACM Wrapper", "decodebin", "decodebin name=demux", kDynamic},
    // AVI's sound, parsed; the pin after it puts a decoder in when it takes raw audio only.
    {"AVI Splitter", "parsebin avidemux", "parsebin name=demux", kDynamic, kAviTypes},
    {"WM ASF Reader", "filesrc asfdemux", "filesrc name=source ! asfdemux name=demux", kFileSource | kDynamic},
    // Decodes every Windows Media Audio generation the machine has decoders for.
    {"WMAudio Decoder DMO", "decodebin avdec_wmav2", "decodebin name=demux", kDynamic},
    {"Haali Media Splitter (AR)", "parsebin qtdemux", "parsebin name=demux", kDynamic, kMp4Types},
    {"ffdshow Audio Decoder", "decodebin qtdemux", "decodebin name=demux", kDynamic},
    // The parsers frame the stream for the decoder after them; Ogg's also
    // parses what it splits out, whichever of the three codecs that is.
    {"Ogg Splitter", "parsebin oggdemux", "parsebin name=demux", kDynamic, kOggTypes},
    {"FLAC Parser", "parsebin flacparse", "parsebin name=demux", kDynamic, kFlacTypes},
    {"FLAC Decoder", "flacdec", "flacdec"},
    {"Vorbis Decoder", "vorbisdec", "vorbisdec"},
    {"Opus Decoder", "opusdec", "opusdec"},
    {"WavPack Parser", "parsebin wavpackparse", "parsebin name=demux", kDynamic, kWavPackTypes},
    {"WavPack Decoder", "wavpackdec", "wavpackdec"},
    {"MIDI Parser", "midiparse", "midiparse"},
    {"Default MidiOut Device", "fluiddec", "fluiddec", kSoundFont, nullptr, ""},
    {"Default WaveOut Device", "", "", 0, nullptr, ""},
    {"Default DirectSound Device", "", "", 0, nullptr, ""},
    {"Null Audio Renderer", "", "", 0, nullptr, kNullSinkDescription},
    {"Direct Sound: PulseAudio Output", "", "", 0, nullptr, "pulsesink"},
    {"ALSA: Default Output", "", "", 0, nullptr, "alsasink"},
    {"WAV Dest", "wavenc", "wavenc"},
    {"File writer", "filesink", "filesink name=source", kFileSource},
    // Between a stream that may not be decoded yet and a pin that takes raw
    // audio only, and between raw formats the two pins do not share.
    {kStreamDecoder, "decodebin", "decodebin name=demux", kDynamic | kInserted},
    {kAudioConverter, "audioconvert audioresample", "audioconvert ! audioresample", kInserted},
};

QStringList words(const char* text) {
    return text ? QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts) : QStringList();
}

QString firstWord(const QString& description) {
    return description.trimmed().section(u' ', 0, 0);
}

// Quoted for a launch description; sound-font paths may hold blanks.
QString quoted(const QString& text) {
    QString t = text;
    t.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + t + u'"';
}

Recipe recipeOf(const Row& row, const QString& defaultSink, const QString& font) {
    Recipe r;
    QString description = QString::fromUtf8(row.description);
    if (row.flags & kSoundFont) description += QStringLiteral(" soundfont=") + quoted(font);
    if (row.sink) {
        r = RendererRecipe(*row.sink ? QString::fromUtf8(row.sink) : defaultSink);
        if (!description.isEmpty()) r.description = description + QStringLiteral(" ! ") + r.description;
    } else {
        r.description = description;
    }
    r.factories << words(row.factories);
    r.fileSource = (row.flags & kFileSource) != 0;
    r.output = (row.flags & kDynamic) ? OutputKind::Dynamic : OutputKind::Static;
    if (row.gate) {
        r.factories << QStringLiteral("typefind");
        r.description = QStringLiteral("typefind name=gate ! ") + r.description;
        r.gate = words(row.gate);
    }
    return r;
}

}  // namespace

bool HasFactory(const QString& name) { return FactoryExists(name.toUtf8().constData()); }

bool Catalogue::Register(const QString& name, const QList<Recipe>& alternatives) {
    for (const Recipe& r : alternatives) {
        bool usable = true;
        for (const QString& f : r.factories) usable = usable && HasFactory(f);
        if (!usable) continue;
        entries_.push_back(RegFilter{name, r});
        return true;
    }
    return false;
}

QString DefaultSinkDescription() {
    const QString chosen = qEnvironmentVariable("RILUMO_AUDIO_SINK").trimmed();
    if (chosen.isEmpty() || chosen == QLatin1String("auto")) return QStringLiteral("autoaudiosink");
    if (chosen == QLatin1String("null")) return QString::fromLatin1(kNullSinkDescription);
    return chosen;
}

Recipe RendererRecipe(const QString& sinkDescription) {
    Recipe r;
    r.factories = words(kRendererFactories) << firstWord(sinkDescription);
    r.description = QString::fromUtf8(kRendererBin) + QStringLiteral(" ! ") + sinkDescription;
    r.renderer = true;
    return r;
}

QString SoundFontPath() {
    QStringList candidates;
    const QString chosen = qEnvironmentVariable("RILUMO_SOUNDFONT");
    if (!chosen.isEmpty()) candidates << chosen;
    // The small font first: a big one takes seconds to load with every file.
    candidates << QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")
               << QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2")
               << QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")
               << QStringLiteral("/usr/share/soundfonts/default.sf2");
    for (const QString& c : candidates) {
        if (IsRegularFile(c)) return c;
    }
    return {};
}

namespace {

// Every filter in catalogue order; with silent, every renderer (the MIDI
// device's too) ends in the null sink, whatever its own sink would be.
Catalogue catalogueWith(bool silent) {
    EnsureGstInit();
    const QString sink = silent ? QString::fromLatin1(kNullSinkDescription) : DefaultSinkDescription();
    const QString font = SoundFontPath();
    Catalogue c;
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const Row& row = kRows[i];
        const bool alternative = i > 0 && qstrcmp(kRows[i - 1].name, row.name) == 0;
        if (alternative || (row.flags & kInserted) || ((row.flags & kSoundFont) && font.isEmpty())) continue;
        QList<Recipe> alternatives;
        for (std::size_t j = i; j < std::size(kRows) && qstrcmp(kRows[j].name, row.name) == 0; ++j) {
            Row r = kRows[j];
            if (silent && r.sink) r.sink = "";
            alternatives << recipeOf(r, sink, font);
        }
        c.Register(QString::fromUtf8(row.name), alternatives);
    }
    return c;
}

}  // namespace

Catalogue SystemCatalogue() { return catalogueWith(false); }

Catalogue SilentCatalogue() { return catalogueWith(true); }

RegFilter InsertedFilter(const char* name) {
    for (const Row& row : kRows) {
        if ((row.flags & kInserted) && qstrcmp(row.name, name) == 0) {
            return RegFilter{QString::fromUtf8(name), recipeOf(row, {}, {})};
        }
    }
    Fail(std::string("no inserted filter named ") + name);
}

}  // namespace rilumo::graph
