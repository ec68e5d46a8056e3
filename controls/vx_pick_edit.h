#pragma once
// TvxInplacePickEdit: a text editor with suggested values. Typing completes the text with
// the first item that starts with what was typed (the completed part stays selected), the
// cursor keys and the wheel step through the items, and a pop-up list shows them all. With
// DropDownListStyle the text can only be one of the items.

#include <memory>
#include <string>

#include "controls/vx_drop_down_edit.h"
#include "controls/vx_popup_pick_list_box.h"
#include "platform/classes/string_list.h"

class TvxInplacePickEditClass : public TvxInplaceDropDownEditClass {
public:
    std::string ClassName() const override { return "TvxInplacePickEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplacePickEdit : public TvxInplaceDropDownEdit {
public:
    explicit TvxInplacePickEdit(TComponent* AOwner);
    ~TvxInplacePickEdit() override;
    static const TvxInplacePickEditClass& StaticClass();

    // ---- Properties ----
    bool DropDownListStyle() const { return dropDownListStyle_; }
    void SetDropDownListStyle(bool v);
    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* v) { items_->Assign(v); }
    bool ItemsSorted() const { return itemsSorted_; }
    void SetItemsSorted(bool v);
    bool CanDeleteText() const { return canDeleteText_; }
    void SetCanDeleteText(bool v) { canDeleteText_ = v; }
    bool Revertable() const { return revertable_; }
    void SetRevertable(bool v) { revertable_ = v; }
    int ItemIndex() const { return itemIndex_; }
    bool SearchActive() const { return searchActive_; }
    const std::string& SearchText() const { return searchText_; }
    TvxPopupPickListBox* PopupList() const { return popupList_; }

    void ClearSearch();
    virtual void ClearText();
    // Sets a different text and marks it modified.
    virtual void SetValueText(const std::string& Text);

    // ---- Overrides ----
    void SetEditValue(const Variant& Value) override;
    void FocusChanged(bool Entering) override;
    void ApplyReadOnly(bool Value) override;
    bool CanEditText() const override;
    bool IsResetClear() override { return false; }
    void CloseUp(bool Accept) override;
    void StepItem(int Delta, bool Cycle) override;
    void DropDown() override;
    void SyncListSelection(const std::string& Text) override;

protected:
    TvxInplacePickEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // Completes the text with the first item that starts with SearchText; the completed
    // part selected. Answers whether an item was found.
    bool FindAndApply();
    int TextLength() const;
    bool WholeTextSelected();
    void SelectFrom(int Start);
    void FillPickList();

private:
    bool dropDownListStyle_ = false;
    bool searchActive_ = false;
    std::string searchText_;
    int itemIndex_ = -1;
    std::unique_ptr<TStringList> items_;
    bool canDeleteText_ = false;
    TvxPopupPickListBox* popupList_ = nullptr;
    bool revertable_ = false;
    bool itemsSorted_ = false;
};
