#include "support/ui/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "support/error_trap.h"
#include "support/event_pump.h"
#include "support/file_ops.h"
#include "support/paths.h"
#include "support/text.h"

namespace rilumo {

namespace {

class QtDialogs final : public Dialogs {
public:
    QString ChooseFolder(QWidget* owner, const QString& start, const QString& title) override {
        return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    }

    QString ChooseFile(QWidget* owner, bool save, const QStringList& nameFilters, const QString& folder,
                       const QString& name, bool confirmOverwrite) override {
        const QString initial = folder.isEmpty() ? name : QDir(folder).filePath(name);
        const QString filters = nameFilters.join(QStringLiteral(";;"));
        if (!save) return QFileDialog::getOpenFileName(owner, QString(), initial, filters);
        QFileDialog::Options options;
        if (!confirmOverwrite) options |= QFileDialog::DontConfirmOverwrite;
        return QFileDialog::getSaveFileName(owner, QString(), initial, filters, nullptr, options);
    }

    QString AskText(QWidget* owner, const QString& prompt, const QString& title, const QString& initial,
                    bool* ok) override {
        return QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, initial, ok);
    }

    int ShowMessage(QWidget* owner, const QString& text, const QString& caption, int type, bool placed,
                    int left, int top) override {
        auto box = MakeMessageBox(owner, text, caption, type);
        // A moved dialog is not centred again by Qt when it is shown.
        if (placed) box->move(left, top);
        box->exec();
        return MessageBoxResult(*box);
    }
};

Dialogs*& installed() {
    static Dialogs* dialogs = nullptr;
    return dialogs;
}

QList<QMessageBox::StandardButton> buttonsOf(int type) {
    using B = QMessageBox;
    switch (type & 0x0F) {
    case 1: return {B::Ok, B::Cancel};
    case 2: return {B::Abort, B::Retry, B::Ignore};
    case 3: return {B::Yes, B::No, B::Cancel};
    case 4: return {B::Yes, B::No};
    case 5: return {B::Retry, B::Cancel};
    default: return {B::Ok};
    }
}

QMessageBox::Icon iconOf(int type) {
    switch (type & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int codeOf(QMessageBox::StandardButton b) {
    switch (b) {
    case QMessageBox::Ok: return 1;
    case QMessageBox::Cancel: return 2;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return 6;
    case QMessageBox::No: return 7;
    default: return 0;
    }
}

// Until the user has chosen a folder the dialogs start in the program
// folder. An installed program's is a system folder where no list belongs:
// when the user cannot write there they start at home; a build run from its
// build tree keeps its own folder.
QString usableStart(const QString& folder) {
    if (FixTrailingSlash(folder, false) != AppFolder()) return folder;
    return QFileInfo(FixTrailingSlash(folder, true)).isWritable() ? folder : QDir::homePath();
}

}  // namespace

QSize Dialogs::MessageSize(QWidget* owner, const QString& text, const QString& caption, int type) {
    auto box = MakeMessageBox(owner, text, caption, type);
    // The box settles its size only when it is shown; shown off screen it has
    // no frame, so the owner's frame margins stand in for its own.
    box->setAttribute(Qt::WA_DontShowOnScreen);
    box->show();
    QSize size = box->size();
    box->hide();
    if (owner) {
        const QWidget* window = owner->window();
        size += window->frameGeometry().size() - window->size();
    }
    return size;
}

Dialogs& CurrentDialogs() {
    static QtDialogs real;
    return installed() ? *installed() : real;
}

void SetDialogs(Dialogs* dialogs) { installed() = dialogs; }

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& text, const QString& caption,
                                            int type) {
    auto box = std::make_unique<QMessageBox>(iconOf(type), caption, text, QMessageBox::NoButton, owner);
    const auto buttons = buttonsOf(type);
    for (auto b : buttons) box->addButton(b);
    const int def = (type >> 8) & 0x03;
    box->setDefaultButton(buttons.value(def, buttons.first()));
    if (buttons.contains(QMessageBox::Cancel))
        box->setEscapeButton(QMessageBox::Cancel);
    else if (buttons.size() == 1)
        box->setEscapeButton(buttons.first());
    return box;
}

int MessageBoxResult(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked) clicked = box.escapeButton();
    if (!clicked) return 2;
    return codeOf(box.standardButton(clicked));
}

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList result;
    // A name without a pattern after it ends the list, as it would with NULs.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            p = TrimSpaces(p);
            if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
            if (!p.isEmpty()) patterns << p;
        }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        result << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

QString BrowseFolder(const QString& start, const QString& title, QWidget* owner) {
    return TrapOr(QString(), [&] {
        QString from = start.isEmpty() ? QDir::currentPath() : FixTrailingSlash(start, true);
        if (from.isEmpty()) from = QString(kSep);  // the root folder's own separator
        from = usableStart(from);
        const QString caption = title.isEmpty() ? QStringLiteral("フォルダを選択してください") : title;
        const QString chosen = CutAtNul(CurrentDialogs().ChooseFolder(owner, from, caption));
        if (chosen.isEmpty() || !DirectoryExists(chosen)) return QString();
        return FixTrailingSlash(chosen, false);
    });
}

QString FileDialog(QWidget* owner, int save, const QString& filter, const QString& initialFolder,
                   const QString& initialName, int flags) {
    return TrapOr(QString(), [&] {
        constexpr int kOverwritePrompt = 0x2;
        const int effective = flags != -1 ? flags : (save ? 0x80006 : 0x81104);
        const QString chosen = CurrentDialogs().ChooseFile(owner, save != 0, QtNameFilters(filter),
                                                           usableStart(initialFolder), initialName,
                                                           (effective & kOverwritePrompt) != 0);
        DoEvents();
        DoEvents();
        return chosen.isEmpty() ? QString() : CutAtNul(chosen);
    });
}

}  // namespace rilumo
