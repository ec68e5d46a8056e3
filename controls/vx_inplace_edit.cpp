#include "controls/vx_inplace_edit.h"

#include "controls/draw_utils.h"
#include "controls/vx_container.h"
#include "controls/vx_style_controller.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/gdi/text.h"
#include "platform/rtl/scope_exit.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceEditClass::Create(TComponent* AOwner) const { return new TvxInplaceEdit(AOwner); }

std::unique_ptr<TvxEditStyle> TvxInplaceEditClass::CreateEditStyle(TvxInplaceEdit* Edit) const {
    return std::make_unique<TvxEditStyle>(Edit);
}

std::unique_ptr<TvxEditViewData> TvxInplaceEditClass::CreateViewData() const {
    return std::make_unique<TvxEditViewData>();
}

void TvxInplaceEditClass::InitViewInfo(const TvxEditViewData& ViewData, TvxEditViewInfo& ViewInfo) const {
    ViewInfo = TvxEditViewInfo{};
    ViewInfo.ShadowWidth = ViewData.Shadow ? 2 : 0;
    ViewInfo.Bounds = ViewData.Bounds;
    const TRect& b = ViewInfo.Bounds;
    const int sw = ViewInfo.ShadowWidth;
    ViewInfo.ContentRect = Rect(b.Left + 2, b.Top + 2, b.Right - 2 - sw, b.Bottom - 2 - sw);
    switch (ViewData.BorderStyle) {
        case xbsNone: ViewInfo.BorderWidth = 0; break;
        case xbsSingle: ViewInfo.BorderWidth = 1; break;
        default: ViewInfo.BorderWidth = 2; break;
    }
}

void TvxInplaceEditClass::CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize, TvxEditViewInfo& ViewInfo) const {
    InitViewInfo(ViewData, ViewInfo);
    const int sw = ViewInfo.ShadowWidth;
    if (CalcAutoSize) {
        TRect size{};
        CalcContentSize(ViewData, size);
        int h;
        if (!IsRectEmpty(size)) {
            int w = size.Width();
            ViewInfo.Bounds.Right = ViewInfo.Bounds.Left + w + 2 * 2 + sw;
            ViewInfo.ContentRect.Right = ViewInfo.Bounds.Left + 2 + w;
            h = size.Height();
        } else {
            h = GetAutoHeight(ViewData);
        }
        ViewInfo.Bounds.Bottom = ViewInfo.Bounds.Top + h + 2 * 2 + sw;
        ViewInfo.ContentRect.Bottom = ViewInfo.Bounds.Top + 2 + h;
    }
    ViewInfo.LeftEdge = ViewData.Edges.Contains(edgLeft);
    ViewInfo.TopEdge = ViewData.Edges.Contains(edgTop);
    ViewInfo.RightEdge = ViewData.Edges.Contains(edgRight);
    ViewInfo.BottomEdge = ViewData.Edges.Contains(edgBottom);
    ViewInfo.BorderRect = ViewInfo.ContentRect;
    ExtendByBorder(ViewInfo.BorderRect, ViewInfo, true);
    if (sw > 0) {
        ViewInfo.ShadowRect = ViewInfo.BorderRect;
        OffsetRect(ViewInfo.ShadowRect, sw, sw);
    }
    ViewInfo.InnerRect = ViewInfo.ContentRect;
}

void TvxInplaceEditClass::ExtendByBorder(TRect& R, const TvxEditViewInfo& ViewInfo, bool Outward) {
    const int d = Outward ? ViewInfo.BorderWidth : -ViewInfo.BorderWidth;
    if (ViewInfo.LeftEdge) R.Left -= d;
    if (ViewInfo.TopEdge) R.Top -= d;
    if (ViewInfo.RightEdge) R.Right += d;
    if (ViewInfo.BottomEdge) R.Bottom += d;
}

HRGN TvxInplaceEditClass::CreateShapeRegion(const TvxEditViewInfo& ViewInfo) {
    if (ViewInfo.ShadowWidth == 0 && ViewInfo.BorderWidth >= 2 && ViewInfo.LeftEdge && ViewInfo.TopEdge &&
        ViewInfo.RightEdge && ViewInfo.BottomEdge)
        return nullptr;
    HRGN rgn = CreateRectRgnIndirect(ViewInfo.BorderRect);
    if (ViewInfo.ShadowWidth > 0) {
        HRGN shadow = CreateRectRgnIndirect(ViewInfo.ShadowRect);
        CombineRgn(rgn, rgn, shadow, RGN_OR);
        DeleteObject(shadow);
    }
    return rgn;
}

