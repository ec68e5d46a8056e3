#pragma once
// TCustomvxTreeListControl: the tree list that owns bands and columns. It answers the
// base's band, column and node-data queries from its band collection, its column list and
// per-column texts in text nodes; keeps the sorted-column list; arranges columns into bands
// and header rows; sizes columns to their contents; and stores its layout in an INI file or
// the registry.
//
// Placement caches (band maps, the column grid, shown widths) are dropped by every band or
// column change and rebuilt by the next layout; while dropped, the queries walk the bands
// and columns, so they never answer for a layout that no longer exists.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_band.h"
#include "treelist/tree_list_column.h"

class TvxRegIniWrapper;

using TvxTLGetIndexEvent = std::function<void(TObject* Sender, TvxTreeListNode* Node, int& Index)>;
using TvxTLColumnEvent = std::function<void(TObject* Sender, TvxTreeListColumn* Column)>;
using TvxTLColumnSortingEvent = std::function<void(TObject* Sender, TvxTreeListColumn* Column, bool& Allow)>;
using TvxTLGetColumnSortedEvent =
    std::function<void(TObject* Sender, TvxTreeListColumn* Column, TvxTreeListColumnSort& Sorted)>;
using TvxTLIsExistFooterCellEvent = std::function<void(TObject* Sender, TvxTreeListColumn* Column, bool& Exist)>;
using TvxTLBandEvent = std::function<void(TObject* Sender, TvxTreeListBand* Band)>;
using TvxTLCanBandDraggingEvent = std::function<void(TObject* Sender, TvxTreeListBand* Band, bool& Allow)>;
using TvxTLCanHeaderDraggingEvent = std::function<void(TObject* Sender, TvxTreeListColumn* Column, bool& Allow)>;
using TvxTLDragEndBandEvent = std::function<void(TObject* Sender, TvxTreeListBand* ABand, TPoint P, int AbsoluteIndex,
                                                 int VisibleIndex, int NewIndex, bool& Accept)>;
using TvxTLDragEndHeaderEvent = std::function<void(TObject* Sender, TvxTreeListColumn* AColumn, TPoint P,
                                                   TvxHeaderPosInfo& NewPosInfo, bool& Accept)>;
using TvxTLDragOverBandEvent = std::function<void(TObject* Sender, TvxTreeListBand* ABand, TPoint P, bool& Accept)>;
using TvxTLDragOverHeaderEvent =
    std::function<void(TObject* Sender, TvxTreeListColumn* AColumn, TPoint P, bool& Accept)>;
using TTLColumnMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
// A cell's lines measured for an automatically heightened row: the handler may give
// LineCount and LineHeight itself and set Done. BoundsWidth is the cell's width; with
// Inflate the editor's 2-pixel margin lies around it.
using TvxTLCalcRowLineHeight = std::function<void(
    TObject* Sender, TvxTreeListNode* Node, TvxTreeListColumn* Column, const std::string& Text, int BoundsWidth,
    int TextHeight, int MaxLineCount, bool Inflate, int& LineCount, int& LineHeight, bool& Done)>;
using TvxTLGetNodeDragTextEvent =
    std::function<void(TObject* Sender, TvxTreeListNode* Node, TvxTreeListColumn* Column, std::string& Text)>;

class TCustomvxTreeListControl : public TCustomvxTreeList {
public:
    explicit TCustomvxTreeListControl(TComponent* AOwner);
    ~TCustomvxTreeListControl() override;
    std::string ClassName() const override { return "TCustomvxTreeListControl"; }
    // The header-showing hook below would otherwise hide the getter of the same name.
    using TCustomvxTreeList::ShowHeader;

