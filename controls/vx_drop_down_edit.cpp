#include "controls/vx_drop_down_edit.h"

#include <algorithm>

#include "controls/draw_utils.h"
#include "controls/vx_container.h"
#include "controls/vx_popup_control.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/form.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceDropDownEditClass::Create(TComponent* AOwner) const {
    return new TvxInplaceDropDownEdit(AOwner);
}

std::unique_ptr<TvxEditViewData> TvxInplaceDropDownEditClass::CreateViewData() const {
    return std::make_unique<TvxDropDownEditViewData>();
}

void TvxInplaceDropDownEditClass::CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize,
                                               TvxEditViewInfo& ViewInfo) const {
    TvxInplaceMaskEditClass::CalcViewInfo(ViewData, CalcAutoSize, ViewInfo);
    auto* vd = dynamic_cast<TvxDropDownEditViewData*>(&ViewData);
    if (!vd) return;
    CalcButtons(*vd);
    for (int i = 0; i < vd->ButtonCount; ++i) {
        const TvxEditButtonViewInfo& b = vd->Buttons[static_cast<size_t>(i)];
        if (b.LeftAlignment)
            ViewInfo.ContentRect.Left += b.Width;
        else
            ViewInfo.ContentRect.Right -= b.Width;
    }
    if (ViewInfo.ContentRect.Right < ViewInfo.ContentRect.Left) ViewInfo.ContentRect.Right = ViewInfo.ContentRect.Left;
    ViewInfo.InnerRect = ViewInfo.ContentRect;
}

void TvxInplaceDropDownEditClass::CalcButtons(TvxDropDownEditViewData& ViewData) const {
    ViewData.Buttons.fill(TvxEditButtonViewInfo{});
    if (ViewData.ButtonsHidden) {
        ViewData.ButtonCount = 0;
        return;
    }
    ViewData.ButtonCount = 1;
    TvxEditButtonViewInfo& b = ViewData.Buttons[0];
    b.Glyph = ViewData.ButtonGlyph;
    b.Index = 0;
    b.LeftAlignment = false;
    b.Kind = b.Glyph ? bkGlyph : bkDown;
    b.Width = GetButtonWidth(ViewData, b);
}

int TvxInplaceDropDownEditClass::GetButtonWidth(const TvxDropDownEditViewData& ViewData,
                                                const TvxEditButtonViewInfo& Button) const {
    const bool flatOrSimple = ViewData.ButtonStyle == btsFlat || ViewData.ButtonStyle == btsSimple;
    if (Button.Kind == bkGlyph && Button.Glyph && Button.Glyph->Width() > 0) {
        int w = Button.Glyph->Width() + 2;
        if (flatOrSimple) w += 1;
        if (ViewData.ButtonStyle == bts3D) w += 2;
        return w;
    }
    return GetSystemMetrics(SM_CXVSCROLL) - (flatOrSimple ? 1 : 0);
}

int TvxInplaceDropDownEditClass::LayoutButtons(const TvxEditViewInfo& ViewInfo, const TvxDropDownEditViewData& ViewData,
                                               std::array<TRect, vxMaxEditButtons>& Rects) const {
    TRect r = ViewInfo.BorderRect;
    ExtendByBorder(r, ViewInfo, false);
    const int n = std::clamp(ViewData.ButtonCount, 0, vxMaxEditButtons);
    for (int i = n - 1; i >= 0; --i) {
        const TvxEditButtonViewInfo& b = ViewData.Buttons[static_cast<size_t>(i)];
        TRect& br = Rects[static_cast<size_t>(i)];
        if (b.LeftAlignment) {
            br = Rect(r.Left, r.Top, r.Left + b.Width, r.Bottom);
            r.Left += b.Width;
        } else {
            br = Rect(r.Right - b.Width, r.Top, r.Right, r.Bottom);
            r.Right -= b.Width;
        }
    }
    return n;
}

