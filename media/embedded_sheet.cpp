#include "media/embedded_sheet.h"

#include <taglib/fileref.h>
#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>

#include <QFileInfo>
#include <QStringList>

#include "support/file_ops.h"
#include "support/paths.h"

namespace rilumo {

namespace {

// Far above any disc's sheet: a bigger one is damage, not a sheet.
constexpr int kMaxSheetChars = 256 * 1024;

bool IsFileLine(QStringView line) {
    line = line.trimmed();
    return line.size() > 5 && line.left(4).compare(u"FILE", Qt::CaseInsensitive) == 0 &&
           (line[4] == u' ' || line[4] == u'\t');
}

}  // namespace

bool MayEmbedSheet(const QString& path) {
    const QString e = LowerExtension(path);
    return e == u"flac" || e == u"wv" || e == u"ape";
}

QString EmbeddedSheetText(const QString& path) {
    // A pipe or a device under an audio name would hold the reader for good.
    if (!MayEmbedSheet(path) || !IsRegularFile(path)) return {};
    try {
        const QByteArray name = PathToBytes(path);
        TagLib::FileRef ref(name.constData(), false);
        if (ref.isNull()) return {};
        // Vorbis comments and APE tags both list it under this key, in any
        // letter case as written.
        const TagLib::PropertyMap props = ref.file()->properties();
        const auto it = props.find("CUESHEET");
        if (it == props.end() || it->second.isEmpty()) return {};
        const TagLib::String& text = it->second.front();
        if (text.size() > kMaxSheetChars) return {};
        return QString::fromStdWString(text.toWString());
    } catch (...) {
        return {};
    }
}

QByteArray SheetForFile(const QString& text, const QString& fileName) {
    // Unquoted, the reader takes the name up to the line's last blank, so a
    // name holding quotes or blanks stays whole; "./" keeps a leading quote
    // from reading as one.
    const QString fileLine = QStringLiteral("FILE ./") + fileName + QStringLiteral(" WAVE");
    QStringList lines = text.split(u'\n');
    bool named = false;
    for (QString& line : lines) {
        if (!IsFileLine(line)) continue;
        line = fileLine;
        named = true;
    }
    if (!named) lines.prepend(fileLine);
    return lines.join(u'\n').toUtf8();
}

CueSheet ReadEmbeddedSheet(const QString& path) {
    const QString text = EmbeddedSheetText(path);
    if (text.isEmpty()) {
        CueSheet none;
        none.failure = QStringLiteral("no sheet in the file's tags");
        return none;
    }
    const QFileInfo info(path);
    return ParseCueSheet(SheetForFile(text, info.fileName()), info.absolutePath());
}

}  // namespace rilumo
