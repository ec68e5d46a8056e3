#include "platform/forms/form.h"

#include <algorithm>

#include "platform/forms/application.h"
#include "platform/forms/canvas_handle_scope.h"
#include "platform/forms/form_placement.h"
#include "platform/forms/screen.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/exception.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
    SetColor(clBtnFace);
    SetParentFont(false);
    SetBoundsFields(0, 0, 320, 240);
    SetVisibleFlag(false);
    EnsureScreen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
    // The controls go while the form is still whole: their destructors call back into it. The
    // handlers told meanwhile (the screen's, OnDestroy) cannot keep the form: what they raise is
    // reported.
    Destroying();
    DestroyComponents();
    if (Screen) RunOrReport([this] { Screen->RemoveForm(this); });
    if (Application && Application->MainForm() == this) Application->MainFormClosed();
    if (created_) RunOrReport([this] { FireNotify(OnDestroy, this); });
    if (HandleAllocated()) DestroyWnd();
}

void TCustomForm::AfterConstruction() {
    if (created_) return;
    created_ = true;
    DoCreate();
}

void TCustomForm::DoCreate() { FireNotify(OnCreate, this); }
void TCustomForm::DoShow() { FireNotify(OnShow, this); }
void TCustomForm::DoHide() { FireNotify(OnHide, this); }
void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}
void TCustomForm::Activate() { FireNotify(OnActivate, this); }
void TCustomForm::Deactivate() { FireNotify(OnDeactivate, this); }
void TCustomForm::Paint() { FireNotify(OnPaint, this); }

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    Params.WndParent = nullptr;
    switch (borderStyle_) {
        case bsNone: Params.Style |= WS_POPUP; break;
        case bsSingle: Params.Style |= WS_CAPTION; break;
        case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
        case bsDialog:
            Params.Style |= WS_CAPTION | WS_POPUP;
            Params.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
        case bsToolWindow:
            Params.Style |= WS_CAPTION;
            Params.ExStyle |= WS_EX_TOOLWINDOW;
            break;
        case bsSizeToolWin:
            Params.Style |= WS_CAPTION | WS_THICKFRAME;
            Params.ExStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
    if (formStyle_ == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    if (!Enabled()) Params.Style |= WS_DISABLED;
}

void TCustomForm::CreateWnd() { TWinControl::CreateWnd(); }

void TCustomForm::PaintWindow(HDC DC) {
    TCanvasHandleScope paint(canvas_.get(), DC, Font());
    Paint();
}

void TCustomForm::PlaceOnScreen() {
    if (placed_) return;
    placed_ = true;
    TRect work = WorkAreaRect();
    switch (position_) {
        case poScreenCenter:
        case poDesktopCenter:
            SetBounds(work.Left + (work.Width() - Width()) / 2, work.Top + (work.Height() - Height()) / 2, Width(),
                      Height());
            break;
        case poMainFormCenter:
        case poOwnerFormCenter: {
            TCustomForm* main = Application ? Application->MainForm() : nullptr;
            if (main && main != this) {
                SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2,
                          Width(), Height());
            } else {
                SetBounds(work.Left + (work.Width() - Width()) / 2, work.Top + (work.Height() - Height()) / 2, Width(),
                          Height());
            }
            break;
        }
        default: break;
    }
}

void TCustomForm::MoveBesideMainForm() {
    // Dialogs and centred windows keep their place; a window that chose its own spot is
    // moved off the main window when there is room beside it.
    if (modal_ || position_ != poDesigned) return;
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main == this || !main->HandleAllocated() || !IsWindowVisible(main->Handle())) return;
    TRect mainRect;
    GetWindowRect(main->Handle(), &mainRect);
    const TRect r = Bounds(Left(), Top(), Width(), Height());
    const TRect placed = PlaceBesideMainWindow(r, mainRect, WorkAreaRect());
    if (placed.Left != r.Left || placed.Top != r.Top) SetBounds(placed.Left, placed.Top, Width(), Height());
}

