// Row counts, the top index and the horizontal position with their clamps, the scroll bars
// that follow them, and the two scroll primitives that move the window content.

#include <algorithm>
#include <cstdlib>

#include "controls/vx_inplace_edit.h"
#include "platform/gdi/region.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/paint.h"
#include "treelist/custom_tree_list.h"

void TCustomvxTreeList::UpdateRowCounts() {
    const int height = GetRectInfo().Rows.Height();
    const int unit = metrics_.RowHeightUnit;
    int partly = 0, wholly = 0, sum = 0;
    bool full = false;
    auto count = [&](TvxTreeListNode* node) {
        const int h = GetRowHeight(node, unit, false);
        if (sum + h <= height) {
            ++wholly;
            ++partly;
            sum += h;
            return true;
        }
        if (sum < height) ++partly;
        full = true;
        return false;
    };
    for (TvxTreeListNode* n = topNode_; n && count(n);) n = GetNextVisibleNode(n);
    // A short list scrolled down still describes a full page.
    if (!full)
        for (TvxTreeListNode* n = GetPriorVisibleNode(topNode_); n && count(n);) n = GetPriorVisibleNode(n);
    SetVisibleRowCounts(partly, wholly);
}

void TCustomvxTreeList::GetVertScrollInfo(int& Min, int& Max, int& Page, int& Pos) {
    const int count = GetAbsoluteCount();
    Min = 0;
    Page = whollyVisibleRows_;
    Max = count <= Page ? 0 : count - 1;
    Pos = std::max(0, GetTopIndex());
}

void TCustomvxTreeList::UpdateVertScrollBar() {
    UpdateRowCounts();
    if (!HasVertScrollBar()) return;
    SCROLLINFO old;
    old.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    FlatSB_GetScrollInfo(SB_VERT, old);
    int min = 0, max = 0, page = 0, pos = 0;
    GetVertScrollInfo(min, max, page, pos);
    if (old.nMin == min && old.nMax == max && static_cast<int>(old.nPage) == page && old.nPos == pos) return;
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = min;
    info.nMax = max;
    info.nPage = static_cast<unsigned>(std::max(0, page));
    info.nPos = pos;
    const bool editing = state_ == 2 && editor_;
    if (editing) editor_->Hide();
    FlatSB_SetScrollInfo(SB_VERT, info, true);
    if (editing && editor_ && state_ == 2) editor_->Show();
}

void TCustomvxTreeList::UpdateHorzScrollBar() {
    if (!HasHorzScrollBar()) return;
    const int total = GetScrollableWidth();
    const int visible = GetVisibleDataWidth();
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = total > visible ? total - 1 : 0;
    info.nPage = static_cast<unsigned>(std::max(0, visible));
    info.nPos = leftCoord_;
    SCROLLINFO old;
    old.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    FlatSB_GetScrollInfo(SB_HORZ, old);
    SCROLLINFO expected = info;
    // The bar keeps the page within its range; compare with what it would keep.
    expected.nPage = std::min<unsigned>(info.nPage, static_cast<unsigned>(info.nMax - info.nMin + 1));
    if (old.nMin == expected.nMin && old.nMax == expected.nMax && old.nPage == expected.nPage && old.nPos == info.nPos)
        return;
    FlatSB_SetScrollInfo(SB_HORZ, info, true);
}

void TCustomvxTreeList::UpdateScrollBars() {
    if (!HandleAllocated()) return;
    // A hidden window leaves its bars alone; showing it brings them up to date.
    if (!(static_cast<DWORD>(GetWindowLong(WindowHandle(), GWL_STYLE)) & WS_VISIBLE)) {
        UpdateRowCounts();
        return;
    }
    // Showing a bar resizes the client and comes back here through WM_SIZE; the two passes
    // of the outer call settle it.
    if (scrollBarsUpdating_) {
        UpdateRowCounts();
        return;
    }
    scrollBarsUpdating_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{scrollBarsUpdating_};
    for (int pass = 0; pass < 2; ++pass) {
        UpdateVertScrollBar();
        UpdateHorzScrollBar();
    }
}

