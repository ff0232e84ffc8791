// Stand-in for the column set's own code, so that the tag cells can be built
// and tested before it lands; removed when it does.

#include "app/list_columns.h"

#include "controls/listview/uc_listview.h"
#include "media/track_tags.h"

namespace rilumo {

QString ColumnCaption(ListColumn c) {
    static const char* const kCaptions[] = {"タイトル", "曲名", "アーティスト", "アルバム",
                                            "トラック", "長さ", "形式", "フォルダ"};
    const int i = DataIndex(c);
    return i >= 0 && i < DataIndex(ListColumn::Count) ? QString::fromUtf8(kCaptions[i]) : QString();
}

void ShowTrackTags(UC_ListView& lv, int row, const TrackTags& tags) {
    lv.SetValue(row, DataIndex(ListColumn::TagTitle), tags.title);
    lv.SetValue(row, DataIndex(ListColumn::Artist), tags.artist);
    lv.SetValue(row, DataIndex(ListColumn::Album), tags.album);
    lv.SetValue(row, DataIndex(ListColumn::Track), tags.trackNumber > 0 ? Value(tags.trackNumber) : Value());
    lv.SetValue(row, DataIndex(ListColumn::Length),
                tags.lengthMs > 0 ? Value(static_cast<double>(tags.lengthMs) / 1000.0) : Value());
    lv.SetValue(row, DataIndex(ListColumn::Format), FormatSummary(tags));
}

}  // namespace rilumo
