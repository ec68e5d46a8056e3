#pragma once
// TCustomvxDBTreeListControl: the tree list with columns bound to a dataset. It keeps a data
// link, makes default columns from the fields, stores per-node copies of field values,
// routes cell editing through the dataset, keeps the selection as a sorted list of
// bookmarks, and introduces the operations through which the grid loads records, groups
// and sums. It loads no records itself.
//
// Values are compared only through VarCompareValue, which never raises: comparisons run in
// the middle of loads, sorts and filters, where a conversion error would leave the grid
// half built. The comparisons are no strict orders, so node lists reach them only through
// the tree list's own merge sort.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_tree_list_data_link.h"
#include "grid/core/vx_db_tree_list_node.h"
#include "grid/core/vx_selection_entries.h"
#include "platform/db/db_types.h"
#include "platform/rtl/extended.h"
#include "treelist/custom_tree_list_control.h"
#include "treelist/node_map.h"

class TDataSet;
class TDataSource;
class TField;

using TvxGetEditColor =
    std::function<void(TObject* Sender, TvxTreeListNode* ANode, TvxDBTreeListColumn* AColumn, TColor& AColor)>;
using TvxGetPreviewTextEvent = std::function<void(TObject* Sender, TvxTreeListNode* Node, std::string& Text)>;

// A column class: a factory of columns owned by the given component.
using TvxDBTreeListColumnClass = std::function<TvxDBTreeListColumn*(TComponent*)>;
template <class T>
TvxDBTreeListColumnClass ColumnClassOf() {
    return [](TComponent* Owner) -> TvxDBTreeListColumn* { return new T(Owner); };
}

inline constexpr const char* kvxDefaultFieldsText = "DefaultFields property should be set to False";

// The unit's texts of the grid's delete commands.
inline constexpr const char* kvxConfirmCaption = "Confirm";
inline constexpr const char* kvxDeleteRecordText = "Delete record?";
inline constexpr const char* kvxDeleteSelectedText = "Delete all selected records?";

class TCustomvxDBTreeListControl : public TCustomvxTreeListControl {
public:
    explicit TCustomvxDBTreeListControl(TComponent* AOwner);
    ~TCustomvxDBTreeListControl() override;
    std::string ClassName() const override { return "TCustomvxDBTreeListControl"; }

    // ---- Properties ----
    const std::string& KeyField() const { return keyField_; }
    void SetKeyField(const std::string& Value);
    const std::string& PreviewFieldName() const { return previewFieldName_; }
    void SetPreviewFieldName(const std::string& Value);
    int PreviewMaxLength() const { return previewMaxLength_; }
    void SetPreviewMaxLength(int Value);
    TField* KeyFieldObject() const { return keyFieldObject_; }
    void SetKeyFieldObject(TField* Value) { keyFieldObject_ = Value; }
    TField* PreviewField() const { return previewField_; }
    const Variant& LastEditValue() const { return lastEditValue_; }
    bool DestroyingColumns() const { return destroyingColumns_; }

    TvxGetEditColor OnGetEditColor;
    // OnChangeNodeEx and OnRefreshNodeData fire inside a change of the rows, as the tree list's
    // node events do (custom_tree_list.h): a handler must not free its own control.
    TNotifyEvent OnChangeNodeEx;
    TTLExpandedEvent OnRefreshNodeData;
    TNotifyEvent OnBeforeCalcSummary;
    TNotifyEvent OnCalcSummary;
    TvxGetPreviewTextEvent OnGetPreviewText;

    TDataSet* DataSet() const;

    // ---- Virtual operations of this class, in slot order ----
    virtual TvxDBTreeListControlDataLink* GetDataLink() const = 0;
    virtual TDataSource* GetDataSource() const = 0;
    virtual bool GetDefaultFields() const = 0;
    virtual bool IsCancelOnExit() { return true; }
    virtual bool CanInsert() = 0;
    virtual bool CanNavigation() = 0;
    virtual bool IsSelectionByNodes() { return false; }
    virtual bool IsEditingForbidden() = 0;
    virtual bool IsAllRecordsLoaded() = 0;
    virtual bool IsUseBookmarks() = 0;
    virtual void SetBusy(bool Value) = 0;
    virtual void UpdateActiveEditor();
    virtual void DataChanged() {}
    virtual bool IsBusy() { return false; }
    virtual void LinkActive(bool /*Active*/) {}
    virtual void RecordChanged(TField* /*Field*/) {}
    virtual void Scroll(int /*Distance*/) {}
    virtual void UpdateData();
    virtual void GetFocusedValue(TvxTreeListNode*& /*Node*/) {}
    virtual void ColumnFieldChanged(TvxDBTreeListColumn* /*Column*/) {}
    virtual void ChangeGroupIndex(TvxDBTreeListColumn* /*Column*/, int /*GroupIndex*/) {}
    virtual void CalcSummaries() {}
    virtual void RefreshSummaryFields();
    virtual void DoBeforeCalcSummary();
    virtual void DoRefreshNodeData(TvxTreeListNode* Node);
    virtual Variant GetSummaryValue(TvxTreeListNode* /*Node*/) { return Variant(0.0); }
    virtual void ColumnNameChanged(const std::string& /*OldName*/, const std::string& /*NewName*/) {}
    virtual void LoadColumnNodeData(TvxTreeListNode* Node, TvxDBTreeListColumn* Column);
    virtual void LoadNodeData(TvxTreeListNode* Node);
    virtual TvxDBTreeListColumn* CreateColumnOfClass(const TvxDBTreeListColumnClass& ColumnClass);
    virtual void MapColumnFields();
    virtual void DoChangeNodeEx();
    virtual bool IsDataSetEmpty();
    virtual void ClearGrouping() {}
    virtual TvxDBTreeListColumn* CreateDefaultColumn(const TvxDBTreeListColumnClass& ColumnClass, TComponent* AOwner);
    virtual void CreateColumnsFromFields(TDataSet* ADataSet, TComponent* AOwner);
    virtual void SummaryGroupsChanged() { RefreshLayout(); }
    virtual TvxDBTreeListColumnClass GetDefaultColumnClass();
    virtual TvxDBTreeListColumnClass GetColumnClassForField(TField* Field);

