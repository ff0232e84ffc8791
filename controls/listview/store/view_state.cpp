#include "controls/listview/store/view_state.h"

#include <algorithm>

#include "support/rounding.h"

namespace rilumo {

void ListViewState::ForgetRows() {
    topRow = 0;
    lastDrawnTopRow = 0;
    shiftRangeDone = false;
    ctrlPending = false;
}

int ListViewState::YsItem(float y, int count) const {
    const long long r = std::clamp(RoundEven(y), -2000000000LL, 2000000000LL);
    // Without a row height every position lies in the top row.
    const long long row = oneHeight > 0 ? r / oneHeight : 0;
    return static_cast<int>(std::clamp(row + topRow, 0LL, static_cast<long long>(count)));
}

}  // namespace rilumo