void TvxInplaceDropDownEditClass::DrawBorder(HDC DC, const TvxEditViewInfo& ViewInfo, TvxEditViewData& ViewData) const {
    TvxInplaceMaskEditClass::DrawBorder(DC, ViewInfo, ViewData);
    auto* vd = dynamic_cast<TvxDropDownEditViewData*>(&ViewData);
    if (!vd) return;
    std::array<TRect, vxMaxEditButtons> rects{};
    const int n = LayoutButtons(ViewInfo, *vd, rects);
    for (int i = 0; i < n; ++i) {
        const TvxEditButtonViewInfo& b = vd->Buttons[static_cast<size_t>(i)];
        const bool hot = b.Index == vd->HotButton;
        const bool pressed = b.Index == vd->PressedButton && hot;
        DrawButton(DC, rects[static_cast<size_t>(i)], *vd, b, pressed, vd->ButtonTransparent, hot);
    }
}

namespace {

void FillSolid(HDC DC, const TRect& R, COLORREF Color) {
    HBRUSH b = CreateSolidBrush(Color);
    FillRect(DC, R, b);
    DeleteObject(b);
}

void DrawSymbol(HDC DC, const TRect& R, TvxEditButtonKind Kind, int FullWidth, COLORREF Color) {
    if (Kind == bkEllipsis) {
        const int s = FullWidth >= 16 ? 2 : 1;
        const int x = (R.Left + R.Right - s) / 2;
        const int y = (R.Top + R.Bottom - s / 2) / 2 - ((R.Bottom - R.Top) & 1);
        for (int dx : {-2 * s, 0, 2 * s}) FillSolid(DC, Rect(x + dx, y, x + dx + s, y + s), Color);
    } else if (Kind == bkDown) {
        int a = (R.Right - R.Left) / 2;
        if (a % 2 == 0) ++a;
        const int x = (R.Left + R.Right - a) / 2;
        const int y = (R.Top + R.Bottom - a / 2) / 2 - ((R.Bottom - R.Top) & 1);
        TPoint pts[3] = {{x, y}, {x + a - 1, y}, {x + a / 2, y + a / 2}};
        FillTriangle(DC, pts, Color);
    }
}

}  // namespace

