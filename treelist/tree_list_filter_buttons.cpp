// The header's filter buttons and the filter status panel's clear button: each shows
// pressed only while the pointer stays on it after the press, and acts on a release over it.

#include "treelist/custom_tree_list.h"

TRect TCustomvxTreeList::ClearFilterButtonRectIn(const TRect& Panel) {
    const int top = Panel.Top + (Panel.Height() - 11) / 2;
    return TRect{Panel.Left + 3, top, Panel.Left + 15, top + 11};
}

TRect TCustomvxTreeList::GetClearFilterButtonRect() {
    const TRect panel = GetRectInfo().FilterStatus;
    if (IsRectEmpty(panel) || !HasFilterCriteria()) return TRect{};
    return ClearFilterButtonRectIn(panel);
}

bool TCustomvxTreeList::IsOnFilterButton(const TvxTreeListHitInfo& Hit, int Column) {
    int zone = 0;
    return Column >= 0 && Hit.Kind == hkHeaderCell && Hit.Column == Column &&
           GetHeaderHitZone(Hit.X, Hit.Y, zone, Column) && zone == 2;
}

bool TCustomvxTreeList::IsOnClearFilterButton(const TvxTreeListHitInfo& Hit) {
    return Hit.Kind == hkFilterStatus && PtInRect(GetClearFilterButtonRect(), TPoint{Hit.X, Hit.Y});
}

void TCustomvxTreeList::PressFilterButton(int Column) {
    SetState(15);
    filterHeader_ = Column;
    pressedIn_ = filterPressed_ = true;
    InvalidateHeaderPanel();
}

void TCustomvxTreeList::ReleaseFilterButton(const TvxTreeListHitInfo& Hit) {
    const int column = filterHeader_;
    const bool over = IsOnFilterButton(Hit, column);
    CancelDragSizing();
    if (!over || HasState(csDesigning)) return;
    // The drop-down asks which column it belongs to while it opens.
    filterHeader_ = column;
    struct Reset {
        int& header;
        ~Reset() { header = -1; }
    } reset{filterHeader_};
    ShowFilterDropDown(column);
}

void TCustomvxTreeList::PressClearFilterButton() {
    SetState(16);
    pressedIn_ = clearFilterPressed_ = true;
    InvalidateRect(GetClearFilterButtonRect());
}

void TCustomvxTreeList::ReleaseClearFilterButton() {
    const bool in = clearFilterPressed_;
    CancelDragSizing();
    if (in) ClearFilter();
}
