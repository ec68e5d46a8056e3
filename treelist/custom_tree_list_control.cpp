#include "treelist/custom_tree_list_control.h"

#include <algorithm>
#include <map>

#include "controls/vx_inplace_edit.h"
#include "controls/vx_text_edit.h"
#include "platform/forms/form.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/image_list.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/math_utils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/virtual_keys.h"
#include "treelist/tree_list_paint.h"
#include "treelist/tree_list_unit.h"

namespace {

TvxTreeListTextNode* TextNode(TvxTreeListNode* Node) { return NodeAs<TvxTreeListTextNode>(Node); }

// Every node of the tree, parents before children.
template <class F>
void ForEachNode(TCustomvxTreeList& tl, F&& f) {
    std::vector<TvxTreeListNode*> stack;
    for (int i = tl.GetCount() - 1; i >= 0; --i) stack.push_back(tl.GetItem(i));
    while (!stack.empty()) {
        TvxTreeListNode* node = stack.back();
        stack.pop_back();
        f(node);
        for (int i = node->Count() - 1; i >= 0; --i) stack.push_back(node->Items(i));
    }
}

// The level indent of the tree part, per level.
constexpr int kLevelIndent = 16;

}  // namespace

TCustomvxTreeListControl::TCustomvxTreeListControl(TComponent* AOwner)
    : TCustomvxTreeList(AOwner), bands_(std::make_unique<TvxTreeListBands>(nullptr)) {
    // The first band is made before the bands know the control, so making it runs no layout.
    bands_->Add();
    bands_->SetTreeList(this);
}

TCustomvxTreeListControl::~TCustomvxTreeListControl() {
    SaveStoredLayout();
    Destroying();
    RunOrReport([this] { CloseEditor(); });
    // The nodes go while the columns still stand: a deletion handler may read a node's cells,
    // which the base could only answer with an abstract-method error.
    RunOrReport([this] { ClearNodes(); });
    ClearCache();
    DestroyColumns();
    bands_->SetTreeList(nullptr);
    bands_.reset();
    sortedColumns_.clear();
}

void TCustomvxTreeListControl::Loaded() {
    TCustomvxTreeList::Loaded();
    NormalizePlacement();
    RestoreSortedColumns();
    LoadStoredLayout();
}

void TCustomvxTreeListControl::SetParent(TWinControl* AParent) {
    TCustomvxTreeList::SetParent(AParent);
    if (!AParent) return;
    if (TCustomForm* form = GetParentForm(this)) parentFormName_ = form->Name();
}

void TCustomvxTreeListControl::CMFontChanged(TMessage& Message) {
    TCustomvxTreeList::CMFontChanged(Message);
    BeginUpdate();
    for (TvxTreeListColumn* column : columns_) column->SyncFontWithControl();
    EndUpdate();
}

// ---- Header rows and default layout ----

void TCustomvxTreeListControl::SetBandMaxRowCount(int Value) {
    bandMaxRowCount_ = std::max(1, Value);
    SetBandRowCount(bandRowCount_);
}

void TCustomvxTreeListControl::SetBandRowCount(int Value) {
    Value = std::min(std::max(1, Value), bandMaxRowCount_);
    if (Value == bandRowCount_) return;
    bandRowCount_ = Value;
    BandsChanged();
}

void TCustomvxTreeListControl::SetHeaderPanelMaxRowCount(int Value) {
    headerPanelMaxRowCount_ = std::max(1, Value);
    SetHeaderPanelRowCount(headerPanelRowCount_);
}

void TCustomvxTreeListControl::SetHeaderPanelRowCount(int Value) {
    Value = std::min(std::max(1, Value), headerPanelMaxRowCount_);
    if (Value == headerPanelRowCount_) return;
    headerPanelRowCount_ = Value;
    if (!autoRowCountBusy_) ClearAutoHeaderPanelHeight();
    if (Value > 1) defaultLayout_ = false;
    NormalizePlacement();
    ColumnsUpdated();
}

void TCustomvxTreeListControl::SetHeaderMinRowCount(int Value) {
    Value = std::max(1, Value);
    if (Value == headerMinRowCount_) return;
    headerMinRowCount_ = Value;
    ColumnsUpdated();
}

int TCustomvxTreeListControl::GetHeaderMinRowCount() {
    return std::max(headerMinRowCount_, TCustomvxTreeList::GetHeaderMinRowCount());
}

void TCustomvxTreeListControl::SetDefaultLayout(bool Value) {
    if (defaultLayout_ == Value) return;
    defaultLayout_ = Value;
    if (Value) ResetToDefaultLayout();
}

void TCustomvxTreeListControl::ResetToDefaultLayout() {
    BeginUpdate();
    SetShowBands(false);
    SetHeaderPanelRowCount(1);
    // One announcement for the whole change: each deletion on its own would pass through
    // two or more bands and end the default layout being restored.
    bands_->BeginUpdate();
    while (bands_->Count() > 1) bands_->Delete(bands_->Count() - 1);
    if (bands_->Count() == 0) bands_->Add();
    bands_->Items(0)->SetVisible(true);
    bands_->EndUpdate();
    for (TvxTreeListColumn* column : columns_) column->SetBandIndex(0);
    EndUpdate();
}

void TCustomvxTreeListControl::ClearAutoHeaderPanelHeight() {
    TvxTreeListOptionsEx options = OptionsEx();
    if (!options.Contains(TvxTLOptionEx::AutoHeaderPanelHeight)) return;
    SetOptionsEx(options.Exclude(TvxTLOptionEx::AutoHeaderPanelHeight));
}

void TCustomvxTreeListControl::BandsChanged() {
    if (IsAutoHeaderPanelHeight()) {
        BeginUpdate();
        AdjustHeaderPanelRowCount();
        EndUpdate();
    } else {
        RefreshLayout();
    }
}

void TCustomvxTreeListControl::AdjustHeaderPanelRowCount() {
    int rows = 0;
    bool any = false;
    for (int i = 0; i < ColumnCount(); ++i)
        if (IsColumnVisible(i)) {
            any = true;
            rows = std::max(rows, columns_[static_cast<size_t>(i)]->StoredRowIndex() + 1);
        }
    if (!any) return;
    const bool busy = autoRowCountBusy_;
    autoRowCountBusy_ = true;
    // Setting the count closes empty rows, which can lower the stored rows; follow until
    // the count is what the columns use (stored rows only ever move up, so this ends).
    while (rows != headerPanelRowCount_) {
        SetHeaderPanelRowCount(rows);
        int used = 0;
        for (int i = 0; i < ColumnCount(); ++i)
            if (IsColumnVisible(i)) used = std::max(used, columns_[static_cast<size_t>(i)]->StoredRowIndex() + 1);
        if (used >= rows || headerPanelRowCount_ != rows) break;
        rows = used;
    }
    autoRowCountBusy_ = busy;
}

// ---- Columns ----

TvxTreeListColumn* TCustomvxTreeListControl::Columns(int Index) const {
    return ValidColumn(Index) ? columns_[static_cast<size_t>(Index)] : nullptr;
}

TvxTreeListColumn* TCustomvxTreeListControl::VisibleColumns(int VisibleIndex) const {
    for (TvxTreeListColumn* column : columns_)
        if (column->Visible() && VisibleIndex-- == 0) return column;
    return nullptr;
}

TvxTreeListColumn* TCustomvxTreeListControl::SortedColumns(int Index) const {
    return Index >= 0 && Index < SortedColumnCount() ? sortedColumns_[static_cast<size_t>(Index)] : nullptr;
}

TvxTreeListColumn* TCustomvxTreeListControl::FindColumnByName(const std::string& Name) const {
    for (TvxTreeListColumn* column : columns_)
        if (SameText(column->Name(), Name)) return column;
    return nullptr;
}

