#include "app/tag_loader.h"

#include <QMetaObject>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>

#include "app/list_columns.h"
#include "app/playback_controller.h"
#include "app/sheet_fill.h"
#include "app/window_codes.h"
#include "controls/listview/uc_listview.h"
#include "support/memory.h"

namespace rilumo {

namespace {

// A few repaints a second keep a filling list alive without spending the
// window thread on pictures of rows that change again a moment later.
constexpr int kPaceMs = 250;
// Past this many texts, a library is not sharing them: start again.
constexpr int kSharedLimit = 50000;
constexpr int kWorkerNice = 10;
// Reads wait on the file system as much as they compute: two keep the
// processors busy while the window thread, ahead of them, stays free.
constexpr int kWorkers = 2;
// Free pages go back to the system once this many reads are followed by a
// pause; a few single reads do not leave enough behind to be worth it.
constexpr int kTrimAfter = 1000;
constexpr auto kTrimIdle = std::chrono::seconds(1);

}  // namespace

TagLoader::TagLoader(UC_ListView& list, PlaybackController& playback, QObject* parent)
    : QObject(parent), list_(list), playback_(playback) {
    pace_.setSingleShot(true);
    pace_.setInterval(kPaceMs);
    connect(&pace_, &QTimer::timeout, this, &TagLoader::Drain);
    connect(&playback_.Timer(), &QTimer::timeout, this, &TagLoader::FollowPlaying);
    for (int i = 0; i < kWorkers; ++i) workers_.emplace_back([this] { Run(); });
}

TagLoader::~TagLoader() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

void TagLoader::Add(int row) {
    const QString path = list_.AuxID(row, 0).ToText();
    if (!path.isEmpty()) Post({path, row, false});
}

void TagLoader::Post(Request r) {
    {
        std::lock_guard lock(mutex_);
        if (r.playing) {
            urgent_.push_back(std::move(r));
        } else {
            queue_.push_back(std::move(r));
        }
    }
    wake_.notify_one();
}

const TrackTags* TagLoader::PlayingTags(const QString& path) const {
    return playingTags_ && path == playingPath_ ? playingTags_.get() : nullptr;
}

bool TagLoader::Idle() const {
    std::lock_guard lock(mutex_);
    return head_ == queue_.size() && urgent_.empty() && results_.empty() && inFlight_ == 0;
}

void TagLoader::Run() {
    // The window's own work comes first when both want the processor.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
    std::unique_lock lock(mutex_);
    int sinceTrim = 0;
    for (;;) {
        const auto work = [this] { return stop_ || head_ < queue_.size() || !urgent_.empty(); };
        // A long fill leaves the allocator holding what its reads once used.
        if (sinceTrim >= kTrimAfter && !wake_.wait_for(lock, kTrimIdle, work)) {
            sinceTrim = 0;
            lock.unlock();
            ReturnFreeMemory();
            lock.lock();
            continue;
        }
        wake_.wait(lock, work);
        if (stop_) return;
        ++sinceTrim;
        Result r{TakeRequest(), {}};
        ++inFlight_;
        lock.unlock();
        r.tags = ReadTrackTags(r.request.path);
        lock.lock();
        --inFlight_;
        playingRead_ = playingRead_ || r.request.playing;
        const bool playing = r.request.playing;
        results_.push_back(std::move(r));
        // One call waits on the window thread at a time, and none while the
        // pace timer will come anyway, except for the playing track.
        if (!wakePosted_ || playing) {
            wakePosted_ = true;
            QMetaObject::invokeMethod(this, &TagLoader::Wake, Qt::QueuedConnection);
        }
    }
}

void TagLoader::Wake() {
    bool playing = false;
    {
        std::lock_guard lock(mutex_);
        playing = playingRead_;
    }
    // The pace timer takes what comes meanwhile; the playing track does not wait.
    if (pace_.isActive() && !playing) return;
    Drain();
}

void TagLoader::Drain() {
    std::vector<Result> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(results_);
        playingRead_ = false;
        wakePosted_ = false;
    }
    if (batch.empty()) return;
    pace_.start();
    const int top = list_.TopRow(), bottom = top + list_.RowsPerPage();
    std::vector<const Result*> moved;
    bool onScreen = false;
    for (const Result& r : batch) {
        const int row = r.request.rowHint;
        Apply(r, moved);
        onScreen = onScreen || (row >= top && row <= bottom);
    }
    ApplyMoved(moved);
    DropQueueWhenListEmpty();
    if (onScreen || !moved.empty()) list_.ReDraw();
}

