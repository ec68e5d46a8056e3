// Keys typed into a focused tree list window: the Ctrl and plain key tables, Shift ranges
// extended and taken back, Tab with TabStop and TabThrough, header-row steps, the new-item
// row, the incremental search and the expand keys.

#include "platform/forms/application.h"
#include "platform/forms/clipboard.h"
#include "platform/win/virtual_keys.h"
#include "tests/support/ui_driver.h"
#include "tests/treelist/test_column_tree_list.h"
#include "tests/treelist/test_selecting_control.h"
#include "tests/treelist/test_tree_list.h"

namespace {

class TreeListKeys : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<UiDriver>();
        form = new TForm(EnsureApplication());
        form->SetName("KeyForm");
        form->SetBounds(50, 50, 600, 400);
        EnsureApplication()->FormCreated(form);
        tl = new TTestTreeList(form);
        tl->SetBounds(8, 8, 400, 300);
        tl->SetParent(form);
        tl->SetOptions({TvxTLOption::MultiSelect, TvxTLOption::Editing, TvxTLOption::Tabs});
        form->Show();
        driver->Pump();
        tl->SetFocus();
        driver->Pump();
    }
    void TearDown() override {
        ResetApplication();
        driver.reset();
    }
    // Nodes n0..n(count-1), the first focused and selected.
    void Rows(int count) {
        tl->BeginUpdate();
        for (int i = 0; i < count; ++i) tl->AddText(Numbered("n", i));
        tl->EndUpdate();
        tl->GetFirstNode()->SetFocused(true);
        tl->GetFirstNode()->SetSelected(true);
        driver->Pump();
    }
    void Key(uint16_t vk, TShiftState shift = {}) { driver->PressKey(vk, shift); }
    std::string Focused() { return tl->GetFocusedNode() ? tl->GetFocusedNode()->Strings(0) : "-"; }
    // The selected nodes in display order.
    std::string Selected() {
        std::string s;
        for (TvxTreeListNode* n = tl->GetFirstNode(); n; n = tl->GetNextVisibleNode(n))
            if (tl->IsNodeSelected(n)) s += (s.empty() ? "" : " ") + n->Strings(0);
        return s;
    }
    void Ex(TvxTLOptionEx o) { tl->SetOptionsEx(tl->OptionsEx().Include(o)); }
    void Opt(TvxTLOption o) { tl->SetOptions(tl->Options().Include(o)); }

    std::unique_ptr<UiDriver> driver;
    TForm* form = nullptr;
    TTestTreeList* tl = nullptr;
};

// The header line, an empty line, then the selected node's cells.
const char* const kCopiedN0 = "Name\tWert\tTyp\r\n\r\nn0\t\t\r\n";