void TCustomvxTreeList::DropUnneededScrollBars() {
    if (!HandleAllocated() || KeepScrollBars()) return;
    const DWORD style = static_cast<DWORD>(GetWindowLong(WindowHandle(), GWL_STYLE));
    if ((style & (WS_HSCROLL | WS_VSCROLL)) != (WS_HSCROLL | WS_VSCROLL)) return;
    const TRect client = ClientRect();
    const int wider = client.Width() + GetSystemMetrics(SM_CXVSCROLL);
    const int taller = client.Height() + GetSystemMetrics(SM_CYHSCROLL);
    // The rows that would fit in the taller client.
    const int rowsHeight = GetRectInfo().Rows.Height() + (taller - client.Height());
    int sum = 0, fitting = 0;
    for (TvxTreeListNode* n = GetFirstNode(); n; n = GetNextVisibleNode(n)) {
        sum += GetRowHeight(n, metrics_.RowHeightUnit, false);
        if (sum > rowsHeight) break;
        ++fitting;
    }
    const int fixed = GetBandsTotalWidth() - GetScrollableWidth();
    const int dataWidth = wider - metrics_.IndicatorWidth - fixed;
    if (GetAbsoluteCount() <= fitting && GetScrollableWidth() <= dataWidth)
        ShowScrollBar(WindowHandle(), SB_BOTH, false);
}

int TCustomvxTreeList::TopIndexPixelDistance(TvxTreeListNode* OldTop, int Delta) {
    const int unit = metrics_.RowHeightUnit;
    int pixels = 0;
    if (Delta > 0) {
        TvxTreeListNode* n = GetPriorVisibleNode(OldTop);
        for (int i = 0; i < Delta && n; ++i, n = GetPriorVisibleNode(n)) pixels += GetRowHeight(n, unit, false);
    } else {
        TvxTreeListNode* n = OldTop;
        for (int i = 0; i < -Delta && n; ++i, n = GetNextVisibleNode(n)) pixels -= GetRowHeight(n, unit, false);
    }
    return pixels;
}

int TCustomvxTreeList::LastTopIndex() {
    // Rows of one height: any page holds as many as the one shown.
    if (!IsRowAutoHeight()) return std::max(0, GetAbsoluteCount() - whollyVisibleRows_);
    const int height = GetRectInfo().Rows.Height();
    int fitting = 0, sum = 0;
    for (TvxTreeListNode* n = GetLastVisibleNode(); n; n = GetPriorVisibleNode(n)) {
        sum += GetRowHeight(n, metrics_.RowHeightUnit, false);
        if (sum > height) break;
        ++fitting;
    }
    return std::max(0, GetAbsoluteCount() - std::max(1, fitting));
}

void TCustomvxTreeList::SetTopIndex(int Index) {
    CloseEditor();
    const int old = GetTopIndex();
    if (Index == old) return;
    Index = std::max(0, Index);
    const int count = GetAbsoluteCount();
    if (count > 1) Index = std::min(Index, LastTopIndex());
    TvxTreeListNode* node = GetAbsoluteNode(Index);
    if (!node || node == topNode_) return;
    TvxTreeListNode* const oldTop = topNode_;
    const int rows = old - Index;
    // A jump beyond a page repaints everything: the rows passed over are never measured.
    const bool scrolls = std::abs(rows) <= whollyVisibleRows_;
    const int pixels = oldTop && scrolls ? TopIndexPixelDistance(oldTop, rows) : 0;
    const TRect oldFocus = GetNodeRowRect(focusedNode_);
    SetTopVisibleNode(node);
    UpdateScrollBars();
    if (IsUpdateLocked()) return;
    InvalidateRect(oldFocus);
    InvalidateRect(GetNodeRowRect(focusedNode_));
    if (scrolls)
        ScrollRows(pixels);
    else
        Invalidate();
}