TvxTreeListColumn* TCustomvxTreeListControl::CreateColumn(const std::function<TvxTreeListColumn*(TComponent*)>& Make,
                                                          TComponent* Owner) {
    CheckCanAddColumn();
    TvxTreeListColumn* column = Make(Owner ? Owner : this);
    for (int n = ColumnCount() + 1;; ++n) {
        try {
            column->SetName(Name() + "Column" + std::to_string(n));
            break;
        } catch (const EComponentError&) {
            // taken: try the next number
        }
    }
    AddColumn(column);
    return column;
}

void TCustomvxTreeListControl::AddColumn(TvxTreeListColumn* Column) {
    if (!Column || Column->treeList_ == this) return;
    CheckCanAddColumn();
    if (Column->treeList_) Column->treeList_->RemoveColumn(Column);
    columns_.push_back(Column);
    Column->treeList_ = this;
    Column->TreeListChanged();
    ColumnChanged(nullptr);
}

void TCustomvxTreeListControl::RemoveColumn(TvxTreeListColumn* Column) {
    auto it = std::find(columns_.begin(), columns_.end(), Column);
    if (it == columns_.end()) return;
    Column->treeList_ = nullptr;
    Column->TreeListChanged();
    columns_.erase(it);
    RemoveSortedColumn(Column);
    DropPlacementCaches();
    if (!IsDestroying()) ColumnChanged(nullptr);
}

void TCustomvxTreeListControl::DestroyColumns() {
    while (!columns_.empty()) {
        TvxTreeListColumn* column = columns_.back();
        RemoveColumn(column);
        delete column;
    }
}

void TCustomvxTreeListControl::DestroyColumn(TvxTreeListColumn* Column) {
    // The column's destructor drops its cells and takes it out of the list.
    if (Column && Column->GetTreeList() == this) delete Column;
}

void TCustomvxTreeListControl::AssignColumns(TCustomvxTreeListControl* Source) {
    if (!Source || Source == this) return;
    CheckCanAddColumn();
    BeginUpdate();
    DestroyColumns();
    for (int i = 0; i < Source->ColumnCount(); ++i) {
        TvxTreeListColumn* from = Source->Columns(i);
        TComponent* owner = columns_.empty() ? static_cast<TComponent*>(this) : columns_.front()->Owner();
        TvxTreeListColumn* column = from->CreateOfSameClass(owner);
        AddColumn(column);
        column->Assign(from);
        column->SetName(from->Name());
    }
    EndUpdate();
}

void TCustomvxTreeListControl::RefreshColumnDefaults() {
    for (TvxTreeListColumn* column : columns_) column->ApplyDefaultWidth();
}

std::vector<TvxTreeListColumn*> TCustomvxTreeListControl::GetChildren(TComponent* Root) const {
    std::vector<TvxTreeListColumn*> children;
    for (TvxTreeListColumn* column : columns_)
        if (streamAllColumns_ || column->Owner() == Root) children.push_back(column);
    return children;
}

void TCustomvxTreeListControl::ColumnChanged(TvxTreeListColumn* Column) {
    DropPlacementCaches();
    if (HasState(csLoading)) return;
    if (Column) Column->ApplyDefaultWidth();
    // Normalising the placement ends with the re-layout.
    if (layoutLoading_ == 0)
        NormalizePlacement();
    else
        RefreshColumnLayout();
}

void TCustomvxTreeListControl::MoveNodeColumnData(int From, int To) {
    if (From == To) return;
    ForEachNode(*this, [&](TvxTreeListNode* node) {
        TvxTreeListTextNode* text = TextNode(node);
        if (!text) return;
        auto& texts = text->FTexts;
        const size_t need = static_cast<size_t>(std::max(From, To)) + 1;
        if (texts.size() < need) texts.resize(need);
        std::string moving = std::move(texts[static_cast<size_t>(From)]);
        texts.erase(texts.begin() + From);
        texts.insert(texts.begin() + To, std::move(moving));
    });
}

// ---- Sorting ----

void TCustomvxTreeListControl::BeginSorting() {
    if (sortingLock_++ == 0) batchMarks_ = SortMarks();
}

void TCustomvxTreeListControl::EndSorting() {
    if (sortingLock_ == 0 || --sortingLock_ > 0) return;
    const TSortMarks before = std::move(batchMarks_);
    SortOrPutMarksBack(before, [this] { ResortNodes(); });
}

TCustomvxTreeListControl::TSortMarks TCustomvxTreeListControl::SortMarks() const {
    TSortMarks marks;
    marks.Marks.reserve(columns_.size());
    for (TvxTreeListColumn* c : columns_) marks.Marks.emplace_back(c, c->Sorted());
    marks.Listed = sortedColumns_;
    return marks;
}

void TCustomvxTreeListControl::PutSortMarks(const TSortMarks& Before) {
    auto in = [](const std::vector<TvxTreeListColumn*>& List, TvxTreeListColumn* c) {
        return std::find(List.begin(), List.end(), c) != List.end();
    };
    std::vector<TvxTreeListColumn*> listed;
    for (TvxTreeListColumn* c : Before.Listed)
        if (in(columns_, c)) listed.push_back(c);
    for (TvxTreeListColumn* c : columns_) {
        auto was = std::find_if(Before.Marks.begin(), Before.Marks.end(), [c](const auto& m) { return m.first == c; });
        const TvxTreeListColumnSort before = was != Before.Marks.end() ? was->second : csNone;
        // A column sorted since, which the control now keeps sorted (a grid's new group column),
        // stays so: its rows' order follows its mark without a comparison.
        if (before == csNone && c->sorted_ != csNone && KeepsColumnSorted(c)) {
            if (in(sortedColumns_, c) && !in(listed, c)) listed.push_back(c);
            continue;
        }
        c->sorted_ = before;
    }
    sortedColumns_ = std::move(listed);
}

void TCustomvxTreeListControl::SortOrPutMarksBack(const TSortMarks& Before, const std::function<void()>& Sort) {
    // The sort is asked, not this scope: a raise after the rows took their order (a grid's table
    // event as its focus follows a group row's new first record) breaks the scope off, and the
    // marks then say what the rows show.
    const uint64_t broken = SortsBrokenOff();
    TScopeExit putBack([&] {
        if (SortsBrokenOff() == broken) return;
        PutSortMarks(Before);
        SortMarksPutBack();
    });
    Sort();
}

void TCustomvxTreeListControl::AddSortedColumn(TvxTreeListColumn* Column) {
    if (Column->Sorted() == csNone) return;
    if (std::find(sortedColumns_.begin(), sortedColumns_.end(), Column) == sortedColumns_.end())
        sortedColumns_.push_back(Column);
}

void TCustomvxTreeListControl::RemoveSortedColumn(TvxTreeListColumn* Column) {
    sortedColumns_.erase(std::remove(sortedColumns_.begin(), sortedColumns_.end(), Column), sortedColumns_.end());
}

void TCustomvxTreeListControl::SortByColumn(TvxTreeListColumn* Column) {
    if (Column->Sorted() != csNone) AddSortedColumn(Column);
}

bool TCustomvxTreeListControl::DoColumnSorting(TvxTreeListColumn* Column) {
    bool allow = true;
    if (OnColumnSorting) OnColumnSorting(this, Column, allow);
    return allow;
}

void TCustomvxTreeListControl::ToggleColumnSort(TvxTreeListColumn* Column) {
    ToggleColumnSort(Column, GetKeyState(VK_CONTROL) < 0);
}

void TCustomvxTreeListControl::ToggleColumnSort(TvxTreeListColumn* Column, bool CtrlHeld) {
    if (!Column || !DoColumnSorting(Column)) return;
    if (CtrlHeld)
        Column->SetSorted(csNone);
    else
        Column->SetSorted(Column->Sorted() == csUp ? csDown : csUp);
}

void TCustomvxTreeListControl::RestoreSortedColumns() {
    for (TvxTreeListColumn* column : columns_)
        if (column->Sorted() != csNone) AddSortedColumn(column);
    SortByLoadedOrder();
}

