#pragma once
// Page EI2: the extended system settings, the locking mode of each KV box at short-time
// release, kept in the box's own object dictionary (object 0x2200 sub-index 14).

#include <array>
#include <vector>

#include "app/pages/main_page.h"
#include "link/device_records.h"

class TPageEI2 : public TMainPage {
public:
    static constexpr int Index = 11;
    explicit TPageEI2(TMainPages& pages);

    // Each box row's mode editor gets its two door options (value 0 selected) and its check
    // box the swing-door caption.
    void FillDoorOptionLists();
    // Reads the locking word of every KV box of the device list into the rows; false, after
    // text 1210 naming the box, when one does not answer.
    bool ReadLockingWords();
    void Button1011Click();
    void Button1012Click();

    TLabel* Label1100;
    TAppButton* Button1011;
    TAppButton* Button1012;

    struct TBoxRow {
        TLabel* Label;             // Label1091..Label1098
        TAppImageEdit* ImageEdit;  // ImageEdit1091..ImageEdit1098
        TAppCheckEdit* CheckEdit;  // CheckEdit1091..CheckEdit1098
    };
    const std::vector<TBoxRow>& BoxRows() const { return boxRows_; }

private:
    std::vector<TBoxRow> boxRows_;
    std::array<TOdReply, 8> replies_{};
};
