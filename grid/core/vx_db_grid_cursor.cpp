#include "grid/core/vx_db_grid_cursor.h"

#include <algorithm>

#include "grid/core/vx_db_grid.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/scope_exit.h"

namespace {
int CompareKeys(const Variant& A, const Variant& B) { return TCustomvxDBTreeListControl::CompareVariants(A, B); }
}  // namespace

TvxDBGridNode* TvxDBGridCursor::RecordRowOf(TvxTreeListNode* Node) {
    while (Node && Node->Count() > 0) Node = Node->Items(0);
    return NodeAs<TvxDBGridNode>(Node);
}

bool TvxDBGridCursor::ShowsCurrentRecord(TvxTreeListNode* Node) {
    TvxDBGridNode* row = RecordRowOf(Node);
    TDataSet* ds = grid_->DataSet();
    if (!row || !ds || !ds->Active()) return false;
    if (TField* key = grid_->KeyFieldObject()) return CompareKeys(row->KeyValue, key->Value()) == 0;
    return TellsCurrentRecord() && ds->RecNo() == row->RecordIndex + 1;
}

bool TvxDBGridCursor::TellsCurrentRecord() {
    TDataSet* ds = grid_->DataSet();
    return grid_->KeyFieldObject() || (grid_->IsLoadAllMode() && ds && ds->Sequenced());
}

// ---- Table to focus ----

void TvxDBGridCursor::FocusGroupOrRecord(TvxTreeListNode* Node) {
    if (!Node) return;
    if (grid_->optionsBehavior_.Contains(edgoSeekDetail))
        if (TvxDBGridNode* row = RecordRowOf(Node)) Node = row;
    // The focus goes to the row also when a handler of the rows opened to show it raises.
    TScopeExit focus([Node] { Node->SetFocused(true); });
    Node->MakeVisible();
}

void TvxDBGridCursor::SyncFocusToCurrentRecord() {
    TCustomvxDBGrid& grid = *grid_;
    TField* key = grid.KeyFieldObject();
    TDataSet* ds = grid.DataSet();
    if (!key || !grid.Has(egoCanNavigation) || grid.loadingNodes_ || grid.IsCursorMode() || !ds || !ds->Active() ||
        ds->IsEmpty())
        return;
    const Variant k = key->Value();
    auto isCurrent = [&k](TvxTreeListNode* Node) {
        TvxDBGridNode* row = RecordRowOf(Node);
        return row && CompareKeys(row->KeyValue, k) == 0;
    };
    TEchoGuard echo(*this);
    if (grid.groupColumns_.empty()) {
        for (int i = 0; i < grid.GetCount(); ++i)
            if (isCurrent(grid.GetItem(i))) {
                FocusGroupOrRecord(grid.GetItem(i));
                return;
            }
        return;
    }
    TvxTreeListNode* g = nullptr;
    for (int level = 0; level < grid.GroupColumnCount(); ++level) {
        TvxTreeListNode* found = nullptr;
        TField* field = grid.groupColumns_[static_cast<size_t>(level)]->Field();
        if (!field || !grid.FindGroupNode(g, level, field->Value(), 0, found) || found->Count() == 0) return;
        g = found;
    }
    if (isCurrent(g)) {
        // The group's first record is current: its own row keeps a focus it has, else the
        // group row takes it (the outermost one still showing it, when the group is closed).
        TvxTreeListNode* first = g->Items(0);
        if (first && first->Focused()) {
            FocusGroupOrRecord(first);
            return;
        }
        while (g->Parent() && !g->IsVisible() && isCurrent(g->Parent())) g = g->Parent();
        FocusGroupOrRecord(g);
        return;
    }
    for (int i = 0; i < g->Count(); ++i)
        if (isCurrent(g->Items(i))) {
            FocusGroupOrRecord(g->Items(i));
            return;
        }
}

void TvxDBGridCursor::FocusCurrentRecordRow(TvxTreeListNode* Row) {
    if (!Row) return;
    TEchoGuard echo(*this);
    grid_->TCustomvxDBTreeListControl::ChangeFocus(Row, grid_->GetFocusedColumn(), false);
}

void TvxDBGridCursor::TableMoved() {
    if (!Echoing()) SyncFocusToCurrentRecord();
}

