#include "controls/vx_popup_pick_list_box.h"

#include "controls/vx_pick_edit.h"
#include "platform/forms/control_paint.h"
#include "platform/rtl/str_utils.h"
#include "platform/sync/clock.h"

int FindItemByPrefix(TStrings* Items, const std::string& Prefix) {
    if (!Items || Prefix.empty()) return -1;
    auto upper = [](const std::string& s) {
        std::u32string u = ToU32(s);
        for (char32_t& c : u) c = static_cast<char32_t>(AnsiUpperChar(c));
        return u;
    };
    const std::u32string p = upper(Prefix);
    for (int i = 0; i < Items->Count(); ++i) {
        const std::u32string item = upper(Items->Strings(i));
        if (item.compare(0, p.size(), p) == 0) return i;
    }
    return -1;
}

void TCustomvxPopupPickListBox::KeyPress(char32_t& Key) {
    if (Key == 8 || Key == 27) {
        listSearchText_.clear();
    } else if (Key >= 32 && Key <= 255) {
        const uint32_t now = GetTickCount();
        if (now - lastKeyTime_ > vxListSearchTimeout) listSearchText_.clear();
        lastKeyTime_ = now;
        std::u32string text = ToU32(listSearchText_);
        if (static_cast<int>(text.size()) < vxListSearchMaxLength) text.push_back(Key);
        int found = FindItemByPrefix(Items(), ToUtf8(text));
        if (found < 0) {
            text.pop_back();
        } else {
            SetItemIndex(found);
        }
        listSearchText_ = ToUtf8(text);
        Key = 0;
    }
    TCustomvxPopupListBox::KeyPress(Key);
}

void TvxPopupPickListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomvxPopupPickListBox::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (auto* e = dynamic_cast<TvxInplacePickEdit*>(Owner()))
        e->CloseUp(X >= 0 && Y >= 0 && X < Width() && Y < Height());
}
