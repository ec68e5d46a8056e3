// The control's core: construction values and limits, options, focus and top-row
// bookkeeping across deletions, focus changes and the interaction state.

#include "platform/gdi/image_list.h"
#include "tests/treelist/test_tree_list.h"

TEST(TreeListCore, ConstructionValuesAndLimits) {
    TTestTreeList tl;
    EXPECT_EQ(tl.Options().Bits(), 55u);
    EXPECT_EQ(tl.OptionsEx().Bits(), 12350u);
    EXPECT_EQ(tl.ArrowsColor(), clLime);
    EXPECT_EQ(tl.GridLineColor(), clNone);
    EXPECT_TRUE(tl.HideSelection());
    EXPECT_FALSE(tl.ShowGrid());
    EXPECT_EQ(tl.PreviewFont()->Color(), clBlue);
    EXPECT_EQ(tl.Width(), 250);
    EXPECT_EQ(tl.Height(), 150);
    EXPECT_TRUE(tl.TabStop());
    EXPECT_EQ(tl.GetTopIndex(), -1);
    EXPECT_EQ(tl.State(), 0);

    tl.SetCustomizingRowCount(1);
    tl.SetFixedBandLineWidth(0);
    tl.SetRowSeparatorLineWidth(-3);
    tl.SetIndentDesc(-1);
    tl.SetMaxRowLineCount(-7);
    tl.SetPreviewLines(-2);
    EXPECT_EQ(tl.CustomizingRowCount(), 2);
    EXPECT_EQ(tl.FixedBandLineWidth(), 1);
    EXPECT_EQ(tl.RowSeparatorLineWidth(), 1);
    EXPECT_EQ(tl.IndentDesc(), 0);
    EXPECT_EQ(tl.MaxRowLineCount(), -1);
    EXPECT_EQ(tl.PreviewLines(), -1);
    tl.SetDefaultRowHeight(21);
    EXPECT_TRUE(tl.DefaultRowHeightAssigned());
}

TEST(TreeListCore, RowSelectAndInvertSelectExcludeEachOther) {
    TTestTreeList tl;
    EXPECT_TRUE(tl.IsRowSelect());
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Include(TvxTLOptionEx::InvertSelect));
    EXPECT_TRUE(tl.IsInvertSelect());
    EXPECT_FALSE(tl.IsRowSelect());
    tl.SetOptions(TvxTreeListOptions(tl.Options()).Include(TvxTLOption::RowSelect));
    EXPECT_TRUE(tl.IsRowSelect());
    EXPECT_FALSE(tl.IsInvertSelect());
    // Tests that combine options.
    tl.SetOptionsEx(TvxTreeListOptionsEx{TvxTLOptionEx::EnterThrough});
    EXPECT_FALSE(tl.IsEnterThrough());
    tl.SetOptionsEx(TvxTreeListOptionsEx{TvxTLOptionEx::EnterThrough, TvxTLOptionEx::EnterShowEditor});
    EXPECT_TRUE(tl.IsEnterThrough());
}

TEST(TreeListCore, DeletedFocusTopAndAnchorMoveToThePriorElseTheNextNode) {
    TTestTreeList tl;
    tl.SetRows(10);
    auto* a = tl.AddText("a");
    auto* b = tl.AddText("b");
    auto* c = tl.AddText("c");
    int changes = 0;
    tl.OnChangeNode = [&](TObject*, TvxTreeListNode*, TvxTreeListNode*) { ++changes; };
    b->SetFocused(true);
    changes = 0;
    tl.SetTopVisibleNode(b);
    tl.SetSelectionAnchor(b);

    b->Free();
    EXPECT_EQ(tl.GetFocusedNode(), a);
    EXPECT_EQ(tl.TopVisibleNode(), a);
    EXPECT_EQ(tl.SelectionAnchor(), a);
    a->Free();  // the first node: its successor takes over
    EXPECT_EQ(tl.GetFocusedNode(), c);
    EXPECT_EQ(tl.TopVisibleNode(), c);
    EXPECT_EQ(tl.SelectionAnchor(), c);
    EXPECT_EQ(changes, 0);

    tl.WholeInvalidates = 0;
    c->Free();
    EXPECT_EQ(tl.GetFocusedNode(), nullptr);
    EXPECT_EQ(tl.TopVisibleNode(), nullptr);
    EXPECT_EQ(tl.SelectionAnchor(), nullptr);
    EXPECT_GT(tl.WholeInvalidates, 0);

    // With no nodes both ends count as focused and nothing moves.
    EXPECT_TRUE(tl.IsFirstFocused());
    EXPECT_TRUE(tl.IsLastFocused());
    EXPECT_EQ(tl.MoveFocus(2, false), nullptr);
}

