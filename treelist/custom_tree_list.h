#pragma once
// TCustomvxTreeList: the common core of the tree-list grid controls. It shows a forest of
// TvxTreeListNode objects as rows and describes most of its behaviour through virtual
// operations that the control with columns and the data-aware controls answer: node data,
// bands and columns, option tests and event dispatchers. This level holds the root list,
// update locking, focus and top-row bookkeeping, the visible-node list, neighbour
// navigation, the interaction state, selection, sorting, incremental search and copying.
//
// The visible-node list is an accelerator only: every display-order reader answers exactly
// what a walk over the tree answers, and walks the tree whenever the list is not valid.

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/vx_container.h"
#include "controls/vx_hint_window.h"
#include "platform/classes/string_list.h"
#include "platform/forms/drag_image_list.h"
#include "platform/forms/memo.h"
#include "platform/gdi/graphics_objects.h"
#include "platform/rtl/variant.h"
#include "treelist/hidden_node_list.h"
#include "treelist/tree_list_drop_arrows.h"
#include "treelist/tree_list_geometry.h"
#include "treelist/tree_list_node.h"
#include "treelist/tree_list_types.h"
#include "treelist/visible_node_list.h"

class TvxInplaceEdit;
class TChangeLink;
class TCustomImageList;
class TCanvas;
class TBitmap;
struct TvxTreeListPaint;

// The cell record: what the cell drawing hands to the column and its editor class for one
// cell. Rect is (0, 0, width, height) of the cell grown by 2 on each side.
struct TvxTreeListCellRecord {
    HBRUSH Brush = nullptr;
    TFont* Font = nullptr;
    TColor BrushColor = clWindow;
    TColor TextColor = clWindowText;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
    int HighlightLength = 0;
    bool Selected = false;
    bool InvertSelect = false;
    bool LeftNeighbour = false;
    bool RightNeighbour = false;
    bool MultiLine = false;
    bool Highlight = false;
    bool EndEllipsis = false;
    TvxTreeListNode* Node = nullptr;
    bool NewItemRow = false;
    TColor SelectionColor = clHighlight;
    TBitmap* Bitmap = nullptr;
    bool EditCell = false;
    TRect Rect;
};

// Where a dragged column header would drop. Marker -1: nowhere (all fields -1); -2: over the
// header panel, but the drop changes nothing; -3: at (Band, Row, ColPos), a visible band.
struct TvxHeaderPosInfo {
    int Band = -1;
    int Row = -1;
    int ColPos = -1;
    int Marker = -1;
    friend bool operator==(const TvxHeaderPosInfo&, const TvxHeaderPosInfo&) = default;
};

// A plain stored property whose setter stores a changed value and then runs Action.
#define TVX_TL_PROPERTY(Type, Name, Field, Action) \
    Type Name() const { return Field; }            \
    void Set##Name(Type Value) {                   \
        if (Field == Value) return;                \
        Field = Value;                             \
        Action;                                    \
    }

class TCustomvxTreeList : public TCustomvxContainer {
public:
    using TvxNodeLess = std::function<bool(const TvxTreeListNode*, const TvxTreeListNode*)>;

    explicit TCustomvxTreeList(TComponent* AOwner);
    ~TCustomvxTreeList() override;
    std::string ClassName() const override { return "TCustomvxTreeList"; }

    // ---- Root nodes ----
    TvxTreeListNode* Add();
    TvxTreeListNode* InsertNode(TvxTreeListNode* BeforeNode);
    int GetCount() const { return static_cast<int>(roots_.size()); }
    TvxTreeListNode* GetItem(int Index) const;
    int IndexOfRoot(const TvxTreeListNode* Node) const;
    void ClearNodes();
    void FullExpand();

    // ---- Hidden nodes ----
    // Nodes taken out of the tree (with their subtrees) but kept: a filter's rejected rows.
    // They are freed with the tree.
    const std::vector<TvxTreeListNode*>& HiddenNodes() const { return hiddenNodes_.Nodes(); }
    bool IsNodeHidden(const TvxTreeListNode* Node) const { return hiddenNodes_.Contains(Node); }
    // Takes nodes out of the tree into the end of the hidden list, in order; references
    // into them are dropped. Each sibling list they leave is closed up in one pass.
    void HideNodes(const std::vector<TvxTreeListNode*>& Nodes);
    // HideNodes, and each parent the nodes leave without children is freed, with the parents
    // above it that it leaves without children: a filter's rows leaving their group rows. The
    // same as hiding the nodes one by one in the order given, each followed by the parents
    // it empties (the topmost of them freed with its subtree), but nodes all on one level
    // leave in one batch and the parents go together afterwards, in the order they were
    // emptied, each sibling list closed up once. Nodes on several levels leave one by one.
    void HideNodesFreeingEmptyParents(const std::vector<TvxTreeListNode*>& Nodes);
    // Where a hidden node goes back: under Parent, a root when null.
    struct TvxNodeReturn {
        TvxTreeListNode* Node;
        TvxTreeListNode* Parent;
    };
    // Puts hidden nodes back, each before the first sibling that Precedes(node, sibling)
    // puts it before, or last: the same as putting them back one by one in the order given,
    // but each sibling list is merged in one pass. Precedes orders the returning nodes among
    // themselves as well. InOrder says the caller has put Nodes in that order already, so
    // that the nodes preceding a sibling are a run at the front of those not yet placed; the
    // merge then asks Precedes about a few of them per sibling instead of every one.
    void UnhideNodes(const std::vector<TvxNodeReturn>& Nodes, const TvxNodeLess& Precedes, bool InOrder = false);

    // ---- Moving many nodes at once (the data-aware grid's regroup) ----
    // Takes nodes out of their sibling lists, each list closed up in one pass; they lie in no
    // list, with their subtrees, until attached again or freed. Focus and top row stay as
    // they are: the caller sets them afterwards.
    void DetachNodes(const std::vector<TvxTreeListNode*>& Nodes);
    // Puts detached nodes, in order, among the children of Parent (the roots when null) at
    // Position (-1: last); other nodes are left alone.
    void AttachNodes(const std::vector<TvxTreeListNode*>& Nodes, TvxTreeListNode* Parent, int Position);
    // Frees the nodes in the order given, inside one update, as freeing them one by one would
    // (no node may lie below one given before it), but each sibling list they leave is
    // closed up in one pass. The top row, the focus and the selection anchor, when they go,
    // end on the nearest sibling before that stays, else the parent when it stays, else
    // (among the roots) the nearest root after that stays. Hidden nodes are left alone.
    void FreeNodes(const std::vector<TvxTreeListNode*>& Nodes);
    void FullCollapse();

    // ---- Display order ----
    TvxTreeListNode* GetFirstNode() const { return GetItem(0); }
    TvxTreeListNode* GetLastVisibleNode() const;
    TvxTreeListNode* GetNextVisibleNode(const TvxTreeListNode* Node) const;
    TvxTreeListNode* GetPriorVisibleNode(const TvxTreeListNode* Node) const;
    int GetAbsoluteIndex(const TvxTreeListNode* Node) const;
    int GetAbsoluteCount() const;
    TvxTreeListNode* GetAbsoluteNode(int Index) const;
    bool IsNodeVisible(const TvxTreeListNode* Node) const;
    void MakeNodeVisible(TvxTreeListNode* Node);
    // Scrolls horizontally until the column (absolute index) shows whole, or starts at the
    // left edge when it is wider than the scroll area; columns of fixed bands always show.
    void MakeColumnVisible(int Column);
    // Scrolls horizontally until the band (visible index) shows, as far as it fits; fixed
    // bands always show.
    void MakeBandVisible(int BandIndex);
    // The visible-node list holds nodes and the control is not being destroyed.
    bool IsNodeCacheValid() const;
    int VisibleListCount() const { return visibleNodes_.Count(); }
    bool IsCacheBuilt() const { return cacheBuilt_; }

    // ---- Focus and top row ----
    TvxTreeListNode* GetFocusedNode() const { return focusedNode_; }
    // The row under the pointer while hot tracking.
    TvxTreeListNode* HotTrackNode() const { return hotTrackNode_; }
    int GetFocusedColumn();
    void SetFocusedColumn(int Column);
    int GetFocusedAbsoluteNodeIndex() const;
    int GetTopIndex() const;
    TvxTreeListNode* TopVisibleNode() const { return topNode_; }
    TvxTreeListNode* SelectionAnchor() const { return selectionAnchor_; }
    bool FocusNext(bool AllNodes) { return MoveFocus(2, AllNodes) != nullptr; }
    bool FocusPrior(bool AllNodes) { return MoveFocus(1, AllNodes) != nullptr; }
    int PartlyVisibleRows() const { return partlyVisibleRows_; }
    int WhollyVisibleRows() const { return whollyVisibleRows_; }

    // ---- Update locking ----
    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    int LockUpdate() const { return updateLock_; }
    bool IsUpdateLocked() const { return updateLock_ > 0; }
    bool IsDestroying() const { return HasState(csDestroying); }

    // ---- Interaction state and editing ----
    uint8_t State() const { return state_; }
    void SetState(uint8_t Value);
    void ShowEditor();
    void ShowEditorChar(char32_t Key);
    // ShowEditor, then the press (client coordinates) or the plain activation that opened it
    // goes on to the editor.
    void ShowEditorMouseDown(int X, int Y);
    void ShowEditorMouseUp();
    // Closes an open editor; the control takes the focus back when the editor had it, or
    // always with GiveFocusBack.
    void CloseEditor(bool GiveFocusBack = false);
    TvxInplaceEdit* Editor() const { return editor_; }

