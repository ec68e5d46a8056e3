#pragma once
// A small tree list for the tests: text nodes whose texts answer the node-data operations,
// a few named columns, a kept set of selected nodes (the base keeps none), and counters of
// the repaint requests the control makes.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "treelist/custom_tree_list.h"

class TTestTreeList : public TCustomvxTreeList {
public:
    explicit TTestTreeList(TComponent* AOwner = nullptr) : TCustomvxTreeList(AOwner) {}

    std::vector<std::string> Captions{"Name", "Wert", "Typ"};
    std::map<std::pair<TvxTreeListNode*, int>, Variant> SortValues;
    std::vector<TvxTreeListNode*> SelectedNodes;
    // Runs after a node joins the selection (handlers that change the tree meanwhile).
    std::function<void(TvxTreeListNode*)> AfterSelect;
    int RowRectRequests = 0;
    int WholeInvalidates = 0;

    TvxTreeListNode* CreateNode() override { return new TvxTreeListTextNode(this); }
    std::string GetNodeString(TvxTreeListNode* Node, int Column) override {
        auto& texts = Text(Node)->FTexts;
        return Column >= 0 && Column < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(Column)] : "";
    }
    void SetNodeString(TvxTreeListNode* Node, int Column, const std::string& Value) override {
        auto& texts = Text(Node)->FTexts;
        if (static_cast<int>(texts.size()) <= Column) texts.resize(static_cast<size_t>(Column) + 1);
        texts[static_cast<size_t>(Column)] = Value;
    }
    Variant GetNodeValue(TvxTreeListNode* Node, int Column) override { return GetNodeString(Node, Column); }
    Variant GetNodeSortValue(TvxTreeListNode* Node, int Column) override {
        auto it = SortValues.find({Node, Column});
        return it != SortValues.end() ? it->second : Variant(GetNodeString(Node, Column));
    }
    int GetNodeImageIndex(TvxTreeListNode* Node) override { return Text(Node)->FImageIndex; }

    int GetColumnCount() override { return static_cast<int>(Captions.size()); }
    void GetHeaderText(int Column, std::string& T) override { T = Captions.at(static_cast<size_t>(Column)); }

    int GetSelectedCount() override { return static_cast<int>(SelectedNodes.size()); }
    TvxTreeListNode* GetSelectedItem(int Index) override {
        return Index >= 0 && Index < GetSelectedCount() ? SelectedNodes[static_cast<size_t>(Index)] : nullptr;
    }
    bool IsNodeSelected(TvxTreeListNode* Node) override {
        return std::find(SelectedNodes.begin(), SelectedNodes.end(), Node) != SelectedNodes.end();
    }
    void SelectionChanged(TvxTreeListNode* Node, bool Select) override {
        auto it = std::find(SelectedNodes.begin(), SelectedNodes.end(), Node);
        if (Select && it == SelectedNodes.end()) {
            SelectedNodes.push_back(Node);
            if (AfterSelect) AfterSelect(Node);
        }
        if (!Select && it != SelectedNodes.end()) SelectedNodes.erase(it);
        TCustomvxTreeList::SelectionChanged(Node, Select);
    }
    void ClearSelection() override {
        SelectedNodes.clear();
        TCustomvxTreeList::ClearSelection();
    }
    TRect GetNodeRowRect(TvxTreeListNode* Node) override {
        ++RowRectRequests;
        return TCustomvxTreeList::GetNodeRowRect(Node);
    }
    void Invalidate() override {
        ++WholeInvalidates;
        TCustomvxTreeList::Invalidate();
    }
    void SetRows(int Rows) { SetVisibleRowCounts(Rows, Rows); }

    // A node with its first text set.
    TvxTreeListNode* AddText(const std::string& Name) { return Named(Add(), Name); }
    TvxTreeListNode* ChildText(TvxTreeListNode* Parent, const std::string& Name) {
        return Named(Parent->AddChild(), Name);
    }
    static TvxTreeListNode* Named(TvxTreeListNode* Node, const std::string& Name) {
        Node->SetStrings(0, Name);
        return Node;
    }

private:
    static TvxTreeListTextNode* Text(TvxTreeListNode* Node) { return static_cast<TvxTreeListTextNode*>(Node); }
};

// The names of the nodes in display order, joined by blanks.
inline std::string DisplayNames(TCustomvxTreeList& tl) {
    std::string s;
    for (TvxTreeListNode* n = tl.GetFirstNode(); n; n = tl.GetNextVisibleNode(n)) {
        if (!s.empty()) s += ' ';
        s += n->Strings(0);
    }
    return s;
}

// The names of the children of a list (roots when Parent is null), joined by blanks.
inline std::string ChildNames(TCustomvxTreeList& tl, TvxTreeListNode* Parent) {
    std::string s;
    const int count = Parent ? Parent->Count() : tl.GetCount();
    for (int i = 0; i < count; ++i) {
        TvxTreeListNode* n = Parent ? Parent->Items(i) : tl.GetItem(i);
        if (!s.empty()) s += ' ';
        s += n->Strings(0);
    }
    return s;
}
