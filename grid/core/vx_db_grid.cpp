#include "grid/core/vx_db_grid.h"

#include <algorithm>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/columns/vx_default_column_table.h"
#include "grid/filter/vx_db_grid_filter_popup.h"
#include "platform/classes/update_scope.h"
#include "platform/db/blob_field.h"
#include "platform/db/data_source.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"

namespace {
using TUpdateBracket = TUpdateScope<TCustomvxTreeList>;
}  // namespace

TCustomvxDBGrid::TCustomvxDBGrid(TComponent* AOwner) : TCustomvxDBTreeListControl(AOwner) {
    GridColumnsUnitStartUp();
    dataLink_ = std::make_unique<TvxGridDataLink>(this);
    DBGridSetsToLegacy({optionsBehavior_, optionsCustomize_, optionsDB_, optionsView_}, legacyOptions_,
                       legacyOptionsEx_);
    SetHideFocusRect(false);
    SetHideSelection(false);
    // Records form a flat list with group rows, not a tree.
    SetListMode(true);
    SetShowGrid(true);
    // The tree list's options take what the default sets drive.
    TvxTreeListOptions options = Options();
    TvxTreeListOptionsEx optionsEx = OptionsEx();
    const TvxDBGridOptionSets sets{optionsBehavior_, optionsCustomize_, optionsDB_, optionsView_};
    const uint32_t bits[4] = {sets.Behavior.Bits(), sets.Customize.Bits(), sets.DB.Bits(), sets.View.Bits()};
    for (int s = 0; s < 4; ++s) {
        const auto set = static_cast<TvxDBGridOptionSet>(s);
        for (int b = 0; b < DBGridOptionSetSize(set); ++b) {
            const TvxDBGridOptionDrive drive = DBGridOptionDrive(set, static_cast<uint8_t>(b));
            const bool on = (bits[s] >> b) & 1u;
            if (drive.Target == TvxDBGridOptionTarget::Option) {
                const auto o = static_cast<TvxTLOption>(drive.Bit);
                on ? options.Include(o) : options.Exclude(o);
            } else if (drive.Target == TvxDBGridOptionTarget::OptionEx) {
                const auto o = static_cast<TvxTLOptionEx>(drive.Bit);
                on ? optionsEx.Include(o) : optionsEx.Exclude(o);
            } else if (drive.Target == TvxDBGridOptionTarget::Indicator) {
                SetShowIndicator(on);
            }
        }
    }
    SetOptions(options);
    SetOptionsEx(optionsEx);
    SetHideSelectionColor(HighlightColor());
    SetHideSelectionTextColor(HighlightTextColor());
    summaryGroups_ = std::make_unique<TvxDBGridSummaryGroups>(this);
    filter_ = std::make_unique<TvxDBGridFilter>(this);
    RegisterGrid(this);
}

TCustomvxDBGrid::~TCustomvxDBGrid() {
    // No layout, painting or dataset event reaches a grid being taken apart.
    Destroying();
    UnregisterGrid(this);
    DestroyFilter();
    ClearCache();
    summaryGroups_.reset();
    loadedGroupFields_.clear();
    groupColumns_.clear();
    // The link goes first, so that no dataset event reaches a grid being taken apart. Its rows
    // go with it, each with its deletion handler: what one raises is reported.
    if (dataLink_) RunOrReport([this] { dataLink_->SetDataSource(nullptr); });
    dataLink_.reset();
    GridColumnsUnitShutDown();
}

// ---- Properties ----

TDataSource* TCustomvxDBGrid::GetDataSource() const { return dataLink_ ? dataLink_->DataSource() : nullptr; }

void TCustomvxDBGrid::SetDataSource(TDataSource* Value) {
    if (Value == GetDataSource()) return;
    ClearSelection();
    if (notifiedSource_) notifiedSource_->RemoveFreeNotification(this);
    dataLink_->SetDataSource(Value);
    notifiedSource_ = Value;
    if (Value) Value->FreeNotification(this);
    if (IsCursorMode()) LinkActive(dataLink_->Active());
}

void TCustomvxDBGrid::SetDefaultFields(bool Value) {
    if (defaultFields_ == Value) return;
    defaultFields_ = Value;
    TUpdateBracket update(this);
    // Only default fields going on end loading all: loading all going on is what switches
    // them off, and must stay on.
    if (Value && Has(egoLoadAllRecords)) {
        TvxDBGridOptions options = legacyOptions_;
        options.Exclude(egoLoadAllRecords);
        SetGridOptions(options);
    }
    for (TvxDBTreeListColumn* c : std::vector<TvxDBTreeListColumn*>(groupColumns_)) c->StoreGroupIndex(-1);
    groupColumns_.clear();
    ColumnsChanged();
    SetDefaultLayout(true);
}

