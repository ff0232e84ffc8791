#pragma once
// Builds each file's playback graph by hand: named filters from the
// catalogue, a fixed chain per file type, connected pin by pin, with a second
// chain and a direct source-to-renderer link as fallbacks. Every failure
// along the way leaves a line in the error log.

#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "media/file_types.h"
#include "playback/graph/graph.h"

namespace rilumo {

struct GraphContext {
    const std::vector<graph::RegFilter>* RegisteredFilters = nullptr;
    std::unique_ptr<graph::Graph> Control;
    graph::Graph* Events = nullptr;
    graph::Graph* Position = nullptr;
    graph::Graph* Audio = nullptr;
    int WmaDmoPresent = 0;
    int Mp3DecoderKind = 0;  // 0 none, 1 "MPEG Layer-3 Decoder", 2 "MP3 Decoder DMO"
    int DtvDvdPresent = 0;
    QString RendererName;
    QString SourceName;
    QString WaveParserName;
    QString WaveWriterName;
    QString FileWriterName;
    // Where a new graph's registered filters come from; empty = this machine's.
    std::function<graph::Catalogue()> Catalogue;
    // Handed to every new graph: see graph::Graph::SetEventHook.
    std::function<void()> OnStreamEvent;
};

void CreateGraph(GraphContext& ctx);
void DestroyGraph(GraphContext& ctx);
void DisconnectAll(GraphContext& ctx);
void DetectDevicesAndDecoders(int devMode, GraphContext& ctx);
// The renderer override: a part of a renderer's name chosen by the user.
void ApplyRendererOverride(const QString& devName, int devMode, GraphContext& ctx);
int SetupPinsToDecode(const QString& path, int attempt, GraphContext& ctx);
int RenderPinsToDecode(const QString& path, GraphContext& ctx);
int ConnectFilters(const QString& up, const QString& down, GraphContext& ctx);

// A registered name as every comparison sees it: trimmed, lower-cased.
QString ComparableName(const QString& name);

// True when the builder knows how to make a chain of that kind.
bool BuildsChain(Chain chain);

}  // namespace rilumo
