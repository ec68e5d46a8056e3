#pragma once
// The list that drops down from a grid column's filter button: "(All)", "(Custom...)", the
// blank entries when the column has blanks, then the column's values. Choosing one sets
// the column's condition in the grid's filter.

#include "controls/vx_popup_pick_list_box.h"
#include "grid/filter/vx_db_grid_filter.h"

class TCustomvxDBGrid;
class TvxDBTreeListColumn;

class TvxDBGridFilterPopupListBox : public TCustomvxPopupPickListBox {
public:
    explicit TvxDBGridFilterPopupListBox(TCustomvxDBGrid* AGrid);
    std::string ClassName() const override { return "TvxDBGridFilterPopupListBox"; }

    TvxDBTreeListColumn* Column() const { return column_; }
    void SetColumn(TvxDBTreeListColumn* Value) { column_ = Value; }
    TvxDBGridFilterValues* FilterValues() { return &filterValues_; }
    // The item of the first value: 2, or 4 with the blank entries.
    int FirstValueItem() const { return firstValueItem_; }
    void SetFirstValueItem(int Value) { firstValueItem_ = Value; }

    // Hides the list; with Accept, the selected entry becomes the column's condition.
    void CloseUp(bool Accept);

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TCustomvxDBGrid* grid_;
    TvxDBTreeListColumn* column_ = nullptr;
    TvxDBGridFilterValues filterValues_;
    int firstValueItem_ = 2;
};