void TCustomvxTreeListControl::SortByLoadedOrder() {
    std::stable_sort(sortedColumns_.begin(), sortedColumns_.end(),
                     [](const TvxTreeListColumn* a, const TvxTreeListColumn* b) {
                         return a->LoadedSortedOrder() < b->LoadedSortedOrder();
                     });
}

bool TCustomvxTreeListControl::IsSortedColumnDescending(int Index) {
    TvxTreeListColumn* column = SortedColumns(Index);
    return column && column->Sorted() == csDown;
}

int TCustomvxTreeListControl::GetSortedColumnIndex(int Index) {
    TvxTreeListColumn* column = SortedColumns(Index);
    return column ? column->Index() : -1;
}

void TCustomvxTreeListControl::BeginColumnsUpdate() {
    BeginUpdate();
    if (IsMultiSort()) BeginSorting();
}

void TCustomvxTreeListControl::EndColumnsUpdate() {
    TScopeExit end([this] { EndUpdate(); });
    if (IsMultiSort()) EndSorting();
}

// ---- Editors ----

TvxInplaceEdit* TCustomvxTreeListControl::CreateEditor(TvxTreeListColumn* Column) {
    TvxInplaceEdit* editor = Column->GetInplaceEditClass().Create(this);
    editors_.push_back(editor);
    return editor;
}

TvxInplaceEdit* TCustomvxTreeListControl::FindEditor(TvxTreeListColumn* Column) const {
    const std::string name = Column->GetInplaceEditClass().ClassName();
    for (TvxInplaceEdit* editor : editors_)
        if (editor->EditClass().ClassName() == name) return editor;
    return nullptr;
}

void TCustomvxTreeListControl::InitEditor(TvxInplaceEdit* Editor) {
    if (TvxTreeListColumn* column = Columns(GetAbsoluteColumnIndex(GetFocusedColumn())))
        column->InitEditProperties(Editor);
}

TvxInplaceEdit* TCustomvxTreeListControl::CreateEditor() {
    TvxTreeListColumn* column = Columns(GetAbsoluteColumnIndex(GetFocusedColumn()));
    if (!column) return nullptr;
    TvxInplaceEdit* editor = FindEditor(column);
    return editor ? editor : CreateEditor(column);
}

void TCustomvxTreeListControl::PrepareEditor(TvxInplaceEdit* Editor) {
    Editor->SetColor(GetEditColor());
    Editor->Font()->Assign(GetEditFont());
    InitEditor(Editor);
}

Variant TCustomvxTreeListControl::GetEditText(TvxTreeListNode* Node, TvxInplaceEdit* Editor) {
    Variant value;
    if (TvxTreeListColumn* column = Columns(GetAbsoluteColumnIndex(EditorColumn())))
        column->InitEditValue(Node, Editor, value);
    return value;
}

Variant TCustomvxTreeListControl::AssignEditValue(TvxTreeListNode* Node, int Column, TvxInplaceEdit* Editor) {
    Variant value;
    if (TvxTreeListColumn* column = Columns(GetAbsoluteColumnIndex(Column))) column->SaveEditValue(Node, Editor, value);
    return value;
}

bool TCustomvxTreeListControl::CanEditModify() {
    TvxTreeListColumn* column = Columns(GetAbsoluteColumnIndex(GetFocusedColumn()));
    return column && !column->ReadOnly();
}

void TCustomvxTreeListControl::DoEditing(TvxTreeListNode* Node, bool& Allow) {
    TCustomvxTreeList::DoEditing(Node, Allow);
    if (!Allow) return;
    if (TvxTreeListColumn* column = Columns(GetAbsoluteColumnIndex(GetFocusedColumn())))
        Allow = column->IsEditorEnabled();
}

// ---- Caches and placement ----

void TCustomvxTreeListControl::DropPlacementCaches() {
    visibleToBand_.clear();
    bandToVisible_.clear();
    columnGrid_ = {};
    columnGridBuilt_ = false;
    columnValueCache_.clear();
}

void TCustomvxTreeListControl::ClearCache() {
    TCustomvxTreeList::ClearCache();
    DropPlacementCaches();
}

void TCustomvxTreeListControl::InvalidateColumnWidths() {
    TCustomvxTreeList::InvalidateColumnWidths();
    columnValueCache_.clear();
}

void TCustomvxTreeListControl::ColumnsChanged() {
    TCustomvxTreeList::ColumnsChanged();
    RebuildBandMaps();
}

void TCustomvxTreeListControl::LayoutChanged() {
    TCustomvxTreeList::LayoutChanged();
    if (!columnGridBuilt_) RebuildBandMaps();
}

void TCustomvxTreeListControl::BuildBandMaps() { RebuildBandMaps(); }

void TCustomvxTreeListControl::BuildColumnWidths() {
    // The widths ask every column's row many times over: a grid an update dropped on the way
    // (the record window's resync begins one) is built again first, or each question scans
    // every column.
    if (!columnGridBuilt_) RebuildBandMaps();
    RebuildColumnValueCache();
}

void TCustomvxTreeListControl::RebuildBandMaps() {
    if (!bands_ || IsDestroying()) return;
    bandMapsBuilding_ = true;
    visibleToBand_.clear();
    bandToVisible_.assign(static_cast<size_t>(bands_->Count()), -1);
    for (int i = 0; i < bands_->Count(); ++i)
        if (bands_->Items(i)->Visible()) {
            bandToVisible_[static_cast<size_t>(i)] = static_cast<int>(visibleToBand_.size());
            visibleToBand_.push_back(i);
        }
    bandMapsBuilding_ = false;
    BuildColumnGrid();
    columnValueCache_.clear();
}

void TCustomvxTreeListControl::BuildColumnGrid() {
    columnGridBuilt_ = false;
    columnGrid_ = PlaceShownColumns();
    columnGridBuilt_ = true;
}

TCustomvxTreeListControl::TColumnGrid TCustomvxTreeListControl::PlaceShownColumns() {
    TColumnGrid grid;
    grid.Rows.assign(static_cast<size_t>(bands_->VisibleCount()), {});
    grid.Positions.assign(columns_.size(), -1);
    for (int i = 0; i < ColumnCount(); ++i) {
        if (!IsColumnVisible(i)) continue;
        const TvxTreeListColumn* column = columns_[static_cast<size_t>(i)];
        auto& rows = grid.Rows[static_cast<size_t>(bands_->GetVisibleIndex(column->BandIndex()))];
        const size_t row = static_cast<size_t>(column->RowIndex());
        if (rows.size() <= row) rows.resize(row + 1);
        grid.Positions[static_cast<size_t>(i)] = static_cast<int>(rows[row].size());
        rows[row].push_back(i);
    }
    grid.BandRowCounts.assign(grid.Rows.size(), 0);
    int rowsUsed = 0;
    for (size_t band = 0; band < grid.Rows.size(); ++band) {
        for (const std::vector<int>& row : grid.Rows[band])
            if (!row.empty()) ++grid.BandRowCounts[band];
        rowsUsed = std::max(rowsUsed, grid.BandRowCounts[band]);
    }
    for (size_t row = 0; row < static_cast<size_t>(rowsUsed); ++row)
        for (const auto& rows : grid.Rows)
            if (row < rows.size())
                grid.VisibleOrder.insert(grid.VisibleOrder.end(), rows[row].begin(), rows[row].end());
    return grid;
}

void TCustomvxTreeListControl::RebuildColumnValueCache() {
    columnValueCacheBuilding_ = true;
    std::vector<int> cache(columns_.size(), 0);
    TRowShares rows;
    for (int i = 0; i < ColumnCount(); ++i)
        if (IsColumnVisible(i)) cache[static_cast<size_t>(i)] = CalcColumnShownWidth(i, &rows);
    columnValueCache_ = std::move(cache);
    columnValueCacheBuilding_ = false;
}

const std::vector<int>* TCustomvxTreeListControl::BuiltRowColumns(int VisibleBand, int Row) const {
    if (VisibleBand < 0 || VisibleBand >= static_cast<int>(columnGrid_.Rows.size()) || Row < 0) return nullptr;
    const auto& rows = columnGrid_.Rows[static_cast<size_t>(VisibleBand)];
    return Row < static_cast<int>(rows.size()) ? &rows[static_cast<size_t>(Row)] : nullptr;
}

