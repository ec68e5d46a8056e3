// The record window (one node per record of the data link's buffer, the dataset moving as
// the grid scrolls) and the partial load (a run of records loaded in buffers as the top row
// nears either end).

#include <algorithm>

#include "grid/core/vx_db_grid.h"
#include "grid/loading/vx_db_grid_load_scope.h"
#include "platform/classes/update_scope.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/win/scroll_bars.h"

namespace {
TvxDBGridNode* GridNode(TvxTreeListNode* Node) { return NodeAs<TvxDBGridNode>(Node); }

// Makes a buffer row the link's active record and restores the old one.
class TActiveRowScope {
public:
    TActiveRowScope(TDataLink* Link, int Row) : link_(Link), saved_(Link->ActiveRecord()) {
        link_->SetActiveRecord(Row);
    }
    ~TActiveRowScope() { link_->SetActiveRecord(saved_); }
    TActiveRowScope(const TActiveRowScope&) = delete;
    TActiveRowScope& operator=(const TActiveRowScope&) = delete;

private:
    TDataLink* link_;
    int saved_;
};
}  // namespace

// ---- Reading a buffer row ----

int TCustomvxDBGrid::CursorRow(TvxTreeListNode* Node) {
    if (!Node || Node->Parent() || !dataLink_->Active()) return -1;
    const int row = IndexOfRoot(Node);
    return row >= 0 && row < dataLink_->RecordCount() ? row : -1;
}

Variant TCustomvxDBGrid::CursorNodeValue(TvxTreeListNode* Node, int Column, bool Text) {
    const int row = CursorRow(Node);
    TvxDBTreeListColumn* column = GetColumn(Column);
    if (row < 0 || !column || !column->Field()) return Text ? Variant(std::string()) : Null();
    TActiveRowScope scope(dataLink_.get(), row);
    if (!Text) return column->Field()->Value();
    std::string text;
    column->GetDisplayText(Node, text);
    if (column->OnGetText) column->OnGetText(column, Node, text);
    return Variant(text);
}

Variant TCustomvxDBGrid::CursorPreview(TvxTreeListNode* Node) {
    const int row = CursorRow(Node);
    TField* field = PreviewField();
    if (row < 0 || !field) return Variant(std::string());
    TActiveRowScope scope(dataLink_.get(), row);
    std::string text;
    if (field->OnGetText)
        field->OnGetText(field, text, true);
    else
        text = field->Text();
    return Variant(CutPreviewText(text));
}

void TCustomvxDBGrid::BeginDrawNode(TvxTreeListNode* Node) {
    if (!IsCursorMode() || !dataLink_->Active()) return;
    if (drawNodeCount_++ == 0) savedActiveRecord_ = dataLink_->ActiveRecord();
    const int row = CursorRow(Node);
    if (row >= 0) dataLink_->SetActiveRecord(row);
}

void TCustomvxDBGrid::EndDrawNode(TvxTreeListNode*) {
    if (drawNodeCount_ == 0) return;
    if (--drawNodeCount_ == 0 && dataLink_->Active()) dataLink_->SetActiveRecord(savedActiveRecord_);
}

// ---- Nodes following the link's buffer ----

void TCustomvxDBGrid::SyncCursorNodes() {
    if (updatingScrollBars_ || !IsCursorMode()) return;
    updatingScrollBars_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{updatingScrollBars_};
    const bool active = dataLink_->Active();
    if (active && dataLink_->BufferCount() != PartlyVisibleRows()) dataLink_->SetBufferCount(PartlyVisibleRows());
    const int records = active ? dataLink_->RecordCount() : 0;
    const int wanted = std::max(1, HandleAllocated() && active ? records : 1);
    const int activeRow = active ? dataLink_->ActiveRecord() : 0;
    if (GetFocusedNode() && IndexOfRoot(GetFocusedNode()) != activeRow) CloseEditor();
    {
        TUpdateScope<TCustomvxTreeList> update(this);
        // The current record's row takes the focus also when a deletion handler raises.
        TScopeExit focus([this, activeRow] {
            if (GetCount() > 0) recordCursor_.FocusCurrentRecordRow(GetItem(std::clamp(activeRow, 0, GetCount() - 1)));
        });
        while (GetCount() < wanted) Add();
        TvxTreeListNode::FreeEach([this, wanted] { return GetCount() > wanted ? GetItem(GetCount() - 1) : nullptr; });
        if (TopVisibleNode() != GetItem(0)) SetTopVisibleNode(GetItem(0));
    }
    // The rows are the buffer's: whatever a load that broke off owed, they have.
    OwedRowsPaid();
}

