#pragma once
// The DB grid's own columns: the plain and the mask column, with the grouping and summary
// settings of the field-bound column published.

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/columns/vx_db_tree_list_mask_column.h"

class TvxDBGridColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBGridColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBGridColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override { return new TvxDBGridColumn(AOwner); }
};

class TvxDBGridMaskColumn : public TvxDBTreeListMaskColumn {
public:
    explicit TvxDBGridMaskColumn(TComponent* AOwner) : TvxDBTreeListMaskColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBGridMaskColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override { return new TvxDBGridMaskColumn(AOwner); }
};