    // ---- Selection (non-virtual part) ----
    TvxTreeListNode* GetFirstSelectedNode();
    void InvalidateRect(const TRect& Rect);
    int SelectionBatchCount() const { return selectionBatch_; }

    // ---- Search and copy (non-virtual part) ----
    bool StartSearch(int Column, const std::string& Text);
    void SyncSearchColumn();
    void EndSearchHighlight();
    bool SearchActive() const { return searchActive_; }
    const std::string& SearchText() const { return searchText_; }
    int SearchColumn() const { return searchColumn_; }
    void CopySelectedToClipboard();
    std::string GetHeaderLineText();
    std::string GetNodeLineText(TvxTreeListNode* Node);

    // ---- Options ----
    TvxTreeListOptions Options() const { return options_; }
    void SetOptions(TvxTreeListOptions Value);
    TvxTreeListOptionsEx OptionsEx() const { return optionsEx_; }
    void SetOptionsEx(TvxTreeListOptionsEx Value);

    // ---- Look and layout properties ----
    TVX_TL_PROPERTY(TColor, ArrowsColor, arrowsColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, BandColor, bandColor_, Invalidate())
    TVX_TL_PROPERTY(TBorderStyle, BorderStyle, borderStyle_, if (HandleAllocated()) RecreateWnd())
    TVX_TL_PROPERTY(bool, DblClkExpanding, dblClkExpanding_, )
    TVX_TL_PROPERTY(TColor, FixedBandLineColor, fixedBandLineColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, RowFooterColor, rowFooterColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, RowFooterTextColor, rowFooterTextColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, GridLineColor, gridLineColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, GroupNodeColor, groupNodeColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, GroupNodeTextColor, groupNodeTextColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, HeaderColor, headerColor_, Invalidate())
    TVX_TL_PROPERTY(bool, HideFocusRect, hideFocusRect_, Invalidate())
    TVX_TL_PROPERTY(bool, HideSelection, hideSelection_, Invalidate())
    TVX_TL_PROPERTY(TColor, HideSelectionColor, hideSelectionColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, HideSelectionTextColor, hideSelectionTextColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, HighlightColor, highlightColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, HighlightTextColor, highlightTextColor_, Invalidate())
    TVX_TL_PROPERTY(TvxLookAndFeel, LookAndFeel, lookAndFeel_, LookAndFeelChanged())
    TVX_TL_PROPERTY(TScrollStyle, ScrollBars, scrollBars_, if (HandleAllocated()) RecreateWnd())
    TVX_TL_PROPERTY(bool, ShowBands, showBands_, RefreshLayout())
    TVX_TL_PROPERTY(bool, ShowGrid, showGrid_, RefreshLayout())
    TVX_TL_PROPERTY(bool, ShowHeader, showHeader_, RefreshLayout())
    bool ShowNewItemRow() const { return showNewItemRow_; }
    // Switching the row off first ends an insertion in it.
    void SetShowNewItemRow(bool Value);
    TVX_TL_PROPERTY(bool, ShowPreviewGrid, showPreviewGrid_, RefreshLayout())
    TVX_TL_PROPERTY(bool, ShowRowFooter, showRowFooter_, RefreshLayout())
    TVX_TL_PROPERTY(uint32_t, WaitForExpandNodeTime, waitForExpandNodeTime_, )
    TVX_TL_PROPERTY(bool, SimpleCustomizeBox, simpleCustomizeBox_, )
    TVX_TL_PROPERTY(bool, ShowHiddenInCustomizeBox, showHiddenInCustomizeBox_, )
    TVX_TL_PROPERTY(bool, AutoExpandOnSearch, autoExpandOnSearch_, )
    TVX_TL_PROPERTY(TColor, AutoSearchColor, autoSearchColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, AutoSearchTextColor, autoSearchTextColor_, Invalidate())
    int GrIndicatorWidth() const { return grIndicatorWidth_; }
    // The indicator column is never narrower than its glyphs (12).
    void SetGrIndicatorWidth(int Value) {
        Value = std::max(Value, 12);
        if (grIndicatorWidth_ == Value) return;
        grIndicatorWidth_ = Value;
        RefreshLayout();
    }
    TVX_TL_PROPERTY(TColor, ShadowColor, shadowColor_, Invalidate())
    TVX_TL_PROPERTY(TColor, TreeLinesColor, treeLinesColor_, Invalidate())
    TVX_TL_PROPERTY(bool, ListMode, listMode_, RefreshLayout())
    TVX_TL_PROPERTY(bool, ShowExpandButtons, showExpandButtons_, RefreshLayout())
    TVX_TL_PROPERTY(bool, ShowTreeLines, showTreeLines_, Invalidate())
    TVX_TL_PROPERTY(bool, ShowRootIndent, showRootIndent_, RefreshLayout())
    TVX_TL_PROPERTY(bool, ShowSummaryFooter, showSummaryFooter_, RefreshLayout())
    TVX_TL_PROPERTY(bool, ShowIndicator, showIndicator_, RefreshLayout())
    TVX_TL_PROPERTY(uint8_t, TreeLinesStyle, treeLinesStyle_, Invalidate())
    int LeftCoord() const { return leftCoord_; }
    // Held within 0 .. total data width - visible data width; scrolls the window content.
    void SetLeftCoord(int Value);
    // Node images and state images; a freed list is forgotten, a changed one re-lays out.
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return stateImages_; }
    void SetStateImages(TCustomImageList* Value);
    // Assigning or changing these fonts ends ParentFont and re-lays out.
    TFont* BandFont() const { return bandFont_.get(); }
    void SetBandFont(TFont* Value);
    TFont* HeaderFont() const { return headerFont_.get(); }
    void SetHeaderFont(TFont* Value);
    TFont* PreviewFont() const { return previewFont_.get(); }
    void SetPreviewFont(TFont* Value);
    // The setters below hold their values inside their limits.
    int FixedBandLineWidth() const { return fixedBandLineWidth_; }
    void SetFixedBandLineWidth(int Value);
    int MaxRowLineCount() const { return maxRowLineCount_; }
    void SetMaxRowLineCount(int Value);
    int IndentDesc() const { return indentDesc_; }
    void SetIndentDesc(int Value);
    int PreviewLines() const { return previewLines_; }
    void SetPreviewLines(int Value);
    int CustomizingRowCount() const { return customizingRowCount_; }
    void SetCustomizingRowCount(int Value);
    int RowSeparatorLineWidth() const { return rowSeparatorLineWidth_; }
    void SetRowSeparatorLineWidth(int Value);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    bool DefaultRowHeightAssigned() const { return defaultRowHeightAssigned_; }

    // ---- Geometry: metrics, areas and the layout record ----
    const TvxTreeListMetrics& Metrics() const { return metrics_; }
    // Measures the fonts and image lists; the full re-layout runs it first.
    void CalcMetrics();
    bool TreeStyle() const { return !listMode_; }
    bool HasRootIndent() const { return !TreeStyle() || showRootIndent_; }
    TvxTreeListRectInfo GetRectInfo();
    void CalcLayout(TvxTreeListLayout& Layout);
    static void FreeLayout(TvxTreeListLayout& Layout);
    int GetVisibleColumnIndex(int AbsoluteIndex);
    TRect GetCellRect(TvxTreeListNode* Node, int VisibleColumn);
    TRect GetEditorRect(TvxTreeListNode* Node, int VisibleColumn);
    // Width of a node's level cells and images, left of its first cell's text.
    int GetNodeTreePartWidth(TvxTreeListNode* Node);
    // The button, state image, image and indent rectangles of a node's row.
    TvxTreeListNodeParts GetNodeParts(const TvxTreeListLayout& Layout, TvxTreeListNode* Node, int Top, int Bottom);

    // ---- Hit testing ----
    TvxTreeListHitKind GetHitTestType(int X, int Y) { return GetHitInfo(TPoint{X, Y}).Kind; }
    TvxTreeListNode* GetHitNode(int X, int Y) { return GetHitInfo(TPoint{X, Y}).Node; }
    // BandSizing is on, the control lets the band be sized, and the bands are shown or the
    // header does not size them.
    bool IsBandSizable(int Band);
    // The header's outer edges size the columns, not the bands.
    bool IsHeaderSizesBands() { return IsBandHeaderWidth() && !showBands_; }

    // ---- Band and column widths ----
    int GetBandMinWidth(int Band);
    int GetBandNaturalWidth(int Band);
    int GetBandsTotalWidth();
    int GetBandWidth(int Band);
    int GetBandOffset(int Band);
    int GetScrollableWidth();
    int GetScrollAreaWidth();
    // The band area between the fixed bands, rows, headers and footer included.
    TRect GetScrollAreaRect();
    int GetColumnHeaderRowSpan(int Column);
    // The column's share of its band row (AutoWidth) or its stored width. A caller asking
    // for many columns at once passes `rows`, where each band row is shared out only once.
    using TRowShares = std::map<std::pair<int, int>, std::vector<int>>;
    int CalcColumnShownWidth(int Column, TRowShares* rows = nullptr);
    void SetBandWidthByMouse(int Band, int Width);
    // A column sized by the mouse: the other columns of its row absorb the change.
    void SetColumnWidthByMouse(int Column, int Width);
    // A column sized by the mouse while the band's width follows its header.
    void SetColumnWidthFollowingBand(int Column, int Width);

    // ---- Sizing limits ----
    TvxSizingLimits GetBandSizingLimits(int Band);
    TvxSizingLimits GetColumnSizingLimits(int Column);
    // The band panel bottom snapped to whole rows, for the line at Y.
    int GetBandPanelSizingLimits(int Y, int& RowCount);
    int GetHeaderPanelSizingLimits(int Y, int& RowCount);
    TvxSizingLimits GetRowSizingLimits(int Row);

    // ---- Rows ----
    int GetRowHeight(TvxTreeListNode* Node, int LineHeight, bool NoCache);
    int GetRowFooterCount(TvxTreeListNode* Node);
    int GetRowFooterLevel(TvxTreeListNode* Node, int Index);
    void FocusFirstNode();
    void SetTopIndex(int Index);
    // Scrolls up so that no empty space is left below the last row while rows are above
    // the top, as the top index's own clamp does.
    void ClampTopIndex();
    void SetNewItemRowActive(bool Value);
    bool NewItemRowActive() const { return newItemRowActive_; }

    // ---- Scrolling ----
    void ScrollColumns(int DX);
    void ScrollRows(int DY);
    // The data width shown between the fixed bands.
    int GetVisibleDataWidth();
    int HorzScrollStep() const { return horzScrollStep_; }

    // ---- Painting ----
    // The bitmap header and band cells are composed in; it exists only while painting.
    TBitmap* WorkBitmap() const { return workBitmap_.get(); }
    // The colour of pressed and hidden-selection shadows: a fixed grey in the ultra-flat look.
    TColor GetShadowColor() const;
    TFont* WorkFont() const { return workFont_.get(); }
    bool BandCornerPressed() const { return bandCornerPressed_; }
    void SetBandCornerPressed(bool Value) { bandCornerPressed_ = Value; }
    bool HeaderCornerPressed() const { return headerCornerPressed_; }
    void SetHeaderCornerPressed(bool Value) { headerCornerPressed_ = Value; }
    int PressedBand() const { return pressedBand_; }
    void SetPressedBand(int Value) { pressedBand_ = Value; }
    int PressedHeader() const { return pressedColumn_; }
    void SetPressedHeader(int Value) { pressedColumn_ = Value; }
    bool ClearFilterHot() const { return clearFilterHot_; }
    bool ClearFilterPressed() const { return clearFilterPressed_; }
    // Whether a node drag that started from this control is running (its drag object exists).
    bool IsDragFromControl() const { return nodeDragHeld_; }
    void SetDragNode(TvxTreeListNode* Node) { dragNode_ = Node; }
    // ---- Sizing line, filter buttons, clear-filter hint ----
    // Whether the inverted line that shows where a sized edge goes stands on the control.
    bool SizingLineShown() const { return sizingLineShown_; }
    int SizingLinePosition() const { return sizingPosition_; }
    // The column whose header filter button is held down (-1 none), and whether the pointer
    // is still on it.
    int FilterHeader() const { return filterHeader_; }
    bool FilterPressedIn() const { return filterPressed_; }
    // The clear button of the filter status panel; empty while it is not shown.
    TRect GetClearFilterButtonRect();
    static TRect ClearFilterButtonRectIn(const TRect& Panel);
    TvxContainerHintWindow* ClearFilterHint() const { return clearFilterHint_.get(); }
    // The rectangle of a node's row footer number FooterIndex below Top.
    void GetRowFooterRect(TvxTreeListNode* Node, int FooterIndex, TRect& Rect, const TvxTreeListLayout& Layout,
                          int RightInset, int Top);

    // ---- Drag feedback ----
    void HideDragFeedback();
    void ShowDragFeedback();
    int DragFeedbackCount() const { return dragFeedbackCount_; }

    // ---- Header, band and node dragging (tree_list_drag.cpp, tree_list_header_drop.cpp) ----
    // The drop place of a dragged header (Dragged: its absolute index; DraggedShown: the
    // same while it is shown, else -1) for the screen point P; P leaves as the screen point
    // of the drop arrows.
    virtual void CalcHeaderDropPosition(TPoint& P, TvxHeaderPosInfo& Result, int Dragged, int DraggedShown);
    // The same for a band: Result is the visible index it would stand at, -1 outside the
    // band panel, -2 no change.
    virtual void CalcHeaderDropPosition(TPoint& P, int& Result, int Dragged, int DraggedShown);
    virtual void EndBandDragging(bool Accept);
    virtual void EndHeaderDragging(bool Accept);
    // The band (absolute index) or column dragged, -1 when none.
    int DraggedBand() const { return draggedBand_; }
    int DraggedColumn() const { return draggedColumn_; }
    // The screen point the drop arrows stand at, and whether they show.
    TPoint ArrowPosition() const { return arrowPos_; }
    bool ArrowsShown() const { return dropArrows_.Showing(); }
    HWND ArrowsWindow() const { return dropArrows_.Handle(); }
    // The images of a header, band or node drag while one runs.
    TDragImageList* GetDragImages() override;
    // The node dragged, with its drag image (virtual: descendants draw their own).
    virtual void MakeNodeDragImage(TvxTreeListNode* Node, int Column);
    TvxTreeListNode* DraggedNode() const { return dragNode_; }

    // ---- Area invalidation ----
    void InvalidateBandPanel();
    void InvalidateHeaderPanel();
    void InvalidateRowsArea();
    void InvalidateFooter();
    void InvalidateNewItemRow();

    // ---- Events ----
    // The node and selection events (OnDeletion, OnChangeNode, OnSelectedCountChange,
    // OnCanNodeSelected, the expand, collapse and editing events, OnCompare) fire in the middle
    // of a change to the nodes, which goes on over the control when the handler returns: a
    // handler must not free its own control, directly or by freeing its form. One that has to
    // end it posts the end (TCustomForm::Release).
    TTLExpandedEvent OnBeginDragNode;
    TvxTLCanNodeSelected OnCanNodeSelected;
    TTLChangeColumnEvent OnChangeColumn;
    TNotifyEvent OnChangeLeftCoord;
    TTLChangeNodeEvent OnChangeNode;
    TNotifyEvent OnChangeTopVisibleNode;
    TTLExpandedEvent OnCollapsed;
    TTLExpandingEvent OnCollapsing;
    TvxTLCompareEvent OnCompare;
    TTLExpandedEvent OnDeletion;
    TNotifyEvent OnEditChange;
    TTLExpandedEvent OnEdited;
    TTLExpandingEvent OnEditing;
    TvxEditValidateEvent OnEditValidate;
    TNotifyEvent OnEndColumnsCustomizing;
    TTLExpandedEvent OnExpanded;
    TTLExpandingEvent OnExpanding;
    TvxTLHotTrackNode OnHotTrackNode;
    TNotifyEvent OnSelectedCountChange;

    // ======== Virtual operations, in slot order ========
    TvxEditButtonViewStyle GetEditButtonViewStyle(TvxEditBorderStyle BorderStyle) override;
    // Every in-place editor gets the tree list's edit style.
    TvxEditStyle* CreateEditStyle(TvxInplaceEdit* Editor) override;

    // ---- Mouse and sizing ----
    virtual void CancelDragSizing();

    // ---- Notifications, events and editing hooks ----
    virtual bool AcquireFocus() { return true; }
    virtual void NodeAdded(TvxTreeListNode* Node);
    virtual void ColumnsChanged() {}
    virtual bool CanDblClick() { return true; }
    virtual bool NodeHasChildren(TvxTreeListNode* Node) { return Node->Count() > 0; }
    virtual void InvalidateColumnWidths() {}
    virtual void ClearCache();
    virtual void ResetRowHeights();
    virtual void DoCollapsed(TvxTreeListNode* Node);
    virtual void DoEdited(TvxTreeListNode* Node);
    virtual void DoExpanded(TvxTreeListNode* Node);
    virtual void DoCollapsing(TvxTreeListNode* Node, bool& Allow);
    virtual void DoEditing(TvxTreeListNode* Node, bool& Allow);
    virtual void DoExpanding(TvxTreeListNode* Node, bool& Allow);
    virtual void BandBestFit(int /*Band*/) {}
    virtual void ColumnBestFit(int /*Column*/) {}
    virtual void DoChangeColumn(TvxTreeListNode* Node, int Column);
    virtual void DoChangeLeftCoord();
    virtual void DoChangeNode(TvxTreeListNode* OldNode, TvxTreeListNode* Node);
    virtual void DoEditChange(TObject* Sender);
    virtual void DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept);
    virtual void LoadStoredLayout() {}
    virtual void SaveStoredLayout() {}
    // Tells OnDeletion of the node, which leaves the control's references (focus, top row,
    // selection) also when the handler raises.
    virtual void DoDeletion(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint, bool WasLast,
                            TvxTreeListNode* NextNode);
    virtual void DeleteNodeColumnData(TvxTreeListNode* Node, int Column);
    virtual void SynchronizeData() {}
    virtual void GetRowsAreaRect(TRect& Rect) { Rect = GetRectInfo().Rows; }
    virtual bool IsHotTrack() { return optionsEx_.Contains(TvxTLOptionEx::HotTrack); }
    bool IsShowButtonAlways() override { return optionsEx_.Contains(TvxTLOptionEx::ShowButtonAlways); }
    virtual bool GetHeaderHitZone(int X, int Y, int& Zone, int Column);
    virtual void RefreshLayout();
    // RefreshLayout after a change of the columns alone: no node moved, so the visible-node
    // list stays when it is built.
    void RefreshColumnLayout();
    virtual void BuildBandMaps() {}
    virtual void BuildColumnWidths() {}

    // ---- Layout, focus and node data ----
    virtual void LayoutChanged();
    virtual bool FocusNode(TvxTreeListNode* Node);
    virtual bool IsEditButtonClick(int X, int Y, int Column, bool SameNode);
    virtual void RepaintNode(TvxTreeListNode* Node, bool Recalc);
    virtual bool AllowOperation() { return true; }
    virtual TvxTreeListNode* CreateNode();
    virtual int GetNodeImageIndex(TvxTreeListNode* Node);
    virtual int GetNodeSelectedIndex(TvxTreeListNode* Node);
    virtual int GetNodeStateIndex(TvxTreeListNode* Node);
    virtual Variant GetNodeValue(TvxTreeListNode* Node, int Column);
    virtual std::string GetNodeString(TvxTreeListNode* Node, int Column);
    virtual Variant GetNodeSortValue(TvxTreeListNode* Node, int Column);
    virtual void ChangeFocus(TvxTreeListNode* Node, int Column, bool MakeVisible);
    virtual void SetFocusedAbsoluteNodeIndex(int Index);
    virtual void SetNodeImageIndex(TvxTreeListNode* Node, int Value);
    virtual void SetNodeSelectedIndex(TvxTreeListNode* Node, int Value);
    virtual void SetNodeStateIndex(TvxTreeListNode* Node, int Value);
    virtual void SetNodeString(TvxTreeListNode* Node, int Column, const std::string& Value);
    virtual void SetNodeValue(TvxTreeListNode* Node, int Column, const Variant& Value);
    virtual void SetTopVisibleNode(TvxTreeListNode* Node);
    virtual int GetGroupPanelHeight() { return 0; }

    // ---- Band and column layout (the control with columns answers) ----
    virtual int GetAbsoluteBandAlignment(int /*Band*/) { return 0; }
    virtual int GetAbsoluteBandCount() { return 0; }
    virtual int GetAbsoluteBandIndex(int VisibleBand) { return VisibleBand; }
    virtual void GetAbsoluteBandCaption(int /*Band*/, std::string& Text) { Text.clear(); }
    virtual int GetAbsoluteBandWidth(int /*Band*/) { return 0; }
    virtual int GetBandAlignment(int /*Band*/) { return 0; }
    virtual int GetBandCount() { return 0; }
    virtual int GetLeftFixedBand() { return -1; }
    virtual int GetRightFixedBand() { return -1; }
    virtual int GetBandMinWidthValue(int /*Band*/) { return 0; }
    virtual int GetBandOwnWidth(int /*Band*/) { return 0; }
    virtual void GetBandText(int /*Band*/, std::string& Text) { Text.clear(); }
    virtual int GetGroupIndentWidth() { return 0; }
    virtual int GetVisibleBandIndex(int AbsoluteBand) { return AbsoluteBand; }
    virtual bool GetBandFlag(int /*Band*/) { return false; }
    virtual int GetColumnCount() { return 0; }
    virtual int GetColumnAt(int /*Band*/, int /*Row*/, int /*Position*/) { return -1; }
    virtual int GetHeaderAlignment(int /*Column*/) { return 0; }
    virtual int GetColumnBand(int /*Column*/) { return 0; }
    // The width a column is shown with: its share of its band row.
    virtual int GetColumnShownWidth(int Column) { return CalcColumnShownWidth(Column); }
    virtual int GetRowColumnCount(int /*Band*/, int /*Row*/) { return 0; }
    virtual int GetColumnPosition(int /*Column*/) { return 0; }
    virtual TBitmap* GetHeaderGlyph(int /*Column*/) { return nullptr; }
    virtual int GetColumnHeaderMaxLineCount(int /*Column*/) { return 1; }
    virtual int GetColumnMinWidth(int /*Column*/) { return 0; }
    virtual int GetBandRowCountOf(int /*Band*/) { return 0; }
    virtual int GetColumnRow(int /*Column*/) { return 0; }
    virtual int GetHeaderSorted(int /*Column*/) { return 0; }
    virtual bool GetColumnTabStop(int /*Column*/) { return true; }
    virtual void GetHeaderText(int /*Column*/, std::string& Text) { Text.clear(); }
    virtual void GetHeaderCaption(int Column, std::string& Text) { GetHeaderText(Column, Text); }
    virtual int GetColumnWidth(int /*Column*/) { return 0; }
    virtual TColor GetColumnColor(int /*Column*/) { return Color(); }
    virtual TFont* GetColumnFont(int /*Column*/) { return Font(); }
    virtual bool IsColumnOwnFont(int /*Column*/) { return false; }
    virtual bool HasHeaderGlyph(int /*Column*/) { return false; }
    // Visible columns in visible order, and the absolute index of a visible one.
    virtual int GetVisibleColumnCount();
    virtual int GetAbsoluteColumnIndex(int VisibleIndex);
    virtual bool IsColumnVisible(int /*Column*/) { return true; }
    // Whether a column takes a proportional share of its band row: a column that may not be
    // sized keeps its own width.
    virtual bool IsColumnProportional(int Column) { return CanSizeColumn(Column); }
    // The cells of a multi-line column wrap their text; the layout's header cell entries
    // carry the answer to the painting.
    virtual bool IsColumnMultiLine(int /*Column*/) { return false; }
    // Text lines of one header cell.
    virtual int GetHeaderLineCount() { return 1; }

    // ---- Queries and option tests ----
    virtual TAlignment GetColumnAlignment(TvxTreeListNode* /*Node*/, int /*Column*/) { return taLeftJustify; }
    virtual void GetCellText(TvxTreeListNode* /*Node*/, int /*Column*/, std::string& Text) { Text.clear(); }
    virtual void GetNewItemRowText(int /*Column*/, std::string& Text) { Text.clear(); }
    virtual bool GetCellFlag(TvxTreeListNode* /*Node*/, int /*Column*/) { return false; }
    virtual bool IsNewItemRowEditing() { return true; }
    virtual int GetIndicatorWidth() { return 12; }
    // A column with a font of its own needs its own line height; 0 for the others.
    virtual int GetColumnLineHeight(TCanvas* Canvas, int Column);
    virtual void GetPreviewText(TvxTreeListNode* /*Node*/, std::string& Text) { Text.clear(); }
    virtual int GetIndicatorKind(TvxTreeListNode* /*Node*/, bool /*Selected*/) { return 0; }
    // The row's text line count, raising LineHeight to the tallest cell line; -1 when none.
    virtual int CalcRowLineCount(TvxTreeListNode* Node, int& LineHeight);
    // The lines a cell's text takes at Width, and the height of one of them (LineHeight);
    // this level measures nothing.
    virtual int CalcCellLineCount(TvxTreeListNode* /*Node*/, int /*Column*/, const std::string& /*Text*/, int /*Width*/,
                                  int& /*LineHeight*/) {
        return 0;
    }
    virtual int GetPreviewLineCount(TvxTreeListNode* /*Node*/) { return previewLines_; }
    // The per-node value of a row entry while row footers are tested.
    virtual int GetRowFooterValue(TvxTreeListNode* /*Node*/) { return -1; }
    virtual bool HasFilterCriteria() { return false; }
    virtual void GetFilterStatusText(std::string& Text) { Text.clear(); }
    virtual void GetClearFilterCaption(std::string& Text) { Text.clear(); }
    virtual int GetMaxColumnLineHeight(TCanvas* Canvas);
    virtual int GetRowSeparatorLineWidth() { return std::max(1, rowSeparatorLineWidth_); }
    virtual void AdjustHeaderPanelRowCount() {}
    virtual bool IsGroupNode(TvxTreeListNode* /*Node*/) { return false; }
    virtual TAlignment GetCellAlignment(TvxTreeListNode* Node, int Column) { return GetColumnAlignment(Node, Column); }
    // The text of a footer cell: Level -1 the footer under the rows; from 0 the row footer of
    // that level (the row of that level above Node, or Node itself, sums it).
    virtual void GetFooterCellText(TvxTreeListNode* /*Node*/, int /*Column*/, std::string& Text, int /*Level*/) {
        Text.clear();
    }
    virtual bool IsExistFooterCell(int /*Column*/) { return false; }
    virtual bool IsExistRowFooterCell(TvxTreeListNode* /*Node*/, int /*Column*/, int /*Level*/) { return false; }
    virtual bool IsExistRowFooter(int /*Level*/) { return false; }
    virtual bool IsAnsiSort() { return Has(TvxTLOptionEx::AnsiSort); }
    virtual bool IsAutoCalcPreviewLines() { return Has(TvxTLOptionEx::AutoCalcPreviewLines); }
    virtual bool IsDesignHitArea() { return false; }
    virtual bool IsFilterEnabled() { return false; }
    virtual bool IsAutoHeaderPanelHeight() { return Has(TvxTLOptionEx::AutoHeaderPanelHeight); }
    virtual bool IsAutoSearch() { return Has(TvxTLOptionEx::AutoSearch); }
    virtual bool IsAutoSort() { return Has(TvxTLOption::AutoSort); }
    virtual bool IsOptionsExBit23() { return Has(TvxTLOptionEx::Bit23); }
    virtual bool IsAutoWidth() { return Has(TvxTLOption::AutoWidth); }
    virtual bool IsBandHeaderWidth() { return Has(TvxTLOptionEx::BandHeaderWidth); }
    virtual bool IsCaseInsensitive() { return Has(TvxTLOption::CaseInsensitive); }
    virtual bool IsCellMultiSelect() { return Has(TvxTLOptionEx::CellMultiSelect); }
    virtual bool IsDragCollapse() { return Has(TvxTLOptionEx::DragCollapse); }
    virtual bool IsDrawEndEllipsis() { return Has(TvxTLOption::DrawEndEllipsis); }
    virtual bool IsDragExpand() { return Has(TvxTLOptionEx::DragExpand); }
    virtual bool IsDragScroll() { return Has(TvxTLOptionEx::DragScroll); }
    virtual bool IsEditingAllowed() { return Has(TvxTLOption::Editing); }
    virtual bool IsEnterShowEditor() { return Has(TvxTLOptionEx::EnterShowEditor); }
    virtual bool IsEnterThrough() { return Has(TvxTLOptionEx::EnterThrough) && IsEnterShowEditor(); }
    virtual bool IsExtCustomizing() { return Has(TvxTLOption::ExtCustomizing); }
    virtual bool IsExtMultiSelect() { return Has(TvxTLOption::ExtMultiSelect); }
    virtual bool IsFilterStatusVisible() { return false; }
    virtual bool IsHorzThrough() { return Has(TvxTLOptionEx::HorzThrough); }
    virtual bool HasHorzScrollBar() { return scrollBars_ == ssHorizontal || scrollBars_ == ssBoth; }
    virtual bool IsMouseScroll();
    virtual bool IsMultiSelect() { return Has(TvxTLOption::MultiSelect); }
    virtual bool IsMultiSort() { return Has(TvxTLOptionEx::MultiSort); }
    virtual bool IsNewItemRowActive() { return newItemRowActive_; }
    virtual bool IsNewItemRowVisible() { return showNewItemRow_ && newItemRowHeight_ > 0; }
    virtual bool IsRowAutoHeight() { return Has(TvxTLOptionEx::RowAutoHeight) && maxRowLineCount_ != 0; }
    virtual bool IsRowSelect() { return Has(TvxTLOption::RowSelect); }
    virtual bool IsShowHourGlass() { return Has(TvxTLOptionEx::ShowHourGlass); }
    virtual bool IsShowRowFooter() { return showRowFooter_; }
    virtual bool IsShowPreview() { return Has(TvxTLOption::Preview) && previewLines_ != 0; }
    virtual bool CanCacheRowHeights() { return true; }
    virtual bool IsTabThrough() { return Has(TvxTLOption::TabThrough); }
    virtual bool IsVertThrough() { return Has(TvxTLOptionEx::VertThrough); }
    virtual bool KeepScrollBars() { return false; }
    virtual bool HasVertScrollBar() { return scrollBars_ == ssVertical || scrollBars_ == ssBoth; }
    virtual bool IsUseBitmap() { return Has(TvxTLOptionEx::UseBitmap); }
    virtual bool IsBandButtonClicking() { return Has(TvxTLOptionEx::BandButtonClicking); }
    virtual bool IsBandFullSizing() { return Has(TvxTLOptionEx::FullSizing); }
    virtual bool IsBandPanelSizing() { return Has(TvxTLOptionEx::BandPanelSizing); }
    virtual bool CanSizeBand(int /*Band*/) { return true; }
    virtual bool IsColumnWidthFollowsBand() { return Has(TvxTLOptionEx::BandHeaderWidth) && !showBands_; }
    virtual bool IsHeaderButtonClicking() { return Has(TvxTLOptionEx::HeaderButtonClicking); }
    virtual bool IsColumnFullSizing() { return Has(TvxTLOptionEx::FullSizing); }
    virtual bool IsHeaderPanelSizing() { return Has(TvxTLOptionEx::HeaderPanelSizing); }
    virtual bool CanSizeColumn(int /*Column*/) { return true; }
    virtual bool IsColumnSizing(int Column) { return Has(TvxTLOption::ColumnSizing) && CanSizeColumn(Column); }
    virtual bool IsRowSizing() { return Has(TvxTLOptionEx::RowSizing); }
    virtual void SetBandRowCount(int /*Count*/) {}
    virtual void SetBandWidth(int /*Band*/, int /*Width*/) {}
    virtual void SetHeaderPanelRowCount(int /*Count*/) {}
    virtual void SetColumnWidth(int /*Column*/, int /*Width*/) {}
    virtual void ScaleBandsWidth(int /*Num*/, int /*Den*/) {}
    virtual void ScaleHiddenColumns(int /*Band*/, int /*Num*/, int /*Den*/) {}
    virtual void SetDefaultRowHeight(int Height);
    virtual void DoBandButtonClick() {}
    virtual void DoBandClick(int /*Band*/) {}
    virtual void AfterSizing() {}
    virtual void DoHeaderButtonClick() {}
    virtual void DoHeaderClick(int /*Column*/) {}
    virtual void ShowFilterDropDown(int /*Column*/) {}
    virtual void ClearFilter() {}
    virtual int GetBandMaxRowCount() { return 5; }
    virtual int GetBandRowCount() { return 1; }
    virtual int GetHeaderPanelMaxRowCount() { return 4; }
    virtual int GetHeaderPanelRowCount() { return 1; }
    virtual int GetHeaderMinRowCount() { return 1; }

    // ---- Node dragging, rows and scroll bars ----
    virtual void DoBeginDragNode(TvxTreeListNode* Node) {
        if (OnBeginDragNode) OnBeginDragNode(this, Node);
    }
    virtual bool IsLastNode(TvxTreeListNode* Node) { return Node != nullptr && Node == GetLastVisibleNode(); }
    virtual bool IsFirstNode(TvxTreeListNode* Node) { return Node != nullptr && Node == GetFirstNode(); }
    virtual int GetVisibleRowCount() { return partlyVisibleRows_; }
    virtual void GetVertScrollInfo(int& Min, int& Max, int& Page, int& Pos);
    virtual void UpdateRowCounts();
    // Twice, so that a bar that appears and takes room from the other settles.
    virtual void UpdateScrollBars();
    // The row rectangle of a node in view across the rows area; empty when out of view.
    virtual TRect GetNodeRowRect(TvxTreeListNode* Node);
    virtual TvxTreeListHitInfo GetHitInfo(TPoint P);

    // ---- Editing ----
    virtual bool IsEditing() { return state_ == 2; }
    bool IsValidChar(char32_t /*Key*/) override { return true; }
    bool IsEditCellChanged() override { return GetFocusedColumn() != shownForColumn_; }
    // Binds, fills and places the editor for the focused cell.
    void UpdateEditor(bool KeepLock);
    // Posts a modified value and unbinds the editor.
    void HideEditor(bool FocusControl);
    void PostEditor();
    int EditorColumn() const { return editorColumn_; }
    TvxTreeListNode* EditorNode() const { return editorNode_; }
    // The editor for the focused cell (none at this level).
    virtual TvxInplaceEdit* CreateEditor() { return nullptr; }
    virtual void PrepareEditor(TvxInplaceEdit* /*Editor*/) {}
    virtual Variant GetEditText(TvxTreeListNode* /*Node*/, TvxInplaceEdit* /*Editor*/) { return Variant(); }
    virtual Variant AssignEditValue(TvxTreeListNode* /*Node*/, int /*Column*/, TvxInplaceEdit* /*Editor*/) {
        return Variant();
    }
    bool IsTabNavigation() override;
    virtual void DoEditingNewItemRow(bool& /*Allow*/) {}
    virtual TvxInplaceEdit* InplaceEditor() { return editor_; }
    // The open editor's text; empty when no editor is open.
    virtual std::string GetEditorText();
    // Gives an open editor a text; nothing when none is open.
    virtual void SetEditorText(const std::string& Text);

    // ---- Selection ----
    virtual bool CanSelectRange() { return true; }
    virtual bool DoCanNodeSelected(TvxTreeListNode* Node);
    virtual void ClearSelection();
    virtual int CompareWithAnchor(TvxTreeListNode* Node);
    virtual int DeleteSelection();
    virtual void DoSelectedCountChange();
    virtual int GetSelectedCount() { return 0; }
    virtual TvxTreeListNode* GetSelectedItem(int /*Index*/) { return nullptr; }
    virtual void InvalidateSelection();
    virtual bool IsNodeSelected(TvxTreeListNode* /*Node*/) { return false; }
    virtual void SelectionChanged(TvxTreeListNode* Node, bool Select);
    // The selected ones of the nodes leave the selection, as SelectionChanged(Node, False)
    // takes each; a control keeping a long selection takes them out in one pass.
    virtual void DeselectNodes(const std::vector<TvxTreeListNode*>& Nodes);
    virtual void SelectRange(TvxTreeListNode* Node1, TvxTreeListNode* Node2);
    virtual void SetSelectionAnchor(TvxTreeListNode* Node) { selectionAnchor_ = Node; }

    // ---- Sorting ----
    virtual void ClearSortedColumns() {}
    virtual int CompareValues(TvxTreeListNode* Node1, TvxTreeListNode* Node2);
    virtual void SortNodes(int Level, int ColumnIndex, bool Descending);
    // Counts the sorts that a raise broke off before the rows took their order (OnCompare
    // raising), which left the rows where they stood: a change that set one off and raised tells
    // by it that its sort did not happen.
    uint64_t SortsBrokenOff() const { return sortsBrokenOff_; }
    virtual int GetSortedColumnCount() { return 0; }
    virtual bool IsSortedColumnDescending(int /*Index*/) { return false; }
    virtual int GetSortedColumnIndex(int Index) { return Index; }
    virtual bool CanSort() { return IsMultiSort(); }
    // Gives the children of Parent (the roots when null) the order of Order, which holds
    // them all; nothing when it does not.
    void ArrangeChildren(TvxTreeListNode* Parent, const std::vector<TvxTreeListNode*>& Order);

    // ---- Navigation, search and copying ----
    virtual TvxTreeListNode* GetNeighbourNode(TvxTreeListNode* Node, int Direction, bool AllNodes);
    virtual TvxTreeListNode* MoveFocus(int Direction, bool AllNodes);
    virtual void DoIncrementalSearch(std::string& Text, int Direction, bool ClearOnFail);
    virtual bool FindNodeByText(int Column, const std::string& Text, TvxTreeListNode*& Node, int Direction);
    virtual bool IsControlFocused();
    // The focus is on the control's window or on a window inside it.
    bool IsFocusInside();
    virtual bool IsFirstFocused();
    virtual bool IsLastFocused();
    virtual bool IsInvertSelect() { return Has(TvxTLOptionEx::InvertSelect); }
    virtual void SaveAllToStrings(TStrings* Strings);
    virtual void SaveSelectedToStrings(TStrings* Strings);
    virtual void BeginSelection();
    virtual void EndSelection();

    // ---- Painting (cells, custom drawing, colours) ----
    virtual void DrawCell(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, TvxTreeListNode* Node, int AbsoluteIndex,
                          bool Selected, bool Focused, TColor Color, TColor TextColor, HBRUSH Brush, bool MultiLine,
                          int Kind, bool LeftNeighbour, bool RightNeighbour, TColor ColumnColor, HBRUSH ColumnBrush);
    virtual void DrawFooterCell(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, TvxTreeListNode* Node,
                                int AbsoluteIndex, int FooterIndex, bool Selected, bool Focused, TColor Color,
                                HBRUSH Brush, bool MultiLine, int Kind);
    virtual void DrawPreview(TCanvas* Canvas, const TRect& Rect, bool Selected, HBRUSH Brush, TColor TextColor,
                             TColor Color, TvxTreeListNode* Node, TBitmap* Bitmap);
    // Draws what a cell shows; this level shows nothing, the control with columns draws
    // through the column's editor class.
    virtual void DrawCellContent(HDC /*DC*/, TvxTreeListCellRecord& /*Cell*/, int /*Column*/) {}
    virtual void BeginDrawNode(TvxTreeListNode* /*Node*/) {}
    virtual void EndDrawNode(TvxTreeListNode* /*Node*/) {}
    virtual bool IsEditCell(TvxTreeListNode* Node, int Column) {
        return IsEditing() && Node == focusedNode_ && Column == GetAbsoluteColumnIndex(GetFocusedColumn());
    }
    virtual bool HasCustomDrawCell(TvxTreeListNode* /*Node*/, int /*Column*/) { return false; }
    virtual void DoCustomDrawCell(TCanvas* /*Canvas*/, const TRect& /*Rect*/, TvxTreeListNode* /*Node*/, int /*Column*/,
                                  bool /*Selected*/, bool /*Focused*/, bool /*NewItemRow*/, std::string& /*Text*/,
                                  TColor& /*Color*/, TFont* /*Font*/, TAlignment& /*Alignment*/, bool& /*Done*/) {}
    virtual bool HasCustomDrawFooter(TvxTreeListNode* /*Node*/, int /*Column*/, int /*FooterIndex*/) { return false; }
    virtual void DoCustomDrawFooter(TCanvas* /*Canvas*/, const TRect& /*Rect*/, TvxTreeListNode* /*Node*/,
                                    int /*Column*/, int /*FooterIndex*/, std::string& /*Text*/, TColor& /*Color*/,
                                    TFont* /*Font*/, TAlignment& /*Alignment*/, bool& /*Done*/) {}
    virtual bool HasCustomDrawBand(int /*Band*/) { return false; }
    virtual void DoCustomDrawBand(int /*Band*/, TCanvas* /*Canvas*/, const TRect& /*Rect*/, const TRect& /*Visible*/,
                                  std::string& /*Text*/, TColor& /*Color*/, TFont* /*Font*/, TAlignment& /*Alignment*/,
                                  bool& /*Done*/) {}
    virtual bool HasCustomDrawHeader(int /*Column*/) { return false; }
    virtual void DoCustomDrawHeader(int /*Column*/, TCanvas* /*Canvas*/, const TRect& /*Rect*/,
                                    const TRect& /*Visible*/, std::string& /*Text*/, TColor& /*Color*/, TFont* /*Font*/,
                                    TAlignment& /*Alignment*/, int& /*Sorted*/, bool& /*Done*/) {}
    virtual bool HasCustomDrawPreview(TvxTreeListNode* /*Node*/) { return false; }
    virtual void DoCustomDrawPreview(TCanvas* /*Canvas*/, const TRect& /*Rect*/, TvxTreeListNode* /*Node*/,
                                     bool /*Selected*/, std::string& /*Text*/, TColor& /*Color*/, TColor& /*TextColor*/,
                                     TFont* /*Font*/, bool& /*Done*/) {}
    virtual bool IsLevelColorAssigned() { return false; }
    virtual void DoGetLevelColor(int /*Level*/, TColor& /*Color*/) {}
    virtual void DrawGroupPanel(TCanvas* /*Canvas*/, const TRect& /*Rect*/, HBRUSH /*HeaderBrush*/,
                                HBRUSH /*ShadowBrush*/) {}
    // GridLineColor, or the button shadow when it is none.
    virtual TColor GetGridLineColor(TColor Default);
    // Flags of a header's filter button: 1 shown, 2 hot, 4 pressed (0: no button).
    virtual int GetFilterButtonState(int Column);
    bool IsHideFocusRect() override { return Has(TvxTLOption::HideFocusRect); }
    virtual int GetBandTextLineCount() { return 1; }

