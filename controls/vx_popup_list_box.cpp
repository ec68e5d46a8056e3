#include "controls/vx_popup_list_box.h"

#include <algorithm>

#include "controls/draw_utils.h"
#include "controls/vx_edit_style.h"
#include "controls/vx_popup_control.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/form.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/gdi/text.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"

// ---- TCustomvxPopupListBox ----

TCustomvxPopupListBox::TCustomvxPopupListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetVisibleFlag(false);
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetStyle(lbOwnerDrawVariable);
}

void TCustomvxPopupListBox::SetPopupBorderStyle(TvxPopupBorder v) {
    if (popupBorderStyle_ == v) return;
    popupBorderStyle_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomvxPopupListBox::SetShadow(bool v) {
    if (shadow_ == v) return;
    shadow_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomvxPopupListBox::CreateParams(TCreateParams& Params) {
    TListBox::CreateParams(Params);
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE | WS_BORDER)) | WS_POPUP;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    // Top-level, owned by the form of the control that opens it.
    TCustomForm* form = nullptr;
    if (auto* c = dynamic_cast<TControl*>(Owner())) form = GetParentForm(c);
    Params.WndParent = form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TCustomvxPopupListBox::MeasureItem(int Index, int& Height) {
    (void)Index;
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, Font()->Handle());
    TSize size;
    GetTextExtentPoint32(dc, "Wg", &size);
    DeleteDC(dc);
    Height = size.cy;
}

int TCustomvxPopupListBox::MeasuredItemHeight() {
    int h = 0;
    MeasureItem(0, h);
    h = std::max(h, 1);
    SetItemHeight(h);
    return h;
}

void TCustomvxPopupListBox::CMFontChanged(TMessage& Message) {
    TListBox::CMFontChanged(Message);
    MeasuredItemHeight();
}

TSize TCustomvxPopupListBox::WindowSizeFor(int Width, int Height, int Rows) {
    const int b = PopupBorderWidth(popupBorderStyle_);
    const int s = shadow_ ? shadowSize_ : 0;
    int w = Width + 2 * b + s;
    if (Rows < Count()) w += GetSystemMetrics(SM_CXVSCROLL);
    return TSize{w, Height + 2 * b + s};
}

int TCustomvxPopupListBox::WidestItemText() {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, Font()->Handle());
    int widest = 0;
    for (int i = 0; i < Count(); ++i) {
        TSize size;
        GetTextExtentPoint32(dc, Items()->Strings(i), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    DeleteDC(dc);
    return widest;
}

void TCustomvxPopupListBox::ShowList() {
    SetVisibleFlag(true);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TCustomvxPopupListBox::HideList() {
    SetVisibleFlag(false);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

bool TCustomvxPopupListBox::IsListVisible() const {
    return HandleAllocated() && IsWindowVisible(const_cast<TCustomvxPopupListBox*>(this)->Handle());
}

void TCustomvxPopupListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TListBox::MouseMove(Shift, X, Y);
    if (!hotTrack_) return;
    const int i = ItemAtPos(Point(X, Y), true);
    if (i >= 0 && i != ItemIndex()) SetItemIndex(i);
}

void TCustomvxPopupListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
        case CM_HINTSHOW: Message.Result = 1; return;
        default: break;
    }
    TListBox::WndProc(Message);
}

void TCustomvxPopupListBox::WMNCCalcSize(TMessage& Message) {
    TListBox::WMNCCalcSize(Message);
    auto* rc = reinterpret_cast<TRect*>(Message.LParam);
    if (!rc) return;
    ShrinkPopupClientRect(*rc, popupBorderStyle_, shadow_, shadowSize_);
}

void TCustomvxPopupListBox::WMNCPaint(TMessage& Message) {
    TListBox::WMNCPaint(Message);
    DrawPopupBorder(this, popupBorderStyle_, shadowSize_, shadow_);
}

void TCustomvxPopupListBox::WMSize(TMessage& Message) {
    TListBox::WMSize(Message);
    SetShadowRegion();
}

void TCustomvxPopupListBox::SetShadowRegion() { SetPopupShadowRegion(this, shadow_, shadowSize_); }

// ---- TvxPopupImageListBox ----

TvxPopupImageListBox::TvxPopupImageListBox(TComponent* AOwner) : TCustomvxPopupListBox(AOwner) {}

void TvxPopupImageListBox::SetImages(TCustomImageList* v) {
    if (images_ == v) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = v;
    if (v) {
        v->FreeNotification(this);
        if (HandleAllocated()) RecreateWnd();
    }
    MeasuredItemHeight();
}

void TvxPopupImageListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomvxPopupListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) images_ = nullptr;
}

void TvxPopupImageListBox::AddItem(const std::string& Text, int ImageIndex) {
    imageIndexes_.push_back(ImageIndex);
    Items()->Add(Text);
}

int TvxPopupImageListBox::ItemImageIndex(int Index) const {
    return Index >= 0 && static_cast<size_t>(Index) < imageIndexes_.size() ? imageIndexes_[static_cast<size_t>(Index)]
                                                                           : -2;
}

void TvxPopupImageListBox::ClearItems() {
    imageIndexes_.clear();
    Items()->Clear();
}

void TvxPopupImageListBox::MeasureItem(int Index, int& Height) {
    TCustomvxPopupListBox::MeasureItem(Index, Height);
    if (images_) Height = std::max(Height, images_->Height() + 2);
}

void TvxPopupImageListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (Index < 0 || Index >= Count()) {
        TCustomvxPopupListBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(Rect);
    HDC dc = c->Handle();
    const int image = ItemImageIndex(Index);
    int iw = 0;
    if (images_) {
        iw = images_->Width();
        if (image >= 0 && image < images_->Count())
            DrawImageListImage(dc, Rect.Left + 1, Rect.Top + (Rect.Height() - images_->Height()) / 2, images_, image);
    }
    const std::string text = Items()->Strings(Index);
    c->Brush()->SetStyle(bsClear);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, c->Font()->Handle());
    SetTextColor(dc, ColorToRGB(c->Font()->Color()));
    if (multiLine_) {
        TRect r = Rect;
        InflateRect(r, -2, -2);
        r.Left += iw + 1;
        DrawText(dc, text, r, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS);
    } else {
        TSize size;
        GetTextExtentPoint32(dc, text, &size);
        TextOut(dc, Rect.Left + iw + 3, Rect.Top + (Rect.Height() - size.cy) / 2, text);
    }
}
