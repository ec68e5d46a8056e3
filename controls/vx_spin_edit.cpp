#include "controls/vx_spin_edit.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "controls/draw_utils.h"
#include "controls/vx_drop_down_edit.h"
#include "platform/forms/control_messages.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/locale.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/timers.h"

namespace {

// A button face with no symbol of the drop-down painter (the arrows are drawn here).
constexpr auto kPlainFace = static_cast<TvxEditButtonKind>(bkGlyph + 1);

void DrawArrow(HDC DC, const TRect& R, bool Up, COLORREF Color) {
    int a = (R.Width() - 2) / 2;
    if (a % 2 == 0) ++a;
    const int x = (R.Left + R.Right - a) / 2;
    const int y = (R.Top + R.Bottom - a / 2) / 2 - 1;
    TPoint pts[3];
    if (Up) {
        pts[0] = {x, y + a / 2};
        pts[1] = {x + a / 2, y};
        pts[2] = {x + a - 1, y + a / 2};
    } else {
        pts[0] = {x, y + 1};
        pts[1] = {x + a - 1, y + 1};
        pts[2] = {x + a / 2, y + 1 + a / 2};
    }
    FillTriangle(DC, pts, Color);
}

}  // namespace

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceSpinEditClass::Create(TComponent* AOwner) const { return new TvxInplaceSpinEdit(AOwner); }

std::unique_ptr<TvxEditViewData> TvxInplaceSpinEditClass::CreateViewData() const {
    return std::make_unique<TvxSpinEditViewData>();
}

int TvxInplaceSpinEditClass::GetButtonsWidth(const TvxEditViewData& ViewData) const {
    const auto* vd = dynamic_cast<const TvxSpinEditViewData*>(&ViewData);
    if (!vd || !vd->ButtonsVisible) return 0;
    int w = GetSystemMetrics(SM_CXVSCROLL);
    if (w % 2 == 0) --w;
    w = std::max(w, 13);
    if (ViewData.ButtonStyle == btsFlat || ViewData.ButtonStyle == btsSimple) --w;
    return w;
}

void TvxInplaceSpinEditClass::CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize,
                                           TvxEditViewInfo& ViewInfo) const {
    TvxInplaceMaskEditClass::CalcViewInfo(ViewData, CalcAutoSize, ViewInfo);
    ViewInfo.ContentRect.Right -= GetButtonsWidth(ViewData);
    if (ViewInfo.ContentRect.Right < ViewInfo.ContentRect.Left) ViewInfo.ContentRect.Right = ViewInfo.ContentRect.Left;
    ViewInfo.InnerRect = ViewInfo.ContentRect;
}

TRect TvxInplaceSpinEditClass::ButtonsRect(const TvxEditViewInfo& ViewInfo, const TvxEditViewData& ViewData) const {
    TRect r = ViewInfo.BorderRect;
    ExtendByBorder(r, ViewInfo, false);
    r.Left = r.Right - GetButtonsWidth(ViewData);
    return r;
}