    // ---- Bands and header rows ----
    TvxTreeListBands* Bands() const { return bands_.get(); }
    void SetBands(TvxTreeListBands* Value) { bands_->Assign(Value); }
    int BandMaxRowCount() const { return bandMaxRowCount_; }
    void SetBandMaxRowCount(int Value);
    int BandRowCount() const { return bandRowCount_; }
    int HeaderPanelMaxRowCount() const { return headerPanelMaxRowCount_; }
    void SetHeaderPanelMaxRowCount(int Value);
    int HeaderPanelRowCount() const { return headerPanelRowCount_; }
    // Forms write it only while the header panel does not size itself.
    bool IsHeaderPanelRowCountStored() { return !IsAutoHeaderPanelHeight(); }
    int HeaderMinRowCount() const { return headerMinRowCount_; }
    void SetHeaderMinRowCount(int Value);
    bool DefaultLayout() const { return defaultLayout_; }
    void SetDefaultLayout(bool Value);
    void ResetToDefaultLayout();

    // ---- Columns ----
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    TvxTreeListColumn* Columns(int Index) const;
    TvxTreeListColumn* VisibleColumns(int VisibleIndex) const;
    int SortedColumnCount() const { return static_cast<int>(sortedColumns_.size()); }
    TvxTreeListColumn* SortedColumns(int Index) const;
    TvxTreeListColumn* FindColumnByName(const std::string& Name) const;
    // A column of the class Make builds, owned by Owner (the control when null), named after
    // the control and added. Raises before anything is made when the control takes no
    // columns from outside (CheckCanAddColumn).
    TvxTreeListColumn* CreateColumn(const std::function<TvxTreeListColumn*(TComponent*)>& Make,
                                    TComponent* Owner = nullptr);
    template <class T>
    T* CreateColumn(TComponent* Owner = nullptr) {
        return static_cast<T*>(CreateColumn([](TComponent* o) -> TvxTreeListColumn* { return new T(o); }, Owner));
    }
    void AddColumn(TvxTreeListColumn* Column);
    // Raises when the control keeps its own columns and takes none from a caller.
    virtual void CheckCanAddColumn() {}
    void RefreshColumnDefaults();
    // A sorting batch: the rows are sorted once, as the outermost batch ends. A comparison that
    // breaks that sort off (SortsBrokenOff) leaves the rows as they stood, and the sort marks
    // and the list of sorted columns as the batch found them.
    void BeginSorting();
    void EndSorting();
    bool IsSortingLocked() const { return sortingLock_ > 0; }
    // Every column whose Sorted is set joins the sorted list, ordered by the sorted order
    // each column was loaded with.
    void RestoreSortedColumns();
    // The toggle of a header click, with the Ctrl state given.
    void ToggleColumnSort(TvxTreeListColumn* Column, bool CtrlHeld);
    bool StreamAllColumns() const { return streamAllColumns_; }
    void SetStreamAllColumns(bool Value) { streamAllColumns_ = Value; }
    // The columns a form writes as its children (those owned by Root, or all).
    std::vector<TvxTreeListColumn*> GetChildren(TComponent* Root) const;
    void SetChildOrder(TvxTreeListColumn* Column, int Order) { Column->SetIndex(Order); }

    // ---- In-place editors: one per editor class ----
    TvxInplaceEdit* CreateEditor(TvxTreeListColumn* Column);
    TvxInplaceEdit* FindEditor(TvxTreeListColumn* Column) const;
    virtual void InitEditor(TvxInplaceEdit* Editor);
    // The editor of the focused column's editor class, made on first use.
    TvxInplaceEdit* CreateEditor() override;
    void PrepareEditor(TvxInplaceEdit* Editor) override;
    Variant GetEditText(TvxTreeListNode* Node, TvxInplaceEdit* Editor) override;
    Variant AssignEditValue(TvxTreeListNode* Node, int Column, TvxInplaceEdit* Editor) override;
    int EditorCount() const { return static_cast<int>(editors_.size()); }

