#pragma once
// The DB grid's data link: a focus request for a field goes to the column bound to it, and
// a layout change of the dataset re-lays out the grid without regrouping it on the way.

#include "grid/core/vx_db_tree_list_data_link.h"

class TCustomvxDBGrid;

class TvxGridDataLink : public TvxDBTreeListControlDataLink {
public:
    explicit TvxGridDataLink(TCustomvxDBGrid* AGrid);
    std::string ClassName() const override { return "TvxGridDataLink"; }
    TCustomvxDBGrid* Grid() const { return grid_; }

protected:
    void FocusControl(TField** Field) override;
    void LayoutChanged() override;

private:
    TCustomvxDBGrid* grid_;
};