void TCustomvxTreeList::SetLeftCoord(int Value) {
    CloseEditor();
    if (Value == leftCoord_) return;
    const int total = GetScrollableWidth();
    const int visible = GetVisibleDataWidth();
    // Held to the range before anything is added to it.
    Value = std::clamp(Value, 0, std::max(0, total - visible));
    if (Value == leftCoord_) return;
    const int distance = leftCoord_ - Value;
    leftCoord_ = Value;
    UpdateScrollBars();
    if (!IsUpdateLocked()) {
        const bool fixedBand = GetLeftFixedBand() >= 0 || GetRightFixedBand() >= 0;
        if (!showSummaryFooter_ && visible >= std::abs(distance) && !fixedBand)
            ScrollColumns(distance);
        else
            Invalidate();
    }
    DoChangeLeftCoord();
}

void TCustomvxTreeList::ClampTopIndex() {
    const int top = GetTopIndex();
    if (top < 0 || GetAbsoluteCount() <= 1) return;
    const int last = LastTopIndex();
    if (top > last) SetTopIndex(last);
}

void TCustomvxTreeList::ClampScrollPositions() {
    ClampTopIndex();
    const int total = GetScrollableWidth();
    const int visible = GetVisibleDataWidth();
    if (total <= visible)
        SetLeftCoord(0);
    else if (leftCoord_ + visible > total)
        SetLeftCoord(total - visible);
}

void TCustomvxTreeList::ScrollColumns(int DX) {
    if (!HandleAllocated() || DX == 0) return;
    const TRect area = GetScrollAreaRect();
    ScrollWindowEx(WindowHandle(), DX, 0, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

void TCustomvxTreeList::ScrollRows(int DY) {
    if (!HandleAllocated() || DY == 0) return;
    TRect rows;
    GetRowsAreaRect(rows);
    ScrollWindowEx(WindowHandle(), 0, DY, &rows, &rows, nullptr, nullptr, SW_INVALIDATE);
    // The tree lines left of the fixed part are drawn relative to the rows around them.
    int right = rows.Left + GetBandOffset(0) + GetGroupIndentWidth() - (GetLeftFixedBand() >= 0 ? leftCoord_ : 0);
    if (right > rows.Left) InvalidateRect(TRect{rows.Left, rows.Top, right, rows.Bottom});
}

void TCustomvxTreeList::FocusFirstNode() {
    TvxTreeListNode* first = GetFirstNode();
    focusedNode_ = first;
    SetTopVisibleNode(first);
}

void TCustomvxTreeList::SetNewItemRowActive(bool Value) {
    if (!showNewItemRow_ || Value == newItemRowActive_) return;
    newItemRowActive_ = Value;
    InvalidateRect(GetNodeRowRect(focusedNode_));
    InvalidateNewItemRow();
}

// ---- Drag feedback ----

void TCustomvxTreeList::HideDragFeedback() {
    if (dragFeedbackCount_++ > 0) return;
    if (sizingLineShown_) InvertSizingLine();
}

void TCustomvxTreeList::ShowDragFeedback() {
    if (dragFeedbackCount_ == 0 || --dragFeedbackCount_ > 0) return;
    if (sizingLineShown_) InvertSizingLine();
}

// ---- Area invalidation ----

void TCustomvxTreeList::InvalidateBandPanel() {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    InvalidateRect(layout.BandPanel);
    if (HandleAllocated()) UpdateWindow(WindowHandle());
}

void TCustomvxTreeList::InvalidateHeaderPanel() {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    InvalidateRect(layout.HeaderPanel);
    if (HandleAllocated()) UpdateWindow(WindowHandle());
}

void TCustomvxTreeList::InvalidateRowsArea() {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    InvalidateRect(layout.Rows);
    if (HandleAllocated()) UpdateWindow(WindowHandle());
}

void TCustomvxTreeList::InvalidateFooter() {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    InvalidateRect(layout.Footer);
    if (HandleAllocated()) UpdateWindow(WindowHandle());
}

void TCustomvxTreeList::InvalidateNewItemRow() {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    InvalidateRect(layout.NewItemRow);
}
