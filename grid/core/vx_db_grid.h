#pragma once
// TCustomvxDBGrid: the data-aware grid. It shows a dataset's records as rows, groups them by
// the columns' GroupIndex, sums them, and keeps four option sets in step with the legacy
// option words that forms may still write. Which records have nodes is decided by the record
// modes (load all, partial load, record window), asked through IsBufferedMode and its kin.
// TvxDBGrid is the same class as the forms use it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/vx_db_grid_cursor.h"
#include "grid/core/vx_db_grid_node.h"
#include "grid/core/vx_db_grid_options.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "grid/core/vx_grid_data_link.h"
#include "grid/core/vx_group_row_storage.h"
#include "grid/filter/vx_db_grid_filter.h"
#include "grid/summaries/vx_summary_groups.h"

using TAddGroupColumnEvent = std::function<void(TObject* Sender, TvxDBTreeListColumn* Column, bool& Allow)>;
using TvxDBGridBackgroundDrawEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect)>;
using TvxDBTreeListColumnSorting = std::function<void(TObject* Sender, TvxDBTreeListColumn* Column, bool& Allow)>;
using TEndDragGroupColumn =
    std::function<void(TObject* Sender, TvxDBTreeListColumn* Column, int NewGroupIndex, bool& Allow)>;
using TvxDBTreeListColumnClick = std::function<void(TObject* Sender, TvxDBTreeListColumn* Column)>;
using TShowColumnEvent = std::function<void(TObject* Sender, TvxDBTreeListColumn* Column)>;
using THideColumnEvent = TShowColumnEvent;
using TvxDBGridFilterChangedEvent =
    std::function<void(TObject* Sender, TDataSet* ADataSet, const std::string& AFilterText)>;
using TvxDBGridEnumFilterValuesEvent =
    std::function<void(TObject* Sender, TvxDBTreeListColumn* AColumn, Variant& AValue, std::string& ADisplayText,
                       bool& ARepeatEnumeration)>;

inline constexpr const char* kvxGroupPanelText = "Drag a column header here to group by that column";
// The drop-position marker of a header over the group panel; ColPos holds the group index
// it would take.
inline constexpr int kvxGroupPanelDrop = -4;

class TvxDBGridFilterPopupListBox;

class TCustomvxDBGrid : public TCustomvxDBTreeListControl {
public:
    explicit TCustomvxDBGrid(TComponent* AOwner);
    ~TCustomvxDBGrid() override;
    std::string ClassName() const override { return "TCustomvxDBGrid"; }

    // ---- Properties ----
    TDataSource* DataSource() const { return GetDataSource(); }
    void SetDataSource(TDataSource* Value);
    bool DefaultFields() const { return GetDefaultFields(); }
    void SetDefaultFields(bool Value);
    bool PartialLoad() const { return optionsDB_.Contains(edgoPartialLoad); }
    void SetPartialLoad(bool Value);
    bool UseBookmarks() const { return optionsDB_.Contains(edgoUseBookmarks); }
    void SetUseBookmarks(bool Value);
    int PartialLoadBufferCount() const { return partialLoadBufferCount_; }
    void SetPartialLoadBufferCount(int Value) { partialLoadBufferCount_ = Value; }
    bool ShowGroupPanel() const { return showGroupPanel_; }
    void SetShowGroupPanel(bool Value);
    TvxDBGridSummaryGroups* SummaryGroups() const { return summaryGroups_.get(); }
    void SetSummaryGroups(TvxDBGridSummaryGroups* Value) { summaryGroups_->Assign(Value); }
    const std::string& SummarySeparator() const { return summarySeparator_; }
    void SetSummarySeparator(const std::string& Value);
    TColor GroupPanelColor() const { return groupPanelColor_; }
    void SetGroupPanelColor(TColor Value);
    TColor GroupPanelFontColor() const { return groupPanelFontColor_; }
    void SetGroupPanelFontColor(TColor Value);

    TvxDBGridFilter* Filter() const { return filter_.get(); }
    void SetFilter(TvxDBGridFilter* Value) { filter_->Assign(Value); }

    // ---- Filtering (vx_db_grid_filtering.cpp) ----
    // FilterApplied from the criteria, the rows filtered again, the change announced.
    void ApplyFilter();
    // The drop-down's entries for a column: the fixed ones, then the values.
    void FillFilterValues(TvxDBTreeListColumn* Column);
    TvxDBGridFilterPopupListBox* FilterDropDown() const { return filterDropDown_.get(); }
    bool FilterDroppedDown() const { return filterDroppedDown_; }
    void SetFilterDroppedDown(bool Value) { filterDroppedDown_ = Value; }