void TCustomvxDBGrid::SetPartialLoad(bool Value) {
    TvxDBGridOptionsDB db = optionsDB_;
    Value ? db.Include(edgoPartialLoad) : db.Exclude(edgoPartialLoad);
    SetOptionsDB(db);
}

void TCustomvxDBGrid::SetUseBookmarks(bool Value) {
    TvxDBGridOptionsDB db = optionsDB_;
    Value ? db.Include(edgoUseBookmarks) : db.Exclude(edgoUseBookmarks);
    SetOptionsDB(db);
}

void TCustomvxDBGrid::SetShowGroupPanel(bool Value) {
    if (showGroupPanel_ == Value) return;
    CloseEditor();
    showGroupPanel_ = Value;
    if (HandleAllocated() && IsWindowVisible(WindowHandle()) && LockUpdate() == 0 && !HasState(csLoading) &&
        !HasState(csDesigning) && State() == 0) {
        // What waits to be painted would be painted with the panel already switched.
        ValidateRect(WindowHandle(), nullptr);
        if (!AnimateGroupPanel(Value)) return;
    }
    RefreshLayout();
}

void TCustomvxDBGrid::SetSummarySeparator(const std::string& Value) {
    if (summarySeparator_ == Value) return;
    summarySeparator_ = Value;
    Invalidate();
}

void TCustomvxDBGrid::SetGroupPanelColor(TColor Value) {
    if (groupPanelColor_ == Value) return;
    groupPanelColor_ = Value;
    if (showGroupPanel_) Invalidate();
}

void TCustomvxDBGrid::SetGroupPanelFontColor(TColor Value) {
    if (groupPanelFontColor_ == Value) return;
    groupPanelFontColor_ = Value;
    if (showGroupPanel_) Invalidate();
}

// ---- Option sets ----

void TCustomvxDBGrid::ApplyDrives(TvxDBGridOptionSet Set, uint32_t OldBits, uint32_t NewBits) {
    TvxTreeListOptions options = Options();
    TvxTreeListOptionsEx optionsEx = OptionsEx();
    for (int b = 0; b < DBGridOptionSetSize(Set); ++b) {
        const bool was = (OldBits >> b) & 1u, on = (NewBits >> b) & 1u;
        if (was == on) continue;
        const TvxDBGridOptionDrive drive = DBGridOptionDrive(Set, static_cast<uint8_t>(b));
        if (drive.Target == TvxDBGridOptionTarget::Option) {
            const auto o = static_cast<TvxTLOption>(drive.Bit);
            on ? options.Include(o) : options.Exclude(o);
        } else if (drive.Target == TvxDBGridOptionTarget::OptionEx) {
            const auto o = static_cast<TvxTLOptionEx>(drive.Bit);
            on ? optionsEx.Include(o) : optionsEx.Exclude(o);
        } else if (drive.Target == TvxDBGridOptionTarget::Indicator) {
            SetShowIndicator(on);
        }
    }
    // Row selection and inverted selection exclude each other in the tree list.
    if (Set == TvxDBGridOptionSet::View && ((NewBits >> edgoRowSelect) & 1u))
        optionsEx.Exclude(TvxTLOptionEx::InvertSelect);
    SetOptions(options);
    SetOptionsEx(optionsEx);
}

void TCustomvxDBGrid::RewriteLegacy() {
    DBGridSetsToLegacy({optionsBehavior_, optionsCustomize_, optionsDB_, optionsView_}, legacyOptions_,
                       legacyOptionsEx_);
}

void TCustomvxDBGrid::SetOptionsBehavior(TvxDBGridOptionsBehavior Value) {
    if (Value == optionsBehavior_) return;
    TUpdateBracket update(this);
    ApplyDrives(TvxDBGridOptionSet::Behavior, optionsBehavior_.Bits(), Value.Bits());
    if (Value.Contains(edgoAutoSort) != optionsBehavior_.Contains(edgoAutoSort) ||
        Value.Contains(edgoMultiSort) != optionsBehavior_.Contains(edgoMultiSort))
        ClearSortedColumns();
    optionsBehavior_ = Value;
    RewriteLegacy();
}

void TCustomvxDBGrid::SetOptionsCustomize(TvxDBGridOptionsCustomize Value) {
    if (Value == optionsCustomize_) return;
    TUpdateBracket update(this);
    ApplyDrives(TvxDBGridOptionSet::Customize, optionsCustomize_.Bits(), Value.Bits());
    optionsCustomize_ = Value;
    RewriteLegacy();
}