void TCustomvxDBGrid::UpdateScrollBars() {
    TCustomvxDBTreeListControl::UpdateScrollBars();
    if (IsCursorMode()) {
        SyncCursorNodes();
    } else if (dataLink_->Active() && dataLink_->BufferCount() != 1) {
        dataLink_->SetBufferCount(1);
    }
}

void TCustomvxDBGrid::UpdateRowCounts() {
    if (!IsCursorMode()) {
        TCustomvxDBTreeListControl::UpdateRowCounts();
        return;
    }
    const int height = std::max(0, GetRectInfo().Rows.Height());
    cursorRowsHeight_ = -1;
    if (IsRowAutoHeight() && dataLink_->Active() && HandleAllocated()) {
        int partly = 0, wholly = 0;
        CountCursorRows(height, partly, wholly);
        SetVisibleRowCounts(std::max(1, partly), std::max(1, wholly));
        return;
    }
    const int row = std::max(1, GetRowHeight(nullptr, Metrics().RowHeightUnit, true));
    SetVisibleRowCounts((height + row - 1) / row, height / row);
}

void TCustomvxDBGrid::CountCursorRows(int Height, int& Partly, int& Wholly) {
    const int unit = Metrics().RowHeightUnit;
    int sum = 0, row = 0;
    int activeRow = dataLink_->ActiveRecord();
    Partly = Wholly = 0;
    while (sum < Height) {
        if (row >= dataLink_->RecordCount()) {
            // A buffer not filled up means the table has no more records.
            if (dataLink_->RecordCount() < dataLink_->BufferCount()) break;
            dataLink_->SetBufferCount(dataLink_->BufferCount() + 1);
            if (row >= dataLink_->RecordCount()) break;
            if (dataLink_->ActiveRecord() != activeRow) {
                // The buffer grew at its front (the table's end was in view): the rows
                // counted so far show other records now.
                activeRow = dataLink_->ActiveRecord();
                sum = row = Partly = Wholly = 0;
                continue;
            }
        }
        if (row >= GetCount()) {
            // A row measures the record of its place in the buffer. The new rows are not
            // laid out yet: the re-layout that follows the count does it.
            BeginUpdate();
            while (GetCount() <= row) Add();
            CancelUpdate();
        }
        const int h = GetRowHeight(GetItem(row), unit, true);
        ++Partly;
        if (sum + h <= Height) ++Wholly;
        sum += h;
        ++row;
    }
    cursorRowsHeight_ = sum;
}

int TCustomvxDBGrid::GetVisibleRowCount() {
    return IsCursorMode() ? PartlyVisibleRows() : TCustomvxDBTreeListControl::GetVisibleRowCount();
}

void TCustomvxDBGrid::GetVertScrollInfo(int& Min, int& Max, int& Page, int& Pos) {
    TDataSet* ds = DataSet();
    if (!IsCursorMode() || !dataLink_->Active() || !ds) {
        TCustomvxDBTreeListControl::GetVertScrollInfo(Min, Max, Page, Pos);
        return;
    }
    Min = 0;
    if (ds->Sequenced() && ds->RecordCount() >= 0) {
        Page = GetVisibleRowCount();
        Max = ds->RecordCount() + Page - 1;
        Pos = ds->State() < dsInsert ? std::max(0, ds->RecNo()) : 0;
        return;
    }
    Page = 0;
    Max = 4;
    Pos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
}

