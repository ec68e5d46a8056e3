#pragma once
// TListBox: a scrolling list of strings with one selected item (ItemIndex, -1 for none).
// lbOwnerDrawFixed leaves the drawing of each item to OnDrawItem on Canvas(). A click or
// a key that changes the selection fires OnClick; typing a letter selects the next item
// that starts with it.

#include <functional>
#include <memory>

#include "platform/classes/string_list.h"
#include "platform/forms/win_control.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
using TOwnerDrawState = TSmallSet<TOwnerDrawStateItem>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TListBox : public TCustomControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;
    std::string ClassName() const override { return "TListBox"; }

    TStrings* Items() { return items_.get(); }
    void SetItems(TStrings* v) { items_->Assign(v); }
    int Count() const { return items_->Count(); }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int v);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle v);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool v) { items_->SetSorted(v); }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    void Clear() { items_->Clear(); }
    // Item under a client point (-1 when none; with Existing false the nearest row).
    int ItemAtPos(TPoint p, bool Existing);
    TRect ItemRect(int Index);
    bool Selected(int Index) const { return Index == itemIndex_ && Index >= 0; }
    void SetSelected(int Index, bool v);
    void MakeVisible(int Index);

    TDrawItemEvent OnDrawItem;

protected:
    void Paint() override;
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void WMVScroll(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    int VisibleRows();
    // Selects by the user: scrolls it into view and fires OnClick when it changed.
    void SelectByUser(int Index);

private:
    void ItemsChanged();
    void UpdateScrollBar();
    std::unique_ptr<TStringList> items_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    int itemHeight_ = 13;
    TListBoxStyle style_ = lbStandard;
    TBorderStyle borderStyle_ = bsSingle;
    bool tracking_ = false;
};