    // ---- Option sets and the legacy words ----
    TvxDBGridOptionsBehavior OptionsBehavior() const { return optionsBehavior_; }
    void SetOptionsBehavior(TvxDBGridOptionsBehavior Value);
    TvxDBGridOptionsCustomize OptionsCustomize() const { return optionsCustomize_; }
    void SetOptionsCustomize(TvxDBGridOptionsCustomize Value);
    TvxDBGridOptionsDB OptionsDB() const { return optionsDB_; }
    void SetOptionsDB(TvxDBGridOptionsDB Value);
    TvxDBGridOptionsView OptionsView() const { return optionsView_; }
    void SetOptionsView(TvxDBGridOptionsView Value);
    TvxDBGridOptions GridOptions() const { return legacyOptions_; }
    void SetGridOptions(TvxDBGridOptions Value);
    TvxDBGridOptionsEx GridOptionsEx() const { return legacyOptionsEx_; }
    void SetGridOptionsEx(TvxDBGridOptionsEx Value);
    bool Has(TvxDBGridOption o) const { return legacyOptions_.Contains(o); }
    bool Has(TvxDBGridOptionEx o) const { return legacyOptionsEx_.Contains(o); }

    // ---- Record modes ----
    bool IsBufferedMode();
    bool IsLoadAllMode() { return !IsBufferedMode(); }
    bool IsPartialLoadMode() { return IsBufferedMode() && PartialLoad(); }
    bool IsCursorMode() { return IsBufferedMode() && !PartialLoad(); }
    bool IsFilterInEffect() { return IsLoadAllMode() && filterApplied_; }
    bool FilterApplied() const { return filterApplied_; }
    bool StartReached() const { return startReached_; }
    bool EndReached() const { return endReached_; }
    bool LoadingNodes() const { return loadingNodes_; }

    // ---- Grouping ----
    const std::vector<TvxDBTreeListColumn*>& GroupColumns() const { return groupColumns_; }
    int GroupColumnCount() const { return static_cast<int>(groupColumns_.size()); }
    void BeginGroupRebuild();
    void EndGroupRebuild();
    int GroupRebuildLock() const { return groupRebuildLock_; }
    // The group columns again from the columns' GroupIndex, numbered 0 .. n-1.
    void RebuildGroupColumns();
    // False when CanAddGroupColumn refuses the column.
    bool InsertGroupColumn(int Index, TvxDBTreeListColumn* Column);
    void RemoveGroupColumn(int Index);
    // The number of group columns or their fields differ from the last load.
    bool GroupFieldsChanged() const;
    bool RegroupPending() const { return regroupPending_; }
    // A structural change: the nodes again from the dataset (or the loaded rows regrouped).
    void ReloadGroupList();
    // A data change: group rows and rows of unchanged keys are kept.
    void ReloadAfterChange();
    bool CanRegroupLoaded();
    // Among the children of Parent (the roots when null) from Start on, the group row of
    // Value at Level; otherwise Node is where such a row goes (null: after the last).
    bool FindGroupNode(TvxTreeListNode* Parent, int Level, const Variant& Value, int Start, TvxTreeListNode*& Node);
    // A is the sibling's value: Null first, then by value (upper-cased with the case option).
    int CompareGroupValues(const Variant& A, const Variant& B);
    int CompareGroupValuesAsTheyAre(const Variant& A, const Variant& B);
    // How the rows stand when they are counted again: as anything may have left them, or in
    // the order the grid keeps (group rows in their columns' order, data rows in record
    // order), as a load or a filter leaves them, with only a sort column's order to make.
    enum class TRowOrder { Unknown, Kept };
    // The group summaries and the footer again from the loaded rows; Node, when given, first
    // moves to the group rows its own values call for.
    void RecalcSummaries(TvxTreeListNode* Node, TRowOrder Order = TRowOrder::Unknown);
    void FinishSummaries(bool SmartRegroup);
    // The group rows a data row's own values call for, made where missing; the deepest
    // (null without group columns).
    TvxTreeListNode* GroupPathFor(TvxTreeListNode* Node);
    // Every group row takes the key and record index of its first child.
    void PropagateGroupKeys();
    std::string GetGroupSummaryText(TvxTreeListNode* Node);
    // The number of data rows below a group row.
    static int GroupRecordCount(TvxTreeListNode* Node);
    int FooterRecordCount() const { return footerRecordCount_; }
    bool SelectLoadedNodes() const { return selectLoadedNodes_; }
    void SetSelectLoadedNodes(bool Value) { selectLoadedNodes_ = Value; }
    // Text the grid adds after a group row's summary text (an internal hook).
    std::function<void(TObject* Sender, TvxTreeListNode* Node, std::string& Text)> OnGetGroupText;
    // Summary values of group rows (the grid's own hook beside the columns').
    std::function<void(TObject* Sender, TvxTreeListNode* Node, Extended& Value, TDataSet* DataSet)> OnGroupSummary;