void TvxInplaceEditClass::DrawEdit(HDC DC, HRGN ExcludeRgn, TvxEditViewData& ViewData) const {
    TvxEditViewInfo vi;
    CalcViewInfo(ViewData, false, vi);
    DrawBorder(DC, vi, ViewData);
    DrawContent(DC, vi.ContentRect, false, ViewData);
    if (ExcludeRgn) {
        HRGN shape = CreateShapeRegion(vi);
        if (!shape) shape = CreateRectRgnIndirect(vi.BorderRect);
        CombineRgn(ExcludeRgn, ExcludeRgn, shape, RGN_DIFF);
        DeleteObject(shape);
    }
}

void TvxInplaceEditClass::DrawBorder(HDC DC, const TvxEditViewInfo& ViewInfo, TvxEditViewData& ViewData) const {
    const int bw = ViewInfo.BorderWidth;
    if (bw > 0) {
        unsigned flags = 0;
        if (ViewInfo.LeftEdge) flags |= BF_LEFT;
        if (ViewInfo.TopEdge) flags |= BF_TOP;
        if (ViewInfo.RightEdge) flags |= BF_RIGHT;
        if (ViewInfo.BottomEdge) flags |= BF_BOTTOM;
        TRect r = ViewInfo.BorderRect;
        switch (ViewData.BorderStyle) {
            case xbsSingle:
            case xbsThick: {
                HBRUSH brush = CreateSolidBrush(ColorToRGB(ViewData.BorderColor));
                if (flags == BF_RECT) {
                    for (int i = 0; i < bw; ++i) {
                        FrameRect(DC, r, brush);
                        InflateRect(r, -1, -1);
                    }
                } else {
                    // Without a top edge the side strips reach one border width further up.
                    const int top = ViewInfo.TopEdge ? r.Top : r.Top - bw;
                    if (ViewInfo.LeftEdge) FillRect(DC, Rect(r.Left, top, r.Left + bw, r.Bottom), brush);
                    if (ViewInfo.RightEdge) FillRect(DC, Rect(r.Right - bw, top, r.Right, r.Bottom), brush);
                    if (ViewInfo.TopEdge) FillRect(DC, Rect(r.Left, r.Top, r.Right, r.Top + bw), brush);
                    if (ViewInfo.BottomEdge) FillRect(DC, Rect(r.Left, r.Bottom - bw, r.Right, r.Bottom), brush);
                }
                DeleteObject(brush);
                break;
            }
            case xbsFlat:
                DrawEdge(DC, r, BDR_SUNKENOUTER, flags | BF_ADJUST);
                DrawEdge(DC, r, BDR_SUNKENINNER, flags | BF_FLAT);
                break;
            case xbs3D: DrawEdge(DC, r, EDGE_SUNKEN, flags); break;
            default: break;
        }
    }
    // The shadow is painted whatever the border: the window region always holds its strips.
    if (ViewData.Shadow && ViewInfo.ShadowWidth > 0) {
        HBRUSH brush = vxShadowBrush();
        HBRUSH own = nullptr;
        if (!brush) brush = own = CreateSolidBrush(ColorToRGB(clBtnShadow));
        FillShadowStrips(DC, ViewInfo.ShadowRect, ViewInfo.ShadowWidth, brush);
        if (own) DeleteObject(own);
    }
}

bool TvxInplaceEditClass::DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const {
    (void)IsWindowPaint;
    if (!ViewData.MeasureOnly && ViewData.Brush) FillRect(DC, R, ViewData.Brush);
    return true;
}

TCursor TvxInplaceEditClass::GetCursorAt(int X, int Y, const TvxEditViewData& ViewData) const {
    (void)X;
    (void)Y;
    if (ViewData.Cursor != crDefault) return ViewData.Cursor;
    if (!ViewData.IsTextEditor) return crArrow;
    return crDefault;
}

int TvxInplaceEditClass::GetAutoHeight(const TvxEditViewData& ViewData) const {
    int allowance = IsInplace() ? 3 : (GetSystemMetrics(SM_CYBORDER) + 1) * 2;
    HDC dc = CreateCompatibleDC(nullptr);
    if (ViewData.Font) SelectObject(dc, ViewData.Font);
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    DeleteDC(dc);
    return allowance + tm.tmHeight;
}

void TvxInplaceEditClass::CalcContentSize(TvxEditViewData& ViewData, TRect& Size) const {
    (void)ViewData;
    Size = TRect{};
}

// ---- The editor ----

const TvxInplaceEditClass& TvxInplaceEdit::StaticClass() {
    static const TvxInplaceEditClass instance;
    return instance;
}

TvxInplaceEdit::TvxInplaceEdit(TComponent* AOwner) : TvxInplaceEdit(AOwner, StaticClass()) {}

