#pragma once
// The format summary made on a worker thread, for a window that must not wait
// on a file or a graph while it is made.

#include <QObject>
#include <QString>

#include <functional>

#include "playback/media_summary.h"

namespace rilumo {

// Builds the summary of path on a thread of its own and calls done with it on
// the application's thread, through its event queue; never once receiver is
// gone. A failure the summary lets through is raised there instead of done.
void BuildMediaSummaryLater(const QString& path, QObject* receiver,
                            std::function<void(const MediaSummary&)> done);

// At the program's end: summaries still under way give up their players and
// deliver nothing, and none starts any more. Waits at most ms for their
// threads; false when some remain.
bool FinishMediaSummaries(int ms);

}  // namespace rilumo
