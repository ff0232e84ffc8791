// Figures for the playlist's item store: sorting 100,000 titles against
// std::stable_sort of the same lower-cased keys, shuffling, filling, and the
// memory an entry costs beyond its texts.

#include <QString>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "controls/listview/store/item_store.h"

using namespace rilumo;

namespace {

constexpr int kEntries = 100000;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Titles like file names: words of mixed case, numbers, a few shared prefixes.
std::vector<QString> MakeTitles(int n) {
    static const char* const words[] = {"love", "Night", "BLUE", "river", "Song", "dream", "Rain",
                                        "mix", "Live", "intro", "Theme", "07", "remaster", "Ode"};
    std::mt19937 gen(12345);
    std::vector<QString> out;
    out.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string t;
        const int k = 2 + static_cast<int>(gen() % 4);
        for (int w = 0; w < k; ++w) {
            if (w) t += ' ';
            t += words[gen() % std::size(words)];
        }
        t += " " + std::to_string(gen() % 1000);
        out.push_back(QString::fromStdString(t));
    }
    return out;
}

void FillTitles(ItemStore& s, const std::vector<QString>& titles) {
    s.DeleteAll();
    s.AddItem(static_cast<int>(titles.size()));
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) s.SetValue(i, 0, titles[static_cast<size_t>(i)]);
}

void SortFigures() {
    const std::vector<QString> titles = MakeTitles(kEntries);
    ItemStore s;
    s.Init();
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        FillTitles(s, titles);
        const auto t0 = std::chrono::steady_clock::now();
        s.ReOrder(0, 1);
        best = std::min(best, Seconds(t0));
    }
    double baseline = 1e9;
    for (int run = 0; run < 3; ++run) {
        std::vector<QString> keys;
        keys.reserve(titles.size());
        for (const QString& t : titles) keys.push_back(t.toLower());
        const auto t0 = std::chrono::steady_clock::now();
        std::stable_sort(keys.begin(), keys.end());
        baseline = std::min(baseline, Seconds(t0));
    }
    std::printf("ReOrder of %d titles:            %8.2f ms\n", kEntries, best * 1e3);
    std::printf("std::stable_sort of lower-cased keys: %8.2f ms\n", baseline * 1e3);
    std::printf("ratio ReOrder / stable_sort:       %8.2f (target < 3)\n", best / baseline);

    // Sorting an already sorted list, and the mirror for descending.
    FillTitles(s, titles);
    s.ReOrder(0, 1);
    auto t0 = std::chrono::steady_clock::now();
    s.ReOrder(0, 1);
    std::printf("ReOrder of the sorted list again:  %8.2f ms\n", Seconds(t0) * 1e3);
    t0 = std::chrono::steady_clock::now();
    s.ReOrder(0, 0);
    std::printf("ReOrder descending (second click): %8.2f ms\n", Seconds(t0) * 1e3);

    double shuffle = 1e9;
    for (int run = 0; run < 3; ++run) {
        t0 = std::chrono::steady_clock::now();
        s.RndItem();
        shuffle = std::min(shuffle, Seconds(t0));
    }
    std::printf("RndItem on %d entries:           %8.2f ms\n", kEntries, shuffle * 1e3);
}

void FillFigures() {
    ItemStore s;
    s.Init();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kEntries; ++i) {
        s.AddItem(1);
        s.SetValue(-2, 0, QStringLiteral("t"));
    }
    std::printf("AddItem(1) x %d:                 %8.2f ms\n", kEntries, Seconds(t0) * 1e3);
}

void MemoryFigures() {
    std::mt19937 gen(99);
    // Heap chunks plus mmapped blocks (the entry array itself is one of those).
    const auto inUse = [] {
        const struct mallinfo2 m = mallinfo2();
        return static_cast<long long>(m.uordblks + m.hblkhd);
    };
    malloc_trim(0);
    const long long before = inUse();
    long long textBytes = 0;
    {
        ItemStore s;
        s.Init();
        for (int i = 0; i < kEntries; ++i) {
            // A 60-character path and its title, as the playlist commands store them.
            std::string title = "Track " + std::to_string(100000 + i) + " " + std::to_string(gen() % 100000);
            std::string path = "/home/user/Music/Some Artist/Album/" + title;
            path.resize(56, 'x');
            path += ".mp3";
            QString q = QString::fromStdString(title);
            QString p = QString::fromStdString(path);
            textBytes += 2 * (q.size() + p.size());
            s.AddItem(1);
            s.SetValue(-2, 0, std::move(q));
            s.SetAuxID(-2, 0, std::move(p));
        }
        const long long after = inUse();
        const double perEntry = static_cast<double>(after - before) / kEntries;
        const double beyond = static_cast<double>(after - before - textBytes) / kEntries;
        std::printf("heap per entry (title + 60-char path): %7.1f bytes\n", perEntry);
        std::printf("  of which the texts (UTF-16):         %7.1f bytes\n",
                    static_cast<double>(textBytes) / kEntries);
        std::printf("  beyond the texts:                    %7.1f bytes (target < 400)\n", beyond);
        std::printf("  entry record %zu bytes, cell %zu bytes\n", sizeof(ListEntry), sizeof(Value));
    }
}

}  // namespace

int main() {
    SortFigures();
    FillFigures();
    MemoryFigures();
    return 0;
}