std::vector<int> TCustomvxTreeListControl::RowColumns(int VisibleBand, int Row) {
    if (columnGridBuilt_) {
        const std::vector<int>* row = BuiltRowColumns(VisibleBand, Row);
        return row ? *row : std::vector<int>{};
    }
    std::vector<int> result;
    const int band = bands_->GetAbsoluteIndex(VisibleBand);
    if (band < 0) return result;
    for (int i = 0; i < ColumnCount(); ++i) {
        const TvxTreeListColumn* column = columns_[static_cast<size_t>(i)];
        if (IsColumnVisible(i) && column->BandIndex() == band && column->RowIndex() == Row) result.push_back(i);
    }
    return result;
}

void TCustomvxTreeListControl::NormalizePlacement() {
    DropPlacementCaches();
    const int rowCount = headerPanelRowCount_;
    for (TvxTreeListColumn* column : columns_) {
        column->rowIndex_ = std::clamp(column->rowIndex_, 0, rowCount - 1);
    }
    // The rows of a band close up: a row no shown column uses makes the rows below move up.
    auto shownIn = [this](int band) {
        std::vector<TvxTreeListColumn*> shown;
        for (int i = 0; i < ColumnCount(); ++i)
            if (IsColumnVisible(i) && columns_[static_cast<size_t>(i)]->BandIndex() == band)
                shown.push_back(columns_[static_cast<size_t>(i)]);
        return shown;
    };
    for (int v = 0; v < bands_->VisibleCount(); ++v) {
        const int band = bands_->GetAbsoluteIndex(v);
        std::vector<TvxTreeListColumn*> shown = shownIn(band);
        int lastRow = -1;
        for (TvxTreeListColumn* column : shown) lastRow = std::max(lastRow, column->RowIndex());
        for (int row = lastRow; row >= 0; --row) {
            const bool used = std::any_of(shown.begin(), shown.end(),
                                          [row](TvxTreeListColumn* c) { return c->RowIndex() == row; });
            if (used) continue;
            for (TvxTreeListColumn* column : shown)
                if (column->RowIndex() > row) {
                    const int up = column->RowIndex() - 1;
                    column->rowIndex_ = up;
                    column->storedRowIndex_ = up;
                }
        }
    }
    // Hidden columns and columns of hidden bands keep within the rows their band uses.
    std::map<int, int> usedRows;
    for (int i = 0; i < ColumnCount(); ++i)
        if (IsColumnVisible(i)) {
            const TvxTreeListColumn* column = columns_[static_cast<size_t>(i)];
            int& used = usedRows[column->BandIndex()];
            used = std::max(used, column->RowIndex() + 1);
        }
    for (TvxTreeListColumn* column : columns_) {
        const int used = usedRows.count(column->BandIndex()) ? usedRows[column->BandIndex()] : 0;
        if (column->RowIndex() >= used) {
            const int row = std::max(0, used - 1);
            column->rowIndex_ = row;
            column->storedRowIndex_ = row;
        }
    }
    if (IsAutoHeaderPanelHeight() && !autoRowCountBusy_) AdjustHeaderPanelRowCount();
    if (!IsUpdateLocked()) RefreshColumnLayout();
}

// ---- Node data ----

TvxTreeListNode* TCustomvxTreeListControl::CreateNode() { return new TvxTreeListTextNode(this); }

int TCustomvxTreeListControl::GetNodeImageIndex(TvxTreeListNode* Node) {
    int index = TextNode(Node) ? TextNode(Node)->FImageIndex : -1;
    if (OnGetImageIndex) OnGetImageIndex(this, Node, index);
    return index;
}

int TCustomvxTreeListControl::GetNodeSelectedIndex(TvxTreeListNode* Node) {
    int index = TextNode(Node) ? TextNode(Node)->FSelectedIndex : -1;
    if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node, index);
    return index;
}

int TCustomvxTreeListControl::GetNodeStateIndex(TvxTreeListNode* Node) {
    int index = TextNode(Node) ? TextNode(Node)->FStateIndex : -1;
    if (OnGetStateIndex) OnGetStateIndex(this, Node, index);
    return index;
}

void TCustomvxTreeListControl::SetNodeImageIndex(TvxTreeListNode* Node, int Value) {
    TvxTreeListTextNode* text = TextNode(Node);
    if (!text || text->FImageIndex == Value) return;
    text->FImageIndex = Value;
    RepaintNode(Node, false);
}

void TCustomvxTreeListControl::SetNodeSelectedIndex(TvxTreeListNode* Node, int Value) {
    TvxTreeListTextNode* text = TextNode(Node);
    if (!text || text->FSelectedIndex == Value) return;
    text->FSelectedIndex = Value;
    RepaintNode(Node, false);
}

void TCustomvxTreeListControl::SetNodeStateIndex(TvxTreeListNode* Node, int Value) {
    TvxTreeListTextNode* text = TextNode(Node);
    if (!text || text->FStateIndex == Value) return;
    text->FStateIndex = Value;
    RepaintNode(Node, false);
}

Variant TCustomvxTreeListControl::GetNodeValue(TvxTreeListNode* Node, int Column) {
    return Variant(GetNodeString(Node, Column));
}

std::string TCustomvxTreeListControl::GetNodeString(TvxTreeListNode* Node, int Column) {
    TvxTreeListTextNode* text = TextNode(Node);
    if (!text || Column < 0 || Column >= static_cast<int>(text->FTexts.size())) return {};
    return text->FTexts[static_cast<size_t>(Column)];
}

void TCustomvxTreeListControl::SetNodeString(TvxTreeListNode* Node, int Column, const std::string& Value) {
    TvxTreeListTextNode* text = TextNode(Node);
    if (!text || Column < 0) return;
    if (static_cast<int>(text->FTexts.size()) <= Column) text->FTexts.resize(static_cast<size_t>(Column) + 1);
    text->FTexts[static_cast<size_t>(Column)] = Value;
}

void TCustomvxTreeListControl::SetNodeValue(TvxTreeListNode* Node, int Column, const Variant& Value) {
    SetNodeString(Node, Column, Value.IsNull() ? std::string() : Value.AsString());
    if (!IsUpdateLocked()) RepaintNode(Node, false);
}

// ---- Band queries ----

TvxTreeListBand* TCustomvxTreeListControl::AbsoluteBand(int Index) const {
    return Index >= 0 && Index < bands_->Count() ? bands_->Items(Index) : nullptr;
}

int TCustomvxTreeListControl::GetAbsoluteBandAlignment(int Band) {
    TvxTreeListBand* band = AbsoluteBand(Band);
    return band ? band->Alignment() : 0;
}
int TCustomvxTreeListControl::GetAbsoluteBandCount() { return bands_->Count(); }
int TCustomvxTreeListControl::GetAbsoluteBandIndex(int VisibleBand) { return bands_->GetAbsoluteIndex(VisibleBand); }
void TCustomvxTreeListControl::GetAbsoluteBandCaption(int Band, std::string& Text) {
    TvxTreeListBand* band = AbsoluteBand(Band);
    Text = band ? band->Caption() : std::string();
}
int TCustomvxTreeListControl::GetAbsoluteBandWidth(int Band) {
    TvxTreeListBand* band = AbsoluteBand(Band);
    return band ? band->Width() : 0;
}
int TCustomvxTreeListControl::GetBandAlignment(int Band) {
    TvxTreeListBand* band = VisibleBand(Band);
    return band ? band->Alignment() : 0;
}
int TCustomvxTreeListControl::GetBandCount() { return bands_->VisibleCount(); }
int TCustomvxTreeListControl::GetLeftFixedBand() {
    TvxTreeListBand* band = VisibleBand(0);
    return band && band->Fixed() == bfLeft ? 0 : -1;
}
int TCustomvxTreeListControl::GetRightFixedBand() {
    const int last = bands_->VisibleCount() - 1;
    TvxTreeListBand* band = VisibleBand(last);
    return band && band->Fixed() == bfRight ? last : -1;
}
int TCustomvxTreeListControl::GetBandMinWidthValue(int Band) {
    TvxTreeListBand* band = VisibleBand(Band);
    return band ? band->MinWidth() : 0;
}
int TCustomvxTreeListControl::GetBandOwnWidth(int Band) {
    TvxTreeListBand* band = VisibleBand(Band);
    return band ? band->Width() : 0;
}
void TCustomvxTreeListControl::GetBandText(int Band, std::string& Text) {
    TvxTreeListBand* band = VisibleBand(Band);
    Text = band ? band->Caption() : std::string();
}
int TCustomvxTreeListControl::GetVisibleBandIndex(int AbsoluteBand) { return bands_->GetVisibleIndex(AbsoluteBand); }
bool TCustomvxTreeListControl::GetBandFlag(int Band) {
    TvxTreeListBand* band = VisibleBand(Band);
    return band && band->OnlyOwnColumns();
}

