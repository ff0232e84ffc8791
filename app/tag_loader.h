#pragma once
// Fills the playlist's tag cells from a worker thread, so that the list shows
// its entries at once and nothing the window does waits on a file. Results
// are keyed by the entry's path, never its row: entries moved, removed or
// cleared while their file was read cannot receive another file's tags. The
// cells are applied, and the list repainted, at most a few times a second.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/track_tags.h"

namespace rilumo {

class PlaybackController;
class UC_ListView;

class TagLoader : public QObject {
    Q_OBJECT
public:
    TagLoader(UC_ListView& list, PlaybackController& playback, QObject* parent = nullptr);
    ~TagLoader() override;

    // The entry at row was just added: its file is read in the background.
    void Add(int row);
    // The playing track's tags, once read since it started; nullptr before.
    const TrackTags* PlayingTags(const QString& path) const;
    // Nothing waits to be read or to be shown.
    bool Idle() const;
    // Results applied so far (the benchmark's and the tests' progress).
    qint64 Applied() const { return applied_; }

signals:
    void PlayingTagsRead();

private:
    struct Request {
        QString path;
        int rowHint = -1;  // where the entry was; checked, never trusted
        bool playing = false;
    };
    struct Result {
        Request request;
        TrackTags tags;
    };

    void Run();
    void Post(Request r);
    void Wake();
    void Drain();
    void Apply(const Result& r, std::vector<const Result*>& moved);
    void ApplyMoved(const std::vector<const Result*>& moved);
    void Show(int row, const Result& r);
    QString Shared(const QString& s);
    void FollowPlaying();
    void DropQueueWhenListEmpty();
    // With the mutex held.
    Request TakeRequest();
    void ForgetQueue();

    UC_ListView& list_;
    PlaybackController& playback_;
    QTimer pace_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Request> queue_;  // read from head_ on
    size_t head_ = 0;
    std::deque<Request> urgent_;  // the playing track goes first
    std::vector<Result> results_;
    int inFlight_ = 0;
    bool stop_ = false;
    bool wakePosted_ = false;
    bool playingRead_ = false;  // a playing track's result waits in results_

    // Artist, album and format texts repeat across a library; one copy each.
    QSet<QString> shared_;
    QString playingPath_;
    std::int32_t lastMode_ = 0;
    std::unique_ptr<TrackTags> playingTags_;
    qint64 applied_ = 0;
    std::vector<std::thread> workers_;
};

}  // namespace rilumo
