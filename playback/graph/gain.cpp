// ReplayGain: a volume stage of the file's own right after its decoded
// audio, so that the joiner (and its converter) come after it and move it
// with the file's other filters. A file joined to the one before therefore
// keeps its own level, and the join stays sample exact: scaling moves no
// sample in time.

#include <cmath>

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"

namespace rilumo::graph {

namespace {

constexpr const char* kGainFilter = "ReplayGain";

// The converter in front lets any raw format in: the volume element itself
// takes only a few.
Recipe gainRecipe(double factor) {
    Recipe r;
    r.factories = {QStringLiteral("audioconvert"), QStringLiteral("volume")};
    r.description = QStringLiteral("audioconvert ! volume name=gain volume=%1").arg(factor, 0, 'g', 17);
    return r;
}

Pin* pinOf(Filter& f, int direction) {
    for (const auto& p : f.Pins()) {
        if (p->Direction() == direction) return p.get();
    }
    return nullptr;
}

Filter* filterNamed(GraphImpl& g, const QString& name) {
    for (const auto& f : g.filters) {
        if (f->Name() == name) return f.get();
    }
    return nullptr;
}

Pin* rendererInput(GraphImpl& g) {
    for (const auto& f : g.filters) {
        if (f->IsRenderer() && !f->Impl().parked) return pinOf(*f, 0);
    }
    return nullptr;
}

}  // namespace

GstElement* GraphImpl::GainVolume() {
    Filter* stage = filterNamed(*this, QString::fromUtf8(kGainFilter));
    if (!stage) return nullptr;
    ElementPtr volume(gst_bin_get_by_name(GST_BIN(stage->Impl().bin.get()), "gain"));
    return volume.get();  // the stage's bin keeps it alive
}

void Graph::SetGain(double factor, bool keepStage) {
    GraphImpl& me = *impl_;
    if (!std::isfinite(factor) || factor < 0 || factor > 10) Fail("gain out of range");
    if (Filter* existing = filterNamed(me, QString::fromUtf8(kGainFilter))) {
        ElementPtr volume(gst_bin_get_by_name(GST_BIN(existing->Impl().bin.get()), "gain"));
        if (!volume) Fail("gain stage without its volume");
        g_object_set(volume.get(), "volume", factor, nullptr);
        return;
    }
    if (factor == 1.0 && !keepStage) return;
    if (me.prepared || me.playbin) Fail("the gain stage goes in before the graph first runs");
    for (const QString& f : gainRecipe(factor).factories) {
        if (!HasFactory(f)) Fail("no volume element");
    }
    Pin* in = rendererInput(me);
    Pin* up = in ? in->ConnectedTo() : nullptr;
    if (!up) Fail("the file reaches no renderer");
    Filter& gain = AddFilter(RegFilter{QString::fromUtf8(kGainFilter), gainRecipe(factor)});
    Pin* gainIn = pinOf(gain, 0);
    Pin* gainOut = pinOf(gain, 1);
    if (!gainIn || !gainOut) Fail("gain stage without pins");
    up->Disconnect();
    try {
        up->Connect(*gainIn);
        gainOut->Connect(*in);
    } catch (...) {
        // Unscaled rather than silent: the chain is put back as it was.
        up->Disconnect();
        gainOut->Disconnect();
        up->Connect(*in);
        throw;
    }
}

}  // namespace rilumo::graph