    // ---- Record window and partial load ----
    // Direction 0 around the current record, 1 the next buffer, 2 the previous, 3 all;
    // TopMode 0 keeps the focused row's distance from the top, 1 puts it on top, 2 at the
    // bottom; Select selects the records between the anchor and the current one.
    void LoadPartialBuffer(int Direction, int TopMode, bool Select);
    // max(5 x visible rows, PartialLoadBufferCount).
    int PartialBufferSize();
    // The lowest and highest record numbers of the loaded run; False without rows.
    bool LoadedRun(int& First, int& Last);
    // Selects Count records from the anchor towards the current record.
    void SelectCursorRange(bool Up, int Count);

    // ---- Records and keys ----
    // Asks before a delete when egoConfirmDelete is on; False when the user cancels.
    bool ConfirmDelete();
    // Deletes the records of the selected data rows; selected group rows stay selected.
    int DeleteSelection() override;
    // Whether the selection's entry at Index is a group row's, which names no record to act on
    // (a group row's entry leaves with its row: an entry without a row is a record's).
    bool IsGroupRowEntry(int Index);
    // The entries that are records', in order.
    std::vector<int> RecordEntries();
    TvxTreeListNode* SyncedNode() const { return syncedNode_; }
    const Variant& SyncedKeyValue() const { return syncedKeyValue_; }
    // Deletes the node's record, the table taken there by the cursor (MoveDataSetToNode).
    void DeleteNodeRecord(TvxDBGridNode* Node);

    // ---- Exports (vx_db_grid_export.cpp) ----
    // SaveAll False: the selected rows with their group rows and descendants.
    void SaveToText(const std::string& FileName, bool SaveAll, const std::string& Separator,
                    const std::string& BeginString, const std::string& EndString);
    void SaveToHTML(const std::string& FileName, bool SaveAll);
    void SaveToXLS(const std::string& FileName, bool SaveAll);

    // ---- Events ----
    // OnClearNodeData and OnReloadGroupList fire inside a change of the rows, as the tree
    // list's node and selection events do (custom_tree_list.h): a handler must not free its
    // own grid.
    TAddGroupColumnEvent OnAddGroupColumn;
    TvxDBGridBackgroundDrawEvent OnBackgroundDrawEvent;
    TNotifyEvent OnClearNodeData;
    TvxDBTreeListColumnSorting OnColumnSorting;
    TEndDragGroupColumn OnEndDragGroupColumn;
    TNotifyEvent OnReloadGroupList;
    TvxDBTreeListColumnClick OnColumnClick;
    TCustomDrawEvent OnCustomDraw;
    TShowColumnEvent OnShowColumn;
    THideColumnEvent OnHideColumn;
    TvxDBGridFilterChangedEvent OnFilterChanged;
    TvxDBGridEnumFilterValuesEvent OnEnumFilterValues;

    // ---- Virtual operations of this class, in slot order ----
    virtual void DoEndDragGroupColumn(TvxDBTreeListColumn* Column, int NewGroupIndex, bool& Allow);
    virtual bool IsUseLocate();
    virtual void DoClearNodeData();
    virtual void ReloadNodes(const std::vector<TvxTreeListNode*>* Nodes);
    virtual bool IsRecordInFilter(TvxTreeListNode* Node);
    virtual void FilterChanged();
    virtual void DestroyFilter();
    virtual bool IsAllLoaded() { return IsLoadAllMode(); }
    virtual bool IsNodeInFilter(TvxTreeListNode* Node);
    virtual bool FilterNodes(TvxTreeListNode* Node, bool Recalc);
    virtual void PrepareFilter();
    virtual void RefilterNodes();
    virtual void DoFilterChanged();
    virtual bool CanAddGroupColumn(TvxDBTreeListColumn* Column);

    // ---- The data-aware control's operations ----
    TvxDBTreeListControlDataLink* GetDataLink() const override { return dataLink_.get(); }
    TDataSource* GetDataSource() const override;
    bool GetDefaultFields() const override { return defaultFields_; }
    bool IsCancelOnExit() override { return Has(egoCancelOnExit); }
    bool CanInsert() override { return Has(egoCanInsert); }
    bool CanNavigation() override { return IsCursorMode() || Has(egoCanNavigation); }
    bool IsSelectionByNodes() override { return IsCursorMode(); }
    bool IsEditingForbidden() override;
    // A load, a filter or a change broke off: the rows are owed to the grid's next paint, key or
    // scroll, or the table's next change.
    bool RowsOwed() const { return rowsOwed_; }
    // Not while rows are owed.
    bool IsAllRecordsLoaded() override { return !rowsOwed_ && (IsLoadAllMode() || (startReached_ && endReached_)); }
    bool IsUseBookmarks() override { return UseBookmarks() || IsCursorMode(); }
    // Where the rows are not every record, the search goes over the table.
    bool FindNodeByText(int Column, const std::string& Text, TvxTreeListNode*& Node, int Direction) override;
    void SetBusy(bool Value) override { loadingNodes_ = Value; }
    bool IsBusy() override { return loadingNodes_ || loadingFromStream_; }
    void LinkActive(bool Active) override;
    void RefreshSummaryFields() override;
    Variant GetSummaryValue(TvxTreeListNode* Node) override;
    void ColumnNameChanged(const std::string& OldName, const std::string& NewName) override;
    void ChangeGroupIndex(TvxDBTreeListColumn* Column, int GroupIndex) override;
    void ClearGrouping() override;
    void SummaryGroupsChanged() override;
    TvxDBTreeListColumnClass GetDefaultColumnClass() override;
    TvxDBTreeListColumnClass GetColumnClassForField(TField* Field) override;

