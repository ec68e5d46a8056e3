#include "treelist/custom_tree_list.h"

#include <algorithm>

#include "controls/vx_inplace_edit.h"
#include "platform/forms/screen.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/image_list.h"
#include "platform/rtl/abstract_error.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"
#include "treelist/tree_list_unit.h"

void RaiseInvalidTreeListOperation(const std::string& Message) { throw EInvalidvxTreeListOperation(Message); }

TCustomvxTreeList::TCustomvxTreeList(TComponent* AOwner)
    : TCustomvxContainer(AOwner),
      bandFont_(std::make_unique<TFont>()),
      headerFont_(std::make_unique<TFont>()),
      previewFont_(std::make_unique<TFont>()),
      spareFont_(std::make_unique<TFont>()),
      workFont_(std::make_unique<TFont>()),
      imagesLink_(std::make_unique<TChangeLink>()),
      stateImagesLink_(std::make_unique<TChangeLink>()) {
    TreeListUnitStartUp();
    visibleNodes_.SetExists(true);
    // Exactly these: the list fires its own click events, only for presses on rows, so the
    // inherited click events would report every click twice and header clicks as well.
    SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks | csDisplayDragImage);
    SetBounds(Left(), Top(), 250, 150);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    previewFont_->SetColor(clBlue);
    bandFont_->OnChange = [this](TObject*) { OwnFontChanged(); };
    headerFont_->OnChange = [this](TObject*) { OwnFontChanged(); };
    previewFont_->OnChange = [this](TObject*) { OwnFontChanged(); };
    imagesLink_->OnChange = [this](TObject*) { RefreshLayout(); };
    stateImagesLink_->OnChange = [this](TObject*) { RefreshLayout(); };
}

TCustomvxTreeList::~TCustomvxTreeList() {
    Destroying();
    StopTimers();
    searchActive_ = false;
    searchText_.clear();
    // A handler that raises meanwhile (the editor's, a node's deletion) cannot keep the control:
    // every node goes all the same, and what it raised is reported.
    RunOrReport([this] { CloseEditor(); });
    ClearCache();
    visibleNodes_.SetExists(false);
    RunOrReport([this] { ClearNodes(); });
    SetImages(nullptr);
    SetStateImages(nullptr);
    TreeListUnitShutDown();
}

void TCustomvxTreeList::Loaded() {
    TCustomvxContainer::Loaded();
    RefreshLayout();
}

void TCustomvxTreeList::CreateParams(TCreateParams& Params) {
    TCustomvxContainer::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
    if (borderStyle_ == bsSingle && lookAndFeel_ == lfStandard)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    else if (lookAndFeel_ != lfStandard)
        Params.Style &= ~WS_BORDER;  // the flat looks draw their own frame
}

void TCustomvxTreeList::CreateWnd() {
    TCustomvxContainer::CreateWnd();
    UpdateScrollBars();
}

TvxEditButtonViewStyle TCustomvxTreeList::GetEditButtonViewStyle(TvxEditBorderStyle /*BorderStyle*/) {
    return lookAndFeel_ != lfStandard ? bts3D : btsFlat;
}

void TCustomvxTreeList::SetImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value) {
    if (Field == Value) return;
    if (Field) {
        Field->UnRegisterChanges(Link);
        Field->RemoveFreeNotification(this);
    }
    Field = Value;
    if (Field) {
        Field->RegisterChanges(Link);
        Field->FreeNotification(this);
    }
    if (!IsDestroying()) RefreshLayout();
}

void TCustomvxTreeList::SetImages(TCustomImageList* Value) { SetImageList(images_, imagesLink_.get(), Value); }

void TCustomvxTreeList::SetStateImages(TCustomImageList* Value) {
    SetImageList(stateImages_, stateImagesLink_.get(), Value);
}

void TCustomvxTreeList::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomvxContainer::Notification(AComponent, Operation);
    if (Operation != opRemove || (AComponent != images_ && AComponent != stateImages_)) return;
    // The list is in the middle of its destruction and has let go of our links already:
    // only forget it.
    if (AComponent == images_) images_ = nullptr;
    if (AComponent == stateImages_) stateImages_ = nullptr;
    if (!IsDestroying()) RefreshLayout();
}

// ---- Root nodes ----

TvxTreeListNode* TCustomvxTreeList::AddRoot(int Position, TvxTreeListNode* Node) {
    if (Position < 0 || Position >= GetCount()) {
        Node->indexHint_ = GetCount();
        roots_.push_back(Node);
    } else {
        Node->indexHint_ = Position;
        roots_.insert(roots_.begin() + Position, Node);
    }
    NodeAdded(Node);
    return Node;
}

TvxTreeListNode* TCustomvxTreeList::Add() { return AddRoot(-1, CreateNode()); }

TvxTreeListNode* TCustomvxTreeList::InsertNode(TvxTreeListNode* BeforeNode) {
    return AddRoot(BeforeNode ? IndexOfRoot(BeforeNode) : -1, CreateNode());
}

TvxTreeListNode* TCustomvxTreeList::AddMadeNode(TvxTreeListNode* Parent, TvxTreeListNode* Node) {
    return Parent ? Parent->InsertMadeChild(Node, nullptr) : AddRoot(-1, Node);
}

TvxTreeListNode* TCustomvxTreeList::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) return nullptr;
    return roots_[static_cast<size_t>(Index)];
}

int TCustomvxTreeList::IndexOfRoot(const TvxTreeListNode* Node) const {
    if (!Node || Node->parent_) return -1;
    return Node->Index();
}

