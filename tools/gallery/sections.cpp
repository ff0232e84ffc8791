#include <QLabel>

#include "controls/control_resources.h"
#include "controls/draw_primitives.h"
#include "controls/surface_widget.h"
#include "controls/uc_bar.h"
#include "controls/uc_buttons.h"
#include "controls/uc_slider.h"
#include "controls/uc_text_picture.h"
#include "tools/gallery/gallery.h"

namespace rilumo::gallery {

namespace {

QLabel* Caption(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    l->setFont(f);
    return l;
}

SurfaceWidget* PictureBox(QWidget* parent, const QImage& img, int x, int y, int scale) {
    auto* w = new SurfaceWidget(parent);
    w->setGeometry(x, y, img.width() * scale, img.height() * scale);
    Surface src;
    src.LoadImage(img);
    w->Pic().StretchBlt(0, 0, img.width() * scale, img.height() * scale, src, 0, 0, img.width(), img.height());
    return w;
}

}  // namespace

void AddPainterSection(Gallery& g) {
    QWidget* area = g.AddSection(QStringLiteral("Surface painter modes (-2, 1, 2, 5, 6, 7, 8) and raised/sunken edges"), 70);
    const int modes[] = {-2, 1, 2, 5, 6, 7, 8};
    int x = 0;
    for (int mode : modes) {
        auto* w = new SurfaceWidget(area);
        w->setGeometry(x, 0, 80, 40);
        w->Pic().SetBackColor(0xFFFFFF);
        PaintSurface(w->Pic(), mode);
        Caption(area, QStringLiteral("mode %1").arg(mode), x, 44);
        x += 90;
    }
    for (int sunken = 0; sunken < 2; ++sunken) {
        auto* w = new SurfaceWidget(area);
        w->setGeometry(x, 0, 40, 40);
        PaintSurface(w->Pic(), -2);
        DrawEdgeRect(w->Pic(), 60, 60, 480, 480, sunken);
        Caption(area, sunken ? QStringLiteral("sunken") : QStringLiteral("raised"), x, 44);
        x += 50;
    }
}

void AddButtonSection(Gallery& g) {
    QWidget* area = g.AddSection(QStringLiteral("UC_Buttons: SetButtonsMCI (main window), play on; TNQplay; EditorCtrl; EditorPlay; OK/Cancel; captions"), 96);
    auto* mci = new UC_Buttons(area);
    mci->MoveTwips(0, 0, 2175, 495);
    mci->SetButtonsMCI();
    mci->Init();
    mci->SetButtonState(2, 2);
    Caption(area, QStringLiteral("stop / pause / play"), 0, 36);

    auto* tnq = new UC_Buttons(area);
    tnq->setGeometry(160, 0, 200, 33);
    tnq->SetButtonsTNQplay();
    tnq->Init();
    tnq->SetButtonState(3, 2);

    auto* ctrl = new UC_Buttons(area);
    ctrl->setGeometry(370, 0, 150, 33);
    ctrl->SetButtonsEditorCtrl();
    ctrl->Init();

    auto* play = new UC_Buttons(area);
    play->setGeometry(530, 0, 150, 33);
    play->SetButtonsEditorPlay();
    play->Init();
    play->SetButtonState(0, 1);
    Caption(area, QStringLiteral("first button pressed"), 530, 36);

    auto* ok = new UC_Buttons(area);
    ok->move(0, 58);
    ok->SetOKCancel(1, 0, 0);

    auto* nums = new UC_Buttons(area);
    nums->setGeometry(160, 58, 260, 26);
    nums->SetNumButtons(5);
    nums->SetButtonCharNum();
    nums->SetButtonDisable(4, 1);
    nums->SetButtonOn(1, 1);
    nums->Init();
    nums->SetSelectedButton(2);
    Caption(area, QStringLiteral("2 on, 3 selected, 5 disabled"), 430, 62);

    auto* emb = new UC_Buttons(area);
    emb->setGeometry(600, 58, 110, 26);
    emb->SetNumButtons(2);
    emb->SetDisable3D(0);
    emb->SetButtonChar(0, QStringLiteral("再生"));
    emb->SetButtonChar(1, QStringLiteral("停止"));
    emb->Init();
}

void AddBarSection(Gallery& g) {
    QWidget* area = g.AddSection(QStringLiteral("UC_Bar: empty, 40 %, full with text (main-window size 2295 x 375)"), 30);
    const int values[] = {0, 400, 1000};
    int x = 0;
    for (int v : values) {
        auto* bar = new UC_Bar(area);
        bar->MoveTwips(x * 15, 0, 2295, 375);
        bar->Init();
        if (v == 1000) {
            bar->SetStyle(9, 1, QString(), 0x202020);
            bar->SetTextToDisp(QStringLiteral("01:23 / 04:56"));
        }
        bar->SetValue(v);
        x += 170;
    }
}

void AddTextPanelSection(Gallery& g) {
    QWidget* area = g.AddSection(QStringLiteral("UC_TextPicture: the main window's panel in colour sets 0, 1, 2; plain schemes 0, 1, 3, 6"), 80);
    const char* status[] = {"STOP", "PLAY", "PLAY"};
    const char* times[] = {"00:00", "01:23", "-03:33"};
    for (int set = 0; set < 3; ++set) {
        auto* p = new UC_TextPicture(area);
        p->MoveTwips(set * 165 * 15, 0, 2280, 480);
        for (int n = 0; n < 3; ++n) p->AddStdColorSet(n);
        p->AddTextSpace(9, false, false, QString(), 1500, 90);
        p->AddTextSpace(15, false, false, QString(), 270, 90);
        p->AddTextSpace(9, false, false, QString(), 1500, 270);
        p->Init();
        p->SetColor(set);
        p->DispMes(0, QString::fromLatin1(status[set]));
        p->DispMes(1, QString::fromLatin1(times[set]));
        p->DispMes(2, QStringLiteral("04:56"));
    }
    const int schemes[] = {0, 1, 3, 6};
    for (int k = 0; k < 4; ++k) {
        auto* p = new UC_TextPicture(area);
        p->setGeometry(k * 130, 40, 120, 30);
        p->AddTextSpace(9, k == 3, false, QString(), -1, -1);
        p->Init();
        p->SetColor(schemes[k]);
        p->DispMes(0, QStringLiteral("scheme %1 テキスト").arg(schemes[k]));
    }
}

void AddSliderSection(Gallery& g) {
    QWidget* area = g.AddSection(QStringLiteral("UC_Slider: horizontal, horizontal without arrows or gradient, vertical (list scroll bar), centre-lined"), 130);
    auto* h = new UC_Slider(area);
    h->setGeometry(0, 0, 300, 18);
    h->Init();
    h->SetValue(300);

    auto* plain = new UC_Slider(area);
    plain->setGeometry(0, 30, 300, 16);
    plain->SetNoArrow(1);
    plain->SetNoGrad(1);
    plain->Init();
    plain->SetPointerSize(0.25f);
    plain->SetValue(700);

    auto* v = new UC_Slider(area);
    v->setGeometry(320, 0, 17, 125);
    v->SetIsVertical(1);
    v->Init();
    v->SetPointerSize(0.3f);
    v->SetValue(500);

    auto* c = new UC_Slider(area);
    c->setGeometry(350, 0, 17, 125);
    c->SetIsVertical(1);
    c->SetCenterLined(-1);
    c->Init();
    c->SetValue(0);
}

void AddPictureSection(Gallery& g) {
    QWidget* area = g.AddSection(QStringLiteral("Built-in pictures: icon library (x2), file-type icons (x2), slider arrows (x2), status signs"), 150);
    PictureBox(area, BuiltInPicture(kIconLibraryPath).copy(0, 0, 468, 18), 0, 0, 1);
    PictureBox(area, BuiltInPicture(kIconLibraryPath).copy(0, 0, 234, 18), 0, 22, 2);
    PictureBox(area, BuiltInPicture(kIconLibraryPath).copy(234, 0, 234, 18), 0, 62, 2);
    PictureBox(area, BuiltInPicture(kFileTypeIconsPath).copy(0, 0, 160, 16), 0, 104, 2);
    PictureBox(area, BuiltInPicture(kSliderArrowsHPath), 340, 104, 2);
    PictureBox(area, BuiltInPicture(kSliderArrowsVPath), 400, 104, 2);
    PictureBox(area, BuiltInPicture(kOnAirOffPath), 490, 0, 1);
    PictureBox(area, BuiltInPicture(kOnAirOnPath), 560, 0, 1);
    PictureBox(area, BuiltInPicture(kOnAirOffPath), 490, 30, 2);
    PictureBox(area, BuiltInPicture(kOnAirOnPath), 490, 80, 2);
}

}  // namespace rilumo::gallery
