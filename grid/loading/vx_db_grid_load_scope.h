#pragma once
// One load of the grid's rows from its table (every record, or a loaded run), from its begin
// to its end: meanwhile the grid is loading (what the table reports is the load's own doing);
// at the end, however it comes, ReloadEnded hears whether a raise broke the load off and how
// far its rows had got by then.

#include "grid/core/vx_db_grid.h"
#include "platform/rtl/scope_exit.h"

class TCustomvxDBGrid::TLoadScope {
public:
    explicit TLoadScope(TCustomvxDBGrid& Grid) : grid_(Grid) { grid_.loadingNodes_ = true; }
    ~TLoadScope() noexcept(false) {
        EndScope(scope_, [this](bool Broken) {
            grid_.loadingNodes_ = false;
            grid_.ReloadEnded(Broken, rows_);
        });
    }
    TLoadScope(const TLoadScope&) = delete;
    TLoadScope& operator=(const TLoadScope&) = delete;

    void Placed() { rows_ = TLoadedRows::Placed; }
    void Complete() { rows_ = TLoadedRows::Complete; }

private:
    TCustomvxDBGrid& grid_;
    TLoadedRows rows_ = TLoadedRows::Partial;
    TScopeBreak scope_;
};
