#include "controls/vx_calculator.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/forms/clipboard.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/form.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/math_utils.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"

namespace {

constexpr TColor kMaroon = 0x000080;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kNavy = 0x800000;

struct ButtonSpec {
    const char* Text;
    TColor Color;
    int Row;
    int Col;  // -1 memory column, 0..4 main block, 5 a wide button of row 0
};

// Row 0 is the top row; the decimal key's caption comes from the locale.
constexpr ButtonSpec kButtons[vxCalcButtonCount] = {
    {"Back", kMaroon, 0, 5}, {"CE", kMaroon, 0, 5}, {"C", kMaroon, 0, 5}, {"MC", kRed, 1, -1},   {"MR", kRed, 2, -1},
    {"MS", kRed, 3, -1},     {"M+", kRed, 4, -1},   {"0", kBlue, 4, 0},   {"1", kBlue, 3, 0},    {"2", kBlue, 3, 1},
    {"3", kBlue, 3, 2},      {"4", kBlue, 2, 0},    {"5", kBlue, 2, 1},   {"6", kBlue, 2, 2},    {"7", kBlue, 1, 0},
    {"8", kBlue, 1, 1},      {"9", kBlue, 1, 2},    {"+/-", kBlue, 4, 1}, {"", kBlue, 4, 2},     {"/", kRed, 1, 3},
    {"*", kRed, 2, 3},       {"-", kRed, 3, 3},     {"+", kRed, 4, 3},    {"sqrt", kNavy, 1, 4}, {"%", kNavy, 2, 4},
    {"1/x", kNavy, 3, 4},    {"=", kRed, 4, 4},
};

// The one off-screen bitmap every calculator draws its buttons on.
TBitmap& SharedButtonBitmap() {
    static const std::unique_ptr<TBitmap> bitmap = std::make_unique<TBitmap>();
    return *bitmap;
}

uint8_t KeyToKind(uint16_t Key, TShiftState Shift) {
    const bool ctrl = Shift.Contains(ssCtrl);
    switch (Key) {
        case VK_DELETE: return vxcbCE;
        case VK_ESCAPE: return vxcbC;
        case 'C': return ctrl ? vxcbNone : vxcbC;
        case 'L': return ctrl ? vxcbMC : vxcbNone;
        case 'R': return ctrl ? vxcbMR : vxcbRev;
        case 'M': return ctrl ? vxcbMS : vxcbNone;
        case 'P': return ctrl ? vxcbMPlus : vxcbNone;
        case VK_F9: return vxcbSign;
        case VK_RETURN: return vxcbEqual;
        default: return vxcbNone;
    }
}

uint8_t CharToKind(char32_t Key) {
    if (Key >= U'0' && Key <= U'9') return static_cast<uint8_t>(vxcb0 + (Key - U'0'));
    if (Key == static_cast<char32_t>(FormatSettings().DecimalSeparator)) return vxcbDecimal;
    switch (Key) {
        case 8: return vxcbBack;
        case U'/': return vxcbDiv;
        case U'*': return vxcbMul;
        case U'-': return vxcbSub;
        case U'+': return vxcbAdd;
        case U'@': return vxcbSqrt;
        case U'%': return vxcbPercent;
        case U'=': return vxcbEqual;
        default: return vxcbNone;
    }
}

int LayoutHeight(int h) {
    const int g = MulDiv(h, 4, 22);
    return g + 5 * (h + g);
}

}  // namespace

TCustomvxCalculator::TCustomvxCalculator(TComponent* AOwner) : TvxInplacePopupControl(AOwner) {
    SetIsPopup(false);
    SetVisibleFlag(true);
    controlStyle_ = (controlStyle_ | csCaptureMouse | csOpaque) & ~csDoubleClicks;
    SetColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(Left(), Top(), 207, 137);
    ArrangeButtons();
}

void TCustomvxCalculator::SetButtonStyle(TvxButtonStyle v) {
    if (buttonStyle_ == v) return;
    buttonStyle_ = v;
    Invalidate();
}

