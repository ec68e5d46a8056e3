#pragma once
// The column control with a kept selection, as the program's grids keep one, for the tests
// of keys and mouse.

#include <algorithm>
#include <vector>

#include "treelist/custom_tree_list_control.h"

// The column control with a kept selection, as the program's grids keep one.
class TSelectingControl : public TCustomvxTreeListControl {
public:
    using TCustomvxTreeListControl::TCustomvxTreeListControl;
    std::vector<TvxTreeListNode*> SelectedNodes;
    int GetSelectedCount() override { return static_cast<int>(SelectedNodes.size()); }
    TvxTreeListNode* GetSelectedItem(int Index) override {
        return Index >= 0 && Index < GetSelectedCount() ? SelectedNodes[static_cast<size_t>(Index)] : nullptr;
    }
    bool IsNodeSelected(TvxTreeListNode* Node) override {
        return std::find(SelectedNodes.begin(), SelectedNodes.end(), Node) != SelectedNodes.end();
    }
    void SelectionChanged(TvxTreeListNode* Node, bool Select) override {
        auto it = std::find(SelectedNodes.begin(), SelectedNodes.end(), Node);
        if (Select && it == SelectedNodes.end()) SelectedNodes.push_back(Node);
        if (!Select && it != SelectedNodes.end()) SelectedNodes.erase(it);
        TCustomvxTreeListControl::SelectionChanged(Node, Select);
    }
    void ClearSelection() override {
        SelectedNodes.clear();
        TCustomvxTreeListControl::ClearSelection();
    }
};
