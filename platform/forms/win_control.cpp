#include "platform/forms/win_control.h"

#include <algorithm>
#include <unordered_map>

#include "platform/display/presenter.h"
#include "platform/forms/canvas_handle_scope.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/forms/size_constraints.h"
#include "platform/gdi/draw.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

namespace {

std::unordered_map<HWND, TWinControl*>& HandleMap() {
    static auto* map = new std::unordered_map<HWND, TWinControl*>;
    return *map;
}

TControl* g_mouseControl = nullptr;

}  // namespace

TWinControl* FindControl(HWND wnd) {
    auto it = HandleMap().find(wnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

TControl* MouseControl() { return g_mouseControl; }

void TrackMouseControl(TControl* control) {
    if (g_mouseControl == control) return;
    TControl* old = g_mouseControl;
    g_mouseControl = control;
    if (old && !old->IsBeingDestroyed()) old->Perform(CM_MOUSELEAVE, 0, 0);
    if (control && g_mouseControl == control) control->Perform(CM_MOUSEENTER, 0, 0);
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), brush_(std::make_unique<TBrush>()) {
    brush_->SetColor(Color());
}

TWinControl::~TWinControl() {
    // The screen's handler hears of the focus's loss, and cannot keep the control.
    if (TCustomForm* form = GetParentForm(this); form && form != this)
        RunOrReport([this, form] { form->DefocusControl(this, true); });
    // Children go with their parent, as in the class library (each leaves its owner too).
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        delete child;
    }
    if (handle_) DestroyWnd();
    // Leave the parent while still a TWinControl, so its tab list forgets this control too.
    if (TWinControl* parent = Parent()) parent->RemoveControl(this);
}

HWND TWinControl::Handle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    CreateWnd();
    if (!handle_) return;
    CreateChildHandles();
    if (!Parent() && !dynamic_cast<TCustomForm*>(this)) return;
    Realign();
}

void TWinControl::CreateChildHandles() {
    // Windows are stacked in tab order creation: the first child ends up lowest, as
    // the class library's creation order does; paint order then follows controls_.
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = Text();
    Params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (tabStop_) Params.Style |= WS_TABSTOP;
    if (Visible()) Params.Style |= WS_VISIBLE;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    Params.WndParent = Parent() ? Parent()->Handle() : nullptr;
}

void TWinControl::CreateWnd() {
    CurrentPresenter();  // the display must watch top-level windows from the first one on
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    CreateWindowHandle(params);
    if (!handle_) throw EOutOfResources("Error creating window");
    HandleMap()[handle_] = this;
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    handle_ = nullptr;
    HWND wnd = CreateWindowEx(
        Params.ExStyle, Params.Style & ~WS_VISIBLE, Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent,
        [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            if (!handle_) handle_ = w;
            TMessage m{msg, wp, lp, 0};
            MainWndProc(m);
            return m.Result;
        },
        Params.Caption);
    handle_ = wnd;
    if ((Params.Style & WS_VISIBLE) && (Params.Style & WS_CHILD)) ShowWindow(wnd, SW_SHOWNA);
}

void TWinControl::DestroyWnd() {
    HWND wnd = handle_;
    if (!wnd) return;
    // Children's windows go with ours; forget them first.
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_) w->DestroyWnd();
    controlState_ |= csDestroyingHandle;
    HandleMap().erase(wnd);
    SetWindowProc(wnd, DefWindowProc);
    handle_ = nullptr;
    DestroyWindow(wnd);
    controlState_ &= ~csDestroyingHandle;
}

void TWinControl::DestroyHandle() { DestroyWnd(); }

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    // The focus may sit in this window or in one of its children; both go with the old window.
    TWinControl* focused = FindControl(GetFocus());
    if (focused && !ContainsControl(focused)) focused = nullptr;
    DestroyWnd();
    CreateHandle();
    // The form still names the control as its active one, so asking it to focus the control
    // would change nothing: the new window takes the focus itself.
    if (focused && focused->HandleAllocated() && focused->CanFocus()) ::SetFocus(focused->Handle());
}

void TWinControl::MainWndProc(TMessage& Message) {
    if (Message.Msg == WM_DESTROY) {
        HandleMap().erase(handle_);
        TControl::Dispatch(Message);
        return;
    }
    WndProc(Message);
}