// ---- Column queries ----

// Layout asks these for every column of a row, many times over: read the grid where it is
// built instead of copying its row each time.
int TCustomvxTreeListControl::GetColumnAt(int Band, int Row, int Position) {
    if (columnGridBuilt_) {
        const std::vector<int>* row = BuiltRowColumns(Band, Row);
        return row && Position >= 0 && Position < static_cast<int>(row->size()) ? (*row)[static_cast<size_t>(Position)]
                                                                                : -1;
    }
    std::vector<int> row = RowColumns(Band, Row);
    return Position >= 0 && Position < static_cast<int>(row.size()) ? row[static_cast<size_t>(Position)] : -1;
}

int TCustomvxTreeListControl::GetRowColumnCount(int Band, int Row) {
    if (columnGridBuilt_) {
        const std::vector<int>* row = BuiltRowColumns(Band, Row);
        return row ? static_cast<int>(row->size()) : 0;
    }
    return static_cast<int>(RowColumns(Band, Row).size());
}

int TCustomvxTreeListControl::GetBandRowCountOf(int Band) {
    if (columnGridBuilt_)
        return Band >= 0 && Band < static_cast<int>(columnGrid_.BandRowCounts.size())
                   ? columnGrid_.BandRowCounts[static_cast<size_t>(Band)]
                   : 0;
    const int absolute = bands_->GetAbsoluteIndex(Band);
    if (absolute < 0) return 0;
    std::vector<int> rows;
    for (int i = 0; i < ColumnCount(); ++i) {
        const TvxTreeListColumn* column = columns_[static_cast<size_t>(i)];
        if (IsColumnVisible(i) && column->BandIndex() == absolute &&
            std::find(rows.begin(), rows.end(), column->RowIndex()) == rows.end())
            rows.push_back(column->RowIndex());
    }
    return static_cast<int>(rows.size());
}

int TCustomvxTreeListControl::GetHeaderAlignment(int Column) {
    return ValidColumn(Column) ? Columns(Column)->HeaderAlignment() : 0;
}
int TCustomvxTreeListControl::GetColumnBand(int Column) {
    return ValidColumn(Column) ? Columns(Column)->BandIndex() : 0;
}
int TCustomvxTreeListControl::GetColumnShownWidth(int Column) {
    if (!columnValueCacheBuilding_ && ValidColumn(Column) && columnValueCache_.size() == columns_.size())
        return columnValueCache_[static_cast<size_t>(Column)];
    return TCustomvxTreeList::GetColumnShownWidth(Column);
}
int TCustomvxTreeListControl::GetColumnPosition(int Column) {
    if (!ValidColumn(Column)) return 0;
    const std::vector<int>& positions = columnGrid_.Positions;
    if (columnGridBuilt_ && static_cast<size_t>(Column) < positions.size() &&
        positions[static_cast<size_t>(Column)] >= 0)
        return positions[static_cast<size_t>(Column)];
    return Columns(Column)->ColIndex();
}

int TCustomvxTreeListControl::GetAbsoluteColumnIndex(int VisibleIndex) {
    if (!columnGridBuilt_) return TCustomvxTreeList::GetAbsoluteColumnIndex(VisibleIndex);
    const std::vector<int>& order = columnGrid_.VisibleOrder;
    return VisibleIndex >= 0 && VisibleIndex < static_cast<int>(order.size()) ? order[static_cast<size_t>(VisibleIndex)]
                                                                              : -1;
}

// The metrics come first in a layout, before the grid is built: one grid for this call.
int TCustomvxTreeListControl::GetMaxColumnLineHeight(TCanvas* Canvas) {
    const TColumnGrid grid = columnGridBuilt_ ? TColumnGrid{} : PlaceShownColumns();
    int height = 0;
    for (int column : (columnGridBuilt_ ? columnGrid_ : grid).VisibleOrder)
        height = std::max(height, GetColumnLineHeight(Canvas, column));
    return height;
}
TBitmap* TCustomvxTreeListControl::GetHeaderGlyph(int Column) {
    return ValidColumn(Column) ? Columns(Column)->HeaderGlyph() : nullptr;
}
int TCustomvxTreeListControl::GetColumnHeaderMaxLineCount(int Column) {
    return ValidColumn(Column) ? Columns(Column)->HeaderMaxLineCount() : 1;
}
int TCustomvxTreeListControl::GetColumnMinWidth(int Column) {
    if (!ValidColumn(Column)) return 0;
    TvxTreeListColumn* column = Columns(Column);
    return column->Sizing() ? column->MinWidth() : column->Width();
}
int TCustomvxTreeListControl::GetColumnRow(int Column) { return ValidColumn(Column) ? Columns(Column)->RowIndex() : 0; }
int TCustomvxTreeListControl::GetHeaderSorted(int Column) {
    if (!ValidColumn(Column)) return 0;
    TvxTreeListColumnSort sorted = Columns(Column)->Sorted();
    if (OnGetColumnSorted) OnGetColumnSorted(this, Columns(Column), sorted);
    return sorted;
}
bool TCustomvxTreeListControl::GetColumnTabStop(int Column) {
    return ValidColumn(Column) ? Columns(Column)->TabStop() : true;
}
void TCustomvxTreeListControl::GetHeaderText(int Column, std::string& Text) {
    Text = ValidColumn(Column) && !Columns(Column)->DisableCaption() ? Columns(Column)->Caption() : std::string();
}
void TCustomvxTreeListControl::GetHeaderCaption(int Column, std::string& Text) {
    Text = ValidColumn(Column) ? Columns(Column)->Caption() : std::string();
}
int TCustomvxTreeListControl::GetColumnWidth(int Column) { return ValidColumn(Column) ? Columns(Column)->Width() : 0; }
TColor TCustomvxTreeListControl::GetColumnColor(int Column) {
    return ValidColumn(Column) ? Columns(Column)->Color() : Color();
}
TFont* TCustomvxTreeListControl::GetColumnFont(int Column) {
    return ValidColumn(Column) ? Columns(Column)->Font() : Font();
}
bool TCustomvxTreeListControl::IsColumnOwnFont(int Column) {
    return ValidColumn(Column) && (Columns(Column)->AssignedValues() & tlcaFont);
}
bool TCustomvxTreeListControl::HasHeaderGlyph(int Column) {
    return ValidColumn(Column) && Columns(Column)->HasHeaderGlyph();
}
bool TCustomvxTreeListControl::IsColumnVisible(int Column) {
    if (!ValidColumn(Column)) return false;
    const TvxTreeListColumn* column = Columns(Column);
    TvxTreeListBand* band = AbsoluteBand(column->BandIndex());
    return column->Visible() && band && band->Visible();
}
TAlignment TCustomvxTreeListControl::GetColumnAlignment(TvxTreeListNode*, int Column) {
    return ValidColumn(Column) ? Columns(Column)->Alignment() : taLeftJustify;
}
void TCustomvxTreeListControl::GetCellText(TvxTreeListNode* Node, int Column, std::string& Text) {
    Text = GetNodeString(Node, Column);
}
int TCustomvxTreeListControl::GetColumnLineHeight(TCanvas* Canvas, int Column) {
    const int minimum = ValidColumn(Column) ? Columns(Column)->GetMinCellHeight() : 0;
    return std::max(TCustomvxTreeList::GetColumnLineHeight(Canvas, Column), minimum);
}
bool TCustomvxTreeListControl::IsExistFooterCell(int Column) {
    bool exist = false;
    if (OnIsExistFooterCell && ValidColumn(Column)) OnIsExistFooterCell(this, Columns(Column), exist);
    return exist;
}
bool TCustomvxTreeListControl::IsBandHeaderWidth() { return defaultLayout_ || TCustomvxTreeList::IsBandHeaderWidth(); }
bool TCustomvxTreeListControl::CanSizeBand(int Band) {
    TvxTreeListBand* band = VisibleBand(Band);
    return TCustomvxTreeList::CanSizeBand(Band) && band && band->Sizing();
}
bool TCustomvxTreeListControl::CanSizeColumn(int Column) {
    return TCustomvxTreeList::CanSizeColumn(Column) && ValidColumn(Column) && Columns(Column)->Sizing();
}
bool TCustomvxTreeListControl::CanFilterColumn(int Column) {
    return !ValidColumn(Column) || Columns(Column)->CanFilter();
}
bool TCustomvxTreeListControl::IsColumnHotTrack(int Column) {
    return IsHotTrack() || (ValidColumn(Column) && Columns(Column)->IsHotTrack());
}
void TCustomvxTreeListControl::DoHotTrackNode(const TvxTreeListHotTrackInfo& Info, TCursor& Cursor) {
    // A cursor that the last hot cell chose is not the control's own: each cell starts from
    // the cursor the control had before hot tracking changed it.
    if (hotTrackCursorSet_)
        Cursor = cursorBeforeHotTrack_;
    else
        cursorBeforeHotTrack_ = Cursor;
    if (Info.Node && ValidColumn(Info.Column)) Columns(Info.Column)->GetHotTrackCursor(Cursor);
    TCustomvxTreeList::DoHotTrackNode(Info, Cursor);
    hotTrackCursorSet_ = Cursor != cursorBeforeHotTrack_;
}
bool TCustomvxTreeListControl::IsColumnMultiLine(int Column) {
    return ValidColumn(Column) && Columns(Column)->IsMultiLine();
}

