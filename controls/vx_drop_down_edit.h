#pragma once
// TvxInplaceDropDownEdit: the base of every editor with buttons inside its border and a
// pop-up below its text (date, image, pick, ... editors). The buttons live in the
// non-client area: the descriptor lays them out beside the content rectangle, draws them
// with the border and hit-tests them. The base owns the pop-up pointer and its life cycle
// (drop down, route keys to it, close with or without taking its value); a descendant
// creates, fills and shows the actual pop-up.

#include <array>
#include <functional>
#include <memory>

#include "controls/vx_mask_edit.h"
#include "platform/gdi/bitmap.h"

class TvxInplaceDropDownEdit;

enum TvxEditButtonKind { bkEllipsis, bkDown, bkGlyph };

// One button as the view data carries it.
struct TvxEditButtonViewInfo {
    TBitmap* Glyph = nullptr;  // not owned
    int Index = 0;
    TvxEditButtonKind Kind = bkDown;
    bool LeftAlignment = false;
    int Width = 0;
};

// The most buttons one view holds.
inline constexpr int vxMaxEditButtons = 8;

struct TvxDropDownEditViewData : TvxTextEditViewData {
    int ButtonCount = 0;
    std::array<TvxEditButtonViewInfo, vxMaxEditButtons> Buttons{};
    TBitmap* ButtonGlyph = nullptr;  // the editor's glyph; null when empty
    bool ButtonsHidden = false;
    int HotButton = -1;
    int PressedButton = -1;
};

// (Sender, var Value, var Accept): the grid column's close-up hook.
using TvxCloseUpEvent = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;

class TvxInplaceDropDownEditClass : public TvxInplaceMaskEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceDropDownEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    // Inherited, then the buttons take their widths off the content rectangle.
    void CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize, TvxEditViewInfo& ViewInfo) const override;
    // Inherited (edges and shadow), then the buttons.
    void DrawBorder(HDC DC, const TvxEditViewInfo& ViewInfo, TvxEditViewData& ViewData) const override;

    // The single drop-down button of the base (descendants with more buttons override).
    virtual void CalcButtons(TvxDropDownEditViewData& ViewData) const;
    virtual int GetButtonWidth(const TvxDropDownEditViewData& ViewData, const TvxEditButtonViewInfo& Button) const;
    // Button rectangles in window coordinates, laid out from the last button to the first
    // inside the border (as painted and hit-tested). Answers the count.
    int LayoutButtons(const TvxEditViewInfo& ViewInfo, const TvxDropDownEditViewData& ViewData,
                      std::array<TRect, vxMaxEditButtons>& Rects) const;
    // One button in R.
    void DrawButton(HDC DC, TRect R, const TvxDropDownEditViewData& ViewData, const TvxEditButtonViewInfo& Button,
                    bool Pressed, bool Transparent, bool Hot) const;
};

class TvxInplaceDropDownEdit : public TvxInplaceMaskEdit {
public:
    explicit TvxInplaceDropDownEdit(TComponent* AOwner);
    ~TvxInplaceDropDownEdit() override;
    static const TvxInplaceDropDownEditClass& StaticClass();

