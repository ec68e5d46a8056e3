#include "treelist/tree_list_node.h"

#include <algorithm>

#include "platform/rtl/scope_exit.h"
#include "treelist/custom_tree_list.h"

TvxTreeListNode::TvxTreeListNode(TCustomvxTreeList* AOwner) : owner_(AOwner) {
    if (!AOwner) RaiseInvalidTreeListOperation(kvxInvalidOwnerText);
}

// ---- Queries ----

TvxTreeListNode* TvxTreeListNode::Items(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return children_[static_cast<size_t>(Index)];
}

int TvxTreeListNode::IndexOf(const TvxTreeListNode* Child) const {
    auto it = std::find(children_.begin(), children_.end(), Child);
    return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

int TvxTreeListNode::Level() const {
    int level = 0;
    for (const TvxTreeListNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

const std::vector<TvxTreeListNode*>& TvxTreeListNode::SiblingList() const {
    return parent_ ? parent_->children_ : owner_->roots_;
}

// A move, insertion or deletion shifts the siblings behind it by a place or a few, so the
// search starts at the remembered position and widens to both sides: it costs what the shift
// was, not the node's distance from the front.
int TvxTreeListNode::Index() const { return hiddenPlace_ >= 0 ? -1 : IndexIn(SiblingList()); }

int TvxTreeListNode::IndexIn(const std::vector<TvxTreeListNode*>& list) const {
    if (indexHint_ < 0) return -1;
    const auto n = static_cast<std::ptrdiff_t>(list.size());
    const std::ptrdiff_t hint = std::clamp<std::ptrdiff_t>(indexHint_, 0, std::max<std::ptrdiff_t>(n - 1, 0));
    for (std::ptrdiff_t d = 0; hint - d >= 0 || hint + d < n; ++d) {
        for (const std::ptrdiff_t at : {hint - d, hint + d}) {
            if (at < 0 || at >= n || list[static_cast<size_t>(at)] != this) continue;
            indexHint_ = static_cast<int>(at);
            return indexHint_;
        }
    }
    return -1;
}

void TvxTreeListNode::NumberPlaces(const std::vector<TvxTreeListNode*>& List) {
    for (size_t i = 0; i < List.size(); ++i) List[i]->indexHint_ = static_cast<int>(i);
}

int TvxTreeListNode::RowHeightCache() const {
    return rowHeightGeneration_ == owner_->rowHeightGeneration_ ? rowHeight_ : 0;
}

int TvxTreeListNode::LineCountCache() const {
    return rowHeightGeneration_ == owner_->rowHeightGeneration_ ? lineCount_ : 0;
}

void TvxTreeListNode::SetRowHeightCache(int Value) {
    rowHeight_ = Value;
    rowHeightGeneration_ = owner_->rowHeightGeneration_;
}

int TvxTreeListNode::AbsoluteIndex() const { return owner_->GetAbsoluteIndex(this); }

bool TvxTreeListNode::IsVisible() const { return owner_->IsNodeVisible(this); }

bool TvxTreeListNode::IsLast() const {
    const auto& list = SiblingList();
    return !list.empty() && list.back() == this;
}

bool TvxTreeListNode::HasAsParent(const TvxTreeListNode* Node) const {
    if (!Node) return false;
    for (const TvxTreeListNode* p = parent_; p; p = p->parent_)
        if (p == Node) return true;
    return false;
}

bool TvxTreeListNode::Focused() const { return owner_->GetFocusedNode() == this; }

void TvxTreeListNode::SetFocused(bool Value) {
    if (Value == Focused()) return;
    owner_->ChangeFocus(Value ? this : nullptr, owner_->GetFocusedColumn(), true);
}

bool TvxTreeListNode::Selected() const {
    auto* self = const_cast<TvxTreeListNode*>(this);
    return owner_->IsMultiSelect() ? owner_->IsNodeSelected(self) : Focused();
}

void TvxTreeListNode::SetSelected(bool Value) { owner_->SelectionChanged(this, Value); }

void TvxTreeListNode::SetHasChildren(bool Value) {
    if (Value == hasChildren_) return;
    hasChildren_ = Value || Count() > 0;
    owner_->RepaintNode(this, false);
}

std::string TvxTreeListNode::Strings(int Column) const {
    return owner_->GetNodeString(const_cast<TvxTreeListNode*>(this), Column);
}
void TvxTreeListNode::SetStrings(int Column, const std::string& Value) { owner_->SetNodeString(this, Column, Value); }
Variant TvxTreeListNode::Values(int Column) const {
    return owner_->GetNodeValue(const_cast<TvxTreeListNode*>(this), Column);
}
int TvxTreeListNode::ImageIndex() const { return owner_->GetNodeImageIndex(const_cast<TvxTreeListNode*>(this)); }
void TvxTreeListNode::SetImageIndex(int Value) { owner_->SetNodeImageIndex(this, Value); }
int TvxTreeListNode::SelectedIndex() const { return owner_->GetNodeSelectedIndex(const_cast<TvxTreeListNode*>(this)); }
void TvxTreeListNode::SetSelectedIndex(int Value) { owner_->SetNodeSelectedIndex(this, Value); }
int TvxTreeListNode::StateIndex() const { return owner_->GetNodeStateIndex(const_cast<TvxTreeListNode*>(this)); }
void TvxTreeListNode::SetStateIndex(int Value) { owner_->SetNodeStateIndex(this, Value); }

// ---- Navigation ----

TvxTreeListNode* TvxTreeListNode::GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }

TvxTreeListNode* TvxTreeListNode::GetNextSibling() const {
    const int index = Index();
    if (index < 0) return nullptr;
    const auto& list = SiblingList();
    const size_t next = static_cast<size_t>(index) + 1;
    return next < list.size() ? list[next] : nullptr;
}

TvxTreeListNode* TvxTreeListNode::GetPrevSibling() const {
    const int index = Index();
    return index < 1 ? nullptr : SiblingList()[static_cast<size_t>(index - 1)];
}

TvxTreeListNode* TvxTreeListNode::GetNext() const {
    if (!children_.empty()) return children_.front();
    for (const TvxTreeListNode* n = this; n; n = n->parent_)
        if (TvxTreeListNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TvxTreeListNode* TvxTreeListNode::GetPrev() const {
    TvxTreeListNode* prev = GetPrevSibling();
    if (!prev) return parent_;
    while (!prev->children_.empty()) prev = prev->children_.back();
    return prev;
}

TvxTreeListNode* TvxTreeListNode::GetNextVisible() const { return owner_->GetNextVisibleNode(this); }

TvxTreeListNode* TvxTreeListNode::GetPriorVisible() const { return owner_->GetPriorVisibleNode(this); }

// ---- Structure ----

TvxTreeListNode* TvxTreeListNode::InsertChild(TvxTreeListNode* BeforeNode) {
    return InsertMadeChild(owner_->CreateNode(), BeforeNode);
}

TvxTreeListNode* TvxTreeListNode::InsertMadeChild(TvxTreeListNode* Node, TvxTreeListNode* BeforeNode) {
    Node->parent_ = this;
    const int at = BeforeNode ? IndexOf(BeforeNode) : -1;
    if (at < 0) {
        Node->indexHint_ = Count();
        children_.push_back(Node);
    } else {
        Node->indexHint_ = at;
        children_.insert(children_.begin() + at, Node);
    }
    SetHasChildren(true);
    owner_->NodeAdded(Node);
    return Node;
}

void TvxTreeListNode::AddChildrenToList(std::vector<TvxTreeListNode*>& List) const {
    List.insert(List.end(), children_.begin(), children_.end());
}

std::vector<TvxTreeListNode*> TvxTreeListNode::TakeChildRoom() {
    if (!children_.empty()) return {};
    return std::move(children_);
}

void TvxTreeListNode::GiveChildRoom(std::vector<TvxTreeListNode*> Room) {
    if (!children_.empty()) return;
    Room.clear();
    children_ = std::move(Room);
}

void TvxTreeListNode::LostLastChild() {
    // The list keeps its room until the node goes (or hands it over, TakeChildRoom).
    children_.clear();
    SetHasChildren(owner_->NodeHasChildren(this));
    expanded_ = false;
}

void TvxTreeListNode::DetachFromParent() {
    TvxTreeListNode* parent = parent_;
    const int index = Index();
    if (index >= 0) parent->children_.erase(parent->children_.begin() + index);
    parent_ = nullptr;
    indexHint_ = -1;
    if (parent->children_.empty()) parent->LostLastChild();
}

void TvxTreeListNode::DetachFromOwner() {
    if (owner_->hiddenNodes_.Contains(this)) {
        owner_->hiddenNodes_.Remove(this);
        return;
    }
    const int index = Index();
    if (index >= 0) owner_->roots_.erase(owner_->roots_.begin() + index);
    indexHint_ = -1;
}

bool TvxTreeListNode::MoveTo(TvxTreeListNode* Destination, TvxNodeMoveMode Mode) {
    if (!Destination) return false;
    // A node never changes its owner, so a destination in another control is refused like
    // one inside the node's own subtree.
    if (Destination->owner_ != owner_) return false;
    if (Destination == this && (Mode == nmAddChild || Mode == nmAddChildFirst || Mode == nmInsert)) return false;
    if (Destination->HasAsParent(this)) return false;

    // Destination may be this node itself (nmAdd, nmAddFirst): its place before the move
    // decides, so read it before detaching.
    TvxTreeListNode* const destinationParent = Destination->parent_;
    TCustomvxTreeList* owner = owner_;
    owner->BeginUpdate();
    TScopeExit end([owner] { owner->EndUpdate(); });
    if (parent_)
        DetachFromParent();
    else
        DetachFromOwner();

    if (Mode == nmAddChild || Mode == nmAddChildFirst) {
        auto& list = Destination->children_;
        indexHint_ = Mode == nmAddChild ? static_cast<int>(list.size()) : 0;
        list.insert(list.begin() + indexHint_, this);
        parent_ = Destination;
        Destination->hasChildren_ = true;
    } else {
        TvxTreeListNode* newParent = destinationParent;
        auto& list = newParent ? newParent->children_ : owner_->roots_;
        size_t at = Mode == nmAdd ? list.size() : 0;
        if (Mode == nmInsert) at = static_cast<size_t>(std::max(0, Destination->Index()));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), this);
        indexHint_ = static_cast<int>(at);
        parent_ = newParent;
    }
    // The node is shown (its parents expanded) at once, and scrolled to once the rows are
    // laid out again when the update ends: the move's own, or the caller's around a batch of
    // moves, which would otherwise rebuild the visible-node list and scroll for each.
    owner_->focusedNode_ = this;
    for (TvxTreeListNode* p = parent_; p; p = p->parent_)
        if (!p->expanded_) p->SetExpanded(true);
    owner_->pendingVisibleNode_ = this;
    return true;
}

void TvxTreeListNode::SetExpanded(bool Value) {
    if (!hasChildren_ || Value == expanded_) return;
    bool allow = true;
    if (Value)
        owner_->DoExpanding(this, allow);
    else
        owner_->DoCollapsing(this, allow);
    if (!allow) return;
    if (!Value) {
        if (owner_->topNode_ && owner_->topNode_->HasAsParent(this)) owner_->SetTopVisibleNode(this);
        if (owner_->focusedNode_ && owner_->focusedNode_->HasAsParent(this) && !owner_->FocusNode(this)) return;
    }
    expanded_ = Value;
    if (!owner_->IsUpdateLocked() && !owner_->IsDestroying())
        owner_->LayoutChanged();
    else
        owner_->DropVisibleList();
    owner_->RepaintNode(this, true);
    if (Value)
        owner_->DoExpanded(this);
    else
        owner_->DoCollapsed(this);
}

void TvxTreeListNode::ExpandCollapse(bool Value, bool Recurse) {
    SetExpanded(Value);
    if (!Recurse) return;
    // Handlers may add or delete nodes; walk a copy and skip children that went away.
    std::vector<TvxTreeListNode*> children = children_;
    for (TvxTreeListNode* child : children)
        if (IndexOf(child) >= 0 && child->hasChildren_) child->ExpandCollapse(Value, true);
}

void TvxTreeListNode::Expand(bool Recurse) { ExpandCollapseInUpdate(true, Recurse); }

void TvxTreeListNode::Collapse(bool Recurse) { ExpandCollapseInUpdate(false, Recurse); }

void TvxTreeListNode::ExpandCollapseInUpdate(bool Value, bool Recurse) {
    if (!hasChildren_) return;
    if (owner_->LockUpdate() > 0) {
        ExpandCollapse(Value, Recurse);
        return;
    }
    TCustomvxTreeList* owner = owner_;
    owner->BeginUpdate();
    TScopeExit end([owner] { owner->EndUpdate(); });
    ExpandCollapse(Value, Recurse);
}

void TvxTreeListNode::MakeVisible() { owner_->MakeNodeVisible(this); }

void TvxTreeListNode::Free() {
    TCustomvxTreeList* owner = owner_;
    deleting_ = true;
    if (children_.empty()) {
        Leave();
        return;
    }
    // The node leaves after its children, also when the deletion handler of one raises.
    TScopeExit leave([this] { Leave(); });
    if (owner->clearing_) {
        std::vector<TvxTreeListNode*> children = std::move(children_);
        children_ = {};
        size_t next = 0;
        FreeEach([&] { return next < children.size() ? children[next++] : nullptr; });
    } else if (!children_.empty()) {
        // The children go first to last. Their rows leave the visible-node list at once, and
        // their list is turned round, so that each leaves from its end: taken from the front,
        // each would shift all the others.
        owner->DropVisibleDescendants(this);
        std::reverse(children_.begin(), children_.end());
        NumberPlaces(children_);
        FreeEach([this] { return children_.empty() ? nullptr : children_.back(); });
    }
}

void TvxTreeListNode::Leave() {
    TCustomvxTreeList* owner = owner_;
    TvxTreeListNode* prior = nullptr;
    TvxTreeListNode* nextVisible = nullptr;
    bool wasLast = false;
    bool wasVisible = false;
    if (!owner->clearing_) {
        // Under a parent being freed the node is the first of the children left (their list
        // runs backwards meanwhile).
        const bool parentFreed = parent_ && parent_->deleting_;
        prior = parentFreed ? nullptr : GetPrevSibling();
        if (!prior) prior = parent_;
        nextVisible = owner->GetNextVisibleNode(this);
        wasLast = parentFreed ? parent_->children_.size() == 1 : IsLast();
        wasVisible = IsVisible();
    }
    owner->deletedWasVisible_ = wasVisible;
    if (parent_ && parent_->deleting_) wasVisible = false;

    if (parent_)
        DetachFromParent();
    else if (!owner->clearing_)
        DetachFromOwner();

    // The node goes even when a deletion handler raises; the recorded fact goes with it.
    struct Release {
        TvxTreeListNode* node;
        ~Release() {
            node->owner_->deletedWasVisible_ = false;
            delete node;  // the one place a node is released
        }
    } release{this};
    owner->DoDeletion(this, prior, wasVisible, wasLast, nextVisible);
}
