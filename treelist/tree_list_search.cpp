// Incremental search (typing the leading characters of a cell jumps to the next node whose
// cell starts with them) and copying rows as text.

#include "platform/classes/string_list.h"
#include "platform/forms/clipboard.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "treelist/custom_tree_list.h"
#include "treelist/merge_sort.h"
#include "treelist/tree_list_routines.h"

bool TCustomvxTreeList::StartSearch(int Column, const std::string& Text) {
    CloseEditor();
    newItemRowActive_ = false;
    const int focusedVisible = GetFocusedColumn();
    if (Column == -1) Column = GetAbsoluteColumnIndex(focusedVisible);
    searchColumn_ = Column;
    focusedAbsoluteColumn_ = Column;
    for (int v = 0; v < GetVisibleColumnCount(); ++v)
        if (GetAbsoluteColumnIndex(v) == Column) focusedColumn_ = v;
    searchActive_ = true;
    searchText_ = Text;
    DoIncrementalSearch(searchText_, 0, true);
    return !searchText_.empty();
}

void TCustomvxTreeList::DoIncrementalSearch(std::string& Text, int Direction, bool ClearOnFail) {
    ++searchLock_;
    struct Unlock {
        int& lock;
        ~Unlock() { --lock; }
    } unlock{searchLock_};
    if (searchColumn_ != -1 && !roots_.empty()) {
        TvxTreeListNode* node = nullptr;
        if (FindNodeByText(searchColumn_, Text, node, Direction)) {
            if (node) node->SetFocused(true);
        } else if (ClearOnFail) {
            Text.clear();
        } else if (Direction == 0 && !Text.empty()) {
            // Keep the longest prefix that matched: drop the last character typed.
            Text.resize(Utf8ByteOffset(Text, Utf8Length(Text) - 1));
        }
    }
    if (focusedNode_) {
        if (IsMultiSelect() && !IsNodeSelected(focusedNode_)) {
            BeginSelection();
            TScopeExit end([this] { EndSelection(); });
            ClearSelection();
            focusedNode_->SetSelected(true);
        }
        focusedNode_->MakeVisible();
        RepaintNode(focusedNode_, false);
    }
}

bool TCustomvxTreeList::FindNodeByText(int Column, const std::string& Text, TvxTreeListNode*& Node, int Direction) {
    if (Text.empty()) return false;
    const int length = Utf8Length(Text);
    TvxTreeListNode* current = focusedNode_;
    TvxTreeListNode* stop = nullptr;
    // A start node the walk never meets again (one inside a collapsed branch while the
    // search follows the display order) would let it wrap forever: one wrap is enough.
    int wraps = 0;
    auto advance = [&]() {
        TvxTreeListNode* next;
        if (Direction == 1)
            next = autoExpandOnSearch_ ? current->GetPrev() : current->GetPriorVisible();
        else
            next = autoExpandOnSearch_ ? current->GetNext() : GetNextVisibleNode(current);
        if (!next) {
            if (++wraps > 1) return static_cast<TvxTreeListNode*>(nullptr);
            next = Direction == 1 ? GetLastVisibleNode() : GetFirstNode();
            stop = focusedNode_;
        }
        return next;
    };
    if (current && Direction != 0) current = advance();
    while (current && current != stop) {
        const std::string cell = current->Strings(Column);
        if (SameUpperText(Utf8Copy(cell, 1, length), Text) && Utf8Length(cell) >= length) {
            Node = current;
            return true;
        }
        current = advance();
    }
    return false;
}

void TCustomvxTreeList::SyncSearchColumn() {
    if (IsRowSelect()) return;
    const int focused = GetAbsoluteColumnIndex(GetFocusedColumn());
    if (focused == searchColumn_) return;
    searchColumn_ = focused;
    searchText_.clear();
}

void TCustomvxTreeList::EndSearchHighlight() {
    if (!searchActive_) return;
    searchActive_ = false;
    if (updateLock_ == 0 && !IsDestroying() && focusedNode_) RepaintNode(focusedNode_, false);
}

// ---- Copying ----

std::string TCustomvxTreeList::GetHeaderLineText() {
    std::string line;
    for (int v = 0, n = GetVisibleColumnCount(); v < n; ++v) {
        std::string caption;
        GetHeaderCaption(GetAbsoluteColumnIndex(v), caption);
        if (v > 0) line += '\t';
        line += caption;
    }
    return line + "\r\n";
}

std::string TCustomvxTreeList::GetNodeLineText(TvxTreeListNode* Node) {
    if (IsGroupNode(Node)) return Node->Strings(0);
    std::string line;
    for (int v = 0, n = GetVisibleColumnCount(); v < n; ++v) {
        if (v > 0) line += '\t';
        line += Node->Strings(GetAbsoluteColumnIndex(v));
    }
    return line;
}

void TCustomvxTreeList::SaveAllToStrings(TStrings* Strings) {
    Strings->Add(GetHeaderLineText());
    for (TvxTreeListNode* node = GetFirstNode(); node; node = GetNextVisibleNode(node))
        Strings->Add(GetNodeLineText(node));
}

void TCustomvxTreeList::SaveSelectedToStrings(TStrings* Strings) {
    Strings->Add(GetHeaderLineText());
    if (IsMultiSelect()) {
        std::vector<TvxTreeListNode*> nodes;
        for (int i = 0, n = GetSelectedCount(); i < n; ++i)
            if (TvxTreeListNode* node = GetSelectedItem(i)) nodes.push_back(node);
        MergeSortItems(nodes, [](TvxTreeListNode* a, TvxTreeListNode* b) { return CompareNodeOrder(a, b); });
        for (TvxTreeListNode* node : nodes) Strings->Add(GetNodeLineText(node));
    } else if (focusedNode_) {
        Strings->Add(GetNodeLineText(focusedNode_));
    }
}

void TCustomvxTreeList::CopySelectedToClipboard() {
    TStringList lines;
    SaveSelectedToStrings(&lines);
    Clipboard()->SetAsText(lines.Text());
}
