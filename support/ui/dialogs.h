#pragma once
// Every modal question the program asks goes through one small interface:
// real Qt dialogs in the program, scripted answers in tests.

#include <QString>
#include <QStringList>

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

}  // namespace rilumo