void TCustomvxCalculator::SetBorderStyle(TvxCalcBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomvxCalculator::SetShowButtonFrame(bool v) {
    if (showButtonFrame_ == v) return;
    showButtonFrame_ = v;
    Invalidate();
}

void TCustomvxCalculator::SetShowFocusRect(bool v) {
    if (showFocusRect_ == v) return;
    showFocusRect_ = v;
    Invalidate();
}

void TCustomvxCalculator::CreateParams(TCreateParams& Params) {
    TvxInplacePopupControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
    if (borderStyle_ == cbsSingle && !IsPopup()) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// ---- Layout ----

void TCustomvxCalculator::CalcLayout(int W, int H) {
    const int target = std::min(MulDiv(W, 137, 207), H);
    int best = 22;
    int bestDiff = target;
    for (int h = 22;; ++h) {
        const int d = std::abs(LayoutHeight(h) - target);
        if (bestDiff <= d) break;
        bestDiff = d;
        best = h;
    }
    buttonHeight_ = best;
    buttonWidth_ = MulDiv(buttonHeight_, 28, 22);
    gap_ = MulDiv(buttonHeight_, 4, 22);
    wideButtonWidth_ = MulDiv(buttonWidth_, 17, 10);
    fontSize_ = MulDiv(buttonHeight_, 8, 22);
    calcHeight_ = 5 * (gap_ + buttonHeight_) + gap_;
    calcWidth_ = 6 * (gap_ + buttonWidth_) + 2 * gap_ + 4;
}

void TCustomvxCalculator::Resize() {
    TvxInplacePopupControl::Resize();
    if (inLayout_) return;
    inLayout_ = true;
    CalcLayout(ClientWidth(), ClientHeight());
    ArrangeButtons();
    SetClientWidth(calcWidth_);
    SetClientHeight(calcHeight_);
    inLayout_ = false;
}

void TCustomvxCalculator::ArrangeButtons() {
    const char decimal[2] = {FormatSettings().DecimalSeparator, 0};
    // Every Down flag is cleared below, so no button may stay held by a key or the mouse
    // (a pop-up closed by Enter never sees the key come up).
    keyButton_ = downButton_ = hotButton_ = vxcbNone;
    tracking_ = false;
    for (int k = 0; k < vxCalcButtonCount; ++k) {
        TvxCalcButton& b = buttons_[static_cast<size_t>(k)];
        b = TvxCalcButton{};
        b.Kind = static_cast<uint8_t>(k);
        b.Text = k == vxcbDecimal ? decimal : kButtons[k].Text;
        b.Color = kButtons[k].Color;
    }
    const int g = gap_, bw = buttonWidth_, bh = buttonHeight_, ww = wideButtonWidth_;
    const int x0 = 3 * g + bw + 4;
    auto rowTop = [&](int r) { return r == 0 ? g : g + r * (g + bh); };
    for (int k = 0; k < vxCalcButtonCount; ++k) {
        const ButtonSpec& s = kButtons[k];
        if (s.Col == 5) continue;
        const int top = rowTop(s.Row);
        const int left = s.Col < 0 ? g : x0 + s.Col * (g + bw);
        buttons_[static_cast<size_t>(k)].Bounds = Rect(left, top, left + bw, top + bh);
    }
    int right = x0 + 4 * (g + bw) + bw;
    for (uint8_t k : {vxcbC, vxcbCE, vxcbBack}) {
        buttons_[k].Bounds = Rect(right - ww, g, right, g + bh);
        right -= ww + g;
    }
    ResetState();
    UpdateMemoryButtons();
}

void TCustomvxCalculator::ResetState() {
    lastOperation_ = vxcbEqual;
    status_ = vxcsFirst;
    memory_ = 0;
}

void TCustomvxCalculator::UpdateMemoryButtons() { buttons_[vxcbMC].Grayed = buttons_[vxcbMR].Grayed = memory_ == 0; }

// ---- Values ----

std::string TCustomvxCalculator::DisplayText() {
    std::string s;
    GetEditorValue(s);
    return s;
}

void TCustomvxCalculator::SetDisplayText(const std::string& S) { SetEditorValue(S); }

long double TCustomvxCalculator::GetCalcValue() {
    if (status_ == vxcsError) return 0;
    std::string s = Trim(DisplayText());
    if (s.empty()) s = std::string(1, '0');
    return StrToFloat(s);
}

void TCustomvxCalculator::SetCalcValue(long double X) {
    // A result past the number range is an error as a division by zero is: the display
    // never shows "INF", which no later step could read.
    if (!std::isfinite(X)) {
        Fail();
        return;
    }
    const std::string s = FloatToStrF(X, ffGeneral, std::max<int>(2, precision_), 0);
    if (s == DisplayText()) return;
    SetDisplayText(s);
    FireNotify(OnDisplayChange, this);
}

void TCustomvxCalculator::StartEntry() {
    if (status_ != vxcsFirst) return;
    status_ = vxcsValid;
    SetDisplayText("0");
}

void TCustomvxCalculator::Clear() {
    status_ = vxcsFirst;
    SetCalcValue(0);
    lastOperation_ = vxcbEqual;
}

void TCustomvxCalculator::Beep() {
    if (beepOnError_) MessageBeep(0);
}

void TCustomvxCalculator::Fail() {
    status_ = vxcsError;
    SetDisplayText(kvxCalcErrorText);
    Beep();
    FireNotify(OnError, this);
}

void TCustomvxCalculator::PerformButton(uint8_t Kind) {
    if (OnButtonClick) OnButtonClick(this, Kind);
    if (Kind >= vxCalcButtonCount) return;
    if (status_ == vxcsError && Kind != vxcbCE && Kind != vxcbC) {
        Fail();
        return;
    }
    const char decimal = FormatSettings().DecimalSeparator;
    switch (Kind) {
        case vxcbDecimal: {
            StartEntry();
            std::string s = DisplayText();
            if (s.find(decimal) == std::string::npos) SetDisplayText(s + decimal);
            break;
        }
        case vxcbBack: {
            StartEntry();
            std::u32string s = ToU32(DisplayText());
            if (s.size() <= 1 || (s.size() == 2 && s[0] == U'-'))
                s = std::u32string(1, U'0');
            else
                s.pop_back();
            SetDisplayText(ToUtf8(s));
            break;
        }
        case vxcbCE:
        case vxcbC: Clear(); break;
        case vxcbMC:
            memory_ = 0;
            UpdateMemoryButtons();
            InvalidateButton(vxcbMC);
            InvalidateButton(vxcbMR);
            break;
        case vxcbMR:
            status_ = vxcsFirst;
            StartEntry();
            SetCalcValue(memory_);
            break;
        case vxcbMS:
        case vxcbMPlus: {
            status_ = vxcsFirst;
            const long double v = GetCalcValue();
            const long double m = Kind == vxcbMS ? v : memory_ + v;
            if (!std::isfinite(m)) {
                Fail();  // the memory keeps its last good value
                break;
            }
            memory_ = m;
            UpdateMemoryButtons();
            InvalidateButton(vxcbMC);
            InvalidateButton(vxcbMR);
            break;
        }
        case vxcbSign: SetCalcValue(-GetCalcValue()); break;
        case vxcbDiv:
        case vxcbMul:
        case vxcbSub:
        case vxcbAdd:
        case vxcbPercent:
        case vxcbEqual: {
            if (status_ == vxcsValid) {
                status_ = vxcsFirst;
                long double x = GetCalcValue();
                if (Kind == vxcbPercent) {
                    if (lastOperation_ == vxcbDiv || lastOperation_ == vxcbMul)
                        x = x / 100;
                    else if (lastOperation_ == vxcbSub || lastOperation_ == vxcbAdd)
                        x = operand_ * x / 100;
                }
                switch (lastOperation_) {
                    case vxcbDiv:
                        if (x == 0)
                            Fail();
                        else
                            SetCalcValue(operand_ / x);
                        break;
                    case vxcbMul: SetCalcValue(operand_ * x); break;
                    case vxcbSub: SetCalcValue(operand_ - x); break;
                    case vxcbAdd: SetCalcValue(operand_ + x); break;
                    default: break;
                }
            }
            lastOperation_ = Kind;
            operand_ = GetCalcValue();
            if (Kind == vxcbPercent || Kind == vxcbEqual) FireNotify(OnResult, this);
            break;
        }
        case vxcbSqrt:
        case vxcbRev: {
            const bool pending = lastOperation_ == vxcbDiv || lastOperation_ == vxcbMul || lastOperation_ == vxcbSub ||
                                 lastOperation_ == vxcbAdd;
            status_ = pending ? vxcsValid : vxcsFirst;
            const long double v = GetCalcValue();
            if ((Kind == vxcbSqrt && v < 0) || (Kind == vxcbRev && v == 0))
                Fail();
            else
                SetCalcValue(Kind == vxcbSqrt ? std::sqrt(v) : 1 / v);
            break;
        }
        default: {  // digits
            StartEntry();
            std::u32string s = ToU32(DisplayText());
            if (s == U"0") s.clear();
            const size_t limit = static_cast<size_t>(std::max<int>(2, precision_)) + (s.find(U'-') != s.npos ? 1 : 0);
            if (s.size() < limit) {
                s.push_back(static_cast<char32_t>(U'0' + (Kind - vxcb0)));
                SetDisplayText(ToUtf8(s));
            } else {
                Beep();
            }
            break;
        }
    }
}

void TCustomvxCalculator::CopyToClipboard() { Clipboard()->SetAsText(DisplayText()); }

void TCustomvxCalculator::PasteFromClipboard() {
    if (!Clipboard()->HasFormat(CF_TEXT)) return;
    std::string s = Clipboard()->AsText();
    const std::string& currency = FormatSettings().CurrencyString;
    if (!currency.empty()) s = StringReplace(s, currency, "", rfReplaceAll);
    long double v = 0;
    if (!TryStrToFloat(Trim(s), v) || !std::isfinite(v)) v = 0;
    SetCalcValue(v);
    status_ = vxcsValid;
}

// ---- Keys ----

void TCustomvxCalculator::ReleaseKeyButton() {
    if (keyButton_ == vxcbNone) return;
    buttons_[keyButton_].Down = false;
    InvalidateButton(keyButton_, true);
    keyButton_ = vxcbNone;
}

void TCustomvxCalculator::PressKeyButton(uint8_t Kind) {
    if (Kind == vxcbNone || Kind == keyButton_) return;
    ReleaseKeyButton();
    keyButton_ = Kind;
    buttons_[Kind].Down = true;
    InvalidateButton(Kind, true);
    if (Kind != vxcbBack) PerformButton(Kind);
}

void TCustomvxCalculator::KeyDown(uint16_t& Key, TShiftState Shift) {
    TvxInplacePopupControl::KeyDown(Key, Shift);
    if (Key == VK_INSERT && Shift.Contains(ssShift)) {
        PasteFromClipboard();
        return;
    }
    if (Key == VK_INSERT && Shift.Contains(ssCtrl)) {
        CopyToClipboard();
        return;
    }
    PressKeyButton(KeyToKind(Key, Shift));
}

void TCustomvxCalculator::KeyPress(char32_t& Key) {
    TvxInplacePopupControl::KeyPress(Key);
    if (Key == 22) {
        PasteFromClipboard();
    } else if (Key == 3) {
        CopyToClipboard();
    } else {
        PressKeyButton(CharToKind(Key));
    }
    // Backspace repeats with the key's own auto-repeat; every other key acts once a press.
    if (keyButton_ == vxcbBack) PerformButton(vxcbBack);
}

void TCustomvxCalculator::KeyUp(uint16_t& Key, TShiftState Shift) {
    TvxInplacePopupControl::KeyUp(Key, Shift);
    ReleaseKeyButton();
}

// ---- Mouse ----

uint8_t TCustomvxCalculator::ButtonAt(int X, int Y) const {
    for (const TvxCalcButton& b : buttons_)
        if (PtInRect(b.Bounds, Point(X, Y))) return b.Kind;
    return vxcbNone;
}

void TCustomvxCalculator::InvalidateButton(uint8_t Kind, bool Now) {
    if (Kind >= vxCalcButtonCount || !HandleAllocated()) return;
    TRect r = buttons_[Kind].Bounds;
    InvalidateRect(Handle(), &r, false);
    if (Now) UpdateWindow(Handle());
}

void TCustomvxCalculator::UpdateTracking(int X, int Y) {
    if (downButton_ == vxcbNone) return;
    TvxCalcButton& b = buttons_[downButton_];
    const bool on = PtInRect(b.Bounds, Point(X, Y));
    if (on == b.Down) return;
    b.Down = on;
    InvalidateButton(downButton_);
}

void TCustomvxCalculator::StopTracking() {
    if (!tracking_) return;
    tracking_ = false;
    if (downButton_ != vxcbNone) {
        buttons_[downButton_].Down = false;
        InvalidateButton(downButton_);
    }
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    downButton_ = vxcbNone;
}

void TCustomvxCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!HasState(csDesigning) && !popupMode_ && HandleAllocated() && GetFocus() != Handle() &&
        (CanFocus() || !GetParentForm(this)))
        SetFocus();
    TvxInplacePopupControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const uint8_t k = ButtonAt(X, Y);
    if (k == vxcbNone) return;
    if (HandleAllocated()) SetCapture(Handle());
    tracking_ = true;
    downButton_ = k;
    UpdateTracking(X, Y);
}