    void DataChanged() override;
    void RecordChanged(TField* Field) override;
    void Scroll(int Distance) override;
    void CalcSummaries() override;
    void ColumnFieldChanged(TvxDBTreeListColumn* Column) override;
    void SynchronizeData() override;

    // ---- Tree list operations: grouping, summaries and sorting ----
    Variant GetNodeValue(TvxTreeListNode* Node, int Column) override;
    std::string GetNodeString(TvxTreeListNode* Node, int Column) override;
    Variant GetNodeSortValue(TvxTreeListNode* Node, int Column) override;
    void GetPreviewText(TvxTreeListNode* Node, std::string& Text) override;
    TAlignment GetColumnAlignment(TvxTreeListNode* Node, int Column) override;
    void GetFooterCellText(TvxTreeListNode* Node, int Column, std::string& Text, int Level) override;
    bool IsExistRowFooter(int Level) override;
    bool IsExistRowFooterCell(TvxTreeListNode* Node, int Column, int Level) override;
    int GetGroupIndentWidth() override;
    void AddSortedColumn(TvxTreeListColumn* Column) override;
    bool KeepsColumnSorted(TvxTreeListColumn* Column) override;
    void SortByColumn(TvxTreeListColumn* Column) override;
    void SortNodes(int Level, int ColumnIndex, bool Descending) override;
    void ResortNodes() override;
    void SortMarksPutBack() override;
    bool DoColumnSorting(TvxTreeListColumn* Column) override;
    void ChangeFocus(TvxTreeListNode* Node, int Column, bool MakeVisible) override;

    // ---- Tree list operations: record window ----
    bool IsFirstNode(TvxTreeListNode* Node) override;
    bool IsLastNode(TvxTreeListNode* Node) override;
    bool IsFirstFocused() override;
    bool IsLastFocused() override;
    TvxTreeListNode* GetNeighbourNode(TvxTreeListNode* Node, int Direction, bool AllNodes) override;
    void SetFocusedAbsoluteNodeIndex(int Index) override;
    void SetTopVisibleNode(TvxTreeListNode* Node) override;
    void BeginDrawNode(TvxTreeListNode* Node) override;
    void EndDrawNode(TvxTreeListNode* Node) override;
    int GetVisibleRowCount() override;
    void GetVertScrollInfo(int& Min, int& Max, int& Page, int& Pos) override;
    void UpdateRowCounts() override;
    void UpdateScrollBars() override;
    void GetRowsAreaRect(TRect& Rect) override;
    bool CanCacheRowHeights() override;
    bool KeepScrollBars() override;
    bool CanSelectRange() override { return !IsCursorMode(); }
    void WMVScroll(TMessage& Message) override;
    void ScrollVertical(bool Up, int Count) override;

    // ---- Tree list operations: selection by records ----
    void SetSelectionAnchor(TvxTreeListNode* Node) override;
    int CompareWithAnchor(TvxTreeListNode* Node) override;
    void SelectionChanged(TvxTreeListNode* Node, bool Select) override;
    void DeselectNodes(const std::vector<TvxTreeListNode*>& Nodes) override;
    bool IsNodeSelected(TvxTreeListNode* Node) override;
    bool DoCanNodeSelected(TvxTreeListNode* Node) override;
    int GetSelectedCount() override;
    TvxTreeListNode* GetSelectedItem(int Index) override;
    void ClearSelection() override;
    void InvalidateSelection() override;
    void SelectRange(TvxTreeListNode* Node1, TvxTreeListNode* Node2) override;
    // The outermost batch, ending, tells OnChangeNodeEx when the focused record changed.
    void EndSelection() override;
    void SaveAllToStrings(TStrings* Strings) override;
    void SaveSelectedToStrings(TStrings* Strings) override;

