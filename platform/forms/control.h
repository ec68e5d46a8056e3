#pragma once
// TControl: the visual component. It has a parent (a TWinControl) that places it, bounds
// in the parent's client coordinates, alignment, visibility, enabled state, colour, font,
// text and the mouse events. Messages reach it through Perform -> WndProc (virtual) ->
// Dispatch, which calls the message's virtual handler (WMPaint, CMEnabledChanged, ...) or
// DefaultHandler. TGraphicControl has no window: its parent paints it (Paint() on Canvas())
// and passes it the mouse messages at its place.
//
// Setters compare, store, then notify (CM_* to the control, then Invalidate/re-align).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/classes/component.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/control_types.h"
#include "platform/forms/drag_types.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/graphics_objects.h"
#include "platform/win/window_handle.h"

class TWinControl;
class TControl;
class TCustomForm;
class TPopupMenu;
class TDragImageList;
class TBasicAction;
class TControlActionLink;
class TSizeConstraints;

// A class of action link: makes the link for a client (GetActionLinkClass answers one).
using TControlActionLinkClass = std::function<std::unique_ptr<TControlActionLink>(TControl* Client)>;

// ControlStyle bits.
using TControlStyle = uint32_t;
inline constexpr TControlStyle csAcceptsControls = 1u << 0;
inline constexpr TControlStyle csCaptureMouse = 1u << 1;
inline constexpr TControlStyle csDesignInteractive = 1u << 2;
inline constexpr TControlStyle csClickEvents = 1u << 3;
inline constexpr TControlStyle csFramed = 1u << 4;
inline constexpr TControlStyle csSetCaption = 1u << 5;
inline constexpr TControlStyle csOpaque = 1u << 6;
inline constexpr TControlStyle csDoubleClicks = 1u << 7;
inline constexpr TControlStyle csFixedWidth = 1u << 8;
inline constexpr TControlStyle csFixedHeight = 1u << 9;
inline constexpr TControlStyle csNoDesignVisible = 1u << 10;
inline constexpr TControlStyle csReplicatable = 1u << 11;
inline constexpr TControlStyle csNoStdEvents = 1u << 12;
inline constexpr TControlStyle csActionClient = 1u << 13;
inline constexpr TControlStyle csMenuEvents = 1u << 14;
inline constexpr TControlStyle csDisplayDragImage = 1u << 15;

// ControlState bits.
using TControlState = uint32_t;
inline constexpr TControlState csLButtonDown = 1u << 0;
inline constexpr TControlState csClicked = 1u << 1;
inline constexpr TControlState csAlignmentNeeded = 1u << 2;
inline constexpr TControlState csFocusing = 1u << 3;
inline constexpr TControlState csCreating = 1u << 4;
inline constexpr TControlState csPaintCopy = 1u << 5;
inline constexpr TControlState csCustomPaint = 1u << 6;
inline constexpr TControlState csDestroyingHandle = 1u << 7;

// A canvas on a control: for a windowed control it gets a context on the window when
// drawn outside WM_PAINT; during painting the control hands it the paint context.
class TControlCanvas : public TCanvas {
public:
    std::string ClassName() const override { return "TControlCanvas"; }
    ~TControlCanvas() override;
    TControl* Control() const { return control_; }
    void SetControl(TControl* v);
    // Lets go of a context it got by itself (GetDC); a handed-in one stays the caller's.
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* control_ = nullptr;
    HDC ownDC_ = nullptr;
    HWND ownWnd_ = nullptr;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }

    // ---- Parent and place ----
    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    virtual void SetClientSize(int w, int h);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint p);
    TPoint ScreenToClient(TPoint p);
    void BringToFront();
    void SendToBack();

    TAlign Align() const { return align_; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors v);
    // The size limits SetBounds keeps the control in.
    TSizeConstraints* Constraints() { return constraints_.get(); }
    void SetConstraints(TSizeConstraints* v);

    // ---- State ----
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show();
    void Hide();
    // Visible and every parent up to the top-level window showing.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    TFont* Font() { return font_.get(); }
    void SetFont(TFont* v) { font_->Assign(v); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);

    // Caption and Text are the same string (UTF-8); a change sends CM_TEXTCHANGED.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& v);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);

    TPopupMenu* PopupMenu() const { return popupMenu_; }
    // The menu is free-notified: it may be destroyed before the control.
    template <class Menu = TPopupMenu>
    void SetPopupMenu(Menu* v) {
        SetPopupMenuComponent(v, v);
    }
    void SetPopupMenuComponent(TPopupMenu* menu, TComponent* asComponent);
    // How a popup menu is shown: registered by the menu code (the control knows menus only
    // by a forward declaration).
    using TPopupMenuShow = void (*)(TPopupMenu* menu, TControl* control, int screenX, int screenY);
    static void SetPopupMenuShow(TPopupMenuShow fn);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor v);

    // With ParentBiDiMode the control answers its parent's mode; setting a mode clears that.
    // A change repaints the control and the controls that follow it.
    TBiDiMode BiDiMode() const;
    void SetBiDiMode(TBiDiMode v);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    // Right-to-left alignment is bdRightToLeft's alone; every right-to-left mode reads right
    // to left. The flags of a DrawText call for the control: left and right alignment
    // swapped (centred text stays centred) and DT_RTLREADING added, as the mode says.
    bool UseRightToLeftAlignment() const { return BiDiMode() == bdRightToLeft; }
    bool UseRightToLeftReading() const { return BiDiMode() != bdLeftToRight; }
    unsigned DrawTextBiDiModeFlags(unsigned Flags) const;
    unsigned DrawTextBiDiModeFlagsReadingOnly() const;

    // ---- Action (control_action_link.cpp) ----
    // The control follows the action's caption, enabled state, hint and visibility and
    // clicks by executing it; a freed action leaves the control without one.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const { return actionLink_.get(); }

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle v) { controlStyle_ = v; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState v) { controlState_ = v; }

    // ---- Messages ----
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    virtual void WndProc(TMessage& Message);
    // Calls the handler of Message.Msg, else DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // ---- Painting ----
    virtual void Invalidate();
    // Invalidate + Update.
    virtual void Repaint();
    void Refresh() { Repaint(); }
    virtual void Update();

    // ---- Events ----
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;

    virtual void Click();
    virtual void DblClick();

    // The form that holds the control (null when it has none).
    TCustomForm* ParentForm() const;

    // Any mouse handler may destroy its own control: WndProc checks this afterwards.
    bool IsBeingDestroyed() const { return HasState(csDestroying); }

    // ---- Drag and drop (drag_manager.cpp) ----
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode v) { dragMode_ = v; }
    // The cursor a drag from this control shows over a target that accepts it.
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor v) { dragCursor_ = v; }
    // Stored: the platform docks nothing, so a drag is a drag whatever the kind, and the
    // dock events (kept for forms that assign them) never fire.
    TDragKind DragKind() const { return dragKind_; }
    void SetDragKind(TDragKind v) { dragKind_ = v; }
    // Starts a drag with this control as its source. Without Immediate no target is asked
    // until the pointer moved Threshold pixels (-1: the default of 5).
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    // The images a drag from this control shows under the pointer (none by default).
    virtual TDragImageList* GetDragImages() { return nullptr; }
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TStartDockEvent OnStartDock;
    TEndDockEvent OnEndDock;
    // The drag's start and end, called by the drag manager.
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);

