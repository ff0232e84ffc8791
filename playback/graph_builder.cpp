#include "playback/graph_builder.h"

#include <QStringList>

#include <algorithm>

#include "media/file_types.h"
#include "media/open_formats.h"
#include "media/wave_reader.h"
#include "support/error_trap.h"
#include "support/log.h"

namespace rilumo {

namespace {

void logError(const QString& line) { WriteLog(line, 1, 1); }

QString lower(const char* name) { return QString::fromUtf8(name).toLower(); }

// The chain of a type on an attempt where a rule decides it: registered
// names, lower-cased, without the renderer.
using ChainRule = QStringList (*)(const QString& path, const QString& type, int attempt, const GraphContext& ctx);

// The first attempt takes the decoder the machine has, the second the ACM Wrapper.
QStringList mp3Chain(const QString&, const QString&, int attempt, const GraphContext& ctx) {
    QString decoder = lower("ACM Wrapper");
    if (attempt == 0 && ctx.Mp3DecoderKind == 1) decoder = lower("MPEG Layer-3 Decoder");
    if (attempt == 0 && ctx.Mp3DecoderKind == 2) decoder = lower("MP3 Decoder DMO");
    return {ctx.SourceName, lower("MPEG-I Stream Splitter"), decoder};
}

// The DMO decoder where the machine has it, on the first attempt; the other
// way on the second.
QStringList windowsMediaChain(const QString&, const QString& type, int attempt, const GraphContext& ctx) {
    const bool dmo = (ctx.WmaDmoPresent == 1 && attempt == 0) || (ctx.WmaDmoPresent == 0 && attempt == 1);
    if (!dmo) {
        return {lower("Windows Media Source Filter"), lower("ASF ACM Handler"), lower("Windows Media Audio Decoder")};
    }
    if (type == u"wmariff") return {ctx.SourceName, ctx.WaveParserName, lower("WMAudio Decoder DMO")};
    return {lower("WM ASF Reader"), lower("WMAudio Decoder DMO")};
}

// The open formats: their own parser and decoder first, the catch-all
// decoder on the second attempt.
QStringList openChain(const QString& path, const QString& type, int attempt, const GraphContext& ctx) {
    if (attempt != 0) return {ctx.SourceName, lower("ffdshow Audio Decoder")};
    const Chain chain = ChainOf(type);
    if (chain == Chain::Flac) return {ctx.SourceName, lower("FLAC Parser"), lower("FLAC Decoder")};
    if (chain == Chain::WavPack) return {ctx.SourceName, lower("WavPack Parser"), lower("WavPack Decoder")};
    // Ogg holds any of three codecs, whatever the file is called: the header
    // of its first stream picks the decoder. Anything else fails at preroll
    // (the gate, or the Vorbis decoder's input), and the direct link takes over.
    const QString codec = ReadOpenAudioInfo(path).Codec;
    const char* decoder = "Vorbis Decoder";
    if (codec == u"opus") decoder = "Opus Decoder";
    if (codec == u"flac") decoder = "FLAC Decoder";
    return {ctx.SourceName, lower("Ogg Splitter"), lower(decoder)};
}

struct ChainRow {
    Chain chain;
    // The names after the file source, '|'-separated, "<parser>" the context's
    // wave parser; unused where a rule decides.
    const char* links;
    bool firstAttemptOnly = false;
    bool renderer = true;  // ends in the renderer
    ChainRule rule = nullptr;
};

// What each chain of the file-type table is made of.
constexpr ChainRow kChains[] = {
    {Chain::Wave, "<parser>", true},
    {Chain::MpegAudio, "MPEG-I Stream Splitter|MPEG Audio Decoder", true},
    {Chain::Mp3, "", false, true, mp3Chain},
    {Chain::Mp4Splitter, "Haali Media Splitter (AR)|ffdshow Audio Decoder"},
    {Chain::Decoder, "ffdshow Audio Decoder"},
    {Chain::Flac, "", false, true, openChain},
    {Chain::WavPack, "", false, true, openChain},
    {Chain::Ogg, "", false, true, openChain},
    {Chain::WindowsMedia, "", false, true, windowsMediaChain},
    {Chain::Midi, "MIDI Parser|Default MidiOut Device", false, false},
};

const ChainRow* chainRowFor(const QString& type) {
    const Chain chain = ChainOf(type);
    for (const ChainRow& row : kChains) {
        if (row.chain == chain) return &row;
    }
    return nullptr;
}

// The chain of a file type on an attempt, renderer included where it has
// one; empty = fail at once.
QStringList chainFor(const ChainRow& row, const QString& path, const QString& type, int attempt,
                     const GraphContext& ctx) {
    if (row.firstAttemptOnly && attempt != 0) return {};
    QStringList chain;
    if (row.rule) {
        chain = row.rule(path, type, attempt, ctx);
    } else {
        chain << ctx.SourceName;
        for (const QString& link : QString::fromLatin1(row.links).split(u'|')) {
            chain << (link == u"<parser>" ? ctx.WaveParserName : link.toLower());
        }
    }
    if (row.renderer) chain << ctx.RendererName;
    return chain;
}

// Adds one instance per chain entry equal to a registered name; stops once
// `wanted` filters are in.
void addChain(const QStringList& chain, const QString& path, int wanted, bool stopEarly, GraphContext& ctx) {
    if (!ctx.RegisteredFilters || !ctx.Control) return;
    int added = 0;
    for (const graph::RegFilter& entry : *ctx.RegisteredFilters) {
        const QString n = ComparableName(entry.Name);
        for (const QString& link : chain) {
            if (n != link) continue;
            Ignore([&] {
                graph::Filter& f = ctx.Control->AddFilter(entry);
                ++added;
                if (f.IsFileSource() != 0) Ignore([&] { f.SetFilename(path); });
            });
            if (stopEarly && added == wanted) return;
        }
    }
}

}  // namespace

QString ComparableName(const QString& name) { return name.trimmed().toLower(); }

bool BuildsChain(Chain chain) {
    return std::any_of(std::begin(kChains), std::end(kChains), [&](const ChainRow& r) { return r.chain == chain; });
}

void CreateGraph(GraphContext& ctx) {
    Trap([&] {
        ctx.Control = std::make_unique<graph::Graph>(ctx.Catalogue ? ctx.Catalogue() : graph::SystemCatalogue());
        if (ctx.OnStreamEvent) ctx.Control->SetEventHook(ctx.OnStreamEvent);
        ctx.RegisteredFilters = &ctx.Control->RegFilterCollection();
        ctx.Events = ctx.Control.get();
        ctx.Position = ctx.Control.get();
        ctx.Audio = ctx.Control.get();
    });
}

void DestroyGraph(GraphContext& ctx) {
    DisconnectAll(ctx);
    ctx.Events = nullptr;
    ctx.Position = nullptr;
    ctx.Audio = nullptr;
    ctx.RegisteredFilters = nullptr;
    Trap([&] { ctx.Control.reset(); });
}

void DisconnectAll(GraphContext& ctx) {
    if (!ctx.Control) return;
    for (graph::Filter* f : ctx.Control->FilterCollection()) {
        for (const auto& pin : f->Pins()) {
            if (pin->Direction() != 0) Ignore([&] { pin->Disconnect(); });
        }
    }
}

void DetectDevicesAndDecoders(int devMode, GraphContext& ctx) {
    ctx.SourceName = lower("File Source (Async.)");
    ctx.WaveParserName = lower("Wave Parser");
    ctx.WaveWriterName = lower("WAV Dest");
    ctx.FileWriterName = lower("File writer");
    const QStringList candidates = {lower("Default WaveOut Device"), lower("既定の WaveOut デバイス"),
                                    lower("既定の WAVE 出力デバイス"), lower("既定の DirectSound デバイス"),
                                    lower("Default DirectSound Device")};
    static constexpr int kWaveOutFirst[] = {0, 1, 2, 3, 4};
    static constexpr int kDirectSoundFirst[] = {4, 3, 2, 1, 0};
    const int* order = devMode == 1 ? kDirectSoundFirst : kWaveOutFirst;
    const std::vector<graph::RegFilter> none;
    const auto& registered = ctx.RegisteredFilters ? *ctx.RegisteredFilters : none;
    Trap([&] {
        for (int i = 0; i < 5; ++i) {
            const QString& candidate = candidates[order[i]];
            for (const graph::RegFilter& entry : registered) {
                if (ComparableName(entry.Name) == candidate) {
                    ctx.RendererName = candidate;
                    return;
                }
            }
        }
    });
    ctx.WmaDmoPresent = 0;
    ctx.Mp3DecoderKind = 0;
    int matches = 0;
    Trap([&] {
        for (const graph::RegFilter& entry : registered) {
            const QString n = ComparableName(entry.Name);
            if (n == lower("WMAudio Decoder DMO")) {
                ctx.WmaDmoPresent = 1;
                ++matches;
            } else if (n == lower("MPEG Layer-3 Decoder")) {
                ctx.Mp3DecoderKind = 1;
                ++matches;
            } else if (ctx.Mp3DecoderKind == 0 && n == lower("MP3 Decoder DMO")) {
                ctx.Mp3DecoderKind = 2;
                ++matches;
            } else if (ctx.DtvDvdPresent == 0 && n == lower("Microsoft DTV-DVD Audio Decoder")) {
                ctx.DtvDvdPresent = 1;
                ++matches;
            }
            if (matches >= 3) return;
        }
    });
}

void ApplyRendererOverride(const QString& devName, int devMode, GraphContext& ctx) {
    if (devName.isEmpty() || !ctx.RegisteredFilters) return;
    const QString wanted = devName.toLower();
    const QString enumerated = QStringLiteral("列挙済");
    const QString directSound = lower("Direct Sound");
    for (const graph::RegFilter& entry : *ctx.RegisteredFilters) {
        const QString n = ComparableName(entry.Name);
        if (!n.contains(wanted)) continue;
        const bool device = n.contains(enumerated) || n.contains(directSound);
        if (devMode == 0 ? device : !device) continue;
        ctx.RendererName = n;
        return;
    }
}

int SetupPinsToDecode(const QString& path, int attempt, GraphContext& ctx) {
    const QString type = GetFileType(path);
    const ChainRow* row = chainRowFor(type);
    if (!row) {
        logError(QStringLiteral("SetupPinsToDecode Unknown Filetype ") + QStringLiteral("#") + path);
        return 0;
    }
    const QStringList chain = chainFor(*row, path, type, attempt, ctx);
    if (chain.isEmpty()) return 0;
    const int last = static_cast<int>(chain.size()) - 1;
    addChain(chain, path, last + 1, true, ctx);
    for (int k = 0; k < last; ++k) {
        if (ConnectFilters(chain[k], chain[k + 1], ctx) == 0) {
            logError(QStringLiteral("SetupPinsToDecode ") + chain[k] + QStringLiteral("#") + chain[k + 1] +
                     QStringLiteral(" connect failed"));
            return 0;
        }
    }
    return 1;
}

int RenderPinsToDecode(const QString& path, GraphContext& ctx) {
    const QStringList chain = {ctx.SourceName, ctx.RendererName};
    const bool added = Trap([&] {
        if (!ctx.Control) Fail("no graph");
        if (!ctx.RegisteredFilters) Fail("no registered filters");
        for (const graph::RegFilter& entry : *ctx.RegisteredFilters) {
            const QString n = ComparableName(entry.Name);
            for (const QString& link : chain) {
                if (n != link) continue;
                graph::Filter& f = ctx.Control->AddFilter(entry);
                if (f.IsFileSource() != 0) f.SetFilename(path);
            }
        }
    });
    if (!added) return 0;
    if (ConnectFilters(chain[0], chain[1], ctx) == 0) {
        logError(QStringLiteral("RenderPinsToDecode ") + chain[0] + QStringLiteral("#") + chain[1] +
                 QStringLiteral(" connect failed"));
        return 0;
    }
    return 1;
}

namespace {

// The first output of up (its audio one, where it has several) to the first
// input of down; throws where the graph refuses the link.
int linkNamed(const QString& up, const QString& down, GraphContext& ctx) {
    if (!ctx.Control) Fail("no graph");
    graph::Pin* out = nullptr;
    graph::Pin* in = nullptr;
    bool upFound = false;
    bool downFound = false;
    for (graph::Filter* f : ctx.Control->FilterCollection()) {
        const QString n = f->Name().toLower();
        if (n == up) {
            if (upFound) continue;
            std::vector<graph::Pin*> outputs;
            for (const auto& p : f->Pins()) {
                if (p->Direction() != 0) outputs.push_back(p.get());
            }
            out = outputs.empty() ? nullptr : outputs.front();
            if (outputs.size() > 1) {
                for (graph::Pin* p : outputs) {
                    const QString id = p->PinID().toLower().remove(u' ');
                    if ((id.contains(u'1') && id.contains(QStringLiteral("stream"))) ||
                        id.contains(QStringLiteral("audio"))) {
                        out = p;
                        break;
                    }
                }
            }
            upFound = true;
            if (downFound) break;
        } else if (n == down && !downFound) {
            for (const auto& p : f->Pins()) {
                if (p->Direction() == 0) {
                    in = p.get();
                    break;
                }
            }
            if (in) {
                downFound = true;
                if (upFound) break;
            }
        }
    }
    if (upFound && downFound) {
        if (!out) Fail("no output pin");
        out->Connect(*in);
        return 1;
    }
    logError((upFound ? down : up) + QStringLiteral("not found"));
    return 0;
}

}  // namespace

int ConnectFilters(const QString& up, const QString& down, GraphContext& ctx) {
    int connected = 0;
    // A refused link is a failed connection, whatever the flag says.
    Ignore([&] { connected = linkNamed(up, down, ctx); });
    return connected;
}

}  // namespace rilumo