TEST_F(TreeListKeys, CtrlTableMovesFocusWithoutTouchingTheSelection) {
    Rows(5);
    Key(VK_END, {ssCtrl});
    EXPECT_EQ(Focused(), "n4");
    EXPECT_EQ(Selected(), "n0");
    Key(VK_UP, {ssCtrl});
    EXPECT_EQ(Focused(), "n3");
    Key(VK_HOME, {ssCtrl});
    EXPECT_EQ(Focused(), "n0");
    Key(VK_DOWN, {ssCtrl});
    Key(VK_DOWN, {ssCtrl});
    EXPECT_EQ(Focused(), "n2");
    EXPECT_EQ(Selected(), "n0");
    Key(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(tl->GetFocusedColumn(), 2);
    Key(VK_LEFT, {ssCtrl});
    EXPECT_EQ(tl->GetFocusedColumn(), 0);
    // Ctrl+Space toggles only where Space is not the editor's.
    Key(VK_SPACE, {ssCtrl});
    EXPECT_EQ(Selected(), "n0");
    tl->SetOptions({TvxTLOption::MultiSelect});  // selects the focused node n2
    Key(VK_SPACE, {ssCtrl});
    EXPECT_EQ(Selected(), "");
    tl->GetAbsoluteNode(0)->SetSelected(true);
    Key(VK_SPACE, {ssCtrl});
    EXPECT_EQ(Selected(), "n0 n2");
    EXPECT_EQ(tl->SelectionAnchor(), tl->GetAbsoluteNode(2));
    Key(VK_SPACE, {ssCtrl});
    EXPECT_EQ(Selected(), "n0");
    // Ctrl+Insert copies always; Ctrl+C only with AutoCopySelectedToClipboard.
    Clipboard()->SetAsText("old");
    driver->Type("\x03");
    EXPECT_EQ(Clipboard()->AsText(), "old");
    Key(VK_INSERT, {ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), kCopiedN0);
    Clipboard()->SetAsText("old");
    Ex(TvxTLOptionEx::AutoCopySelectedToClipboard);
    driver->Type("\x03");
    EXPECT_EQ(Clipboard()->AsText(), kCopiedN0);
}

TEST_F(TreeListKeys, PlainKeysSelectTheFocusedNodeAndPageThroughTheView) {
    Rows(60);
    Key(VK_DOWN);
    EXPECT_EQ(Focused(), "n1");
    EXPECT_EQ(Selected(), "n1");
    Key(VK_END);  // a column move without RowSelect
    EXPECT_EQ(tl->GetFocusedColumn(), 2);
    Key(VK_HOME);
    EXPECT_EQ(tl->GetFocusedColumn(), 0);
    EXPECT_EQ(Focused(), "n1");
    const int rows = tl->WhollyVisibleRows();
    ASSERT_GT(rows, 3);
    // Inside the view PgDn goes to its last whole row without scrolling, then a page on.
    Key(VK_NEXT);
    EXPECT_EQ(tl->GetFocusedAbsoluteNodeIndex(), rows - 1);
    EXPECT_EQ(tl->GetTopIndex(), 0);
    Key(VK_NEXT);
    EXPECT_EQ(tl->GetFocusedAbsoluteNodeIndex(), 2 * rows - 2);
    EXPECT_EQ(Selected(), Focused());
    Key(VK_END, {ssShift});
    EXPECT_EQ(Focused(), "n59");
    EXPECT_EQ(tl->GetSelectedCount(), 60 - (2 * rows - 2));
    Key(VK_HOME, {ssCtrl, ssShift});  // a range key: Ctrl+Shift is Shift
    EXPECT_EQ(Focused(), "n0");
    EXPECT_EQ(tl->GetSelectedCount(), 2 * rows - 1);
    Key(VK_ESCAPE);
    EXPECT_EQ(Selected(), "n0");
}

TEST_F(TreeListKeys, ShiftRangesExtendAndTakeBack) {
    Rows(6);
    Key(VK_DOWN);
    tl->SetSelectionAnchor(tl->GetFocusedNode());
    Key(VK_DOWN, {ssShift});
    Key(VK_DOWN, {ssShift});
    Key(VK_DOWN, {ssShift});
    EXPECT_EQ(Selected(), "n1 n2 n3 n4");
    Key(VK_UP, {ssShift});
    Key(VK_UP, {ssShift});
    EXPECT_EQ(Selected(), "n1 n2");
    EXPECT_EQ(Focused(), "n2");
    // Past the anchor the range turns round.
    Key(VK_UP, {ssShift});
    Key(VK_UP, {ssShift});
    EXPECT_EQ(Selected(), "n0 n1");
    // Ctrl+Shift+Down is still the range, Ctrl+Down alone keeps the selection.
    Key(VK_DOWN, {ssCtrl, ssShift});
    EXPECT_EQ(Selected(), "n1");
    Key(VK_DOWN, {ssCtrl});
    EXPECT_EQ(Focused(), "n2");
    EXPECT_EQ(Selected(), "n1");
    // Without Shift the range is dropped.
    Key(VK_DOWN);
    EXPECT_EQ(Selected(), "n3");
    EXPECT_EQ(tl->SelectionAnchor(), nullptr);
}

TEST_F(TreeListKeys, RowSelectWalksTheTreeWithLeftAndRight) {
    Opt(TvxTLOption::RowSelect);
    TvxTreeListNode* a = tl->AddText("a");
    tl->ChildText(a, "a1");
    tl->ChildText(a, "a2");
    tl->AddText("b");
    a->SetFocused(true);
    driver->Pump();
    Key(VK_RIGHT);
    EXPECT_TRUE(a->Expanded());
    Key(VK_RIGHT);
    EXPECT_EQ(Focused(), "a1");
    EXPECT_EQ(Selected(), "a1");
    Key(VK_RIGHT);  // no children: one row down
    EXPECT_EQ(Focused(), "a2");
    Key(VK_LEFT);  // not a first child: one row up
    EXPECT_EQ(Focused(), "a1");
    Key(VK_LEFT);  // a first child: to the parent
    EXPECT_EQ(Focused(), "a");
    EXPECT_EQ(Selected(), "a");
    Key(VK_LEFT);
    EXPECT_FALSE(a->Expanded());
    // '+', '-' and '*' expand and collapse the focused node.
    driver->Type("+");
    EXPECT_TRUE(a->Expanded());
    driver->Type("-");
    EXPECT_FALSE(a->Expanded());
    driver->Type("*");
    EXPECT_TRUE(a->Expanded());
    // Tab moves by rows with RowSelect.
    Key(VK_TAB);
    EXPECT_EQ(Focused(), "a1");
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(Focused(), "a");
}

TEST_F(TreeListKeys, HorzThroughWrapsLeftAndRightToTheNeighbourNodes) {
    Rows(3);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);  // stays on the last column
    EXPECT_EQ(Focused(), "n0");
    EXPECT_EQ(tl->GetFocusedColumn(), 2);
    Ex(TvxTLOptionEx::HorzThrough);
    Key(VK_RIGHT);
    EXPECT_EQ(Focused(), "n1");
    EXPECT_EQ(tl->GetFocusedColumn(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(Focused(), "n0");
    EXPECT_EQ(tl->GetFocusedColumn(), 2);
}

TEST_F(TreeListKeys, IncrementalSearchTypesBacksUpAndSteps) {
    tl->SetOptions({TvxTLOption::MultiSelect});
    Ex(TvxTLOptionEx::AutoSearch);
    for (const char* name : {"Anna", "Bernd", "Berta", "Bruno", "Berti"}) tl->AddText(name);
    tl->GetFirstNode()->SetFocused(true);
    driver->Pump();
    driver->Type("be");
    EXPECT_TRUE(tl->SearchActive());
    EXPECT_EQ(tl->SearchText(), "be");
    EXPECT_EQ(Focused(), "Bernd");
    driver->Type("x");  // no match: the character is dropped
    EXPECT_EQ(tl->SearchText(), "be");
    Key(VK_RETURN, {ssCtrl});
    EXPECT_EQ(Focused(), "Berta");
    Key(VK_RETURN, {ssCtrl});
    EXPECT_EQ(Focused(), "Berti");
    Key(VK_RETURN, {ssShift});
    EXPECT_EQ(Focused(), "Berta");
    Key(VK_BACK);
    EXPECT_EQ(tl->SearchText(), "b");
    // A Ctrl shortcut is not typed text.
    driver->PressKey('R', {ssCtrl});
    EXPECT_EQ(tl->SearchText(), "b");
    Key(VK_ESCAPE);
    EXPECT_FALSE(tl->SearchActive());
}

// Columns in two header rows; Tab skips columns without TabStop.
class TreeListColumnKeys : public TreeListKeys {
protected:
    void SetUp() override {
        TreeListKeys::SetUp();
        grid = new TSelectingControl(form);
        grid->SetBounds(8, 8, 500, 300);
        cols = AddColumns(*grid, 4);
        grid->SetParent(form);
        grid->SetOptions({TvxTLOption::MultiSelect, TvxTLOption::Editing, TvxTLOption::Tabs});
        for (int i = 0; i < 3; ++i) grid->Add()->SetStrings(0, Numbered("r", i));
        grid->GetFirstNode()->SetFocused(true);
        grid->SetFocus();
        driver->Pump();
    }
    int FocusedAbsolute() { return grid->GetAbsoluteColumnIndex(grid->GetFocusedColumn()); }
    std::string GridFocused() { return grid->GetFocusedNode() ? grid->GetFocusedNode()->Strings(0) : "-"; }
    std::string GridSelected() {
        std::string s;
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = grid->GetNextVisibleNode(n))
            if (grid->IsNodeSelected(n)) s += (s.empty() ? "" : " ") + n->Strings(0);
        return s;
    }
    TSelectingControl* grid = nullptr;
    std::vector<TvxTreeListColumn*> cols;
};

TEST_F(TreeListColumnKeys, TabSkipsColumnsWithoutTabStopAndWrapsWithTabThrough) {
    cols[1]->SetTabStop(false);
    cols[3]->SetTabStop(false);
    Key(VK_TAB);
    EXPECT_EQ(FocusedAbsolute(), 2);
    Key(VK_TAB);  // nothing focusable after it, no TabThrough: clamped, stays
    EXPECT_EQ(FocusedAbsolute(), 2);
    EXPECT_EQ(grid->GetFocusedNode()->Strings(0), "r0");
    grid->SetOptions(grid->Options().Include(TvxTLOption::TabThrough));
    Key(VK_TAB);
    EXPECT_EQ(grid->GetFocusedNode()->Strings(0), "r1");
    EXPECT_EQ(FocusedAbsolute(), 0);
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(grid->GetFocusedNode()->Strings(0), "r0");
    EXPECT_EQ(FocusedAbsolute(), 2);
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(FocusedAbsolute(), 0);
}

TEST_F(TreeListColumnKeys, VertThroughWalksTheHeaderRowsBeforeTheNodes) {
    grid->SetHeaderPanelRowCount(2);
    cols[2]->SetRowIndex(1);
    cols[3]->SetRowIndex(1);
    driver->Pump();
    ASSERT_EQ(grid->GetBandRowCountOf(0), 2);
    grid->SetOptionsEx(grid->OptionsEx().Include(TvxTLOptionEx::VertThrough));
    Key(VK_RIGHT);  // B, row 0 position 1
    ASSERT_EQ(FocusedAbsolute(), 1);
    Key(VK_DOWN);
    EXPECT_EQ(FocusedAbsolute(), 3);
    EXPECT_EQ(grid->GetFocusedNode()->Strings(0), "r0");
    Key(VK_DOWN);  // last row: the next node, first row
    EXPECT_EQ(FocusedAbsolute(), 1);
    EXPECT_EQ(grid->GetFocusedNode()->Strings(0), "r1");
    Key(VK_UP);
    EXPECT_EQ(FocusedAbsolute(), 3);
    EXPECT_EQ(grid->GetFocusedNode()->Strings(0), "r0");
    Key(VK_UP);
    Key(VK_UP);  // row 0 of the first node: the plain Up
    EXPECT_EQ(FocusedAbsolute(), 1);
    EXPECT_EQ(grid->GetFocusedNode()->Strings(0), "r0");
}

TEST_F(TreeListColumnKeys, NewItemRowIsReachedByUpAndLeftByDown) {
    grid->SetShowNewItemRow(true);
    driver->Pump();
    ASSERT_TRUE(grid->IsNewItemRowVisible());
    Key(VK_DOWN);
    Key(VK_UP);
    EXPECT_FALSE(grid->NewItemRowActive());
    Key(VK_UP);
    EXPECT_TRUE(grid->NewItemRowActive());
    grid->GetAbsoluteNode(2)->SetSelected(true);
    Key(VK_DOWN);
    EXPECT_FALSE(grid->NewItemRowActive());
    EXPECT_EQ(GridFocused(), "r0");
    EXPECT_EQ(GridSelected(), "r0");
    Key(VK_PRIOR);
    EXPECT_TRUE(grid->NewItemRowActive());
    Key(VK_NEXT, {ssCtrl});  // with Ctrl the selection stays
    EXPECT_FALSE(grid->NewItemRowActive());
    EXPECT_EQ(GridSelected(), "r0");
}

}  // namespace
