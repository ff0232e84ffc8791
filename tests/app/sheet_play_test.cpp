// Entries that are tracks of one album file, played by the real window:
// the length it shows, the advance from track to track within one stream,
// and the round back to the first track.

#include <QFile>

#include <cmath>

#include "app/sheet_entries.h"
#include "media/cue_sheet.h"
#include "playback/graph/graph.h"
#include "support/time_format.h"
#include "tests/app/window_fixture.h"

using namespace rilumo;
using test::PlayerWindow;

namespace {

constexpr int kRate = 44100;
constexpr int kPerFrame = kRate / kCueFramesPerSecond;
constexpr std::int64_t kBounds[] = {0, 113, 276, 389};

const test::ThreePitchAlbum kAlbum{{0, 113, 276, 389}, kRate};

qint16 AlbumSample(qint64 n) { return kAlbum.Sample(n); }

class SheetPlay : public PlayerWindow {
protected:
    void SetUp() override {
        PlayerWindow::SetUp();
        recording = media.File("recording.raw");
        qputenv("RILUMO_AUDIO_SINK", test::RecordingSink(recording, kRate));
        w->Player().Init();
        album = media.File("album.wav");
        ASSERT_TRUE(kAlbum.Write(album));
        for (int n = 1; n <= 3; ++n) {
            w->AddTitle(album, -2);
            SetSegment(w->LV(), n - 1, EntrySegment{true, kBounds[n - 1], n == 3 ? -1 : kBounds[n], {}, n});
        }
        w->LV().Refresh();
    }
    QString LengthShown() const { return w->PicPlay().TextMes(2); }

    QString recording;
    QString album;
};

TEST_F(SheetPlay, TracksOfOneFileAdvanceInOneStreamShowingEachLengthAndRoundToTheFirst) {
    Select(1);
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    const auto trackMs = [](int n) { return static_cast<std::int32_t>(CueFramesToMs(kBounds[n] - kBounds[n - 1])); };
    // The length is known once the graph is ready, which may come after "PLAY".
    ASSERT_TRUE(WaitFor([&] { return LengthShown() == FormatMilliseconds(trackMs(2), 1, 0); }));
    EXPECT_EQ(w->Playback().Length(), trackMs(2));
    const graph::Graph* graph = w->Player().Context().Control.get();
    ASSERT_TRUE(WaitFor([&] { return w->State().playIndex == 2; }));
    // The same stream plays on: no new graph, and the window counts in the new track.
    EXPECT_EQ(w->Player().Context().Control.get(), graph);
    EXPECT_EQ(w->Player().Segment().trackNumber, 3);
    // The desktop's remote sees a track of its own.
    EXPECT_EQ(w->Playback().CurrentTrack().sheetTrack, 3);
    ASSERT_TRUE(WaitFor([&] { return w->Playback().Length() > 0; }));
    EXPECT_NEAR(w->Playback().Length(), 1000 * (kBounds[3] - kBounds[2]) / 75, 1);
    EXPECT_LT(w->Playback().Position(), 1000);
    ASSERT_TRUE(WaitFor([&] { return w->State().playIndex == 0; }));
    ASSERT_TRUE(WaitFor([&] { return w->Player().Segment().trackNumber == 1 && w->Playback().Position() > 300; }));
    Click(0);
    w->Player().CloseWave();
    ASSERT_TRUE(graph::Graph::WaitForRetiredGraphs(20000));
    const std::vector<qint16> got = test::ReadLeftChannel(recording);
    // Track 2 and 3 back to back, then the round starts at the file's first sample.
    const qint64 from = kBounds[1] * kPerFrame;
    const qint64 end = kBounds[3] * kPerFrame;
    ASSERT_GT(static_cast<qint64>(got.size()), end - from + kRate / 4);
    qint64 off = 0;
    for (qint64 i = 0; i < end - from + kRate / 4; ++i) {
        const qint64 n = i < end - from ? from + i : i - (end - from);
        off += got[static_cast<size_t>(i)] != AlbumSample(n);
    }
    EXPECT_EQ(off, 0);
}

}  // namespace