void TvxDBGridCursor::FocusQuietly(TvxTreeListNode* Node) {
    TEchoGuard echo(*this);
    Node->SetFocused(true);
}

// ---- Focus to table ----

void TvxDBGridCursor::MoveFocus(TvxTreeListNode* Node, int Column, bool MakeVisible) {
    TCustomvxDBGrid& grid = *grid_;
    TDataSet* ds = grid.DataSet();
    if (grid.IsCursorMode()) {
        // The rows are the link's buffer: the table moves by the rows between, and the focus
        // goes to the row of the record it reached.
        const int row = grid.CursorRow(Node);
        const int active = grid.dataLink_->ActiveRecord();
        if (!Echoing() && ds && row >= 0 && row != active) {
            ds->MoveBy(row - active);
            Node = grid.GetItem(std::clamp(grid.dataLink_->ActiveRecord(), 0, std::max(0, grid.GetCount() - 1)));
            TEchoGuard echo(*this);
            grid.TCustomvxDBTreeListControl::ChangeFocus(Node, Column, MakeVisible);
            return;
        }
        grid.TCustomvxDBTreeListControl::ChangeFocus(Node, Column, MakeVisible);
        return;
    }
    if (NodeAs<TvxDBGridNode>(Node) && !grid.loadingNodes_ && !Echoing() && Node != grid.GetFocusedNode() && ds &&
        ds->Active() && grid.Has(egoCanNavigation)) {
        if (grid.IsUpdateLocked()) {
            // The rows may be changing under the update: the table follows once it is over.
            if (grid.IsLoadAllMode()) owed_ = true;
        } else {
            if (grid.DataSetEditing() && !(Node = PostBeforeLeavingRow(Node))) return;
            TvxDBGridNode* row = RecordRowOf(Node);
            if (row && !grid.DataSetEditing() && !MoveTableTo(Node, row)) {
                // The table's move reloaded the rows (a partial load reads the run around the
                // record reached), and the load focused that record's row.
                Node = grid.GetFocusedNode();
                if (!Node) return;
            }
        }
    }
    grid.TCustomvxDBTreeListControl::ChangeFocus(Node, Column, MakeVisible);
}

bool TvxDBGridCursor::MoveTableTo(TvxTreeListNode* Node, TvxDBGridNode* Row) {
    TCustomvxDBGrid& grid = *grid_;
    TEchoGuard echo(*this);
    bool kept = false;
    {
        grid.WatchNode(Node);
        TScopeExit unwatch([&] { kept = grid.UnwatchNode(Node); });
        MoveDataSetToNode(Row);
    }
    return kept;
}

bool TvxDBGridCursor::MoveDataSetToNode(TvxTreeListNode* Node) {
    TCustomvxDBGrid& grid = *grid_;
    TDataSet* ds = grid.DataSet();
    TvxDBGridNode* row = RecordRowOf(Node);
    if (!ds || !row) return false;
    TTableWalk move(*this);
    const bool numbered = grid.IsLoadAllMode() && ds->Sequenced();
    TvxDBGridNode* focused = RecordRowOf(grid.GetFocusedNode());
    // The row may go with the table's move (a partial load reloading its run): its key and
    // number are read before.
    if (grid.IsUseLocate() || (!focused && !numbered))
        return !grid.KeyField().empty() && ds->Locate(grid.KeyField(), Variant(row->KeyValue), {});
    if (numbered) {
        // Every record has its row, numbered as the load read them: the number reaches the
        // record from wherever the table stands, where a move by the distance between two
        // rows lands right only when the table stood on the first row's record.
        const int number = row->RecordIndex + 1;
        ds->SetRecNo(number);
        return ds->RecNo() == number;
    }
    const int distance = row->RecordIndex - focused->RecordIndex;
    return ds->MoveBy(distance) == distance;
}

TvxTreeListNode* TvxDBGridCursor::PostBeforeLeavingRow(TvxTreeListNode* Node) {
    TCustomvxDBGrid& grid = *grid_;
    const Variant key = NodeAs<TvxDBGridNode>(Node)->KeyValue;
    const int level = Node->Level();
    bool kept = false;
    {
        grid.WatchNode(Node);
        TScopeExit unwatch([&] { kept = grid.UnwatchNode(Node); });
        grid.DataSet()->Post();
    }
    if (kept) return Node;
    if (key.IsEmpty()) return nullptr;
    for (TvxTreeListNode* n = grid.GetFirstNode(); n; n = n->GetNext())
        if (n->Level() == level && CompareKeys(NodeAs<TvxDBGridNode>(n)->KeyValue, key) == 0) return n;
    return nullptr;
}

