#include "grid/editors/vx_popup_db_lookup_list_box.h"

#include "controls/vx_popup_control.h"
#include "platform/win/window_tree.h"

void TPopupDBLookupListBox::SetPopupBorder(TvxPopupBorder Value) {
    if (popupBorder_ == Value) return;
    popupBorder_ = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TPopupDBLookupListBox::SetShadow(bool Value) {
    if (shadow_ == Value) return;
    shadow_ = Value;
    if (HandleAllocated()) RecreateWnd();
}

int TPopupDBLookupListBox::GetBorderSize() {
    int size = popupBorder_ == pbDefault ? TPopupDataList::GetBorderSize() : 2 * PopupBorderWidth(popupBorder_);
    return shadow_ ? size + shadowSize_ : size;
}

void TPopupDBLookupListBox::CreateParams(TCreateParams& Params) {
    TPopupDataList::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
}

void TPopupDBLookupListBox::WMNCCalcSize(TMessage& Message) {
    TPopupDataList::WMNCCalcSize(Message);
    auto* rc = reinterpret_cast<TRect*>(Message.LParam);
    if (!rc) return;
    ShrinkPopupClientRect(*rc, popupBorder_, shadow_, shadowSize_);
}

void TPopupDBLookupListBox::WMNCPaint(TMessage& Message) {
    TPopupDataList::WMNCPaint(Message);
    DrawPopupBorder(this, popupBorder_, shadowSize_, shadow_);
}

void TPopupDBLookupListBox::WMSize(TMessage& Message) {
    TPopupDataList::WMSize(Message);
    SetShadowRegion();
}

void TPopupDBLookupListBox::SetShadowRegion() { SetPopupShadowRegion(this, shadow_, shadowSize_); }
