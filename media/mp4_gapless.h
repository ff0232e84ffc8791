#pragma once
// The encoder delay and padding an MP4/M4A file records for gapless
// playback in its iTunSMPB tag or its audio track's edit list: how many decoded samples to skip at the
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
// The payloads of an audio track's elst, of the movie's mvhd, the track's
// mdhd and stsd boxes; no trim when the edit list says none or its units are
// not the track's samples.
GaplessTrim ParseEditList(const QByteArray& elst, const QByteArray& mvhd, const QByteArray& mdhd,
                          const QByteArray& stsd);
// The tag's text: " 00000000 <delay> <padding> <samples> ...", in hex.
GaplessTrim ParseItunSmpb(const QByteArray& text);

}  // namespace rilumo
