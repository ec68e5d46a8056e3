#include "controls/vx_check_edit.h"

#include <algorithm>

#include "controls/draw_utils.h"
#include "controls/vx_check_edit_style.h"
#include "controls/vx_editors_unit.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/control_paint.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/region.h"
#include "platform/gdi/text.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceCheckEditClass::Create(TComponent* AOwner) const { return new TvxInplaceCheckEdit(AOwner); }

std::unique_ptr<TvxEditStyle> TvxInplaceCheckEditClass::CreateEditStyle(TvxInplaceEdit* Edit) const {
    return std::make_unique<TvxCheckEditStyle>(Edit);
}

std::unique_ptr<TvxEditViewData> TvxInplaceCheckEditClass::CreateViewData() const {
    return std::make_unique<TvxCheckEditViewData>();
}

bool TvxInplaceCheckEditClass::GetGlyphSize(TBitmap* Glyph, int GlyphCount, int& Width, int& Height) {
    TSize box = vxCheckGlyphSize();
    Width = box.cx > 0 ? box.cx : 13;
    Height = box.cy > 0 ? box.cy : 13;
    if (GlyphCount >= 1 && Glyph && !Glyph->Empty()) {
        Width = Glyph->Width() / GlyphCount;
        Height = Glyph->Height();
        return true;
    }
    return false;
}

void TvxInplaceCheckEditClass::CalcBoxRect(int Width, int Height, TRect& ContentRect, TAlignment Alignment,
                                           TRect& BoxRect) {
    if (Alignment == taCenter) {
        const int x = (ContentRect.Left + ContentRect.Right - Width) / 2;
        const int y = (ContentRect.Top + ContentRect.Bottom - Height) / 2;
        BoxRect = Rect(x, y, x + Width, y + Height);
        return;
    }
    InflateRect(ContentRect, -2, -2);
    const int y = (ContentRect.Top + ContentRect.Bottom - Height) / 2;
    if (Alignment == taRightJustify) {
        BoxRect = Rect(ContentRect.Right - Width, y, ContentRect.Right, y + Height);
        ContentRect.Right -= Width + 3;
    } else {
        BoxRect = Rect(ContentRect.Left, y, ContentRect.Left + Width, y + Height);
        ContentRect.Left += Width + 3;
    }
}

