#pragma once
// A playlist view set up through the main window's steps with the platform's
// standard bars and window colours, sized so that rows are 18 px and the
// columns share the first 200 px.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMouseEvent>

#include <functional>
#include <vector>

#include "controls/listview/playlist_view_setup.h"
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
        const PlaylistLook look{false, 18 * Tpp(), 0x80000008u, 0x80000005u, kDrawMaskPen, 0x00C0A0A0};
        SetUpPlaylistView(lv, std::vector<PlaylistColumn>(size_t(columns), {QString(), 200 * Tpp() / columns}),
                          look, beforeInit);
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