void TCustomvxTreeList::ClearNodes() {
    const bool destroying = IsDestroying();
    if (!destroying) BeginUpdate();
    TScopeExit end([this, destroying] {
        if (!destroying) EndUpdate();
    });
    clearing_ = true;
    const bool oldInsideClear = insideClear_;
    insideClear_ = true;
    TScopeExit cleared([this, oldInsideClear] {
        ownedObjects_.clear();
        insideClear_ = oldInsideClear;
        clearing_ = false;
    });
    ClearCache();
    ClearSelection();
    ResetNodeReferences();
    // The roots are released as a whole list; a deletion handler that adds nodes meanwhile
    // adds them to the new list, which the next round releases. Then the rows the filter hid.
    std::vector<TvxTreeListNode*> list;
    size_t next = 0;
    bool hiddenTaken = false;
    TvxTreeListNode::FreeEach([&]() -> TvxTreeListNode* {
        for (;;) {
            if (next < list.size()) return list[next++];
            list.clear();
            next = 0;
            if (!roots_.empty()) {
                list = std::move(roots_);
                roots_ = {};
            } else if (!hiddenTaken) {
                hiddenTaken = true;
                list = hiddenNodes_.TakeAll();
            } else {
                return nullptr;
            }
        }
    });
}

void TCustomvxTreeList::FullExpand() {
    if (roots_.empty()) return;
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    std::vector<TvxTreeListNode*> roots = roots_;
    for (TvxTreeListNode* node : roots)
        if (IndexOfRoot(node) >= 0) node->Expand(true);
}

void TCustomvxTreeList::FullCollapse() {
    if (roots_.empty()) return;
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    std::vector<TvxTreeListNode*> roots = roots_;
    for (TvxTreeListNode* node : roots)
        if (IndexOfRoot(node) >= 0) node->Collapse(true);
}

// ---- Display order ----

bool TCustomvxTreeList::IsNodeCacheValid() const {
    return visibleNodes_.Exists() && !visibleNodes_.Empty() && !IsDestroying();
}

TvxTreeListNode* TCustomvxTreeList::GetLastVisibleNode() const {
    if (roots_.empty()) return nullptr;
    TvxTreeListNode* node = roots_.back();
    while (node->Count() > 0 && node->Expanded()) node = node->GetLastChild();
    return node;
}

