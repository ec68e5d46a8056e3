// Incremental search and copying rows as text.

#include "platform/classes/string_list.h"
#include "platform/forms/clipboard.h"
#include "tests/treelist/test_tree_list.h"
#include "treelist/tree_list_routines.h"

namespace {

// Anna, Berta (Bernd, Brigitte), Bert, Carla
struct SearchTree : ::testing::Test {
    void SetUp() override {
        tl.SetRows(10);
        anna = tl.AddText("Anna");
        berta = tl.AddText("Berta");
        bernd = tl.ChildText(berta, "Bernd");
        brigitte = tl.ChildText(berta, "Brigitte");
        bert = tl.AddText("Bert");
        carla = tl.AddText("Carla");
    }
    TTestTreeList tl;
    TvxTreeListNode *anna, *berta, *bernd, *brigitte, *bert, *carla;
};

}  // namespace

TEST_F(SearchTree, PrefixIgnoresCaseAndExpandsIntoCollapsedBranches) {
    EXPECT_TRUE(tl.StartSearch(0, "ber"));
    EXPECT_EQ(tl.GetFocusedNode(), berta);
    std::string text = "bern";
    tl.DoIncrementalSearch(text, 0, false);
    EXPECT_EQ(tl.GetFocusedNode(), bernd);
    EXPECT_TRUE(berta->Expanded());
    EXPECT_EQ(text, "bern");
}

TEST_F(SearchTree, WithoutAutoExpandCollapsedBranchesAreSkipped) {
    tl.SetAutoExpandOnSearch(false);
    EXPECT_TRUE(tl.StartSearch(0, "b"));
    std::string text = "br";
    tl.DoIncrementalSearch(text, 0, false);
    EXPECT_EQ(tl.GetFocusedNode(), berta);
    EXPECT_EQ(text, "b");  // nothing matched: the last character goes
    EXPECT_FALSE(berta->Expanded());
}

TEST_F(SearchTree, NextAndPreviousWrapAndStopBeforeTheStart) {
    tl.StartSearch(0, "bert");
    ASSERT_EQ(tl.GetFocusedNode(), berta);
    std::string text = "bert";
    tl.DoIncrementalSearch(text, 2, false);
    EXPECT_EQ(tl.GetFocusedNode(), bert);
    tl.DoIncrementalSearch(text, 2, false);  // wraps around to Berta
    EXPECT_EQ(tl.GetFocusedNode(), berta);
    tl.DoIncrementalSearch(text, 1, false);  // backward: wraps to the end, finds Bert
    EXPECT_EQ(tl.GetFocusedNode(), bert);

    // The only match is the start node: the next search finds nothing and moves nothing.
    text = "carla";
    carla->SetFocused(true);
    TvxTreeListNode* found = nullptr;
    EXPECT_FALSE(tl.FindNodeByText(0, text, found, 2));
    EXPECT_TRUE(tl.FindNodeByText(0, text, found, 0));
    EXPECT_EQ(found, carla);
}

TEST_F(SearchTree, FailedStartClearsTheTextAndAHiddenStartStillEnds) {
    EXPECT_FALSE(tl.StartSearch(0, "zz"));
    EXPECT_EQ(tl.SearchText(), "");
    // A focused node inside a collapsed branch is never met by a display-order walk.
    tl.SetAutoExpandOnSearch(false);
    tl.BeginUpdate();
    tl.ChangeFocus(bernd, 0, false);
    tl.EndUpdate();
    TvxTreeListNode* found = nullptr;
    EXPECT_FALSE(tl.FindNodeByText(0, "zz", found, 2));
    EXPECT_FALSE(tl.FindNodeByText(0, "zz", found, 1));
}

TEST_F(SearchTree, MovingTheFocusEndsTheHighlightUnlessTheSearchMovesIt) {
    tl.StartSearch(0, "b");
    EXPECT_TRUE(tl.SearchActive());
    std::string text = "b";
    tl.DoIncrementalSearch(text, 2, false);
    EXPECT_TRUE(tl.SearchActive());
    carla->SetFocused(true);
    EXPECT_FALSE(tl.SearchActive());
}

TEST_F(SearchTree, CopyAllAndSelectedRows) {
    tl.Captions = {"Name", "Wert"};
    berta->SetStrings(1, "2");
    TStringList all;
    tl.SaveAllToStrings(&all);
    ASSERT_EQ(all.Count(), 5);
    EXPECT_EQ(all.Strings(0), "Name\tWert\r\n");
    EXPECT_EQ(all.Strings(2), "Berta\t2");  // collapsed children are not copied

    tl.SetOptions(TvxTreeListOptions(tl.Options()).Include(TvxTLOption::MultiSelect));
    carla->SetSelected(true);
    bernd->SetSelected(true);
    anna->SetSelected(true);
    tl.CopySelectedToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "Name\tWert\r\n\r\nAnna\t\r\nBernd\t\r\nCarla\t\r\n");

    tl.SetOptions(TvxTreeListOptions(tl.Options()).Exclude(TvxTLOption::MultiSelect));
    bert->SetFocused(true);
    TStringList one;
    tl.SaveSelectedToStrings(&one);
    EXPECT_EQ(one.Text(), "Name\tWert\r\n\r\nBert\t\r\n");
}

TEST(TreeListRoutines, TreeOrderTextAndRanges) {
    TTestTreeList tl;
    auto* a = tl.AddText("a");
    auto* a1 = tl.ChildText(a, "a1");
    auto* a11 = tl.ChildText(a1, "a11");
    auto* b = tl.AddText("b");
    auto* b1 = tl.ChildText(b, "b1");
    EXPECT_EQ(CompareNodeOrder(a11, a), 1);
    EXPECT_EQ(CompareNodeOrder(a, a11), -1);
    EXPECT_LT(CompareNodeOrder(a11, b1), 0);
    EXPECT_GT(CompareNodeOrder(b, a11), 0);
    EXPECT_EQ(CompareNodeOrder(b1, b1), 0);

    EXPECT_TRUE(SameUpperText("straße", "STRAßE"));
    EXPECT_TRUE(SameUpperText("äbc", "ÄBC"));
    EXPECT_FALSE(SameUpperText("ab", "abc"));

    EXPECT_TRUE(RangesIntersect(1, 5, 5, 9));
    EXPECT_TRUE(RangesIntersect(1, 9, 3, 4));  // B inside A
    EXPECT_FALSE(RangesIntersect(1, 2, 3, 4));
    EXPECT_EQ(CompareIntegers(INT32_MIN, 1), -1);
}
