#include "platform/forms/control.h"

#include "platform/forms/canvas_handle_scope.h"
#include "platform/forms/control_action_link.h"
#include "platform/forms/drag_manager.h"
#include "platform/forms/form.h"
#include "platform/forms/size_constraints.h"
#include "platform/forms/win_control.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/text.h"
#include "platform/rtl/exception.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"

namespace {
TControl* g_captureControl = nullptr;
TControl::TPopupMenuShow g_popupShow = nullptr;
}  // namespace

TControl* GetCaptureControl() { return g_captureControl; }
void ForgetCaptureControl() { g_captureControl = nullptr; }

void SetCaptureControl(TControl* control) {
    g_captureControl = nullptr;
    if (!control) {
        ReleaseCapture();
        return;
    }
    auto* win = dynamic_cast<TWinControl*>(control);
    if (win) {
        SetCapture(win->Handle());
    } else if (control->Parent()) {
        SetCapture(control->Parent()->Handle());
    } else {
        return;
    }
    g_captureControl = control;
}

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->Parent()) c = c->Parent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

TCustomForm* ValidParentForm(const TControl* control) {
    TCustomForm* form = GetParentForm(control);
    if (!form)
        throw EInvalidOperation("Control '" + (control ? control->Name() : std::string()) + "' has no parent window");
    return form;
}

// ---- TControlCanvas ----

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* v) {
    if (control_ == v) return;
    FreeHandle();
    control_ = v;
}

void TControlCanvas::FreeHandle() {
    if (!ownDC_) return;
    HDC dc = ownDC_;
    HWND wnd = ownWnd_;
    ownDC_ = nullptr;
    ownWnd_ = nullptr;
    SetHandle(nullptr);
    if (IsWindow(wnd))
        ReleaseDC(wnd, dc);
    else
        DeleteDC(dc);
}

void TControlCanvas::CreateHandle() {
    if (!control_) return;
    if (auto* win = dynamic_cast<TWinControl*>(control_)) {
        ownWnd_ = win->Handle();
        ownDC_ = GetDC(ownWnd_);
    } else if (control_->Parent()) {
        ownWnd_ = control_->Parent()->Handle();
        ownDC_ = GetDC(ownWnd_);
        if (!ownDC_) return;
        SetWindowOrgEx(ownDC_, -control_->Left(), -control_->Top(), nullptr);
        IntersectClipRect(ownDC_, 0, 0, control_->Width(), control_->Height());
    }
    if (ownDC_) SetHandle(ownDC_);
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), font_(std::make_unique<TFont>()), constraints_(std::make_unique<TSizeConstraints>(this)) {
    font_->OnChange = [this](TObject* sender) { FontChanged(sender); };
}

