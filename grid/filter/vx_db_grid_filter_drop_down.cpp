// The filter drop-down of a column header: filled, sized and placed below the header cell,
// and fed the grid's keys and mouse while it is open.

#include <algorithm>

#include "controls/draw_utils.h"
#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_grid.h"
#include "grid/filter/vx_db_grid_filter_popup.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/screen.h"
#include "platform/gdi/canvas.h"
#include "platform/win/messages.h"

void TCustomvxDBGrid::ShowFilterDropDown(int Column) {
    TvxDBTreeListColumn* column = GetColumn(Column);
    if (!column || !filter_ || !HandleAllocated()) return;
    TvxTreeListLayout layout;
    CalcLayout(layout);
    const TvxTreeListHeaderCellEntry* cell = layout.FindCell(Column);
    TRect rect = cell ? cell->Rect : TRect{};
    FreeLayout(layout);
    if (IsRectEmpty(rect)) return;

    if (!filterDropDown_) filterDropDown_ = std::make_unique<TvxDBGridFilterPopupListBox>(this);
    TvxDBGridFilterPopupListBox* list = filterDropDown_.get();
    list->HideList();
    list->SetParent(this);
    list->SetColumn(column);
    list->SetColor(Color());
    list->Font()->Assign(Font());
    list->SetPopupBorderStyle(LookAndFeel() == lfUltraFlat ? pbSingle : pbFlat);
    FillFilterValues(column);

    const int itemHeight = list->MeasuredItemHeight();
    const int count = list->Items()->Count();
    // The filter's sizes may come from a stored layout: the list never outgrows the screen.
    TScreen* screen = EnsureScreen();
    int rows = filter_->DropDownCount() > 0 ? std::min(count, filter_->DropDownCount()) : count;
    rows = std::min(rows, std::max(1, screen->Height() / std::max(1, itemHeight)));
    int clientWidth = std::min(filter_->DropDownWidth(), screen->Width());
    if (clientWidth == 0) {
        TCanvas* canvas = list->Canvas();
        canvas->Font()->Assign(list->Font());
        for (int i = 0; i < count; ++i)
            clientWidth = std::max(clientWidth, canvas->TextWidth(list->Items()->Strings(i)));
    }
    clientWidth += 4;
    const TSize size = list->WindowSizeFor(clientWidth, itemHeight * rows, rows);
    int width = std::max(rect.Width(), size.cx);
    const int height = std::min(size.cy, screen->Height());
    TPoint p = ClientToScreen(TPoint{rect.Left, rect.Bottom});
    AdjustPopupPosition(p, width, height, rect.Height());
    list->SetBounds(p.X, p.Y, width, height);
    if (list->ItemIndex() >= 0) list->MakeVisible(list->ItemIndex());
    list->ShowList();
    filterDroppedDown_ = true;
    InvalidateHeaderPanel();
}

void TCustomvxDBGrid::CancelDragSizing() {
    TCustomvxDBTreeListControl::CancelDragSizing();
    if (filterDroppedDown_ && filterDropDown_) filterDropDown_->CloseUp(false);
}

void TCustomvxDBGrid::WndProc(TMessage& Message) {
    // The grid needs its rows to paint them, and to move among them by a key or a scroll.
    if (const UINT need = Message.Msg;
        need == WM_PAINT || need == WM_KEYDOWN || need == WM_VSCROLL || need == WM_HSCROLL || need == WM_MOUSEWHEEL)
        LoadOwedRows(need == WM_PAINT);
    if (!filterDroppedDown_ || !filterDropDown_) {
        TCustomvxDBTreeListControl::WndProc(Message);
        return;
    }
    const UINT msg = Message.Msg;
    if (msg == WM_KEYDOWN || msg == WM_CHAR || msg == WM_SYSKEYDOWN) {
        Message.Result = filterDropDown_->Perform(msg, Message.WParam, Message.LParam);
        return;
    }
    if (msg == WM_KILLFOCUS || msg == WM_CANCELMODE ||
        (msg == CM_CANCELMODE && Message.LParam != reinterpret_cast<LPARAM>(this))) {
        filterDropDown_->CloseUp(false);
        TCustomvxDBTreeListControl::WndProc(Message);
        return;
    }
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        const TPoint screen = ClientToScreen(TPoint{static_cast<int16_t>(Message.LParam & 0xFFFF),
                                                    static_cast<int16_t>((Message.LParam >> 16) & 0xFFFF)});
        const TPoint local = filterDropDown_->ScreenToClient(screen);
        if (PtInRect(filterDropDown_->ClientRect(), local)) {
            const LPARAM lp = static_cast<LPARAM>((static_cast<uint16_t>(local.Y) << 16) |
                                                  static_cast<uint16_t>(local.X));
            Message.Result = filterDropDown_->Perform(msg, Message.WParam, lp);
            return;
        }
        if (msg != WM_MOUSEMOVE && msg != WM_LBUTTONDOWN && msg != WM_LBUTTONUP) return;
    }
    TCustomvxDBTreeListControl::WndProc(Message);
}