void TvxDBGridCursor::FollowFocus() {
    if (grid_->loadingNodes_ || Echoing() || !grid_->IsLoadAllMode()) return;
    if (grid_->SelectionBatchCount() > 0)
        owed_ = true;
    else
        MoveTableToFocus();
}

void TvxDBGridCursor::BatchEnded() {
    if (owed_) {
        owed_ = false;
        MoveTableToFocus();
    }
}

void TvxDBGridCursor::MoveTableToFocus() {
    TCustomvxDBGrid& grid = *grid_;
    TDataSet* ds = grid.DataSet();
    if (!grid.IsLoadAllMode() || grid.loadingNodes_ || Echoing() || !grid.Has(egoCanNavigation) || !ds ||
        !ds->Active() || !grid.dataLink_->Active() || grid.DataSetEditing())
        return;
    TvxDBGridNode* row = RecordRowOf(grid.GetFocusedNode());
    if (!row || ShowsCurrentRecord(row)) return;
    TEchoGuard echo(*this);
    MoveDataSetToNode(row);
}

// ---- The grid's own walks ----

TvxDBGridCursor::TTableWalk::TTableWalk(TvxDBGridCursor& Cursor, TDataSet* Table, TWalk Kind)
    : cursor_(Cursor), table_(Table), kind_(Kind) {
    if (Table) {
        Table->DisableControls();
        TScopeExit undo([Table](bool Broken) {
            if (Broken) Table->EnableControls();
        });
        const TDataSetState state = Table->State();
        if (Kind == TWalk::Load && (state == dsEdit || state == dsInsert || state == dsSetKey)) Table->Cancel();
        start_ = Table->Bookmark();
        bof_ = Table->Bof();
        eof_ = Table->Eof();
    }
    ++Cursor.walks_;
}

TvxDBGridCursor::TTableWalk::~TTableWalk() noexcept(false) {
    EndScope(scope_, [this](bool Broken) { End(Broken); });
}

void TvxDBGridCursor::TTableWalk::End(bool Broken) {
    // A move broken off may have moved the table; a walk there and back strays only where the
    // way back is refused.
    bool strayed = Broken && !table_;
    TScopeExit leave([this, &strayed] { Leave(strayed); });
    if (!table_) return;
    TScopeExit enable([this, &strayed] {
        if (EndsBeforeControls()) Leave(strayed);
        table_->EnableControls();
    });
    strayed = true;
    if (end_ == TEnd::Start) {
        if (!start_.empty() && table_->BookmarkValid(start_)) table_->GotoBookmark(start_);
        if (bof_ && !table_->Bof()) table_->Prior();
        if (eof_ && !table_->Eof()) table_->Next();
    } else if (end_ == TEnd::Record) {
        if (!back_.empty() && table_->BookmarkValid(back_)) table_->GotoBookmark(back_);
    }
    strayed = false;
}

void TvxDBGridCursor::TTableWalk::Leave(bool Strayed) {
    if (left_) return;
    left_ = true;
    --cursor_.walks_;
    if (Strayed) cursor_.strayed_ = true;
    if (cursor_.walks_ == 0 && !cursor_.grid_->loadingNodes_) cursor_.CatchUpWithTable();
}

void TvxDBGridCursor::CatchUpWithTable() {
    if (!strayed_) return;
    strayed_ = false;
    TCustomvxDBGrid& grid = *grid_;
    if (!grid.IsPartialLoadMode()) {
        SyncFocusToCurrentRecord();
        return;
    }
    // A loaded run is read again around the record, which focuses its row: scrolled to from
    // a focus elsewhere, the run would read on from the focused row's record, which the table
    // is not on.
    if (grid.dataLink_->Active() && !grid.DataSetEditing() && !ShowsCurrentRecord(grid.GetFocusedNode()))
        grid.LoadPartialBuffer(0, 0, false);
}

// ---- The grid's hook ----

void TCustomvxDBGrid::ChangeFocus(TvxTreeListNode* Node, int Column, bool MakeVisible) {
    recordCursor_.MoveFocus(Node, Column, MakeVisible);
}
