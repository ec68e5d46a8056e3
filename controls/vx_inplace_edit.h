#pragma once
// TvxInplaceEdit: the base of every editor, in place (a child window that a container
// places over a cell, shows, hides and asks for permission and defaults) or stand-alone (an
// ordinary control on a form). The class decides which through its descriptor.
//
// Class-level operations (painting from view data, measuring, the style and view-data
// classes, the factory) live on one static descriptor per editor class, a
// TvxInplaceEditClass: a container keeps a descriptor and paints cells through it without
// any editor instance (CreateViewData, fill the record, DrawEdit). Every editor class
// derives its descriptor from its base's descriptor and hands it to the base constructor,
// so the class is known while the object is being built (size, tab stop, style class).
//
// The editing engine under the text editors is the class library's edit (TCustomEdit);
// an editor that is no text editor (IsTextEditor False) paints itself through DrawContent
// and keeps the engine's keys, mouse and painting switched off.

#include <cstdint>
#include <memory>
#include <string>

#include "controls/vx_edit_style.h"
#include "controls/vx_edit_types.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/edit.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/variant.h"

class TCustomvxContainer;
class TvxEditStyleController;
class TvxInplaceEdit;

TOVAK_EXCEPTION_CLASS(EvxEditInvalidInput, Exception);

// The editors' own settings-change message: every editor sends it to itself after
// CM_WININICHANGE, and the editors that show locale formats read them again on it.
inline constexpr UINT CM_VX_WININICHANGE = CM_BASE + 29;

// Default OnValidate text.
inline constexpr const char* kvxInvalidInputText = "Invalid input value. Use escape key to abandon changes";

// Everything an editor class needs to paint a cell: filled by the editor (CreateViewData)
// or by a container. Each editor kind may add fields in a descendant.
struct TvxEditViewData {
    virtual ~TvxEditViewData() = default;
    bool Enabled = true;
    bool Focused = false;
    bool Active = false;
    TColor BorderColor = clWindowFrame;
    TvxEditBorderStyle BorderStyle = xbs3D;
    TvxEditButtonViewStyle ButtonStyle = btsDefault;
    bool ButtonTransparent = false;
    TvxEditEdges Edges = vxAllEdges;
    bool Shadow = false;
    bool OpaqueText = false;
    bool Transparent = false;
    TRect BorderRect;
    TRect Bounds;
    TAlignment Alignment = taLeftJustify;
    int VerticalLayout = 0;  // 0 top, 1 centre, 2 bottom, 3 word wrap
    HBRUSH Brush = nullptr;
    COLORREF Color = 0xFFFFFF;
    HFONT Font = nullptr;
    COLORREF TextColor = 0;
    bool IsTextEditor = false;
    Variant EditValue;
    TCursor Cursor = crDefault;
    bool MeasureOnly = false;
};

// The geometry CalcViewInfo derives from view data.
struct TvxEditViewInfo {
    int BorderWidth = 0;
    int ShadowWidth = 0;
    TRect Bounds;
    TRect ContentRect;  // inside the border: text, or the client area of the window
    bool LeftEdge = false;
    bool TopEdge = false;
    bool RightEdge = false;
    bool BottomEdge = false;
    TRect BorderRect;
    TRect ShadowRect;  // empty without shadow
    TRect InnerRect;   // the content rectangle (drop-down editors lay out buttons beside it)
};

// An optional collaborator that supplies the value (a data link); no editor of this
// program makes one, the grid's editors may.
class TvxEditValueSource {
public:
    virtual ~TvxEditValueSource() = default;
    virtual Variant Value() = 0;
    virtual void SetValue(const Variant& v) = 0;
    virtual TAlignment Alignment() { return taLeftJustify; }
    virtual bool ReadOnly() { return false; }
    virtual bool CanModify() { return true; }
    virtual bool IsValidChar(char32_t) { return true; }
    virtual int Size() { return 0; }
    virtual std::string EditMask() { return {}; }
    virtual void Reset() {}
    virtual void UpdateRecord() {}
    virtual void Edit() {}
    // Notifications the editor binds to ActiveChange, DataChange, EditingChange,
    // ActiveChange and UpdateData.
    TNotifyEvent OnActiveChange;
    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;
};