TvxInplaceEdit::TvxInplaceEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TCustomEdit(AOwner), editClass_(&AClass) {
    autoSize_ = true;
    defaultAlignment_ = DefaultAlignment();
    // The border is ours (non-client area); the engine's own select-all is replaced by
    // the text editor's AutoSelect.
    TCustomEdit::SetBorderStyle(bsNone);
    TCustomEdit::SetAutoSelect(false);
    style_ = CreateStyle();
    valueSource_ = CreateValueSource();
    if (valueSource_) {
        valueSource_->OnActiveChange = [this](TObject*) { ActiveChange(); };
        valueSource_->OnDataChange = [this](TObject*) { DataChange(); };
        valueSource_->OnEditingChange = [this](TObject*) {
            bool handled = false;
            EditingChange(handled);
        };
        valueSource_->OnStateChange = [this](TObject*) { ActiveChange(); };
        valueSource_->OnUpdateData = [this](TObject*) { UpdateData(); };
    }
    if (IsInplace()) {
        SetParentColor(false);
        SetParentCtl3D(false);
        SetCtl3D(false);
        SetTabStop(false);
    } else {
        SetBounds(Left(), Top(), 121, 24);
        SetTabStop(true);
    }
}

TvxInplaceEdit::~TvxInplaceEdit() {
    // The window goes first, while the editor is still whole for its last messages.
    if (HandleAllocated()) DestroyHandle();
    destroying_ = true;
    // A controller always outlives its reference here: its destructor clears it.
    if (styleController_) {
        styleController_->RemoveEditor(this);
        styleController_->RemoveFreeNotification(this);
        styleController_ = nullptr;
    }
    valueSource_.reset();
    style_.reset();
}

std::unique_ptr<TvxEditStyle> TvxInplaceEdit::CreateStyle() {
    if (IsInplace()) {
        if (auto* c = dynamic_cast<TCustomvxContainer*>(Owner())) {
            if (TvxEditStyle* s = c->CreateEditStyle(this)) return std::unique_ptr<TvxEditStyle>(s);
        }
    }
    return editClass_->CreateEditStyle(this);
}

TCustomvxContainer* TvxInplaceEdit::GetContainer() const {
    if (!IsInplace()) return nullptr;
    return dynamic_cast<TCustomvxContainer*>(Owner());
}

// ---- Showing ----

void TvxInplaceEdit::ShowEdit(TRect Rect) {
    if (!IsInplace() || IsRectEmpty(Rect)) return;
    InflateRect(Rect, 2, 2);
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    bool wasShown = shown_;
    Show();
    if (HandleAllocated() && GetFocus() != Handle()) ::SetFocus(Handle());
    AfterFocusEdit();
    if (!wasShown && showLock_ == 0) AfterShowEdit();
}

void TvxInplaceEdit::Show() {
    if (!IsInplace()) {
        TControl::Show();
        return;
    }
    SetVisibleFlag(true);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    shown_ = true;
}

void TvxInplaceEdit::Hide() {
    if (!IsInplace()) {
        SetVisible(false);
        return;
    }
    shown_ = false;
    SetVisibleFlag(false);
    if (!HandleAllocated()) return;
    HWND wnd = Handle();
    if (IsWindowVisible(wnd)) {
        ValidateRect(wnd, nullptr);
        InvalidateRect(wnd, nullptr, true);
        TCustomvxContainer* c = GetContainer();
        if (c && c->HandleAllocated()) {
            TRect r;
            GetWindowRect(wnd, &r);
            TPoint pts[2] = {r.TopLeft(), r.BottomRight()};
            MapWindowPoints(nullptr, c->Handle(), pts, 2);
            TRect cr = Rect(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
            ValidateRect(c->Handle(), &cr);
            InvalidateRect(c->Handle(), &cr, false);
        }
    }
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOZORDER);
}

void TvxInplaceEdit::InvalidateEdit() {
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, false);
}

void TvxInplaceEdit::SetBorderRect(const TRect& Rect) {
    if (EqualRect(borderRect_, Rect)) return;
    borderRect_ = Rect;
    if (HandleAllocated()) RecreateWnd();
}

bool TvxInplaceEdit::StyleNeedsRegionUpdate() {
    if (!style_) return false;
    TvxEditButtonTransparence t = style_->ButtonTransparence();
    return style_->HotTrack() || t == ebtInactive || t == ebtAlways || t == ebtHideInactive;
}

void TvxInplaceEdit::UpdateEditRegion() {
    if (!HandleAllocated() || destroying_ || !style_) return;
    // Setting the size below sends WM_SIZE, which comes back here.
    static thread_local int depth = 0;
    if (depth > 0) return;
    ++depth;
    TScopeExit restore([&] { --depth; });
    std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
    TvxEditViewInfo vi;
    editClass_->CalcViewInfo(*vd, EffectiveAutoSize(), vi);
    if (vi.Bounds.Width() != Width() || vi.Bounds.Height() != Height())
        SetBounds(Left(), Top(), vi.Bounds.Width(), vi.Bounds.Height());
    HRGN shape = TvxInplaceEditClass::CreateShapeRegion(vi);
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    bool has = GetWindowRgn(Handle(), current) != ERROR;
    bool same = shape ? (has && EqualRgn(shape, current)) : !has;
    DeleteObject(current);
    if (same) {
        if (shape) DeleteObject(shape);
    } else {
        SetWindowRgn(Handle(), shape, true);
    }
}