// ---- Children ----

void TWinControl::InsertControl(TControl* AControl) {
    AControl->parent_ = this;
    controls_.push_back(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) tabList_.push_back(w);
    if (AControl->ParentColor()) AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->ParentFont()) AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->ParentShowHint()) AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->UpdateAnchorRules();
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (handle_) w->CreateHandle();
    } else {
        AControl->Invalidate();
    }
    Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (AControl->parent_ != this) return;
    if (TCustomForm* form = GetParentForm(this))
        if (auto* w = dynamic_cast<TWinControl*>(AControl)) form->DefocusControl(w, true);
    AControl->Invalidate();
    if (g_mouseControl == AControl) g_mouseControl = nullptr;
    if (GetCaptureControl() == AControl) SetCaptureControl(nullptr);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (w->handle_) w->DestroyWnd();
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    }
    controls_.erase(std::remove(controls_.begin(), controls_.end(), AControl), controls_.end());
    AControl->parent_ = nullptr;
    Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        bool isWin = dynamic_cast<TWinControl*>(c) != nullptr;
        if (isWin && !AllowWinControls) continue;
        if (!c->Visible() || (!c->Enabled() && !AllowDisabled)) continue;
        if (!PtInRect(c->BoundsRect(), Pos)) continue;
        TPoint local{Pos.X - c->Left(), Pos.Y - c->Top()};
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(local.X, local.Y)) == 0) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    std::vector<TControl*> list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        c->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::BiDiModeChanged() {
    TControl::BiDiModeChanged();
    for (TControl* control : controls_)
        if (control->ParentBiDiMode()) control->BiDiModeChanged();
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage m{Msg, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
    if (alignLevel_ > 0 && --alignLevel_ == 0 && (controlState_ & csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
    if (alignLevel_ > 0 || HasState(csLoading) || HasState(csDestroying) || aligning_) {
        controlState_ |= csAlignmentNeeded;
        return;
    }
    controlState_ &= ~csAlignmentNeeded;
    TRect r = ClientRect();
    AdjustClientRect(r);
    aligning_ = true;
    TScopeExit restore([&] { aligning_ = false; });
    AlignControls(nullptr, r);
}

void TWinControl::RequestAlign() { TControl::RequestAlign(); }

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    static constexpr TAlign kOrder[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : kOrder) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
                case alTop: return x->Top() < y->Top();
                case alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
                case alLeft: return x->Left() < y->Left();
                case alRight: return x->Left() + x->Width() > y->Left() + y->Width();
                default: return false;
            }
        });
        for (TControl* c : list) DoAlign(a, c, Rect);
    }
    // Anchored controls keep their distances to the anchored sides.
    TRect client = ClientRect();
    for (TControl* c : controls_) {
        if (c->Align() != alNone || !c->anchorValid_) continue;
        TAnchors an = c->Anchors();
        if (an == TAnchors{akLeft, akTop}) continue;
        int dx = client.Width() - c->anchorParentSize_.cx;
        int dy = client.Height() - c->anchorParentSize_.cy;
        int l = c->anchorOrigin_.X, t = c->anchorOrigin_.Y, w = c->anchorSize_.cx, h = c->anchorSize_.cy;
        if (an.Contains(akRight)) {
            if (an.Contains(akLeft))
                w += dx;
            else
                l += dx;
        } else if (!an.Contains(akLeft)) {
            l += dx / 2;
        }
        if (an.Contains(akBottom)) {
            if (an.Contains(akTop))
                h += dy;
            else
                t += dy;
        } else if (!an.Contains(akTop)) {
            t += dy / 2;
        }
        c->SetBounds(l, t, std::max(0, w), std::max(0, h));
    }
}

void TWinControl::DoAlign(TAlign AAlign, TControl* c, TRect& R) {
    int w = c->Width(), h = c->Height();
    switch (AAlign) {
        case alTop:
            c->SetBounds(R.Left, R.Top, R.Width(), h);
            R.Top += h;
            break;
        case alBottom:
            c->SetBounds(R.Left, R.Bottom - h, R.Width(), h);
            R.Bottom -= h;
            break;
        case alLeft:
            c->SetBounds(R.Left, R.Top, w, R.Height());
            R.Left += w;
            break;
        case alRight:
            c->SetBounds(R.Right - w, R.Top, w, R.Height());
            R.Right -= w;
            break;
        case alClient: c->SetBounds(R.Left, R.Top, std::max(0, R.Width()), std::max(0, R.Height())); break;
        default: break;
    }
}

