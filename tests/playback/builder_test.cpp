#include <gtest/gtest.h>

#include "playback/c_fgraph.h"
#include "playback/graph_builder.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using graph::Catalogue;
using GraphBuilder = test::PlayerTest;
using graph::Recipe;

Recipe nullRenderer() { return graph::RendererRecipe(QString::fromLatin1(graph::kNullSinkDescription)); }

Recipe passThrough() {
    Recipe r;
    r.factories = {QStringLiteral("identity")};
    r.description = QStringLiteral("identity");
    return r;
}

Catalogue named(const QStringList& names, const Recipe& recipe) {
    Catalogue c;
    for (const QString& n : names) c.Register(n, {recipe});
    return c;
}

QString rendererChosen(const QStringList& names, int devMode, const QString& devName = {}) {
    C_FGraph p;
    p.Context().Catalogue = [names] { return named(names, nullRenderer()); };
    p.SetDevMode(devMode);
    p.SetDevName(devName);
    p.Init();
    return p.Context().RendererName;
}

TEST_F(GraphBuilder, RendererPreferenceFollowsTheDevMode) {
    const QStringList both = {"Default DirectSound Device", "既定の DirectSound デバイス", "既定の WaveOut デバイス",
                              "Default WaveOut Device"};
    EXPECT_EQ(rendererChosen(both, 0), "default waveout device");
    EXPECT_EQ(rendererChosen(both, 1), "default directsound device");
    const QStringList japanese = {"既定の DirectSound デバイス", "既定の WAVE 出力デバイス", "既定の WaveOut デバイス"};
    EXPECT_EQ(rendererChosen(japanese, 0), "既定の waveout デバイス");
    EXPECT_EQ(rendererChosen(japanese, 1), "既定の directsound デバイス");
    EXPECT_EQ(rendererChosen({"  既定の WAVE 出力デバイス  "}, 1), "既定の wave 出力デバイス");
    EXPECT_EQ(rendererChosen({"Some Other Renderer"}, 0), "");
}

TEST_F(GraphBuilder, RendererOverrideKeepsToItsModeRule) {
    const QStringList names = {"Default WaveOut Device", "Direct Sound: USB Speakers", "USB Speakers (列挙済)",
                               "USB Speakers Plain"};
    EXPECT_EQ(rendererChosen(names, 0, "USB"), "usb speakers plain");
    EXPECT_EQ(rendererChosen(names, 1, "usb"), "direct sound: usb speakers");
    EXPECT_EQ(rendererChosen(names, 1, "Plain"), "default waveout device");  // unchanged
    EXPECT_EQ(rendererChosen(names, 0, ""), "default waveout device");
}

TEST_F(GraphBuilder, DecoderDetectionStopsAfterThreeMatches) {
    GraphContext ctx;
    ctx.Catalogue = [] {
        return named({"MP3 Decoder DMO", "WMAudio Decoder DMO", "Microsoft DTV-DVD Audio Decoder",
                      "MPEG Layer-3 Decoder"},
                     passThrough());
    };
    CreateGraph(ctx);
    DetectDevicesAndDecoders(0, ctx);
    EXPECT_EQ(ctx.Mp3DecoderKind, 2);
    EXPECT_EQ(ctx.WmaDmoPresent, 1);
    EXPECT_EQ(ctx.DtvDvdPresent, 1);
    // Before the walk has stopped, the layer-3 decoder wins over the DMO.
    ctx.Catalogue = [] { return named({"MP3 Decoder DMO", "MPEG Layer-3 Decoder"}, passThrough()); };
    CreateGraph(ctx);
    DetectDevicesAndDecoders(0, ctx);
    EXPECT_EQ(ctx.Mp3DecoderKind, 1);
    EXPECT_EQ(ctx.WmaDmoPresent, 0);
    EXPECT_EQ(ctx.SourceName, "file source (async.)");
    EXPECT_EQ(ctx.WaveParserName, "wave parser");
    DestroyGraph(ctx);
    EXPECT_FALSE(ctx.Control);
}

// A filter with several outputs: ConnectFilters takes the one that names
// audio or "stream 1"; a single output is taken whatever its name.
Recipe outputs(const QStringList& pins) {
    Recipe r;
    r.factories = {QStringLiteral("tee"), QStringLiteral("identity")};
    QString d = QStringLiteral("identity name=in ! tee name=t");
    for (int i = 0; i < pins.size(); ++i) d += QStringLiteral(" t. ! identity name=o%1").arg(i);
    r.description = d;
    r.inputs = {{QStringLiteral("In"), QStringLiteral("in"), QStringLiteral("sink")}};
    for (int i = 0; i < pins.size(); ++i) {
        r.outputs.push_back({pins[i], QStringLiteral("o%1").arg(i), QStringLiteral("src")});
    }
    return r;
}

