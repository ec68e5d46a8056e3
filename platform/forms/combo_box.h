#pragma once
// TComboBox: an edit field (csDropDown) or a fixed choice (csDropDownList) with a list that
// drops down below it. Up and Down step through the items, Alt+Down or F4 opens the list,
// Enter takes the highlighted item and Esc closes the list; a click on an item picks it. A
// pick by the user fires OnChange, OnSelect and OnClick; setting ItemIndex by code fires
// nothing.

#include <memory>

#include "platform/classes/string_list.h"
#include "platform/forms/edit.h"
#include "platform/forms/list_box.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox;

// The list that drops down (a pop-up window; see popup_window.h).
class TComboDropList;

class TComboBox : public TCustomEdit {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    std::string ClassName() const override { return "TComboBox"; }

    TStrings* Items() { return items_.get(); }
    void SetItems(TStrings* v) { items_->Assign(v); }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle v);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int v) { dropDownCount_ = v < 1 ? 1 : v; }
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool v) { items_->SetSorted(v); }
    int ItemHeight() const { return itemHeight_; }
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    // The drop-down window while open (tests and the UI driver click into it).
    HWND DropDownHandle() const;
    // An item's rectangle in the drop-down's client coordinates.
    TRect DropDownItemRect(int Index) const;
    // The item the open list highlights.
    int DropDownHighlight() const;
    void Clear();

    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    friend class TComboDropList;
    void Paint() override;
    int TextAreaWidth() override;
    bool CanModify() const override;
    void Change() override;
    void SetTextValue(const std::string& v) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMKillFocus(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CreateParams(TCreateParams& Params) override;
    // The user picked an item: show it and fire the events.
    void SelectByUser(int Index);

private:
    void ItemsChanged();
    void ShowItemText();
    void Closed(bool take);
    TRect ButtonRect();

    std::unique_ptr<TStringList> items_;
    std::unique_ptr<TComboDropList> list_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int itemHeight_ = 13;
    bool internalText_ = false;
    bool buttonPushed_ = false;
};