// The class-level half of an editor class (its "class methods"). One static instance per
// class; the operations call each other virtually, so a descendant class overriding one
// changes what the others do.
class TvxInplaceEditClass {
public:
    virtual ~TvxInplaceEditClass() = default;
    virtual std::string ClassName() const { return "TvxInplaceEdit"; }
    // The factory: a new editor of this class owned by AOwner.
    virtual TvxInplaceEdit* Create(TComponent* AOwner) const;
    virtual bool IsInplace() const { return true; }
    // GetEditStyleClass.Create(Edit).
    virtual std::unique_ptr<TvxEditStyle> CreateEditStyle(TvxInplaceEdit* Edit) const;
    // A new, empty view-data record of this class (GetViewDataClass).
    virtual std::unique_ptr<TvxEditViewData> CreateViewData() const;

    // Steps 1-3 of CalcViewInfo: shadow, bounds, content rectangle, border width.
    void InitViewInfo(const TvxEditViewData& ViewData, TvxEditViewInfo& ViewInfo) const;
    virtual void CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize, TvxEditViewInfo& ViewInfo) const;
    // Border, then content; removes the editor's shape from ExcludeRgn when given.
    virtual void DrawEdit(HDC DC, HRGN ExcludeRgn, TvxEditViewData& ViewData) const;
    virtual void DrawBorder(HDC DC, const TvxEditViewInfo& ViewInfo, TvxEditViewData& ViewData) const;
    // Answers false when it drew nothing (a text editor's window paints itself).
    virtual bool DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const;
    virtual TCursor GetCursorAt(int X, int Y, const TvxEditViewData& ViewData) const;
    virtual int GetAutoHeight(const TvxEditViewData& ViewData) const;
    // The content's own size; empty when the editor only sizes its height.
    virtual void CalcContentSize(TvxEditViewData& ViewData, TRect& Size) const;

    // Moves each side whose edge is present by the border width, outward or inward.
    static void ExtendByBorder(TRect& R, const TvxEditViewInfo& ViewInfo, bool Outward);
    // The editor's shape (border plus shadow rectangle) in window coordinates; null when
    // the whole window is the shape. The caller owns the region.
    static HRGN CreateShapeRegion(const TvxEditViewInfo& ViewInfo);
};

class TvxInplaceEdit : public TCustomEdit {
public:
    explicit TvxInplaceEdit(TComponent* AOwner);
    ~TvxInplaceEdit() override;
    std::string ClassName() const override { return EditClass().ClassName(); }

    static const TvxInplaceEditClass& StaticClass();
    const TvxInplaceEditClass& EditClass() const { return *editClass_; }
    bool IsInplace() const { return editClass_->IsInplace(); }
    // The Owner when in place and it is a container, else null.
    TCustomvxContainer* GetContainer() const;

    // ---- Showing in place ----
    // Grows Rect by 2, takes it as bounds, shows and focuses the editor (nothing for an
    // empty rectangle or a stand-alone editor).
    void ShowEdit(TRect Rect);
    void ShowEditAt(const TRect& Rect) { ShowEdit(Rect); }
    void IncShowLock() { ++showLock_; }
    void DecShowLock() {
        if (showLock_ > 0) --showLock_;
    }
    int ShowLock() const { return showLock_; }
    virtual void Show();
    virtual void Hide();
    bool Shown() const { return shown_; }
    // Set by a container before it hides the editor; cleared when it prepares it again.
    bool HiddenByContainer() const { return hiddenByContainer_; }
    void SetHiddenByContainer(bool v) { hiddenByContainer_ = v; }
    // Message time of the press that showed the editor (immediate editors turn a click
    // within the double-click time after it into a double click); 0 = none.
    uint32_t ShowTime() const { return showTime_; }
    void SetShowTime(uint32_t v) { showTime_ = v; }