int TCustomvxTreeListControl::GetCellLineHeight(TCanvas* Canvas, int Column) {
    Canvas->Font()->Assign(GetColumnFont(Column));
    const int minimum = ValidColumn(Column) ? Columns(Column)->GetMinCellHeight() : 0;
    return std::max(Canvas->TextHeight("Wg"), minimum);
}

int TCustomvxTreeListControl::CalcCellLineCount(TvxTreeListNode* Node, int Column, const std::string& Text, int Width,
                                                int& LineHeight) {
    if (!ValidColumn(Column)) return 0;
    HDC dc = TreeListScreenDC();
    if (!dc) return 0;
    int textHeight;
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        textHeight = GetCellLineHeight(&canvas, Column);
    }
    int lines = 0;
    LineHeight = textHeight;
    CalcRowLineHeight(Node, Column, Text, Width, textHeight, MaxRowLineCount(), true, lines, LineHeight);
    return lines;
}

int TCustomvxTreeListControl::CalcRowLineHeight(TvxTreeListNode* Node, int Column, const std::string& Text,
                                                int BoundsWidth, int TextHeight, int MaxLineCount, bool Inflate,
                                                int& LineCount, int& LineHeight) {
    TvxTreeListColumn* column = ValidColumn(Column) ? Columns(Column) : nullptr;
    bool done = false;
    if (OnCalcRowLineHeight)
        OnCalcRowLineHeight(this, Node, column, Text, BoundsWidth, TextHeight, MaxLineCount, Inflate, LineCount,
                            LineHeight, done);
    if (!done && column) MeasureCellText(column, Node, Text, BoundsWidth, TextHeight, Inflate, LineCount, LineHeight);
    if (MaxLineCount != -1 && LineCount > MaxLineCount) LineCount = MaxLineCount;
    return LineHeight * LineCount;
}

void TCustomvxTreeListControl::MeasureCellText(TvxTreeListColumn* Column, TvxTreeListNode* Node,
                                               const std::string& Text, int Width, int TextHeight, bool Inflate,
                                               int& LineCount, int& LineHeight) {
    LineCount = Text.empty() ? 0 : 1;
    LineHeight = TextHeight;
    HDC dc = TreeListScreenDC();
    if (!dc || Text.empty()) return;
    // The cell as the painting hands it over: the editor's margin around the cell, the text
    // wrapped inside.
    const int margin = Inflate ? 2 : 0;
    TvxTreeListCellDrawRecord record;
    record.Rect = TRect{-margin, -margin, Width + margin, TextHeight + margin};
    record.Font = Column->Font();
    record.Alignment = Column->Alignment();
    record.Text = Text;
    record.MultiLine = true;
    TvxEditViewData* view = Column->GetViewData();
    struct Measured {
        TvxTreeListColumn* column;
        TvxEditViewData* view;
        ~Measured() {
            view->MeasureOnly = false;
            column->SetDrawingNode(nullptr);
        }
    } measured{Column, view};
    Column->SetDrawingNode(Node);
    Column->GetDrawInfo(*view, record);
    view->MeasureOnly = true;
    const TvxInplaceEditClass& editClass = Column->GetInplaceEditClass();
    TvxEditViewInfo info;
    editClass.CalcViewInfo(*view, false, info);
    editClass.DrawContent(dc, info.ContentRect, false, *view);
    if (auto* text = dynamic_cast<TvxTextEditViewData*>(view)) {
        LineCount = std::max(1, text->LineCount);
        LineHeight = text->LineHeight > 0 ? text->LineHeight : TextHeight;
    }
}
bool TCustomvxTreeListControl::HasCustomDrawCell(TvxTreeListNode*, int Column) {
    return OnBeforeCustomDrawCell || OnCustomDrawCell || (ValidColumn(Column) && Columns(Column)->HasDrawCellEvent());
}

void TCustomvxTreeListControl::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column,
                                                bool Selected, bool Focused, bool NewItemRow, std::string& Text,
                                                TColor& Color, TFont* Font, TAlignment& Alignment, bool& Done) {
    TvxTreeListColumn* column = Columns(Column);
    if (OnBeforeCustomDrawCell)
        OnBeforeCustomDrawCell(this, Canvas, Rect, Node, column, Selected, Focused, NewItemRow, Text, Color, Font,
                               Alignment, Done);
    if (!Done && OnCustomDrawCell)
        OnCustomDrawCell(this, Canvas, Rect, Node, column, Selected, Focused, NewItemRow, Text, Color, Font, Alignment,
                         Done);
    if (!Done && column)
        column->DoCustomDrawCell(Canvas, Rect, Node, Selected, Focused, NewItemRow, Text, Color, Font, Alignment, Done);
}

bool TCustomvxTreeListControl::CanShowColumnButton(int Column) {
    return IsShowButtonAlways() && (!ValidColumn(Column) || Columns(Column)->CanShowButton());
}

// ---- Sizes set by the user ----

void TCustomvxTreeListControl::SetBandWidth(int Band, int Width) {
    if (TvxTreeListBand* band = VisibleBand(Band)) band->SetWidth(Width);
}

void TCustomvxTreeListControl::SetColumnWidth(int Column, int Width) {
    if (!ValidColumn(Column) || !Columns(Column)->Sizing()) return;
    TvxTreeListColumn* column = Columns(Column);
    column->width_ = std::max(Width, column->MinWidth());
    column->assigned_ |= tlcaWidth;
}