void TCustomvxDBGrid::SetOptionsView(TvxDBGridOptionsView Value) {
    if (Value.Contains(edgoInvertSelect)) Value.Exclude(edgoRowSelect);
    if (Value == optionsView_) return;
    TUpdateBracket update(this);
    ApplyDrives(TvxDBGridOptionSet::View, optionsView_.Bits(), Value.Bits());
    optionsView_ = Value;
    RewriteLegacy();
}

void TCustomvxDBGrid::SetOptionsDB(TvxDBGridOptionsDB Value) {
    if (Value.Contains(edgoLoadAllRecords)) Value.Exclude(edgoPartialLoad);
    if (Value == optionsDB_) return;
    TUpdateBracket update(this);
    const TvxDBGridOptionsDB old = optionsDB_;
    optionsDB_ = Value;
    RewriteLegacy();
    auto changed = [&](TvxDBGridOptionDB o) { return old.Contains(o) != Value.Contains(o); };
    if (changed(edgoPartialLoad) && IsBufferedMode()) {
        if (Value.Contains(edgoPartialLoad) && defaultFields_) SetDefaultFields(false);
        startReached_ = false;
        endReached_ = false;
        LinkActive(dataLink_->Active());
    }
    if (Value.Contains(edgoUseBookmarks) && !old.Contains(edgoUseBookmarks)) ClearSelection();
    if (Value.Contains(edgoLoadAllRecords) && defaultFields_) SetDefaultFields(false);
    if (changed(edgoLoadAllRecords) && groupColumns_.empty()) {
        if (IsBufferedMode()) ClearBufferedSorting();
        BeginGroupRebuild();
        EndGroupRebuild();
        FilterChanged();
        return;
    }
    if (changed(edgoCanNavigation)) ColumnFieldChanged(nullptr);
}

void TCustomvxDBGrid::SetGridOptions(TvxDBGridOptions Value) {
    const TvxDBGridOptionSets sets = DBGridLegacyToSets({optionsBehavior_, optionsCustomize_, optionsDB_, optionsView_},
                                                        Value, legacyOptionsEx_);
    TUpdateBracket update(this);
    SetOptionsBehavior(sets.Behavior);
    SetOptionsCustomize(sets.Customize);
    SetOptionsDB(sets.DB);
    SetOptionsView(sets.View);
}

void TCustomvxDBGrid::SetGridOptionsEx(TvxDBGridOptionsEx Value) {
    const TvxDBGridOptionSets sets = DBGridLegacyToSets({optionsBehavior_, optionsCustomize_, optionsDB_, optionsView_},
                                                        legacyOptions_, Value);
    TUpdateBracket update(this);
    SetOptionsBehavior(sets.Behavior);
    SetOptionsCustomize(sets.Customize);
    SetOptionsDB(sets.DB);
    SetOptionsView(sets.View);
}

void TCustomvxDBGrid::ClearAutoHeaderPanelHeight() {
    TCustomvxDBTreeListControl::ClearAutoHeaderPanelHeight();
    if (!Has(egoAutoHeaderPanelHeight)) return;
    TvxDBGridOptionsEx legacy = legacyOptionsEx_;
    legacy.Exclude(egoAutoHeaderPanelHeight);
    SetGridOptionsEx(legacy);
}

void TCustomvxDBGrid::ClearBufferedSorting() {
    BeginSorting();
    TScopeExit sorted([this] { EndSorting(); });
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && c->GroupIndex() < 0 && c->Sorted() != csNone)
            c->SetSorted(csNone);
}

// ---- Record modes ----

bool TCustomvxDBGrid::IsBufferedMode() {
    return !Has(egoLoadAllRecords) && !(dataLink_ && dataLink_->Active() && !groupColumns_.empty());
}

bool TCustomvxDBGrid::IsEditingForbidden() {
    TDataSet* ds = DataSet();
    if (ds && !KeyField().empty() && ds->FindField(KeyField())) return false;
    return !IsCursorMode();
}

bool TCustomvxDBGrid::IsUseLocate() { return Has(egoUseLocate) || Has(egoSmartRefresh) || IsFilterInEffect(); }

// ---- Grouping ----

