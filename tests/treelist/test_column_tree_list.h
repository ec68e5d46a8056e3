#pragma once
// Helpers for the tests of the tree list with columns: a control with named columns and
// a reading of its placement.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "treelist/custom_tree_list_control.h"

// Prefix followed by the number.
inline std::string Numbered(const char* Prefix, int N) {
    std::string s(Prefix);
    s += std::to_string(N);
    return s;
}

// A control with Count plain columns named A, B, C...; all in band 0, row 0.
inline std::vector<TvxTreeListColumn*> AddColumns(TCustomvxTreeListControl& tl, int Count) {
    std::vector<TvxTreeListColumn*> columns;
    for (int i = 0; i < Count; ++i) {
        TvxTreeListColumn* column = tl.CreateColumn<TvxTreeListColumn>();
        column->SetName(std::string(1, static_cast<char>('A' + tl.ColumnCount() - 1)));
        columns.push_back(column);
    }
    return columns;
}

// The column names in list order, joined by blanks.
inline std::string ColumnOrder(const TCustomvxTreeListControl& tl) {
    std::string s;
    for (int i = 0; i < tl.ColumnCount(); ++i) {
        if (i) s += ' ';
        s += tl.Columns(i)->Name();
    }
    return s;
}

// The band captions in collection order, joined by blanks.
inline std::string BandOrder(const TCustomvxTreeListControl& tl) {
    std::string s;
    for (int i = 0; i < tl.Bands()->Count(); ++i) {
        if (i) s += ' ';
        s += tl.Bands()->Items(i)->Caption();
    }
    return s;
}

// Band captions "b0", "b1"... for Count bands in all.
inline void MakeBands(TCustomvxTreeListControl& tl, int Count) {
    while (tl.Bands()->Count() < Count) tl.Bands()->Add();
    for (int i = 0; i < Count; ++i) tl.Bands()->Items(i)->SetCaption(Numbered("b", i));
}
