#pragma once
// A message box centred on its owner window, kept on the screen and above a
// 600-twip strip at the bottom.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace rilumo {

// Shows the box through CurrentDialogs() and returns its button code (1 OK,
// 2 Cancel, 6 Yes, 7 No, ...); 0 when it could not be shown. A minimised or
// missing owner leaves the box where the platform puts it.
int CenteredMessageBox(const QString& text, int type, const QString& caption, QWidget* owner);

// The box's top-left screen pixel for an owner frame and a screen size in
// twips and a box size in pixels, at tpp twips per pixel.
QPoint CenteredBoxPosition(const QRect& ownerTwips, const QSize& boxPixels, const QSize& screenTwips,
                           int tpp);

}  // namespace rilumo