void TCustomvxCalculator::MouseMove(TShiftState Shift, int X, int Y) {
    TvxInplacePopupControl::MouseMove(Shift, X, Y);
    if (tracking_) {
        UpdateTracking(X, Y);
        return;
    }
    if (buttonStyle_ != bsExtraFlat || !Enabled() || GetCapture() != nullptr) return;
    const uint8_t k = ButtonAt(X, Y);
    if (k == hotButton_) return;
    const uint8_t old = hotButton_;
    hotButton_ = k;
    InvalidateButton(old);
    InvalidateButton(k);
}

void TCustomvxCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplacePopupControl::MouseUp(Button, Shift, X, Y);
    const uint8_t k = downButton_;
    const bool click = Button == mbLeft && k != vxcbNone && buttons_[k].Down;
    StopTracking();
    if (click) PerformButton(k);
}

void TCustomvxCalculator::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TvxInplacePopupControl::WndProc(Message);
            InvalidateButton(vxcbEqual);
            return;
        case WM_CANCELMODE:
            TvxInplacePopupControl::WndProc(Message);
            StopTracking();
            return;
        case CM_MOUSELEAVE:
            TvxInplacePopupControl::WndProc(Message);
            if (buttonStyle_ == bsExtraFlat && Enabled() && GetCapture() == nullptr && hotButton_ != vxcbNone) {
                const uint8_t old = hotButton_;
                hotButton_ = vxcbNone;
                InvalidateButton(old);
            }
            return;
        case CM_FONTCHANGED:
            TvxInplacePopupControl::WndProc(Message);
            if (!HasState(csLoading)) SetParentFont(false);
            Invalidate();
            return;
        case CM_ENABLEDCHANGED:
            TvxInplacePopupControl::WndProc(Message);
            Invalidate();
            return;
        default: break;
    }
    TvxInplacePopupControl::WndProc(Message);
}

