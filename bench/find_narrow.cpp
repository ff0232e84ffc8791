// Find as you type over 100,000 entries: milliseconds per keystroke, and the
// opening of the box (which folds every entry's shown cells once) apart, at
// the main window's column set with "曲名" and "アーティスト" shown too.

#include <chrono>
#include <cstdio>

#include <QApplication>

#include "app/list_columns.h"
#include "app/list_find.h"
#include "controls/listview/uc_listview.h"
#include "media/track_tags.h"

using namespace rilumo;

namespace {

double Ms(const auto& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void Fill(UC_ListView& lv, int n) {
    const QString words[] = {QStringLiteral("夜明けのうた"), QStringLiteral("トウキョウ Night"), "Morning Dew",
                             QStringLiteral("ｶﾞｰﾙﾌﾚﾝﾄﾞ"), "Blue Train", QStringLiteral("さくら")};
    lv.AddItem(n);
    for (int i = 0; i < n; ++i) {
        lv.SetValue(i, 0, QStringLiteral("%1 %2").arg(i, 6, 10, QChar(u'0')).arg(words[i % 6]));
        TrackTags t;
        t.title = words[(i / 7) % 6];
        t.artist = QStringLiteral("Artist %1").arg(i % 997);
        t.album = QStringLiteral("Album %1").arg(i % 389);
        t.trackNumber = i % 14 + 1;
        t.lengthMs = 180000 + i % 60000;
        ShowTrackTags(lv, i, t);
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = 100000;
    UC_ListView lv;
    lv.resize(350, 400);
    SetUpPlaylistView(lv, ListColumnSet());
    RestoreListColumns(lv);
    for (ListColumn c : {ListColumn::TagTitle, ListColumn::Artist}) lv.SetTabHidden(DataIndex(c), 0);
    Fill(lv, n);
    lv.UserControl_Resize();
    ListFind find(lv, [] {});
    const double open = Ms([&] { find.Open(); });
    std::printf("entries %d, Ctrl+F (folds every entry once) %.1f ms\n", n, open);
    const QString typed = QStringLiteral("artist 99");
    double worst = 0, total = 0;
    for (int k = 1; k <= typed.size(); ++k) {
        const double ms = Ms([&] { find.Narrow(typed.left(k)); });
        worst = std::max(worst, ms);
        total += ms;
        std::printf("  \"%s\": %.2f ms, shown %d\n", qPrintable(typed.left(k)), ms, lv.ShownCount());
    }
    std::printf("typing \"%s\": %.2f ms a keystroke on average, worst %.2f ms (goal under 50)\n",
                qPrintable(typed), total / typed.size(), worst);
    const double kana = Ms([&] { find.Narrow(QStringLiteral("がーる")); });
    const double back = Ms([&] { find.Narrow(QStringLiteral("がー")); });
    std::printf("kana \"がーる\" %.2f ms (shown %d), Backspace to a wider match %.2f ms\n", kana, lv.ShownCount(), back);
    const double close = Ms([&] { find.Close(); });
    std::printf("Esc back to the whole list %.2f ms\n", close);
    return 0;
}
