#include "playback/graph/filter.h"

#include <filesystem>

#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"

namespace rilumo::graph {

// ---- dynamic outputs (streaming threads) -----------------------------------

namespace {

void padAdded(GstElement*, GstPad* pad, gpointer self) { static_cast<DynamicOutput*>(self)->OnPad(pad); }
void noMorePads(GstElement* from, gpointer self) { static_cast<DynamicOutput*>(self)->OnNoMorePads(from); }
void padRemoved(GstElement*, GstPad* pad, gpointer self) {
    static_cast<DynamicOutput*>(self)->OnPadRemoved(pad);
}

void haveType(GstElement*, guint, GstCaps* caps, gpointer self) {
    auto* out = static_cast<DynamicOutput*>(self);
    const QString type = CapsName(caps);
    if (!out->gate.contains(type)) out->PostError(QStringLiteral("unsupported stream type ") + type);
}

// Only demuxers see containers; everything else that is not audio is passed
// on undecoded (and drained), so no picture is ever decoded for nothing.
gboolean autoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    if (IsAudio(caps)) return TRUE;
    static GList* demuxers = gst_element_factory_list_get_elements(
        GST_ELEMENT_FACTORY_TYPE_DEMUXER | GST_ELEMENT_FACTORY_TYPE_PARSER, GST_RANK_MARGINAL);
    GList* able = gst_element_factory_list_filter(demuxers, caps, GST_PAD_SINK, FALSE);
    bool container = false;
    for (GList* f = able; f && !container; f = f->next) {
        const gchar* klass = gst_element_factory_get_metadata(GST_ELEMENT_FACTORY(f->data),
                                                              GST_ELEMENT_METADATA_KLASS);
        container = klass && strstr(klass, "Demux");
    }
    gst_plugin_feature_list_free(able);
    return container ? TRUE : FALSE;
}

void drain(GstElement* bin, GstPad* pad) {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (!sink) return;
    g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(bin), sink);
    PadPtr in(gst_element_get_static_pad(sink, "sink"));
    gst_pad_link(pad, in.get());
    gst_element_sync_state_with_parent(sink);
}

}  // namespace

DynamicOutput::~DynamicOutput() {
    std::lock_guard guard(lock);
    for (const ElementPtr& e : hooked) {
        g_signal_handlers_disconnect_matched(e.get(), G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    }
}

void DynamicOutput::Attach(GstElement* element) {
    {
        std::lock_guard guard(lock);
        hooked.emplace_back(GST_ELEMENT(gst_object_ref(element)));
    }
    g_signal_connect(element, "pad-added", G_CALLBACK(padAdded), this);
    g_signal_connect(element, "no-more-pads", G_CALLBACK(noMorePads), this);
    g_signal_connect(element, "pad-removed", G_CALLBACK(padRemoved), this);
    if (g_str_has_prefix(G_OBJECT_TYPE_NAME(element), "GstDecodeBin")) {
        g_signal_connect(element, "autoplug-continue", G_CALLBACK(autoplugContinue), this);
    }
}

void DynamicOutput::AttachGate(GstElement* typefind) {
    {
        std::lock_guard guard(lock);
        hooked.emplace_back(GST_ELEMENT(gst_object_ref(typefind)));
    }
    g_signal_connect(typefind, "have-type", G_CALLBACK(haveType), this);
}

void DynamicOutput::OnPad(GstPad* pad) {
    if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC) return;
    CapsPtr caps = PadCaps(pad);
    gchar* padName = gst_pad_get_name(pad);
    const bool audio = IsAudio(caps.get()) ||
                       (gst_caps_is_any(caps.get()) && strstr(padName, "audio") != nullptr);
    g_free(padName);
    std::unique_lock guard(lock);
    if (targeted || !audio) {
        guard.unlock();
        drain(bin, pad);
        return;
    }
    if (rawOnly && !IsRawAudioOnly(caps.get())) {
        ++pendingDecoders;
        guard.unlock();
        GstElement* decoder = gst_element_factory_make("decodebin", nullptr);
        if (!decoder) {
            PostError(QStringLiteral("no decoder for ") + CapsName(caps.get()));
            return;
        }
        Attach(decoder);
        gst_bin_add(GST_BIN(bin), decoder);
        PadPtr in(gst_element_get_static_pad(decoder, "sink"));
        gst_pad_link(pad, in.get());
        gst_element_sync_state_with_parent(decoder);
        return;
    }
    gst_ghost_pad_set_target(GST_GHOST_PAD(ghost), pad);
    targeted = true;
}

void DynamicOutput::OnNoMorePads(GstElement* from) {
    std::unique_lock guard(lock);
    if (from != demux && pendingDecoders > 0) --pendingDecoders;
    // An inserted decoder still looking for its pads decides for itself.
    if (targeted || pendingDecoders > 0) return;
    guard.unlock();
    PostError(QStringLiteral("no audio stream"));
}

void DynamicOutput::OnPadRemoved(GstPad* pad) {
    std::lock_guard guard(lock);
    PadPtr target(gst_ghost_pad_get_target(GST_GHOST_PAD(ghost)));
    if (target.get() == pad) {
        gst_ghost_pad_set_target(GST_GHOST_PAD(ghost), nullptr);
        targeted = false;
    }
}

void DynamicOutput::PostError(const QString& text) {
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_WRONG_TYPE, text.toUtf8().constData());
    gst_element_post_message(bin, gst_message_new_error(GST_OBJECT(bin), error, nullptr));
    g_error_free(error);
}

// ---- pins -------------------------------------------------------------------

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

// ---- filters ----------------------------------------------------------------

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
    std::error_code ec;
    // A named pipe or a device would block the source's open for good.
    if (!std::filesystem::is_regular_file(std::filesystem::path(path.toStdString()), ec)) {
        Fail("not a regular file: " + path.toStdString());
    }
    g_object_set(impl_->location, "location", path.toUtf8().constData(), nullptr);
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
