// The group panel above the headers: one header-like box per group column, each half a
// header row lower than the one before, joined by lines; empty, it asks for a column.
// Headers dragged onto it group by their column; a box dragged back to the headers
// ungroups it, and a click on a box sorts its group rows. Both drags are the tree list's
// own header drag.

#include <algorithm>
#include <cstdlib>

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_grid.h"
#include "platform/classes/update_scope.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text.h"
#include "platform/win/input.h"
#include "treelist/tree_list_drawing.h"
#include "treelist/tree_list_unit.h"

TRect TCustomvxDBGrid::GroupBoxRect(int Index) {
    const int h = Metrics().HeaderLineHeight;
    const TRect panel = GetRectInfo().GroupPanel;
    const int left = panel.Left + 8 + 104 * Index;
    const int top = panel.Top + 8 + (h / 2) * Index;
    return TRect{left, top, left + 100, top + h};
}

int TCustomvxDBGrid::GroupPanelHeightFor(int GroupCount) {
    const int h = Metrics().HeaderLineHeight;
    return h + 16 + (GroupCount - 1) * (h / 2);
}

int TCustomvxDBGrid::GetGroupPanelHeight() { return showGroupPanel_ ? GroupPanelHeightFor(GroupColumnCount()) : 0; }

int TCustomvxDBGrid::GroupDropIndex(TPoint P) {
    int index = 0;
    for (; index < GroupColumnCount(); ++index) {
        const TRect box = GroupBoxRect(index);
        if ((box.Left + box.Right) / 2 > P.X) break;
    }
    return index;
}

void TCustomvxDBGrid::DrawGroupPanel(TCanvas* Canvas, const TRect& Rect, HBRUSH HeaderBrush, HBRUSH) {
    HDC dc = Canvas->Handle();
    if (OnBackgroundDrawEvent) {
        OnBackgroundDrawEvent(this, Canvas, Rect);
    } else if (LookAndFeel() == lfUltraFlat && groupPanelColor_ == clBtnShadow) {
        FillRect(dc, Rect, HeaderBrush);
    } else {
        HBRUSH brush = CreateSolidBrush(ColorToRGB(groupPanelColor_));
        FillRect(dc, Rect, brush);
        DeleteObject(brush);
    }
    Canvas->SetFont(HeaderFont());
    if (groupColumns_.empty()) {
        SetTextColor(dc, ColorToRGB(groupPanelFontColor_));
        SetBkMode(dc, TRANSPARENT);
        TRect text = Rect;
        const std::string caption = std::string(" ") + kvxGroupPanelText;
        DrawText(dc, caption, text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX);
        return;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnText));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int i = 0; i + 1 < GroupColumnCount(); ++i) {
        const TRect a = GroupBoxRect(i), b = GroupBoxRect(i + 1);
        const int x = (a.Left + a.Right) / 2;
        const int y = a.Bottom - 1;
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, x, y + 3);
        LineTo(dc, b.Left + 1, y + 3);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    SetTextColor(dc, ColorToRGB(HeaderFont()->Color()));
    for (int i = 0; i < GroupColumnCount(); ++i) {
        const TRect box = GroupBoxRect(i);
        if (!RectVisible(dc, box)) continue;
        TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(i)];
        TvxHeaderCellLook look;
        look.Look = LookAndFeel();
        look.Alignment = column->HeaderAlignment();
        look.Sorted = column->Sorted() == csDown ? 1 : column->Sorted() == csUp ? 2 : 0;
        DrawHeaderCell(dc, box, HeaderBrush, look, column->Caption());
    }
}

// ---- Dragging headers into, inside and out of the panel ----

int TCustomvxDBGrid::GroupBoxAt(TPoint P) {
    for (int i = 0; i < GroupColumnCount(); ++i)
        if (PtInRect(GroupBoxRect(i), P)) return i;
    return -1;
}

bool TCustomvxDBGrid::IsOverGroupPanel(TPoint Client) {
    return showGroupPanel_ && GetHitTestType(Client.X, Client.Y) == hkGroupPanel;
}

bool TCustomvxDBGrid::MayDropOnGroupPanel(TvxDBTreeListColumn* Column) {
    return Column && (Column->GroupIndex() >= 0 || CanAddGroupColumn(Column));
}

void TCustomvxDBGrid::CalcHeaderDropPosition(TPoint& P, TvxHeaderPosInfo& Result, int Dragged, int DraggedShown) {
    const TPoint client = ScreenToClient(P);
    if (!IsOverGroupPanel(client)) {
        TCustomvxDBTreeListControl::CalcHeaderDropPosition(P, Result, Dragged, DraggedShown);
        return;
    }
    Result = TvxHeaderPosInfo{};
    TPoint arrow{-100, -100};
    if (MayDropOnGroupPanel(GetColumn(Dragged))) {
        const int index = GroupDropIndex(client);
        Result.ColPos = index;
        Result.Marker = kvxGroupPanelDrop;
        // Where the box of that index stands, or would stand.
        const TRect place = GroupBoxRect(index);
        arrow = TPoint{place.Left - 5, place.Top - 9};
    }
    P = ClientToScreen(arrow);
}