void TvxInplaceDropDownEditClass::DrawButton(HDC DC, TRect R, const TvxDropDownEditViewData& ViewData,
                                             const TvxEditButtonViewInfo& Button, bool Pressed, bool Transparent,
                                             bool Hot) const {
    TvxEditButtonViewStyle style = ViewData.ButtonStyle;
    if (style == btsSimple && (Hot || Pressed)) style = btsFlat;
    const bool glyph = Button.Kind == bkGlyph;
    HBRUSH faceBrush = GetSysColorBrush(COLOR_BTNFACE);
    HBRUSH fill = Transparent ? ViewData.Brush : faceBrush;
    HBRUSH ownFill = nullptr;
    if (!fill) fill = faceBrush;
    if (Transparent && !glyph && ViewData.Brush) FillRect(DC, R, ViewData.Brush);
    COLORREF symbol = GetSysColor(COLOR_BTNTEXT);
    const unsigned middle = (!Transparent && !glyph) ? BF_MIDDLE : 0;
    switch (style) {
        case bts3D:
            if (Pressed) {
                DrawEdge(DC, R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST | middle);
                DrawEdge(DC, R, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
            } else {
                DrawEdge(DC, R, EDGE_RAISED, BF_RECT | BF_ADJUST | middle);
            }
            break;
        case btsFlat:
            if (!Transparent) {
                FillRect(DC, Rect(R.Left, R.Top, R.Left + 1, R.Bottom), faceBrush);
                ++R.Left;
            }
            DrawEdge(DC, R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST | middle);
            break;
        case btsSimple:
            if (!Transparent) {
                if (ViewData.Brush) FrameRect(DC, R, ViewData.Brush);
                InflateRect(R, -1, -1);
                if (ViewData.Brush) FillRect(DC, Rect(R.Left, R.Top, R.Left + 1, R.Bottom), ViewData.Brush);
                ++R.Left;
                if (!glyph) FillRect(DC, R, faceBrush);
            } else {
                InflateRect(R, -1, -1);
            }
            break;
        case btsHotFlat: {
            FrameRect(DC, R, GetSysColorBrush(COLOR_BTNSHADOW));
            InflateRect(R, -1, -1);
            if (Hot || Pressed) {
                if (!Transparent)
                    symbol = GetSysColor(COLOR_WINDOW);
                else if (!Pressed)
                    symbol = GetSysColor(COLOR_BTNSHADOW);
            }
            if (!Transparent) {
                COLORREF c = GetSysColor(COLOR_BTNFACE);
                if (ViewData.Enabled) {
                    if (Pressed)
                        c = GetSysColor(COLOR_BTNTEXT);
                    else if (Hot)
                        c = GetSysColor(COLOR_BTNSHADOW);
                }
                fill = ownFill = CreateSolidBrush(c);
                if (!glyph) FillRect(DC, R, fill);
            }
            break;
        }
        default: break;
    }
    if (Pressed && style != btsHotFlat) {
        const int d = glyph ? (style == bts3D ? 2 : 1) : 1;
        OffsetRect(R, d, d);
    }
    if (glyph) {
        if (Button.Glyph && !Button.Glyph->Empty()) {
            const int gw = Button.Glyph->Width();
            const int gh = Button.Glyph->Height();
            int x = R.Left;
            int y = R.Top;
            if (gw < R.Width()) {
                const int left = R.Width() - gw;
                x += left / 2;
                if (Pressed && (style == btsFlat || style == btsSimple) && (left & 1)) ++x;
            }
            if (gh < R.Height()) y += (R.Height() - gh) / 2;
            TRect gr = Rect(x, y, std::min(x + gw, R.Right), std::min(y + gh, R.Bottom));
            DrawBitmapOnBrush(DC, fill, gr, Button.Glyph);
        }
    } else {
        int full = Button.Width;
        if (style == btsFlat || style == btsSimple) full += 1;
        if (!ViewData.Enabled) {
            TRect shifted = R;
            OffsetRect(shifted, 1, 1);
            DrawSymbol(DC, shifted, Button.Kind, full, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawSymbol(DC, R, Button.Kind, full, GetSysColor(COLOR_BTNSHADOW));
        } else {
            DrawSymbol(DC, R, Button.Kind, full, symbol);
        }
    }
    if (ownFill) DeleteObject(ownFill);
}

// ---- The editor ----

const TvxInplaceDropDownEditClass& TvxInplaceDropDownEdit::StaticClass() {
    static const TvxInplaceDropDownEditClass instance;
    return instance;
}

TvxInplaceDropDownEdit::TvxInplaceDropDownEdit(TComponent* AOwner) : TvxInplaceDropDownEdit(AOwner, StaticClass()) {}

TvxInplaceDropDownEdit::TvxInplaceDropDownEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceMaskEdit(AOwner, AClass) {}

TvxInplaceDropDownEdit::~TvxInplaceDropDownEdit() = default;

TBitmap* TvxInplaceDropDownEdit::ButtonGlyph() {
    if (!buttonGlyph_) buttonGlyph_ = std::make_unique<TBitmap>();
    return buttonGlyph_.get();
}

void TvxInplaceDropDownEdit::SetButtonGlyph(TBitmap* v) {
    if (!v)
        buttonGlyph_.reset();
    else
        ButtonGlyph()->Assign(v);
    StyleChanged();
}

std::unique_ptr<TvxEditViewData> TvxInplaceDropDownEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceMaskEdit::CreateViewData(IsPaintCopy);
    if (auto* d = dynamic_cast<TvxDropDownEditViewData*>(vd.get())) {
        d->ButtonGlyph = buttonGlyph_ && !buttonGlyph_->Empty() ? buttonGlyph_.get() : nullptr;
        d->ButtonsHidden = !IsActive() && Style() && Style()->ButtonTransparence() == ebtHideInactive;
        d->HotButton = hotButtonIndex_;
        d->PressedButton = pressedButtonIndex_;
    }
    return vd;
}

void TvxInplaceDropDownEdit::RedrawButtons() {
    if (HandleAllocated()) SendMessage(Handle(), WM_NCPAINT, 1, 0);
}

void TvxInplaceDropDownEdit::SetMouseInside(bool Value) {
    if (!Value && hotButtonIndex_ != -1) {
        hotButtonIndex_ = -1;
        RedrawButtons();
    }
    TvxInplaceMaskEdit::SetMouseInside(Value);
}

void TvxInplaceDropDownEdit::AfterShowEdit() {
    TvxInplaceMaskEdit::AfterShowEdit();
    if (immediatePopup_) SetDroppedDown(true);
}

void TvxInplaceDropDownEdit::Hide() {
    // The pop-up closes with its editor (rejecting its value); it stays ours to reuse.
    if (isDroppedDown_ && popupWindow_) CloseUp(false);
    isDroppedDown_ = false;
    TvxInplaceMaskEdit::Hide();
}

void TvxInplaceDropDownEdit::Show() {
    isDroppedDown_ = false;
    TvxInplaceMaskEdit::Show();
}

bool TvxInplaceDropDownEdit::IsFocused() {
    if (TvxInplaceMaskEdit::IsFocused()) return true;
    return popupWindow_ && popupWindow_->HandleAllocated() && GetFocus() == popupWindow_->Handle();
}

void TvxInplaceDropDownEdit::ActivateAtPoint(int X, int Y) {
    TvxInplaceMaskEdit::ActivateAtPoint(X, Y);
    TCustomvxContainer* c = GetContainer();
    if (!c || !HandleAllocated()) return;
    TPoint screen = c->ClientToScreen(Point(X, Y));
    ReleaseCapture();
    LRESULT hit = SendMessage(Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
    SendMessage(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screen.X, screen.Y));
}

void TvxInplaceDropDownEdit::ActivateByClick() {
    if (ClickOpensPopup() && !IsPopupVisible()) DropDown();
    TvxInplaceMaskEdit::ActivateByClick();
}

TvxPopupBorder TvxInplaceDropDownEdit::GetPopupBorder() {
    if (popupBorder_ != pbDefault) return popupBorder_;
    // The container has no say of its own here: it follows the editor's border the same way.
    switch (Style() ? Style()->BorderStyle() : xbs3D) {
        case xbsSingle:
        case xbs3D: return pbSingle;
        case xbsFlat: return pbFlat;
        default: return pbFrame3D;
    }
}

bool TvxInplaceDropDownEdit::IsPopupVisible() {
    if (!popupWindow_ || !popupWindow_->HandleAllocated() || !IsWindowVisible(popupWindow_->Handle())) return false;
    return GetFocus() == popupWindow_->Handle() || editKeepsFocus_;
}

void TvxInplaceDropDownEdit::SetDroppedDown(bool Value) {
    if (Value == IsPopupVisible()) return;
    if (Value) {
        if (HandleAllocated()) PostMessage(Handle(), WM_VX_DROPDOWN, 0, 0);
    } else {
        CloseUp(false);
    }
}

void TvxInplaceDropDownEdit::SetHotButton(int Index) {
    if (hotButtonIndex_ == Index) return;
    hotButtonIndex_ = Index;
    RedrawButtons();
}

void TvxInplaceDropDownEdit::ReleasePressedButton() {
    if (pressedButtonIndex_ == -1) return;
    pressedButtonIndex_ = -1;
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    RedrawButtons();
}

void TvxInplaceDropDownEdit::ButtonDown(bool NoCapture, int Index) {
    if (popupWindow_ && isDroppedDown_ && editKeepsFocus_) {
        CloseUp(false);
        return;
    }
    if (isDroppedDown_) return;
    pressedButtonIndex_ = hotButtonIndex_;
    if (!NoCapture && HandleAllocated()) SetCapture(Handle());
    RedrawButtons();
    if (Index != -1) SetDroppedDown(true);
}

void TvxInplaceDropDownEdit::DoCloseUp(Variant& Value, bool& Accept) {
    if (CloseUpHandler) CloseUpHandler(this, Value, Accept);
}

void TvxInplaceDropDownEdit::DoDropDown() {
    if (DropDownHandler) DropDownHandler(this);
    FireNotify(OnDropDown, this);
}

void TvxInplaceDropDownEdit::PopupKeyDown(uint16_t& Key, TShiftState Shift) {
    const bool alt = Shift.Contains(ssAlt);
    if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
        if (isDroppedDown_)
            CloseUp(true);
        else
            DropDown();
        Key = 0;
        return;
    }
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && isDroppedDown_) {
        // The key's character is already queued: it must not reach the form's key preview
        // (Escape there drops the page).
        CloseUp(Key == VK_RETURN);
        if (HandleAllocated()) KillMessage(Handle(), WM_CHAR);
        Key = 0;
    }
}