void TCustomvxDBGrid::GetRowsAreaRect(TRect& Rect) {
    TCustomvxDBTreeListControl::GetRowsAreaRect(Rect);
    if (!IsCursorMode() || !dataLink_->Active()) return;
    if (cursorRowsHeight_ >= 0) {
        Rect.Bottom = std::min(Rect.Bottom, Rect.Top + cursorRowsHeight_);
        return;
    }
    const int row = std::max(1, GetRowHeight(nullptr, Metrics().RowHeightUnit, true));
    Rect.Bottom = std::min(Rect.Bottom, Rect.Top + dataLink_->RecordCount() * row);
}

bool TCustomvxDBGrid::CanCacheRowHeights() {
    return !IsCursorMode() && TCustomvxDBTreeListControl::CanCacheRowHeights();
}

bool TCustomvxDBGrid::KeepScrollBars() {
    return TCustomvxDBTreeListControl::KeepScrollBars() || (IsCursorMode() && dataLink_->Active());
}

// ---- Moving through the dataset ----

bool TCustomvxDBGrid::IsFirstNode(TvxTreeListNode* Node) {
    TDataSet* ds = DataSet();
    if (IsCursorMode() && dataLink_->Active() && ds) return ds->Bof();
    const bool first = TCustomvxDBTreeListControl::IsFirstNode(Node);
    return IsPartialLoadMode() ? first && startReached_ : first;
}

bool TCustomvxDBGrid::IsLastNode(TvxTreeListNode* Node) {
    TDataSet* ds = DataSet();
    if (IsCursorMode() && dataLink_->Active() && ds) return ds->Eof();
    const bool last = TCustomvxDBTreeListControl::IsLastNode(Node);
    return IsPartialLoadMode() ? last && endReached_ : last;
}

bool TCustomvxDBGrid::IsFirstFocused() {
    TDataSet* ds = DataSet();
    if (IsCursorMode()) return !dataLink_->Active() || !ds || ds->Bof();
    const bool first = TCustomvxDBTreeListControl::IsFirstFocused();
    return IsPartialLoadMode() ? first && startReached_ : first;
}

bool TCustomvxDBGrid::IsLastFocused() {
    TDataSet* ds = DataSet();
    if (IsCursorMode()) return !dataLink_->Active() || !ds || ds->Eof();
    const bool last = TCustomvxDBTreeListControl::IsLastFocused();
    return IsPartialLoadMode() ? last && endReached_ : last;
}

TvxTreeListNode* TCustomvxDBGrid::GetNeighbourNode(TvxTreeListNode* Node, int Direction, bool AllNodes) {
    TDataSet* ds = DataSet();
    if (!IsCursorMode() || !dataLink_->Active() || !ds)
        return TCustomvxDBTreeListControl::GetNeighbourNode(Node, Direction, AllNodes);
    switch (Direction) {
        case 0: ds->First(); break;
        case 1:
            ds->Prior();
            if (ds->Bof()) return nullptr;
            break;
        case 2:
            ds->Next();
            if (ds->Eof()) return nullptr;
            break;
        case 3: ds->Last(); break;
        default: return nullptr;
    }
    return GetFocusedNode();
}

void TCustomvxDBGrid::SetFocusedAbsoluteNodeIndex(int Index) {
    TDataSet* ds = DataSet();
    if (IsCursorMode() && dataLink_->Active() && ds) {
        ds->MoveBy(Index - GetFocusedAbsoluteNodeIndex());
        return;
    }
    TCustomvxDBTreeListControl::SetFocusedAbsoluteNodeIndex(Index);
}

