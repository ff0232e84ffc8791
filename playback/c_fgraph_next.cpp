// Gapless playback: the next file prepared while this one plays, and taken
// up when the renderer reaches it.

#include "playback/c_fgraph.h"
#include "playback/replaygain_stage.h"

#include "media/content_sniff.h"
#include "media/cue_sheet.h"
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

// A joined track's start is decoded up to, not sought: further in than this
// it would come too late, and the ordinary start seeks to it instead.
constexpr std::int64_t kJoinStartLimitFrames = 60 * kCueFramesPerSecond;

}  // namespace

bool ApplySegment(const PlaySegment& segment, graph::Graph& graph) {
    if (!segment.isTrack) return true;
    return Ignore([&] { graph.SetSegment(segment.startFrames, segment.endFrames); });
}

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

bool C_FGraph::PrepareNext(const QString& name, const PlaySegment& segment) {
    DropNext();
    if (!ctx_.Control || Loading() || OutputLost() || loaded_ != 1 || playing_ != 1 || !joinedName_.isEmpty()) {
        return false;
    }
    // The caller's own speed or stop point is for this file only.
    if (PlaySpeed_ != 1.0f || (ToMS_ != 0 && ToMS_ != Length_)) return false;
    if (name == FileName_ && segment_.FollowedBy(segment)) return PrepareContinuation(segment);
    if (segment.isTrack && segment.startFrames > kJoinStartLimitFrames) return false;
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
            if (!ApplySegment(segment, *next.Control)) return;
            ApplyReplayGain(name, *next.Control, segment);
            ctx_.Control->SpliceNext(*next.Control);
            spliced = true;
        }
    });
    DestroyGraph(next);
    if (!spliced) return false;
    nextLog_ = held.Take();
    nextName_ = name;
    nextSegment_ = segment;
    return true;
}

bool C_FGraph::PrepareContinuation(const PlaySegment& segment) {
    bool extended = false;
    const double gain = ReplayGainLevel(FileName_, segment);
    Ignore([&] { extended = ctx_.Control->ExtendSegment(segment.endFrames, gain); });
    if (!extended) return false;
    nextName_ = FileName_;
    nextSegment_ = segment;
    nextContinues_ = true;
    return true;
}

void C_FGraph::DropNext() {
    if (nextName_.isEmpty()) return;
    bool dropped = true;
    Ignore([&] {
        if (!ctx_.Control) return;
        dropped = nextContinues_ ? ctx_.Control->DropContinuation(segment_.endFrames) : ctx_.Control->DropNext();
    });
    // Past the switch the renderer already holds it: it is heard, and joins.
    if (!dropped) return;
    nextName_.clear();
    nextLog_.clear();
    nextContinues_ = false;
}

void C_FGraph::ForgetNext() {
    nextName_.clear();
    joinedName_.clear();
    nextLog_.clear();
    nextContinues_ = false;
    joinedContinues_ = false;
}

bool C_FGraph::AdvanceNext() {
    if (nextName_.isEmpty()) return false;
    auto state = graph::Graph::NextState::Failed;
    Ignore([&] {
        if (ctx_.Control) state = nextContinues_ ? ctx_.Control->PollContinuation() : ctx_.Control->PollNext();
    });
    using S = graph::Graph::NextState;
    if (state == S::None || state == S::Failed) {
        nextName_.clear();
        nextLog_.clear();
        nextContinues_ = false;
        return false;
    }
    if (state != S::Joined) return false;
    // As far as anyone asking can tell, the track has ended.
    joinedName_ = nextName_;
    joinedSegment_ = nextSegment_;
    joinedContinues_ = nextContinues_;
    nextContinues_ = false;
    nextName_.clear();
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    ForgetFile();
    return true;
}

bool C_FGraph::AdoptJoined() {
    if (joinedName_.isEmpty() || !ctx_.Control) return false;
    const bool continues = joinedContinues_;
    if (!Ignore([&] { continues ? ctx_.Control->AdoptContinuation() : ctx_.Control->AdoptNext(); })) return false;
    joinedContinues_ = false;
    segment_ = joinedSegment_;
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
