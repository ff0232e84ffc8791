#include "app/sheet_fill.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include <algorithm>

#include "app/frm_main.h"
#include "app/list_columns.h"
#include "app/tag_loader.h"
#include "controls/listview/uc_listview.h"
#include "media/embedded_sheet.h"
#include "media/file_types.h"
#include "media/playlist_formats.h"
#include "media/track_tags.h"
#include "support/file_ops.h"
#include "support/paths.h"
#include "support/ui/message_box.h"

namespace rilumo {

namespace {

constexpr std::uint32_t kEntryColor = 0xE0E0E0;
// Far above any disc's sheet: a bigger ".cue" is something else.
constexpr qint64 kMaxSheetBytes = 1024 * 1024;
const QString kEntryNamesType = QStringLiteral("application/x-rilumo-entry-names");

CueSheet Unreadable(const QString& why) {
    CueSheet s;
    s.failure = why;
    return s;
}

CueSheet ReadSheetFile(const QString& path) {
    // A pipe or a device would hold the first read for good.
    if (!IsRegularFile(path)) return Unreadable(QStringLiteral("not a file"));
    QFile f;
    if (!OpenForRead(f, path)) return Unreadable(QStringLiteral("cannot open"));
    if (f.size() > kMaxSheetBytes) return Unreadable(QStringLiteral("too big"));
    return ParseCueSheet(f.readAll(), QFileInfo(path).absolutePath());
}

QString FallbackTitle(const QString& file, int number) {
    return DisplayName(TitleOf(file)) + u' ' + QStringLiteral("%1").arg(number, 2, 10, QChar(u'0'));
}

// The "タイトル" a sheet's tracks sort under: the sheet's own name.
QString GroupKey(const QString& file, const EntrySegment& s) {
    return TitleOf(s.sheetPath.isEmpty() ? file : s.sheetPath);
}

}  // namespace

bool IsSheetFile(const QString& path) { return LowerExtension(path) == u"cue"; }

std::vector<SheetEntry> SheetTrackEntries(const CueSheet& sheet, const QString& sheetPath) {
    std::vector<SheetEntry> out;
    out.reserve(sheet.tracks.size());
    for (const CueTrack& t : sheet.tracks) {
        SheetEntry e;
        e.file = t.file;
        e.segment = {true, t.start, t.end, sheetPath, t.number};
        e.title = t.title.isEmpty() ? FallbackTitle(t.file, t.number) : t.title;
        e.trackTitle = t.title;
        e.performer = t.performer;
        e.album = sheet.title;
        e.number = t.number;
        e.lengthMs = t.end >= 0 ? CueFramesToMs(t.end - t.start) : 0;
        out.push_back(std::move(e));
    }
    return out;
}

CueSheet ReadSheet(const QString& path) {
    return IsSheetFile(path) ? ReadSheetFile(path) : ReadEmbeddedSheet(path);
}

QString SheetProblem(const CueSheet& sheet) {
    if (!sheet.tracks.empty()) return {};
    if (sheet.files.isEmpty()) return QStringLiteral("CUE シートに再生できるファイルの指定がありません。");
    const QString missing = QStringLiteral("no playable file: ");
    if (sheet.failure.startsWith(missing))
        return QStringLiteral("CUE シートの指すファイルが見つかりません。\n") + sheet.failure.mid(missing.size());
    return QStringLiteral("CUE シートに再生できるトラックがありません。");
}

void ShowSheetTrack(UC_ListView& lv, int row, const SheetEntry& e) {
    lv.SetAuxID(row, 0, e.file);
    SetSegment(lv, row, e.segment);
    lv.SetValue(row, DataIndex(ListColumn::FileTitle), e.title);
    lv.SetValue(row, DataIndex(ListColumn::TagTitle), e.trackTitle);
    lv.SetValue(row, DataIndex(ListColumn::Artist), e.performer);
    lv.SetValue(row, DataIndex(ListColumn::Album), e.album);
    lv.SetValue(row, DataIndex(ListColumn::Track), e.number > 0 ? Value(e.number) : Value());
    lv.SetValue(row, DataIndex(ListColumn::Length), e.lengthMs > 0 ? Value(static_cast<double>(e.lengthMs)) : Value());
    ShowFileColumns(lv, row, e.file);
    lv.SetDispColor(row, kEntryColor);
    lv.SetIconType(row, FileTypeCode(e.file));
}

void ShowSheetFileTags(UC_ListView& lv, int row, const EntrySegment& s, const TrackTags& tags) {
    lv.SetValue(row, DataIndex(ListColumn::Format), FormatSummary(tags));
    if (s.endFrames >= 0 || tags.lengthMs <= 0) return;
    const std::int64_t left = tags.lengthMs - CueFramesToMs(s.startFrames);
    lv.SetValue(row, DataIndex(ListColumn::Length), left > 0 ? Value(static_cast<double>(left)) : Value());
}

QString SavedEntryName(const UC_ListView& lv, int row) {
    const QString path = lv.AuxID(row, 0).ToText();
    const EntrySegment s = SegmentOf(lv, row);
    if (!s.isTrack) return path;
    return SheetTrackName(s.sheetPath.isEmpty() ? path : s.sheetPath, s.trackNumber,
                           [](const QString& p) { return FileExists(p) == 1; });
}

void PutEntryNames(QMimeData& data, const QStringList& names) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << names;
    data.setData(kEntryNamesType, bytes);
}