TEST(TreeListCore, FirstNodeBecomesTopAndFocusedWithoutEvents) {
    TTestTreeList tl;
    int changes = 0;
    tl.OnChangeNode = [&](TObject*, TvxTreeListNode*, TvxTreeListNode*) { ++changes; };
    auto* a = tl.AddText("a");
    tl.AddText("b");
    EXPECT_EQ(tl.TopVisibleNode(), a);
    EXPECT_EQ(tl.GetFocusedNode(), a);
    EXPECT_EQ(changes, 0);
}

TEST(TreeListCore, ChangeFocusFiresNodeAndColumnEventsByWhatChanged) {
    TTestTreeList tl;
    tl.SetRows(10);
    auto* a = tl.AddText("a");
    auto* b = tl.AddText("b");
    std::vector<std::string> log;
    tl.OnChangeNode = [&](TObject*, TvxTreeListNode* o, TvxTreeListNode* n) {
        log.push_back("node " + o->Strings(0) + ">" + n->Strings(0));
    };
    tl.OnChangeColumn = [&](TObject*, TvxTreeListNode*, int c) { log.push_back("column " + std::to_string(c)); };

    // RowSelect (the default): only the node counts.
    tl.ChangeFocus(b, 2, false);
    tl.ChangeFocus(b, 1, false);
    EXPECT_EQ(log, (std::vector<std::string>{"node a>b"}));

    log.clear();
    tl.SetOptions(TvxTreeListOptions(tl.Options()).Exclude(TvxTLOption::RowSelect));
    tl.ChangeFocus(b, 2, false);
    EXPECT_EQ(log, (std::vector<std::string>{"column 2"}));
    EXPECT_EQ(tl.GetFocusedColumn(), 2);
    log.clear();
    tl.ChangeFocus(a, 1, false);
    EXPECT_EQ(log, (std::vector<std::string>{"node b>a", "column 1"}));

    // Inside an update lock focus is only stored.
    log.clear();
    tl.BeginUpdate();
    tl.ChangeFocus(b, 0, true);
    tl.EndUpdate();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(tl.GetFocusedNode(), b);
}

TEST(TreeListCore, FocusByDisplayIndexIsClampedAndScrollsIntoView) {
    TTestTreeList tl;
    tl.SetRows(2);
    auto* a = tl.AddText("a");
    auto* a1 = tl.ChildText(a, "a1");
    tl.AddText("b");
    auto* c = tl.AddText("c");
    tl.SetFocusedAbsoluteNodeIndex(99);
    EXPECT_EQ(tl.GetFocusedNode(), c);
    EXPECT_EQ(tl.TopVisibleNode(), tl.GetItem(1));  // c is the last row that fits
    tl.SetFocusedAbsoluteNodeIndex(-5);
    EXPECT_EQ(tl.GetFocusedNode(), a);
    EXPECT_EQ(tl.TopVisibleNode(), a);

    // Making a hidden node visible expands its ancestors.
    a1->MakeVisible();
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(tl.GetAbsoluteIndex(a1), 1);
}