void TvxInplaceSpinEditClass::DrawBorder(HDC DC, const TvxEditViewInfo& ViewInfo, TvxEditViewData& ViewData) const {
    TvxInplaceMaskEditClass::DrawBorder(DC, ViewInfo, ViewData);
    auto* vd = dynamic_cast<TvxSpinEditViewData*>(&ViewData);
    if (!vd || !vd->ButtonsVisible) return;
    const TRect r = ButtonsRect(ViewInfo, ViewData);
    const int mid = (r.Top + r.Bottom) / 2;
    TvxDropDownEditViewData face;
    face.ButtonStyle = ViewData.ButtonStyle;
    face.Brush = ViewData.Brush;
    face.Enabled = ViewData.Enabled;
    TvxEditButtonViewInfo info;
    info.Kind = kPlainFace;
    info.Width = r.Width();
    for (uint8_t b : {vxsbUp, vxsbDown}) {
        const TRect br = b == vxsbUp ? Rect(r.Left, r.Top, r.Right, mid) : Rect(r.Left, mid, r.Right, r.Bottom);
        const bool hot = vd->HotButton == b;
        const bool pressed = hot && vd->PressedButton == b;
        TvxInplaceDropDownEdit::StaticClass().DrawButton(DC, br, face, info, pressed, ViewData.ButtonTransparent, hot);
        if (ViewData.Enabled) {
            DrawArrow(DC, br, b == vxsbUp, GetSysColor(COLOR_BTNTEXT));
        } else {
            TRect shifted = br;
            OffsetRect(shifted, 1, 1);
            DrawArrow(DC, shifted, b == vxsbUp, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawArrow(DC, br, b == vxsbUp, GetSysColor(COLOR_BTNSHADOW));
        }
    }
}

// ---- The editor ----

const TvxInplaceSpinEditClass& TvxInplaceSpinEdit::StaticClass() {
    static const TvxInplaceSpinEditClass instance;
    return instance;
}

TvxInplaceSpinEdit::TvxInplaceSpinEdit(TComponent* AOwner) : TvxInplaceSpinEdit(AOwner, StaticClass()) {}

TvxInplaceSpinEdit::TvxInplaceSpinEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceMaskEdit(AOwner, AClass) {
    controlStyle_ &= ~csSetCaption;
    TControl::SetText("0");
}

TvxInplaceSpinEdit::~TvxInplaceSpinEdit() { StopRepeat(); }

void TvxInplaceSpinEdit::SetValueTypeAssigned(uint8_t v) {
    SetAssignedBit(avValueType);
    SetValueType(v);
}

void TvxInplaceSpinEdit::SetMinMaxValues(double AMin, double AMax) {
    SetAssignedBit(avMinValue);
    SetAssignedBit(avMaxValue);
    SetMinMax(AMin, AMax);
}

double TvxInplaceSpinEdit::GetValue() {
    const std::string s = WindowText();
    if (!s.empty()) {
        if (valueType_ == vxvtInteger) {
            int32_t v = 0;
            if (TryStrToInt(s, v)) return v;
        } else {
            double v = 0;
            if (TryStrToFloat(s, v)) return v;
        }
    }
    return valueType_ == vxvtInteger ? std::nearbyint(minValue_) : minValue_;
}

bool TvxInplaceSpinEdit::IsValidSpinChar(char32_t Key) {
    const bool control = Key < 32 || Key == 127;
    if (!editorEnabled_) return control && Key != 8;
    if (control) return true;
    if (Key == U'+' || Key == U'-' || (Key >= U'0' && Key <= U'9')) return true;
    return valueType_ == vxvtFloat && Key == static_cast<char32_t>(FormatSettings().DecimalSeparator);
}

void TvxInplaceSpinEdit::SetMaxValue(double Value) {
    Value = std::max(Value, minValue_);
    if (Value == maxValue_) return;
    maxValue_ = Value;
    SetValue(GetValue());
}

void TvxInplaceSpinEdit::SetMinValue(double Value) {
    Value = std::min(Value, maxValue_);
    if (Value == minValue_) return;
    minValue_ = Value;
    SetValue(GetValue());
}

void TvxInplaceSpinEdit::SetMinMax(double AMin, double AMax) {
    minValue_ = std::min(AMin, AMax);
    maxValue_ = AMax;
    SetValue(GetValue());
}

void TvxInplaceSpinEdit::SetValueType(uint8_t Value) {
    if (Value == valueType_) return;
    valueType_ = Value;
    if (!WindowText().empty()) SetValue(GetValue());
}

void TvxInplaceSpinEdit::SetValueText(const std::string& S) {
    if (S != WindowText()) TvxInplaceMaskEdit::SetText(S);
}

void TvxInplaceSpinEdit::SetValue(double Value) {
    // What is no number changes nothing; an overflow stops at the range's end, or without
    // a range at the largest number whose text (15 digits) reads back: never "INF".
    constexpr double kLargest = 1.79769313486231e308;
    if (std::isnan(Value)) return;
    if (maxValue_ != minValue_) Value = std::clamp(Value, minValue_, maxValue_);
    Value = std::clamp(Value, -kLargest, kLargest);
    if (valueType_ == vxvtInteger) {
        // Unbounded steps can leave the 32-bit range; a double beyond it has no integer.
        const double v = std::clamp(Value, double{INT32_MIN}, double{INT32_MAX});
        SetValueText(IntToStr(static_cast<int32_t>(std::nearbyint(v))));
    } else {
        SetValueText(FloatToStrF(Value, ffGeneral, 15, 0));
    }
}

void TvxInplaceSpinEdit::StepBy(uint8_t Button) {
    if (Button == vxsbUp)
        SetValue(GetValue() + GetIncrement());
    else if (Button == vxsbDown)
        SetValue(GetValue() - GetIncrement());
}

void TvxInplaceSpinEdit::Step() {
    if (!CanEditText()) {
        MessageBeep(0);
        return;
    }
    if (!CanModify()) return;
    StepBy(pressedButton_);
    SetModified(true);
}

void TvxInplaceSpinEdit::RefreshDefaults() {
    TvxInplaceMaskEdit::RefreshDefaults();
    if (!IsAssigned(avValueType)) SetValueType(DefaultIsFloat() ? vxvtFloat : vxvtInteger);
    const bool maxSet = IsAssigned(avMaxValue);
    const bool minSet = IsAssigned(avMinValue);
    if (!maxSet && !minSet) {
        SetMinMax(DefaultMinValue(), DefaultMaxValue());
    } else {
        if (!maxSet) SetMaxValue(DefaultMaxValue());
        if (!minSet) SetMinValue(DefaultMinValue());
    }
}

void TvxInplaceSpinEdit::RestoreDefaults() {
    TvxInplaceMaskEdit::RestoreDefaults();
    SetValueType(DefaultIsFloat() ? vxvtFloat : vxvtInteger);
    SetMinMax(DefaultMinValue(), DefaultMaxValue());
}

void TvxInplaceSpinEdit::ValidateEdit() {
    TvxInplaceMaskEdit::ValidateEdit();
    if (GetModified()) SetValue(GetValue());
}

std::unique_ptr<TvxEditViewData> TvxInplaceSpinEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceMaskEdit::CreateViewData(IsPaintCopy);
    if (auto* d = dynamic_cast<TvxSpinEditViewData*>(vd.get())) {
        d->ButtonsVisible = IsActive() || !Style() || Style()->ButtonTransparence() != ebtHideInactive;
        d->PressedButton = pressedButton_;
        const bool byKey = pressedButton_ != vxsbNone && !(HandleAllocated() && GetCapture() == Handle());
        d->HotButton = byKey ? pressedButton_ : hotButton_;
    }
    return vd;
}