QStringList EntryNamesOf(const QMimeData& data) {
    QStringList names;
    QDataStream in(data.data(kEntryNamesType));
    in >> names;
    return in.status() == QDataStream::Ok ? names : QStringList();
}

void SortKeepingSheets(UC_ListView& lv) {
    // The sort is stable: tracks given their sheet's name as a title keep
    // the order they were added in. Their own titles come back by entry.
    QHash<QString, Value> titles;
    const auto id = [&lv](int row) { return lv.AuxID(row, 0).ToText() + u'\n' + lv.AuxID(row, 1).ToText(); };
    for (int row = 0; row < lv.ItemCount(); ++row) {
        const EntrySegment s = SegmentOf(lv, row);
        if (!s.isTrack) continue;
        titles.insert(id(row), lv.Value(row, 0));
        lv.SetValue(row, 0, GroupKey(lv.AuxID(row, 0).ToText(), s));
    }
    lv.ReOrder(0, 1);
    if (titles.isEmpty()) return;
    for (int row = 0; row < lv.ItemCount(); ++row) {
        const auto it = titles.constFind(id(row));
        if (it != titles.constEnd()) lv.SetValue(row, 0, *it);
    }
}

bool TellSheetProblem(QWidget* owner, const QString& file) {
    const QString why = SheetProblem(ReadSheet(file));
    if (why.isEmpty()) return true;
    CenteredMessageBox(QStringLiteral("プレイリストを読み込めませんでした。\n%1\n%2").arg(file, why), 48,
                       QStringLiteral("Rilumo"), owner);
    return false;
}

SheetFiller::SheetFiller(FrmMain& window) : window_(window), lv_(window.LV()), tags_(window.Tags()) {}

int SheetFiller::AddNamed(const QString& path, int index, EmbeddedSheets embedded) {
    const int before = lv_.ItemCount();
    QString sheet;
    int number = 0;
    if (FileExists(path) != 1 && SplitSheetTrackName(path, &sheet, &number)) {
        AddTrack(sheet, number, index);
    } else if (IsSheetFile(path)) {
        AddSheet(path, index);
    } else if (embedded == EmbeddedSheets::Kept || AddEmbedded(path, index) == 0) {
        window_.AddTitle(path, index);
    }
    return lv_.ItemCount() - before;
}

void SheetFiller::OpenFolderSheets(const QStringList& sheetPaths, int firstRow) {
    QSet<QString> covered;
    for (const QString& sheetPath : sheetPaths) {
        const CueSheet& sheet = Sheet(sheetPath);
        const bool known = std::all_of(sheet.tracks.begin(), sheet.tracks.end(),
                                       [&covered](const CueTrack& t) { return covered.contains(t.file); });
        if (sheet.tracks.empty() || known) continue;
        for (const CueTrack& t : sheet.tracks) covered.insert(t.file);
        AddSheet(sheetPath, -2);
    }
    // From the end, so that the rows still to look at keep their places.
    for (int row = lv_.ItemCount() - 1; row >= firstRow; --row) {
        if (SegmentOf(lv_, row).isTrack) continue;
        const QString path = lv_.AuxID(row, 0).ToText();
        if (covered.contains(path) || AddEmbedded(path, row + 1) > 0) lv_.DeleteItem(row);
    }
}

QSet<QString> SheetFiller::FilesOfSheets(const QStringList& paths) {
    QSet<QString> files;
    for (const QString& p : paths) {
        if (!IsSheetFile(p)) continue;
        for (const CueTrack& t : Sheet(p).tracks) files.insert(t.file);
    }
    return files;
}

const CueSheet& SheetFiller::Sheet(const QString& path) {
    auto it = sheets_.find(path);
    if (it == sheets_.end()) it = sheets_.insert(path, ReadSheet(path));
    return *it;
}

int SheetFiller::AddSheet(const QString& sheetPath, int index) {
    return Add(SheetTrackEntries(Sheet(sheetPath), sheetPath), index);
}

int SheetFiller::AddTrack(const QString& sheetPath, int number, int index) {
    const QString own = IsSheetFile(sheetPath) ? sheetPath : QString();
    std::vector<SheetEntry> all = SheetTrackEntries(Sheet(sheetPath), own);
    const auto it = std::find_if(all.begin(), all.end(), [number](const SheetEntry& e) { return e.number == number; });
    if (it == all.end()) return 0;
    return Add({*it}, index);
}

int SheetFiller::AddEmbedded(const QString& audioPath, int index) {
    if (!MayEmbedSheet(audioPath)) return 0;
    return Add(SheetTrackEntries(Sheet(audioPath), QString()), index);
}

int SheetFiller::Add(const std::vector<SheetEntry>& entries, int index) {
    int row = index == -2 ? lv_.ItemCount() : index;
    if (row < 0 || row > lv_.ItemCount()) return 0;
    int added = 0;
    for (size_t k = 0; k < entries.size(); ++k) {
        if (!(row == lv_.ItemCount() ? lv_.AddItem(1) : lv_.InsertItem(row))) break;
        ShowSheetTrack(lv_, row, entries[k]);
        // One read of a file serves its tracks beside one another.
        if (k + 1 == entries.size() || entries[k + 1].file != entries[k].file) tags_.Add(row);
        ++row;
        ++added;
    }
    return added;
}

}  // namespace rilumo
