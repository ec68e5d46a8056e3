#include "grid/core/vx_grid_data_link.h"

#include "grid/core/vx_db_grid.h"
#include "platform/db/field.h"
#include "platform/rtl/scope_exit.h"

TvxGridDataLink::TvxGridDataLink(TCustomvxDBGrid* AGrid) : TvxDBTreeListControlDataLink(AGrid), grid_(AGrid) {}

void TvxGridDataLink::FocusControl(TField** Field) {
    if (!Field || !*Field || !grid_ || !grid_->Has(egoCanNavigation)) return;
    if (!grid_->IsCursorMode()) {
        // A group row hands the focus to its first record's row, whose field is to be edited.
        TvxTreeListNode* node = TvxDBGridCursor::RecordRowOf(grid_->GetFocusedNode());
        if (node && node != grid_->GetFocusedNode()) {
            node->SetFocused(true);
            node->MakeVisible();
        }
    }
    if (grid_->Has(egoRowSelect)) return;
    if (grid_->CanFocus()) grid_->FocusColumnByField(*Field);
    TvxDBTreeListColumn* focused = grid_->GetColumn(grid_->GetAbsoluteColumnIndex(grid_->GetFocusedColumn()));
    if (focused && focused->Field() == *Field && grid_->AcquireFocus()) {
        *Field = nullptr;
        grid_->ShowEditor();
    }
}

void TvxGridDataLink::LayoutChanged() {
    if (!grid_) {
        TvxDBTreeListControlDataLink::LayoutChanged();
        return;
    }
    if (!grid_->IsCursorMode()) {
        {
            grid_->BeginGroupRebuild();
            TScopeExit rebuilt([this] {
                grid_->suppressRegroup_ = true;
                TScopeExit regroup([this] { grid_->suppressRegroup_ = false; });
                grid_->EndGroupRebuild();
            });
            grid_->RefreshLayout();
        }
        if (grid_->GroupRebuildLock() == 0) TvxDBTreeListControlDataLink::LayoutChanged();
        return;
    }
    grid_->RefreshLayout();
    TvxDBTreeListControlDataLink::LayoutChanged();
}
