// The sizing line: while the mouse drags a band, column, panel or row edge, a 2-pixel line
// shows where the edge will go. It is drawn by inverting the pixels, so inverting them
// again takes it away and nothing under it needs repainting; painting takes it away first
// and puts it back after (the drag feedback bracket).

#include <algorithm>

#include "platform/forms/screen.h"
#include "platform/gdi/draw.h"
#include "platform/win/paint.h"
#include "treelist/custom_tree_list.h"

void TCustomvxTreeList::InvertSizingLine() {
    if (!HandleAllocated()) return;
    const HWND wnd = WindowHandle();
    HDC dc = GetDC(wnd);
    if (!dc) return;
    const int oldMix = SetROP2(dc, R2_NOT);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const TvxTreeListRectInfo areas = GetRectInfo();
    const bool vertical = state_ == 1 || state_ == 8;
    // Vertical from the band panel (or the header panel without one) down through the rows.
    const int top = IsRectEmpty(areas.BandPanel) ? areas.HeaderPanel.Top : areas.BandPanel.Top;
    for (int at = sizingPosition_ - 1; at <= sizingPosition_; ++at) {
        if (vertical) {
            MoveToEx(dc, at, top, nullptr);
            LineTo(dc, at, areas.Rows.Bottom);
        } else {
            MoveToEx(dc, areas.Client.Left, at, nullptr);
            LineTo(dc, areas.Client.Right, at);
        }
    }
    SelectObject(dc, oldPen);
    SetROP2(dc, oldMix);
    ReleaseDC(wnd, dc);
}

void TCustomvxTreeList::ShowSizingLine(bool Show) {
    if (sizingLineShown_ == Show) return;
    sizingLineShown_ = Show;
    if (dragFeedbackCount_ == 0) InvertSizingLine();
}

void TCustomvxTreeList::MoveSizingLine(int Position) {
    if (Position == sizingPosition_) return;
    const bool shown = sizingLineShown_;
    ShowSizingLine(false);
    sizingPosition_ = Position;
    ShowSizingLine(shown);
}

void TCustomvxTreeList::EndSizing() {
    ShowSizingLine(false);
    SetState(0);
}

// The row's line height becomes the default: the largest whose row still fits above the line.
void TCustomvxTreeList::EndRowSizing(int Y) {
    const int row = downHit_.Row;
    TvxTreeListNode* node = downHit_.Node;
    const TvxSizingLimits limits = GetRowSizingLimits(row);
    const int position = std::clamp(Y, limits.Min, std::max(limits.Min, limits.Max));
    EndSizing();
    if (position == sizingStart_ || !node) return;
    TvxTreeListLayout layout;
    CalcLayout(layout);
    const bool found = row >= 0 && row < static_cast<int>(layout.RowEntries.size());
    const int top = found ? layout.RowEntries[static_cast<size_t>(row)].Top : 0;
    FreeLayout(layout);
    if (!found) return;
    const int room = position - top;
    int lineHeight = metrics_.MinRowLineHeight;
    while (lineHeight < room && GetRowHeight(node, lineHeight + 1, true) <= room) ++lineHeight;
    SetDefaultRowHeight(lineHeight);
}
