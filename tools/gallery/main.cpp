// gallery [--screenshot FILE]: shows every drawn control; with --screenshot
// it renders the window on the offscreen platform into a PNG and exits.

#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include "support/ui/syscolors.h"
#include "tools/gallery/gallery.h"

int main(int argc, char** argv) {
    const char* shot = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0) shot = argv[i + 1];
    if (shot) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rilumo::ResolveSystemColors();

    using namespace rilumo::gallery;
    Gallery g;
    AddPainterSection(g);
    AddButtonSection(g);
    AddBarSection(g);
    AddTextPanelSection(g);
    AddSliderSection(g);
    AddPictureSection(g);
    AddListViewSection(g);
    g.show();
    if (!shot) return app.exec();

    QApplication::processEvents();
    g.adjustSize();
    QApplication::processEvents();
    if (!g.grab().toImage().save(QString::fromLocal8Bit(shot), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", shot);
        return 1;
    }
    return 0;
}