// ---- Focus and tab order ----

void TWinControl::SetTabStop(bool v) {
    if (tabStop_ == v) return;
    tabStop_ = v;
    if (handle_) {
        DWORD s = GetWindowLong(handle_, GWL_STYLE);
        SetWindowLong(handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    int count = static_cast<int>(list.size());
    if (v < 0 || v > count) v = count;
    list.insert(list.begin() + v, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* c : tabList_) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int count = static_cast<int>(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == count) i = 0;
        } else {
            if (i == 0) i = count;
            --i;
        }
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this)) return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (next) next->SetFocus();
}

bool TWinControl::CanFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return form->Enabled();
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this)) {
        form->FocusControl(this);
    } else if (Parent()) {
        Parent()->SetFocus();
    } else {
        ::SetFocus(Handle());
    }
}

// ---- Geometry ----

TRect TWinControl::ClientRect() {
    if (handle_) {
        TRect r;
        GetClientRect(handle_, &r);
        return r;
    }
    TCreateParams p;
    const_cast<TWinControl*>(this)->CreateParamsForMeasure(p);
    TRect frame = Rect(0, 0, 0, 0);
    AdjustWindowRectEx(&frame, p.Style, false, p.ExStyle);
    return Rect(0, 0, std::max(0, Width() - frame.Width()), std::max(0, Height() - frame.Height()));
}

void TWinControl::CreateParamsForMeasure(TCreateParams& p) {
    // CreateParams may ask for the parent's handle; measuring must not make windows.
    TWinControl* parent = Parent();
    parent_ = nullptr;
    TScopeExit restore([&] { parent_ = parent; });
    CreateParams(p);
}

