#pragma once
// The find box over the playlist: a one-line text field drawn on its own
// surface. It only edits its text and reports; what the text finds is the
// host's business. Text an input method is still composing is shown
// underlined but is not part of Text() until it is committed.

#include <QString>

#include "controls/surface_widget.h"

class QInputMethodEvent;
class QKeyEvent;

namespace rilumo {

class FindBox : public SurfaceWidget {
    Q_OBJECT
public:
    explicit FindBox(QWidget* parent = nullptr);

    QString Text() const { return text_; }
    QString Preedit() const { return preedit_; }
    // Shows the box empty, on top, with the keyboard.
    void Open();
    // Hides it; its text is kept until the next Open.
    void Close();
    void Draw();

signals:
    // The committed text changed (typing, a commit, Backspace).
    void TextEdited(const QString& text);
    void Accepted();  // Enter
    void Closed();    // Esc

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Edit(const QString& text);

    QString text_;
    QString preedit_;
};

// True when w is a find box, whose keys are its own and no window command.
bool IsFindBox(const QObject* w);

}  // namespace rilumo