    // ---- Layout storage ----
    const std::string& IniFileName() const { return iniFileName_; }
    void SetIniFileName(const std::string& Value) { iniFileName_ = Value; }
    const std::string& IniSectionName() const { return iniSectionName_; }
    void SetIniSectionName(const std::string& Value) { iniSectionName_ = Value; }
    const std::string& RegistryPath() const { return registryPath_; }
    void SetRegistryPath(const std::string& Value) { registryPath_ = Value; }
    const std::string& ParentFormName() const { return parentFormName_; }
    // IniSectionName, else the owning form's name, "_" and the control's name.
    std::string LayoutSectionName() const;
    void SaveLayout(TObject* Storage, std::string Path);
    void LoadLayout(TObject* Storage, std::string Path);
    void SaveToIniFile(const std::string& FileName);
    void LoadFromIniFile(const std::string& FileName);
    void SaveToRegistry(const std::string& Path);
    void LoadFromRegistry(const std::string& Path);
    // "\" in front, no "\" at the end.
    static std::string NormalizeLayoutPath(std::string Path);
    // Where a column's keys go under a normalised layout path.
    static std::string ColumnLayoutSection(const std::string& Path, const TvxTreeListColumn* Column);

    // ---- What the bands and columns ask ----
    bool BandMapsValid() const { return !bandMapsBuilding_; }
    const std::vector<int>& VisibleToBand() const { return visibleToBand_; }
    const std::vector<int>& BandToVisible() const { return bandToVisible_; }
    void ClearDefaultLayoutFlag() { defaultLayout_ = false; }
    void DropPlacementCaches();
    int LayoutLoading() const { return layoutLoading_; }
    // Normalises the columns' rows: within the header rows, no empty rows inside a band.
    void NormalizePlacement();

    // ---- Events ----
    TvxTLGetIndexEvent OnGetImageIndex;
    TvxTLGetIndexEvent OnGetSelectedIndex;
    TvxTLGetIndexEvent OnGetStateIndex;
    TvxTLColumnEvent OnColumnClick;
    TvxTLColumnSortingEvent OnColumnSorting;
    TvxTLGetColumnSortedEvent OnGetColumnSorted;
    TvxTLIsExistFooterCellEvent OnIsExistFooterCell;
    TNotifyEvent OnChangedColumnsWidth;
    TvxTLCanBandDraggingEvent OnCanBandDragging;
    TvxTLBandEvent OnShowBand;
    TvxTLBandEvent OnHideBand;
    TvxTLBandEvent OnBandClick;
    TvxTLBandEvent OnStartBandDragging;
    TvxTLCanHeaderDraggingEvent OnCanHeaderDragging;
    TvxTLColumnEvent OnStartHeaderDragging;
    TvxTLColumnEvent OnShowHeader;
    TvxTLColumnEvent OnHideHeader;
    TvxTLColumnEvent OnHeaderMoved;
    TNotifyEvent OnBandButtonClick;
    TNotifyEvent OnHeaderButtonClick;
    TvxTLGetNodeDragTextEvent OnGetNodeDragText;
    TvxTLCalcRowLineHeight OnCalcRowLineHeight;
    TvxTLDragOverBandEvent OnDragOverBand;
    TvxTLDragOverHeaderEvent OnDragOverHeader;
    TvxTLDragEndBandEvent OnDragEndBand;
    TvxTLDragEndHeaderEvent OnDragEndHeader;
    TTLColumnMovedEvent OnColumnMoved;
    // The cell events: the first one fires before OnCustomDrawCell.
    TvxTLCustomDrawCell OnBeforeCustomDrawCell;
    TvxTLCustomDrawCell OnCustomDrawCell;
    TvxTLCustomDrawBand OnCustomDrawBand;
    TvxTLCustomDrawHeader OnCustomDrawColumnHeader;
    TvxTLCustomDrawFooter OnCustomDrawFooter;
    TvxTLCustomDrawFooter OnCustomDrawFooterNode;
    TvxTLCustomDrawPreview OnCustomDrawPreview;
    TvxTLCustomDrawPreview OnCustomDrawPreviewCell;
    TvxTLGetLevelColor OnGetLevelColor;

