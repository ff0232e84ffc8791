#pragma once
// Dialog answers scripted by a test, recording what was asked. Folder and
// file questions take the next queued answer, else `answer` (empty = cancel).

#include <QSize>
#include <QString>
#include <QStringList>

#include "support/ui/dialogs.h"

namespace rilumo::test {

class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(nullptr); }

    QString ChooseFolder(QWidget*, const QString& start, const QString& title) override {
        askedStart = start;
        askedTitle = title;
        return take(folders);
    }
    QString ChooseFile(QWidget*, bool save, const QStringList& filters, const QString& folder,
                       const QString& name, bool confirm) override {
        ++filesAsked;
        askedSave = save;
        askedFilters = filters;
        askedStart = folder;
        askedName = name;
        askedConfirm = confirm;
        return take(files);
    }
    QString AskText(QWidget*, const QString&, const QString&, const QString&, bool* ok) override {
        const QString t = take(texts);
        if (ok) *ok = !t.isEmpty();
        return t;
    }
    int ShowMessage(QWidget*, const QString& text, const QString&, int type, bool p, int l, int t) override {
        ++shown;
        messages << text;
        askedText = text;
        askedType = type;
        placed = p;
        left = l;
        top = t;
        return button;
    }
    QSize MessageSize(QWidget* owner, const QString& text, const QString& caption, int type) override {
        if (measureReal) boxSize = Dialogs::MessageSize(owner, text, caption, type);
        return boxSize;
    }

    QStringList folders, files, texts;
    QString answer;
    int button = 1;
    QSize boxSize{300, 120};
    bool measureReal = false;

    QStringList messages;
    QString askedStart, askedTitle, askedName, askedText;
    QStringList askedFilters;
    bool askedSave = false, askedConfirm = false, placed = false;
    int askedType = -1, left = -1, top = -1, shown = 0, filesAsked = 0;

private:
    QString take(QStringList& queue) { return queue.isEmpty() ? answer : queue.takeFirst(); }
};

}  // namespace rilumo::test