void TvxInplaceDropDownEdit::PositionPopup(TWinControl* Popup, bool AdjustWidth) {
    if (!Popup || !HandleAllocated()) return;
    TRect r;
    GetWindowRect(Handle(), &r);
    std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
    vd->Bounds = Rect(0, 0, r.Width(), r.Height());
    TvxEditViewInfo vi;
    EditClass().CalcViewInfo(*vd, false, vi);
    TRect inner = vi.BorderRect;
    TvxInplaceEditClass::ExtendByBorder(inner, vi, false);
    int w = inner.Width();
    if (Style() && Style()->Shadow()) w += 2;
    int pw = Popup->Width();
    if (AdjustWidth && w > pw) pw = w;
    if (vi.LeftEdge) r.Left += vi.BorderWidth;
    r.Right = r.Left + w;
    if (vd->BorderStyle == xbsNone || vd->BorderStyle == xbsSingle) {
        ++r.Top;
        --r.Bottom;
        if (!IsInplace() && vd->BorderStyle == xbsNone) {
            ++r.Top;
            --r.Bottom;
        }
    }
    TPoint p;
    switch (popupAlignment_) {
        case taRightJustify: p.X = r.Right - pw; break;
        case taCenter: p.X = (r.Left + r.Right) / 2 - pw / 2; break;
        default: p.X = r.Left; break;
    }
    p.Y = r.Bottom;
    AdjustPopupPosition(p, pw, Popup->Height(), r.Height());
    Popup->SetBounds(p.X, p.Y, pw, Popup->Height());
}

