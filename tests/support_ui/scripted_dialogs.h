#pragma once
// Dialog answers scripted by a test, recording what was asked.

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
        return answer;
    }
    QString ChooseFile(QWidget*, bool save, const QStringList& filters, const QString& folder,
                       const QString& name, bool confirm) override {
        askedSave = save;
        askedFilters = filters;
        askedStart = folder;
        askedName = name;
        askedConfirm = confirm;
        return answer;
    }
    QString AskText(QWidget*, const QString&, const QString&, const QString&, bool* ok) override {
        if (ok) *ok = !answer.isEmpty();
        return answer;
    }
    int ShowMessage(QWidget*, const QString& text, const QString&, int type, bool p, int l, int t) override {
        ++shown;
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

    QString answer;
    int button = 1;
    QSize boxSize{300, 120};
    bool measureReal = false;

    QString askedStart, askedTitle, askedName, askedText;
    QStringList askedFilters;
    bool askedSave = false, askedConfirm = false, placed = false;
    int askedType = -1, left = -1, top = -1, shown = 0;
};

}  // namespace rilumo::test
