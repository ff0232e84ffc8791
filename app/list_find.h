#pragma once
// Find as you type over the playlist: the find box narrows the view to the
// entries whose shown cells contain the typed text (folded, see find_text.h).
// The store keeps every entry in its order, so playing on, saving and
// deleting still act on the real list; an entry left out is never selected.

#include <QObject>
#include <QString>

#include <functional>

namespace rilumo {

class FindBox;
class UC_ListView;

class ListFind : public QObject {
    Q_OBJECT
public:
    // play starts the cursor entry the way a double-click does.
    ListFind(UC_ListView& lv, std::function<void()> play);

    FindBox& Box() { return *box_; }
    bool IsOpen() const;
    // Ctrl+F: the box over the list, empty, the whole list shown.
    void Open();
    // The view shows the entries matching text; an empty text shows all.
    void Narrow(const QString& text);
    // Enter: the first shown entry becomes the cursor and plays.
    void PlayFirst();
    // Esc: the whole list again, the cursor on the entry last chosen.
    void Close();
    // The shown columns changed: what an entry is found by changed with them.
    void ColumnsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QString& KeyOf(int entry);
    void Place();
    void Remember(int entry);
    int Chosen() const;

    UC_ListView& lv_;
    FindBox* box_;
    std::function<void()> play_;
    QString folded_;
    // The entry last chosen, by index and path, since entries move.
    int chosen_ = -1;
    QString chosenPath_;
    QString scratch_;
};

}  // namespace rilumo
