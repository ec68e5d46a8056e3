#pragma once
// TvxTreeListNode: one node of a tree list's forest. It knows its owner control, its parent
// and its children; its cell data lives behind the owner's node-data operations. Every
// structural change goes through the node, which tells the owner, so focus, top row,
// selection and the visible-node list stay consistent.
//
// Nodes are made only by the owner's CreateNode and released only by Free(), which runs the
// deletion sequence (children first, then the node leaves its parent and reports itself)
// while the whole object is still alive.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/scope_exit.h"
#include "platform/rtl/variant.h"
#include "treelist/tree_list_types.h"

// The node classes of the tree list and the data-aware controls, each deriving from the one
// before: a node knows the most derived of them it is, so that the controls, which ask for
// their own node class on every row they touch, answer with one comparison instead of a
// dynamic_cast.
enum class TvxNodeKind : uint8_t { Plain, Text, DBControl, DBGrid };

class TvxTreeListNode : public TObject {
public:
    static constexpr TvxNodeKind kKind = TvxNodeKind::Plain;
    explicit TvxTreeListNode(TCustomvxTreeList* AOwner);
    std::string ClassName() const override { return "TvxTreeListNode"; }
    TvxNodeKind Kind() const { return kind_; }

    // Deletes the node with its subtree, deepest nodes first and children first to last;
    // meanwhile the node's list of the children left runs from the last to the first. A
    // deletion handler that raises keeps no node: the whole subtree goes, and the exception
    // reaches the caller.
    void Free();
    // Frees each node Next answers until it answers none (and none again when asked once
    // more), all of them also when a deletion handler raises; the first exception reaches the
    // caller once they are gone.
    template <class Next>
    static void FreeEach(Next&& Nodes) {
        TScopeExit rest([&Nodes] {
            while (TvxTreeListNode* node = Nodes()) RunWhileUnwinding([node] { node->Free(); });
        });
        while (TvxTreeListNode* node = Nodes()) node->Free();
    }

    // ---- Queries ----
    int Count() const { return static_cast<int>(children_.size()); }
    TvxTreeListNode* Items(int Index) const;
    int IndexOf(const TvxTreeListNode* Child) const;
    TvxTreeListNode* Parent() const { return parent_; }
    TCustomvxTreeList* Owner() const { return owner_; }
    int Level() const;
    int Index() const;
    int AbsoluteIndex() const;
    bool IsVisible() const;
    bool IsLast() const;
    bool HasAsParent(const TvxTreeListNode* Node) const;
    bool Deleting() const { return deleting_; }

    bool Focused() const;
    void SetFocused(bool Value);
    bool Selected() const;
    void SetSelected(bool Value);
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool Value);
    bool HasChildren() const { return hasChildren_; }
    void SetHasChildren(bool Value);

    std::string Strings(int Column) const;
    void SetStrings(int Column, const std::string& Value);
    Variant Values(int Column) const;
    int ImageIndex() const;
    void SetImageIndex(int Value);
    int SelectedIndex() const;
    void SetSelectedIndex(int Value);
    int StateIndex() const;
    void SetStateIndex(int Value);

    // The row height last computed by the owner; 0 when none is cached.
    int RowHeightCache() const;
    void SetRowHeightCache(int Value);
    // The text lines of the row, cached with its height; 0 when none is cached.
    int LineCountCache() const;
    void SetLineCountCache(int Value) { lineCount_ = Value; }

    // ---- Navigation ----
    TvxTreeListNode* GetFirstChild() const { return Items(0); }
    TvxTreeListNode* GetLastChild() const;
    TvxTreeListNode* GetNextSibling() const;
    TvxTreeListNode* GetPrevSibling() const;
    TvxTreeListNode* GetNext() const;
    TvxTreeListNode* GetPrev() const;
    TvxTreeListNode* GetNextVisible() const;
    TvxTreeListNode* GetPriorVisible() const;

    // ---- Structure ----
    TvxTreeListNode* AddChild() { return InsertChild(nullptr); }
    TvxTreeListNode* InsertChild(TvxTreeListNode* BeforeNode);
    void AddChildrenToList(std::vector<TvxTreeListNode*>& List) const;
    bool MoveTo(TvxTreeListNode* Destination, TvxNodeMoveMode Mode);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    void MakeVisible();