TEST(TreeListCore, NeighbourNodesInEveryDirection) {
    TTestTreeList tl;
    auto* a = tl.AddText("a");
    auto* a1 = tl.ChildText(a, "a1");
    auto* b = tl.AddText("b");
    auto* b1 = tl.ChildText(b, "b1");
    auto* b11 = tl.ChildText(b1, "b11");
    EXPECT_EQ(tl.GetNeighbourNode(b, 1, true), a);   // display order, not a1
    EXPECT_EQ(tl.GetNeighbourNode(a, 2, true), a1);  // full tree order while collapsed
    EXPECT_EQ(tl.GetNeighbourNode(a, 2, false), b);
    EXPECT_EQ(tl.GetNeighbourNode(a, 3, false), b);
    EXPECT_EQ(tl.GetNeighbourNode(a, 3, true), b11);  // into collapsed branches
    EXPECT_EQ(tl.GetNeighbourNode(a, 7, true), nullptr);
    EXPECT_EQ(tl.GetNeighbourNode(nullptr, 0, true), nullptr);
    (void)b1;
}

TEST(TreeListCore, MovingTheFocusCarriesASingleSelectionAlong) {
    TTestTreeList tl;
    tl.SetRows(10);
    tl.SetOptions(TvxTreeListOptions(tl.Options()).Include(TvxTLOption::MultiSelect));
    auto* a = tl.AddText("a");
    auto* b = tl.AddText("b");
    auto* c = tl.AddText("c");
    a->SetSelected(true);
    EXPECT_TRUE(tl.FocusNext(false));
    EXPECT_EQ(tl.SelectedNodes, (std::vector<TvxTreeListNode*>{b}));
    c->SetSelected(true);
    EXPECT_TRUE(tl.FocusNext(false));
    EXPECT_EQ(tl.GetFocusedNode(), c);
    EXPECT_EQ(tl.SelectedNodes, (std::vector<TvxTreeListNode*>{b, c}));
    EXPECT_FALSE(tl.FocusNext(false));
    EXPECT_TRUE(tl.IsLastFocused());
}

TEST(TreeListCore, StateChangesAndEditorRequests) {
    TTestTreeList tl;
    tl.AddText("a");
    // Editing needs the Editing option and no row select.
    tl.ShowEditor();
    EXPECT_EQ(tl.State(), 0);
    tl.SetOptions(TvxTreeListOptions(tl.Options()).Exclude(TvxTLOption::RowSelect));
    tl.SetFocusedColumn(1);
    int asked = 0;
    tl.OnEditing = [&](TObject*, TvxTreeListNode*, bool& allow) {
        ++asked;
        allow = false;
    };
    tl.ShowEditor();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(tl.State(), 0);
    tl.OnEditing = nullptr;
    tl.ShowEditor();
    EXPECT_EQ(tl.State(), 2);
    EXPECT_TRUE(tl.IsEditing());
    tl.CloseEditor();
    EXPECT_EQ(tl.State(), 0);

    // Entering editing ends an incremental search; an update lock ends any state.
    tl.StartSearch(0, "a");
    EXPECT_TRUE(tl.SearchActive());
    tl.SetState(2);
    EXPECT_FALSE(tl.SearchActive());
    tl.SetState(6);
    tl.BeginUpdate();
    EXPECT_EQ(tl.State(), 0);
    tl.EndUpdate();
    for (uint8_t s : {1, 3, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}) {
        tl.SetState(s);
        tl.CancelDragSizing();
        EXPECT_EQ(tl.State(), 0) << int(s);
    }
}

TEST(TreeListCore, FreedImageListIsForgottenAndChangesReLayOut) {
    auto tl = std::make_unique<TTestTreeList>();
    auto images = std::make_unique<TImageList>(nullptr);
    tl->SetImages(images.get());
    tl->SetStateImages(images.get());
    tl->WholeInvalidates = 0;
    images->SetWidth(20);  // a change of the list re-lays out the control
    EXPECT_GT(tl->WholeInvalidates, 0);
    images.reset();
    EXPECT_EQ(tl->Images(), nullptr);
    EXPECT_EQ(tl->StateImages(), nullptr);
    tl->SetLookAndFeel(lfFlat);
    EXPECT_EQ(tl->GetEditButtonViewStyle(xbs3D), bts3D);
}