    // ---- Tree list operations ----
    TvxTreeListNode* CreateNode() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool CanDblClick() override { return Has(egoDblClick); }
    void DoEditing(TvxTreeListNode* Node, bool& Allow) override;
    bool IsEditing() override;
    bool IsGroupNode(TvxTreeListNode* Node) override;
    bool IsMultiSort() override { return optionsBehavior_.Contains(edgoMultiSort) && !IsCursorMode(); }
    bool IsAutoSort() override { return optionsBehavior_.Contains(edgoAutoSort) && !IsBufferedMode(); }
    bool HasCustomDrawCell(TvxTreeListNode* Node, int Column) override;
    void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column, bool Selected,
                          bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                          TAlignment& Alignment, bool& Done) override;
    void DoHeaderClick(int Column) override;
    void ShowHeader(int Band, int Row, int Column, int Col) override;
    void HideHeader(int Column) override;

    // ---- Tree list operations: filter ----
    bool IsFilterEnabled() override;
    bool HasFilterCriteria() override;
    void GetFilterStatusText(std::string& Text) override;
    void GetClearFilterCaption(std::string& Text) override;
    void ClearFilter() override;
    bool IsFilterStatusVisible() override;
    int GetFilterButtonState(int Column) override;
    void ShowFilterDropDown(int Column) override;
    void CancelDragSizing() override;
    TColor GetGridLineColor(TColor Default) override;
    void RemoveColumn(TvxTreeListColumn* Column) override;
    // Inside the group-rebuild lock; from another grid the columns of the same names are
    // grouped as there.
    void AssignColumns(TCustomvxTreeListControl* Source) override;
    void BeginColumnsUpdate() override;
    void EndColumnsUpdate() override;

    // ---- Group panel (vx_group_panel.cpp) ----
    int GetGroupPanelHeight() override;
    void DrawGroupPanel(TCanvas* Canvas, const TRect& Rect, HBRUSH HeaderBrush, HBRUSH ShadowBrush) override;
    // Box Index of the group panel, in client coordinates.
    TRect GroupBoxRect(int Index);
    // Where a column dropped at P (client coordinates) goes among the group columns.
    int GroupDropIndex(TPoint P);
    // The group box at a client point, -1 when none.
    int GroupBoxAt(TPoint P);
    using TCustomvxDBTreeListControl::CalcHeaderDropPosition;
    void CalcHeaderDropPosition(TPoint& P, TvxHeaderPosInfo& Result, int Dragged, int DraggedShown) override;
    void EndHeaderDragging(bool Accept) override;
    // The group column whose box is being dragged, null when none.
    TvxDBTreeListColumn* DraggedGroupColumn() const { return draggedGroupColumn_; }
    void ClearAutoHeaderPanelHeight() override;

    // ---- Layout (vx_db_grid_layout.cpp) ----
    void LoadViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) override;
    void SaveColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section, TvxTreeListColumn* Column) override;
    void SaveViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) override;
    bool RestoresSortedOrder() override;

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    // A press on a group box remembers its column: moved away it drags the column, released
    // in place it sorts by it.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool IsDropOnCustomizeForm(TPoint P, TCursor& Cursor) override;
    bool CanHideShowByDrag() override;
    // While the filter drop-down is open it gets the keys and the mouse over it.
    void WndProc(TMessage& Message) override;