void TvxInplaceSpinEdit::RedrawButtons() {
    if (HandleAllocated()) SendMessage(Handle(), WM_NCPAINT, 1, 0);
}

void TvxInplaceSpinEdit::StopRepeat() {
    if (repeatTimer_ == 0) return;
    if (HandleAllocated()) KillTimer(Handle(), vxSpinRepeatTimer);
    repeatTimer_ = 0;
}

void TvxInplaceSpinEdit::ReleaseButtons() {
    StopRepeat();
    const bool changed = pressedButton_ != vxsbNone || hotButton_ != vxsbNone;
    pressedButton_ = vxsbNone;
    hotButton_ = vxsbNone;
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    if (changed) RedrawButtons();
}

void TvxInplaceSpinEdit::SetMouseInside(bool Value) {
    if (!Value && hotButton_ != vxsbNone && pressedButton_ == vxsbNone) {
        hotButton_ = vxsbNone;
        RedrawButtons();
    }
    TvxInplaceMaskEdit::SetMouseInside(Value);
}

bool TvxInplaceSpinEdit::HitButton(TPoint Screen, uint8_t& Button) {
    Button = vxsbNone;
    if (!HandleAllocated()) return false;
    TRect wr;
    GetWindowRect(Handle(), &wr);
    std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
    vd->Bounds = Rect(0, 0, wr.Width(), wr.Height());
    TvxEditViewInfo vi;
    EditClass().CalcViewInfo(*vd, false, vi);
    const TRect r = SpinClass().ButtonsRect(vi, *vd);
    const TPoint p{Screen.X - wr.Left, Screen.Y - wr.Top};
    if (r.Width() <= 0 || !PtInRect(r, p)) return false;
    Button = p.Y < (r.Top + r.Bottom) / 2 ? vxsbUp : vxsbDown;
    return true;
}

void TvxInplaceSpinEdit::ActivateAtPoint(int X, int Y) {
    TvxInplaceMaskEdit::ActivateAtPoint(X, Y);
    TControl* c = dynamic_cast<TControl*>(Owner());
    if (!c || !IsInplace() || !HandleAllocated()) return;
    const TPoint screen = c->ClientToScreen(Point(X, Y));
    ReleaseCapture();
    const LRESULT hit = SendMessage(Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
    SendMessage(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(screen.X, screen.Y));
}

// ---- Keys ----

void TvxInplaceSpinEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if ((Key == VK_UP || Key == VK_DOWN) && (!useCtrlIncrement_ || Shift.Contains(ssCtrl))) {
        if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
        pressedButton_ = hotButton_ = Key == VK_UP ? vxsbUp : vxsbDown;
        RedrawButtons();
        Step();
        // The edit window never sees a stepping arrow key.
        Key = 0;
        return;
    }
    if (!editorEnabled_ && IsEditChangeKey(Key, Shift)) {
        Key = 0;
        return;
    }
    TvxInplaceMaskEdit::KeyDown(Key, Shift);
}