protected:
    // Protected: nodes are released through Free().
    ~TvxTreeListNode() override = default;
    // Set by each node class's constructor to its own kind.
    TvxNodeKind kind_ = TvxNodeKind::Plain;
    // The room of the child list, handed over by a node without children: a node class that
    // keeps a freed node's storage for a node made again keeps this room with it, and the node
    // made again takes its first children without an allocation.
    std::vector<TvxTreeListNode*> TakeChildRoom();
    void GiveChildRoom(std::vector<TvxTreeListNode*> Room);

private:
    friend class TCustomvxTreeList;
    friend class TvxVisibleNodeList;
    friend class TvxHiddenNodeList;

    // Free's last step: the node leaves its parent or the roots, reports itself and goes.
    void Leave();
    // InsertChild of a node the owner made (CreateNode, or its own making).
    TvxTreeListNode* InsertMadeChild(TvxTreeListNode* Node, TvxTreeListNode* BeforeNode);
    // The list the node lies in: its parent's children, or the owner's roots.
    const std::vector<TvxTreeListNode*>& SiblingList() const;
    // The node's position in List, -1 when it is not there.
    int IndexIn(const std::vector<TvxTreeListNode*>& List) const;
    // Tells every node of a sibling list that was rearranged where it is now.
    static void NumberPlaces(const std::vector<TvxTreeListNode*>& List);
    void DetachFromParent();
    void DetachFromOwner();
    // The parent lost its last child: the list goes, and with it the expand button unless
    // the owner says otherwise.
    void LostLastChild();
    // A first-time expand or collapse of this node and, with Recurse, its subtree.
    void ExpandCollapse(bool Value, bool Recurse);
    // The same inside one update of the list (or the caller's).
    void ExpandCollapseInUpdate(bool Value, bool Recurse);

    bool deleting_ = false;
    bool expanded_ = false;
    bool hasChildren_ = false;
    std::vector<TvxTreeListNode*> children_;
    TCustomvxTreeList* owner_;
    TvxTreeListNode* parent_ = nullptr;
    int rowHeight_ = 0;
    int lineCount_ = 0;
    // The owner's row-height generation the cached height belongs to: a reset of all heights
    // moves the owner's generation on instead of visiting every node.
    uint64_t rowHeightGeneration_ = 0;
    // Where the node last was among its siblings; checked before use, so Index() stays
    // cheap for long sibling lists without being trusted blindly. -1 while the node lies
    // in no list (it left one and is being freed, or is being moved in a batch).
    mutable int indexHint_ = 0;
    // The node's place in its owner's visible-node list, valid while the stamp is the list's.
    mutable uint64_t visibleStamp_ = 0;
    int displayIndex_ = -1;
    // The node's place in its owner's hidden-node list; -1 while it is not hidden.
    mutable int hiddenPlace_ = -1;
};

// The node of the control with columns: three image indexes and one text per column,
// plain storage that the owner's node-data operations read and write.
class TvxTreeListTextNode : public TvxTreeListNode {
public:
    static constexpr TvxNodeKind kKind = TvxNodeKind::Text;
    explicit TvxTreeListTextNode(TCustomvxTreeList* AOwner) : TvxTreeListNode(AOwner) { kind_ = kKind; }
    std::string ClassName() const override { return "TvxTreeListTextNode"; }

    int FImageIndex = 0;
    int FSelectedIndex = -1;
    int FStateIndex = -1;
    std::vector<std::string> FTexts;

protected:
    ~TvxTreeListTextNode() override = default;
};

// Node as node class T (TvxTreeListNode or one deriving from it along the chain of
// TvxNodeKind), null when it is not one.
template <class T>
T* NodeAs(TvxTreeListNode* Node) {
    return Node && Node->Kind() >= T::kKind ? static_cast<T*>(Node) : nullptr;
}
template <class T>
const T* NodeAs(const TvxTreeListNode* Node) {
    return Node && Node->Kind() >= T::kKind ? static_cast<const T*>(Node) : nullptr;
}

// F(n) for Node and every node below it, parents first. A node without children costs no
// allocation: a column taken away visits every row of the control this way.
template <class F>
void ForEachInSubtree(TvxTreeListNode* Node, F&& f) {
    std::vector<TvxTreeListNode*> stack;
    while (Node) {
        f(Node);
        if (Node->Count() > 0) Node->AddChildrenToList(stack);
        if (stack.empty()) return;
        Node = stack.back();
        stack.pop_back();
    }
}