protected:
    // Adds Node, a node of the list's own class that the list made itself (as CreateNode
    // would, in storage of its choosing), last among the children of Parent or, when Parent is
    // null, of the roots: AddChild and Add for a node made so. Only the list itself adds so:
    // a node another list made would, once freed, go to that list's storage.
    TvxTreeListNode* AddMadeNode(TvxTreeListNode* Parent, TvxTreeListNode* Node);
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoExit() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMTimer(TMessage& Message);
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;
    void CMCancelMode(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    bool IsImmediateEditor() override { return Has(TvxTLOption::ImmediateEditor); }
    // A click on a header: Shift adds to a multiple sort, Ctrl clears it.
    void HeaderClick(int Column, TShiftState Shift);
    // While a header click sorts: Shift was held with multi-sort, so the column joins the
    // columns sorted instead of replacing them.
    bool IsMultiSortClick() const { return multiSortClick_; }
    // Whether a pressed header or band caption may be dragged away, and the news that it is.
    virtual bool CanHeaderDragging(int /*Column*/) { return Has(TvxTLOption::ColumnMoving); }
    // Starts the drag of a pressed header or band: image, arrows, state.
    virtual void DoStartHeaderDragging(int Column);
    virtual bool CanBandDragging(int /*Band*/) { return Has(TvxTLOptionEx::BandMoving); }
    virtual void DoStartBandDragging(int Band);
    // What the ends of header and band drags ask and do; the control with columns answers
    // and carries them out.
    virtual bool IsDropOnCustomizeForm(TPoint /*P*/, TCursor& Cursor);
    virtual bool IsCustomizing() { return false; }
    virtual bool CanHideShowByDrag() { return false; }
    virtual void DoGetNodeDragText(TvxTreeListNode* /*Node*/, int /*Column*/, std::string& Text) { Text.clear(); }
    virtual void MoveBand(int /*FromVisible*/, int /*ToVisible*/) {}
    // Asked on each move of a band or header drag; a refusal takes the drop arrows away.
    virtual void DoDragOverBand(int /*Band*/, TPoint /*P*/, bool& /*Accept*/) {}
    virtual void DoDragOverHeader(int /*Column*/, TPoint /*P*/, bool& /*Accept*/) {}
    virtual void DoDragEndBand(int /*Band*/, TPoint /*P*/, int /*VisibleIndex*/, int /*NewIndex*/, bool& /*Accept*/) {}
    virtual bool IsBandHideDisabled(int /*Band*/) { return false; }
    virtual void HideBand(int /*Band*/) {}
    virtual void ShowBand(int /*VisiblePosition*/, int /*Band*/) {}
    virtual void DoDragEndHeader(int /*Column*/, TPoint /*P*/, TvxHeaderPosInfo& /*PosInfo*/, bool& /*Accept*/) {}
    virtual bool IsHeaderHideDisabled(int /*Column*/) { return false; }
    virtual void MoveHeader(int /*Column*/, int /*Band*/, int /*Row*/, int /*Col*/) {}
    virtual void HideHeader(int /*Column*/) {}
    virtual void ShowHeader(int /*Band*/, int /*Row*/, int /*Column*/, int /*Col*/) {}
    // Node drags of the class library's drag manager.
    void DoStartDrag(TDragObject*& DragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void CMDrag(TMessage& Message) override;
    // Whether a cell lights up under the pointer.
    virtual bool IsHotTrackCell(TvxTreeListNode* /*Node*/, int /*Column*/) { return IsHotTrack(); }
    virtual void DoHotTrackNode(const TvxTreeListHotTrackInfo& Info, TCursor& Cursor) {
        if (OnHotTrackNode) OnHotTrackNode(this, Info, Cursor);
    }
    // Set while hot tracking changes the cursor, so that the change is not taken as the
    // control's own cursor.
    bool HotTrackCursorChanging() const { return hotTrackCursorChanging_; }
    // Makes a node for the new-item row when a press finds none focused.
    virtual void StartNewItemRow() {}
    // Asked after OnKeyDown; False drops the key.
    virtual bool CanProcessKey(uint16_t& /*Key*/, TShiftState /*Shift*/) { return true; }
    // Unbinds the editor and binds it again to the focused cell: the value typed is dropped.
    virtual void ResetEditing();
    void Paint() override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMHScroll(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMNCHitTest(TMessage& Message) override;
    void WMSetCursor(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMParentFontChanged(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The rows-area geometry reports how many rows fit (at least one each).
    void SetVisibleRowCounts(int Partly, int Wholly);
    // The new-item row's height, set by the metrics pass; 0 hides the row.
    void SetNewItemRowHeight(int Value) { newItemRowHeight_ = Value; }

private:
    friend class TvxTreeListNode;

    // Keyboard steps (see tree_list_keyboard.cpp).
    void SearchKey(uint16_t Key, TShiftState Shift);
    void CtrlKey(uint16_t Key);
    void PlainKey(uint16_t Key, TShiftState Shift);
    void RangePrologue(bool Shift);
    void RangeEpilogue(bool Shift);
    void RowStep(int Direction, bool Shift);
    void PageStep(int Direction);
    // Up or down through the header rows of the focused column's band; True when the move
    // stayed on the same node.
    bool HeaderRowStep(int Direction);
    void TreeStepLeft();
    void TreeStepRight();
    // The first visible column at or after (at or before) From whose TabStop is set; the
    // column count (-1) when none.
    int FocusableColumnForward(int From);
    int FocusableColumnBackward(int From);
    void FocusNextNodeFirstColumn();
    void FocusPreviousNodeLastColumn();
    void BindEditor();

    // Mouse steps (see tree_list_mouse.cpp).
    void StartSizing(uint8_t State, int Position);
    void NewItemRowPress(TMouseButton Button, const TvxTreeListHitInfo& Hit, bool HadFocus);
    // False when the press changed the selection with a modifier and ends there.
    bool RowPress(TMouseButton Button, TShiftState Shift, const TvxTreeListHitInfo& Hit, int X, int Y);
    void CellPress(int X, int Y, const TvxTreeListHitInfo& Hit, bool HadFocus);
    void RowPressScroll(int Y);
    void FollowPress(const TvxTreeListHitInfo& Hit);
    bool BeyondDragThreshold(int X, int Y) const;
    void HotTrack(const TvxTreeListHitInfo& Hit);
    void InvalidateHotTarget();
    void EndBandSizing(int X);
    void EndColumnSizing(int X);
    void StartEditorDelay();
    void StopEditorDelay();
    void StartAutoScroll(bool Up);
    void StopAutoScroll();
    void StopTimers();
    // Sizing line, filter buttons, clear-filter hint and panning (see tree_list_sizing_line.cpp,
    // tree_list_filter_buttons.cpp, tree_list_clear_filter_hint.cpp, tree_list_panning.cpp).
    void InvertSizingLine();
    void ShowSizingLine(bool Show);
    void MoveSizingLine(int Position);
    void EndSizing();
    void EndRowSizing(int Y);
    bool IsOnFilterButton(const TvxTreeListHitInfo& Hit, int Column);
    bool IsOnClearFilterButton(const TvxTreeListHitInfo& Hit);
    void PressFilterButton(int Column);
    void ReleaseFilterButton(const TvxTreeListHitInfo& Hit);
    void PressClearFilterButton();
    void ReleaseClearFilterButton();
    void TrackClearFilterButton(const TvxTreeListHitInfo& Hit);
    void ClearFilterHintTimer(UINT_PTR Timer);
    void EndClearFilterHint();
    void RunPanning();

    // Dragging steps (see tree_list_drag.cpp).
    void DragMoveHeaderOrBand();
    void ShowDropArrows(TPoint Screen, int LineHeight);
    // A drop outside the panel may hide the band or column.
    bool MayHideBand(int Band);
    bool MayHideColumn(int Column);
    void StartNodeDrag(int X, int Y);
    void DragFollowFocus(const TvxTreeListHitInfo& Hit);
    void StartDragTimer(UINT_PTR Id, int Direction);
    void StopDragTimers();
    // True when the timer was one of the dragging timers.
    bool DragTimer(UINT_PTR Id);
    bool AnyDragRunning() const { return state_ == 3 || state_ == 5 || state_ == 9; }
    // The window procedure's part of the dragging; True when the message was used up.
    bool DragWndProc(TMessage& Message);
    void BeginDragImage(TBitmap* Image, TPoint HotSpot);

    // The areas of one paint, in the order they are drawn.
    void PaintAreas(TvxTreeListPaint& P);
    void PaintBandPanel(TvxTreeListPaint& P);
    void PaintHeaderPanel(TvxTreeListPaint& P);
    void PaintNewItemRow(TvxTreeListPaint& P);
    void PaintIndicator(TvxTreeListPaint& P);
    void PaintFooter(TvxTreeListPaint& P);
    void PaintFilterStatus(TvxTreeListPaint& P);
    void PaintRows(TvxTreeListPaint& P);
    void PaintRowIndent(TvxTreeListPaint& P, const TvxTreeListRowEntry& Row, size_t Index);
    void PaintRowCells(TvxTreeListPaint& P, const TvxTreeListRowEntry& Row, size_t Index, bool ClipCells);
    void PaintFocusRect(TvxTreeListPaint& P, const TRect& Rect);
    // The colours of one cell; HeaderIndex -1 stands for whole-row areas.
    void GetCellColors(TvxTreeListPaint& P, TvxTreeListNode* Node, bool Selected, bool IsGroupRow, bool HasChildren,
                       int Level, int HeaderIndex, TColor& Color, TColor& TextColor, HBRUSH& Brush);
    void GetColumnBrush(TvxTreeListPaint& P, int HeaderIndex, TColor& Color, HBRUSH& Brush);
    HBRUSH GetLevelBrush(TvxTreeListPaint& P, int Level, TColor& Color);
    void DrawSunkenFrame(HDC DC, const TRect& Rect);
    void DrawCornerButton(HDC DC, const TRect& Rect, HBRUSH Brush, TvxLookAndFeel Look, bool Pressed);
    TvxLookAndFeel EffectiveCellLook() const { return lookAndFeel_ == lfUltraFlat ? lfFlat : lookAndFeel_; }
    void DrawHighlightedCell(HDC DC, TvxTreeListCellRecord& Cell, int Column);

    bool Has(TvxTLOption o) const { return options_.Contains(o); }
    bool Has(TvxTLOptionEx o) const { return optionsEx_.Contains(o); }
    void LookAndFeelChanged();
    void OwnFontChanged();
    // The first band's or column's width applied again when AutoWidth goes off.
    void ReapplyFirstWidth();
    void UpdateVertScrollBar();
    void UpdateHorzScrollBar();
    // Removes both bars when everything fits without them.
    void DropUnneededScrollBars();
    void ClampScrollPositions();
    // Pixels the rows move when the top index moves by Delta rows from OldTop.
    int TopIndexPixelDistance(TvxTreeListNode* OldTop, int Delta);
    // The largest top index that leaves no empty space below the last row; rows of their
    // own heights are counted from the end.
    int LastTopIndex();
    // The columns' widths when their band goes from OldWidth to NewWidth.
    void ScaleBandColumns(int Band, int NewWidth, int OldWidth, std::vector<std::pair<int, int>>& Widths);
    // The widths of a band row's columns when the row fills Width.
    std::vector<int> DistributeRow(int Band, int Row, int Width);
    void SetImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value);
    // Hooks a newly made node into the root list at Position (-1: at the end).
    TvxTreeListNode* AddRoot(int Position, TvxTreeListNode* Node);
    // Tells the visible-node list that one node came or went.
    void ReportNodeChange(TvxTreeListNode* Node, bool Deleted);
    // A change the visible-node list is not told about makes it useless until the next
    // rebuild; empty it rather than let it answer for a tree that no longer exists.
    void DropVisibleList();
    // The shown descendants of Node leave the visible-node list in one piece (Node is about
    // to free its children): one by one, each would renumber every row behind it.
    void DropVisibleDescendants(TvxTreeListNode* Node);
    // The node a move inside an update made visible, once the update ends.
    void MakePendingNodeVisible();
    // The control lets go of a node being freed: no reference leads to it any more.
    void ForgetDeletedNode(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint, TvxTreeListNode* NextNode);
    void ResetNodeReferences();
    // Takes nodes that lie in sibling lists out of them (tree_list_batch_moves.cpp).
    void DetachInBatch(const std::vector<TvxTreeListNode*>& Nodes);
    // HideNodes after its first step: the nodes are in the hidden list already, each once,
    // and leave the tree now.
    void TakeOutHidden(const std::vector<TvxTreeListNode*>& Hiding);
    TvxTreeListNode* WalkToIndex(int Index) const;
    int WalkIndexOf(const TvxTreeListNode* Node) const;
    // Sorting (see tree_list_sort.cpp): the order of one list, found without changing it; the
    // orders of the lists a sort of a level changes, each with its list.
    struct TListOrder {
        std::vector<TvxTreeListNode*>* List;
        std::vector<TvxTreeListNode*> Nodes;
    };
    std::vector<TvxTreeListNode*> SortedOrder(const std::vector<TvxTreeListNode*>& List, int ColumnIndex,
                                              bool Descending);
    void SortLevel(std::vector<TvxTreeListNode*>& List, int Depth, int Level, int ColumnIndex, bool Descending,
                   std::vector<TListOrder>& Orders);

    // Nodes and caches.
    std::vector<TvxTreeListNode*> roots_;
    TvxHiddenNodeList hiddenNodes_;
    uint64_t sortsBrokenOff_ = 0;
    int updateLock_ = 0;
    TvxTreeListNode* focusedNode_ = nullptr;
    TvxTreeListNode* pressedNode_ = nullptr;
    TvxTreeListNode* previousFocusedNode_ = nullptr;
    TvxTreeListNode* hotTrackNode_ = nullptr;
    TvxTreeListNode* topNode_ = nullptr;
    TvxTreeListNode* dragNode_ = nullptr;
    TvxTreeListNode* selectionAnchor_ = nullptr;
    TvxTreeListNode* rangeStartNode_ = nullptr;
    // The last node moved inside an update: it is made visible when the update ends.
    TvxTreeListNode* pendingVisibleNode_ = nullptr;
    // Set by the first Shift+Up/Down of a range, so that the next ones extend or take back.
    bool rangeExtension_ = false;
    // The last press: where, on what, and how it changed the selection.
    TvxTreeListHitInfo downHit_;
    TPoint downPoint_{0, 0};
    TvxTreeListNode* pressPreviousNode_ = nullptr;
    bool pressedIn_ = false;
    bool modifierClick_ = false;
    bool reduceOnUp_ = false;
    bool focusMovedByClick_ = false;
    int sizingStart_ = 0;
    int sizingPosition_ = 0;
    // The header click in progress: Shift with multi-sort, and Ctrl.
    bool multiSortClick_ = false;
    bool ctrlClick_ = false;
    // Each control runs its own timers, so that one control's timer never stops another's.
    bool editorDelayRunning_ = false;
    bool autoScrollRunning_ = false;
    bool autoScrollUp_ = false;
    // The hot-track target: a cell (node and column) or a header zone (1 header, 2 filter button).
    int hotTrackColumn_ = -1;
    int hotTrackKind_ = 0;
    bool hotTrackCursorChanging_ = false;
    bool interruptedState_ = false;
    TvxVisibleNodeList visibleNodes_;
    // Moved on by ResetRowHeights; a node's cached row height counts only for the current one.
    uint64_t rowHeightGeneration_ = 1;
    bool cacheBuilt_ = false;
    // Set by RefreshColumnLayout; inside it every node change drops the list itself.
    bool keepVisibleNodes_ = false;
    TvxTreeListNode* changedNode_ = nullptr;
    bool changedNodeVisible_ = false;
    bool changedNodeDeleted_ = false;
    // What the node being deleted recorded about itself just before it left.
    bool deletedWasVisible_ = false;
    bool clearing_ = false;
    bool insideClear_ = false;

    // Look and layout.
    TColor arrowsColor_ = clLime;
    TColor bandColor_ = clBtnFace;
    std::unique_ptr<TFont> bandFont_;
    TBorderStyle borderStyle_ = bsSingle;
    bool dblClkExpanding_ = true;
    TColor fixedBandLineColor_ = clWindowFrame;
    TColor rowFooterColor_ = cl3DLight;
    TColor rowFooterTextColor_ = clWindowText;
    TColor gridLineColor_ = clNone;
    TColor groupNodeColor_ = clBtnFace;
    TColor groupNodeTextColor_ = clNone;
    TColor headerColor_ = clBtnFace;
    std::unique_ptr<TFont> headerFont_;
    bool hideFocusRect_ = true;
    bool hideSelection_ = true;
    TColor hideSelectionColor_ = clBtnFace;
    TColor hideSelectionTextColor_ = clBtnText;
    TColor highlightColor_ = clHighlight;
    TColor highlightTextColor_ = clHighlightText;
    TvxLookAndFeel lookAndFeel_ = lfStandard;
    std::unique_ptr<TFont> previewFont_;
    TScrollStyle scrollBars_ = ssBoth;
    bool showBands_ = false;
    bool showGrid_ = false;
    bool showHeader_ = true;
    bool showNewItemRow_ = false;
    bool showPreviewGrid_ = true;
    bool showRowFooter_ = false;
    int fixedBandLineWidth_ = 2;
    int maxRowLineCount_ = -1;
    int indentDesc_ = 20;
    int previewLines_ = 2;
    uint32_t waitForExpandNodeTime_ = 500;
    int customizingRowCount_ = 11;
    bool simpleCustomizeBox_ = false;
    bool showHiddenInCustomizeBox_ = false;
    bool autoExpandOnSearch_ = true;
    TColor autoSearchColor_ = clNone;
    TColor autoSearchTextColor_ = clNone;
    int defaultRowHeight_ = 0;
    bool defaultRowHeightAssigned_ = false;
    int rowSeparatorLineWidth_ = 1;
    int grIndicatorWidth_ = 12;
    TColor shadowColor_ = clBtnShadow;
    TColor treeLinesColor_ = clGrayText;
    bool listMode_ = false;
    bool showExpandButtons_ = true;
    bool showTreeLines_ = true;
    bool showRootIndent_ = true;
    bool showSummaryFooter_ = false;
    bool showIndicator_ = false;
    uint8_t treeLinesStyle_ = 1;
    int leftCoord_ = 0;
    std::unique_ptr<TFont> spareFont_;
    std::unique_ptr<TFont> workFont_;
    std::unique_ptr<TBitmap> workBitmap_;
    TvxTreeListCellRecord cellRecord_;
    bool bandCornerPressed_ = false;
    bool headerCornerPressed_ = false;
    bool clearFilterHot_ = false;
    bool clearFilterPressed_ = false;
    int filterHotColumn_ = -1;
    bool filterPressed_ = false;
    // The sizing line, the pressed filter button and the clear-filter hint.
    bool sizingLineShown_ = false;
    int filterHeader_ = -1;
    std::unique_ptr<TvxContainerHintWindow> clearFilterHint_;
    TCustomImageList* images_ = nullptr;
    TCustomImageList* stateImages_ = nullptr;
    std::unique_ptr<TChangeLink> imagesLink_;
    std::unique_ptr<TChangeLink> stateImagesLink_;

    // Options and interaction.
    TvxTreeListOptions options_{55u};
    TvxTreeListOptionsEx optionsEx_{12350u};
    uint8_t state_ = 0;
    int selectionBatch_ = 0;
    int rememberedSelectedCount_ = 0;
    bool selectionPending_ = false;
    bool newItemRowActive_ = false;
    int newItemRowHeight_ = 0;
    TvxInplaceEdit* editor_ = nullptr;
    // The cell the editor is bound to: a visible column index (-1 unbound) and a node.
    int editorColumn_ = -1;
    TvxTreeListNode* editorNode_ = nullptr;
    int shownForColumn_ = -1;
    int focusedColumn_ = -1;
    int focusedAbsoluteColumn_ = -1;
    int pressedColumn_ = -1;
    int pressedBand_ = -1;
    int searchColumn_ = -1;
    bool searchActive_ = false;
    std::string searchText_;
    int searchLock_ = 0;
    int partlyVisibleRows_ = 1;
    int whollyVisibleRows_ = 1;
    TPoint lastMousePoint_{-1000, -1000};
    TvxTreeListMetrics metrics_;
    int horzScrollStep_ = 16;
    int dragFeedbackCount_ = 0;
    // Header, band and node dragging, and its timers (each control runs its own).
    int draggedBand_ = -1;
    int draggedBandShown_ = -1;
    int draggedColumn_ = -1;
    int draggedColumnShown_ = -1;
    int lastBandDrop_ = -1;
    TvxHeaderPosInfo lastHeaderDrop_;
    std::unique_ptr<TDragImageList> dragImages_;
    TPoint arrowPos_{-100, -100};
    TvxDropArrows dropArrows_;
    bool nodeDragHeld_ = false;
    TvxTreeListNode* expandTarget_ = nullptr;
    bool dragExpandRunning_ = false;
    // Direction of each drag timer that runs (-1 left or up, +1 right or down), 0 when stopped.
    int dragScrollX_ = 0;
    int dragScrollY_ = 0;
    int dragFocusScroll_ = 0;
    // Keeps the control's own copies of the parent font from ending ParentFont.
    bool fontUpdating_ = false;
    bool scrollBarsUpdating_ = false;
    // Objects the control owns on behalf of its descendants; ClearNodes releases them.
    std::vector<std::unique_ptr<TObject>> ownedObjects_;
};
