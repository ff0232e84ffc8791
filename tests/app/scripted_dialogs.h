#pragma once
// Dialog answers for tests: each question takes the next scripted answer
// (empty = cancel) and every message shown is kept.

#include <QStringList>

#include "support/ui/dialogs.h"

namespace rilumo::test {

class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(nullptr); }

    QStringList folders, files, texts;
    QStringList messages;
    int filesAsked = 0;
    bool lastSave = false;

    QString ChooseFolder(QWidget*, const QString&, const QString&) override { return take(folders); }
    QString ChooseFile(QWidget*, bool save, const QStringList&, const QString&, const QString&, bool) override {
        ++filesAsked;
        lastSave = save;
        return take(files);
    }
    QString AskText(QWidget*, const QString&, const QString&, const QString&, bool* ok) override {
        const QString t = take(texts);
        if (ok) *ok = !t.isEmpty();
        return t;
    }
    int ShowMessage(QWidget*, const QString& text, const QString&, int, bool, int, int) override {
        messages << text;
        return 1;
    }

private:
    static QString take(QStringList& l) { return l.isEmpty() ? QString() : l.takeFirst(); }
};

}  // namespace rilumo::test