    void InvalidateEdit();
    const TRect& BorderRect() const { return borderRect_; }
    void SetBorderRect(const TRect& Rect);
    // Takes the computed size (automatic height) and the window region from the style.
    void UpdateEditRegion();

    // ---- Properties ----
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool EffectiveAutoSize() const { return autoSize_ && !IsInplace(); }
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    TvxEditStyle* Style() const { return style_.get(); }
    void SetStyle(TvxEditStyle* v);
    TvxEditStyleController* StyleController() const { return styleController_; }
    void SetStyleController(TvxEditStyleController* v);
    bool TransparentInactive() const { return transparentInactive_; }
    void SetTransparentInactive(bool v) { transparentInactive_ = v; }
    bool ResetOnInvalid() const { return resetOnInvalid_; }
    void SetResetOnInvalid(bool v) { resetOnInvalid_ = v; }
    bool ClearOnReset() const { return clearOnReset_; }
    void SetClearOnReset(bool v) { clearOnReset_ = v; }
    bool ValueSettingGuard() const { return valueSettingGuard_; }
    void SetValueSettingGuard(bool v) { valueSettingGuard_ = v; }
    bool ClickOpensPopup() const { return clickOpensPopup_; }
    void SetClickOpensPopup(bool v) { clickOpensPopup_ = v; }
    bool ValueLoadingGuard() const { return valueLoadingGuard_; }
    void SetValueLoadingGuard(bool v) { valueLoadingGuard_ = v; }
    TvxAssignedValues AssignedValues() const { return assignedValues_; }
    bool IsAssigned(TvxAssignedValues Bit) const { return (assignedValues_ & Bit) != 0; }
    // The streamed "StoredValues" integer (written only when not 0).
    int StoredValues() const { return assignedValues_; }
    void SetStoredValues(int v) { assignedValues_ = static_cast<TvxAssignedValues>(v); }
    bool IsStoredValuesStored() const { return assignedValues_ != 0; }
    // "Height" is streamed only without the automatic height.
    bool IsHeightStored() const { return !EffectiveAutoSize(); }
    bool Editing() const { return editing_; }
    bool MouseInside() const { return mouseInside_; }
    int KeyLock() const { return keyLock_; }
    const std::string& SavedText() const { return savedText_; }
    TvxEditValueSource* ValueSource() const { return valueSource_.get(); }
    // The window text (for the mask editor: with its literals).
    std::string WindowText() const { return TControl::Text(); }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TvxEditValidateEvent OnValidate;

