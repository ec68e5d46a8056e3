#include "controls/vx_popup_control.h"

#include "controls/draw_utils.h"
#include "controls/vx_edit_style.h"
#include "controls/vx_inplace_edit.h"
#include "platform/forms/form.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"

int PopupBorderWidth(TvxPopupBorder Kind) {
    switch (Kind) {
        case pbSingle: return 1;
        case pbFrame3D: return 4;
        case pbFlat: return 2;
        default: return 0;
    }
}

void DrawPopupFrame(HDC DC, TRect Rect, TvxPopupBorder Kind, int ShadowSize, bool Shadow, bool SizeGrip) {
    TRect shadowRect;
    if (Shadow) {
        Rect.Right -= ShadowSize;
        Rect.Bottom -= ShadowSize;
        shadowRect = Rect;
        OffsetRect(shadowRect, ShadowSize, ShadowSize);
    }
    switch (Kind) {
        case pbSingle: DrawEdge(DC, Rect, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_MONO); break;
        case pbFrame3D:
            DrawEdge(DC, Rect, EDGE_RAISED, BF_RECT | BF_ADJUST);
            DrawEdge(DC, Rect, BDR_SUNKENINNER, BF_RECT | BF_ADJUST | BF_FLAT);
            DrawEdge(DC, Rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            break;
        case pbFlat: DrawEdge(DC, Rect, EDGE_RAISED, BF_RECT | BF_ADJUST); break;
        default: break;
    }
    if (Shadow) {
        HBRUSH brush = vxShadowBrush();
        HBRUSH own = nullptr;
        if (!brush) brush = own = CreateSolidBrush(ColorToRGB(clBtnShadow));
        FillShadowStrips(DC, shadowRect, ShadowSize, brush);
        if (own) DeleteObject(own);
    }
    if (SizeGrip) {
        TRect grip = ::Rect(Rect.Right - GetSystemMetrics(SM_CXVSCROLL), Rect.Bottom - GetSystemMetrics(SM_CYHSCROLL),
                            Rect.Right, Rect.Bottom);
        FillRect(DC, grip, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void DrawPopupBorder(TWinControl* Control, TvxPopupBorder Kind, int ShadowSize, bool Shadow) {
    if (!Control->HandleAllocated()) return;
    HWND wnd = Control->Handle();
    TRect wr;
    GetWindowRect(wnd, &wr);
    OffsetRect(wr, -wr.Left, -wr.Top);
    DWORD style = GetWindowLong(wnd, GWL_STYLE);
    bool grip = (style & WS_HSCROLL) && (style & WS_VSCROLL);
    HDC dc = GetWindowDC(wnd);
    if (!dc) return;
    DrawPopupFrame(dc, wr, Kind, ShadowSize, Shadow, grip);
    ReleaseDC(wnd, dc);
}

TvxInplacePopupControl::TvxInplacePopupControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisibleFlag(false);
    if (auto* e = dynamic_cast<TvxInplaceEdit*>(AOwner)) editor_ = e;
}

void TvxInplacePopupControl::SetPopupBorder(TvxPopupBorder v) {
    if (popupBorder_ == v) return;
    popupBorder_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TvxInplacePopupControl::SetShadow(bool v) {
    if (shadow_ == v) return;
    shadow_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TvxInplacePopupControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (!isPopup_) return;
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    TCustomForm* form = editor_ ? GetParentForm(editor_) : nullptr;
    Params.WndParent = form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TvxInplacePopupControl::CreateWnd() {
    TCustomControl::CreateWnd();
    if (isPopup_) SetShadowRegion();
}

void TvxInplacePopupControl::ShowPopup() {
    SetVisibleFlag(true);
    ShowWindow(Handle(), SW_SHOWNA);
    if (editor_) {
        if (TCustomForm* form = GetParentForm(editor_); form && form->HandleAllocated())
            SendMessage(form->Handle(), WM_NCACTIVATE, 1, 0);
    }
}

void TvxInplacePopupControl::ClosePopup() {
    if (HandleAllocated() && IsWindowVisible(Handle())) {
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        SetVisibleFlag(false);
        // The focus goes back to the editor only from the pop-up itself: a click into
        // another field closed it, and that field keeps the focus the click gave it.
        const HWND focus = GetFocus();
        const bool ownsFocus = !focus || focus == Handle() || IsChild(Handle(), focus);
        if (refocusEditor_ && ownsFocus && editor_ && editor_->HandleAllocated() && editor_->CanFocus())
            ::SetFocus(editor_->Handle());
    }
    if (editor_ && editor_->HandleAllocated()) PostMessage(editor_->Handle(), WM_VX_POPUPCLOSED, 0, 0);
}

void TvxInplacePopupControl::ClosePopupKeepingFocus() {
    const bool saved = refocusEditor_;
    refocusEditor_ = false;
    ClosePopup();
    refocusEditor_ = saved;
}

void TvxInplacePopupControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEACTIVATE:
            if (isPopup_) {
                Message.Result = MA_NOACTIVATE;
                return;
            }
            break;
        case WM_ACTIVATE:
            TCustomControl::WndProc(Message);
            if (isPopup_ && LOWORD(Message.WParam) == WA_INACTIVE && editor_) {
                TCustomForm* form = GetParentForm(editor_);
                if (form && form->HandleAllocated() && reinterpret_cast<HWND>(Message.LParam) != form->Handle())
                    SendMessage(form->Handle(), WM_NCACTIVATE, 0, 0);
            }
            return;
        default: break;
    }
    TCustomControl::WndProc(Message);
}

void TvxInplacePopupControl::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    if (!isPopup_) return;
    ClosePopupKeepingFocus();
    if (editor_) editor_->DoKillFocus(Message);
}

void TvxInplacePopupControl::WMNCCalcSize(TMessage& Message) {
    auto* rc = reinterpret_cast<TRect*>(Message.LParam);
    if (!isPopup_ || !rc) {
        TCustomControl::WMNCCalcSize(Message);
        return;
    }
    ShrinkPopupClientRect(*rc, popupBorder_, shadow_, shadowSize_);
    Message.Result = 0;
}

void TvxInplacePopupControl::WMNCPaint(TMessage& Message) {
    if (isPopup_ && ncBorder_) {
        DrawPopupBorder(this, popupBorder_, shadowSize_, shadow_);
        Message.Result = 0;
        return;
    }
    TCustomControl::WMNCPaint(Message);
}

void TvxInplacePopupControl::WMSize(TMessage& Message) {
    TCustomControl::WMSize(Message);
    if (isPopup_) SetShadowRegion();
}

void TvxInplacePopupControl::SetShadowRegion() { SetPopupShadowRegion(this, shadow_, shadowSize_); }

void ShrinkPopupClientRect(TRect& Rect, TvxPopupBorder Kind, bool Shadow, int ShadowSize) {
    const int b = PopupBorderWidth(Kind);
    InflateRect(Rect, -b, -b);
    if (Shadow) {
        Rect.Right -= ShadowSize;
        Rect.Bottom -= ShadowSize;
    }
    if (Rect.Right < Rect.Left) Rect.Right = Rect.Left;
    if (Rect.Bottom < Rect.Top) Rect.Bottom = Rect.Top;
}

void SetPopupShadowRegion(TWinControl* Control, bool Shadow, int ShadowSize) {
    if (!Control->HandleAllocated()) return;
    if (!Shadow) {
        SetWindowRgn(Control->Handle(), nullptr, true);
        return;
    }
    TRect r = Rect(0, 0, Control->Width() - ShadowSize, Control->Height() - ShadowSize);
    HRGN rgn = CreateRectRgnIndirect(r);
    OffsetRect(r, ShadowSize, ShadowSize);
    HRGN s = CreateRectRgnIndirect(r);
    CombineRgn(rgn, rgn, s, RGN_OR);
    DeleteObject(s);
    SetWindowRgn(Control->Handle(), rgn, true);
}