void TCustomvxDBGrid::WMVScroll(TMessage& Message) {
    TDataSet* ds = DataSet();
    if (!IsCursorMode() || !dataLink_->Active() || !ds) {
        TCustomvxDBTreeListControl::WMVScroll(Message);
        return;
    }
    if (!AcquireFocus()) return;
    CloseEditor();
    switch (static_cast<int>(LOWORD(Message.WParam))) {
        case SB_LINEUP: ds->MoveBy(-1 - dataLink_->ActiveRecord()); break;
        case SB_LINEDOWN: ds->MoveBy(dataLink_->RecordCount() - dataLink_->ActiveRecord()); break;
        case SB_PAGEUP: ds->MoveBy(-GetVisibleRowCount()); break;
        case SB_PAGEDOWN: ds->MoveBy(GetVisibleRowCount()); break;
        case SB_THUMBPOSITION: {
            if (ds->Sequenced() && ds->RecordCount() >= 0) {
                SCROLLINFO info;
                info.fMask = SIF_POS;
                FlatSB_GetScrollInfo(SB_VERT, info);
                const int p = info.nPos;
                if (p <= 1)
                    ds->First();
                else if (p < ds->RecordCount())
                    ds->SetRecNo(p);
                else
                    ds->Last();
            } else {
                switch (static_cast<int>(static_cast<int16_t>(HIWORD(Message.WParam)))) {
                    case 0: ds->First(); break;
                    case 1: ds->MoveBy(-GetVisibleRowCount()); break;
                    case 3: ds->MoveBy(GetVisibleRowCount()); break;
                    case 4: ds->Last(); break;
                    default: break;
                }
            }
            break;
        }
        case SB_TOP: ds->First(); break;
        case SB_BOTTOM: ds->Last(); break;
        default: break;
    }
}

// A wheel step is one record whatever the wheel's lines setting: the focused row follows the
// table rather than the rows scrolling away from it. The editor is closed first, so that
// what it holds goes to the record it was opened on.
void TCustomvxDBGrid::ScrollVertical(bool Up, int Count) {
    TDataSet* ds = DataSet();
    if (!IsCursorMode() || !dataLink_->Active() || !ds) {
        TCustomvxDBTreeListControl::ScrollVertical(Up, Count);
        return;
    }
    CloseEditor();
    if (Up)
        ds->Prior();
    else
        ds->Next();
}

// ---- Partial load ----

int TCustomvxDBGrid::PartialBufferSize() {
    const int row = std::max(1, GetRowHeight(nullptr, Metrics().RowHeightUnit, true));
    const int visible = std::max(0, GetRectInfo().Rows.Height()) / row + 1;
    return std::max(5 * visible, partialLoadBufferCount_);
}

TvxDBGridNode* TCustomvxDBGrid::AddPartialNode(bool Upwards, int RecordIndex, const TBookmark& Low,
                                               const TBookmark& High, bool Select) {
    TvxTreeListNode* node = Upwards ? InsertNode(GetItem(0)) : Add();
    auto* row = GridNode(node);
    row->GroupValue = Variant();
    LoadNodeData(row);
    row->RecordIndex = RecordIndex;
    if (!IsUseBookmarks()) {
        ReselectLoaded(row);
        return row;
    }
    TDataSet* ds = DataSet();
    const TBookmark bookmark = ds->Bookmark();
    if (!selectionAnchorBookmark_.empty() && ds->CompareBookmarks(bookmark, selectionAnchorBookmark_) == 0)
        partialAnchor_ = row;
    // A record selected while it had no row (outside the run then) shows selected on its row.
    int entry = 0;
    bool selected = InSavedSelection(bookmark) || (FindBookmark(bookmark, entry) && !SelectedBookmarkNode(entry));
    if (!selected && Select && !Low.empty() && ds->CompareBookmarks(bookmark, Low) >= 0 &&
        ds->CompareBookmarks(bookmark, High) <= 0)
        selected = DoCanNodeSelected(row);
    // The selection is kept in record order: the place is found, not assumed.
    if (selected) AddSelectedBookmark(bookmark, row);
    return row;
}