bool TCustomvxDBGrid::IsDropOnCustomizeForm(TPoint P, TCursor& Cursor) {
    const bool result = TCustomvxDBTreeListControl::IsDropOnCustomizeForm(P, Cursor);
    if (draggedGroupColumn_) {
        // A box dragged away is never hidden: it goes back among the headers.
        Cursor = this->Cursor();
    } else if (IsOverGroupPanel(ScreenToClient(P))) {
        Cursor = MayDropOnGroupPanel(GetColumn(DraggedColumn())) ? this->Cursor() : crvxTLDelete;
    }
    return result;
}

bool TCustomvxDBGrid::CanHideShowByDrag() {
    return draggedGroupColumn_ != nullptr || TCustomvxDBTreeListControl::CanHideShowByDrag();
}

void TCustomvxDBGrid::EndHeaderDragging(bool Accept) {
    TvxDBTreeListColumn* fromPanel = draggedGroupColumn_;
    // Kept to the end: while it is set, the inherited end may show the hidden column.
    struct Clear {
        TvxDBTreeListColumn*& column;
        ~Clear() { column = nullptr; }
    } clear{draggedGroupColumn_};
    const int dragged = DraggedColumn();
    TvxDBTreeListColumn* column = dragged >= 0 ? GetColumn(dragged) : nullptr;
    TPoint cursor;
    GetCursorPos(&cursor);
    const TPoint p = ScreenToClient(cursor);
    if (Accept && column && IsOverGroupPanel(p)) {
        // A header dropped on the panel groups by its column at the box it was dropped by.
        TCustomvxDBTreeListControl::EndHeaderDragging(false);
        int position = GroupDropIndex(p);
        // A grouped column only moves among the group columns.
        if (column->GroupIndex() >= 0) position = std::min(position, GroupColumnCount() - 1);
        bool allow = true;
        DoEndDragGroupColumn(column, position, allow);
        if (allow) column->SetGroupIndex(position);
        return;
    }
    if (!Accept || !fromPanel || fromPanel != column) {
        TCustomvxDBTreeListControl::EndHeaderDragging(Accept);
        return;
    }
    // Out of the panel: the column stands where it was dropped among the headers, or where
    // it stood before grouping when dropped anywhere else. Nothing is hidden that way, so
    // the drop is taken only where it places the column.
    TPoint at = cursor;
    TvxHeaderPosInfo drop;
    CalcHeaderDropPosition(at, drop, dragged, IsColumnVisible(dragged) ? dragged : -1);
    TCustomvxDBTreeListControl::EndHeaderDragging(drop.Marker == -3);
    TUpdateScope<TCustomvxTreeList> update(this);
    column->SetGroupIndex(-1);
    if (IsBufferedMode()) ClearBufferedSorting();
}

// ---- The mouse on the group boxes ----

void TCustomvxDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    pressedGroupColumn_ = nullptr;
    const TPoint p{X, Y};
    if (Button == mbLeft && State() == 0 && IsOverGroupPanel(p)) {
        const int box = GroupBoxAt(p);
        TvxDBTreeListColumn* column = box >= 0 ? groupColumns_[static_cast<size_t>(box)] : nullptr;
        if (column && CanHeaderDragging(column->Index())) {
            pressedGroupColumn_ = column;
            groupPressPoint_ = p;
            Shift.Exclude(ssDouble);
        }
    }
    TCustomvxDBTreeListControl::MouseDown(Button, Shift, X, Y);
}

void TCustomvxDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
    if (pressedGroupColumn_ && State() == 0 && Shift.Contains(ssLeft) &&
        (std::abs(X - groupPressPoint_.X) > 5 || std::abs(Y - groupPressPoint_.Y) > 5)) {
        draggedGroupColumn_ = pressedGroupColumn_;
        pressedGroupColumn_ = nullptr;
        DoStartHeaderDragging(draggedGroupColumn_->Index());
    }
    TCustomvxDBTreeListControl::MouseMove(Shift, X, Y);
}

void TCustomvxDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxDBTreeListColumn* clicked = Button == mbLeft && State() == 0 ? pressedGroupColumn_ : nullptr;
    if (Button == mbLeft) pressedGroupColumn_ = nullptr;
    if (clicked && IsAutoSort()) HeaderClick(clicked->Index(), Shift);
    TCustomvxDBTreeListControl::MouseUp(Button, Shift, X, Y);
}