TControl::~TControl() {
    SetAction(nullptr);
    if (g_captureControl == this) g_captureControl = nullptr;
    if (MouseControl() == this) TrackMouseControl(nullptr);
    ForgetDragControl(this);
    if (popupMenuComponent_) popupMenuComponent_->RemoveFreeNotification(this);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (parent_ == AParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    constraints_->Constrain(AWidth, AHeight);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    bool sized = AWidth != width_ || AHeight != height_;
    // The area the control leaves is its parent's again and is erased, even under an
    // opaque control: a label that shrinks would otherwise leave its old text behind.
    if (parent_ && parent_->HandleAllocated() && visible_) {
        TRect old = BoundsRect();
        InvalidateRect(parent_->Handle(), &old, true);
    }
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    UpdateAnchorRules();
    Invalidate();
    if (sized) Resize();
    RequestAlign();
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
void TControl::SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
void TControl::SetClientSize(int w, int h) {
    TRect c = ClientRect();
    SetBounds(left_, top_, width_ - c.Width() + w, height_ - c.Height() + h);
}

TPoint TControl::ClientOrigin() {
    if (!parent_) return Point(left_, top_);
    TPoint p = parent_->ClientOrigin();
    return Point(p.X + left_, p.Y + top_);
}

TPoint TControl::ClientToScreen(TPoint p) {
    TPoint o = ClientOrigin();
    return Point(p.X + o.X, p.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint p) {
    TPoint o = ClientOrigin();
    return Point(p.X - o.X, p.Y - o.Y);
}

void TControl::BringToFront() {
    if (!parent_) {
        if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) BringWindowToTop(w->Handle());
        return;
    }
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SetAlign(TAlign v) {
    if (align_ == v) return;
    align_ = v;
    if (v != alNone) anchors_ = TAnchors{akLeft, akTop};
    RequestAlign();
}

void TControl::SetConstraints(TSizeConstraints* v) { constraints_->Assign(v); }

void TControl::SetAnchors(TAnchors v) {
    if (anchors_ == v) return;
    anchors_ = v;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!parent_ || parent_->aligning_ || HasState(csLoading)) return;
    TRect pc = parent_->ClientRect();
    anchorOrigin_ = Point(left_, top_);
    anchorParentSize_ = TSize{pc.Width(), pc.Height()};
    anchorValid_ = pc.Width() > 0 || pc.Height() > 0;
    anchorSize_ = TSize{width_, height_};
}

void TControl::SetVisible(bool v) {
    if (visible_ == v) return;
    VisibleChanging();
    if (!v) Invalidate();
    visible_ = v;
    Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
    RequestAlign();
}

void TControl::Show() { SetVisible(true); }
void TControl::Hide() { SetVisible(false); }

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor v) {
    if (color_ == v) {
        parentColor_ = false;
        return;
    }
    color_ = v;
    parentColor_ = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool v) {
    if (parentColor_ == v) return;
    parentColor_ = v;
    if (v && parent_ && !HasState(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool v) {
    if (parentFont_ == v) return;
    parentFont_ = v;
    if (v && parent_ && !HasState(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
    parentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetText(const std::string& v) {
    if (GetText() == v) return;
    SetTextValue(v);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetTextValue(const std::string& v) {
    text_ = v;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) SetWindowText(w->Handle(), v);
}

void TControl::SetShowHint(bool v) {
    if (showHint_ == v) {
        parentShowHint_ = false;
        return;
    }
    showHint_ = v;
    parentShowHint_ = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool v) {
    if (parentShowHint_ == v) return;
    parentShowHint_ = v;
    if (v && parent_) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenuComponent(TPopupMenu* menu, TComponent* asComponent) {
    if (popupMenu_ == menu) return;
    if (popupMenuComponent_) popupMenuComponent_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    popupMenuComponent_ = asComponent;
    if (asComponent) asComponent->FreeNotification(this);
}

void TControl::SetPopupMenuShow(TPopupMenuShow fn) { g_popupShow = fn; }

TBiDiMode TControl::BiDiMode() const { return parentBiDiMode_ && parent_ ? parent_->BiDiMode() : biDiMode_; }

void TControl::SetBiDiMode(TBiDiMode v) {
    const TBiDiMode before = BiDiMode();
    biDiMode_ = v;
    parentBiDiMode_ = false;
    if (v != before) BiDiModeChanged();
}

void TControl::SetParentBiDiMode(bool v) {
    if (parentBiDiMode_ == v) return;
    const TBiDiMode before = BiDiMode();
    parentBiDiMode_ = v;
    if (BiDiMode() != before) BiDiModeChanged();
}

unsigned TControl::DrawTextBiDiModeFlags(unsigned Flags) const {
    if (UseRightToLeftAlignment()) {
        if (Flags & DT_RIGHT)
            Flags &= ~DT_RIGHT;
        else if (!(Flags & DT_CENTER))
            Flags |= DT_RIGHT;
    }
    return Flags | DrawTextBiDiModeFlagsReadingOnly();
}

unsigned TControl::DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }

void TControl::SetCursor(TCursor v) {
    if (cursor_ == v) return;
    cursor_ = v;
    Perform(CM_CURSORCHANGED, 0, 0);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (RouteDragMessage(this, Message)) return;
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
        if (!(controlStyle_ & csDoubleClicks)) {
            switch (Message.Msg) {
                case WM_LBUTTONDBLCLK:
                case WM_RBUTTONDBLCLK:
                case WM_MBUTTONDBLCLK: Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
                default: break;
            }
        }
        if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
            if (dragMode_ == dmAutomatic && !HasState(csDesigning) && !Dragging()) {
                BeginDrag(false);
                return;
            }
            controlState_ |= csLButtonDown;
        }
        if (Message.Msg == WM_LBUTTONUP) controlState_ &= ~csLButtonDown;
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN: WMLButtonDown(Message); break;
        case WM_LBUTTONUP: WMLButtonUp(Message); break;
        case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); break;
        case WM_RBUTTONDOWN: WMRButtonDown(Message); break;
        case WM_RBUTTONUP: WMRButtonUp(Message); break;
        case WM_RBUTTONDBLCLK: WMRButtonDblClk(Message); break;
        case WM_MBUTTONDOWN: WMMButtonDown(Message); break;
        case WM_MBUTTONUP: WMMButtonUp(Message); break;
        case WM_MOUSEMOVE: WMMouseMove(Message); break;
        case CM_DRAG: CMDrag(Message); break;
        case WM_MOUSEWHEEL: WMMouseWheel(Message); break;
        case WM_CONTEXTMENU: WMContextMenu(Message); break;
        case WM_CANCELMODE: WMCancelMode(Message); break;
        case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); break;
        case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
        case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
        case CM_COLORCHANGED: CMColorChanged(Message); break;
        case CM_FONTCHANGED: CMFontChanged(Message); break;
        case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
        case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
        case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
        case CM_TEXTCHANGED: CMTextChanged(Message); break;
        case CM_MOUSEENTER: CMMouseEnter(Message); break;
        case CM_MOUSELEAVE: CMMouseLeave(Message); break;
        case CM_HITTEST: CMHitTest(Message); break;
        case CM_CURSORCHANGED: CMCursorChanged(Message); break;
        case CM_DIALOGKEY: CMDialogKey(Message); break;
        case CM_DIALOGCHAR: CMDialogChar(Message); break;
        case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
        case CM_CANCELMODE: CMCancelMode(Message); break;
        default: DefaultHandler(Message); break;
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    if (Message.Msg == WM_PAINT && Message.WParam == 0) Message.Result = 0;
}

void TControl::Invalidate() {
    if (!parent_ || !parent_->HandleAllocated() || !visible_) return;
    TRect r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, !IsOpaque());
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Click() {
    // An OnClick of the control's own goes before its action.
    if (!OnClick && actionLink_ && !HasState(csDesigning))
        actionLink_->Execute();
    else
        FireNotify(OnClick, this);
}
void TControl::DblClick() { FireNotify(OnDblClick, this); }

TCustomForm* TControl::ParentForm() const { return GetParentForm(this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState, int, TPoint) { return false; }

void TControl::Resize() { FireNotify(OnResize, this); }

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::Changed() {
    if (parent_) parent_->Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::RequestAlign() {
    if (parent_) parent_->Realign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupMenuComponent_) {
        popupMenu_ = nullptr;
        popupMenuComponent_ = nullptr;
    }
    // A freed action has already let go of the link when its removal is announced.
    if (Operation == opRemove && actionLink_ && (AComponent == Action() || !Action())) SetAction(nullptr);
}

void TControl::Loaded() {
    TComponent::Loaded();
    UpdateAnchorRules();
    RequestAlign();
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    if (controlStyle_ & csNoStdEvents) return;
    TShiftState s = KeysToShiftState(Message.WParam) + Shift;
    MouseDown(Button, s, GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    if (controlStyle_ & csNoStdEvents) return;
    MouseUp(Button, KeysToShiftState(Message.WParam), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

namespace {
// A press closes whatever pop-up mode another control is in.
void SendCancelMode(TControl* sender) {
    if (TCustomForm* form = GetParentForm(sender)) form->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
}
}  // namespace

void TControl::WMLButtonDown(TMessage& Message) {
    SendCancelMode(this);
    if (IsBeingDestroyed()) return;
    if (controlStyle_ & csCaptureMouse) SetCaptureControl(this);
    if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
    DoMouseDown(Message, mbLeft, TShiftState{});
}

void TControl::WMLButtonUp(TMessage& Message) {
    if (controlStyle_ & csCaptureMouse) SetCaptureControl(nullptr);
    if (controlState_ & csClicked) {
        controlState_ &= ~csClicked;
        if (PtInRect(ClientRect(), Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)))) {
            Click();
            // A click handler may have freed a form that holds this control; the caller
            // keeps the window record alive but our state is not looked at any more.
        }
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMLButtonDblClk(TMessage& Message) {
    SendCancelMode(this);
    if (controlStyle_ & csCaptureMouse) SetCaptureControl(this);
    if (controlStyle_ & csClickEvents) DblClick();
    DoMouseDown(Message, mbLeft, TShiftState{ssDouble});
}

void TControl::WMRButtonDown(TMessage& Message) { DoMouseDown(Message, mbRight, TShiftState{}); }
void TControl::WMRButtonUp(TMessage& Message) {
    DoMouseUp(Message, mbRight);
    DefaultHandler(Message);
}
void TControl::WMRButtonDblClk(TMessage& Message) { DoMouseDown(Message, mbRight, TShiftState{ssDouble}); }
void TControl::WMMButtonDown(TMessage& Message) { DoMouseDown(Message, mbMiddle, TShiftState{}); }
void TControl::WMMButtonUp(TMessage& Message) { DoMouseUp(Message, mbMiddle); }

void TControl::WMMouseMove(TMessage& Message) {
    if (controlStyle_ & csNoStdEvents) return;
    MouseMove(KeysToShiftState(Message.WParam), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TControl::WMMouseWheel(TMessage& Message) {
    TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (DoMouseWheel(KeysToShiftState(LOWORD(Message.WParam)), GET_WHEEL_DELTA_WPARAM(Message.WParam), pos)) {
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0) return;
    TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    bool handled = false;
    DoContextPopup(ScreenToClient(screen), handled);
    if (handled) {
        Message.Result = 1;
        return;
    }
    if (popupMenu_ && g_popupShow) {
        g_popupShow(popupMenu_, this, screen.X, screen.Y);
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TControl::WMCancelMode(TMessage& Message) {
    if (g_captureControl == this) SetCaptureControl(nullptr);
    DefaultHandler(Message);
}

void TControl::WMWindowPosChanged(TMessage& Message) { DefaultHandler(Message); }

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage&) {
    if (!parentColor_ || !parent_) return;
    SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::CMParentFontChanged(TMessage&) {
    if (!parentFont_ || !parent_) return;
    font_->Assign(parent_->Font());
    parentFont_ = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (!parentShowHint_ || !parent_) return;
    SetShowHint(parent_->ShowHint());
    parentShowHint_ = true;
}

void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMMouseEnter(TMessage& Message) {
    if (parent_)
        parent_->Perform(CM_MOUSEENTER, 0, Message.LParam == 0 ? reinterpret_cast<LPARAM>(this) : Message.LParam);
}

void TControl::CMMouseLeave(TMessage& Message) {
    if (parent_)
        parent_->Perform(CM_MOUSELEAVE, 0, Message.LParam == 0 ? reinterpret_cast<LPARAM>(this) : Message.LParam);
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = 1; }  // HTCLIENT
void TControl::CMCursorChanged(TMessage&) {}
void TControl::CMDialogKey(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMDialogChar(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMFocusChanged(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMCancelMode(TMessage& Message) { DefaultHandler(Message); }

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& Message) {
    if (Message.Msg == WM_PAINT && Message.WParam != 0) {
        TCanvasHandleScope paint(canvas_.get(), reinterpret_cast<HDC>(Message.WParam), Font());
        Paint();
        return;
    }
    TControl::WndProc(Message);
}