void TCustomForm::SetVisible(bool v) {
    if (Visible() == v && (!v || Showing())) return;
    SetVisibleFlag(v);
    if (v) {
        HandleNeeded();
        PlaceOnScreen();
        DoShow();
        if (!Visible()) return;  // OnShow hid it again
        if (!shownOnce_) {
            shownOnce_ = true;
            MoveBesideMainForm();
        }
        ShowWindow(Handle(), SW_SHOW);
        if (active_ || GetActiveWindow() == Handle()) SetWindowFocus();
    } else {
        if (HandleAllocated() && IsWindowVisible(Handle())) {
            DoHide();
            ShowWindow(Handle(), SW_HIDE);
        }
    }
    Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
}

void TCustomForm::Show() {
    SetVisible(true);
    if (HandleAllocated()) BringWindowToTop(Handle());
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        Hide();
    } else if (action == caHide || action == caMinimize) {
        Hide();
    } else {
        Release();
    }
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    modal_ = true;
    HWND previous = GetActiveWindow();
    // Every other window waits while the modal form runs.
    std::vector<HWND> disabled;
    EnumWindows([&](HWND w) {
        if (w != WindowHandle() && IsWindowVisible(w) && IsWindowEnabled(w)) {
            disabled.push_back(w);
            EnableWindow(w, false);
        }
        return true;
    });
    TModalResult result = mrCancel;
    try {
        modalResult_ = mrNone;
        // The dialog belongs to the window it interrupts: a window manager keeps it above
        // that window and moves it along.
        HandleNeeded();
        if (previous != Handle()) SetWindowOwner(Handle(), previous);
        Show();
        if (Application && Application->OnModalBegin) Application->OnModalBegin(this);
        RunLoopUntil([&] {
            if (Application && Application->Terminated())
                modalResult_ = mrCancel;
            else if (modalResult_ != mrNone) {
                // CloseModal: the form may refuse.
                TCloseAction action = caNone;
                if (CloseQuery()) {
                    action = caHide;
                    DoClose(action);
                }
                if (action == caNone)
                    modalResult_ = mrNone;
                else if (action == caFree)
                    Release();
            }
            return modalResult_ != mrNone;
        });
        if (modalResult_ == mrNone) modalResult_ = mrCancel;  // the application is ending
        result = modalResult_;
        if (Application && Application->OnModalEnd) Application->OnModalEnd(this);
    } catch (...) {
        Hide();
        for (HWND w : disabled) EnableWindow(w, true);
        modal_ = false;
        throw;
    }
    Hide();
    for (HWND w : disabled) EnableWindow(w, true);
    if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
    modal_ = false;
    return result;
}