    // ---- Services of the grid ----
    TvxDBTreeListColumn* GetColumn(int Index) const;
    TvxDBTreeListColumn* GetColumnByFieldName(const std::string& FieldName) const;
    TvxDBCellRecord GetNodeColumn(TvxTreeListNode* Node, int Column) const;
    // The node's cell record of the column, null when it has none; valid until the node's
    // cells change. For readers of every row that need no copy.
    const TvxDBCellRecord* NodeCell(const TvxTreeListNode* Node, int Column) const;
    void SetNodeColumn(TvxTreeListNode* Node, int Column, const TvxDBCellRecord& Record);
    Variant GetCellValue(TvxTreeListNode* Node, int Column);
    Extended GetCellFloat(TvxTreeListNode* Node, int Column);
    TField* GetFocusedField();
    void FocusColumnByField(TField* Field);
    TvxDBTreeListColumn* GetSortedColumn();
    void KeepOneSortedColumn();
    // Binary search of the selected bookmarks; Index: where it is or would go.
    bool FindBookmark(const TBookmark& Bookmark, int& Index) const { return selected_.Find(Bookmark, Index); }
    static bool FindInteger(const std::vector<int>& List, int Value, int& Index);
    std::string CutPreviewText(const std::string& Text) const;
    // 0 equal, -1 smaller, 1 larger; -1 also when the two cannot be compared.
    static int CompareVariants(const Variant& A, const Variant& B);
    void DeleteNodeWithEmptyParents(TvxTreeListNode* Node);
    const TBookmark& GetSelectedBookmark(int Index) const { return SelectedBookmarks().at(static_cast<size_t>(Index)); }
    const std::vector<TBookmark>& SelectedBookmarks() const { return selected_.Keys(); }
    // Adds or removes a bookmark keeping the order; Node is the row it stands for, if any (a
    // row stands for one record: attached to another bookmark, it leaves the first). Answers
    // the row that stood for the bookmark and let it go to Node (null: none).
    TvxTreeListNode* AddSelectedBookmark(TBookmark Bookmark, TvxTreeListNode* Node = nullptr);
    // Room for this many more rows standing for selected bookmarks, made at once.
    void ReserveSelectedRows(size_t Rows);
    void RemoveSelectedBookmark(const TBookmark& Bookmark);
    // The entries at Indexes (ascending, each once) leave the selection in one pass.
    void RemoveSelectedEntries(const std::vector<int>& Indexes);
    // The bookmark of the selected entry Node stands for; null when none.
    const TBookmark* SelectedNodeBookmark(const TvxTreeListNode* Node) const {
        return selectedNodeBookmarks_.Find(Node);
    }
    // The selection becomes Bookmarks (in bookmark order, each once), each with its row in
    // Nodes (null: none): one step for a selection that a reload brings back.
    void AssignSelectedBookmarks(std::vector<TBookmark> Bookmarks, std::vector<TvxTreeListNode*> Nodes);
    TvxTreeListNode* SelectedBookmarkNode(int Index) const { return selected_.Node(Index); }
    // Node stands for a selected bookmark; no search, which every selection change asks.
    bool IsSelectedBookmarkNode(const TvxTreeListNode* Node) const { return Node && selectedNodeBookmarks_.Find(Node); }
    void SelectFocusedOnly();
    // The table may have deleted or reordered selected records where no reload follows (the
    // record window): the entries of records it no longer has go, the others are put in its
    // order again. Answers whether any went.
    bool RefreshSelectedBookmarks();
    // While a range is selected, a bookmark that belongs between selected ones waits beside
    // the list until the range is done (TvxSelectionEntries).
    void BeginRangeInserts() { selected_.BeginRange(); }
    void EndRangeInserts() { selected_.EndRange(); }
    void RefreshEditorValue(TField* Field);
    static void RegisterGrid(TCustomvxDBTreeListControl* Grid);
    static void UnregisterGrid(TCustomvxDBTreeListControl* Grid);
    static bool IsDataSetBusy(TDataSet* ADataSet);
    static int RegisteredGridCount();
    // The node is watched while the focus moves; False when the move deleted it.
    bool FocusNode(TvxTreeListNode* Node) override;