private:
    friend class TvxGridDataLink;
    friend class TvxDBGridCursor;
    // Its walk over the table is the grid's own.
    friend class TvxDBGridExport;
    // Loading (vx_db_grid_loading.cpp).
    struct TLoadPass;
    class TLoadScope;
    void DoDeletion(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint, bool WasLast,
                    TvxTreeListNode* NextNode) override;
    void LoadRecord(TLoadPass& P, int RecordNumber);
    void RegroupLoaded(TLoadPass& P);
    TvxDBGridNode* GroupRowFor(TLoadPass& P, TvxTreeListNode* Parent, int Level, const Variant& Value, int Start,
                               TvxDBGridNode* Source);
    void AttachToGroups(TvxTreeListNode* Node, TLoadPass& P);
    // GroupPathFor of each row, the group rows missing made in one batch: each sibling list
    // takes its new rows in one pass (TGroupPaths).
    class TGroupPaths;
    std::vector<TvxTreeListNode*> GroupPathsFor(const std::vector<TvxTreeListNode*>& Rows);
    // The storage of the group rows the filter frees, kept for the group rows made again for
    // the same first records: every grid node is made by it (CreateNode, TGroupPaths) and
    // hands it its storage when freed (the node's destroying delete).
    friend class TvxDBGridNode;
    TvxGroupRowStorage groupRows_;
    // A group row made for a data row's values takes its record's key and place and the
    // group column's cell from it.
    void TakeGroupCell(TvxDBGridNode* Group, TvxDBTreeListColumn* Column, TvxDBGridNode* Source);
    void AccumulateGroupSummaries(TvxTreeListNode* GroupRow, TvxTreeListNode* DataRow);
    void AccumulateFooterSummaries(TvxTreeListNode* DataRow);
    // Finishes the summaries of the group rows in Node's subtree (Node on Level); answers the
    // records below Node (1 for a data row).
    int FinishGroupSummaries(TvxTreeListNode* Node, int Level);
    // Whether a group level counts its records: a count or an average of its own or an item's.
    bool GroupLevelCounts();
    Extended SummarySourceValue(TField* Field, TvxTreeListNode* DataRow, TvxSummaryType Type);
    TvxDBGridSummaryGroup* GroupSummaryGroup(int Level);
    void ResortBySummary();
    // Takes the rows out of their group rows, which leave the tree: answers them, for the caller
    // to free.
    std::vector<TvxTreeListNode*> UngroupNodes();
    void DropGroupColumnsWithoutField();
    Variant GetNodeGroupValue(TvxTreeListNode* Node, int Level);
    // Selection kept across a reload: the rows loaded that stand for saved records (or keys)
    // are noted, then selected together.
    void SnapshotSelection();
    void DropSnapshot();
    void ReselectLoaded(TvxTreeListNode* Node);
    // How far a load got with its rows.
    enum class TLoadedRows : uint8_t {
        // Half read or half regrouped: they are no load's.
        Partial,
        // Each record's row where the load puts it, and no other; their order, summaries and
        // selection may be left to do.
        Placed,
        // As the load leaves them.
        Complete,
    };
    // The end of a load or a reload: when a raise broke it off, rows not placed go, the rows
    // are owed, and the focus catches up with the table.
    void ReloadEnded(bool Broken, TLoadedRows Rows);
    // The rows owed come back when the grid needs them: its next paint (once for each time
    // they are owed), key or scroll; in the record window they follow the link's buffer again.
    void LoadOwedRows(bool Painting);
    // The rows stand as a load leaves them, or in the record window as the buffer has them.
    void OwedRowsPaid() {
        rowsOwed_ = false;
        owedRowsAskedByPaint_ = false;
    }
    // The rows (their places, their summaries) are no load's any more: the grid's next need of
    // them or the table's next change loads them again, and IsAllRecordsLoaded says no
    // meanwhile.
    void OweRows() {
        rowsOwed_ = true;
        loadedRecordCount_ = -1;
    }
    // A reload broken off: the records of its selection's snapshot stay selected without rows,
    // for the next load to select again; an empty snapshot leaves nothing selected. Without a
    // snapshot the selection stays as it is.
    void KeepSnapshotWithoutRows();
    void SelectReloadedRows();
    // The saved entry of the row being loaded (the current record, or the row's key); -1: none.
    int SavedSelectionIndex(TvxTreeListNode* Node);
    bool SelectionKey(TvxTreeListNode* Node, Variant& Key);
    // Selected group rows that came to stand for another first record (each with the key it
    // had) keep their entries, which now name those records.
    void ReselectGroupRows(const std::vector<std::pair<TvxTreeListNode*, Variant>>& Rows);
    // The bookmarks of the records of the selected keys at Entries (without bookmarks), found
    // in one walk.
    std::vector<TBookmark> SelectedKeyBookmarks(const std::vector<int>& Entries);
    // The selected group rows the snapshot kept, still there after the reload, are selected
    // again, each by its first record as it is now.
    void SelectSavedGroupRows();
    // The record to be current once the selection is deleted: the current one, or when it
    // goes too, the first one after it that stays (before it, at the end); empty: none stays.
    TBookmark RecordLeftCurrentByDeletion();
    bool NodeBookmark(TvxTreeListNode* Node, TBookmark& Bookmark);
    // The bookmarks of many rows, one for each in the same places, found in one walk over
    // their records in record order; empty for a row whose record the walk does not reach.
    std::vector<TBookmark> FindNodeBookmarks(const std::vector<TvxTreeListNode*>& Nodes);
    // The visible columns' texts of the current record, separated by tabs.
    std::string CurrentRecordLine();
    bool RefreshCurrentRecord();
    // Rows that no sort column orders stand in the table's order, the order of their record
    // numbers: a row refreshed in place takes the number its record has now (a new record's
    // row: New), and the rows of the records it passed move by one.
    void TakeCurrentRecordNumber(TvxDBGridNode* Row, bool New);
    // Puts the data row among its siblings by its record number.
    void PlaceByRecordNumber(TvxTreeListNode* Node);
    // Each sibling list of data rows in record order (after a reload that took rows again,
    // or once no column sorts them).
    void PutRowsInRecordOrder();
    // The data rows in the sorted column's order, when a column sorts them.
    void SortBySortedColumn();
    // The rows in the order the grid keeps them in (ResortNodes), where Order leaves any of
    // it to make.
    void ResortRows(TRowOrder Order);
    // Each sibling list of group rows on Level in its column's order, which a sort of the
    // column waiting for the end of a sorting batch may have left undone.
    void PutGroupRowsInOrder(int Level);
    // Each sibling list of the rows on Level (group rows above the data rows: the data rows)
    // put in the order Before gives, where it is not in it.
    void ArrangeLevel(int Level, const std::function<bool(const TvxDBGridNode*, const TvxDBGridNode*)>& Before);
    void InsertNewRecordNode();
    Variant StoredNodeValue(TvxTreeListNode* Node, int Column);
    // Record window (vx_db_grid_record_window.cpp).
    Variant CursorNodeValue(TvxTreeListNode* Node, int Column, bool Text);
    Variant CursorPreview(TvxTreeListNode* Node);
    int CursorRow(TvxTreeListNode* Node);
    void SyncCursorNodes();
    // A row for the current record; with Select it is selected when its bookmark lies in
    // Low .. High.
    TvxDBGridNode* AddPartialNode(bool Upwards, int RecordIndex, const TBookmark& Low, const TBookmark& High,
                                  bool Select);
    // Whether the bookmark is among the selection saved for the reload (a sorted list).
    bool InSavedSelection(const TBookmark& Bookmark);
    // The saved records the run around the current record gave no row stay selected.
    void KeepSavedSelection();
    // The rows of the link's buffer from the top, one record at a time, until they fill
    // the rows area or the table ends; the partly and wholly visible counts.
    void CountCursorRows(int Height, int& Partly, int& Wholly);
    // OnChangeNodeEx when the focused record is not the one remembered.
    void CheckFocusedRecordChange();
    // Keys (vx_db_grid_keyboard.cpp).
    bool RecordKey(uint16_t& Key, TShiftState Shift);
    // Switches the tree-list options a set drives from OldBits to NewBits.
    void ApplyDrives(TvxDBGridOptionSet Set, uint32_t OldBits, uint32_t NewBits);
    void RewriteLegacy();
    void ClearBufferedSorting();
    // Group panel (vx_group_panel.cpp, vx_group_panel_animation.cpp).
    int GroupPanelHeightFor(int GroupCount);
    bool IsOverGroupPanel(TPoint Client);
    // The column may be dropped on the panel: grouped already, or CanAddGroupColumn lets it.
    bool MayDropOnGroupPanel(TvxDBTreeListColumn* Column);
    // Scrolls the grid's picture by the panel's height, step by step, for at most 400 ms.
    // False when the window went away meanwhile.
    bool AnimateGroupPanel(bool Show);
    TvxDBTreeListColumn* ColumnAt(int Column) const { return GetColumn(Column); }
    // Every column's "GroupIndex" under the layout path, applied in level order.
    void LoadGroupLayout(TvxRegIniWrapper* Wrapper, const std::string& Path);
    // The binary "Filter" of the layout (vx_db_grid_layout.cpp).
    void LoadFilterLayout(TvxRegIniWrapper* Wrapper, const std::string& Section);
    void SaveFilterLayout(TvxRegIniWrapper* Wrapper, const std::string& Section);

    bool loadingNodes_ = false;
    bool loadingFromStream_ = false;
    std::unique_ptr<TvxGridDataLink> dataLink_;
    // The source the grid asked to hear from when it goes.
    TDataSource* notifiedSource_ = nullptr;
    bool defaultFields_ = false;
    bool startReached_ = false;
    bool endReached_ = false;
    int drawNodeCount_ = 0;
    int savedActiveRecord_ = -1;
    Variant focusedKeyValue_;
    int focusedLevel_ = 0;
    int partialLoadBufferCount_ = 100;
    Variant syncedKeyValue_;
    TvxTreeListNode* syncedNode_ = nullptr;
    // The row made for a record being inserted, until the change that ends the insert.
    TvxTreeListNode* newRecordRow_ = nullptr;
    std::vector<TvxDBTreeListColumn*> groupColumns_;
    std::vector<std::string> loadedGroupFields_;
    int groupRebuildLock_ = 0;
    bool rebuildingGroupIndexes_ = false;
    std::unique_ptr<TvxDBGridSummaryGroups> summaryGroups_;
    std::string summarySeparator_ = ", ";
    bool selectLoadedNodes_ = false;
    TColor groupPanelColor_ = clBtnShadow;
    TColor groupPanelFontColor_ = clBtnFace;
    bool showGroupPanel_ = false;
    TvxDBTreeListColumn* pressedGroupColumn_ = nullptr;
    TPoint groupPressPoint_;
    TvxDBTreeListColumn* draggedGroupColumn_ = nullptr;
    TvxDBGridOptions legacyOptions_;
    TvxDBGridOptionsEx legacyOptionsEx_;
    TvxDBGridOptionsBehavior optionsBehavior_ = kvxDefaultOptionsBehavior;
    TvxDBGridOptionsCustomize optionsCustomize_ = kvxDefaultOptionsCustomize;
    TvxDBGridOptionsDB optionsDB_ = kvxDefaultOptionsDB;
    TvxDBGridOptionsView optionsView_ = kvxDefaultOptionsView;
    bool filterApplied_ = false;
    std::unique_ptr<TvxDBGridFilter> filter_;
    // Kept from the first drop-down to DestroyFilter.
    std::unique_ptr<TvxDBGridFilterPopupListBox> filterDropDown_;
    bool filterDroppedDown_ = false;
    bool regroupPending_ = false;
    bool suppressRegroup_ = false;
    int footerRecordCount_ = 0;
    // The table's record count when the rows were last read or refreshed: a change that
    // leaves another count (a record deleted) is no change of the current record alone.
    // -1 while the rows are not every record's (a loaded run, the record window, none read).
    int loadedRecordCount_ = -1;
    // The columns with a footer summary, found by RefreshSummaryFields before each count.
    std::vector<TvxDBTreeListColumn*> footerColumns_;
    // The column each summary field was found in during this count (-1: none), so that each
    // row costs no search of the columns by field name; emptied before each count.
    std::vector<std::pair<TField*, int>> summarySourceColumns_;
    // The selection by keys (without bookmarks), in key order, each with its row.
    TvxSelectionEntries<Variant, int (*)(const Variant&, const Variant&)> selectedKeys_{&CompareVariants};
    std::vector<TBookmark> savedSelectionBookmarks_;
    std::vector<Variant> savedSelectionKeys_;
    // The row loaded for each saved entry (null: none yet).
    std::vector<TvxTreeListNode*> savedSelectionRows_;
    // The selected group rows, kept across the reload while they live (a row freed meanwhile
    // leaves the map).
    std::vector<TvxTreeListNode*> savedGroupRows_;
    TvxNodeMap<bool> savedGroupRowsLiving_;
    // A reload took the snapshot (empty or not) and has not dropped it.
    bool snapshotHeld_ = false;
    // While group rows are freed whose records stay (a filter empties them, an edit moves
    // their last record away): the entries of the selected ones, gathered as they go.
    struct TFreedEntries {
        std::vector<TBookmark> Bookmarks;
        std::vector<Variant> Keys;
    };
    TFreedEntries* freedEntries_ = nullptr;
    // Runs Free, which frees such group rows; the selected ones' entries then leave the
    // selection together.
    void FreeGroupRows(const std::function<void()>& Free);
    void RemoveFreedEntries(const TFreedEntries& Freed);
    // The selection's entries at these places (as the list numbers them, any order, repeats
    // allowed) leave it together, with one notice.
    void RemoveEntries(std::vector<int> Entries);
    // While a range is selected: the bookmarks of the rows it may select, found beforehand in
    // one walk, in the range's order; the row being selected, if it is one of them (its place,
    // npos: none); whether a row was freed meanwhile, when an address may stand for another row.
    struct TRangeBookmarks {
        static constexpr size_t npos = static_cast<size_t>(-1);
        std::vector<TvxTreeListNode*> Rows;
        std::vector<TBookmark> Bookmarks;
        size_t Current = npos;
        bool RowFreed = false;
    };
    TRangeBookmarks* rangeBookmarks_ = nullptr;
    TBookmark selectionAnchorBookmark_;
    // Ties the focused row to the table's current record (the record cursor, not the mouse
    // pointer's TControl::Cursor).
    TvxDBGridCursor recordCursor_{this};
    bool postingSelf_ = false;
    int partialLoadLock_ = 0;
    bool updatingScrollBars_ = false;
    bool keyProcessing_ = false;
    bool readingDataSet_ = false;
    // The load's pass over the records while it runs; it hears of the nodes deleted meanwhile.
    TLoadPass* loadPass_ = nullptr;
    // A load broke off: the rows it left went, and the grid's next need of them or the table's
    // next change loads them.
    bool rowsOwed_ = false;
    // A paint asked for the rows owed: a load that broke off again in a paint would have the
    // grid painted, and so loaded, for ever; a key or a scroll asks again.
    bool owedRowsAskedByPaint_ = false;
    bool columnFieldChanging_ = false;
    bool rebuildBeganInCursorMode_ = false;
    int focusedTopDistance_ = -1;
    // The record that was focused when OnChangeNodeEx last looked (its bookmark).
    TBookmark changeNodeExRecord_;
    // The anchor's row, found while a partial load reads the anchor's record.
    TvxTreeListNode* partialAnchor_ = nullptr;
    // The height of the record window's rows with a record, when their heights differ.
    int cursorRowsHeight_ = -1;
};

class TvxDBGrid : public TCustomvxDBGrid {
public:
    explicit TvxDBGrid(TComponent* AOwner) : TCustomvxDBGrid(AOwner) {}
    std::string ClassName() const override { return "TvxDBGrid"; }
};