void TvxInplaceCheckEditClass::DrawBox(HDC DC, const TRect& BoxRect, const TvxCheckEditViewData& ViewData) {
    int w = 0, h = 0;
    const bool userGlyph = GetGlyphSize(ViewData.Glyph, ViewData.GlyphCount, w, h);
    int state = 0;
    if (!ViewData.EditValue.IsNull() && !ViewData.EditValue.IsEmpty())
        state = std::clamp(ViewData.EditValue.AsInteger(), 0, 2);
    if (userGlyph) {
        int index = state + (ViewData.BoxPressed ? 3 : 0);
        while (index >= ViewData.GlyphCount && index >= 3) index %= 3;
        TBitmap image(w, h);
        image.SetTransparentColor(ViewData.Glyph->TransparentColor());
        BitBlt(image.Canvas()->Handle(), 0, 0, w, h, ViewData.Glyph->Canvas()->Handle(), index * w, 0, SRCCOPY);
        DrawBitmapOnBrush(DC, ViewData.Brush, BoxRect, &image);
        return;
    }
    unsigned flags = DFCS_BUTTONCHECK;
    if (ViewData.Enabled) {
        if (state == cbsChecked) flags |= DFCS_CHECKED;
        if (state == cbsGrayed) {
            flags |= DFCS_BUTTON3STATE;
            if (ViewData.NullStyle == nsInactive)
                flags |= DFCS_INACTIVE;
            else if (ViewData.NullStyle == nsGrayedChecked)
                flags |= DFCS_CHECKED;
        }
        if (ViewData.BoxPressed) flags |= DFCS_PUSHED;
    } else {
        flags |= DFCS_PUSHED | DFCS_BUTTON3STATE;
        flags |= state != cbsUnchecked ? DFCS_CHECKED : DFCS_INACTIVE;
    }
    if (ViewData.ButtonStyle != bts3D) flags |= DFCS_FLAT;
    const int saved = SaveDC(DC);
    TRect r = BoxRect;
    if (ViewData.ButtonStyle == btsFlat) {
        IntersectClipRect(DC, r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        DrawFrameControl(DC, r, DFC_BUTTON, flags);
        RestoreDC(DC, saved);
        TRect e = BoxRect;
        DrawEdge(DC, e, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        DrawEdge(DC, e, BDR_SUNKENINNER, BF_RECT | BF_FLAT);
        return;
    }
    if (ViewData.ButtonStyle == btsSimple) {
        IntersectClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
        TRect big = r;
        InflateRect(big, 1, 1);
        DrawFrameControl(DC, big, DFC_BUTTON, flags);
        RestoreDC(DC, saved);
        TRect f = BoxRect;
        InflateRect(f, -1, -1);
        FrameRect(DC, f, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    DrawFrameControl(DC, r, DFC_BUTTON, flags);
    RestoreDC(DC, saved);
}

bool TvxInplaceCheckEditClass::DrawContent(HDC DC, const TRect& R, bool IsWindowPaint,
                                           TvxEditViewData& ViewData) const {
    (void)IsWindowPaint;
    TvxCheckEditViewData fallback;
    auto* cvd = dynamic_cast<TvxCheckEditViewData*>(&ViewData);
    if (!cvd) {
        static_cast<TvxEditViewData&>(fallback) = ViewData;
        cvd = &fallback;
    }
    int w = 0, h = 0;
    GetGlyphSize(cvd->Glyph, cvd->GlyphCount, w, h);
    if (ViewData.MeasureOnly) {
        cvd->MeasuredHeight = h;
        return true;
    }
    TRect caption = R;
    TRect box;
    CalcBoxRect(w, h, caption, ViewData.Alignment, box);
    if (ViewData.Alignment == taCenter) {
        if (!ViewData.Transparent && ViewData.Brush) FillRect(DC, R, ViewData.Brush);
    } else {
        // The margin around the caption and the box belongs to the editor's background.
        if (!ViewData.Transparent && ViewData.Brush) {
            const int saved = SaveDC(DC);
            ExcludeClipRect(DC, caption.Left, caption.Top, caption.Right, caption.Bottom);
            ExcludeClipRect(DC, box.Left, box.Top, box.Right, box.Bottom);
            FillRect(DC, R, ViewData.Brush);
            RestoreDC(DC, saved);
        }
        unsigned flags = ViewData.VerticalLayout == 3 ? vxdtWordWrap : vxdtVCenter;
        if (ViewData.Alignment == taRightJustify) flags |= vxdtRight;
        if (ViewData.Transparent) flags |= vxdtNoFill;
        if (ViewData.Enabled) {
            if (ViewData.Focused) flags |= vxdtFocusRect | (cvd->FocusCaptionOnly ? vxdtFocusTextOnly : 0);
            DrawTextInRect(DC, cvd->Caption, nullptr, ViewData.TextColor, ViewData.Color, ViewData.Font, ViewData.Brush,
                           flags | vxdtPrefix, caption, caption);
        } else {
            if (!ViewData.Transparent && ViewData.Brush) FillRect(DC, caption, ViewData.Brush);
            TRect moved = caption;
            OffsetRect(moved, 1, 1);
            DrawTextInRect(DC, cvd->Caption, nullptr, GetSysColor(COLOR_BTNHIGHLIGHT), ViewData.Color, ViewData.Font,
                           ViewData.Brush, flags | vxdtNoFill | vxdtPrefix, moved, moved);
            DrawTextInRect(DC, cvd->Caption, nullptr, GetSysColor(COLOR_BTNSHADOW), ViewData.Color, ViewData.Font,
                           ViewData.Brush, flags | vxdtNoFill | vxdtPrefix, caption, caption);
        }
    }
    DrawBox(DC, box, *cvd);
    // With no caption to frame, the box itself shows where the keyboard is.
    if (ViewData.Enabled && ViewData.Focused &&
        (ViewData.Alignment == taCenter || (cvd->Caption.empty() && cvd->FocusCaptionOnly))) {
        TRect frame = box;
        InflateRect(frame, 1, 1);
        DrawFocusRect(DC, frame);
    }
    return true;
}

int TvxInplaceCheckEditClass::GetAutoHeight(const TvxEditViewData& ViewData) const {
    int h = TvxInplaceEditClass::GetAutoHeight(ViewData);
    TSize box = vxCheckGlyphSize();
    h = std::max(h, static_cast<int>(box.cy));
    const auto* cvd = dynamic_cast<const TvxCheckEditViewData*>(&ViewData);
    if (!cvd) return h;
    if (cvd->Glyph && !cvd->Glyph->Empty()) h = std::max(h, cvd->Glyph->Height());
    if (ViewData.Alignment != taCenter) {
        int w = 0, gh = 0;
        GetGlyphSize(cvd->Glyph, cvd->GlyphCount, w, gh);
        TRect caption = ViewData.Bounds;
        InflateRect(caption, -2, -2);
        TRect box;
        CalcBoxRect(w, gh, caption, ViewData.Alignment, box);
        unsigned flags = (ViewData.VerticalLayout == 3 ? vxdtWordWrap : vxdtVCenter) | vxdtMeasure | vxdtPrefix;
        HDC dc = CreateCompatibleDC(nullptr);
        int textHeight = 0;
        DrawTextInRect(dc, cvd->Caption, &textHeight, ViewData.TextColor, ViewData.Color, ViewData.Font, ViewData.Brush,
                       flags, caption, caption);
        DeleteDC(dc);
        h = std::max(h, textHeight + 4);
    }
    return h;
}

// ---- The editor ----

const TvxInplaceCheckEditClass& TvxInplaceCheckEdit::StaticClass() {
    static const TvxInplaceCheckEditClass instance;
    return instance;
}

TvxInplaceCheckEdit::TvxInplaceCheckEdit(TComponent* AOwner) : TvxInplaceCheckEdit(AOwner, StaticClass()) {}

TvxInplaceCheckEdit::TvxInplaceCheckEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceEdit(AOwner, AClass) {
    controlStyle_ = csSetCaption | csDoubleClicks;
}

TvxInplaceCheckEdit::~TvxInplaceCheckEdit() = default;

void TvxInplaceCheckEdit::InvalidateBox() { InvalidateEdit(); }

void TvxInplaceCheckEdit::SetState(TvxCheckBoxState v) {
    if (state_ == v) return;
    state_ = v;
    InvalidateBox();
    if (!HasState(csLoading)) Click();
}

void TvxInplaceCheckEdit::SetNullStyle(TvxShowNullFieldStyle v) {
    if (nullStyle_ == v) return;
    nullStyle_ = v;
    InvalidateBox();
}

TBitmap* TvxInplaceCheckEdit::Glyph() {
    if (!glyph_) glyph_ = std::make_unique<TBitmap>();
    return glyph_.get();
}

void TvxInplaceCheckEdit::SetGlyph(TBitmap* v) {
    if (!v)
        glyph_.reset();
    else
        Glyph()->Assign(v);
    StyleChanged();
}

void TvxInplaceCheckEdit::SetGlyphCount(int v) {
    if (glyphCount_ == v) return;
    glyphCount_ = v;
    if (glyph_) StyleChanged();
}

void TvxInplaceCheckEdit::SetMultiLine(bool v) {
    if (multiLine_ == v) return;
    multiLine_ = v;
    if (AutoSize())
        StyleChanged();
    else
        InvalidateEdit();
}

void TvxInplaceCheckEdit::SetFullFocusRect(bool v) {
    if (fullFocusRect_ == v) return;
    fullFocusRect_ = v;
    InvalidateEdit();
}

void TvxInplaceCheckEdit::Toggle() {
    if (!CanModify()) return;
    switch (state_) {
        case cbsUnchecked: SetState(allowGrayed_ ? cbsGrayed : cbsChecked); break;
        case cbsChecked: SetState(cbsUnchecked); break;
        case cbsGrayed: SetState(cbsChecked); break;
    }
    SetModified(true);
}

void TvxInplaceCheckEdit::Click() {
    if (ValueLoadingGuard()) return;
    TvxInplaceEdit::Click();
    firingChange_ = true;
    TScopeExit restore([&] { firingChange_ = false; });
    Change();
}

void TvxInplaceCheckEdit::Change() {
    // Only a new state is a change; the caption is no value.
    if (firingChange_) TvxInplaceEdit::Change();
}

void TvxInplaceCheckEdit::SetEditValue(const Variant& Value) {
    const bool modified = GetModified();
    SetValueLoadingGuard(true);
    TScopeExit restore([&] {
        SetValueLoadingGuard(false);
        SetModified(modified);
    });
    int v = (Value.IsNull() || Value.IsEmpty()) ? 0 : Value.AsInteger();
    SetState(static_cast<TvxCheckBoxState>(std::clamp(v, 0, 2)));
}

void TvxInplaceCheckEdit::GetEditValue(Variant& Value, bool IsPaintCopy) {
    (void)IsPaintCopy;
    Value = Variant(static_cast<int>(state_));
}

void TvxInplaceCheckEdit::GetDisplayValue(Variant& Value) { Value = Variant(static_cast<int>(state_)); }

std::unique_ptr<TvxEditViewData> TvxInplaceCheckEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceEdit::CreateViewData(IsPaintCopy);
    vd->VerticalLayout = multiLine_ ? 3 : 1;
    if (auto* c = dynamic_cast<TvxCheckEditViewData*>(vd.get())) {
        c->Caption = Caption();
        c->FocusCaptionOnly = !fullFocusRect_;
        c->Glyph = glyph_ && !glyph_->Empty() ? glyph_.get() : nullptr;
        c->GlyphCount = glyphCount_;
        c->NullStyle = nullStyle_;
        c->BoxPressed = boxPressed_;
    }
    return vd;
}

void TvxInplaceCheckEdit::ActivateByClick() { Toggle(); }

// ---- Mouse and keys ----

void TvxInplaceCheckEdit::SetBoxPressed(bool v) {
    if (boxPressed_ == v) return;
    boxPressed_ = v;
    InvalidateBox();
}

void TvxInplaceCheckEdit::UpdateBoxPressed(int X, int Y) { SetBoxPressed(PtInRect(ClientRect(), Point(X, Y))); }

void TvxInplaceCheckEdit::StopTracking() {
    if (!mouseCaptured_) return;
    mouseCaptured_ = false;
    SetBoxPressed(false);
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TvxInplaceCheckEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplaceEdit::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !HandleAllocated()) return;
    SetCapture(Handle());
    mouseCaptured_ = true;
    UpdateBoxPressed(X, Y);
}

void TvxInplaceCheckEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (mouseCaptured_) UpdateBoxPressed(X, Y);
    TvxInplaceEdit::MouseMove(Shift, X, Y);
}

void TvxInplaceCheckEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool wasPressed = boxPressed_;
    const bool tracked = mouseCaptured_;
    StopTracking();
    if (Button == mbLeft && tracked && wasPressed && CanModify()) Toggle();
    TvxInplaceEdit::MouseUp(Button, Shift, X, Y);
}

void TvxInplaceCheckEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        SetBoxPressed(true);
    } else if (Key == VK_LEFT || Key == VK_RIGHT) {
        MoveColumnFocus(Key == VK_LEFT);
    }
    TvxInplaceEdit::KeyDown(Key, Shift);
}

void TvxInplaceCheckEdit::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_SPACE && boxPressed_ && !mouseCaptured_) {
        SetBoxPressed(false);
        if (CanModify()) Toggle();
    }
    TvxInplaceEdit::KeyUp(Key, Shift);
}

void TvxInplaceCheckEdit::KeyPress(char32_t& Key) {
    // In place the editor may have been opened by this very Space: no key-down came first.
    if (Key == U' ' && IsInplace() && !boxPressed_ && CanModify()) Toggle();
    TvxInplaceEdit::KeyPress(Key);
}

void TvxInplaceCheckEdit::WMGetDlgCode(TMessage& Message) {
    TvxInplaceEdit::WMGetDlgCode(Message);
    if (IsInplace())
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    else
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTCHARS);
}

void TvxInplaceCheckEdit::CMTextChanged(TMessage& Message) {
    TvxInplaceEdit::CMTextChanged(Message);
    StyleChanged();
}

void TvxInplaceCheckEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_CANCELMODE: StopTracking(); break;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
                SetFocus();
                if (Focused()) Toggle();
                Message.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TvxInplaceEdit::WndProc(Message);
}
