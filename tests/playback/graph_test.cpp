#include <gtest/gtest.h>

#include "playback/graph/graph.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo::graph {
namespace {

using test::kPlayDeadlineMs;
using test::PollUntil;

const RegFilter& entry(const Graph& g, const QString& name) {
    for (const RegFilter& r : g.RegFilterCollection()) {
        if (r.Name == name) return r;
    }
    throw std::runtime_error("not registered: " + name.toStdString());
}

Pin* firstPin(Filter& f, int direction) {
    for (const auto& p : f.Pins()) {
        if (p->Direction() == direction) return p.get();
    }
    return nullptr;
}

// A wave file of ms through the wave parser into the null renderer.
std::unique_ptr<Graph> waveGraph(const test::TempDir& dir, int ms) {
    const QString wav = dir.File("tone.wav");
    if (!test::WriteSineWave(wav, 44100, 2, 16, 440, ms)) return nullptr;
    auto g = std::make_unique<Graph>(SystemCatalogue());
    Filter& src = g->AddFilter(entry(*g, "File Source (Async.)"));
    Filter& parser = g->AddFilter(entry(*g, "Wave Parser"));
    Filter& out = g->AddFilter(entry(*g, "Null Audio Renderer"));
    src.SetFilename(wav);
    firstPin(src, 1)->Connect(*firstPin(parser, 0));
    firstPin(parser, 1)->Connect(*firstPin(out, 0));
    return g;
}

TEST(GraphService, PlaysAWaveFileThroughTheNullRenderer) {
    test::TempDir dir;
    auto g = waveGraph(dir, 1000);
    ASSERT_TRUE(g);
    EXPECT_NEAR(g->Duration(), 1.0, 0.001);
    g->Run();
    EXPECT_EQ(g->GetState(10), kStateRunning);
    // Under way and not yet complete well into the stream.
    ASSERT_TRUE(PollUntil(kPlayDeadlineMs, [&] { return g->CurrentPosition() > 0.25; }));
    EXPECT_EQ(g->WaitForCompletion(5), kEventNone);
    EXPECT_TRUE(PollUntil(kPlayDeadlineMs, [&] { return g->WaitForCompletion(5) != kEventNone; }));
    EXPECT_EQ(g->WaitForCompletion(5), kEventComplete);
}

// Every message the graph's bus carries holds its source; one kept by mistake
// keeps the whole graph, and a long playlist grows by a graph per track.
TEST(GraphService, AGraphThatPlayedIsFreedWithIt) {
    ASSERT_TRUE(Graph::WaitForRetiredGraphs(test::kLoadDeadlineMs));
    const int before = Graph::PipelinesAlive();
    test::TempDir dir;
    auto g = waveGraph(dir, 200);
    ASSERT_TRUE(g);
    EXPECT_EQ(Graph::PipelinesAlive(), before + 1);
    g->Run();
    ASSERT_TRUE(PollUntil(kPlayDeadlineMs, [&] { return g->WaitForCompletion(5) != kEventNone; }));
    g.reset();
    ASSERT_TRUE(Graph::WaitForRetiredGraphs(test::kLoadDeadlineMs));
    EXPECT_EQ(Graph::PipelinesAlive(), before);
}

}  // namespace
}  // namespace rilumo::graph