protected:
    friend class TWinControl;
    virtual std::string GetText() const { return text_; }
    // Stores the bounds without any notification (the window layer moved the window).
    void SetBoundsFields(int l, int t, int w, int h) {
        left_ = l;
        top_ = t;
        width_ = w;
        height_ = h;
    }
    void SetVisibleFlag(bool v) { visible_ = v; }
    virtual void SetTextValue(const std::string& v);  // stores; SetText notifies

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void Resize();
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    void Changed();  // CM_CHANGED to the parent
    virtual void RequestAlign();
    // Answers whether the control paints all of its rectangle (no parent background).
    bool IsOpaque() const { return (controlStyle_ & csOpaque) != 0; }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    virtual void VisibleChanging() {}
    // The mode the control answers changed: repaint (a windowed control passes it on).
    virtual void BiDiModeChanged() { Invalidate(); }
    // The class of link SetAction makes.
    virtual TControlActionLinkClass GetActionLinkClass();
    // Takes the action's state (Sender: the action); with CheckDefaults only where the
    // control still has its default.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    // Message handlers that descendants override (call the inherited one for the default).
    virtual void WMLButtonDown(TMessage& Message);
    virtual void WMLButtonUp(TMessage& Message);
    virtual void WMLButtonDblClk(TMessage& Message);
    virtual void WMRButtonDown(TMessage& Message);
    virtual void WMRButtonUp(TMessage& Message);
    virtual void WMRButtonDblClk(TMessage& Message);
    virtual void WMMButtonDown(TMessage& Message);
    virtual void WMMButtonUp(TMessage& Message);
    virtual void WMMouseMove(TMessage& Message);
    virtual void WMMouseWheel(TMessage& Message);
    virtual void WMContextMenu(TMessage& Message);
    virtual void WMCancelMode(TMessage& Message);
    virtual void WMWindowPosChanged(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentShowHintChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMHitTest(TMessage& Message);
    virtual void CMCursorChanged(TMessage& Message);
    virtual void CMDialogKey(TMessage& Message);     // Enter/Esc for default/cancel buttons
    virtual void CMDialogChar(TMessage& Message);    // accelerator characters
    virtual void CMFocusChanged(TMessage& Message);  // broadcast by the form; LParam = new focus
    virtual void CMCancelMode(TMessage& Message);
    // Accept starts True only when OnDragOver is assigned, which may change it.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void CMDrag(TMessage& Message);

    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState controlState_ = 0;

private:
    void FontChanged(TObject* Sender);
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    void UpdateAnchorRules();
    void DoActionChange(TObject* Sender);

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_{akLeft, akTop};
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    std::string text_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    TComponent* popupMenuComponent_ = nullptr;
    TCursor cursor_ = crDefault;
    TDragMode dragMode_ = dmManual;
    TCursor dragCursor_ = crDrag;
    TDragKind dragKind_ = dkDrag;
    TBiDiMode biDiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    std::unique_ptr<TSizeConstraints> constraints_;
    std::unique_ptr<TControlActionLink> actionLink_;

public:
    // Anchor bookkeeping the parent's alignment uses: distances kept when the parent grows.
    TPoint anchorOrigin_;
    TSize anchorParentSize_;
    bool anchorValid_ = false;
    TSize anchorSize_;
};

// A control without a window: painted by its parent, on the parent's window.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    std::string ClassName() const override { return "TGraphicControl"; }
    TCanvas* Canvas() { return canvas_.get(); }

protected:
    // Draws the control on Canvas() (origin at its top-left, clipped to it).
    virtual void Paint() {}
    void WndProc(TMessage& Message) override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

// The control under the mouse capture (a graphic control captures through its parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// Forgets the capture control without touching the window capture (it moved elsewhere).
void ForgetCaptureControl();
// The form holding `control` (null when none).
TCustomForm* GetParentForm(const TControl* control);
// As GetParentForm, raising EInvalidOperation "Control '<name>' has no parent window".
TCustomForm* ValidParentForm(const TControl* control);