    // ======== Overrides of the base ========
    bool CanEditModify() override;
    void ColumnsChanged() override;
    void ClearCache() override;
    void InvalidateColumnWidths() override;
    void DoEditing(TvxTreeListNode* Node, bool& Allow) override;
    void BandBestFit(int Band) override;
    void ColumnBestFit(int Column) override;
    void LoadStoredLayout() override;
    void SaveStoredLayout() override;
    void BuildBandMaps() override;
    void BuildColumnWidths() override;
    void LayoutChanged() override;
    TvxTreeListNode* CreateNode() override;
    int GetNodeImageIndex(TvxTreeListNode* Node) override;
    int GetNodeSelectedIndex(TvxTreeListNode* Node) override;
    int GetNodeStateIndex(TvxTreeListNode* Node) override;
    Variant GetNodeValue(TvxTreeListNode* Node, int Column) override;
    std::string GetNodeString(TvxTreeListNode* Node, int Column) override;
    void SetNodeImageIndex(TvxTreeListNode* Node, int Value) override;
    void SetNodeSelectedIndex(TvxTreeListNode* Node, int Value) override;
    void SetNodeStateIndex(TvxTreeListNode* Node, int Value) override;
    void SetNodeString(TvxTreeListNode* Node, int Column, const std::string& Value) override;
    void SetNodeValue(TvxTreeListNode* Node, int Column, const Variant& Value) override;

    int GetAbsoluteBandAlignment(int Band) override;
    int GetAbsoluteBandCount() override;
    int GetAbsoluteBandIndex(int VisibleBand) override;
    void GetAbsoluteBandCaption(int Band, std::string& Text) override;
    int GetAbsoluteBandWidth(int Band) override;
    int GetBandAlignment(int Band) override;
    int GetBandCount() override;
    int GetLeftFixedBand() override;
    int GetRightFixedBand() override;
    int GetBandMinWidthValue(int Band) override;
    int GetBandOwnWidth(int Band) override;
    void GetBandText(int Band, std::string& Text) override;
    int GetVisibleBandIndex(int AbsoluteBand) override;
    bool GetBandFlag(int Band) override;
    int GetColumnCount() override { return ColumnCount(); }
    int GetColumnAt(int Band, int Row, int Position) override;
    int GetHeaderAlignment(int Column) override;
    int GetColumnBand(int Column) override;
    int GetColumnShownWidth(int Column) override;
    int GetRowColumnCount(int Band, int Row) override;
    int GetColumnPosition(int Column) override;
    TBitmap* GetHeaderGlyph(int Column) override;
    int GetColumnHeaderMaxLineCount(int Column) override;
    int GetColumnMinWidth(int Column) override;
    int GetBandRowCountOf(int Band) override;
    int GetAbsoluteColumnIndex(int VisibleIndex) override;
    int GetMaxColumnLineHeight(TCanvas* Canvas) override;
    int GetColumnRow(int Column) override;
    int GetHeaderSorted(int Column) override;
    bool GetColumnTabStop(int Column) override;
    void GetHeaderText(int Column, std::string& Text) override;
    void GetHeaderCaption(int Column, std::string& Text) override;
    int GetColumnWidth(int Column) override;
    TColor GetColumnColor(int Column) override;
    TFont* GetColumnFont(int Column) override;
    bool IsColumnOwnFont(int Column) override;
    bool HasHeaderGlyph(int Column) override;
    bool IsColumnVisible(int Column) override;
    TAlignment GetColumnAlignment(TvxTreeListNode* Node, int Column) override;
    void GetCellText(TvxTreeListNode* Node, int Column, std::string& Text) override;
    int GetColumnLineHeight(TCanvas* Canvas, int Column) override;
    void AdjustHeaderPanelRowCount() override;
    bool IsExistFooterCell(int Column) override;
    bool IsBandHeaderWidth() override;
    bool CanSizeBand(int Band) override;
    bool CanSizeColumn(int Column) override;
    void SetBandRowCount(int Value) override;
    void SetBandWidth(int Band, int Width) override;
    void SetHeaderPanelRowCount(int Value) override;
    void SetColumnWidth(int Column, int Width) override;
    void ScaleBandsWidth(int Num, int Den) override;
    void ScaleHiddenColumns(int Band, int Num, int Den) override;
    void DoBandButtonClick() override;
    void DoBandClick(int Band) override;
    void DoHeaderButtonClick() override;
    void DoHeaderClick(int Column) override;
    int GetBandMaxRowCount() override { return bandMaxRowCount_; }
    int GetBandRowCount() override { return bandRowCount_; }
    int GetHeaderPanelMaxRowCount() override { return headerPanelMaxRowCount_; }
    int GetHeaderPanelRowCount() override { return headerPanelRowCount_; }
    int GetHeaderMinRowCount() override;
    void ClearSortedColumns() override { sortedColumns_.clear(); }
    int GetSortedColumnCount() override { return SortedColumnCount(); }
    bool IsSortedColumnDescending(int Index) override;
    int GetSortedColumnIndex(int Index) override;

