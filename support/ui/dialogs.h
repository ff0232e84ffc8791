#pragma once
// Every modal question the program asks goes through one small interface:
// real Qt dialogs in the program, scripted answers in tests.

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QMessageBox;
class QWidget;

namespace rilumo {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen folder (any form), or empty on cancel.
    virtual QString ChooseFolder(QWidget* owner, const QString& start, const QString& title) = 0;
    // The chosen file, or empty on cancel. nameFilters are Qt filter texts
    // such as "プレイリスト (*)"; confirmOverwrite asks before replacing a file.
    virtual QString ChooseFile(QWidget* owner, bool save, const QStringList& nameFilters,
                               const QString& folder, const QString& name, bool confirmOverwrite) = 0;
    // A text typed by the user; ok false on cancel.
    virtual QString AskText(QWidget* owner, const QString& prompt, const QString& title,
                            const QString& initial, bool* ok) = 0;
    // Shows a message box (icon/buttons as the style word says) at the given
    // top-left screen pixel when placed is true; returns the button code.
    virtual int ShowMessage(QWidget* owner, const QString& text, const QString& caption, int type,
                            bool placed, int left, int top) = 0;
    // The size in pixels the box of ShowMessage will have; by default the real
    // box is laid out off screen and measured.
    virtual QSize MessageSize(QWidget* owner, const QString& text, const QString& caption, int type);
};

// The dialogs in use; the real Qt ones unless a test installed others.
Dialogs& CurrentDialogs();
// Installs dialogs (nullptr restores the real ones); the caller keeps ownership.
void SetDialogs(Dialogs* dialogs);

// The chosen folder with a trailing separator, or empty.
QString BrowseFolder(const QString& start, const QString& title, QWidget* owner);
// The chosen file path, or empty. filter is "name|pattern|name|pattern...".
QString FileDialog(QWidget* owner, int save, const QString& filter, const QString& initialFolder,
                   const QString& initialName, int flags);

// "name|pattern|name|pattern..." (patterns separated by ";") as Qt name
// filters: "プレイリスト|*.*" gives "プレイリスト (*)".
QStringList QtNameFilters(const QString& filter);

// The Qt message box for a Windows-style style word: buttons in the low four
// bits (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel), icon in 0xF0 (16 critical, 32 question, 48 warning,
// 64 information), default button in 0x300. Built, not shown.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& text,
                                            const QString& caption, int type);
// The Windows button code of the box's answer: 1 OK, 2 Cancel, 3 Abort,
// 4 Retry, 5 Ignore, 6 Yes, 7 No; a box closed without a button answers as
// its escape button.
int MessageBoxResult(const QMessageBox& box);

}  // namespace rilumo
