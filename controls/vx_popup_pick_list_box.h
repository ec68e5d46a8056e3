#pragma once
// The list that drops down from the pick editor (and, later, the grid's filter drop-down).
// When the list itself has the keyboard, typed characters search it: the characters typed
// within 2000 ms of each other (at most 32) select the first item that begins with them.

#include <cstdint>
#include <string>

#include "controls/vx_popup_list_box.h"

inline constexpr uint32_t vxListSearchTimeout = 2000;
inline constexpr int vxListSearchMaxLength = 32;

// The first item of Items that begins with Prefix, ignoring case; -1 for none or an empty
// prefix.
int FindItemByPrefix(TStrings* Items, const std::string& Prefix);

class TCustomvxPopupPickListBox : public TCustomvxPopupListBox {
public:
    explicit TCustomvxPopupPickListBox(TComponent* AOwner) : TCustomvxPopupListBox(AOwner) {}
    std::string ClassName() const override { return "TCustomvxPopupPickListBox"; }

    const std::string& ListSearchText() const { return listSearchText_; }

protected:
    void KeyPress(char32_t& Key) override;

private:
    std::string listSearchText_;
    uint32_t lastKeyTime_ = 0;
};

class TvxInplacePickEdit;

class TvxPopupPickListBox : public TCustomvxPopupPickListBox {
public:
    explicit TvxPopupPickListBox(TComponent* AOwner) : TCustomvxPopupPickListBox(AOwner) {}
    std::string ClassName() const override { return "TvxPopupPickListBox"; }

protected:
    // A left release closes the owning editor's list, accepting inside the list.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};