TPoint TWinControl::ClientOrigin() {
    if (handle_) {
        TPoint p;
        ::ClientToScreen(handle_, &p);
        return p;
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    Constraints()->Constrain(AWidth, AHeight);
    if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
    bool sized = AWidth != Width() || AHeight != Height();
    SetBoundsFields(ALeft, ATop, AWidth, AHeight);
    if (handle_) {
        inSetBounds_ = true;
        SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        inSetBounds_ = false;
    }
    UpdateAnchorRules();
    if (sized) {
        Realign();
        Resize();
    }
    RequestAlign();
}

void TWinControl::UpdateBounds() {
    if (!handle_) return;
    TRect r;
    GetWindowRect(handle_, &r);
    if (Parent() && Parent()->HandleAllocated()) {
        TPoint p{r.Left, r.Top};
        ::ScreenToClient(Parent()->Handle(), &p);
        OffsetRect(r, p.X - r.Left, p.Y - r.Top);
    }
    SetBoundsFields(r.Left, r.Top, r.Width(), r.Height());
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (Parent() == AParent) return;
    if (handle_ && !AParent) DestroyWnd();
    TControl::SetParent(AParent);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !IsOpaque());
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

// ---- Painting ----

void TWinControl::PaintControls(HDC DC, TControl* First) {
    auto it = controls_.begin();
    if (First) it = std::find(controls_.begin(), controls_.end(), First);
    std::vector<TControl*> list(it, controls_.end());
    for (TControl* c : list) {
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        TRect r = c->BoundsRect();
        if (!RectVisible(DC, r)) continue;
        int saved = SaveDC(DC);
        OffsetWindowOrgEx(DC, -c->Left(), -c->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintHandler(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps;
    bool began = false;
    if (!dc) {
        dc = BeginPaint(handle_, &ps);
        began = true;
    }
    if (dc) {
        int saved = SaveDC(dc);
        PaintWindow(dc);
        RestoreDC(dc, saved);
        PaintControls(dc, nullptr);
    }
    if (began) EndPaint(handle_, &ps);
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(m);
}

// ---- Messages ----

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS: {
            TCustomForm* form = GetParentForm(this);
            if (form && !form->SetFocusedControl(this)) return;
            break;
        }
        case WM_KILLFOCUS:
            if (controlState_ & csFocusing) return;
            break;
        case WM_NCHITTEST:
            TControl::WndProc(Message);
            if (Message.Result == HTTRANSPARENT) {
                TPoint p = ScreenToClient(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
                if (ControlAtPos(p, false)) Message.Result = HTCLIENT;
            }
            return;
        case WM_MOUSELEAVE:
            if (g_mouseControl && (g_mouseControl == this ||
                                   (g_mouseControl->Parent() == this && !dynamic_cast<TWinControl*>(g_mouseControl))))
                TrackMouseControl(nullptr);
            break;
        case WM_CANCELMODE:
            if (handle_ && GetCapture() == handle_ && GetCaptureControl() && GetCaptureControl()->Parent() == this)
                GetCaptureControl()->Perform(WM_CANCELMODE, 0, 0);
            break;
        case WM_CAPTURECHANGED:
            if (TControl* c = GetCaptureControl();
                c && (c == this || c->Parent() == this) && reinterpret_cast<HWND>(Message.LParam) != handle_)
                ForgetCaptureControl();
            break;
        default: break;
    }
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (Message.Msg == WM_MOUSEMOVE && !IsBeingDestroyed()) {
            TControl* under = ControlAtPos(pos, true);
            TrackMouseControl(under ? under : this);
        }
        // Mouse messages for a graphic child (or the graphic control holding the capture).
        TControl* target = nullptr;
        if (handle_ && GetCapture() == handle_) {
            if (GetCaptureControl() && GetCaptureControl()->Parent() == this) target = GetCaptureControl();
        } else {
            target = ControlAtPos(pos, false);
        }
        if (target) {
            LPARAM local = MAKELPARAM(pos.X - target->Left(), pos.Y - target->Top());
            Message.Result = target->Perform(Message.Msg, Message.WParam, local);
            return;
        }
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_PAINT: WMPaint(Message); break;
        case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
        case WM_NCPAINT: WMNCPaint(Message); break;
        case WM_NCCALCSIZE: WMNCCalcSize(Message); break;
        case WM_NCHITTEST: WMNCHitTest(Message); break;
        case WM_SETFOCUS: WMSetFocus(Message); break;
        case WM_KILLFOCUS: WMKillFocus(Message); break;
        case WM_SIZE: WMSize(Message); break;
        case WM_MOVE: WMMove(Message); break;
        case WM_SETCURSOR: WMSetCursor(Message); break;
        case WM_KEYDOWN: WMKeyDown(Message); break;
        case WM_SYSKEYDOWN: WMSysKeyDown(Message); break;
        case WM_KEYUP: WMKeyUp(Message); break;
        case WM_SYSKEYUP: WMSysKeyUp(Message); break;
        case WM_CHAR: WMChar(Message); break;
        case WM_GETDLGCODE: WMGetDlgCode(Message); break;
        case WM_HSCROLL: WMHScroll(Message); break;
        case WM_VSCROLL: WMVScroll(Message); break;
        case CN_KEYDOWN: CNKeyDown(Message); break;
        case CN_KEYUP: CNKeyUp(Message); break;
        case CN_CHAR: CNChar(Message); break;
        case CN_SYSCHAR: CNSysChar(Message); break;
        case CM_ENTER: CMEnter(Message); break;
        case CM_EXIT: CMExit(Message); break;
        case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
        case CM_CHILDKEY: CMChildKey(Message); break;
        default: TControl::Dispatch(Message); break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (handle_) Message.Result = DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
}

LRESULT TWinControl::DefWndProc(TMessage& Message) {
    DefaultHandler(Message);
    return Message.Result;
}

void TWinControl::WMPaint(TMessage& Message) { PaintHandler(Message); }

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    TRect r = ClientRect();
    brush_->SetColor(Color());
    FillRect(dc, r, brush_->Handle());
    Message.Result = 1;
}

void TWinControl::WMNCPaint(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMNCCalcSize(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMNCHitTest(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMSetFocus(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::WMSize(TMessage& Message) {
    if (!inSetBounds_) {
        UpdateBounds();
        Realign();
        Resize();
    }
    DefaultHandler(Message);
}

void TWinControl::WMMove(TMessage& Message) {
    if (!inSetBounds_) UpdateBounds();
    DefaultHandler(Message);
}

void TWinControl::WMSetCursor(TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) == handle_ && static_cast<int16_t>(LOWORD(Message.LParam)) == HTCLIENT) {
        TScreen* screen = EnsureScreen();
        TCursor cursor = screen->Cursor();
        if (cursor == crDefault) {
            TPoint p;
            GetCursorPos(&p);
            if (TControl* c = ControlAtPos(ScreenToClient(p), false)) cursor = c->Cursor();
            if (cursor == crDefault) cursor = Cursor();
        }
        if (cursor != crDefault) {
            ::SetCursor(screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

bool TWinControl::DoKeyDown(TMessage& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message)) return true;
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    if (!(controlStyle_ & csNoStdEvents)) {
        KeyDown(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message)) return true;
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    if (!(controlStyle_ & csNoStdEvents)) {
        KeyUp(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message)) return true;
    char32_t ch = static_cast<char32_t>(Message.WParam);
    if (!(controlStyle_ & csNoStdEvents)) {
        KeyPress(ch);
        Message.WParam = ch;
        if (ch == 0) return true;
    }
    return false;
}

void TWinControl::WMKeyDown(TMessage& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message);
}
void TWinControl::WMSysKeyDown(TMessage& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message);
}
void TWinControl::WMKeyUp(TMessage& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message);
}
void TWinControl::WMSysKeyUp(TMessage& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message);
}
void TWinControl::WMChar(TMessage& Message) {
    if (!DoKeyPress(Message)) DefaultHandler(Message);
}

void TWinControl::WMGetDlgCode(TMessage& Message) { Message.Result = 0; }
void TWinControl::WMHScroll(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMVScroll(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::CNKeyDown(TMessage& Message) {
    Message.Result = 1;
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    if (Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0) return;
    LRESULT mask = 0;
    switch (key) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
        default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key, 0) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& Message) { Message.Result = 0; }

void TWinControl::CNChar(TMessage& Message) {
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNSysChar(TMessage& Message) {
    Message.Result = 0;
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) Message.Result = 1;
}

void TWinControl::CMChildKey(TMessage& Message) {
    if (Parent()) Message.Result = Parent()->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char32_t& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() { FireNotify(OnEnter, this); }
void TWinControl::DoExit() { FireNotify(OnExit, this); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::CMShowingChanged(TMessage&) {}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    // A control that is disabled while it has the keyboard hands it on to the next control in
    // Tab order (a button disabled for a wait, say), so the keyboard is never left nowhere.
    TWinControl* next = nullptr;
    TCustomForm* form = !Enabled() && Parent() ? GetParentForm(this) : nullptr;
    if (form) {
        if (TWinControl* active = form->ActiveControl(); active && ContainsControl(active))
            next = form->FindNextControl(active, true, true, false);
        form->DefocusControl(this, false);
    }
    if (handle_) EnableWindow(handle_, Enabled());
    TControl::CMEnabledChanged(Message);
    if (next && next != this && !ContainsControl(next) && next->CanFocus() && !form->ActiveControl()) next->SetFocus();
    // A page shown with its buttons disabled for a wait leaves the keyboard nowhere; the first
    // of them enabled again takes it.
    if (Enabled() && TabStop() && Parent())
        if (TCustomForm* f = GetParentForm(this); f && f->Showing() && !f->ActiveControl() && CanFocus()) SetFocus();
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!Visible() && Parent()) {
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
    }
    if (handle_ && Parent()) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
    TControl::CMVisibleChanged(Message);
    NotifyShowingChanged();
}

void TWinControl::NotifyShowingChanged() {
    // The windows inside learn that they were shown or hidden with this one (a page switch,
    // a hidden form): what they keep open elsewhere, such as a pop-up, can follow.
    std::vector<TControl*> list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            w->Perform(CM_SHOWINGCHANGED, 0, 0);
            w->NotifyShowingChanged();
        }
    }
}

void TWinControl::CMColorChanged(TMessage& Message) {
    brush_->SetColor(Color());
    TControl::CMColorChanged(Message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    TControl::CMFontChanged(Message);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMTextChanged(TMessage& Message) { TControl::CMTextChanged(Message); }

void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void TWinControl::UpdateShowing() {}
void TWinControl::UpdateControlState() {}
void TWinControl::SetZOrder(bool TopMost) {
    if (TopMost)
        BringToFront();
    else
        SendToBack();
}

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
    TCanvasHandleScope paint(canvas_.get(), DC, Font());
    Paint();
}
