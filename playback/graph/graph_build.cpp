// Building a graph: its filters, the links between their pins with what
// goes between them, and the whole-file graph GStreamer builds by itself.

#include <QFileInfo>
#include <QUrl>

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "playback/graph/renderer_buffer.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/paths.h"

namespace rilumo::graph {

const std::vector<RegFilter>& Graph::RegFilterCollection() const { return impl_->catalogue.Entries(); }

std::vector<Filter*> Graph::FilterCollection() const {
    std::vector<Filter*> out;
    out.reserve(impl_->filters.size());
    for (const auto& f : impl_->filters) out.push_back(f.get());
    return out;
}

QString GraphImpl::UniqueName(const QString& name) const {
    auto taken = [&](const QString& n) {
        for (const auto& f : filters) {
            if (f->Name() == n) return true;
        }
        return false;
    };
    if (!taken(name)) return name;
    for (int i = 1;; ++i) {
        const QString n = name + QStringLiteral(" %1").arg(i, 4, 10, QLatin1Char('0'));
        if (!taken(n)) return n;
    }
}

Filter& Graph::AddFilter(const RegFilter& entry) {
    if (impl_->prepared || impl_->playbin) Fail("filters are added before the graph first runs");
    std::unique_ptr<Filter> f(new Filter(*this, impl_->UniqueName(entry.Name), entry.recipe));
    if (!gst_bin_add(GST_BIN(impl_->pipeline.get()), f->Impl().bin.get())) Fail("filter cannot join the graph");
    impl_->filters.push_back(std::move(f));
    return *impl_->filters.back();
}

void GraphImpl::ConnectPins(Pin& up, Pin& down) {
    GstPad* from = up.Impl().pad.get();
    GstPad* to = down.Impl().pad.get();
    CapsPtr wanted = PadCaps(to);
    const bool rawOnly = IsRawAudioOnly(wanted.get());
    auto link = [](GstPad* a, GstPad* b, GstPadLinkCheck check) {
        const GstPadLinkReturn r = gst_pad_link_full(a, b, check);
        if (r != GST_PAD_LINK_OK) Fail(std::string("link failed: ") + gst_pad_link_get_name(r));
    };
    auto join = [](Pin& a, Pin& b) {
        a.Impl().peer = &b;
        b.Impl().peer = &a;
    };
    // Between a stream that may not be decoded yet and a pin that takes raw
    // audio only, a decoder goes in, as the platform's intelligent connect does.
    auto via = [&](const RegFilter& inserted) {
        Filter& middle = self->AddFilter(inserted);
        Pin* in = nullptr;
        Pin* out = nullptr;
        for (const auto& p : middle.Pins()) (p->Direction() == 0 ? in : out) = p.get();
        if (!in || !out) Fail("inserted filter without pins");
        link(from, in->Impl().pad.get(), GST_PAD_LINK_CHECK_NOTHING);
        join(up, *in);
        if (out->Impl().dynamic) out->Impl().dynamic->rawOnly = true;
        link(out->Impl().pad.get(), to, GST_PAD_LINK_CHECK_NOTHING);
        join(*out, down);
    };

    if (DynamicOutput* d = up.Impl().dynamic) {
        // Its pad does not exist yet: what it carries is settled once it does.
        d->rawOnly = rawOnly;
        link(from, to, GST_PAD_LINK_CHECK_HIERARCHY);
        join(up, down);
        return;
    }
    CapsPtr offered = PadCaps(from);
    if (rawOnly && !IsRawAudioOnly(offered.get())) {
        via(InsertedFilter(kStreamDecoder));
        return;
    }
    if (!gst_caps_can_intersect(offered.get(), wanted.get())) {
        if (!rawOnly) Fail("the pins share no media type");
        via(InsertedFilter(kAudioConverter));
        return;
    }
    link(from, to, GST_PAD_LINK_CHECK_DEFAULT);
    join(up, down);
}

void Graph::RenderFile(const QString& path) {
    if (impl_->playbin || !impl_->filters.empty()) Fail("graph already built");
    if (!IsRegularFile(path)) Fail("no such file");
    ElementPtr playbin = Adopt(gst_element_factory_make("playbin", nullptr));
    if (!playbin) Fail("no playbin");
    const Recipe renderer = RendererRecipe(DefaultSinkDescription());
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(renderer.description.toUtf8().constData(), TRUE, &error);
    if (error) g_error_free(error);
    if (!sink) Fail("no renderer");
    impl_->playbinSink = Adopt(sink);
    TuneRendererBuffer(sink);
    GstElement* drainVideo = gst_element_factory_make("fakesink", nullptr);
    const QByteArray uri = FileUriOf(QFileInfo(path).absoluteFilePath());
    // Audio only: flags 0x2.
    g_object_set(playbin.get(), "uri", uri.constData(), "audio-sink", sink, "video-sink", drainVideo,
                 "flags", 0x2, nullptr);
    if (!gst_bin_add(GST_BIN(impl_->pipeline.get()), playbin.get())) Fail("playbin cannot join the graph");
    impl_->playbin = std::move(playbin);
}

GstElement* GraphImpl::RendererBin() const {
    if (playbinSink) return playbinSink.get();
    for (const auto& f : filters) {
        if (f->IsRenderer() && !f->Impl().parked) return f->Impl().bin.get();
    }
    return nullptr;
}

QString GraphImpl::SourceName() const {
    for (const auto& f : filters) {
        if (!f->Filename().isEmpty()) return f->Filename();
    }
    if (playbin) {
        gchar* uri = nullptr;
        g_object_get(playbin.get(), "uri", &uri, nullptr);
        const QString text = PathFromFileUri(QByteArray(uri));
        g_free(uri);
        return text;
    }
    return {};
}

}  // namespace rilumo::graph