void TCustomvxDBGrid::KeepSavedSelection() {
    TDataSet* ds = DataSet();
    if (!IsUseBookmarks() || savedSelectionBookmarks_.empty() || !ds) return;
    // Both lists are in record order: one merge, the loaded rows' entries taken as they are.
    const std::vector<TBookmark>& selected = SelectedBookmarks();
    std::vector<TBookmark> bookmarks;
    std::vector<TvxTreeListNode*> rows;
    bookmarks.reserve(selected.size() + savedSelectionBookmarks_.size());
    rows.reserve(bookmarks.capacity());
    size_t i = 0, j = 0;
    while (i < selected.size() || j < savedSelectionBookmarks_.size()) {
        const int c = i == selected.size() ? 1
                      : j == savedSelectionBookmarks_.size()
                          ? -1
                          : ds->CompareBookmarks(selected[i], savedSelectionBookmarks_[j]);
        if (c <= 0) {
            bookmarks.push_back(selected[i]);
            rows.push_back(SelectedBookmarkNode(static_cast<int>(i)));
            ++i;
            if (c == 0) ++j;
        } else {
            if (ds->BookmarkValid(savedSelectionBookmarks_[j])) {
                bookmarks.push_back(savedSelectionBookmarks_[j]);
                rows.push_back(nullptr);
            }
            ++j;
        }
    }
    AssignSelectedBookmarks(std::move(bookmarks), std::move(rows));
}

bool TCustomvxDBGrid::InSavedSelection(const TBookmark& Bookmark) {
    TDataSet* ds = DataSet();
    if (savedSelectionBookmarks_.empty() || !ds) return false;
    auto it = std::lower_bound(savedSelectionBookmarks_.begin(), savedSelectionBookmarks_.end(), Bookmark,
                               [ds](const TBookmark& A, const TBookmark& B) { return ds->CompareBookmarks(A, B) < 0; });
    return it != savedSelectionBookmarks_.end() && ds->CompareBookmarks(*it, Bookmark) == 0;
}

