// The sheet reader on any bytes, against a folder holding a few files a
// sheet may name, so that tracks come out and their invariants are checked.

#include <QDir>

#include "media/cue_sheet.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

QString sheetFolder() {
    static const QString folder = [] {
        const QString dir = rilumo::fuzz::InputPath("cue.d");
        QDir().mkpath(dir + QStringLiteral("/disc"));
        for (const char* name : {"a.wav", "B.flac", "disc/c.mp3", "image.bin"}) {
            const QByteArray bytes("RIFF");
            rilumo::fuzz::WriteInput(dir + u'/' + QString::fromUtf8(name),
                                     reinterpret_cast<const std::uint8_t*>(bytes.constData()), 4);
        }
        return dir;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rilumo::fuzz::Check;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const rilumo::CueSheet sheet = rilumo::ParseCueSheet(bytes, sheetFolder());
    Check(sheet.tracks.empty() != sheet.failure.isEmpty());
    for (size_t i = 0; i < sheet.tracks.size(); ++i) {
        const rilumo::CueTrack& t = sheet.tracks[i];
        Check(!t.file.isEmpty() && QFile::exists(t.file));
        Check(t.start >= 0 && (t.end == -1 || t.end > t.start));
        Check(t.pregap == -1 || (t.pregap >= 0 && t.pregap <= t.start));
        if (i + 1 < sheet.tracks.size() && sheet.tracks[i + 1].file == t.file) Check(t.end == sheet.tracks[i + 1].start);
    }
    return 0;
}
