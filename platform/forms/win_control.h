#pragma once
// TWinControl: a control with a window of its own. It holds child controls (windowed or
// graphic), aligns them, keeps the tab order and takes the keyboard focus. Its window is
// made on demand (Handle()) or when its parent's window is made; the window procedure
// hands every message to WndProc. TCustomControl adds a canvas and Paint().
//
// Keyboard path for the focused control: the pump offers CN_KEYDOWN first (dialog keys:
// Tab, Enter, Esc and the arrows go to the form as CM_DIALOGKEY unless WM_GETDLGCODE or
// CM_WANTSPECIALKEY claims them), then WM_KEYDOWN -> KeyDown (a form with KeyPreview sees
// the key first), then WM_CHAR -> KeyPress (CN_CHAR offers CM_DIALOGCHAR first). Alt+letter
// comes as WM_SYSKEYDOWN -> KeyDown, then CN_SYSCHAR offers CM_DIALOGCHAR (accelerators).

#include <memory>
#include <vector>

#include "platform/forms/control.h"
#include "platform/win/window_tree.h"

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    // ---- Window ----
    // Makes the window (and the parent's first) when there is none yet.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The window when it exists (never makes one).
    HWND WindowHandle() const { return handle_; }
    void HandleNeeded() { Handle(); }
    void DestroyHandle();
    void RecreateWnd();

    // ---- Children ----
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int Index) const { return controls_.at(static_cast<size_t>(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The topmost visible child at a client point (disabled ones only with AllowDisabled).
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Sends the message to every child.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);
    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return alignLevel_ > 0; }

    // ---- Focus and tab order ----
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    // Index in the parent's tab order list; -1 on reading means no parent.
    int TabOrder() const;
    void SetTabOrder(int v);
    // Windowed children in tab order.
    void GetTabOrderList(std::vector<TWinControl*>& List);
    // The next (or previous) control after CurControl among this control's descendants
    // that can take the focus (CheckTabStop: with TabStop; CheckParent: a direct child).
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();

    TBrush* Brush() { return brush_.get(); }
    bool Showing() const override { return handle_ && IsWindowVisible(handle_); }
    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void Invalidate() override;
    void Update() override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v) { ctl3D_ = v; }
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool v) { parentCtl3D_ = v; }

    // ---- Keyboard events ----
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TMouseWheelEvent OnMouseWheel;

    // Paints the graphic children on DC (client coordinates), from First on (null: all).
    void PaintControls(HDC DC, TControl* First);

protected:
    friend class TCustomForm;
    void BiDiModeChanged() override;
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void CreateHandle();
    // Paints the client area (WM_PAINT): PaintWindow, then the graphic children.
    virtual void PaintHandler(TMessage& Message);
    virtual void PaintWindow(HDC DC);
    // Lays out the children with Align and Anchors inside Rect (starts as the client area).
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect) { (void)Rect; }
    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // Window state of a child changed visibility: create or show/hide its window.
    void UpdateShowing();
    void UpdateControlState();
    void SetZOrder(bool TopMost);
    void Loaded() override;
    void RequestAlign() override;

    // Key message steps (answer true when the key was consumed).
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);

    // Handlers.
    virtual void WMPaint(TMessage& Message);
    virtual void WMEraseBkgnd(TMessage& Message);
    virtual void WMNCPaint(TMessage& Message);
    virtual void WMNCCalcSize(TMessage& Message);
    virtual void WMNCHitTest(TMessage& Message);
    virtual void WMSetFocus(TMessage& Message);
    virtual void WMKillFocus(TMessage& Message);
    virtual void WMSize(TMessage& Message);
    virtual void WMMove(TMessage& Message);
    virtual void WMSetCursor(TMessage& Message);
    virtual void WMKeyDown(TMessage& Message);
    virtual void WMSysKeyDown(TMessage& Message);
    virtual void WMKeyUp(TMessage& Message);
    virtual void WMSysKeyUp(TMessage& Message);
    virtual void WMChar(TMessage& Message);
    virtual void WMGetDlgCode(TMessage& Message);
    virtual void WMHScroll(TMessage& Message);
    virtual void WMVScroll(TMessage& Message);
    virtual void CNKeyDown(TMessage& Message);
    virtual void CNKeyUp(TMessage& Message);
    virtual void CNChar(TMessage& Message);
    // Alt+character: offered to the form as an accelerator (CM_DIALOGCHAR), even by a
    // control that takes typed characters.
    virtual void CNSysChar(TMessage& Message);
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    // Sent to every window control inside one that was shown or hidden.
    virtual void CMShowingChanged(TMessage& Message);
    virtual void CMChildKey(TMessage& Message);
    void Dispatch(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;

    // The window's default processing (the window layer's DefWindowProc).
    LRESULT DefWndProc(TMessage& Message);

private:
    friend class TControl;
    void MainWndProc(TMessage& Message);
    void UpdateBounds();
    void CreateParamsForMeasure(TCreateParams& p);
    void InvalidateControl(bool IsVisible, bool IsOpaque, TControl* Control);
    void DoAlign(TAlign AAlign, TControl* AControl, TRect& Rect);
    void CreateChildHandles();
    void ApplyShowing();
    void NotifyShowingChanged();

    HWND handle_ = nullptr;
    std::vector<TControl*> controls_;    // z-order among graphic children: last painted on top
    std::vector<TWinControl*> tabList_;  // windowed children in tab order
    std::unique_ptr<TBrush> brush_;
    bool tabStop_ = false;
    int alignLevel_ = 0;
    bool doubleBuffered_ = false;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    bool inSetBounds_ = false;
    bool aligning_ = false;
    // The mouse control tracked for CM_MOUSEENTER / CM_MOUSELEAVE.
    friend void TrackMouseControl(TControl* control);
};

// A windowed control that paints itself on Canvas() in Paint().
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    std::string ClassName() const override { return "TCustomControl"; }
    TCanvas* Canvas() { return canvas_.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

// The control under the mouse (CM_MOUSEENTER was sent to it); null when none.
TControl* MouseControl();
// Moves the tracked mouse control, sending CM_MOUSELEAVE / CM_MOUSEENTER.
void TrackMouseControl(TControl* control);
// The control whose window is `wnd` (null when it belongs to no control).
TWinControl* FindControl(HWND wnd);
