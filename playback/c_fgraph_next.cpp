// Gapless playback: the next file prepared while this one plays, and taken
// up when the renderer reaches it.

#include "playback/c_fgraph.h"
#include "playback/replaygain_stage.h"

#include "media/content_sniff.h"
#include "media/file_types.h"
#include "media/mp4_gapless.h"
#include "media/mpeg_info.h"
#include "media/wave_reader.h"
#include "support/error_trap.h"
#include "support/file_ops.h"

namespace rilumo {

namespace {

// A context for building one more graph the way ctx builds its own.
void copyChoices(const GraphContext& from, GraphContext& to) {
    to.WmaDmoPresent = from.WmaDmoPresent;
    to.Mp3DecoderKind = from.Mp3DecoderKind;
    to.DtvDvdPresent = from.DtvDvdPresent;
    to.RendererName = from.RendererName;
    to.SourceName = from.SourceName;
    to.WaveParserName = from.WaveParserName;
    to.WaveWriterName = from.WaveWriterName;
    to.FileWriterName = from.FileWriterName;
    to.Catalogue = from.Catalogue;
}

}  // namespace

void ApplyGaplessTrim(const QString& path, graph::Graph& graph) {
    const Chain chain = ChainOf(GetFileType(path));
    GaplessTrim t;
    if (chain == Chain::Decoder || chain == Chain::Mp4Splitter) t = ReadMp4GaplessTrim(path);
    if (chain == Chain::Mp3) {
        // The stream parser trims what an extension signed "LAME" says by itself.
        const MpegGapless g = ReadMpegGapless(path);
        if (g.Valid() && !g.Encoder.startsWith(QLatin1String("LAME"))) {
            t = GaplessTrim{g.Delay + kMpegDecoderDelay, g.Samples - g.Delay - g.Padding};
        }
    }
    if (t.Valid()) Ignore([&] { graph.SetTrim(t.Skip, t.Keep); });
}

bool C_FGraph::PrepareNext(const QString& name) {
    DropNext();
    if (!ctx_.Control || Loading() || OutputLost() || loaded_ != 1 || playing_ != 1 || !joinedName_.isEmpty()) {
        return false;
    }
    // The caller's own speed or stop point is for this file only.
    if (PlaySpeed_ != 1.0f || (ToMS_ != 0 && ToMS_ != Length_)) return false;
    if (!IsRegularFile(name) || IsNotAudio(SniffFile(name))) return false;
    // Should it never play, the ordinary load that follows logs for it.
    HeldLog held;
    GraphContext next;
    copyChoices(ctx_, next);
    bool spliced = false;
    Ignore([&] {
        CreateGraph(next);
        int built = SetupPinsToDecode(name, 0, next);
        if (built == 0) {
            DisconnectAll(next);
            built = SetupPinsToDecode(name, 1, next);
        }
        if (built != 0 && next.Control) {
            ApplyGaplessTrim(name, *next.Control);
            ApplyReplayGain(name, *next.Control);
            ctx_.Control->SpliceNext(*next.Control);
            spliced = true;
        }
    });
    DestroyGraph(next);
    if (!spliced) return false;
    nextLog_ = held.Take();
    nextName_ = name;
    return true;
}

void C_FGraph::DropNext() {
    if (nextName_.isEmpty()) return;
    bool dropped = true;
    Ignore([&] { dropped = !ctx_.Control || ctx_.Control->DropNext(); });
    // Past the switch the renderer already holds it: it is heard, and joins.
    if (!dropped) return;
    nextName_.clear();
    nextLog_.clear();
}

void C_FGraph::ForgetNext() {
    nextName_.clear();
    joinedName_.clear();
    nextLog_.clear();
}

bool C_FGraph::AdvanceNext() {
    if (nextName_.isEmpty()) return false;
    auto state = graph::Graph::NextState::Failed;
    Ignore([&] {
        if (ctx_.Control) state = ctx_.Control->PollNext();
    });
    using S = graph::Graph::NextState;
    if (state == S::None || state == S::Failed) {
        nextName_.clear();
        nextLog_.clear();
        return false;
    }
    if (state != S::Joined) return false;
    // As far as anyone asking can tell, the track has ended.
    joinedName_ = nextName_;
    nextName_.clear();
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    ForgetFile();
    return true;
}

bool C_FGraph::AdoptJoined() {
    if (joinedName_.isEmpty() || !ctx_.Control) return false;
    if (!Ignore([&] { ctx_.Control->AdoptNext(); })) return false;
    ended_ = false;
    WriteLines(nextLog_);
    nextLog_.clear();
    FileName_ = joinedName_;
    joinedName_.clear();
    loaded_ = 1;
    playing_ = 1;
    loadFailed_ = false;
    FromMS_ = 0;
    ToMS_ = 0;
    Length_ = 0;
    stage_ = LoadStage::Length;
    lengthClock_.start();
    Ignore([&] { ReadLength(); });
    return true;
}

}  // namespace rilumo
