// The playlist's columns: defaults, tag cells, the tabs' menu and what the
// settings keep of them.

#include <QAction>
#include <QDir>
#include <QMenu>
#include <gtest/gtest.h>

#include <memory>

#include "app/list_columns.h"
#include "controls/listview/uc_listview.h"
#include "media/track_tags.h"
#include "support/settings.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

constexpr int kTitle = DataIndex(ListColumn::FileTitle);
constexpr int kTagTitle = DataIndex(ListColumn::TagTitle);
constexpr int kTrack = DataIndex(ListColumn::Track);
constexpr int kLength = DataIndex(ListColumn::Length);

class ListColumns : public ::testing::Test {
protected:
    void SetUp() override { QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/korvent").removeRecursively(); }

    // A view set up as the window sets its own up.
    std::unique_ptr<UC_ListView> NewView() {
        auto lv = std::make_unique<UC_ListView>();
        lv->resize(400, 300);
        SetUpPlaylistView(*lv, ListColumnSet());
        RestoreListColumns(*lv);
        return lv;
    }
    static std::vector<int> Shown(const UC_ListView& lv) {
        std::vector<int> out;
        for (int p = 0; p < lv.NumData(); ++p) {
            const int c = lv.Store().Columns().ColumnAt(p);
            if (!lv.TabHidden(c)) out.push_back(c);
        }
        return out;
    }
    // Runs the menu item captioned text, as a click on it would.
    static bool Choose(QMenu* raw, const QString& text) {
        const std::unique_ptr<QMenu> menu(raw);
        for (QAction* a : menu->actions())
            if (a->text() == text && a->isEnabled()) {
                a->trigger();
                return true;
            }
        return false;
    }
};

}  // namespace

TEST_F(ListColumns, DefaultIsTheTitleAloneAndTagCellsFillTheOthers) {
    auto lv = NewView();
    EXPECT_EQ(lv->NumData(), int(ListColumn::Count));
    EXPECT_EQ(Shown(*lv), std::vector<int>({kTitle}));
    EXPECT_TRUE(OnlyTitleShown(*lv));
    EXPECT_EQ(lv->TabName(kTrack), QStringLiteral("トラック"));
    EXPECT_EQ(lv->TabAlign(kLength), 1);
    EXPECT_EQ(lv->DataNumeric(kTrack), 1);

    lv->AddItem(2);
    TrackTags tags;
    tags.title = QStringLiteral("夜明け");
    tags.trackNumber = 4;
    tags.lengthMs = 187400;
    tags.formatName = "FLAC";
    tags.sampleRate = 44100;
    tags.bitsPerSample = 16;
    ShowTrackTags(*lv, 0, tags);
    ShowTrackTags(*lv, 1, TrackTags{});
    ShowFileColumns(*lv, 1, "/music/album/01.flac");
    EXPECT_EQ(lv->Value(0, kTagTitle).ToText(), QStringLiteral("夜明け"));
    EXPECT_EQ(CellText(lv->Store().Columns()[kLength], lv->Value(0, kLength)), "3'07");
    EXPECT_EQ(lv->Value(0, DataIndex(ListColumn::Format)).ToText(), "FLAC 44.1kHz 16bit");
    EXPECT_TRUE(lv->Value(1, kTrack).IsEmpty());  // unknown, not track 0
    EXPECT_EQ(lv->Value(1, DataIndex(ListColumn::Folder)).ToText(), "/music/album");
}

TEST_F(ListColumns, MenuShowsHidesAndMovesAndTheSettingsKeepIt) {
    auto lv = NewView();
    int changes = 0;
    auto menu = [&](int column) { return NewColumnMenu(nullptr, *lv, column, [&] { ++changes; }); };
    // The last shown column cannot go.
    EXPECT_FALSE(Choose(menu(kTitle), QStringLiteral("タイトル")));
    EXPECT_TRUE(Choose(menu(kTitle), QStringLiteral("トラック")));
    EXPECT_TRUE(Choose(menu(kTitle), QStringLiteral("曲名")));  // right of the tab clicked
    EXPECT_EQ(Shown(*lv), std::vector<int>({kTitle, kTagTitle, kTrack}));
    EXPECT_TRUE(Choose(menu(kTrack), QStringLiteral("左へ移動")));
    EXPECT_FALSE(Choose(menu(kTitle), QStringLiteral("左へ移動")));
    EXPECT_TRUE(Choose(menu(kTitle), QStringLiteral("タイトル")));
    EXPECT_EQ(Shown(*lv), std::vector<int>({kTrack, kTagTitle}));
    EXPECT_EQ(changes, 4);
    EXPECT_FALSE(OnlyTitleShown(*lv));
    // Shown columns abut from the left in their order.
    EXPECT_EQ(lv->Store().Columns()[kTrack].left, 0);
    EXPECT_EQ(lv->Store().Columns()[kTagTitle].left, lv->TabWidth(kTrack));

    lv->SetTabWidth(kTagTitle, 4321);
    SaveListColumns(*lv);
    auto again = NewView();
    EXPECT_EQ(Shown(*again), std::vector<int>({kTrack, kTagTitle}));
    EXPECT_EQ(again->TabWidth(kTagTitle), 4321);
}

TEST_F(ListColumns, DamagedSettingsFallBackColumnByColumn) {
    WriteSetting("ListColumns", "x,99,4,4,-1");
    WriteSetting("ListColumnWidths", "abc,-5,99999999,1200");
    auto lv = NewView();
    EXPECT_EQ(Shown(*lv), std::vector<int>({kTrack}));
    EXPECT_EQ(lv->TabWidth(kTitle), ListColumnSet()[0].width);
    EXPECT_EQ(lv->TabWidth(2), ListColumnSet()[2].width);
    EXPECT_EQ(lv->TabWidth(3), 1200);
    WriteSetting("ListColumns", ",,");
    EXPECT_EQ(Shown(*NewView()), std::vector<int>({kTitle}));
}
