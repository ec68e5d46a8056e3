// The group panel above the headers: one header-like box per group column, each half a
// header row lower than the one before, joined by lines; empty, it asks for a column.

#include <algorithm>

#include "grid/vx_db_grid.h"
#include "grid/vx_db_tree_list_column.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text.h"
#include "platform/win/input.h"
#include "treelist/tree_list_drawing.h"

TRect TCustomvxDBGrid::GroupBoxRect(int Index) {
    const int h = Metrics().HeaderLineHeight;
    const TRect panel = GetRectInfo().GroupPanel;
    const int left = panel.Left + 8 + 104 * Index;
    const int top = panel.Top + 8 + (h / 2) * Index;
    return TRect{left, top, left + 100, top + h};
}

int TCustomvxDBGrid::GetGroupPanelHeight() {
    if (!showGroupPanel_) return 0;
    const int h = Metrics().HeaderLineHeight;
    return h + 16 + (GroupColumnCount() - 1) * (h / 2);
}

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

// A header dropped on the group panel groups by its column at the box it was dropped by.
void TCustomvxDBGrid::EndHeaderDragging(bool Accept) {
    const int dragged = DraggedColumn();
    TPoint cursor;
    GetCursorPos(&cursor);
    const TPoint p = ScreenToClient(cursor);
    TvxDBTreeListColumn* column = dragged >= 0 ? GetColumn(dragged) : nullptr;
    if (!Accept || !showGroupPanel_ || !column || !PtInRect(GetRectInfo().GroupPanel, p)) {
        TCustomvxDBTreeListControl::EndHeaderDragging(Accept);
        return;
    }
    TCustomvxDBTreeListControl::EndHeaderDragging(false);
    int position = GroupDropIndex(p);
    // A grouped column only moves among the group columns.
    if (column->GroupIndex() >= 0) position = std::min(position, GroupColumnCount() - 1);
    bool allow = true;
    DoEndDragGroupColumn(column, position, allow);
    if (allow) column->SetGroupIndex(position);
}