void TagLoader::Apply(const Result& r, std::vector<const Result*>& moved) {
    if (r.request.playing && r.request.path == playingPath_) {
        playingTags_ = std::make_unique<TrackTags>(r.tags);
        emit PlayingTagsRead();
    }
    const int row = r.request.rowHint;
    if (row >= 0 && row < list_.ItemCount() && list_.AuxID(row, 0).ToText() == r.request.path) {
        Show(row, r);
    } else {
        moved.push_back(&r);
    }
}

// Entries that moved since they were asked for are found by their path, in
// one pass over the list; an entry no longer there gets nothing.
void TagLoader::ApplyMoved(const std::vector<const Result*>& moved) {
    if (moved.empty()) return;
    QHash<QString, const Result*> byPath;
    for (const Result* r : moved) byPath.insert(r->request.path, r);
    const int count = list_.ItemCount();
    for (int row = 0; row < count; ++row) {
        const auto it = byPath.constFind(list_.AuxID(row, 0).ToText());
        if (it != byPath.constEnd()) Show(row, **it);
    }
}

void TagLoader::Show(int row, const Result& r) {
    if (!r.tags.read) {
        ++applied_;
        return;
    }
    TrackTags t = r.tags;
    // Made here, the text kept in the cell does not pin the worker's heap,
    // whose pages its reads then give back whole.
    t.title = QString(t.title.constData(), t.title.size());
    t.artist = Shared(t.artist);
    t.albumArtist = Shared(t.albumArtist);
    t.album = Shared(t.album);
    t.genre = Shared(t.genre);
    t.formatName = Shared(t.formatName);
    ++applied_;
    const EntrySegment segment = SegmentOf(list_, row);
    if (!segment.isTrack) {
        ShowTrackTags(list_, row, t);
        return;
    }
    // The tracks of one file beside it asked once for all of them.
    const QString& path = r.request.path;
    int first = row, last = row;
    while (first > 0 && list_.AuxID(first - 1, 0).ToText() == path) --first;
    while (last + 1 < list_.ItemCount() && list_.AuxID(last + 1, 0).ToText() == path) ++last;
    for (int i = first; i <= last; ++i) {
        const EntrySegment s = i == row ? segment : SegmentOf(list_, i);
        if (s.isTrack) ShowSheetFileTags(list_, i, s, t);
    }
}

QString TagLoader::Shared(const QString& s) {
    if (s.isEmpty()) return {};
    const auto it = shared_.constFind(s);
    if (it != shared_.constEnd()) return *it;
    if (shared_.size() >= kSharedLimit) shared_.clear();
    shared_.insert(s);
    return s;
}

// A track is read again each time it starts, so that a file changed since
// the list was filled shows, and tells the desktop, what it now holds.
void TagLoader::FollowPlaying() {
    const std::int32_t mode = playback_.State().lastSeenMode;
    const bool started = mode == kModePlaying && lastMode_ != kModePlaying && lastMode_ != kModePaused;
    lastMode_ = mode;
    const QString path = playback_.CurrentTrack().path;
    if (path == playingPath_ && !started) return;
    playingPath_ = path;
    playingTags_.reset();
    if (!path.isEmpty()) Post({path, playback_.State().playIndex, true});
}

void TagLoader::DropQueueWhenListEmpty() {
    if (list_.ItemCount() > 0) return;
    std::lock_guard lock(mutex_);
    ForgetQueue();
}

TagLoader::Request TagLoader::TakeRequest() {
    if (!urgent_.empty()) {
        Request r = std::move(urgent_.front());
        urgent_.pop_front();
        return r;
    }
    Request r = std::move(queue_[head_++]);
    if (head_ == queue_.size()) ForgetQueue();
    return r;
}

// One block for a whole fill, handed back in one piece: a queue of small
// blocks would leave holes between the entries' own memory.
void TagLoader::ForgetQueue() {
    queue_.clear();
    queue_.shrink_to_fit();
    head_ = 0;
}

}  // namespace rilumo
