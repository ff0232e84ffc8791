// The playlist menu, the folder scan, list files and drops onto the list.

#include "app/playlist_commands.h"

#include <QApplication>
#include <QMimeData>
#include <QUrl>

#include "app/frm_main.h"
#include "app/list_columns.h"
#include "app/sheet_fill.h"
#include "app/tag_loader.h"
#include "controls/surface_widget.h"
#include "media/playlist_formats.h"
#include "support/error_trap.h"
#include "support/event_pump.h"
#include "support/file_ops.h"
#include "support/paths.h"
#include "support/settings.h"
#include "support/ui/dialogs.h"
#include "support/ui/message_box.h"

namespace rilumo {

namespace {

constexpr std::uint32_t kEntryColor = 0xE0E0E0;

// Holds the hourglass for the length of a command, also when it fails.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Holds the busy flag for a scope, also when a step fails.
class BusyFlag {
public:
    explicit BusyFlag(std::int32_t& flag) : flag_(flag) { flag_ = 1; }
    ~BusyFlag() { flag_ = 0; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    std::int32_t& flag_;
};

// The dropped files' paths from the URI list's own bytes: Qt's reading of
// a URI turns a name that is not UTF-8 into other characters.
QStringList DroppedFiles(const QMimeData& data) {
    QStringList files;
    const QByteArray list = data.data(QStringLiteral("text/uri-list"));
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QString path = PathFromFileUri(line);
        if (!path.isEmpty()) files << path;
    }
    if (!list.isEmpty()) return files;
    for (const QUrl& u : data.urls())
        if (u.isLocalFile()) files << PathFromFileUri(u.toEncoded());
    return files;
}

}  // namespace

void FrmMain::AddTitle(const QString& path, std::int32_t index) {
    const std::int32_t code = FileTypeCode(path);
    if (code == 0) return;
    if (index == -2) {
        lv_->AddItem(1);
    } else {
        lv_->InsertItem(index);
    }
    lv_->SetAuxID(index, 0, path);
    lv_->SetValue(index, 0, DisplayName(TitleOf(path)));
    ShowFileColumns(*lv_, index, path);
    lv_->SetDispColor(index, kEntryColor);
    lv_->SetIconType(index, code);
    tags_->Add(index == -2 ? lv_->ItemCount() - 1 : index);
}

void FrmMain::AddFolder(const QString& folderIn) {
    const QString folder = FixTrailingSlash(folderIn, false);
    if (!DirectoryExists(folder)) return;
    // An Esc pressed outside a scan must not stop this one before it starts.
    state_.cancelScan = 0;
    int count = 0;
    // What the list showed at its last repaint: entries appended below the
    // view since then change nothing on screen, and a long scan would
    // otherwise spend most of its time repainting the same rows.
    int paintedCount = -1;
    QSize paintedSize;
    const int firstRow = lv_->ItemCount();
    QStringList sheets;
    Trap([&] {
        // Files only, in the order the file system lists them; no recursion.
        FolderFiles files(folder);
        QString name;
        while (files.Next(name)) {
            if (count % 100 == 0) {
                DoEvents();
                if (state_.cancelScan == 1 || closing_) {
                    state_.cancelScan = 0;
                    break;
                }
                ShowScanCount(QString::number(count));
                const QSize size = lv_->PictureList()->size();
                if (paintedCount < 0 || paintedCount <= lv_->TopRow() + lv_->RowsPerPage() ||
                    size != paintedSize) {
                    lv_->ReDraw();
                    paintedCount = lv_->ItemCount();
                    paintedSize = size;
                }
                lv_->SetVbarParm();
            }
            if (IsSheetFile(name)) {
                sheets << folder + name;
            } else {
                AddTitle(folder + name, kLastEntry);
            }
            ++count;
        }
        sheets.sort();
        SheetFiller(*this).OpenFolderSheets(sheets, firstRow);
    });
    ShowScanCount(QString());
    lv_->Refresh();
    setWindowTitle(QStringLiteral("Rilumo"));
}

void FrmMain::ReadList(const QString& file) {
    SheetFiller sheets(*this);
    Trap([&] {
        if (IsSheetFile(file)) {
            sheets.AddSheet(file, kLastEntry);
            return;
        }
        const ListEntries list = ReadListEntries(file);
        for (const EntryReadings& entry : list.entries) {
            DoEvents();
            if (closing_) break;
            const QString path = ExistingEntryPath(entry, list.baseFolder);
            if (!path.isEmpty()) sheets.AddNamed(path, kLastEntry, EmbeddedSheets::Kept);
        }
    });
    lv_->Refresh();
}

bool FrmMain::TellListProblem(const QString& file) {
    const QString why = ListFileProblem(file);
    if (why.isEmpty()) return true;
    CenteredMessageBox(QStringLiteral("プレイリストを読み込めませんでした。\n%1\n%2").arg(file, why), 48,
                       QStringLiteral("Rilumo"), this);
    return false;
}

bool FrmMain::WriteList(const QString& file) {
    QStringList paths;
    paths.reserve(lv_->ItemCount());
    for (int i = 0; i < lv_->ItemCount(); ++i) paths << SavedEntryName(*lv_, i);
    QString why;
    QStringList leftOut;
    const bool written = WriteListFile(file, paths, &why, &leftOut);
    if (!leftOut.isEmpty()) TellLeftOut(leftOut);
    if (written) return true;
    // The only message of the playlist commands: a lost save must not go unnoticed.
    CenteredMessageBox(QStringLiteral("プレイリストを保存できませんでした。\n%1\n%2").arg(file, why), 48,
                       QStringLiteral("Rilumo"), this);
    return false;
}

void FrmMain::TellLeftOut(const QStringList& paths) {
    constexpr int kShown = 10;
    QStringList names;
    for (const QString& p : paths.mid(0, kShown)) {
        QString shown = DisplayName(p);
        names << shown.replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    }
    if (paths.size() > kShown) names << QStringLiteral("ほか %1 件").arg(paths.size() - kShown);
    CenteredMessageBox(QStringLiteral("名前に改行を含むファイルはプレイリストに書けないため、保存しませんでした。\n%1")
                           .arg(names.join(u'\n')),
                       48, QStringLiteral("Rilumo"), this);
}

void FrmMain::MenuFileClick(int index) {
    if (state_.busy == 1) return;
    CommandGuard::Scope running(Commands());
    playback_->StopForCommand();
    state_.busy = 1;
    {
        BusyCursor hourglass;
        DoEvents();
        Trap([&] {
            if (closing_) return;
            switch (index) {
            case kMenuLoad:
            case kMenuSave: {
                const QString folder = ReadSetting(QStringLiteral("ListFolder"), AppFolder());
                const QString filter = index == kMenuSave ? QStringLiteral("プレイリスト|*.*")
                                                          : QStringLiteral("プレイリスト|*.*|CUE シート|*.cue");
                const QString path = FileDialog(this, index == kMenuSave, filter, folder, QString(), -1);
                if (path.isEmpty()) return;
                WriteSetting(QStringLiteral("ListFolder"), FolderOf(path));
                if (index == kMenuSave) {
                    WriteList(EnsureExtension(path, QStringLiteral(".lst")));
                } else {
                    // A list that cannot be read must not cost the user the playlist.
                    if (IsSheetFile(path) && FileExists(path)) {
                        if (!TellSheetProblem(this, path)) return;
                    } else if ((FileExists(path) || DirectoryExists(path)) && !TellListProblem(path)) {
                        return;
                    }
                    if (!FileExists(path)) return;
                    lv_->DeleteAll();
                    ReadList(path);
                    if (LowerExtension(path) == QLatin1String("rnl")) lv_->RndItem();
                }
                break;
            }
            case kMenuFolder:
            case kMenuFolderShuffled: {
                const QString start = ReadSetting(QStringLiteral("RndFolder"), AppFolder());
                const QString folder = BrowseFolder(start, QStringLiteral("音声ファイルのあるフォルダ"), this);
                if (folder.isEmpty()) return;
                lv_->DeleteAll();
                WriteSetting(QStringLiteral("RndFolder"), folder);
                AddFolder(folder);
                if (index == kMenuFolder) {
                    SortKeepingSheets(*lv_);
                } else {
                    // Shuffled twice, the second time from a fresh seed.
                    lv_->RndItem();
                    lv_->RndItem();
                }
                break;
            }
            case kMenuShuffle: lv_->RndItem(); break;
            case kMenuClear: lv_->DeleteAll(); break;
            default: return;
            }
            lv_->Refresh();
        });
    }
    state_.busy = 0;
}

void FrmMain::LoadCommandLineList() {
    const QString t = CommandLinePath(args_);
    if (!FileExists(t)) return;
    if (IsSheetFile(t) && !TellSheetProblem(this, t)) return;
    // Ticks and input run while the list reads; the commands must wait for it.
    // Like any command it leaves playback to the user: the first tick would
    // otherwise take the idle player for a finished track and start entry 1.
    CommandGuard::Scope running(Commands());
    playback_->State().userStop = 1;
    state_.busy = 1;
    {
        BusyCursor hourglass;
        Trap([&] {
            ReadList(t);
            if (LowerExtension(t) == QLatin1String("rnl")) lv_->RndItem();
            lv_->Refresh();
        });
    }
    state_.busy = 0;
}

// The dragged entries' own names for the files dropped, each file taking the
// first entry of its name or path not yet taken; false when a file is none
// of them.
bool FrmMain::OwnEntryNames(const QStringList& files, QStringList& names) const {
    std::vector<bool> taken(dragOut_.entries.size(), false);
    QStringList out;
    for (const QString& f : files) {
        size_t k = 0;
        const auto names = [&f](const DraggedEntry& e) { return e.name == f || e.path == f; };
        while (k < taken.size() && (taken[k] || !names(dragOut_.entries[k]))) ++k;
        if (k == taken.size()) return false;
        taken[k] = true;
        out << dragOut_.entries[k].name;
    }
    names = out;
    return true;
}

void FrmMain::DropOnList(const QStringList& files, float y) {
    CommandGuard::Scope running(Commands());
    const int index = lv_->YsItem(y);
    const std::int32_t mode = PlayerMode();
    if ((mode == kModePaused || mode == kModePlaying) && index == 0) {
        // Entries dragged out of this list and refused here go back.
        dragOut_.refused = dragOut_.active;
        return;
    }
    // Held like a command's: a clear or a delete between two inserted files
    // would leave the insertion row and the play index behind.
    BusyFlag held(state_.busy);
    BusyCursor hourglass;
    // The files go in in the order they were dropped, from the drop row on.
    int at = index;
    SheetFiller sheets(*this);
    const auto insert = [&](const QString& path, EmbeddedSheets embedded) {
        const int added = sheets.AddNamed(path, at, embedded);
        FollowInsertion(at, added);
        at += added;
    };
    // Entries dragged out of this list come back as they were, a sheet's
    // track as that track, not as whatever their files hold.
    QStringList names = files;
    const bool ownEntries = dragOut_.active && OwnEntryNames(files, names);
    const QSet<QString> ofSheets = ownEntries ? QSet<QString>() : sheets.FilesOfSheets(names);
    for (const QString& f : names) {
        DoEvents();
        if (closing_) break;
        if (ofSheets.contains(f)) continue;
        if (IsListFile(f)) {
            const ListEntries list = ReadListEntries(f);
            for (const EntryReadings& entry : list.entries) {
                const QString path = ExistingEntryPath(entry, list.baseFolder);
                if (!path.isEmpty()) insert(path, EmbeddedSheets::Kept);
            }
            continue;
        }
        insert(f, ownEntries ? EmbeddedSheets::Kept : EmbeddedSheets::Opened);
    }
    lv_->ReDraw();
    lv_->SetVbarParm();
}

void FrmMain::OnListDrop(const QMimeData* data, float y) {
    if (!data || !data->hasUrls()) return;
    // Entries dragged out of this list come back by their own names.
    const QStringList own = dragOut_.active ? EntryNamesOf(*data) : QStringList();
    const QStringList files = own.isEmpty() ? DroppedFiles(*data) : own;
    // The drop's data belongs to the drag; only its file list may wait.
    Enter(WhenBusy::Waits, [this, files, y] { Trap([&] { DropOnList(files, y); }); });
}

void FrmMain::BringToFront() {
    if (QApplication::activeWindow() == this) return;
    raise();
    activateWindow();
}

}  // namespace rilumo
