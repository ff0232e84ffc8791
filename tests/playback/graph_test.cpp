#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo::graph {
namespace {

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

TEST(GraphService, PlaysAWaveFileThroughTheNullRenderer) {
    test::TempDir dir;
    const QString wav = dir.File("tone.wav");
    ASSERT_TRUE(test::WriteSineWave(wav, 44100, 2, 16, 440, 1000));
    Graph g(SystemCatalogue());
    Filter& src = g.AddFilter(entry(g, "File Source (Async.)"));
    Filter& parser = g.AddFilter(entry(g, "Wave Parser"));
    Filter& out = g.AddFilter(entry(g, "Null Audio Renderer"));
    src.SetFilename(wav);
    firstPin(src, 1)->Connect(*firstPin(parser, 0));
    firstPin(parser, 1)->Connect(*firstPin(out, 0));
    EXPECT_NEAR(g.Duration(), 1.0, 0.001);
    g.Run();
    EXPECT_EQ(g.GetState(10), kStateRunning);
    test::PumpFor(400);
    const double at = g.CurrentPosition();
    EXPECT_GT(at, 0.25);
    EXPECT_LT(at, 0.6);
    QElapsedTimer t;
    t.start();
    while (g.WaitForCompletion(5) == kEventNone && t.elapsed() < 3000) test::PumpFor(10);
    EXPECT_EQ(g.WaitForCompletion(5), kEventComplete);
    EXPECT_GT(t.elapsed(), 400);
}

// Every message the graph's bus carries holds its source; one kept by mistake
// keeps the whole graph, and a long playlist grows by a graph per track.
TEST(GraphService, AGraphThatPlayedIsFreedWithIt) {
    test::TempDir dir;
    const QString wav = dir.File("tone.wav");
    ASSERT_TRUE(test::WriteSineWave(wav, 44100, 2, 16, 440, 200));
    auto g = std::make_unique<Graph>(SystemCatalogue());
    Filter& src = g->AddFilter(entry(*g, "File Source (Async.)"));
    Filter& parser = g->AddFilter(entry(*g, "Wave Parser"));
    Filter& out = g->AddFilter(entry(*g, "Null Audio Renderer"));
    src.SetFilename(wav);
    firstPin(src, 1)->Connect(*firstPin(parser, 0));
    firstPin(parser, 1)->Connect(*firstPin(out, 0));
    g->Run();
    QElapsedTimer t;
    t.start();
    while (g->WaitForCompletion(5) == kEventNone && t.elapsed() < 3000) test::PumpFor(10);
    gpointer pipeline = g->Impl().pipeline.get();
    g_object_add_weak_pointer(G_OBJECT(pipeline), &pipeline);
    g.reset();
    EXPECT_EQ(pipeline, nullptr);
}

}  // namespace
}  // namespace rilumo::graph
