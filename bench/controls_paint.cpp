// Figures for the drawn controls: the surface painter on a wide surface and a
// full redraw of each control at its size in the main window.
//
//   bench_controls_paint [iterations]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <QApplication>

#include "controls/draw_primitives.h"
#include "controls/surface.h"
#include "controls/uc_bar.h"
#include "controls/uc_buttons.h"
#include "controls/uc_slider.h"
#include "controls/uc_text_picture.h"
#include "support/ui/syscolors.h"

using namespace rilumo;

namespace {

void Measure(const char* what, int iterations, const std::function<void(int)>& step) {
    step(0);  // warm up
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < iterations; ++i) step(i);
    const auto t1 = std::chrono::steady_clock::now();
    const double us = std::chrono::duration<double, std::micro>(t1 - t0).count() / iterations;
    std::printf("%-58s %9.1f us  (%d runs)\n", what, us, iterations);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ResolveSystemColors();
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;

    Surface wide(1920, 40);
    Measure("PaintSurface mode 5, 1920 x 40 px", n, [&](int) { PaintSurface(wide, 5); });
    Measure("PaintSurface mode 7, 1920 x 40 px", n, [&](int) { PaintSurface(wide, 7); });

    UC_Buttons buttons;
    buttons.MoveTwips(0, 0, 2175, 495);
    buttons.SetButtonsMCI();
    buttons.Init();
    Measure("UC_Buttons Init (layout + face + 3 buttons), 145 x 33 px", n, [&](int) { buttons.Init(); });
    Measure("UC_Buttons DrawAll, 3 icon buttons", n, [&](int) { buttons.DrawAll(); });

    UC_Bar bar;
    bar.MoveTwips(0, 0, 2295, 375);
    bar.Init();
    bar.SetTextToDisp(QStringLiteral("01:23"));
    Measure("UC_Bar Init, 153 x 25 px", n, [&](int) { bar.Init(); });
    Measure("UC_Bar Value write (full redraw with text)", n, [&](int i) { bar.SetValue(i % 1000); });

    UC_TextPicture panel;
    panel.MoveTwips(0, 0, 2280, 480);
    for (int k = 0; k < 3; ++k) panel.AddStdColorSet(k);
    panel.AddTextSpace(9, false, false, QString(), 1500, 90);
    panel.AddTextSpace(15, false, false, QString(), 270, 90);
    panel.AddTextSpace(9, false, false, QString(), 1500, 270);
    panel.Init();
    panel.DispMes(0, QStringLiteral("PLAY"));
    panel.DispMes(2, QStringLiteral("04:56"));
    Measure("UC_TextPicture Init (3 colour sets), 152 x 32 px", n, [&](int) { panel.Init(); });
    Measure("UC_TextPicture DispMes (full redraw, 3 slots)", n,
            [&](int i) { panel.DispMes(1, QString::number(i)); });

    UC_Slider slider;
    slider.setGeometry(0, 0, 17, 300);
    slider.SetIsVertical(1);
    slider.Init();
    Measure("UC_Slider Init (vertical, 17 x 300 px)", n, [&](int) { slider.Init(); });
    Measure("UC_Slider Value write (pointer redraw)", n, [&](int i) { slider.SetValue(i % 1000); });
    return 0;
}