void TvxInplaceDropDownEdit::ListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    (void)Sender;
    (void)Shift;
    if (Button != mbLeft || !popupWindow_) return;
    CloseUp(PtInRect(popupWindow_->ClientRect(), Point(X, Y)));
}

void TvxInplaceDropDownEdit::RefocusEdit() {
    if (!HandleAllocated() || Focused() || !CanFocus() || !IsWindowVisible(Handle())) return;
    SetFocus();
}

bool TvxInplaceDropDownEdit::FocusForDropDown() {
    if (!Focused() && CanFocus()) SetFocus();
    return Focused();
}

void TvxInplaceDropDownEdit::CancelMouseCapture() {
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
}

// ---- Keys and mouse ----

void TvxInplaceDropDownEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (!editKeepsFocus_) {
        const bool alt = Shift.Contains(ssAlt);
        if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
            DropDown();
            Key = 0;
        }
    }
    TvxInplaceMaskEdit::KeyDown(Key, Shift);
}

void TvxInplaceDropDownEdit::MouseMove(TShiftState Shift, int X, int Y) {
    const bool dragging = pressedButtonIndex_ != -1 || (ClickOpensPopup() && Shift.Contains(ssLeft));
    if (dragging && popupWindow_ && IsPopupVisible()) {
        TPoint p = popupWindow_->ScreenToClient(ClientToScreen(Point(X, Y)));
        if (PtInRect(popupWindow_->ClientRect(), p)) {
            ReleasePressedButton();
            SendMessage(popupWindow_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
            return;
        }
    }
    TvxInplaceMaskEdit::MouseMove(Shift, X, Y);
}

void TvxInplaceDropDownEdit::WMGetDlgCode(TMessage& Message) {
    TvxInplaceMaskEdit::WMGetDlgCode(Message);
    if (IsInplace() || IsPopupVisible()) Message.Result |= DLGC_WANTALLKEYS;
}

void TvxInplaceDropDownEdit::WMKillFocus(TMessage& Message) {
    TvxInplaceMaskEdit::WMKillFocus(Message);
    CloseUp(false);
}

void TvxInplaceDropDownEdit::CloseUnusablePopup() {
    if (!popupWindow_ || !popupWindow_->HandleAllocated() || !IsWindowVisible(popupWindow_->Handle())) return;
    if (Enabled() && HandleAllocated() && IsWindowVisible(Handle()) && IsWindowEnabled(Handle())) return;
    const HWND focus = GetFocus();
    const HWND popupWnd = popupWindow_->Handle();
    const bool heldFocus = focus && (focus == popupWnd || IsChild(popupWnd, focus));
    if (auto* popup = dynamic_cast<TvxInplacePopupControl*>(popupWindow_))
        popup->ClosePopupKeepingFocus();
    else
        CloseUp(false);
    isDroppedDown_ = false;
    // A closed pop-up keeps no keyboard: the form takes it while it is shown, else nobody.
    if (heldFocus && GetFocus() == focus) {
        TCustomForm* form = GetParentForm(this);
        ::SetFocus(form && form->HandleAllocated() && IsWindowVisible(form->Handle()) ? form->Handle() : nullptr);
    }
}

void TvxInplaceDropDownEdit::NCHitTest(TMessage& Message) {
    if (HasState(csDesigning) || !HandleAllocated()) return;
    TRect wr;
    GetWindowRect(Handle(), &wr);
    TPoint p{GET_X_LPARAM(Message.LParam) - wr.Left, GET_Y_LPARAM(Message.LParam) - wr.Top};
    std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
    vd->Bounds = Rect(0, 0, wr.Width(), wr.Height());
    TvxEditViewInfo vi;
    EditClass().CalcViewInfo(*vd, false, vi);
    auto* dvd = dynamic_cast<TvxDropDownEditViewData*>(vd.get());
    if (!dvd) return;
    std::array<TRect, vxMaxEditButtons> rects{};
    const int n = DropDownClass().LayoutButtons(vi, *dvd, rects);
    for (int i = n - 1; i >= 0; --i) {
        if (!PtInRect(rects[static_cast<size_t>(i)], p)) continue;
        if (GetCapture() == nullptr || pressedButtonIndex_ != -1) {
            const int index = dvd->Buttons[static_cast<size_t>(i)].Index;
            SetHotButton(pressedButtonIndex_ != -1 && pressedButtonIndex_ != index ? -1 : index);
            Message.Result = HTBORDER;
        }
        return;
    }
    SetHotButton(-1);
}

void TvxInplaceDropDownEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR: {
            if (editKeepsFocus_ && Message.Msg != WM_CHAR) {
                uint16_t key = static_cast<uint16_t>(Message.WParam);
                PopupKeyDown(key, KeyboardStateToShiftState());
                if (key == 0) {
                    Message.Result = 0;
                    return;
                }
                Message.WParam = key;
            }
            if (isDroppedDown_ && popupWindow_ && popupWindow_->HandleAllocated()) {
                if (editTakesTyping_) {
                    const uint16_t key = static_cast<uint16_t>(Message.WParam);
                    if (Message.Msg == WM_CHAR || (Message.Msg == WM_KEYDOWN && (key == VK_BACK || key == VK_DELETE))) {
                        TvxInplaceMaskEdit::WndProc(Message);
                        SyncListSelection(Text());
                        return;
                    }
                    if (Message.Msg == WM_KEYDOWN) {
                        if ((key == VK_HOME || key == VK_END || key == VK_LEFT || key == VK_RIGHT) && IsTextEditor())
                            break;
                        if (key >= VK_PRIOR && key <= VK_DOWN)
                            SendMessage(popupWindow_->Handle(), Message.Msg, Message.WParam, Message.LParam);
                        return;
                    }
                    if (Message.Msg == WM_SYSKEYDOWN && key == VK_F4) break;
                    return;
                }
                SendMessage(popupWindow_->Handle(), Message.Msg, Message.WParam, Message.LParam);
                return;
            }
            break;
        }
        case WM_CANCELMODE: ReleasePressedButton(); break;
        case WM_CAPTURECHANGED:
            TvxInplaceMaskEdit::WndProc(Message);
            ReleasePressedButton();
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (ClickOpensPopup()) ButtonDown(true, 0);
            break;
        case WM_LBUTTONUP:
            if (pressedButtonIndex_ != -1) {
                int index = -1;
                if (HandleAllocated()) {
                    TPoint screen = ClientToScreen(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
                    TMessage hit{WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y), 0};
                    NCHitTest(hit);
                    if (hit.Result == HTBORDER && hotButtonIndex_ == pressedButtonIndex_) index = pressedButtonIndex_;
                }
                ReleasePressedButton();
                if (index != -1) ButtonClick(index);
            }
            break;
        case WM_MOUSEWHEEL: {
            const int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
            const bool visible = popupWindow_ && IsPopupVisible();
            // An open list scrolls the system's lines per notch, as every list does; a
            // closed editor steps one value.
            const int lines = static_cast<int>(WheelScrollLines());
            if (visible) {
                for (int i = 0; i < lines && popupWindow_; ++i)
                    SendMessage(popupWindow_->Handle(), WM_VSCROLL, delta < 1 ? SB_LINEDOWN : SB_LINEUP, 0);
            } else {
                StepItem(delta < 1 ? 1 : -1, false);
            }
            Message.Result = 1;
            return;
        }
        case WM_NCHITTEST:
            TvxInplaceMaskEdit::WndProc(Message);
            NCHitTest(Message);
            return;
        case WM_NCLBUTTONDOWN:
            TvxInplaceMaskEdit::WndProc(Message);
            if (hotButtonIndex_ != -1) {
                ButtonDown(false, hotButtonIndex_);
                if (HandleAllocated() && GetFocus() != Handle() && CanFocus()) SetFocus();
            }
            return;
        case WM_NCLBUTTONDBLCLK:
            TvxInplaceMaskEdit::WndProc(Message);
            if (HandleAllocated()) SendMessage(Handle(), WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
            return;
        case CM_CANCELMODE: {
            auto* sender = reinterpret_cast<TControl*>(Message.LParam);
            if (sender != this && sender != popupWindow_) CloseUp(false);
            break;
        }
        case CM_HINTSHOW: Message.Result = IsPopupVisible() ? 1 : 0; return;
        case WM_VX_DROPDOWN: DropDown(); return;
        case WM_VX_CLOSEDUP: isDroppedDown_ = false; return;
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
        case CM_SHOWINGCHANGED:
            TvxInplaceMaskEdit::WndProc(Message);
            CloseUnusablePopup();
            return;
        default: break;
    }
    TvxInplaceMaskEdit::WndProc(Message);
}