void TCustomForm::Release() {
    if (HandleAllocated()) PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::SetActiveControl(TWinControl* v) {
    if (activeControl_ == v) return;
    if (v && (v == this || GetParentForm(v) != this || (!HasState(csLoading) && !v->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    activeControl_ = v;
    if (!HasState(csLoading) && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool wasActive = active_;
    SetActiveControl(Control);
    if (!wasActive && Showing()) SetFocusToForm();
}

void TCustomForm::SetFocusToForm() {
    if (HandleAllocated() && IsWindowVisible(Handle()) && IsWindowEnabled(Handle())) SetActiveWindow(Handle());
}

void TCustomForm::SetWindowFocus() {
    HWND target = activeControl_ && activeControl_->CanFocus() ? activeControl_->Handle() : Handle();
    if (target && GetFocus() != target) ::SetFocus(target);
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (!Control) return;
    if (Removing && focusedControl_ && Control->ContainsControl(focusedControl_)) focusedControl_ = Control->Parent();
    if (activeControl_ && Control->ContainsControl(activeControl_)) {
        activeControl_ = nullptr;
        if (!Removing && active_ && Control != this && Control->Focused()) ::SetFocus(Handle());
    }
    if (Removing && lastActiveControl_ && Control->ContainsControl(lastActiveControl_)) lastActiveControl_ = nullptr;
    if (Screen && Screen->ActiveControl() && Control->ContainsControl(Screen->ActiveControl()))
        Screen->SetActiveControl(nullptr);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (!Control) return false;
    activeControl_ = Control != this ? Control : nullptr;
    EnsureScreen()->SetActiveControl(Control);
    EnsureScreen()->SetActiveForm(this);
    if (Control->ControlState() & csFocusing) return false;
    Control->SetControlState(Control->ControlState() | csFocusing);
    struct Guard {
        TWinControl* c;
        ~Guard() { c->SetControlState(c->ControlState() & ~csFocusing); }
    } guard{Control};
    if (!focusedControl_) focusedControl_ = this;
    if (focusedControl_ != Control) {
        while (focusedControl_ && !focusedControl_->ContainsControl(Control)) {
            TWinControl* leaving = focusedControl_;
            HWND focusHandle = leaving->HandleAllocated() ? leaving->Handle() : nullptr;
            focusedControl_ = leaving->Parent();
            leaving->Perform(CM_EXIT, 0, 0);
            if (focusHandle && GetFocus() != Control->Handle() && GetFocus() != focusHandle && GetFocus() != nullptr)
                return false;
        }
        while (focusedControl_ != Control) {
            TWinControl* entering = Control;
            while (entering->Parent() != focusedControl_ && entering->Parent()) entering = entering->Parent();
            focusedControl_ = entering;
            entering->Perform(CM_ENTER, 0, 0);
            if (GetFocus() != Control->Handle()) return false;
        }
        Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
    return true;
}

void TCustomForm::SetActive(bool v) {
    if (active_ == v) return;
    active_ = v;
    if (v) {
        EnsureScreen()->SetActiveForm(this);
        if (!activeControl_) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, false)) activeControl_ = first;
        }
        SetWindowFocus();
        Activate();
    } else {
        Deactivate();
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    RecreateFrame();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
    if (borderIcons_ == v) return;
    borderIcons_ = v;
    RecreateFrame();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
    if (formStyle_ == v) return;
    formStyle_ = v;
    if (HandleAllocated())
        SetWindowPos(Handle(), v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::RecreateFrame() {
    if (!HandleAllocated()) return;
    TCreateParams p;
    CreateParams(p);
    SetWindowLong(Handle(), GWL_STYLE, p.Style);
    SetWindowLong(Handle(), GWL_EXSTYLE, p.ExStyle);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == activeControl_) activeControl_ = nullptr;
    if (AComponent == focusedControl_) focusedControl_ = nullptr;
    if (AComponent == lastActiveControl_) lastActiveControl_ = nullptr;
}

void TCustomForm::Resize() { TWinControl::Resize(); }

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_ACTIVATE: WMActivate(Message); break;
        case WM_CLOSE: WMClose(Message); break;
        case CM_RELEASE: CMRelease(Message); break;
        default: TWinControl::Dispatch(Message); break;
    }
}

void TCustomForm::WMActivate(TMessage& Message) {
    SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
    Message.Result = 0;
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMNCPaint(TMessage& Message) { DefaultHandler(Message); }
void TCustomForm::WMNCCalcSize(TMessage& Message) { DefaultHandler(Message); }
void TCustomForm::WMNCHitTest(TMessage& Message) { DefaultHandler(Message); }

void TCustomForm::WMSetFocus(TMessage& Message) {
    // The form's own window took the focus: hand it on to the active control.
    if (activeControl_ && activeControl_ != this && activeControl_->CanFocus() && activeControl_->HandleAllocated()) {
        ::SetFocus(activeControl_->Handle());
        return;
    }
    DefaultHandler(Message);
}

void TCustomForm::CMDialogKey(TMessage& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.WParam) {
            case VK_TAB:
                if (GetKeyState(VK_CONTROL) >= 0) {
                    SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
                    Message.Result = 1;
                    return;
                }
                break;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (activeControl_ && activeControl_->Parent()) {
                    activeControl_->Parent()->SelectNext(
                        activeControl_, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
                    Message.Result = 1;
                    return;
                }
                break;
            default: break;
        }
    }
    TWinControl::CMDialogKey(Message);
}

void TCustomForm::CMShowingChanged(TMessage& Message) { TWinControl::CMShowingChanged(Message); }

void TCustomForm::CMTextChanged(TMessage& Message) { TWinControl::CMTextChanged(Message); }

void TCustomForm::CMRelease(TMessage&) { delete this; }