void TvxInplaceSpinEdit::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_UP || Key == VK_DOWN) ReleaseButtons();
    TvxInplaceMaskEdit::KeyUp(Key, Shift);
}

void TvxInplaceSpinEdit::KeyPress(char32_t& Key) {
    if (Key == U',' || Key == U'.') Key = static_cast<char32_t>(FormatSettings().DecimalSeparator);
    const bool control = Key < 32 || Key == 127;
    if (control && Key != 8) {
        TvxInplaceMaskEdit::KeyPress(Key);
        return;
    }
    if (!IsValidSpinChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    TvxInplaceMaskEdit::KeyPress(Key);
}

void TvxInplaceSpinEdit::WMKillFocus(TMessage& Message) {
    TvxInplaceMaskEdit::WMKillFocus(Message);
    ReleaseButtons();
}

// ---- Mouse and messages ----

void TvxInplaceSpinEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
        case WM_UNDO:
            if (!editorEnabled_) return;
            break;
        case WM_NCHITTEST: {
            TvxInplaceMaskEdit::WndProc(Message);
            if (HasState(csDesigning)) return;
            uint8_t b = vxsbNone;
            const TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            if (HitButton(screen, b)) {
                if (GetCapture() == nullptr || pressedButton_ != vxsbNone) {
                    const uint8_t hot = pressedButton_ != vxsbNone && pressedButton_ != b ? vxsbNone : b;
                    if (hot != hotButton_) {
                        hotButton_ = hot;
                        RedrawButtons();
                    }
                    Message.Result = HTBORDER;
                }
            } else if (hotButton_ != vxsbNone) {
                hotButton_ = vxsbNone;
                RedrawButtons();
            }
            return;
        }
        case WM_NCLBUTTONDOWN:
            TvxInplaceMaskEdit::WndProc(Message);
            if (hotButton_ != vxsbNone) {
                pressedButton_ = hotButton_;
                if (HandleAllocated()) SetCapture(Handle());
                RedrawButtons();
                Step();
                if (repeatTimer_ != 0) {
                    StopRepeat();
                } else if (HandleAllocated()) {
                    repeatTimer_ = SetTimer(Handle(), vxSpinRepeatTimer, vxSpinFirstRepeat);
                }
                if (HandleAllocated() && GetFocus() != Handle() && CanFocus()) SetFocus();
            }
            return;
        case WM_NCLBUTTONDBLCLK:
            TvxInplaceMaskEdit::WndProc(Message);
            ReleaseButtons();
            if (HandleAllocated()) {
                SendMessage(Handle(), WM_NCHITTEST, 0, Message.LParam);
                SendMessage(Handle(), WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
                SendMessage(Handle(), WM_NCLBUTTONUP, Message.WParam, Message.LParam);
            }
            return;
        case WM_TIMER:
            if (Message.WParam == vxSpinRepeatTimer) {
                StopRepeat();
                if (pressedButton_ != vxsbNone && HandleAllocated() && GetCapture() == Handle()) {
                    if (pressedButton_ == hotButton_) Step();
                    repeatTimer_ = SetTimer(Handle(), vxSpinRepeatTimer, vxSpinNextRepeat);
                }
                return;
            }
            break;
        case WM_MOUSEMOVE:
            // The capture routes every move here: the pressed button is hot only while the
            // mouse is over it, so stepping pauses off it.
            if (pressedButton_ != vxsbNone && HandleAllocated() && GetCapture() == Handle()) {
                uint8_t b = vxsbNone;
                HitButton(ClientToScreen(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam))), b);
                const uint8_t hot = b == pressedButton_ ? b : vxsbNone;
                if (hot != hotButton_) {
                    hotButton_ = hot;
                    RedrawButtons();
                }
                return;
            }
            break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            if (pressedButton_ != vxsbNone) {
                ReleaseButtons();
                return;
            }
            break;
        case WM_CANCELMODE: ReleaseButtons(); break;
        case WM_CAPTURECHANGED:
            TvxInplaceMaskEdit::WndProc(Message);
            if (pressedButton_ != vxsbNone) ReleaseButtons();
            return;
        case WM_MOUSEWHEEL: {
            const uint8_t saved = pressedButton_;
            pressedButton_ = GET_WHEEL_DELTA_WPARAM(Message.WParam) < 0 ? vxsbDown : vxsbUp;
            Step();
            pressedButton_ = saved;
            Message.Result = 1;
            return;
        }
        default: break;
    }
    TvxInplaceMaskEdit::WndProc(Message);
}