    // ---- Overrides of the tree list ----
    void ColumnsChanged() override;
    // With DefaultFields on, the columns follow the fields: the control alone makes them.
    void CheckCanAddColumn() override;
    void DestroyColumns() override;
    void SetName(const std::string& NewName) override;
    TvxTreeListNode* CreateNode() override;
    Variant GetNodeValue(TvxTreeListNode* Node, int Column) override;
    void DeleteNodeColumnData(TvxTreeListNode* Node, int Column) override;
    void MoveNodeColumnData(int From, int To) override;
    int CompareValues(TvxTreeListNode* Node1, TvxTreeListNode* Node2) override;
    bool CanEditModify() override;
    bool IsValidChar(char32_t Key) override;
    bool IsContainerBusy() override;
    TColor GetEditColor() override;
    void DoEditing(TvxTreeListNode* Node, bool& Allow) override;
    Variant AssignEditValue(TvxTreeListNode* Node, int Column, TvxInplaceEdit* Editor) override;
    Variant GetEditText(TvxTreeListNode* Node, TvxInplaceEdit* Editor) override;
    bool IsEditing() override;
    void DoEditingNewItemRow(bool& Allow) override;
    void StartNewItemRow() override;
    bool IsNewItemRowEditing() override;
    void GetNewItemRowText(int Column, std::string& Text) override;
    bool IsDragScroll() override;
    int GetSelectedCount() override;
    TvxTreeListNode* GetSelectedItem(int Index) override;
    void ClearSelection() override;
    void SelectRange(TvxTreeListNode* Node1, TvxTreeListNode* Node2) override;
    int GetIndicatorKind(TvxTreeListNode* Node, bool Selected) override;
    int GetIndicatorWidth() override { return GrIndicatorWidth(); }
    void GetPreviewText(TvxTreeListNode* Node, std::string& Text) override;
    void ClearSortedColumns() override;
    void PrepareColumnSort(TvxTreeListColumn* Column) override;
    bool HasCustomDrawCell(TvxTreeListNode* Node, int Column) override;
    bool HasCustomDrawFooter(TvxTreeListNode* Node, int Column, int FooterIndex) override;
    void DoCustomDrawFooter(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column, int FooterIndex,
                            std::string& Text, TColor& Color, TFont* Font, TAlignment& Alignment, bool& Done) override;
    bool HasCustomDrawHeader(int Column) override;
    void DoCustomDrawHeader(int Column, TCanvas* Canvas, const TRect& Rect, const TRect& Visible, std::string& Text,
                            TColor& Color, TFont* Font, TAlignment& Alignment, int& Sorted, bool& Done) override;
    bool IsExistFooterCell(int Column) override;
    void GetFooterCellText(TvxTreeListNode* Node, int Column, std::string& Text, int Level) override;
    void DoDeletion(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint, bool WasLast,
                    TvxTreeListNode* NextNode) override;
    bool AcquireFocus() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMHScroll(TMessage& Message) override;

protected:
    void DoExit() override;
    void DoStartDrag(TDragObject*& DragObject) override;
    // Whether the dataset is in edit, insert or set-key state.
    bool DataSetEditing() const;
    bool DataSetInState(TDataSetState State) const;
    void ResolvePreviewField();
    // A watched node leaves the list when it is deleted; Unwatch answers whether it is
    // still there.
    void WatchNode(TvxTreeListNode* Node) { watchedNodes_.push_back(Node); }
    bool UnwatchNode(TvxTreeListNode* Node);

private:
    // The order of the selected bookmarks: the dataset's, -1 without an active link.
    int CompareSelectedBookmarks(const TBookmark& A, const TBookmark& B) const;
    // Node stands for no selected bookmark any more: found by its bookmark, not by a walk
    // over the selection, as a reload frees every row.
    void DetachSelectedNode(const TvxTreeListNode* Node);
    TvxDBTreeListColumn* FocusedDBColumn();

    struct TSelectedBookmarkOrder {
        const TCustomvxDBTreeListControl* Control;
        int operator()(const TBookmark& A, const TBookmark& B) const { return Control->CompareSelectedBookmarks(A, B); }
    };
    // The selected bookmarks in the dataset's order, each with the row it stands for.
    TvxSelectionEntries<TBookmark, TSelectedBookmarkOrder> selected_{TSelectedBookmarkOrder{this}};
    // The bookmark of the entry each row stands for.
    TvxNodeMap<TBookmark> selectedNodeBookmarks_;
    bool destroyingColumns_ = false;
    bool makingDefaultColumns_ = false;
    std::string keyField_;
    std::vector<TvxTreeListNode*> watchedNodes_;
    std::string previewFieldName_;
    int previewMaxLength_ = 0;
    Variant lastEditValue_;
    TField* keyFieldObject_ = nullptr;
    TField* previewField_ = nullptr;
};