    // ---- Virtual operations ----
    virtual void SetEditValue(const Variant& Value);
    virtual void RefreshDefaults();
    virtual void GetEditValue(Variant& Value, bool IsPaintCopy);
    Variant EditValue() {
        Variant v;
        GetEditValue(v, false);
        return v;
    }
    virtual void GetDisplayValue(Variant& Value);
    virtual void DataChange();
    virtual void EditingChange(bool& Handled);
    virtual void ActiveChange();
    virtual void UpdateData();
    virtual bool IsValidChar(char32_t Key);
    virtual std::unique_ptr<TvxEditValueSource> CreateValueSource() { return nullptr; }
    virtual std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy);
    virtual void DoSetFocus();
    bool CanModify() const override;
    virtual bool IsResetClear() { return clearOnReset_; }
    virtual bool GetModified() const { return modified_; }
    bool Modified() const { return GetModified(); }
    virtual bool IsEditChangeKey(uint16_t Key, TShiftState Shift);
    virtual bool IsCtrlOnlyPressed();
    virtual bool IsNotTextEditor() { return !IsTextEditor(); }
    virtual bool IsMouseWheelHandled() { return false; }
    virtual bool WantTabs() { return false; }
    virtual void MoveColumnFocus(bool Backward);
    virtual void Reset();
    virtual void FocusChanged(bool Entering);
    virtual void ApplyAlignment(TAlignment Value);
    virtual void ApplyReadOnly(bool Value);
    virtual void SetModified(bool Value) { modified_ = Value; }
    virtual void SetMouseInside(bool Value) { mouseInside_ = Value; }
    virtual void StyleChanged();
    virtual void AfterShowEdit() {}
    virtual bool CanEditText() const;
    virtual TAlignment DefaultAlignment() { return taLeftJustify; }
    virtual bool DefaultReadOnly() const;
    virtual bool IsSourceReadOnly() const;
    virtual void DoF2Key() {}
    virtual void DoKillFocus(TMessage& Message);
    virtual void GetDisplayText(std::string& S) { S = WindowText(); }
    virtual bool IsTextEditor() const { return false; }
    virtual bool IsValidateOnEnter() { return false; }
    virtual bool IsFocused();
    bool HasValueSource() const { return valueSource_ != nullptr; }
    virtual bool IsActive();
    virtual bool IsShowButtonAlways();
    // A press on the cell opened the editor (X, Y: container client coordinates).
    virtual void ActivateAtPoint(int X, int Y) {
        (void)X;
        (void)Y;
    }
    // A release or an activation request opened the editor.
    virtual void ActivateByClick() {}
    void MouseDownHandOver(int X, int Y) { ActivateAtPoint(X, Y); }
    void MouseUpHandOver() { ActivateByClick(); }
    virtual void RestoreDefaults();
    virtual void AfterFocusEdit() {}
    virtual void UserSetText(const std::string& S);
    virtual void ValidateEdit();
    // Caret to the end, nothing selected (the text editors); the base does nothing.
    virtual void DeselectText() {}
    // Asked by a container on a mouse press elsewhere: True keeps the editor open.
    virtual bool KeepOpenOnMouseDown() { return keepOpenOnMouseDown_; }

    // Escape: the saved text back (or the value source's reset).
    void ResetEdit();

protected:
    // Descendants pass their own descriptor.
    TvxInplaceEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    std::unique_ptr<TvxEditStyle> CreateStyle();
    void Change() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PaintWindow(HDC DC) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void DblClick() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

    // The class library's own key handling: the edit engine for a text editor, the plain
    // control's (events only) otherwise.
    virtual void InheritedKeyDown(uint16_t& Key, TShiftState Shift);
    virtual void InheritedKeyPress(char32_t& Key);

    void WMEraseBkgnd(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMKeyDown(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMPaint(TMessage& Message) override;
    void WMSetCursor(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

    // Whether the style asks for a region update on focus and mouse changes.
    bool StyleNeedsRegionUpdate();
    void SetAssignedBit(TvxAssignedValues Bit) { assignedValues_ |= Bit; }
    void SetAssignedValues(TvxAssignedValues v) { assignedValues_ = v; }
    TAlignment DefaultAlignmentValue() const { return defaultAlignment_; }

    bool editing_ = false;
    bool modified_ = false;
    bool savedModified_ = false;
    std::string savedText_;
    bool keepOpenOnMouseDown_ = false;

private:
    // An editor in place hands the wheel to its container unless it takes the wheel itself.
    bool ForwardsWheel();

    const TvxInplaceEditClass* editClass_;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    TAlignment defaultAlignment_ = taLeftJustify;
    std::unique_ptr<TvxEditValueSource> valueSource_;
    int showLock_ = 0;
    TRect borderRect_;
    bool readOnly_ = false;
    bool mouseInside_ = false;
    std::unique_ptr<TvxEditStyle> style_;
    TvxEditStyleController* styleController_ = nullptr;
    bool transparentInactive_ = false;
    bool shown_ = false;
    int keyLock_ = 0;
    bool resetOnInvalid_ = false;
    bool clearOnReset_ = false;
    bool valueSettingGuard_ = false;
    bool clickOpensPopup_ = false;
    bool valueLoadingGuard_ = false;
    TvxAssignedValues assignedValues_ = 0;
    uint32_t showTime_ = 0;
    bool hiddenByContainer_ = false;
    bool destroying_ = false;
};

// Removes one pending Msg of Wnd from the queue; a WM_QUIT met on the way is posted again.
void KillMessage(HWND Wnd, UINT Msg);
