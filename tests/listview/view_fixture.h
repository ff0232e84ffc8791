#pragma once
// A playlist view set up the way the main window does it, sized so that
// rows are 18 px and the tab strip's first column ends at 200 px.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMouseEvent>

#include <functional>

#include "controls/listview/uc_listview.h"
#include "controls/surface_widget.h"
#include "controls/units.h"

namespace rilumo::test {

// ListView may be a subclass that stays out of the platform's drag loop.
template <class ListView = UC_ListView>
struct TestViewOf {
    ListView lv;
    // beforeInit sets what only takes effect at Init (IconDisabled, ...).
    explicit TestViewOf(int columns = 1, const std::function<void(UC_ListView&)>& beforeInit = {},
                        int heightPx = 200) {
        lv.resize(300, heightPx);
        lv.SetNumData(columns);
        lv.SetNumAux(1);
        lv.SetOneHeight(18 * Tpp());
        lv.SetStyle(9, false, QString(), 0x80000008u, 0x80000005u);
        if (beforeInit) beforeInit(lv);
        lv.Init();
        for (int k = 0; k < columns; ++k) lv.SetTabWidth(k, 200 * Tpp() / columns);
        lv.UserControl_Resize();
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) {
            lv.AddItem(1);
            lv.SetValue(-2, 0, QStringLiteral("title %1").arg(i));
        }
        lv.UserControl_Resize();
    }
    QImage List() const { return lv.PictureList()->Pic().Image(); }
    // A mouse event on the tab strip at x px (a move carries `held` as buttons).
    void Tab(QEvent::Type t, int x, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons held = {}) {
        const QPointF p(x, 9);
        const Qt::MouseButtons buttons = t == QEvent::MouseButtonPress ? Qt::MouseButtons(b) : held;
        QMouseEvent e(t, p, p, t == QEvent::MouseMove ? Qt::NoButton : b, buttons, Qt::NoModifier);
        QApplication::sendEvent(lv.PictureTab(), &e);
    }
    void TabClick(int x, Qt::MouseButton b = Qt::LeftButton) {
        Tab(QEvent::MouseButtonPress, x, b);
        Tab(QEvent::MouseButtonRelease, x, b);
    }
};
using TestView = TestViewOf<>;

// Pixels of rect r in img darker than mid grey.
inline int DarkPixels(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += qGray(img.pixel(x, y)) < 96;
    return n;
}

}  // namespace rilumo::test