    // ---- Band and header operations of the dragging and customizing ----
    void MoveBand(int FromVisible, int ToVisible) override;
    bool CanBandDragging(int Band) override;
    void DoDragOverBand(int Band, TPoint P, bool& Accept) override;
    void DoDragEndBand(int Band, TPoint P, int VisibleIndex, int NewIndex, bool& Accept) override;
    virtual bool IsBandCustomizingDisabled(int Band);
    bool IsBandHideDisabled(int Band) override { return IsBandCustomizingDisabled(Band); }
    void HideBand(int Band) override;
    virtual bool IsBandHidden(int Band);
    void DoStartBandDragging(int Band) override;
    void ShowBand(int VisiblePosition, int Band) override;
    bool CanHeaderDragging(int Column) override;
    void DoDragOverHeader(int Column, TPoint P, bool& Accept) override;
    void DoDragEndHeader(int Column, TPoint P, TvxHeaderPosInfo& PosInfo, bool& Accept) override;
    virtual bool IsHeaderCustomizingDisabled(int Column);
    bool IsHeaderHideDisabled(int Column) override { return IsHeaderCustomizingDisabled(Column); }
    void MoveHeader(int Column, int Band, int Row, int Col) override;
    void HideHeader(int Column) override;
    virtual bool CanHideColumn(int Column);
    void DoStartHeaderDragging(int Column) override;
    void ShowHeader(int Band, int Row, int Column, int Col) override;
    void DoGetNodeDragText(TvxTreeListNode* Node, int Column, std::string& Text) override;
    virtual bool CanFilterColumn(int Column);
    virtual bool IsColumnHotTrack(int Column);
    bool IsHotTrackCell(TvxTreeListNode* /*Node*/, int Column) override { return IsColumnHotTrack(Column); }
    // The hot cell's column picks the cursor before the event may change it.
    void DoHotTrackNode(const TvxTreeListHotTrackInfo& Info, TCursor& Cursor) override;
    bool IsColumnMultiLine(int Column) override;
    // The text height of the column's font, or the column's least cell height when taller.
    virtual int GetCellLineHeight(TCanvas* Canvas, int Column);
    int CalcCellLineCount(TvxTreeListNode* Node, int Column, const std::string& Text, int Width,
                          int& LineHeight) override;
    // One cell's lines (LineCount, LineHeight) for an automatically heightened row: the
    // event's, else the column's editor class measures the wrapped text. Answers the cell's
    // text height.
    virtual int CalcRowLineHeight(TvxTreeListNode* Node, int Column, const std::string& Text, int BoundsWidth,
                                  int TextHeight, int MaxLineCount, bool Inflate, int& LineCount, int& LineHeight);
    // Custom drawing of one cell: either cell event or the column's own.
    bool HasCustomDrawCell(TvxTreeListNode* Node, int Column) override;
    void DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column, bool Selected,
                          bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                          TAlignment& Alignment, bool& Done) override;
    bool HasCustomDrawBand(int /*Band*/) override { return static_cast<bool>(OnCustomDrawBand); }
    void DoCustomDrawBand(int Band, TCanvas* Canvas, const TRect& Rect, const TRect& Visible, std::string& Text,
                          TColor& Color, TFont* Font, TAlignment& Alignment, bool& Done) override;
    bool HasCustomDrawHeader(int Column) override;
    void DoCustomDrawHeader(int Column, TCanvas* Canvas, const TRect& Rect, const TRect& Visible, std::string& Text,
                            TColor& Color, TFont* Font, TAlignment& Alignment, int& Sorted, bool& Done) override;
    bool HasCustomDrawFooter(TvxTreeListNode* Node, int Column, int FooterIndex) override;
    void DoCustomDrawFooter(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, int Column, int FooterIndex,
                            std::string& Text, TColor& Color, TFont* Font, TAlignment& Alignment, bool& Done) override;
    bool HasCustomDrawPreview(TvxTreeListNode* Node) override;
    void DoCustomDrawPreview(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, bool Selected,
                             std::string& Text, TColor& Color, TColor& TextColor, TFont* Font, bool& Done) override;
    bool IsLevelColorAssigned() override { return static_cast<bool>(OnGetLevelColor); }
    void DoGetLevelColor(int Level, TColor& Color) override;
    // The column's draw info, then its editor class draws the cell.
    void DrawCellContent(HDC DC, TvxTreeListCellRecord& Cell, int Column) override;
    int GetFilterButtonState(int Column) override;
    virtual bool CanShowColumnButton(int Column);

    // ======== Virtual operations of this class, in slot order ========
    virtual void MoveNodeColumnData(int From, int To);
    virtual void ClearAutoHeaderPanelHeight();
    virtual void BandsChanged();
    virtual void ColumnChanged(TvxTreeListColumn* Column);
    virtual void ColumnsUpdated() { RefreshLayout(); }
    virtual void AddSortedColumn(TvxTreeListColumn* Column);
    virtual bool DoColumnSorting(TvxTreeListColumn* Column);
    // As a header click does: Ctrl held (now) clears the sort.
    virtual void ToggleColumnSort(TvxTreeListColumn* Column);
    virtual void PrepareColumnSort(TvxTreeListColumn* /*Column*/) {}
    virtual void RemoveSortedColumn(TvxTreeListColumn* Column);
    // A column whose sort cannot be switched off, only turned around.
    virtual bool KeepsColumnSorted(TvxTreeListColumn* /*Column*/) { return false; }
    virtual void SortByColumn(TvxTreeListColumn* Column);
    virtual void RemoveColumn(TvxTreeListColumn* Column);
    virtual void BeginColumnsUpdate();
    virtual void EndColumnsUpdate();
    virtual void LoadColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section, TvxTreeListColumn* Column);
    virtual void LoadViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section);
    virtual void SaveColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section, TvxTreeListColumn* Column);
    virtual void SaveViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section);
    // Whether loading a layout gives the sorted-column list back in its stored order: when
    // the list can hold more than one column.
    virtual bool RestoresSortedOrder() { return IsMultiSort(); }
    // One column, or every column when null.
    virtual void ApplyBestFit(TvxTreeListColumn* Column);
    virtual void AssignColumns(TCustomvxTreeListControl* Source);
    virtual void DestroyColumns();
    // Frees one of the control's columns: its cells leave every row and it leaves the list.
    void DestroyColumn(TvxTreeListColumn* Column);
    virtual void ResortNodes() {}
    // A broken sort put the sort marks back: what the rows' order follows without a comparison
    // (a grid's group rows, which stand in their values' order) follows them again.
    virtual void SortMarksPutBack() {}

    void SetParent(TWinControl* AParent) override;
    // Forms call it after setting the properties: placement, sorted columns, stored layout.
    void Loaded() override;