void TCustomvxTreeListControl::ScaleBandsWidth(int Num, int Den) {
    if (Den == 0) return;
    BeginUpdate();
    for (int i = 0; i < bands_->Count(); ++i) {
        TvxTreeListBand* band = bands_->Items(i);
        if (!band->Visible() && band->Sizing()) band->SetWidth(MulDiv(band->Width(), Num, Den));
    }
    EndUpdate();
}

void TCustomvxTreeListControl::ScaleHiddenColumns(int Band, int Num, int Den) {
    if (Den == 0) return;
    const int band = bands_->GetAbsoluteIndex(Band);
    BeginUpdate();
    for (TvxTreeListColumn* column : columns_)
        if (column->BandIndex() == band && !column->Visible() && column->Sizing())
            column->SetWidth(MulDiv(column->Width(), Num, Den));
    EndUpdate();
}

// ---- Clicks and best fit ----

void TCustomvxTreeListControl::DoBandButtonClick() {
    if (OnBandButtonClick) OnBandButtonClick(this);
}
void TCustomvxTreeListControl::DoBandClick(int Band) {
    if (OnBandClick) OnBandClick(this, VisibleBand(Band));
}
void TCustomvxTreeListControl::DoHeaderButtonClick() {
    if (OnHeaderButtonClick) OnHeaderButtonClick(this);
}
void TCustomvxTreeListControl::DoHeaderClick(int Column) {
    if (!ValidColumn(Column)) return;
    if (OnColumnClick) OnColumnClick(this, Columns(Column));
    if (IsAutoSort() && ValidColumn(Column)) ToggleColumnSort(Columns(Column));
}

void TCustomvxTreeListControl::BandBestFit(int Band) {
    BeginUpdate();
    const int rows = GetBandRowCountOf(Band);
    for (int row = 0; row < rows; ++row)
        for (int column : RowColumns(Band, row)) ApplyBestFit(Columns(column));
    EndUpdate();
    if (OnChangedColumnsWidth) OnChangedColumnsWidth(this);
}

void TCustomvxTreeListControl::ColumnBestFit(int Column) {
    if (!ValidColumn(Column)) return;
    ApplyBestFit(Columns(Column));
    if (OnChangedColumnsWidth) OnChangedColumnsWidth(this);
}

void TCustomvxTreeListControl::ApplyBestFit(TvxTreeListColumn* Column) {
    TBitmap measure(1, 1);
    TCanvas* canvas = measure.Canvas();
    canvas->Font()->Assign(Font());
    const int margin = canvas->TextWidth("0") / 2 + 1;
    auto fit = [&](TvxTreeListColumn* column) {
        const int index = column->Index();
        canvas->Font()->Assign((column->AssignedValues() & tlcaFont) ? column->Font() : Font());
        const bool treeColumn = IsColumnVisible(index) && bands_->GetVisibleIndex(column->BandIndex()) == 0 &&
                                column->ColIndex() == 0;
        int content = 0;
        ForEachNode(*this, [&](TvxTreeListNode* node) {
            if (IsGroupNode(node)) return;
            int width = column->GetBestFitWidth(canvas, node);
            if (treeColumn) {
                width += (node->Level() + (ShowRootIndent() ? 1 : 0)) * kLevelIndent - GetGroupIndentWidth();
                if (StateImages() && GetNodeStateIndex(node) >= 0) width += StateImages()->Width();
                if (Images() && (GetNodeImageIndex(node) >= 0 || GetNodeSelectedIndex(node) >= 0))
                    width += Images()->Width();
            }
            content = std::max(content, width);
        });
        canvas->Font()->Assign(Font());
        content = std::max(content, canvas->TextWidth(column->Caption()) + (column->DisableFilter() ? 0 : 15));
        if (column->Sizing()) column->SetWidth(content + 2 * margin);
    };
    if (Column) {
        fit(Column);
        return;
    }
    BeginUpdate();
    std::vector<TvxTreeListColumn*> columns = columns_;
    for (TvxTreeListColumn* column : columns) fit(column);
    EndUpdate();
}

// ---- Band and header operations ----

void TCustomvxTreeListControl::MoveBand(int FromVisible, int ToVisible) {
    TvxTreeListBand* from = VisibleBand(FromVisible);
    TvxTreeListBand* to = VisibleBand(ToVisible);
    if (from && to) from->SetIndex(to->Index());
}

bool TCustomvxTreeListControl::CanBandDragging(int Band) {
    TvxTreeListBand* band = VisibleBand(Band);
    if (!band) return false;
    bool allow = TCustomvxTreeList::CanBandDragging(Band) && band->Fixed() == bfNone && !band->DisableDragging();
    if (allow && OnCanBandDragging) OnCanBandDragging(this, band, allow);
    return allow;
}

bool TCustomvxTreeListControl::IsBandCustomizingDisabled(int Band) {
    TvxTreeListBand* band = AbsoluteBand(Band);
    return band && band->DisableCustomizing();
}

void TCustomvxTreeListControl::HideBand(int Band) {
    TvxTreeListBand* band = AbsoluteBand(Band);
    if (!band) return;
    band->SetVisible(false);
    if (OnHideBand) OnHideBand(this, band);
}

bool TCustomvxTreeListControl::IsBandHidden(int Band) {
    TvxTreeListBand* band = AbsoluteBand(Band);
    return band && !band->Visible();
}

void TCustomvxTreeListControl::DoDragOverBand(int Band, TPoint P, bool& Accept) {
    if (OnDragOverBand) OnDragOverBand(this, AbsoluteBand(Band), P, Accept);
}

void TCustomvxTreeListControl::DoDragEndBand(int Band, TPoint P, int VisibleIndex, int NewIndex, bool& Accept) {
    if (OnDragEndBand) OnDragEndBand(this, AbsoluteBand(Band), P, Band, VisibleIndex, NewIndex, Accept);
}

void TCustomvxTreeListControl::DoStartBandDragging(int Band) {
    TCustomvxTreeList::DoStartBandDragging(Band);
    if (OnStartBandDragging) OnStartBandDragging(this, VisibleBand(Band));
}

void TCustomvxTreeListControl::ShowBand(int VisiblePosition, int Band) {
    TvxTreeListBand* band = AbsoluteBand(Band);
    if (!band) return;
    BeginUpdate();
    band->SetVisible(true);
    if (bands_->Count() > 1) {
        TvxTreeListBand* at = VisibleBand(VisiblePosition);
        band->SetIndex(at && at != band ? at->Index() : bands_->Count() - 1);
    }
    EndUpdate();
    if (OnShowBand) OnShowBand(this, band);
}

bool TCustomvxTreeListControl::CanHeaderDragging(int Column) {
    if (!ValidColumn(Column)) return false;
    bool allow = TCustomvxTreeList::CanHeaderDragging(Column) && !Columns(Column)->DisableDragging();
    if (allow && OnCanHeaderDragging) OnCanHeaderDragging(this, Columns(Column), allow);
    return allow;
}

bool TCustomvxTreeListControl::IsHeaderCustomizingDisabled(int Column) {
    return ValidColumn(Column) && Columns(Column)->DisableCustomizing();
}

void TCustomvxTreeListControl::MoveHeader(int Column, int Band, int Row, int Col) {
    if (!ValidColumn(Column)) return;
    TvxTreeListColumn* column = Columns(Column);
    BeginUpdate();
    column->SetBandIndex(bands_->GetAbsoluteIndex(Band));
    column->SetRowIndex(Row);
    column->SetColIndex(Col);
    EndUpdate();
    if (OnHeaderMoved) OnHeaderMoved(this, column);
}

void TCustomvxTreeListControl::HideHeader(int Column) {
    if (!ValidColumn(Column)) return;
    TvxTreeListColumn* column = Columns(Column);
    column->SetVisible(false);
    if (OnHideHeader) OnHideHeader(this, column);
}

bool TCustomvxTreeListControl::CanHideColumn(int Column) {
    if (!ValidColumn(Column)) return false;
    TvxTreeListColumn* column = Columns(Column);
    const bool shown = column->Visible() && column->BandIndex() != -1;
    if (!shown && !column->DisableCustomizing()) return true;
    return ShowHiddenInCustomizeBox() && !IsColumnVisible(Column);
}