// ---- Properties ----

void TvxInplaceEdit::SetAlignment(TAlignment v) {
    SetAssignedBit(avAlignment);
    ApplyAlignment(v);
}

void TvxInplaceEdit::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    StyleChanged();
}

bool TvxInplaceEdit::ReadOnly() const { return IsAssigned(avReadOnly) ? readOnly_ : DefaultReadOnly(); }

void TvxInplaceEdit::SetReadOnly(bool v) {
    SetAssignedBit(avReadOnly);
    ApplyReadOnly(v);
}

void TvxInplaceEdit::SetStyle(TvxEditStyle* v) {
    if (style_ && v && v != style_.get()) style_->Assign(v);
}

void TvxInplaceEdit::SetStyleController(TvxEditStyleController* v) {
    if (styleController_ == v) return;
    if (styleController_) {
        styleController_->RemoveEditor(this);
        styleController_->RemoveFreeNotification(this);
    }
    styleController_ = v;
    if (v) {
        v->AddEditor(this);
        v->FreeNotification(this);
        v->EditorStyleChanged(this);
    } else if (!HasState(csDestroying)) {
        StyleChanged();
    }
}

void TvxInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == styleController_ && styleController_) SetStyleController(nullptr);
}

// ---- Values ----

void TvxInplaceEdit::SetEditValue(const Variant& Value) {
    TControl::SetText((Value.IsNull() || Value.IsEmpty()) ? std::string() : VarToStr(Value));
}

void TvxInplaceEdit::RefreshDefaults() {
    if (!IsAssigned(avAlignment) && valueSource_) {
        TAlignment a = valueSource_->Alignment();
        if (a != defaultAlignment_) {
            defaultAlignment_ = a;
            Invalidate();
        }
    }
    if (!IsAssigned(avReadOnly)) ApplyReadOnly(DefaultReadOnly());
}

void TvxInplaceEdit::GetEditValue(Variant& Value, bool IsPaintCopy) {
    if (valueSource_ && IsPaintCopy) {
        Variant v = valueSource_->Value();
        Value = v.IsNull() ? Variant(std::string()) : v;
    } else {
        Value = Variant(WindowText());
    }
}

void TvxInplaceEdit::GetDisplayValue(Variant& Value) { Value = Variant(WindowText()); }

void TvxInplaceEdit::DataChange() {
    if (valueSource_) SetEditValue(valueSource_->Value());
    SetModified(false);
}

void TvxInplaceEdit::EditingChange(bool& Handled) {
    if (CanFocus()) SetFocus();
    Handled = true;
}

void TvxInplaceEdit::ActiveChange() {
    RefreshDefaults();
    DataChange();
}

void TvxInplaceEdit::UpdateData() {
    ValidateEdit();
    Variant v;
    GetDisplayValue(v);
    if (valueSource_) valueSource_->SetValue(v);
}

bool TvxInplaceEdit::IsValidChar(char32_t Key) {
    if (TCustomvxContainer* c = GetContainer()) return c->IsValidChar(Key);
    if (valueSource_) return valueSource_->IsValidChar(Key);
    return true;
}

void TvxInplaceEdit::Change() { TCustomEdit::Change(); }

std::unique_ptr<TvxEditViewData> TvxInplaceEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = editClass_->CreateViewData();
    vd->Enabled = Enabled();
    vd->Focused = IsFocused();
    vd->Active = IsActive();
    TvxEditBorderStyle bs = style_ ? style_->BorderStyle() : xbs3D;
    vd->BorderColor = style_ ? style_->BorderColor() : clWindowFrame;
    if (vd->Active && style_ && style_->HotTrack()) {
        if (bs == xbsNone)
            bs = xbsFlat;
        else if (bs == xbsSingle)
            bs = xbsThick;
        else if (bs == xbsFlat)
            bs = xbs3D;
    }
    vd->BorderStyle = bs;
    TvxEditButtonViewStyle bts = style_ ? style_->ButtonStyle() : btsDefault;
    if (bts == btsDefault) {
        switch (bs) {
            case xbsNone: bts = btsSimple; break;
            case xbsSingle: bts = btsHotFlat; break;
            case xbsThick: bts = bts3D; break;
            case xbsFlat: bts = btsFlat; break;
            case xbs3D: bts = bts3D; break;
        }
    }
    vd->ButtonStyle = bts;
    TvxEditButtonTransparence bt = style_ ? style_->ButtonTransparence() : ebtNone;
    vd->ButtonTransparent = bt == ebtAlways || (bt == ebtInactive && !vd->Active);
    vd->Edges = style_ ? style_->Edges() : vxAllEdges;
    vd->Shadow = style_ ? style_->Shadow() : false;
    vd->OpaqueText = false;
    vd->Transparent = !vd->Focused && transparentInactive_;
    vd->BorderRect = borderRect_;
    vd->Bounds = Rect(0, 0, Width(), Height());
    vd->Alignment = (IsAssigned(avAlignment) || !valueSource_) ? alignment_ : defaultAlignment_;
    vd->VerticalLayout = 0;
    if (Enabled()) {
        Brush()->SetColor(Color());
        vd->Brush = Brush()->Handle();
        vd->Color = ColorToRGB(Color());
        vd->TextColor = ColorToRGB(Font()->Color());
    } else {
        vd->Brush = GetSysColorBrush(COLOR_BTNFACE);
        vd->Color = GetSysColor(COLOR_BTNFACE);
        vd->TextColor = GetSysColor(COLOR_BTNSHADOW);
    }
    vd->Font = Font()->Handle();
    vd->IsTextEditor = IsTextEditor();
    GetEditValue(vd->EditValue, IsPaintCopy);
    vd->Cursor = Cursor();
    return vd;
}

