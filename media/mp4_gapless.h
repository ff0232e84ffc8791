#pragma once
// The encoder delay and padding an MP4/M4A file records for gapless
// playback in its iTunSMPB tag: how many decoded samples to skip at the
// start and how many to keep after them.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace rilumo {

struct GaplessTrim {
    std::int64_t Skip = 0;  // priming samples the decoder puts out first
    std::int64_t Keep = 0;  // samples of the recording itself; 0 = no trim known
    bool Valid() const { return Keep > 0; }
};

// Never fails: a file without the tag, or not MP4 at all, gives no trim.
GaplessTrim ReadMp4GaplessTrim(const QString& path);
// The tag's text: " 00000000 <delay> <padding> <samples> ...", in hex.
GaplessTrim ParseItunSmpb(const QByteArray& text);

}  // namespace rilumo
