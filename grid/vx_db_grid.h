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

#include "grid/vx_db_grid_node.h"
#include "grid/vx_db_grid_options.h"
#include "grid/vx_db_tree_list_control.h"
#include "grid/vx_grid_data_link.h"
#include "grid/vx_summary_groups.h"

using TAddGroupColumnEvent = std::function<void(TObject* Sender, TvxDBTreeListColumn* Column, bool& Allow)>;
using TvxDBGridBackgroundDrawEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect)>;
using TvxDBTreeListColumnSorting =
    std::function<void(TObject* Sender, TvxDBTreeListColumn* Column, bool& Allow)>;
using TEndDragGroupColumn =
    std::function<void(TObject* Sender, TvxDBTreeListColumn* Column, int NewGroupIndex, bool& Allow)>;
using TvxDBTreeListColumnClick = std::function<void(TObject* Sender, TvxDBTreeListColumn* Column)>;
using TShowColumnEvent = std::function<void(TObject* Sender, TvxDBTreeListColumn* Column)>;
using THideColumnEvent = TShowColumnEvent;
using TvxDBGridFilterChangedEvent =
    std::function<void(TObject* Sender, TDataSet* ADataSet, const std::string& AFilterText)>;
using TvxDBGridEnumFilterValuesEvent = std::function<void(TObject* Sender, TvxDBTreeListColumn* AColumn,
                                                          const Variant& AValue, const std::string& ADisplayText,
                                                          bool& ARepeatEnumeration)>;

inline constexpr const char* kvxGroupPanelText = "Drag a column header here to group by that column";

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
    TvxTreeListNode* SyncedNode() const { return syncedNode_; }
    const Variant& SyncedKeyValue() const { return syncedKeyValue_; }
    // Moves the dataset to the node's record; False when it was not reached.
    bool MoveDataSetToNode(TvxDBGridNode* Node);
    void DeleteNodeRecord(TvxDBGridNode* Node);

    // ---- Events ----
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
    virtual void DestroyFilter() {}
    virtual bool IsAllLoaded() { return IsLoadAllMode(); }
    virtual bool IsNodeInFilter(TvxTreeListNode* Node);
    virtual bool FilterNodes(TvxTreeListNode* Node, bool Recalc);
    virtual void PrepareFilter() {}
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
    bool IsAllRecordsLoaded() override { return IsLoadAllMode() || (startReached_ && endReached_); }
    bool IsUseBookmarks() override { return UseBookmarks() || IsCursorMode(); }
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

    // ---- Tree list operations ----
    TvxTreeListNode* CreateNode() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool CanDblClick() override { return Has(egoDblClick); }
    void DoEditing(TvxTreeListNode* Node, bool& Allow) override;
    bool IsEditing() override;
    bool IsGroupNode(TvxTreeListNode* Node) override;
    bool IsMultiSort() override { return optionsBehavior_.Contains(edgoMultiSort); }
    bool IsAutoSort() override { return optionsBehavior_.Contains(edgoAutoSort); }
    bool HasCustomDrawCell(TvxTreeListNode* Node, int Column) override;
    void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column, bool Selected,
                          bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                          TAlignment& Alignment, bool& Done) override;
    void DoHeaderClick(int Column) override;
    void ShowHeader(int Band, int Row, int Column, int Col) override;
    void HideHeader(int Column) override;

  private:
    friend class TvxGridDataLink;
    // Switches the tree-list options a set drives from OldBits to NewBits.
    void ApplyDrives(TvxDBGridOptionSet Set, uint32_t OldBits, uint32_t NewBits);
    void RewriteLegacy();
    void ClearBufferedSorting();
    TvxDBTreeListColumn* ColumnAt(int Column) const { return GetColumn(Column); }

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
    TvxDBGridOptions legacyOptions_;
    TvxDBGridOptionsEx legacyOptionsEx_;
    TvxDBGridOptionsBehavior optionsBehavior_ = kvxDefaultOptionsBehavior;
    TvxDBGridOptionsCustomize optionsCustomize_ = kvxDefaultOptionsCustomize;
    TvxDBGridOptionsDB optionsDB_ = kvxDefaultOptionsDB;
    TvxDBGridOptionsView optionsView_ = kvxDefaultOptionsView;
    bool filterApplied_ = false;
    bool regroupPending_ = false;
    bool suppressRegroup_ = false;
};

class TvxDBGrid : public TCustomvxDBGrid {
  public:
    explicit TvxDBGrid(TComponent* AOwner) : TCustomvxDBGrid(AOwner) {}
    std::string ClassName() const override { return "TvxDBGrid"; }
};