    // ---- Properties ----
    // Made empty on first read.
    TBitmap* ButtonGlyph();
    // Null frees the glyph, anything else is copied; the view is refreshed either way.
    void SetButtonGlyph(TBitmap* v);
    int DropDownRows() const { return dropDownRows_; }
    void SetDropDownRows(int v) { dropDownRows_ = v; }
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int v) { dropDownWidth_ = v; }
    bool ImmediateDropDown() const { return immediateDropDown_; }
    void SetImmediateDropDown(bool v) { immediateDropDown_ = v; }
    bool ImmediatePopup() const { return immediatePopup_; }
    void SetImmediatePopup(bool v) { immediatePopup_ = v; }
    TAlignment PopupAlignment() const { return popupAlignment_; }
    void SetPopupAlignment(TAlignment v) { popupAlignment_ = v; }
    TvxPopupBorder PopupBorder() const { return popupBorder_; }
    void SetPopupBorder(TvxPopupBorder v) { popupBorder_ = v; }
    int HotButtonIndex() const { return hotButtonIndex_; }
    int PressedButtonIndex() const { return pressedButtonIndex_; }
    TWinControl* PopupWindow() const { return popupWindow_; }
    bool IsDroppedDown() const { return isDroppedDown_; }
    bool EditKeepsFocus() const { return editKeepsFocus_; }
    bool EditTakesTyping() const { return editTakesTyping_; }

    TNotifyEvent OnDropDown;
    // Internal hooks the grid column sets while it lends out the editor.
    TvxCloseUpEvent CloseUpHandler;
    TNotifyEvent DropDownHandler;

    // ---- Virtual operations introduced here ----
    virtual void PositionPopup(TWinControl* Popup, bool AdjustWidth);
    virtual void CloseUp(bool Accept) { (void)Accept; }
    virtual void ButtonDown(bool NoCapture, int Index);
    virtual void ButtonClick(int Index) { (void)Index; }
    virtual void DoCloseUp(Variant& Value, bool& Accept);
    virtual void PopupKeyDown(uint16_t& Key, TShiftState Shift);
    virtual void StepItem(int Delta, bool Cycle) {
        (void)Delta;
        (void)Cycle;
    }
    virtual void DropDown() {}
    virtual void DoDropDown();
    virtual void SyncListSelection(const std::string& Text) { (void)Text; }

    // ---- Overrides ----
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    bool IsMouseWheelHandled() override { return true; }
    void SetMouseInside(bool Value) override;
    void AfterShowEdit() override;
    void Hide() override;
    void Show() override;
    bool IsFocused() override;
    void ActivateAtPoint(int X, int Y) override;
    void ActivateByClick() override;

    // ---- Non-virtual operations ----
    TvxPopupBorder GetPopupBorder();
    bool IsPopupVisible();
    void SetDroppedDown(bool Value);
    void SetHotButton(int Index);
    void ReleasePressedButton();
    // OnMouseUp of a list pop-up: a left release accepts inside the list, rejects outside.
    void ListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RefocusEdit();
    // A list opens only on the focused editor: takes the focus when it can; false when the
    // editor still has none.
    bool FocusForDropDown();

protected:
    TvxInplaceDropDownEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void WndProc(TMessage& Message) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;

    void SetPopupWindow(TWinControl* v) { popupWindow_ = v; }
    void SetIsDroppedDown(bool v) { isDroppedDown_ = v; }
    void SetEditKeepsFocus(bool v) { editKeepsFocus_ = v; }
    void SetEditTakesTyping(bool v) { editTakesTyping_ = v; }
    // The non-client area painted again (buttons).
    void RedrawButtons();
    const TvxInplaceDropDownEditClass& DropDownClass() const {
        return static_cast<const TvxInplaceDropDownEditClass&>(EditClass());
    }
    // How the list editors (image, pick, lookup) open their list, which leaves the focus in
    // the edit: the editor takes the focus first, OnDropDown hears of it, then Fill readies
    // the list (items, size, place) and answers whether there is anything to show.
    template <class List, class Fill>
    void DropDownList(List* list, Fill&& fill) {
        if (!FocusForDropDown()) return;
        DoDropDown();
        SetPopupWindow(list);
        if (!fill()) return;
        list->ShowList();
        SetIsDroppedDown(true);
        InvalidateEdit();
    }
    // And how they close it while it is open: a mouse the list holds lets go, the edit gets
    // the focus back and the list hides.
    template <class List>
    void CloseUpList(List* list) {
        CancelMouseCapture();
        RefocusEdit();
        list->HideList();
        SetIsDroppedDown(false);
        InvalidateEdit();
    }

private:
    static void CancelMouseCapture();
    void NCHitTest(TMessage& Message);
    // Closes an open pop-up once the editor can no longer be used (hidden, by itself, its
    // parent or its form, or disabled), leaving the focus where it went.
    void CloseUnusablePopup();

    int hotButtonIndex_ = -1;
    std::unique_ptr<TBitmap> buttonGlyph_;
    int dropDownRows_ = 7;
    int dropDownWidth_ = 0;
    bool immediateDropDown_ = true;
    bool immediatePopup_ = false;
    TAlignment popupAlignment_ = taLeftJustify;
    TvxPopupBorder popupBorder_ = pbDefault;
    int pressedButtonIndex_ = -1;
    TWinControl* popupWindow_ = nullptr;
    bool isDroppedDown_ = false;
    bool editKeepsFocus_ = true;
    bool editTakesTyping_ = false;
};

// Private messages of the drop-down editors.
inline constexpr UINT WM_VX_DROPDOWN = WM_APP + 102;
inline constexpr UINT WM_VX_CLOSEDUP = WM_APP + 101;
