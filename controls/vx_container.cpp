#include "controls/vx_container.h"

#include "controls/vx_edit_style.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"

TCustomvxContainer::TCustomvxContainer(TComponent* AOwner) : TCustomControl(AOwner) {}

TvxEditStyle* TCustomvxContainer::CreateEditStyle(TvxInplaceEdit* Editor) { return new TvxEditStyle(Editor); }

void TCustomvxContainer::ScrollVertical(bool Up, int Count) {
    if (!HandleAllocated()) return;
    for (int i = 0; i < Count; ++i) SendMessage(Handle(), WM_VSCROLL, Up ? SB_LINEUP : SB_LINEDOWN, 0);
}

void TCustomvxContainer::DoEditKeyDown(uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

TvxEditButtonViewStyle TCustomvxContainer::GetEditButtonViewStyle(TvxEditBorderStyle BorderStyle) {
    (void)BorderStyle;
    return btsFlat;
}

void TCustomvxContainer::SetFlatScrollBarMode(uint8_t Value) {
    if (flatScrollBarMode_ == Value) return;
    flatScrollBarMode_ = Value;
    if (HandleAllocated()) RecreateWnd();
}

// The window layer draws one kind of scroll bar; the mode is kept for the container's
// descendants and its window re-created on a change, as the flat bars need.
bool TCustomvxContainer::FlatSB_GetScrollInfo(int Bar, SCROLLINFO& Info) {
    return HandleAllocated() && GetScrollInfo(Handle(), Bar, &Info);
}

int TCustomvxContainer::FlatSB_SetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw) {
    if (!HandleAllocated()) return 0;
    return SetScrollInfo(Handle(), Bar, &Info, Redraw);
}

void TCustomvxContainer::CreateWnd() { TCustomControl::CreateWnd(); }

void TCustomvxContainer::WMMouseWheel(TMessage& Message) {
    TCustomControl::WMMouseWheel(Message);
    int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    ScrollVertical(delta > 0, static_cast<int>(WheelScrollLines()));
}