void TvxInplaceEdit::DoSetFocus() {
    if (StyleNeedsRegionUpdate()) UpdateEditRegion();
    if (!IsTextEditor()) Invalidate();
}

void TvxInplaceEdit::DoKillFocus(TMessage& Message) {
    if (StyleNeedsRegionUpdate()) UpdateEditRegion();
    if (!IsTextEditor()) Invalidate();
    if (TCustomvxContainer* c = GetContainer()) {
        HWND to = reinterpret_cast<HWND>(Message.WParam);
        if (!c->HandleAllocated() || to != c->Handle()) c->EditorFocusChanged();
    }
}

bool TvxInplaceEdit::CanModify() const {
    if (ReadOnly()) return false;
    if (TCustomvxContainer* c = GetContainer()) return c->CanEditModify();
    if (valueSource_) return valueSource_->CanModify();
    return true;
}

bool TvxInplaceEdit::IsEditChangeKey(uint16_t Key, TShiftState Shift) {
    bool ctrl = Shift.Contains(ssCtrl);
    return (ctrl && (Key == 'V' || Key == 'X')) || Key == VK_BACK || Key == VK_DELETE ||
           (Shift.Contains(ssShift) && Key == VK_INSERT);
}

bool TvxInplaceEdit::IsCtrlOnlyPressed() { return GetAsyncKeyState(VK_CONTROL) < 0 && GetAsyncKeyState(VK_MENU) >= 0; }

void TvxInplaceEdit::MoveColumnFocus(bool Backward) {
    if (TCustomvxContainer* c = GetContainer()) c->MoveColumnFocus(Backward);
}

void TvxInplaceEdit::Reset() {
    if (GetModified() && CanEditText()) {
        TControl::SetText(savedText_);
        SetModified(savedModified_);
    }
}

void TvxInplaceEdit::ResetEdit() {
    if (!valueSource_) {
        Reset();
    } else {
        valueSource_->Reset();
        RestoreDefaults();
    }
}

void TvxInplaceEdit::FocusChanged(bool Entering) {
    const bool inplace = IsInplace();
    if (inplace || Entering != editing_) {
        savedModified_ = GetModified();
        savedText_ = WindowText();
    }
    if (!inplace && Entering != editing_) {
        editing_ = Entering;
        if (valueSource_) {
            InvalidateEdit();
            if (!Entering) {
                bool m = GetModified();
                valueSource_->Reset();
                SetModified(m);
            }
        }
    }
}