bool TCustomvxDBGrid::CanAddGroupColumn(TvxDBTreeListColumn* Column) {
    if (defaultFields_) return false;
    if (!rebuildingGroupIndexes_) {
        if (!Column || Column->DisableGrouping() || dynamic_cast<TBlobField*>(Column->Field())) return false;
        int visible = 0;
        for (int i = 0; i < ColumnCount(); ++i)
            if (Columns(i)->Visible()) ++visible;
        if (visible <= 1 && Column->Visible()) return false;
    }
    if (!Column) return false;
    for (TvxDBTreeListColumn* g : groupColumns_)
        if (g == Column || (Column->Field() && g->Field() == Column->Field())) return false;
    bool allow = true;
    if (OnAddGroupColumn) OnAddGroupColumn(this, Column, allow);
    return allow;
}

void TCustomvxDBGrid::SummaryGroupsChanged() {
    if (IsCursorMode()) {
        RefreshLayout();
        return;
    }
    // A group being added reports itself before it is built: regroup once it is.
    const TCollection* groups = summaryGroups_.get();
    for (int i = 0; groups && i < groups->Count(); ++i)
        if (!dynamic_cast<TvxDBGridSummaryGroup*>(groups->TCollection::Items(i))) {
            RefreshLayout();
            return;
        }
    suppressRegroup_ = true;
    RebuildGroupColumns();
    suppressRegroup_ = false;
    RefreshLayout();
}

bool TCustomvxDBGrid::IsGroupNode(TvxTreeListNode* Node) {
    return Node && !groupColumns_.empty() && Node->Level() < GroupColumnCount();
}

// ---- Records ----

void TCustomvxDBGrid::DeleteNodeRecord(TvxDBGridNode* Node) {
    TDataSet* ds = DataSet();
    if (!dataLink_->Active() || !ds || !Node) return;
    if (IsCursorMode()) {
        if (Node != GetFocusedNode()) return;
    } else {
        if (IsGroupNode(Node) || !Has(egoCanNavigation)) return;
        if (!recordCursor_.MoveDataSetToNode(Node)) return;
    }
    syncedNode_ = Node;
    syncedKeyValue_ = Node->KeyValue;
    // A delete refused (a table event raising before it) ends the operation as a change does.
    TScopeExit ended([this, ds] {
        if (ds->State() != dsBrowse) return;
        syncedNode_ = nullptr;
        syncedKeyValue_ = Variant();
    });
    ds->Delete();
}

void TCustomvxDBGrid::DoEndDragGroupColumn(TvxDBTreeListColumn* Column, int NewGroupIndex, bool& Allow) {
    if (OnEndDragGroupColumn) OnEndDragGroupColumn(this, Column, NewGroupIndex, Allow);
}

void TCustomvxDBGrid::DoClearNodeData() {
    if (OnClearNodeData) OnClearNodeData(this);
}

// ---- The data-aware control's operations ----

Variant TCustomvxDBGrid::GetSummaryValue(TvxTreeListNode* Node) {
    auto* node = NodeAs<TvxDBGridNode>(Node);
    return Variant(node ? static_cast<double>(node->SummaryValue) : 0.0);
}

void TCustomvxDBGrid::ColumnNameChanged(const std::string& OldName, const std::string& NewName) {
    if (!summaryGroups_) return;
    for (int g = 0; g < summaryGroups_->Count(); ++g) {
        TvxDBGridSummaryItems* items = summaryGroups_->Items(g)->SummaryItems();
        for (int i = 0; i < items->Count(); ++i)
            if (SameText(items->Items(i)->ColumnName(), OldName)) items->Items(i)->SetColumnName(NewName);
    }
}

TvxDBTreeListColumnClass TCustomvxDBGrid::GetDefaultColumnClass() { return ColumnClassOf<TvxDBGridColumn>(); }

TvxDBTreeListColumnClass TCustomvxDBGrid::GetColumnClassForField(TField* Field) {
    return DefaultColumnClassForField(Field);
}

// ---- Tree list operations ----

TvxTreeListNode* TCustomvxDBGrid::CreateNode() { return groupRows_.Make(this); }

void TCustomvxDBGrid::Loaded() {
    {
        loadingFromStream_ = true;
        struct Clear {
            bool& flag;
            ~Clear() { flag = false; }
        } clear{loadingFromStream_};
        TUpdateBracket update(this);
        TCustomvxDBTreeListControl::Loaded();
        suppressRegroup_ = true;
        RebuildGroupColumns();
        suppressRegroup_ = false;
        RefreshSummaryFields();
        RefreshColumnDefaults();
    }
    // A table open before the stream ended was met by a grid that loaded nothing while it
    // read its settings: it loads now, with all of them.
    if (dataLink_->Active()) LinkActive(true);
}

void TCustomvxDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    const bool keyFieldRemoved = Operation == opRemove && KeyFieldObject() &&
                                 AComponent == static_cast<TComponent*>(KeyFieldObject());
    TCustomvxDBTreeListControl::Notification(AComponent, Operation);
    if (Operation != opRemove || IsDestroying()) return;
    // The source has let go of the link already, when it tells us.
    if (AComponent == notifiedSource_) {
        notifiedSource_ = nullptr;
        SetDataSource(nullptr);
        LinkActive(false);
        return;
    }
    if (!keyFieldRemoved) return;
    TDataSet* ds = DataSet();
    if (ds && !ds->ControlsDisabled()) {
        TUpdateBracket update(this);
        for (int i = 0; i < ColumnCount(); ++i)
            if (TvxDBTreeListColumn* c = GetColumn(i); c && SameText(c->FieldName(), KeyField()))
                c->SetFieldName(c->FieldName());
    }
    if (!IsCursorMode() && dataLink_->Active()) LinkActive(true);
}

void TCustomvxDBGrid::DoEditing(TvxTreeListNode* Node, bool& Allow) {
    if (IsGroupNode(Node)) {
        Allow = false;
        return;
    }
    TCustomvxDBTreeListControl::DoEditing(Node, Allow);
    // The editor writes into the table's current record: it opens only on that record's row.
    // A focus the table did not follow (code made current a record no row shows, a way back
    // refused) takes the table to the row's record first. Rows that cannot tell which record
    // is current edit as before.
    if (!Allow || IsCursorMode() || DataSetEditing() || !recordCursor_.TellsCurrentRecord() ||
        recordCursor_.ShowsCurrentRecord(Node))
        return;
    recordCursor_.FollowFocus();
    Allow = recordCursor_.ShowsCurrentRecord(Node);
}

bool TCustomvxDBGrid::IsEditing() { return TCustomvxDBTreeListControl::IsEditing() && !IsGroupNode(GetFocusedNode()); }

bool TCustomvxDBGrid::HasCustomDrawCell(TvxTreeListNode* Node, int Column) {
    return TCustomvxDBTreeListControl::HasCustomDrawCell(Node, Column) || static_cast<bool>(OnCustomDraw);
}

void TCustomvxDBGrid::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column,
                                       bool Selected, bool Focused, bool NewItemRow, std::string& Text, TColor& Color,
                                       TFont* Font, TAlignment& Alignment, bool& Done) {
    if (OnCustomDraw)
        OnCustomDraw(this, Canvas, Rect, Node, ColumnAt(Column), Text, Font, Color, Selected, Focused, Done);
    if (!Done)
        TCustomvxDBTreeListControl::DoCustomDrawCell(Canvas, Rect, Node, Column, Selected, Focused, NewItemRow, Text,
                                                     Color, Font, Alignment, Done);
}

void TCustomvxDBGrid::DoHeaderClick(int Column) {
    if (OnColumnClick) OnColumnClick(this, ColumnAt(Column));
    TCustomvxDBTreeListControl::DoHeaderClick(Column);
}

void TCustomvxDBGrid::ShowHeader(int Band, int Row, int Column, int Col) {
    TCustomvxDBTreeListControl::ShowHeader(Band, Row, Column, Col);
    if (OnShowColumn) OnShowColumn(this, ColumnAt(Column));
}

void TCustomvxDBGrid::HideHeader(int Column) {
    TCustomvxDBTreeListControl::HideHeader(Column);
    if (OnHideColumn) OnHideColumn(this, ColumnAt(Column));
}

// ---- Column changes under the group-rebuild lock ----
// The groups are rebuilt once, when the lock ends, not after every column that changes.

void TCustomvxDBGrid::AssignColumns(TCustomvxTreeListControl* Source) {
    BeginGroupRebuild();
    TScopeExit end([this] { EndGroupRebuild(); });
    TCustomvxDBTreeListControl::AssignColumns(Source);
    auto* grid = dynamic_cast<TCustomvxDBGrid*>(Source);
    if (!grid || grid == this) return;
    for (TvxDBTreeListColumn* from : grid->GroupColumns())
        if (auto* column = dynamic_cast<TvxDBTreeListColumn*>(FindColumnByName(from->Name())))
            ChangeGroupIndex(column, GroupColumnCount());
}

void TCustomvxDBGrid::BeginColumnsUpdate() {
    BeginGroupRebuild();
    TCustomvxDBTreeListControl::BeginColumnsUpdate();
}

void TCustomvxDBGrid::EndColumnsUpdate() {
    TScopeExit rebuilt([this] { EndGroupRebuild(); });
    TCustomvxDBTreeListControl::EndColumnsUpdate();
}