protected:
    void CMFontChanged(TMessage& Message) override;

private:
    // The wrapped text's lines as the column's editor class draws them at Width.
    void MeasureCellText(TvxTreeListColumn* Column, TvxTreeListNode* Node, const std::string& Text, int Width,
                         int TextHeight, bool Inflate, int& LineCount, int& LineHeight);
    TCursor cursorBeforeHotTrack_ = 0;
    bool hotTrackCursorSet_ = false;
    friend class TvxTreeListColumn;
    void RebuildBandMaps();
    void RebuildColumnValueCache();
    void BuildColumnGrid();
    // The shown columns placed by band and header row, with what a layout reads off them for
    // every column: each answer then costs no pass over the columns.
    struct TColumnGrid {
        // Per visible band, per header row, the absolute indexes in list order.
        std::vector<std::vector<std::vector<int>>> Rows;
        // Per visible band, the header rows its shown columns use.
        std::vector<int> BandRowCounts;
        // Per column, its position in its row; -1 when it is not shown.
        std::vector<int> Positions;
        // The shown columns in visible order: row by row across the bands, as far as the
        // band with the most used rows reaches.
        std::vector<int> VisibleOrder;
    };
    TColumnGrid PlaceShownColumns();
    // Whether a column is in range.
    bool ValidColumn(int Column) const { return Column >= 0 && Column < ColumnCount(); }
    TvxTreeListBand* VisibleBand(int VisibleIndex) const { return bands_->VisibleItems(VisibleIndex); }
    TvxTreeListBand* AbsoluteBand(int Index) const;
    // The shown columns of a visible band and header row, in list order.
    std::vector<int> RowColumns(int VisibleBand, int Row);
    // The same row of the built grid (columnGridBuilt_); null outside it.
    const std::vector<int>* BuiltRowColumns(int VisibleBand, int Row) const;
    void SortByLoadedOrder();
    // Every column's sort mark and the list of sorted columns.
    struct TSortMarks {
        std::vector<std::pair<TvxTreeListColumn*, TvxTreeListColumnSort>> Marks;
        std::vector<TvxTreeListColumn*> Listed;
    };
    TSortMarks SortMarks() const;
    // Marks as Before says of the columns still there; a column that came since is not sorted,
    // nor one that was not, unless the control keeps it sorted now.
    void PutSortMarks(const TSortMarks& Before);
    // Runs Sort, which sorts the rows as the marks say now: a comparison that breaks it off
    // leaves the rows as they stood, and the marks go back to Before, to say what the rows show.
    void SortOrPutMarksBack(const TSortMarks& Before, const std::function<void()>& Sort);

    std::unique_ptr<TvxTreeListBands> bands_;
    int bandMaxRowCount_ = 5;
    int bandRowCount_ = 1;
    std::vector<TvxTreeListColumn*> columns_;
    bool defaultLayout_ = true;
    std::vector<TvxInplaceEdit*> editors_;
    int headerMinRowCount_ = 1;
    int headerPanelMaxRowCount_ = 5;
    int headerPanelRowCount_ = 1;
    std::string iniFileName_;
    std::string iniSectionName_;
    int sortingLock_ = 0;
    TSortMarks batchMarks_;
    std::string parentFormName_;
    std::string registryPath_;
    bool autoRowCountBusy_ = false;
    std::vector<TvxTreeListColumn*> sortedColumns_;
    bool streamAllColumns_ = false;
    bool layoutSaved_ = false;
    bool layoutRestored_ = false;
    std::vector<int> visibleToBand_;
    std::vector<int> bandToVisible_;
    bool bandMapsBuilding_ = false;
    TColumnGrid columnGrid_;
    bool columnGridBuilt_ = false;
    std::vector<int> columnValueCache_;
    bool columnValueCacheBuilding_ = false;
    int layoutLoading_ = 0;
};
