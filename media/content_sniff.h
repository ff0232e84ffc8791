#pragma once
// A cheap look at a file's first bytes before a graph is built for it: a
// half-downloaded file of zeros, a picture or a text under an audio name is
// refused at once instead of tying up the decoders until the load limit.

#include <QByteArray>
#include <QString>

namespace rilumo {

enum class Content {
    Unknown,  // may be audio: the graph decides
    Empty,
    Zeros,
    Picture,
    Document,
    Archive,
    Program,
    Text,
};

// The bytes looked at: enough for every magic and a fair sample of text.
constexpr int kSniffBytes = 1024;

// What the head of a file (its first kSniffBytes, or all of a shorter one)
// shows it is not.
Content SniffContent(const QByteArray& head);

// Reads the head of path; a file that cannot be read is Unknown, so that
// the load reports it the ordinary way.
Content SniffFile(const QString& path);

inline bool IsNotAudio(Content c) { return c != Content::Unknown; }

}  // namespace rilumo
