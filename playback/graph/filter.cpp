#include "playback/graph/filter.h"

#include "playback/graph/graph_impl.h"
#include "playback/graph/renderer_buffer.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/paths.h"

namespace rilumo::graph {

Pin::Pin(std::unique_ptr<PinImpl> impl) : impl_(std::move(impl)) {}
Pin::~Pin() = default;

int Pin::Direction() const { return impl_->direction; }
QString Pin::PinID() const { return impl_->id; }
Filter& Pin::FilterInfo() const { return *impl_->owner; }
Pin* Pin::ConnectedTo() const { return impl_->peer; }

void Pin::Connect(Pin& input) {
    if (Direction() != 1 || input.Direction() != 0) Fail("pins of the wrong direction");
    if (impl_->peer || input.impl_->peer) Fail("pin already connected");
    if (&FilterInfo() == &input.FilterInfo()) Fail("a filter cannot feed itself");
    impl_->owner->Impl().graph->Impl().ConnectPins(*this, input);
}

void Pin::Disconnect() {
    Pin* peer = impl_->peer;
    if (!peer) return;
    Pin& up = Direction() == 1 ? *this : *peer;
    Pin& down = Direction() == 1 ? *peer : *this;
    gst_pad_unlink(up.impl_->pad.get(), down.impl_->pad.get());
    if (up.impl_->dynamic) up.impl_->dynamic->rawOnly = false;
    up.impl_->peer = nullptr;
    down.impl_->peer = nullptr;
}

Filter::Filter(Graph& graph, const QString& name, const Recipe& recipe) : impl_(std::make_unique<FilterImpl>()) {
    impl_->graph = &graph;
    impl_->name = name;
    impl_->recipe = recipe;
    impl_->Build(*this);
}

Filter::~Filter() = default;

QString Filter::Name() const { return impl_->name; }
int Filter::IsFileSource() const { return impl_->recipe.fileSource ? 1 : 0; }
QString Filter::Filename() const { return impl_->filename; }
const std::vector<std::unique_ptr<Pin>>& Filter::Pins() const { return impl_->pins; }
bool Filter::IsRenderer() const { return impl_->recipe.renderer; }

bool Filter::IsConnected() const {
    for (const auto& p : impl_->pins) {
        if (p->ConnectedTo()) return true;
    }
    return false;
}

void Filter::SetFilename(const QString& path) {
    if (!impl_->recipe.fileSource || !impl_->location) Fail("not a file source");
    // A named pipe or a device would block the source's open for good.
    if (!IsRegularFile(path)) Fail("not a regular file: " + path.toStdString());
    g_object_set(impl_->location, "location", PathToBytes(path).constData(), nullptr);
    impl_->filename = path;
}

void FilterImpl::AddPin(Filter& self, GstPad* target, const QString& id, GstPadDirection dir) {
    GstPad* ghost = target ? gst_ghost_pad_new(id.toUtf8().constData(), target)
                           : gst_ghost_pad_new_no_target(id.toUtf8().constData(), dir);
    if (!ghost) Fail("pin cannot be made: " + id.toStdString());
    gst_object_ref(ghost);
    gst_element_add_pad(bin.get(), ghost);
    auto p = std::make_unique<PinImpl>();
    p->owner = &self;
    p->pad.reset(ghost);
    p->id = id;
    p->direction = dir == GST_PAD_SRC ? 1 : 0;
    pins.push_back(std::unique_ptr<Pin>(new Pin(std::move(p))));
}

void FilterImpl::Build(Filter& self) {
    EnsureGstInit();
    GError* error = nullptr;
    GstElement* made = gst_parse_bin_from_description_full(recipe.description.toUtf8().constData(), FALSE,
                                                           nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &error);
    if (!made) {
        const std::string why = error ? error->message : "unknown";
        if (error) g_error_free(error);
        Fail("filter cannot be made: " + why);
    }
    if (error) g_error_free(error);
    bin = Adopt(made);
    if (recipe.renderer) TuneRendererBuffer(bin.get());
    GstBin* asBin = GST_BIN(bin.get());

    auto padOf = [&](const PinSpec& pin) -> PadPtr {
        ElementPtr e(gst_bin_get_by_name(asBin, pin.element.toUtf8().constData()));
        if (!e) Fail("no element " + pin.element.toStdString());
        PadPtr pad(gst_element_get_static_pad(e.get(), pin.pad.toUtf8().constData()));
        if (!pad) Fail("no pad " + pin.pad.toStdString());
        return pad;
    };
    if (!recipe.inputs.isEmpty() || !recipe.outputs.isEmpty()) {
        for (const PinSpec& s : recipe.inputs) AddPin(self, padOf(s).get(), s.name, GST_PAD_SINK);
        for (const PinSpec& s : recipe.outputs) AddPin(self, padOf(s).get(), s.name, GST_PAD_SRC);
    } else {
        PadPtr in(gst_bin_find_unlinked_pad(asBin, GST_PAD_SINK));
        if (in) AddPin(self, in.get(), QStringLiteral("In"), GST_PAD_SINK);
        if (recipe.output == OutputKind::Dynamic) {
            AddPin(self, nullptr, QStringLiteral("Audio"), GST_PAD_SRC);
        } else {
            PadPtr out(gst_bin_find_unlinked_pad(asBin, GST_PAD_SRC));
            if (out) AddPin(self, out.get(), QStringLiteral("Out"), GST_PAD_SRC);
        }
    }
    if (recipe.output == OutputKind::Dynamic) {
        ElementPtr demux(gst_bin_get_by_name(asBin, "demux"));
        if (!demux) Fail("dynamic recipe without a demux element");
        dynamic = std::make_unique<DynamicOutput>();
        dynamic->bin = bin.get();
        dynamic->ghost = pins.back()->Impl().pad.get();
        dynamic->gate = recipe.gate;
        dynamic->demux = demux.get();
        pins.back()->Impl().dynamic = dynamic.get();
        dynamic->Attach(demux.get());
        ElementPtr gate(gst_bin_get_by_name(asBin, "gate"));
        if (gate) dynamic->AttachGate(gate.get());
    }
    if (recipe.fileSource) {
        ElementPtr source(gst_bin_get_by_name(asBin, "source"));
        location = source ? source.get() : FindWithProperty(bin.get(), "location");
    }
}

}  // namespace rilumo::graph
