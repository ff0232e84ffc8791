// The real window's tag cells, filled by the loader's worker while the list
// is changed under it, and the playing track read again when it starts.

#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>

#include "app/list_columns.h"
#include "app/tag_loader.h"
#include "tests/app/window_fixture.h"

namespace rilumo::test {
namespace {

class TagLoading : public PlayerWindow {
protected:
    void SetUp() override {
        PlayerWindow::SetUp();
        if (HasFatalFailure()) return;
        w->LV().SetNumData(DataIndex(ListColumn::Count));
    }
    QString Tagged(const QString& name, const QString& title, int ms = 400) {
        const QString path = media.File(name + ".wav");
        EXPECT_TRUE(WriteSineWave(path, 8000, 1, 16, 440, ms));
        Retag(path, title);
        return path;
    }
    static void Retag(const QString& path, const QString& title) {
        TagLib::RIFF::WAV::File f(QFile::encodeName(path).constData());
        f.ID3v2Tag()->setTitle(TagLib::String(title.toStdString(), TagLib::String::UTF8));
        f.ID3v2Tag()->setArtist("Artist of " + TagLib::String(title.toStdString(), TagLib::String::UTF8));
        ASSERT_TRUE(f.save(TagLib::RIFF::WAV::File::ID3v2));
    }
    QString Cell(int row, ListColumn c) { return w->LV().Value(row, DataIndex(c)).ToText(); }
    bool AllRead() {
        return WaitFor([&] { return w->Tags().Idle(); });
    }
};

TEST_F(TagLoading, ResultsFindTheirEntryWhereverItMovedAndNeverAnother) {
    QStringList paths;
    for (const char* name : {"c", "a", "d", "b"}) paths << Tagged(name, QStringLiteral("曲 ") + name);
    // No event runs between these steps (a repaint would let them): every
    // result meets a changed list.
    for (const QString& p : paths) w->AddTitle(p, -2);
    w->LV().DeleteItem(2);  // d
    w->LV().ReOrder(0, 1);  // a, b, c
    ASSERT_TRUE(AllRead());
    ASSERT_EQ(w->LV().ItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QString name = w->LV().Value(row, 0).ToText();
        EXPECT_EQ(Cell(row, ListColumn::TagTitle), QStringLiteral("曲 ") + name);
        EXPECT_EQ(Cell(row, ListColumn::Artist), QStringLiteral("Artist of 曲 ") + name);
        EXPECT_EQ(Cell(row, ListColumn::Folder), media.Path());
        EXPECT_EQ(Cell(row, ListColumn::Format), "WAV 8kHz 16bit");
    }

    // A cleared list takes nothing from reads still under way for it.
    for (const QString& p : paths) w->AddTitle(p, -2);
    w->LV().DeleteAll();
    const QString other = Tagged("other", "Other");
    w->AddTitle(other, -2);
    ASSERT_TRUE(AllRead());
    ASSERT_EQ(w->LV().ItemCount(), 1);
    EXPECT_EQ(Cell(0, ListColumn::TagTitle), "Other");
}

TEST_F(TagLoading, AFileChangedSinceItsReadIsReadAgainWhenItPlays) {
    const QString path = Tagged("song", "Before", 3000);
    Fill({path});
    ASSERT_TRUE(AllRead());
    EXPECT_EQ(Cell(0, ListColumn::TagTitle), "Before");

    Retag(path, "After");
    Select(0);
    w->PlayFrom();
    ASSERT_TRUE(WaitForStatus("PLAY"));
    // The stopped cursor entry's tags may already be known; playing reads them again.
    ASSERT_TRUE(WaitFor([&] {
        const TrackTags* t = w->Tags().PlayingTags(path);
        return t != nullptr && t->title == "After";
    }));
    EXPECT_EQ(w->Tags().PlayingTags(path)->lengthMs, 3000);
    EXPECT_TRUE(WaitFor([&] { return Cell(0, ListColumn::TagTitle) == "After"; }));
}

TEST_F(TagLoading, AnUnreadableFileLeavesItsCellsEmpty) {
    const QString junk = media.File("junk.mp3");
    ASSERT_TRUE(WriteFile(junk, QByteArray(3000, '\xFF')));
    Fill({junk, media.File("gone.wav")});
    ASSERT_TRUE(AllRead());
    EXPECT_EQ(Cell(0, ListColumn::TagTitle), "");
    EXPECT_EQ(Cell(1, ListColumn::Artist), "");
    EXPECT_EQ(w->LV().Value(1, 0).ToText(), "gone");
}

}  // namespace
}  // namespace rilumo::test