void TCustomvxTreeListControl::DoDragOverHeader(int Column, TPoint P, bool& Accept) {
    if (OnDragOverHeader && ValidColumn(Column)) OnDragOverHeader(this, Columns(Column), P, Accept);
}

void TCustomvxTreeListControl::DoDragEndHeader(int Column, TPoint P, TvxHeaderPosInfo& PosInfo, bool& Accept) {
    if (!ValidColumn(Column)) return;
    TvxTreeListColumn* column = Columns(Column);
    if (OnDragEndHeader) OnDragEndHeader(this, column, P, PosInfo, Accept);
    if (OnColumnMoved && Accept && PosInfo.Marker == -3 && bands_->VisibleCount() == 1)
        OnColumnMoved(this, column->ColIndex(), PosInfo.ColPos);
}

void TCustomvxTreeListControl::DoStartHeaderDragging(int Column) {
    TCustomvxTreeList::DoStartHeaderDragging(Column);
    if (OnStartHeaderDragging && ValidColumn(Column)) OnStartHeaderDragging(this, Columns(Column));
}

void TCustomvxTreeListControl::ShowHeader(int Band, int Row, int Column, int Col) {
    if (!ValidColumn(Column)) return;
    TvxTreeListColumn* column = Columns(Column);
    BeginUpdate();
    column->SetBandIndex(bands_->GetAbsoluteIndex(Band));
    column->SetVisible(true);
    column->SetRowIndex(Row);
    column->SetColIndex(Col);
    EndUpdate();
    if (OnShowHeader) OnShowHeader(this, column);
}

void TCustomvxTreeListControl::DoGetNodeDragText(TvxTreeListNode* Node, int Column, std::string& Text) {
    Text = GetNodeString(Node, Column);
    if (OnGetNodeDragText) OnGetNodeDragText(this, Node, Columns(Column), Text);
}

// ---- Custom drawing and cell contents ----

void TCustomvxTreeListControl::DoCustomDrawBand(int Band, TCanvas* Canvas, const TRect& Rect, const TRect&,
                                                std::string& Text, TColor& Color, TFont* Font, TAlignment& Alignment,
                                                bool& Done) {
    if (OnCustomDrawBand) OnCustomDrawBand(this, Canvas, Rect, Band, Text, Color, Font, Alignment, Done);
}

bool TCustomvxTreeListControl::HasCustomDrawHeader(int Column) {
    return OnCustomDrawColumnHeader || (ValidColumn(Column) && Columns(Column)->OnCustomDrawColumnHeader);
}

void TCustomvxTreeListControl::DoCustomDrawHeader(int Column, TCanvas* Canvas, const TRect& Rect, const TRect&,
                                                  std::string& Text, TColor& Color, TFont* Font, TAlignment& Alignment,
                                                  int& Sorted, bool& Done) {
    TvxTreeListColumn* column = ValidColumn(Column) ? Columns(Column) : nullptr;
    auto sorted = static_cast<TvxTreeListColumnSort>(Sorted);
    if (OnCustomDrawColumnHeader)
        OnCustomDrawColumnHeader(this, Canvas, Rect, column, Text, Color, Font, Alignment, sorted, Done);
    if (!Done && column && column->OnCustomDrawColumnHeader)
        column->OnCustomDrawColumnHeader(column, Canvas, Rect, column, Text, Color, Font, Alignment, sorted, Done);
    Sorted = sorted;
}

bool TCustomvxTreeListControl::HasCustomDrawFooter(TvxTreeListNode*, int, int FooterIndex) {
    return FooterIndex == -1 ? static_cast<bool>(OnCustomDrawFooter) : static_cast<bool>(OnCustomDrawFooterNode);
}

void TCustomvxTreeListControl::DoCustomDrawFooter(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column,
                                                  int FooterIndex, std::string& Text, TColor& Color, TFont* Font,
                                                  TAlignment& Alignment, bool& Done) {
    const auto& event = FooterIndex == -1 ? OnCustomDrawFooter : OnCustomDrawFooterNode;
    if (event)
        event(this, Canvas, Rect, Node, ValidColumn(Column) ? Columns(Column) : nullptr, FooterIndex, Text, Color, Font,
              Alignment, Done);
}

bool TCustomvxTreeListControl::HasCustomDrawPreview(TvxTreeListNode*) {
    return OnCustomDrawPreview || OnCustomDrawPreviewCell;
}

void TCustomvxTreeListControl::DoCustomDrawPreview(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node,
                                                   bool Selected, std::string& Text, TColor& Color, TColor& TextColor,
                                                   TFont* Font, bool& Done) {
    if (OnCustomDrawPreviewCell)
        OnCustomDrawPreviewCell(this, Canvas, Rect, Node, Selected, Text, Color, TextColor, Font, Done);
    if (!Done && OnCustomDrawPreview)
        OnCustomDrawPreview(this, Canvas, Rect, Node, Selected, Text, Color, TextColor, Font, Done);
}

void TCustomvxTreeListControl::DoGetLevelColor(int Level, TColor& Color) {
    if (OnGetLevelColor) OnGetLevelColor(this, Level, Color);
}

int TCustomvxTreeListControl::GetFilterButtonState(int Column) {
    if (ValidColumn(Column) && Columns(Column)->DisableFilter()) return 0;
    return TCustomvxTreeList::GetFilterButtonState(Column);
}

void TCustomvxTreeListControl::DrawCellContent(HDC DC, TvxTreeListCellRecord& Cell, int Column) {
    if (!ValidColumn(Column)) return;
    TvxTreeListColumn* column = Columns(Column);
    struct Drawing {
        TvxTreeListColumn* column;
        ~Drawing() { column->SetDrawingNode(nullptr); }
    } drawing{column};
    column->SetDrawingNode(Cell.Node);
    TRect cell{Cell.Rect.Left + 2, Cell.Rect.Top + 2, Cell.Rect.Right - 2, Cell.Rect.Bottom - 2};
    if (Cell.InvertSelect) {
        // One-pixel borders in the control's colour keep inverted cells apart.
        HBRUSH border = CreateSolidBrush(ColorToRGB(Color()));
        FillRect(DC, TRect{cell.Left, cell.Top, cell.Right, cell.Top + 1}, border);
        FillRect(DC, TRect{cell.Left, cell.Bottom - 1, cell.Right, cell.Bottom}, border);
        cell.Top += 1;
        cell.Bottom -= 1;
        if (Cell.LeftNeighbour) {
            FillRect(DC, TRect{cell.Left, cell.Top, cell.Left + 1, cell.Bottom}, border);
            cell.Left += 1;
        }
        if (Cell.RightNeighbour) {
            FillRect(DC, TRect{cell.Right - 1, cell.Top, cell.Right, cell.Bottom}, border);
            cell.Right -= 1;
        }
        DeleteObject(border);
    }
    TvxTreeListCellDrawRecord record;
    record.Rect = TRect{cell.Left - 2, cell.Top - 2, cell.Right + 2, cell.Bottom + 2};
    record.BrushColor = Cell.BrushColor;
    record.TextColor = Cell.TextColor;
    record.Font = Cell.Font;
    record.Alignment = Cell.Alignment;
    record.Text = Cell.Text;
    record.HighlightLength = Cell.HighlightLength;
    record.SearchHighlight = Cell.Highlight;
    record.EditCell = Cell.EditCell;
    record.MultiLine = Cell.MultiLine;
    record.EndEllipsis = Cell.EndEllipsis;
    record.Selected = Cell.Selected;
    record.SelectionColor = Cell.SelectionColor;
    TvxEditViewData* view = column->GetViewData();
    column->GetDrawInfo(*view, record);
    view->Brush = Cell.Brush;
    // The editor's border lies in the 2 pixels around the cell; only the cell is drawn.
    TvxClipScope clip(DC, cell);
    column->GetInplaceEditClass().DrawEdit(DC, nullptr, *view);
}