void TCustomvxDBGrid::LoadPartialBuffer(int Direction, int TopMode, bool Select) {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return;
    TLoadScope load(*this);
    ++partialLoadLock_;
    TScopeExit unlock([this] { --partialLoadLock_; });
    loadedRecordCount_ = -1;
    // A buffer read on at either end leaves a run of records however it ends; a run read anew
    // is complete once read.
    const bool extending = Direction == 1 || Direction == 2;
    if (extending && !rowsOwed_) load.Complete();
    SetKeyFieldObject(!KeyField().empty() ? ds->FindField(KeyField()) : nullptr);
    const int size = PartialBufferSize();
    TUpdateScope<TCustomvxTreeList> update(this);
    TvxDBGridCursor::TTableWalk walk(recordCursor_, ds, TvxDBGridCursor::TWalk::Load);
    readingDataSet_ = true;
    struct Reading {
        bool& flag;
        ~Reading() { flag = false; }
    } reading{readingDataSet_};
    dataLink_->SetBufferCount(1);
    // The range a Select selects: between the anchor's record and the current one.
    TBookmark low, high;
    const TBookmark& current = walk.Start();
    auto widen = [ds](TBookmark& Low, TBookmark& High, const TBookmark& B) {
        if (B.empty()) return;
        if (Low.empty() || ds->CompareBookmarks(B, Low) < 0) Low = B;
        if (High.empty() || ds->CompareBookmarks(B, High) > 0) High = B;
    };
    if (Select) {
        widen(low, high, selectionAnchorBookmark_);
        widen(low, high, current);
    }
    partialAnchor_ = nullptr;
    auto* focused = GridNode(GetFocusedNode());
    int focusedIndex = -1;
    int runFirst = 0, runLast = 0;
    if (Direction == 1 && LoadedRun(runFirst, runLast)) {
        int number = runLast;
        if (focused) ds->MoveBy(runLast - focused->RecordIndex);
        for (int added = 0; added < size; ++added) {
            ds->Next();
            if (ds->Eof()) break;
            AddPartialNode(false, ++number, low, high, Select);
        }
        endReached_ = ds->Eof();
    } else if (Direction == 2 && LoadedRun(runFirst, runLast)) {
        int number = runFirst;
        if (focused) ds->MoveBy(runFirst - focused->RecordIndex);
        for (int added = 0; added < size; ++added) {
            ds->Prior();
            if (ds->Bof()) break;
            AddPartialNode(true, --number, low, high, Select);
        }
        startReached_ = ds->Bof();
    } else if (Direction == 3) {
        savedSelectionBookmarks_.clear();
        ClearNodes();
        ds->First();
        for (int number = 0; !ds->Eof(); ++number) {
            AddPartialNode(false, number, low, high, Select);
            ds->Next();
        }
        startReached_ = endReached_ = true;
    } else if (Direction == 0) {
        const int top = GetTopIndex();
        int distance = focused && top >= 0 ? GetAbsoluteIndex(focused) - top : 0;
        // One buffer, widened only to a range being selected: the cost follows what is
        // selected, not the table. Records selected before that fall outside the run stay
        // selected without a row instead of being dropped.
        const TBookmark& runLow = low;
        const TBookmark& runHigh = high;
        ClearNodes();
        if (ds->IsEmpty()) {
            startReached_ = endReached_ = true;
        } else {
            // Up to half a buffer (the current record counted), and on up to the run's lower
            // bound; then the rows are made from the top down, so that each one is appended.
            const int half = size / 2;
            int above = 0;
            while (above < half - 1 || (!runLow.empty() && ds->CompareBookmarks(ds->Bookmark(), runLow) > 0)) {
                ds->Prior();
                if (ds->Bof()) break;
                ++above;
            }
            startReached_ = ds->Bof();
            // The rest of the buffer below the current record (half a buffer at least), on
            // down to the run's upper bound, and from there half a buffer more at most.
            int limit = std::max(size, above + half), total = 0;
            TvxDBGridNode* currentRow = nullptr;
            for (int number = -above; !ds->Eof(); ++number) {
                const int toHigh = runHigh.empty() ? 1 : ds->CompareBookmarks(ds->Bookmark(), runHigh);
                if (number > 0 && total >= limit && toHigh > 0) break;
                TvxDBGridNode* row = AddPartialNode(false, number, low, high, Select);
                ++total;
                if (number == 0) currentRow = row;
                if (number >= 0 && toHigh == 0) limit = total + half;
                ds->Next();
            }
            endReached_ = ds->Eof();
            if (TopMode == 1) distance = 0;
            if (TopMode == 2) distance = std::max(0, PartlyVisibleRows() - 1);
            if (currentRow) {
                recordCursor_.FocusCurrentRecordRow(currentRow);
                focusedIndex = GetAbsoluteIndex(currentRow);
            }
        }
        if (focusedIndex >= 0) SetTopIndex(std::max(0, focusedIndex - distance));
        KeepSavedSelection();
    }
    SelectReloadedRows();
    // A reload keeps the anchor of a range being selected on its record's row or, when the
    // record has none now, on the row nearest to it (the range goes by the record).
    if (!partialAnchor_ && Direction == 0 && !selectionAnchorBookmark_.empty() && GetCount() > 0)
        partialAnchor_ = ds->CompareBookmarks(selectionAnchorBookmark_, current) < 0 ? GetItem(0)
                                                                                     : GetItem(GetCount() - 1);
    if (partialAnchor_) TCustomvxDBTreeListControl::SetSelectionAnchor(partialAnchor_);
    partialAnchor_ = nullptr;
    if (!extending) load.Complete();
}

bool TCustomvxDBGrid::LoadedRun(int& First, int& Last) {
    if (GetCount() == 0) return false;
    First = Last = GridNode(GetItem(0))->RecordIndex;
    for (int i = 1; i < GetCount(); ++i) {
        const int number = GridNode(GetItem(i))->RecordIndex;
        First = std::min(First, number);
        Last = std::max(Last, number);
    }
    return true;
}

void TCustomvxDBGrid::SetTopVisibleNode(TvxTreeListNode* Node) {
    TCustomvxDBTreeListControl::SetTopVisibleNode(Node);
    if (!IsPartialLoadMode() || !HandleAllocated() || partialLoadLock_ > 0 || loadingNodes_ || !Node) return;
    // More of the table is read with the table moving to it, which would end an insert or an
    // edit that code started (a new record's row scrolled into view): it waits for the table
    // to browse again.
    if (DataSetEditing()) return;
    const int index = GetAbsoluteIndex(Node);
    if (!startReached_ && index <= GetVisibleRowCount())
        LoadPartialBuffer(2, 0, false);
    else if (!endReached_ && index >= GetAbsoluteCount() - 2 * GetVisibleRowCount())
        LoadPartialBuffer(1, 0, false);
}