// ---- Painting ----

void TCustomvxCalculator::DrawButton(TCanvas* Canvas, const TvxCalcButton& Button, bool Focused) {
    const TRect& r = Button.Bounds;
    const int w = r.Width(), h = r.Height();
    TBitmap& bmp = SharedButtonBitmap();
    if (bmp.Width() < w || bmp.Height() < h) bmp.SetSize(std::max(bmp.Width(), w), std::max(bmp.Height(), h));
    TCanvas* c = bmp.Canvas();
    c->SetFont(Canvas->Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    TRect br = Rect(0, 0, w, h);
    c->FillRect(br);
    HDC dc = c->Handle();
    const bool down = Button.Down && !Button.Grayed;
    const TColor textColor = Button.Grayed ? clBtnShadow : Button.Color;
    const bool frame = buttonStyle_ != bsExtraFlat || Button.Kind == hotButton_ || down;
    TRect fr = br;
    switch (buttonStyle_) {
        case bsStandard: DrawFrameControl(dc, fr, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0)); break;
        default:
            if (frame) DrawEdge(dc, fr, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            break;
    }
    TRect tr = br;
    InflateRect(tr, -2, -2);
    if (down) {
        tr.Left += 2;
        tr.Top += 2;
    }
    SetBkMode(dc, TRANSPARENT);
    const unsigned fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    if (!Enabled()) {
        TRect shifted = tr;
        OffsetRect(shifted, 1, 1);
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        DrawText(dc, Button.Text, shifted, fmt);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
    } else {
        SetTextColor(dc, ColorToRGB(textColor));
    }
    DrawText(dc, Button.Text, tr, fmt);
    if (showButtonFrame_) {
        TRect rr = br;
        InflateRect(rr, -3, -3);
        if (down) OffsetRect(rr, 1, 1);
        c->Pen()->SetColor(clBtnShadow);
        c->Brush()->SetStyle(bsClear);
        const int d = rr.Height() - 4;
        c->RoundRect(rr.Left, rr.Top, rr.Right, rr.Bottom, d, d);
        c->Brush()->SetStyle(bsSolid);
    }
    if (Button.Kind == vxcbEqual && showFocusRect_ && Focused) {
        TRect fr2 = br;
        InflateRect(fr2, -3, -3);
        c->DrawFocusRect(fr2);
    }
    BitBlt(Canvas->Handle(), r.Left, r.Top, w, h, dc, 0, 0, SRCCOPY);
}

void TCustomvxCalculator::Paint() {
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    if (autoFontSize_) {
        canvas->Font()->SetSize(fontSize_);
        canvas->Font()->SetStyle(fontSize_ >= 10 ? TFontStyles{fsBold} : TFontStyles{});
    }
    const bool focused = HandleAllocated() && GetFocus() == Handle();
    HDC dc = canvas->Handle();
    TRect clip;
    GetClipBox(dc, &clip);
    // The back buffer shows nothing between the fills, so the face goes down first and
    // the buttons over it.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    for (const TvxCalcButton& b : buttons_) {
        TRect both;
        if (IntersectRect(both, b.Bounds, clip)) DrawButton(canvas, b, focused);
    }
}
