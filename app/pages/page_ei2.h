#pragma once
// Page EI2: the extended system settings, with a row for each box (the rows come with the
// settings pages).

#include "app/pages/main_page.h"
#include <vector>

class TPageEI2 : public TMainPage {
public:
    static constexpr int Index = 11;
    explicit TPageEI2(TForm1& form);

    // Each box row's mode editor gets its two door options (value 0 selected) and its check
    // box the swing-door caption.
    void FillDoorOptionLists();

    TLabel* Label1101;

private:
    struct TBoxRow {
        TAppImageEdit* ImageEdit;  // ImageEdit1091..ImageEdit1098
        TAppCheckEdit* CheckEdit;  // CheckEdit1091..CheckEdit1098
    };
    std::vector<TBoxRow> boxRows_;
};