TvxTreeListNode* TCustomvxTreeList::GetNextVisibleNode(const TvxTreeListNode* Node) const {
    if (!Node) return nullptr;
    if (IsNodeCacheValid()) {
        const int index = visibleNodes_.IndexOf(Node);
        return index < 0 ? nullptr : visibleNodes_.At(index + 1);
    }
    if (Node->Expanded() && Node->Count() > 0) return Node->GetFirstChild();
    for (const TvxTreeListNode* n = Node; n; n = n->Parent())
        if (TvxTreeListNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TvxTreeListNode* TCustomvxTreeList::GetPriorVisibleNode(const TvxTreeListNode* Node) const {
    if (!Node) return nullptr;
    if (IsNodeCacheValid()) {
        const int index = visibleNodes_.IndexOf(Node);
        return index < 1 ? nullptr : visibleNodes_.At(index - 1);
    }
    TvxTreeListNode* prev = Node->GetPrevSibling();
    if (!prev) return Node->Parent();
    while (prev->Expanded() && prev->Count() > 0) prev = prev->GetLastChild();
    return prev;
}

bool TCustomvxTreeList::IsNodeVisible(const TvxTreeListNode* Node) const {
    if (!Node) return false;
    for (const TvxTreeListNode* p = Node->Parent(); p; p = p->Parent())
        if (!p->Expanded()) return false;
    return true;
}

int TCustomvxTreeList::WalkIndexOf(const TvxTreeListNode* Node) const {
    if (!IsNodeVisible(Node)) return -1;
    // Count the shown nodes before Node: for each level of its path, the preceding
    // siblings with their shown subtrees, plus the ancestor itself.
    int index = 0;
    auto shownSize = [](const TvxTreeListNode* n) {
        int size = 0;
        std::vector<const TvxTreeListNode*> stack{n};
        while (!stack.empty()) {
            const TvxTreeListNode* m = stack.back();
            stack.pop_back();
            ++size;
            if (m->Expanded())
                for (int i = 0; i < m->Count(); ++i) stack.push_back(m->Items(i));
        }
        return size;
    };
    for (const TvxTreeListNode* n = Node; n; n = n->Parent()) {
        const auto& siblings = n->SiblingList();
        const int position = n->Index();
        for (int i = 0; i < position; ++i) index += shownSize(siblings[static_cast<size_t>(i)]);
        if (n->Parent()) ++index;
    }
    return index;
}

int TCustomvxTreeList::GetAbsoluteIndex(const TvxTreeListNode* Node) const {
    if (!Node || roots_.empty()) return -1;
    if (IsNodeCacheValid()) return visibleNodes_.IndexOf(Node);
    return WalkIndexOf(Node);
}

int TCustomvxTreeList::GetAbsoluteCount() const {
    if (IsNodeCacheValid()) return visibleNodes_.Count();
    // Each shown node and, while it is expanded, its children: no node looks for its siblings.
    int count = 0;
    std::vector<const TvxTreeListNode*> stack(roots_.begin(), roots_.end());
    while (!stack.empty()) {
        const TvxTreeListNode* n = stack.back();
        stack.pop_back();
        ++count;
        if (n->Expanded()) stack.insert(stack.end(), n->children_.begin(), n->children_.end());
    }
    return count;
}

TvxTreeListNode* TCustomvxTreeList::WalkToIndex(int Index) const {
    if (Index < 0) return nullptr;
    TvxTreeListNode* n = GetFirstNode();
    for (int i = 0; n && i < Index; ++i) n = GetNextVisibleNode(n);
    return n;
}

TvxTreeListNode* TCustomvxTreeList::GetAbsoluteNode(int Index) const {
    if (IsNodeCacheValid()) return visibleNodes_.At(Index);
    return WalkToIndex(Index);
}

void TCustomvxTreeList::MakeNodeVisible(TvxTreeListNode* Node) {
    if (!Node) return;
    bool locked = false;
    bool expanded = false;
    // Also when a handler of a row opened raises.
    TScopeExit end([this, &locked] {
        if (locked) EndUpdate();
    });
    if (!Node->IsVisible()) {
        BeginUpdate();
        locked = true;
        for (TvxTreeListNode* p = Node->Parent(); p; p = p->Parent()) {
            if (p->Expanded()) continue;
            p->SetExpanded(true);
            expanded = true;
        }
    }
    // The counts describe the tree of the last layout; rows added or expanded since then
    // (inside an update, or just now) change the page.
    if (HandleAllocated()) UpdateRowCounts();
    const int top = GetTopIndex();
    const int index = GetAbsoluteIndex(Node);
    const int lastWhole = top + whollyVisibleRows_ - 1;
    if (index >= 0 && !(top <= index && index <= lastWhole && !expanded)) {
        if (index < top) {
            SetTopIndex(index);
        } else if (index > lastWhole) {
            // The smallest top at which the node is the last row that fits wholly.
            const int height = GetRectInfo().Rows.Height();
            int first = index;
            int sum = GetRowHeight(Node, metrics_.RowHeightUnit, false);
            for (TvxTreeListNode* n = GetPriorVisibleNode(Node); n; n = GetPriorVisibleNode(n)) {
                const int h = GetRowHeight(n, metrics_.RowHeightUnit, false);
                if (sum + h > height) break;
                sum += h;
                --first;
            }
            SetTopIndex(std::max(first, index - whollyVisibleRows_ + 1));
        }
    }
}

void TCustomvxTreeList::MakeColumnVisible(int Column) {
    if (Column < 0 || Column >= GetColumnCount()) return;
    const int band = GetVisibleBandIndex(GetColumnBand(Column));
    if (band < 0 || band == GetLeftFixedBand() || band == GetRightFixedBand()) return;
    int left = GetBandOffset(band);
    const int row = GetColumnRow(Column);
    const int position = GetColumnPosition(Column);
    for (int p = 0; p < position; ++p) left += GetColumnShownWidth(GetColumnAt(band, row, p));
    const int right = left + GetColumnShownWidth(Column);
    const int visible = GetVisibleDataWidth();
    if (left < leftCoord_)
        SetLeftCoord(left);
    else if (right > leftCoord_ + visible)
        SetLeftCoord(std::min(left, right - visible));
}

void TCustomvxTreeList::MakeBandVisible(int BandIndex) {
    const int count = GetBandCount();
    if (count < 2 || BandIndex < 0 || BandIndex >= count || BandIndex == GetLeftFixedBand() ||
        BandIndex == GetRightFixedBand())
        return;
    const int left = GetBandOffset(BandIndex);
    const int right = left + GetBandWidth(BandIndex);
    const int visible = GetScrollAreaWidth();
    if (left < leftCoord_)
        SetLeftCoord(left);
    else if (right > leftCoord_ + visible)
        SetLeftCoord(std::min(left, right - visible));
}

// ---- The visible-node list ----

void TCustomvxTreeList::LayoutChanged() {
    if (!visibleNodes_.Exists()) return;
    if (!changedNode_) {
        if (!keepVisibleNodes_ || !cacheBuilt_) visibleNodes_.Rebuild(roots_);
    } else if (changedNodeVisible_ && IsNodeCacheValid()) {
        TvxTreeListNode* node = changedNode_;
        if (changedNodeDeleted_) {
            visibleNodes_.Remove(node);
        } else {
            int d = visibleNodes_.Count();
            for (const TvxTreeListNode* n = node; n; n = n->Parent())
                if (TvxTreeListNode* s = n->GetNextSibling()) {
                    d = visibleNodes_.IndexOf(s);
                    break;
                }
            if (d < 0) {
                visibleNodes_.Rebuild(roots_);
            } else {
                visibleNodes_.Insert(node, d);
                // The row of the parent's former last child is drawn differently now.
                TvxTreeListNode* parent = node->Parent();
                if (parent && node->IsLast() && parent->Count() > 1)
                    parent->Items(parent->Count() - 2)->SetRowHeightCache(0);
            }
        }
    }
    if (!insideClear_ && IsRowAutoHeight()) ResetRowHeights();
    cacheBuilt_ = true;
}

void TCustomvxTreeList::ReportNodeChange(TvxTreeListNode* Node, bool Deleted) {
    changedNode_ = Node;
    changedNodeVisible_ = Deleted ? deletedWasVisible_ : Node->IsVisible();
    changedNodeDeleted_ = Deleted;
    struct Clear {
        TCustomvxTreeList* self;
        ~Clear() {
            self->changedNode_ = nullptr;
            self->changedNodeVisible_ = false;
            self->changedNodeDeleted_ = false;
        }
    } clear{this};
    LayoutChanged();
}

void TCustomvxTreeList::DropVisibleDescendants(TvxTreeListNode* Node) {
    if (!IsNodeCacheValid() || !Node->Expanded() || Node->children_.empty()) return;
    const int d = visibleNodes_.IndexOf(Node);
    if (d < 0) return;
    // They run from the node up to the next node shown after its subtree.
    int end = visibleNodes_.Count();
    for (const TvxTreeListNode* n = Node; n; n = n->Parent())
        if (TvxTreeListNode* s = n->GetNextSibling()) {
            end = visibleNodes_.IndexOf(s);
            break;
        }
    if (end < d + 1) {
        DropVisibleList();
        return;
    }
    visibleNodes_.RemoveRange(d + 1, end);
}

void TCustomvxTreeList::DropVisibleList() {
    if (!IsNodeCacheValid()) return;
    visibleNodes_.Clear();
    cacheBuilt_ = false;
}

void TCustomvxTreeList::ClearCache() {
    if (insideClear_) return;
    if (!keepVisibleNodes_ || !cacheBuilt_) {
        cacheBuilt_ = false;
        visibleNodes_.Clear();
    }
    focusedAbsoluteColumn_ = -1;
    ResetRowHeights();
}

void TCustomvxTreeList::ResetRowHeights() {
    if (clearing_ || IsDestroying()) return;
    ++rowHeightGeneration_;
}

// ---- Update locking ----

void TCustomvxTreeList::BeginUpdate() {
    ++updateLock_;
    if (state_ == 6) interruptedState_ = true;
    if (state_ == 2 && editor_) {
        // An open edit is dropped, not posted: the data may change under the update.
        editorColumn_ = -1;
        editorNode_ = nullptr;
        state_ = 0;
        HideEditor(false);
    }
    state_ = 0;
    ClearCache();
    BeginSelection();
}

void TCustomvxTreeList::EndUpdate() {
    if (updateLock_ > 0) --updateLock_;
    // The selection batch the update began ends also when the new layout reaches a handler
    // that raises.
    TScopeExit end([this] { EndSelection(); });
    RefreshLayout();
    MakePendingNodeVisible();
}

void TCustomvxTreeList::CancelUpdate() {
    if (updateLock_ > 0) --updateLock_;
    TScopeExit end([this] { EndSelection(); });
    MakePendingNodeVisible();
}

void TCustomvxTreeList::MakePendingNodeVisible() {
    if (updateLock_ > 0 || !pendingVisibleNode_) return;
    TvxTreeListNode* node = pendingVisibleNode_;
    pendingVisibleNode_ = nullptr;
    if (!IsDestroying()) MakeNodeVisible(node);
}

void TCustomvxTreeList::RefreshLayout() {
    if (updateLock_ > 0) return;
    ++updateLock_;
    struct Unlock {
        int& lock;
        ~Unlock() { --lock; }
    } unlock{updateLock_};
    CalcMetrics();
    ClearCache();
    ColumnsChanged();
    // The scroll bars count the rows: with the visible-node list built first that costs no
    // walk over the tree. A size change that follows from the bars resets the row heights.
    LayoutChanged();
    UpdateScrollBars();
    if (!cacheBuilt_) LayoutChanged();
    SynchronizeData();
    if (!cacheBuilt_) LayoutChanged();
    BuildColumnWidths();
    Invalidate();
}

void TCustomvxTreeList::RefreshColumnLayout() {
    if (updateLock_ > 0) return;
    keepVisibleNodes_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{keepVisibleNodes_};
    RefreshLayout();
}

void TCustomvxTreeList::BeginSelection() {
    if (selectionBatch_ == 0) rememberedSelectedCount_ = GetSelectedCount();
    ++selectionBatch_;
}

void TCustomvxTreeList::EndSelection() {
    if (selectionBatch_ == 0) return;
    if (--selectionBatch_ == 0 && GetSelectedCount() != rememberedSelectedCount_) DoSelectedCountChange();
}

// ---- Node notifications ----

void TCustomvxTreeList::NodeAdded(TvxTreeListNode* Node) {
    if (!IsDestroying()) CloseEditor(true);
    if (!topNode_) topNode_ = Node;
    if (!focusedNode_) focusedNode_ = topNode_;
    if (updateLock_ > 0) {
        if (Node->IsVisible()) DropVisibleList();
        return;
    }
    TvxTreeListNode* repaint = Node->Parent() ? Node->Parent() : Node;
    if (!HasState(csLoading) && !IsDestroying())
        ReportNodeChange(Node, false);
    else if (Node->IsVisible())
        DropVisibleList();
    RepaintNode(repaint, true);
}

void TCustomvxTreeList::ResetNodeReferences() {
    topNode_ = nullptr;
    focusedNode_ = nullptr;
    selectionAnchor_ = nullptr;
    previousFocusedNode_ = nullptr;
    dragNode_ = nullptr;
    expandTarget_ = nullptr;
    pressedNode_ = nullptr;
    hotTrackNode_ = nullptr;
    hotTrackColumn_ = -1;
    rangeStartNode_ = nullptr;
    rangeExtension_ = false;
    editorNode_ = nullptr;
    pressPreviousNode_ = nullptr;
    downHit_.Node = nullptr;
    pendingVisibleNode_ = nullptr;
}

void TCustomvxTreeList::DoDeletion(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint, bool /*WasLast*/,
                                   TvxTreeListNode* NextNode) {
    if (!OnDeletion) {
        ForgetDeletedNode(Node, PriorNode, Repaint, NextNode);
        return;
    }
    // The control lets go of the node also when the handler raises.
    TScopeExit forget([=, this] { ForgetDeletedNode(Node, PriorNode, Repaint, NextNode); });
    OnDeletion(this, Node);
}

void TCustomvxTreeList::ForgetDeletedNode(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint,
                                          TvxTreeListNode* NextNode) {
    if (clearing_) return;
    // The count's change is told once nothing refers to the node: a handler that raises there
    // leaves no reference to a node freed.
    const bool selected = IsNodeSelected(Node);
    TScopeExit tell([=, this] {
        if (selected) SelectionChanged(Node, false);
    });
    if (roots_.empty()) {
        if (!IsDestroying() && !insideClear_) ClearCache();
        ResetNodeReferences();
        searchActive_ = false;
        searchText_.clear();
        if (updateLock_ == 0 && !IsDestroying()) {
            UpdateScrollBars();
            Invalidate();
        }
        return;
    }
    TvxTreeListNode* replacement = PriorNode ? PriorNode : NextNode;
    if (topNode_ == Node) topNode_ = replacement;
    if (focusedNode_ == Node) focusedNode_ = replacement;
    if (selectionAnchor_ == Node) selectionAnchor_ = replacement;
    if (previousFocusedNode_ == Node) previousFocusedNode_ = nullptr;
    if (dragNode_ == Node) dragNode_ = nullptr;
    if (expandTarget_ == Node) expandTarget_ = nullptr;
    if (hotTrackNode_ == Node) hotTrackNode_ = nullptr;
    if (pressedNode_ == Node) pressedNode_ = nullptr;
    if (rangeStartNode_ == Node) rangeStartNode_ = nullptr;
    if (pendingVisibleNode_ == Node) pendingVisibleNode_ = nullptr;
    if (pressPreviousNode_ == Node) pressPreviousNode_ = nullptr;
    if (downHit_.Node == Node) downHit_.Node = nullptr;
    if (editorNode_ == Node) editorNode_ = nullptr;
    if (!IsDestroying()) CloseEditor(true);
    if (deletedWasVisible_ && updateLock_ == 0 && !IsDestroying())
        ReportNodeChange(Node, true);
    else if (visibleNodes_.IndexOf(Node) >= 0)
        DropVisibleList();
    if (Repaint) {
        TvxTreeListNode* repaint = topNode_ ? topNode_ : focusedNode_;
        if (!repaint) repaint = replacement;
        RepaintNode(repaint, true);
    }
}

void TCustomvxTreeList::DeleteNodeColumnData(TvxTreeListNode* Node, int Column) {
    ForEachInSubtree(Node, [Column](TvxTreeListNode* n) {
        if (auto* text = NodeAs<TvxTreeListTextNode>(n)) {
            if (Column >= 0 && Column < static_cast<int>(text->FTexts.size()))
                text->FTexts.erase(text->FTexts.begin() + Column);
        }
    });
}

void TCustomvxTreeList::RepaintNode(TvxTreeListNode* Node, bool Recalc) {
    if (!Node || Node->Deleting() || updateLock_ > 0 || IsDestroying() || !Node->IsVisible()) return;
    if (Recalc) {
        UpdateScrollBars();
        TRect r = GetNodeRowRect(Node);
        TRect rows;
        GetRowsAreaRect(rows);
        InvalidateRect(TRect{rows.Left, r.Top, rows.Right, rows.Bottom});
    } else {
        InvalidateRect(GetNodeRowRect(Node));
    }
}

void TCustomvxTreeList::InvalidateRect(const TRect& Rect) {
    if (HandleAllocated()) ::InvalidateRect(WindowHandle(), &Rect, false);
}

// ---- Focus ----

int TCustomvxTreeList::GetFocusedColumn() {
    if (IsRowSelect() || focusedColumn_ < 0 || focusedColumn_ >= GetVisibleColumnCount()) return 0;
    return focusedColumn_;
}

void TCustomvxTreeList::SetFocusedColumn(int Column) {
    if (Column == focusedColumn_ || Column < 0 || Column >= GetVisibleColumnCount()) return;
    ChangeFocus(focusedNode_, Column, true);
}

int TCustomvxTreeList::GetFocusedAbsoluteNodeIndex() const {
    return focusedNode_ ? std::max(0, GetAbsoluteIndex(focusedNode_)) : 0;
}

int TCustomvxTreeList::GetTopIndex() const { return topNode_ ? GetAbsoluteIndex(topNode_) : -1; }

void TCustomvxTreeList::SetTopVisibleNode(TvxTreeListNode* Node) {
    topNode_ = Node;
    if (OnChangeTopVisibleNode) OnChangeTopVisibleNode(this);
}

bool TCustomvxTreeList::FocusNode(TvxTreeListNode* Node) {
    ChangeFocus(Node, GetFocusedColumn(), true);
    return true;
}

void TCustomvxTreeList::ChangeFocus(TvxTreeListNode* Node, int Column, bool MakeVisible) {
    if (!Node) return;
    CloseEditor();
    focusedAbsoluteColumn_ = -1;
    TvxTreeListNode* const oldNode = focusedNode_;
    const int oldColumn = focusedColumn_;
    if (updateLock_ > 0) {
        focusedNode_ = Node;
        focusedColumn_ = Column;
        return;
    }
    if (Node == oldNode) {
        if (IsRowSelect() || Column == oldColumn) return;
        focusedColumn_ = Column;
        if (!AnyDragRunning()) MakeColumnVisible(GetAbsoluteColumnIndex(Column));
        InvalidateRect(GetNodeRowRect(Node));
    } else {
        if (!IsRowSelect()) {
            focusedColumn_ = Column;
            // A drag scrolls at the edges on its own; the focus only follows the pointer.
            if (!AnyDragRunning()) MakeColumnVisible(GetAbsoluteColumnIndex(Column));
        }
        if (oldNode) InvalidateRect(GetNodeRowRect(oldNode));
        previousFocusedNode_ = oldNode;
        focusedNode_ = Node;
        InvalidateRect(GetNodeRowRect(Node));
        newItemRowActive_ = false;
    }
    if (MakeVisible && focusedNode_) MakeNodeVisible(focusedNode_);
    const bool nodeChanged = Node != oldNode;
    const bool columnChanged = focusedColumn_ != oldColumn;
    if ((nodeChanged && searchLock_ == 0) || columnChanged) EndSearchHighlight();
    if (nodeChanged) DoChangeNode(oldNode, Node);
    if (columnChanged) DoChangeColumn(Node, focusedColumn_);
}

void TCustomvxTreeList::SetFocusedAbsoluteNodeIndex(int Index) {
    if (roots_.empty()) return;
    const int count = GetAbsoluteCount();
    Index = std::clamp(Index, 0, count - 1);
    if (focusedNode_ && Index == GetFocusedAbsoluteNodeIndex()) return;
    ChangeFocus(GetAbsoluteNode(Index), GetFocusedColumn(), true);
}

void TCustomvxTreeList::SetVisibleRowCounts(int Partly, int Wholly) {
    partlyVisibleRows_ = std::max(1, Partly);
    whollyVisibleRows_ = std::max(1, Wholly);
}

// ---- Navigation ----

TvxTreeListNode* TCustomvxTreeList::GetNeighbourNode(TvxTreeListNode* Node, int Direction, bool AllNodes) {
    if (!Node) return nullptr;
    switch (Direction) {
        case 0: return GetFirstNode();
        case 1: return Node->GetPriorVisible();
        case 2: return AllNodes ? Node->GetNext() : GetNextVisibleNode(Node);
        case 3: {
            TvxTreeListNode* last = GetLastVisibleNode();
            if (AllNodes)
                while (last && last->Count() > 0) last = last->GetLastChild();
            return last;
        }
        default: return nullptr;
    }
}

TvxTreeListNode* TCustomvxTreeList::MoveFocus(int Direction, bool AllNodes) {
    if (!focusedNode_) return nullptr;
    const bool selectionFollows = IsMultiSelect() && GetSelectedCount() == 1 && IsNodeSelected(focusedNode_);
    TvxTreeListNode* node = GetNeighbourNode(focusedNode_, Direction, AllNodes);
    if (!node) return nullptr;
    node->SetFocused(true);
    if (selectionFollows) {
        ClearSelection();
        node->SetSelected(true);
    }
    return node;
}

bool TCustomvxTreeList::IsFocusInside() {
    if (!HandleAllocated()) return false;
    HWND focus = GetFocus();
    return focus && (focus == WindowHandle() || IsChild(WindowHandle(), focus));
}

bool TCustomvxTreeList::IsControlFocused() {
    return IsFocusInside() || (state_ == 2 && editor_ && editor_->IsFocused());
}

bool TCustomvxTreeList::IsFirstFocused() { return roots_.empty() || focusedNode_ == GetFirstNode(); }

bool TCustomvxTreeList::IsLastFocused() { return roots_.empty() || focusedNode_ == GetLastVisibleNode(); }

// ---- Interaction state and editing ----

void TCustomvxTreeList::SetState(uint8_t Value) {
    state_ = Value;
    if (Value == 2) {
        if (editor_) editor_->DeselectText();
        if (searchActive_) EndSearchHighlight();
    }
}

void TCustomvxTreeList::CancelDragSizing() {
    switch (state_) {
        case 1:
        case 8:
        case 12:
        case 13:
        case 14:
            EndSizing();
            if (HandleAllocated()) ::SetCursor(EnsureScreen()->Cursors(Cursor()));
            break;
        case 10:
            SetState(0);
            pressedBand_ = -1;
            Invalidate();
            break;
        case 9: EndBandDragging(false); break;
        case 3: EndHeaderDragging(false); break;
        case 15:
        case 4:
            SetState(0);
            pressedColumn_ = -1;
            filterHeader_ = -1;
            filterPressed_ = false;
            Invalidate();
            break;
        case 16:
        case 11:
        case 7:
            SetState(0);
            clearFilterPressed_ = false;
            Invalidate();
            break;
        default: break;
    }
}

void TCustomvxTreeList::ShowEditor() {
    if (!IsEditingAllowed() || IsRowSelect() || !focusedNode_) return;
    bool allow = true;
    if (IsNewItemRowActive())
        DoEditingNewItemRow(allow);
    else
        DoEditing(focusedNode_, allow);
    if (!allow) {
        editor_ = nullptr;
        return;
    }
    if (state_ == 0 && focusedColumn_ != -1 && GetVisibleColumnCount() > 0) {
        MakeColumnVisible(GetAbsoluteColumnIndex(GetFocusedColumn()));
        focusedNode_->MakeVisible();
        SetState(2);
        UpdateEditor(false);
    }
}

void TCustomvxTreeList::ShowEditorChar(char32_t Key) {
    ShowEditor();
    if (state_ != 2 || !editor_ || !editor_->HandleAllocated()) return;
    if (Key == 22)
        PostMessage(editor_->WindowHandle(), WM_PASTE, 0, 0);
    else if (Key == 24)
        PostMessage(editor_->WindowHandle(), WM_CUT, 0, 0);
    else
        PostMessage(editor_->WindowHandle(), WM_CHAR, Key, 0);
}

void TCustomvxTreeList::ShowEditorMouseDown(int X, int Y) {
    ShowEditor();
    if (state_ == 2 && editor_) editor_->MouseDownHandOver(X, Y);
}

void TCustomvxTreeList::ShowEditorMouseUp() {
    ShowEditor();
    if (state_ == 2 && editor_) editor_->MouseUpHandOver();
}

void TCustomvxTreeList::CloseEditor(bool GiveFocusBack) {
    if (state_ != 2) return;
    const bool editorHadFocus = editor_ && editor_->IsFocused();
    if (!IsDestroying() && editor_) editor_->ValidateEdit();
    SetState(0);
    if (IsDestroying()) {
        // Nothing is posted into a tree that is going away.
        editorColumn_ = -1;
        editorNode_ = nullptr;
        if (editor_) editor_->Hide();
        return;
    }
    HideEditor(GiveFocusBack || editorHadFocus);
}

// ---- Dispatchers ----

void TCustomvxTreeList::DoCollapsed(TvxTreeListNode* Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
}
void TCustomvxTreeList::DoEdited(TvxTreeListNode* Node) {
    if (OnEdited) OnEdited(this, Node);
}
void TCustomvxTreeList::DoExpanded(TvxTreeListNode* Node) {
    if (OnExpanded) OnExpanded(this, Node);
}
void TCustomvxTreeList::DoCollapsing(TvxTreeListNode* Node, bool& Allow) {
    if (OnCollapsing) OnCollapsing(this, Node, Allow);
}
void TCustomvxTreeList::DoEditing(TvxTreeListNode* Node, bool& Allow) {
    if (OnEditing) OnEditing(this, Node, Allow);
}
void TCustomvxTreeList::DoExpanding(TvxTreeListNode* Node, bool& Allow) {
    if (OnExpanding) OnExpanding(this, Node, Allow);
}
void TCustomvxTreeList::DoChangeColumn(TvxTreeListNode* Node, int Column) {
    if (OnChangeColumn) OnChangeColumn(this, Node, Column);
}
void TCustomvxTreeList::DoChangeLeftCoord() {
    if (OnChangeLeftCoord) OnChangeLeftCoord(this);
}
void TCustomvxTreeList::DoChangeNode(TvxTreeListNode* OldNode, TvxTreeListNode* Node) {
    if (OnChangeNode) OnChangeNode(this, OldNode, Node);
}
void TCustomvxTreeList::DoEditChange(TObject* Sender) {
    if (OnEditChange) OnEditChange(Sender);
}
void TCustomvxTreeList::DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
    if (OnEditValidate) OnEditValidate(Sender, ErrorText, Accept);
}

// ---- Queries ----

bool TCustomvxTreeList::GetHeaderHitZone(int X, int Y, int& Zone, int Column) {
    Zone = 1;
    TvxTreeListLayout layout;
    CalcLayout(layout);
    const TvxTreeListHeaderCellEntry* cell = layout.FindCell(Column);
    if (!cell) return true;
    // The filter button: the rightmost 15 pixels of the cell shrunk by 2 on each side.
    const TRect inner{cell->Rect.Left + 2, cell->Rect.Top + 2, cell->Rect.Right - 2, cell->Rect.Bottom - 2};
    if (cell->Rect.Width() >= 16 && X >= inner.Right - 15 && X < inner.Right && Y >= inner.Top && Y < inner.Bottom)
        Zone = 2;
    return true;
}

bool TCustomvxTreeList::IsEditButtonClick(int /*X*/, int /*Y*/, int /*Column*/, bool /*SameNode*/) {
    return IsShowButtonAlways();
}

bool TCustomvxTreeList::IsMouseScroll() {
    if (!IsRowSelect() && IsEditingAllowed()) return false;
    return Has(TvxTLOptionEx::MouseScroll);
}

int TCustomvxTreeList::GetVisibleColumnCount() {
    int count = 0;
    for (int i = 0; i < GetColumnCount(); ++i)
        if (IsColumnVisible(i)) ++count;
    return count;
}

int TCustomvxTreeList::GetColumnLineHeight(TCanvas* Canvas, int Column) {
    if (!IsColumnOwnFont(Column)) return 0;
    Canvas->Font()->Assign(GetColumnFont(Column));
    return Canvas->TextHeight("Wg") + 3;
}

int TCustomvxTreeList::GetMaxColumnLineHeight(TCanvas* Canvas) {
    int height = 0;
    for (int v = 0, n = GetVisibleColumnCount(); v < n; ++v)
        height = std::max(height, GetColumnLineHeight(Canvas, GetAbsoluteColumnIndex(v)));
    return height;
}

void TCustomvxTreeList::SetDefaultRowHeight(int Height) {
    defaultRowHeight_ = std::clamp(Height, 0, kvxMaxRowHeight);
    defaultRowHeightAssigned_ = true;
    RefreshLayout();
}

// ---- Node data: the control with columns implements these ----

TvxTreeListNode* TCustomvxTreeList::CreateNode() { AbstractError(); }
int TCustomvxTreeList::GetNodeImageIndex(TvxTreeListNode*) { AbstractError(); }
int TCustomvxTreeList::GetNodeSelectedIndex(TvxTreeListNode*) { AbstractError(); }
int TCustomvxTreeList::GetNodeStateIndex(TvxTreeListNode*) { AbstractError(); }
Variant TCustomvxTreeList::GetNodeValue(TvxTreeListNode*, int) { AbstractError(); }
std::string TCustomvxTreeList::GetNodeString(TvxTreeListNode*, int) { AbstractError(); }
void TCustomvxTreeList::SetNodeImageIndex(TvxTreeListNode*, int) { AbstractError(); }
void TCustomvxTreeList::SetNodeSelectedIndex(TvxTreeListNode*, int) { AbstractError(); }
void TCustomvxTreeList::SetNodeStateIndex(TvxTreeListNode*, int) { AbstractError(); }
void TCustomvxTreeList::SetNodeString(TvxTreeListNode*, int, const std::string&) { AbstractError(); }
void TCustomvxTreeList::SetNodeValue(TvxTreeListNode*, int, const Variant&) { AbstractError(); }
Variant TCustomvxTreeList::GetNodeSortValue(TvxTreeListNode*, int) { return Variant(std::string()); }

// ---- Options and properties ----

void TCustomvxTreeList::SetOptions(TvxTreeListOptions Value) {
    if (Value == options_) return;
    const TvxTreeListOptions old = options_;
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    CloseEditor();
    if (Value.Contains(TvxTLOption::RowSelect)) optionsEx_.Exclude(TvxTLOptionEx::InvertSelect);
    if (Value.Contains(TvxTLOption::AutoSort) && !old.Contains(TvxTLOption::AutoSort)) ClearSortedColumns();
    if (Has(TvxTLOptionEx::KeepColumnWidth) && old.Contains(TvxTLOption::AutoWidth) &&
        !Value.Contains(TvxTLOption::AutoWidth))
        ReapplyFirstWidth();
    options_ = Value;
    if (!HasState(csLoading)) {
        ClearSelection();
        if (focusedNode_) focusedNode_->SetSelected(true);
        if (!IsRowSelect() && focusedColumn_ == -1) SetFocusedColumn(0);
    }
}

void TCustomvxTreeList::SetOptionsEx(TvxTreeListOptionsEx Value) {
    if (Value == optionsEx_) return;
    const TvxTreeListOptionsEx old = optionsEx_;
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    CloseEditor();
    if (Value.Contains(TvxTLOptionEx::InvertSelect)) options_.Exclude(TvxTLOption::RowSelect);
    if ((old.Contains(TvxTLOptionEx::MultiSort) && !Value.Contains(TvxTLOptionEx::MultiSort)) ||
        old.Contains(TvxTLOptionEx::AnsiSort) != Value.Contains(TvxTLOptionEx::AnsiSort))
        ClearSortedColumns();
    optionsEx_ = Value;
    if (Value.Contains(TvxTLOptionEx::AutoHeaderPanelHeight) && !old.Contains(TvxTLOptionEx::AutoHeaderPanelHeight))
        AdjustHeaderPanelRowCount();
    if (searchActive_ && !Value.Contains(TvxTLOptionEx::AutoSearch)) {
        searchActive_ = false;
        searchText_.clear();
    }
}

void TCustomvxTreeList::ReapplyFirstWidth() {
    if (IsBandHeaderWidth() && GetBandCount() == 1 && GetVisibleColumnCount() > 0) {
        const int column = GetAbsoluteColumnIndex(0);
        const int width = GetColumnShownWidth(column);
        if (IsColumnWidthFollowsBand())
            SetColumnWidthFollowingBand(column, width);
        else
            SetColumnWidthByMouse(column, width);
    } else if (GetBandCount() > 0) {
        SetBandWidthByMouse(0, GetBandWidth(0) + GetGroupIndentWidth());
    }
}

void TCustomvxTreeList::SetBandFont(TFont* Value) { bandFont_->Assign(Value); }

void TCustomvxTreeList::SetHeaderFont(TFont* Value) { headerFont_->Assign(Value); }

void TCustomvxTreeList::SetPreviewFont(TFont* Value) { previewFont_->Assign(Value); }

void TCustomvxTreeList::OwnFontChanged() {
    if (!HasState(csLoading) && !fontUpdating_) SetParentFont(false);
    RefreshLayout();
}

void TCustomvxTreeList::SetShowNewItemRow(bool Value) {
    if (Value == showNewItemRow_) return;
    if (!Value) SetNewItemRowActive(false);
    showNewItemRow_ = Value;
    RefreshLayout();
}

void TCustomvxTreeList::LookAndFeelChanged() {
    CloseEditor(true);
    // Only the ultra-flat look has flat scroll bars; changing the mode re-creates the window.
    const uint8_t mode = lookAndFeel_ == lfUltraFlat ? FSB_FLAT_MODE : FSB_REGULAR_MODE;
    RebuildTreeListExpandButtons();
    if (mode != FlatScrollBarMode())
        SetFlatScrollBarMode(mode);
    else if (HandleAllocated())
        RecreateWnd();
    RefreshLayout();
}

void TCustomvxTreeList::SetFixedBandLineWidth(int Value) {
    Value = std::max(1, Value);
    if (Value == fixedBandLineWidth_) return;
    fixedBandLineWidth_ = Value;
    RefreshLayout();
}

void TCustomvxTreeList::SetMaxRowLineCount(int Value) {
    Value = std::max(-1, Value);
    if (Value == maxRowLineCount_) return;
    maxRowLineCount_ = Value;
    RefreshLayout();
}

void TCustomvxTreeList::SetIndentDesc(int Value) {
    Value = std::max(0, Value);
    if (Value == indentDesc_) return;
    indentDesc_ = Value;
    RefreshLayout();
}

void TCustomvxTreeList::SetPreviewLines(int Value) {
    Value = std::max(-1, Value);
    if (Value == previewLines_) return;
    previewLines_ = Value;
    RefreshLayout();
}

void TCustomvxTreeList::SetCustomizingRowCount(int Value) { customizingRowCount_ = std::max(2, Value); }

void TCustomvxTreeList::SetRowSeparatorLineWidth(int Value) {
    Value = std::max(1, Value);
    if (Value == rowSeparatorLineWidth_) return;
    rowSeparatorLineWidth_ = Value;
    RefreshLayout();
}