QString connectedOutput(const QStringList& pins) {
    GraphContext ctx;
    ctx.Catalogue = [pins] {
        Catalogue c;
        c.Register("Splitter", {outputs(pins)});
        c.Register("Sink", {nullRenderer()});
        return c;
    };
    CreateGraph(ctx);
    for (const graph::RegFilter& e : *ctx.RegisteredFilters) ctx.Control->AddFilter(e);
    if (ConnectFilters("splitter", "sink", ctx) != 1) return QStringLiteral("(failed)");
    for (const auto& pin : ctx.Control->FilterCollection().front()->Pins()) {
        if (pin->Direction() == 1 && pin->ConnectedTo()) return pin->PinID();
    }
    return {};
}

TEST_F(GraphBuilder, ConnectFiltersChoosesTheAudioOutput) {
    EXPECT_EQ(connectedOutput({"Video", "Audio 2"}), "Audio 2");
    EXPECT_EQ(connectedOutput({"Video", "Stream 1"}), "Stream 1");
    EXPECT_EQ(connectedOutput({"Video", "Stream 2"}), "Video");
    EXPECT_EQ(connectedOutput({"Capture"}), "Capture");
}

TEST_F(GraphBuilder, NotFoundNamesTheUpstreamFilterFirst) {
    GraphContext ctx;
    ctx.Catalogue = [] { return named({"Present"}, passThrough()); };
    CreateGraph(ctx);
    EXPECT_EQ(ConnectFilters("absent", "missing too", ctx), 0);
    EXPECT_EQ(ConnectFilters("present", "missing too", ctx), 0);  // not added yet
    ctx.Control->AddFilter(ctx.RegisteredFilters->front());
    EXPECT_EQ(ConnectFilters("present", "missing too", ctx), 0);
    EXPECT_EQ(ConnectFilters("present", "present", ctx), 0);  // one filter is up only
    EXPECT_EQ(dir.ErrorLines(), QStringList({"absentnot found", "presentnot found", "missing toonot found",
                                             "presentnot found"}));
}

// This machine's catalogue less one entry.
Catalogue systemWithout(const QString& name) {
    Catalogue c;
    const Catalogue all = graph::SystemCatalogue();
    for (const auto& e : all.Entries()) {
        if (e.Name != name) c.Register(e.Name, {e.recipe});
    }
    return c;
}

TEST_F(GraphBuilder, AWaveChainThatFailsIsRetriedOnlyByTheDirectLink) {
    const QString wav = dir.Wave("tone.wav", 800);
    p.Context().Catalogue = [] { return systemWithout("Wave Parser"); };
    p.Init();
    ASSERT_TRUE(Load(wav));
    EXPECT_EQ(dir.ErrorLines(), QStringList({"wave parsernot found",
                                             "SetupPinsToDecode file source (async.)#wave parser connect failed"}));
    EXPECT_EQ(p.FileName(), wav);
    EXPECT_NEAR(p.Length(), 800, 50);
}

TEST_F(GraphBuilder, AnOpusChainWithoutItsDecoderIsRetriedByTheCatchAllDecoder) {
    const QString opus = dir.Encoded("opus", "tone.opus", 800);
    if (opus.isEmpty()) GTEST_SKIP() << "no Opus encoder";
    p.Context().Catalogue = [] { return systemWithout("Opus Decoder"); };
    p.Init();
    ASSERT_TRUE(Load(opus));
    EXPECT_EQ(dir.ErrorLines(), QStringList({"opus decodernot found",
                                             "SetupPinsToDecode ogg splitter#opus decoder connect failed"}));
    // The first attempt's filters stay in the graph, unlinked.
    EXPECT_TRUE(FilterNames().contains("ffdshow Audio Decoder"));
    EXPECT_NEAR(p.Length(), 800, 50);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(100));
}

TEST_F(GraphBuilder, WithoutARendererEveryChainFailsAndTheLoadToo) {
    p.Context().Catalogue = [] {
        Catalogue c;
        const Catalogue all = graph::SystemCatalogue();
        for (const auto& e : all.Entries()) {
            if (!e.recipe.renderer) c.Register(e.Name, {e.recipe});
        }
        return c;
    };
    p.Init();
    EXPECT_EQ(p.Context().RendererName, "");
    p.SetFileName(dir.Wave("tone.wav", 500));
    EXPECT_TRUE(p.FileName().isEmpty());
    EXPECT_TRUE(p.LoadFailed());
    EXPECT_EQ(dir.ErrorLines(), QStringList({"not found", "SetupPinsToDecode wave parser# connect failed",
                                             "not found", "RenderPinsToDecode file source (async.)# connect failed"}));
}

}  // namespace
}  // namespace rilumo