void TvxInplaceEdit::ApplyAlignment(TAlignment Value) {
    if (alignment_ == Value) return;
    alignment_ = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TvxInplaceEdit::ApplyReadOnly(bool Value) { readOnly_ = Value; }

void TvxInplaceEdit::StyleChanged() {
    UpdateEditRegion();
    InvalidateEdit();
    if (HandleAllocated()) InvalidateFrame(Handle());
}

bool TvxInplaceEdit::CanEditText() const {
    if (!valueSource_) return !ReadOnly();
    if (ReadOnly()) return false;
    return valueSource_->CanModify();
}

bool TvxInplaceEdit::DefaultReadOnly() const { return valueSource_ ? valueSource_->ReadOnly() : false; }

bool TvxInplaceEdit::IsSourceReadOnly() const { return valueSource_ ? !valueSource_->CanModify() : false; }

bool TvxInplaceEdit::IsFocused() { return HandleAllocated() && Focused(); }

bool TvxInplaceEdit::IsActive() { return mouseInside_ || (IsFocused() && Enabled()); }

bool TvxInplaceEdit::IsShowButtonAlways() {
    if (TCustomvxContainer* c = GetContainer()) return c->IsShowButtonAlways();
    return false;
}

void TvxInplaceEdit::RestoreDefaults() {
    assignedValues_ = 0;
    TAlignment old = alignment_;
    ApplyAlignment(DefaultAlignment());
    if (alignment_ == old && valueSource_) defaultAlignment_ = valueSource_->Alignment();
    ApplyReadOnly(DefaultReadOnly());
}

void TvxInplaceEdit::UserSetText(const std::string& S) {
    if (CanModify()) TControl::SetText(S);
    SetModified(true);
}

void TvxInplaceEdit::ValidateEdit() {
    if (!GetModified() || keyLock_ != 0) return;
    std::string errorText = kvxInvalidInputText;
    bool accept = true;
    if (OnValidate) OnValidate(this, errorText, accept);
    if (!accept) {
        MessageBeep(0);
        if (HandleAllocated() && IsWindowVisible(Handle()) && GetFocus() != Handle()) ::SetFocus(Handle());
        throw EvxEditInvalidInput(errorText);
    }
}

// ---- Class library overrides ----

void TvxInplaceEdit::Loaded() {
    TCustomEdit::Loaded();
    if (valueSource_) ActiveChange();
}

void TvxInplaceEdit::CreateParams(TCreateParams& Params) { TCustomEdit::CreateParams(Params); }

void TvxInplaceEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    // A new window takes the style's size and region at once, not only on its next resize.
    UpdateEditRegion();
}

void TvxInplaceEdit::PaintWindow(HDC DC) {
    TRect r = ClientRect();
    if (!IsTextEditor() && !IsRectEmpty(r)) {
        std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
        editClass_->DrawContent(DC, r, true, *vd);
    }
    TCustomEdit::PaintWindow(DC);
}

void TvxInplaceEdit::Paint() {
    if (IsTextEditor()) TCustomEdit::Paint();
}

void TvxInplaceEdit::InheritedKeyDown(uint16_t& Key, TShiftState Shift) {
    if (IsTextEditor())
        TCustomEdit::KeyDown(Key, Shift);
    else
        TCustomControl::KeyDown(Key, Shift);
}

void TvxInplaceEdit::InheritedKeyPress(char32_t& Key) {
    if (IsTextEditor())
        TCustomEdit::KeyPress(Key);
    else
        TCustomControl::KeyPress(Key);
}

void TvxInplaceEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) ResetEdit();
    if (!IsInplace()) {
        if (IsEditChangeKey(Key, Shift) && CanEditText() && !CanModify()) Key = 0;
        if (Key == VK_RETURN && IsValidateOnEnter()) ValidateEdit();
        InheritedKeyDown(Key, Shift);
        return;
    }
    switch (Key) {
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_UP:
        case VK_DOWN:
        case VK_INSERT: ValidateEdit(); break;
        default: break;
    }
    struct Lock {
        int& n;
        explicit Lock(int& c) : n(c) { ++n; }
        ~Lock() { --n; }
    } lock(keyLock_);
    TCustomvxContainer* c = GetContainer();
    if (c) {
        const bool alt = Shift.Contains(ssAlt);
        bool handOver = (Key == VK_TAB && !alt) || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
                        Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN || (Key == VK_INSERT && Shift.Empty());
        if (handOver) {
            c->EditKeyDown(Key, Shift);
            Key = 0;
            return;
        }
        if (((Key == VK_INSERT && Shift.Contains(ssShift)) || Key == VK_DELETE) && !c->CanEditModify()) Key = 0;
        if (Key == VK_F2) {
            c->DoEditKeyDown(Key, Shift);
            if (Key == VK_F2) {
                DoF2Key();
                return;
            }
        } else if (Key != 0) {
            c->DoEditKeyDown(Key, Shift);
        }
    }
    if (Key == 0) return;
    if (IsEditChangeKey(Key, Shift) && CanEditText() && !CanModify()) Key = 0;
    InheritedKeyDown(Key, Shift);
}

void TvxInplaceEdit::KeyPress(char32_t& Key) {
    if (TCustomvxContainer* c = GetContainer()) c->EditKeyPress(Key);
    if (Key >= 32 && Key != 127 && !IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (IsInplace() && Key == U'\t' && !WantTabs()) Key = 0;
    if (Key == 27) Key = 0;
    if ((Key == U'\t' || Key >= 32) && IsTextEditor() && !CanModify()) Key = 0;
    if (Key != 0) InheritedKeyPress(Key);
}

void TvxInplaceEdit::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (TCustomvxContainer* c = GetContainer())
        c->EditKeyUp(Key, Shift);
    else
        TCustomEdit::KeyUp(Key, Shift);
}

void TvxInplaceEdit::DblClick() {
    if (TCustomvxContainer* c = GetContainer()) {
        c->EditDblClick();
        return;
    }
    if (IsTextEditor())
        TCustomEdit::DblClick();
    else
        TCustomControl::DblClick();
}

void TvxInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (IsTextEditor()) {
        TCustomEdit::MouseDown(Button, Shift, X, Y);
        return;
    }
    // A plain window does not take the focus by itself.
    if (!HasState(csDesigning) && HandleAllocated() && GetFocus() != Handle() && Enabled()) ::SetFocus(Handle());
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TvxInplaceEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (IsTextEditor())
        TCustomEdit::MouseMove(Shift, X, Y);
    else
        TCustomControl::MouseMove(Shift, X, Y);
}

void TvxInplaceEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (IsTextEditor())
        TCustomEdit::MouseUp(Button, Shift, X, Y);
    else
        TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TvxInplaceEdit::ForwardsWheel() {
    TCustomvxContainer* c = GetContainer();
    return IsInplace() && !IsMouseWheelHandled() && c && c->HandleAllocated();
}

void TvxInplaceEdit::DefaultHandler(TMessage& Message) {
    // The window's own default hands the wheel to its parent, the container, which has had
    // it already: once is one step.
    if (Message.Msg == WM_MOUSEWHEEL && ForwardsWheel()) return;
    TCustomEdit::DefaultHandler(Message);
}

void TvxInplaceEdit::WndProc(TMessage& Message) {
    TCustomvxContainer* c = GetContainer();
    if (IsInplace()) {
        switch (Message.Msg) {
            case WM_SETFOCUS: {
                TCustomForm* form = GetParentForm(this);
                if (form && c && !form->SetFocusedControl(c) && !(c->ControlState() & csFocusing)) return;
                if (c) c->EditorFocusChanged();
                DoSetFocus();
                Dispatch(Message);
                return;
            }
            case WM_KILLFOCUS: DoKillFocus(Message); break;
            case WM_LBUTTONDOWN:
                if (c && c->IsImmediateEditor() && showTime_ != 0 && GetTickCount() - showTime_ < GetDoubleClickTime())
                    Message.Msg = WM_LBUTTONDBLCLK;
                showTime_ = 0;
                break;
            case WM_MOUSEWHEEL:
                if (ForwardsWheel()) {
                    c->Perform(CM_CANCELMODE, 0, 0);
                    SendMessage(c->Handle(), WM_MOUSEWHEEL, Message.WParam, Message.LParam);
                }
                break;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
            case WM_CHAR:
                if (c && c->IsEditCellChanged()) return;
                break;
            default: break;
        }
    } else {
        switch (Message.Msg) {
            case WM_SETFOCUS: DoSetFocus(); break;
            case WM_KILLFOCUS: DoKillFocus(Message); break;
            default: break;
        }
    }
    switch (Message.Msg) {
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
            if (!CanModify()) return;
            break;
        case CM_WININICHANGE:
            TCustomEdit::WndProc(Message);
            Perform(CM_VX_WININICHANGE, 0, 0);
            return;
        default: break;
    }
    TCustomEdit::WndProc(Message);
}

void TvxInplaceEdit::WMEraseBkgnd(TMessage& Message) {
    if (!IsTextEditor()) {
        Message.Result = 1;
        return;
    }
    TCustomEdit::WMEraseBkgnd(Message);
}

void TvxInplaceEdit::WMGetDlgCode(TMessage& Message) {
    if (IsTextEditor())
        TCustomEdit::WMGetDlgCode(Message);
    else
        TCustomControl::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTCHARS;
    if (IsInplace()) Message.Result |= DLGC_WANTALLKEYS;
    TCustomvxContainer* c = GetContainer();
    if (c && c->IsTabNavigation())
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~DLGC_WANTTAB;
}

void TvxInplaceEdit::WMKeyDown(TMessage& Message) {
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    TCustomEdit::WMKeyDown(Message);
    if (IsInplace() && HandleAllocated() && (key == VK_RETURN || (key == VK_TAB && !WantTabs())))
        KillMessage(Handle(), WM_CHAR);
}

void TvxInplaceEdit::WMNCCalcSize(TMessage& Message) {
    auto* rc = reinterpret_cast<TRect*>(Message.LParam);
    if (!rc || !style_) {
        TCustomEdit::WMNCCalcSize(Message);
        return;
    }
    std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
    vd->Bounds = Rect(0, 0, rc->Width(), rc->Height());
    TvxEditViewInfo vi;
    editClass_->CalcViewInfo(*vd, false, vi);
    TRect r = *rc;
    r.Left += vi.ContentRect.Left - vi.Bounds.Left;
    r.Top += vi.ContentRect.Top - vi.Bounds.Top;
    r.Right += vi.ContentRect.Right - vi.Bounds.Right;
    r.Bottom += vi.ContentRect.Bottom - vi.Bounds.Bottom;
    if (r.Left >= r.Right) r.Right = r.Left;
    *rc = r;
    Message.Result = 0;
}

