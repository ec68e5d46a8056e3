#include "grid/filter/vx_db_grid_filter_popup.h"

#include "grid/core/vx_db_grid.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/messages.h"
#include "platform/win/virtual_keys.h"
#include "platform/win/window_tree.h"

TvxDBGridFilterPopupListBox::TvxDBGridFilterPopupListBox(TCustomvxDBGrid* AGrid)
    : TCustomvxPopupPickListBox(nullptr), grid_(AGrid) {}

void TvxDBGridFilterPopupListBox::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomvxPopupPickListBox::KeyDown(Key, Shift);
    const bool accept = Key == VK_RETURN;
    if (!accept && Key != VK_ESCAPE && Key != VK_F4) return;
    // The key's character is already queued for the grid, which would act on it again.
    MSG msg{};
    if (grid_ && grid_->HandleAllocated()) PeekMessage(msg, grid_->Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
    CloseUp(accept);
    Key = 0;
}

void TvxDBGridFilterPopupListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomvxPopupPickListBox::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const TRect client = ClientRect();
    CloseUp(X >= client.Left && Y >= client.Top && X < client.Right && Y < client.Bottom);
}

void TvxDBGridFilterPopupListBox::CloseUp(bool Accept) {
    if (!grid_ || !grid_->FilterDroppedDown()) return;
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    grid_->SetFilterDroppedDown(false);
    const int index = ItemIndex();
    if (!Accept || index < 0 || !column_) return;
    TvxDBGridFilter* filter = grid_->Filter();
    if (!filter) return;
    if (index == 0) {
        filter->RemoveFilter(column_);
    } else if (index == 1) {
        filter->ShowCustomDialog(column_);
    } else if (index < firstValueItem_) {
        filter->SetFilterBlanks(column_, index == 3);
    } else if (index - firstValueItem_ < filterValues_.Count()) {
        const int v = index - firstValueItem_;
        filter->SetFilterValue(column_, filterValues_.Values(v), filterValues_.Strings(v));
    }
}
