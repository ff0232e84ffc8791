#include "playback/graph/catalogue.h"

#include <QFileInfo>

#include "playback/graph/gst_util.h"

namespace rilumo::graph {

namespace {

Recipe make(QStringList factories, QString description, OutputKind output = OutputKind::Static) {
    Recipe r;
    r.factories = std::move(factories);
    r.description = std::move(description);
    r.output = output;
    return r;
}

Recipe fileSource(Recipe r) {
    r.fileSource = true;
    return r;
}

Recipe gated(Recipe r, QStringList types) {
    r.factories << QStringLiteral("typefind");
    r.description = QStringLiteral("typefind name=gate ! ") + r.description;
    r.gate = std::move(types);
    return r;
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
    Recipe r = make({QStringLiteral("audioconvert"), QStringLiteral("audioresample"),
                     QStringLiteral("volume"), QStringLiteral("audiopanorama"), firstWord(sinkDescription)},
                    QStringLiteral("audioconvert ! audioresample ! volume name=rilumo-volume ! "
                                   "audiopanorama name=rilumo-balance method=simple ! ") +
                        sinkDescription);
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
        if (QFileInfo(c).isFile()) return c;
    }
    return {};
}

Catalogue SystemCatalogue() {
    EnsureGstInit();
    const OutputKind dyn = OutputKind::Dynamic;
    const QString sink = DefaultSinkDescription();
    Catalogue c;
    c.Register(QStringLiteral("File Source (Async.)"),
               {fileSource(make({QStringLiteral("filesrc")}, QStringLiteral("filesrc name=source")))});
    // Wave, AIFF and AU containers; other streams are refused at the gate.
    c.Register(QStringLiteral("Wave Parser"),
               {gated(make({QStringLiteral("parsebin"), QStringLiteral("wavparse"), QStringLiteral("aiffparse")},
                           QStringLiteral("parsebin name=demux"), dyn),
                      {QStringLiteral("audio/x-wav"), QStringLiteral("audio/x-aiff"), QStringLiteral("audio/x-au"),
                       QStringLiteral("audio/x-rf64"), QStringLiteral("audio/x-w64")})});
    // Elementary MPEG audio (with or without tags), MPEG-1/2 system streams,
    // and MPEG audio held in RIFF.
    c.Register(QStringLiteral("MPEG-I Stream Splitter"),
               {gated(make({QStringLiteral("parsebin"), QStringLiteral("mpegaudioparse")},
                           QStringLiteral("parsebin name=demux"), dyn),
                      {QStringLiteral("audio/mpeg"), QStringLiteral("application/x-id3"),
                       QStringLiteral("application/x-apetag"), QStringLiteral("video/mpeg"),
                       QStringLiteral("audio/x-wav")})});
    c.Register(QStringLiteral("MPEG Audio Decoder"),
               {make({QStringLiteral("mpg123audiodec")}, QStringLiteral("mpg123audiodec")),
                make({QStringLiteral("avdec_mp2float")}, QStringLiteral("avdec_mp2float"))});
    c.Register(QStringLiteral("MP3 Decoder DMO"),
               {make({QStringLiteral("avdec_mp3")}, QStringLiteral("avdec_mp3"))});
    c.Register(QStringLiteral("MPEG Layer-3 Decoder"),
               {make({QStringLiteral("mpg123audiodec")}, QStringLiteral("mpg123audiodec")),
                make({QStringLiteral("avdec_mp3")}, QStringLiteral("avdec_mp3"))});
    c.Register(QStringLiteral("ACM Wrapper"),
               {make({QStringLiteral("decodebin")}, QStringLiteral("decodebin name=demux"), dyn)});
    c.Register(QStringLiteral("WM ASF Reader"),
               {fileSource(make({QStringLiteral("filesrc"), QStringLiteral("asfdemux")},
                                QStringLiteral("filesrc name=source ! asfdemux name=demux"), dyn))});
    // Decodes every Windows Media Audio generation the machine has decoders for.
    c.Register(QStringLiteral("WMAudio Decoder DMO"),
               {make({QStringLiteral("decodebin"), QStringLiteral("avdec_wmav2")},
                     QStringLiteral("decodebin name=demux"), dyn)});
    c.Register(QStringLiteral("Haali Media Splitter (AR)"),
               {gated(make({QStringLiteral("parsebin"), QStringLiteral("qtdemux")},
                           QStringLiteral("parsebin name=demux"), dyn),
                      {QStringLiteral("video/quicktime"), QStringLiteral("audio/x-m4a"),
                       QStringLiteral("video/x-matroska"), QStringLiteral("video/webm")})});
    c.Register(QStringLiteral("ffdshow Audio Decoder"),
               {make({QStringLiteral("decodebin"), QStringLiteral("qtdemux")},
                     QStringLiteral("decodebin name=demux"), dyn)});
    c.Register(QStringLiteral("MIDI Parser"),
               {make({QStringLiteral("midiparse")}, QStringLiteral("midiparse"))});
    const QString font = SoundFontPath();
    if (!font.isEmpty()) {
        Recipe midi = RendererRecipe(sink);
        midi.factories << QStringLiteral("fluiddec");
        midi.description = QStringLiteral("fluiddec soundfont=") + quoted(font) + QStringLiteral(" ! ") +
                           midi.description;
        c.Register(QStringLiteral("Default MidiOut Device"), {midi});
    }
    c.Register(QStringLiteral("Default WaveOut Device"), {RendererRecipe(sink)});
    c.Register(QStringLiteral("Default DirectSound Device"), {RendererRecipe(sink)});
    c.Register(QStringLiteral("Null Audio Renderer"),
               {RendererRecipe(QString::fromLatin1(kNullSinkDescription))});
    c.Register(QStringLiteral("Direct Sound: PulseAudio Output"), {RendererRecipe(QStringLiteral("pulsesink"))});
    c.Register(QStringLiteral("ALSA: Default Output"), {RendererRecipe(QStringLiteral("alsasink"))});
    c.Register(QStringLiteral("WAV Dest"), {make({QStringLiteral("wavenc")}, QStringLiteral("wavenc"))});
    c.Register(QStringLiteral("File writer"),
               {fileSource(make({QStringLiteral("filesink")}, QStringLiteral("filesink name=source")))});
    return c;
}

}  // namespace rilumo::graph
