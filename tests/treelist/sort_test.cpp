// Sorting node lists: by one column or a chain of sorted columns, by OnCompare, by locale
// strings, by level, and robust against comparisons that are no order at all.

#include <random>

#include "platform/forms/screen.h"
#include "tests/treelist/test_tree_list.h"

namespace {

struct SortTree : TTestTreeList {
    // Multi-column sorts: the sorted columns in sort order with their directions.
    std::vector<std::pair<int, bool>> Sorted;
    int GetSortedColumnCount() override { return static_cast<int>(Sorted.size()); }
    int GetSortedColumnIndex(int Index) override { return Sorted.at(static_cast<size_t>(Index)).first; }
    bool IsSortedColumnDescending(int Index) override { return Sorted.at(static_cast<size_t>(Index)).second; }

    TvxTreeListNode* Row(const std::string& name, const std::string& second, TvxTreeListNode* parent = nullptr) {
        auto* n = parent ? ChildText(parent, name) : AddText(name);
        n->SetStrings(1, second);
        return n;
    }
};

}  // namespace

TEST(TreeListSort, OneColumnAscendingAndDescendingWithNumbersAsNumbers) {
    SortTree tl;
    auto* a = tl.Row("10", "");
    auto* b = tl.Row("9", "");
    auto* c = tl.Row("100", "");
    tl.SortValues[{a, 0}] = 10;
    tl.SortValues[{b, 0}] = 9;
    tl.SortValues[{c, 0}] = 100;
    tl.SortNodes(-1, 0, false);
    EXPECT_EQ(ChildNames(tl, nullptr), "9 10 100");
    tl.SortNodes(-1, 0, true);
    EXPECT_EQ(ChildNames(tl, nullptr), "100 10 9");
    // The visible-node list follows the new order.
    EXPECT_EQ(tl.GetAbsoluteIndex(b), 2);
}

TEST(TreeListSort, EqualKeysKeepOneFixedOrderInBothDirections) {
    SortTree tl;
    auto* x = tl.Row("x", "");
    auto* y = tl.Row("y", "");
    tl.SortValues[{x, 0}] = 1;
    tl.SortValues[{y, 0}] = 1;
    tl.SortNodes(-1, 0, false);
    const std::string ascending = ChildNames(tl, nullptr);
    tl.SortNodes(-1, 0, true);
    EXPECT_EQ(ChildNames(tl, nullptr), ascending);
    EXPECT_EQ(tl.CompareValues(x, y), -tl.CompareValues(y, x));
    EXPECT_EQ(tl.CompareValues(x, x), 0);
}

TEST(TreeListSort, OnCompareDecidesEvenForADescendingColumn) {
    SortTree tl;
    for (const char* n : {"b", "c", "a"}) tl.Row(n, "");
    tl.OnCompare = [](TObject*, TvxTreeListNode* n1, TvxTreeListNode* n2, int& compare) {
        compare = n1->Strings(0).compare(n2->Strings(0));
    };
    tl.SortNodes(-1, 0, true);
    EXPECT_EQ(ChildNames(tl, nullptr), "a b c");
}

TEST(TreeListSort, ChainsOrderEachSortedColumnInItsOwnDirection) {
    SortTree tl;
    tl.Row("r1", "x");
    tl.Row("r2", "y");
    tl.Row("r3", "x");
    tl.Row("r4", "y");
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Include(TvxTLOptionEx::MultiSort));
    tl.Sorted = {{1, true}, {0, false}};  // column 1 descending, then column 0 ascending
    tl.SortNodes(-1, 0, false);
    EXPECT_EQ(ChildNames(tl, nullptr), "r2 r4 r1 r3");
    // Without MultiSort the call's column and direction decide alone.
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Exclude(TvxTLOptionEx::MultiSort));
    tl.SortNodes(-1, 0, true);
    EXPECT_EQ(ChildNames(tl, nullptr), "r4 r3 r2 r1");
}

TEST(TreeListSort, AnsiSortComparesStringsByTheLocale) {
    SortTree tl;
    for (const char* n : {"b", "B", "a", "A"}) tl.Row(n, "");
    tl.SortNodes(-1, 0, false);
    EXPECT_EQ(ChildNames(tl, nullptr), "A B a b");  // bytes
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Include(TvxTLOptionEx::AnsiSort));
    tl.SortNodes(-1, 0, false);
    EXPECT_EQ(ChildNames(tl, nullptr), "a A b B");  // letters first, lower case before upper
}

TEST(TreeListSort, OneLevelOnly) {
    SortTree tl;
    auto* b = tl.Row("b", "");
    auto* a = tl.Row("a", "");
    auto* b2 = tl.Row("b2", "", b);
    tl.Row("b1", "", b);
    tl.Row("z", "", b2);
    tl.Row("y", "", b2);
    tl.Row("a2", "", a);
    tl.Row("a1", "", a);
    tl.SortNodes(1, 0, false);
    EXPECT_EQ(ChildNames(tl, nullptr), "b a");
    EXPECT_EQ(ChildNames(tl, b), "b1 b2");
    EXPECT_EQ(ChildNames(tl, a), "a1 a2");
    EXPECT_EQ(ChildNames(tl, b2), "z y");
}

TEST(TreeListSort, HourglassIsRestoredWhenAComparisonRaises) {
    SortTree tl;
    for (const char* n : {"b", "a", "c"}) tl.Row(n, "");
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Include(TvxTLOptionEx::ShowHourGlass));
    EnsureScreen()->SetCursor(crDefault);
    TCursor during = crDefault;
    tl.OnCompare = [&](TObject*, TvxTreeListNode*, TvxTreeListNode*, int&) {
        during = EnsureScreen()->Cursor();
        throw Exception("compare");
    };
    EXPECT_THROW(tl.SortNodes(-1, 0, false), Exception);
    EXPECT_EQ(during, crHourGlass);
    EXPECT_EQ(EnsureScreen()->Cursor(), crDefault);
    EXPECT_EQ(ChildNames(tl, nullptr), "b a c");
    EXPECT_EQ(DisplayNames(tl), "b a c");
}

TEST(TreeListSort, RandomComparisonsLeaveAPermutation) {
    SortTree tl;
    std::vector<TvxTreeListNode*> before;
    for (int i = 0; i < 300; ++i) before.push_back(tl.Row(std::to_string(i), ""));
    std::mt19937 rng(7);
    tl.OnCompare = [&](TObject*, TvxTreeListNode*, TvxTreeListNode*, int& compare) {
        compare = std::uniform_int_distribution<int>(-2, 2)(rng);
    };
    tl.SortNodes(-1, 0, false);
    std::vector<TvxTreeListNode*> after;
    for (int i = 0; i < tl.GetCount(); ++i) after.push_back(tl.GetItem(i));
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    EXPECT_EQ(tl.GetAbsoluteCount(), 300);
}