void TvxInplaceEdit::WMNCPaint(TMessage& Message) {
    TCustomEdit::WMNCPaint(Message);
    if (!HandleAllocated() || !style_) return;
    HWND wnd = Handle();
    TRect wr;
    GetWindowRect(wnd, &wr);
    std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
    vd->Bounds = Rect(0, 0, wr.Width(), wr.Height());
    TvxEditViewInfo vi;
    editClass_->CalcViewInfo(*vd, false, vi);
    HDC dc = GetWindowDC(wnd);
    if (!dc) return;
    editClass_->DrawBorder(dc, vi, *vd);
    DWORD style = GetWindowLong(wnd, GWL_STYLE);
    if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
        TRect r = vi.BorderRect;
        InflateRect(r, -vi.BorderWidth, -vi.BorderWidth);
        TRect corner = Rect(r.Right - GetSystemMetrics(SM_CXVSCROLL), r.Bottom - GetSystemMetrics(SM_CYHSCROLL),
                            r.Right, r.Bottom);
        FillRect(dc, corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(wnd, dc);
}

void TvxInplaceEdit::WMPaint(TMessage& Message) {
    if (!(controlState_ & csPaintCopy)) {
        TCustomEdit::WMPaint(Message);
        return;
    }
    std::unique_ptr<TvxEditViewData> vd = CreateViewData(true);
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps;
    bool began = false;
    if (!dc && HandleAllocated()) {
        dc = BeginPaint(Handle(), &ps);
        began = true;
    }
    if (dc) editClass_->DrawEdit(dc, nullptr, *vd);
    if (began) EndPaint(Handle(), &ps);
}

void TvxInplaceEdit::WMSetCursor(TMessage& Message) {
    if (HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == Handle() &&
        static_cast<int16_t>(LOWORD(Message.LParam)) == HTCLIENT) {
        TPoint p;
        GetCursorPos(&p);
        p = ScreenToClient(p);
        std::unique_ptr<TvxEditViewData> vd = CreateViewData(false);
        TCursor cursor = editClass_->GetCursorAt(p.X, p.Y, *vd);
        if (cursor != crDefault) {
            ::SetCursor(EnsureScreen()->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    TCustomEdit::WMSetCursor(Message);
}

void TvxInplaceEdit::WMSize(TMessage& Message) {
    TCustomEdit::WMSize(Message);
    UpdateEditRegion();
}

void TvxInplaceEdit::WMSetFocus(TMessage& Message) { TCustomEdit::WMSetFocus(Message); }

void TvxInplaceEdit::WMKillFocus(TMessage& Message) { TCustomEdit::WMKillFocus(Message); }

void TvxInplaceEdit::CMEnabledChanged(TMessage& Message) {
    TCustomEdit::CMEnabledChanged(Message);
    StyleChanged();
}

void TvxInplaceEdit::CMEnter(TMessage& Message) {
    FocusChanged(true);
    TCustomEdit::CMEnter(Message);
}

void TvxInplaceEdit::CMExit(TMessage& Message) {
    if (!valueSource_) {
        ValidateEdit();
    } else {
        try {
            valueSource_->UpdateRecord();
        } catch (...) {
            AfterFocusEdit();
            if (CanFocus()) SetFocus();
            throw;
        }
    }
    FocusChanged(false);
    TCustomEdit::CMExit(Message);
}

void TvxInplaceEdit::CMFontChanged(TMessage& Message) {
    TCustomEdit::CMFontChanged(Message);
    UpdateEditRegion();
}

void TvxInplaceEdit::CMMouseEnter(TMessage& Message) {
    TCustomEdit::CMMouseEnter(Message);
    if (Message.LParam != 0 && reinterpret_cast<TControl*>(Message.LParam) != this) return;
    SetMouseInside(true);
    if (StyleNeedsRegionUpdate() && !destroying_) UpdateEditRegion();
    FireNotify(OnMouseEnter, this);
}

void TvxInplaceEdit::CMMouseLeave(TMessage& Message) {
    TCustomEdit::CMMouseLeave(Message);
    if (Message.LParam != 0 && reinterpret_cast<TControl*>(Message.LParam) != this) return;
    SetMouseInside(false);
    if (StyleNeedsRegionUpdate() && !destroying_) UpdateEditRegion();
    FireNotify(OnMouseLeave, this);
}

void TvxInplaceEdit::CMShowingChanged(TMessage& Message) {
    if (IsInplace()) return;
    TCustomEdit::CMShowingChanged(Message);
}

void TvxInplaceEdit::CMTextChanged(TMessage& Message) {
    TCustomEdit::CMTextChanged(Message);
    if (!IsTextEditor()) Invalidate();
}

void KillMessage(HWND Wnd, UINT Msg) {
    MSG m{};
    if (PeekMessage(m, Wnd, Msg, Msg, PM_REMOVE) && m.message == WM_QUIT) PostQuitMessage(static_cast<int>(m.wParam));
}
