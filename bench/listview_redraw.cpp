// Repaint cost of the playlist view against the entry count: ReDraw with 100
// and with 100,000 entries at the main window's list size, and one wheel step.

#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>

#include "controls/listview/playlist_view_setup.h"
#include "controls/listview/uc_listview.h"

using namespace rilumo;

namespace {

double MsPer(int reps, const auto& f) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i) f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / reps;
}

void Setup(UC_ListView& lv, int n, int w, int h, int cols) {
    lv.resize(w, h);
    SetUpPlaylistView(lv, std::vector<PlaylistColumn>(size_t(cols), {QString(), cols == 1 ? 4800 : 2400}));
    lv.AddItem(n);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < cols; ++c) lv.SetValue(i, c, QStringLiteral("track title number %1").arg(i));
    lv.UserControl_Resize();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int reps = 500;
    double small = 0, big = 0;
    {
        UC_ListView lv;
        Setup(lv, 100, 350, 300, 1);
        small = MsPer(reps, [&] { lv.ReDraw(); });
    }
    UC_ListView lv;
    Setup(lv, 100000, 350, 300, 1);
    big = MsPer(reps, [&] { lv.ReDraw(); });
    int dir = 1;
    const double wheel = MsPer(reps, [&] {
        if (lv.VBarValue() >= lv.VBarMax() - 3 || lv.VBarValue() < 3) dir = -dir;
        lv.VBarScroll(dir);
    });
    std::printf("ReDraw 100 entries:      %.3f ms\n", small);
    std::printf("ReDraw 100,000 entries:  %.3f ms\n", big);
    std::printf("ratio:                   %.2f\n", big / small);
    std::printf("wheel step on 100,000:   %.3f ms\n", wheel);
    UC_ListView wide;
    Setup(wide, 100000, 800, 600, 5);
    std::printf("ReDraw 800x600, 5 cols:  %.3f ms\n", MsPer(200, [&] { wide.ReDraw(); }));
    return 0;
}
