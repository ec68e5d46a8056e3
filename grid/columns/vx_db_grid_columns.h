#pragma once
// The DB grid's column classes of every kind: each is the data-aware column of that kind
// under the grid's class name (the grouping and summary settings they publish are held by
// the field-bound column). The check column (vx_check_column.h) and the image column add
// the texts of the filter value list.

#include "grid/columns/vx_check_column.h"
#include "grid/columns/vx_db_blob_column.h"
#include "grid/columns/vx_db_button_column.h"
#include "grid/columns/vx_db_calc_column.h"
#include "grid/columns/vx_db_currency_column.h"
#include "grid/columns/vx_db_date_column.h"
#include "grid/columns/vx_db_graphic_column.h"
#include "grid/columns/vx_db_hyperlink_column.h"
#include "grid/columns/vx_db_image_column.h"
#include "grid/columns/vx_db_lookup_column.h"
#include "grid/columns/vx_db_memo_column.h"
#include "grid/columns/vx_db_pick_column.h"
#include "grid/columns/vx_db_spin_column.h"
#include "grid/columns/vx_db_time_column.h"
#include "grid/columns/vx_db_wrapper_column.h"
#include "grid/editors/vx_inplace_db_edits.h"

template <class TColumn, TvxEditClassName Name>
class TvxDBGridColumnOf : public TColumn {
public:
    explicit TvxDBGridColumnOf(TComponent* AOwner) : TColumn(AOwner) {}
    std::string ClassName() const override { return Name.Text; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override { return new TvxDBGridColumnOf(AOwner); }
};

using TvxDBGridButtonColumn = TvxDBGridColumnOf<TvxDBTreeListButtonColumn, "TvxDBGridButtonColumn">;
using TvxDBGridDateColumn = TvxDBGridColumnOf<TvxDBTreeListDateColumn, "TvxDBGridDateColumn">;
using TvxDBGridSpinColumn = TvxDBGridColumnOf<TvxDBTreeListSpinColumn, "TvxDBGridSpinColumn">;
using TvxDBGridLookupColumn = TvxDBGridColumnOf<TvxDBTreeListLookupColumn, "TvxDBGridLookupColumn">;
using TvxDBGridPickColumn = TvxDBGridColumnOf<TvxDBTreeListPickColumn, "TvxDBGridPickColumn">;
using TvxDBGridCalcColumn = TvxDBGridColumnOf<TvxDBTreeListCalcColumn, "TvxDBGridCalcColumn">;
using TvxDBGridBlobColumn = TvxDBGridColumnOf<TvxDBTreeListBlobColumn, "TvxDBGridBlobColumn">;
using TvxDBGridHyperLinkColumn = TvxDBGridColumnOf<TvxDBTreeListHyperLinkColumn, "TvxDBGridHyperLinkColumn">;
using TvxDBGridTimeColumn = TvxDBGridColumnOf<TvxDBTreeListTimeColumn, "TvxDBGridTimeColumn">;
using TvxDBGridCurrencyColumn = TvxDBGridColumnOf<TvxDBTreeListCurrencyColumn, "TvxDBGridCurrencyColumn">;
using TvxDBGridMemoColumn = TvxDBGridColumnOf<TvxDBTreeListMemoColumn, "TvxDBGridMemoColumn">;
using TvxDBGridGraphicColumn = TvxDBGridColumnOf<TvxDBTreeListGraphicColumn, "TvxDBGridGraphicColumn">;
using TvxDBGridMRUColumn = TvxDBGridColumnOf<TvxDBTreeListMRUColumn, "TvxDBGridMRUColumn">;
using TvxDBGridWrapperColumn = TvxDBGridColumnOf<TvxDBTreeListWrapperColumn, "TvxDBGridWrapperColumn">;

class TvxDBGridImageColumn : public TvxDBTreeListImageColumn {
public:
    explicit TvxDBGridImageColumn(TComponent* AOwner) : TvxDBTreeListImageColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBGridImageColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override { return new TvxDBGridImageColumn(AOwner); }
    // The description of a listed value (the text itself otherwise).
    void GetFilterDisplayText(std::string& Text) override { Text = DescriptionOf(Text); }
};
