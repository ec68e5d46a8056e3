// Presses and releases on a tree list window: click selection with Shift and Ctrl, the
// reduction on release, header clicks and the sort cycle, sizing and best fit at header
// edges, and the editor opened by a click on the focused cell.

#include "platform/forms/application.h"
#include "platform/gdi/system_metrics.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/virtual_keys.h"
#include "tests/support/ui_driver.h"
#include "tests/treelist/test_column_tree_list.h"
#include "tests/treelist/test_selecting_control.h"

namespace {

class TreeListMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        driver = std::make_unique<UiDriver>();
        form = new TForm(EnsureApplication());
        form->SetName("MouseForm");
        form->SetBounds(50, 50, 600, 400);
        EnsureApplication()->FormCreated(form);
        grid = new TSelectingControl(form);
        grid->SetBounds(8, 8, 500, 300);
        cols = AddColumns(*grid, 3);
        for (TvxTreeListColumn* c : cols) c->SetWidth(100);
        grid->SetParent(form);
        grid->SetOptions({TvxTLOption::MultiSelect, TvxTLOption::Editing, TvxTLOption::ColumnSizing});
        for (int i = 0; i < 6; ++i) grid->Add()->SetStrings(0, Numbered("r", i));
        form->Show();
        driver->Pump();
    }
    void TearDown() override {
        ResetApplication();
        driver.reset();
    }
    TPoint CellPoint(int row, int column) {
        TRect r = grid->GetCellRect(grid->GetAbsoluteNode(row), column);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    TRect HeaderRect(int column) {
        TvxTreeListLayout layout;
        grid->CalcLayout(layout);
        const TvxTreeListHeaderCellEntry* cell = layout.FindCell(column);
        TRect r = cell ? cell->Rect : TRect{};
        TCustomvxTreeList::FreeLayout(layout);
        return r;
    }
    TPoint HeaderPoint(int column) {
        TRect r = HeaderRect(column);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void Down(TPoint p) {
        driver->MouseDown(grid, p);
        driver->Pump();
    }
    void Up(TPoint p) {
        driver->MouseUp(grid, p);
        driver->Pump();
    }
    void Move(TPoint p) {
        driver->MoveTo(grid, p);
        driver->Pump();
    }
    // A click with modifier keys held around it; the clock moves past the double-click time
    // first, so that clicks never pair up.
    void Click(TPoint p, TShiftState shift = {}) {
        clock->Advance(GetDoubleClickTime() + 1);
        if (shift.Contains(ssShift)) InjectKey(VK_SHIFT, true);
        if (shift.Contains(ssCtrl)) InjectKey(VK_CONTROL, true);
        Down(p);
        Up(p);
        if (shift.Contains(ssCtrl)) InjectKey(VK_CONTROL, false);
        if (shift.Contains(ssShift)) InjectKey(VK_SHIFT, false);
        driver->Pump();
    }
    std::string Selected() {
        std::string s;
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = grid->GetNextVisibleNode(n))
            if (grid->IsNodeSelected(n)) s += (s.empty() ? "" : " ") + n->Strings(0);
        return s;
    }
    std::string Focused() { return grid->GetFocusedNode() ? grid->GetFocusedNode()->Strings(0) : "-"; }

    ScopedManualClock clock;
    std::unique_ptr<UiDriver> driver;
    TForm* form = nullptr;
    TSelectingControl* grid = nullptr;
    std::vector<TvxTreeListColumn*> cols;
};

TEST_F(TreeListMouse, ClicksSelectWithShiftRangesAndCtrlToggles) {
    Click(CellPoint(1, 0));
    EXPECT_EQ(Focused(), "r1");
    EXPECT_EQ(Selected(), "r1");
    EXPECT_EQ(grid->SelectionAnchor(), grid->GetAbsoluteNode(1));
    Click(CellPoint(3, 0), {ssShift});
    EXPECT_EQ(Selected(), "r1 r2 r3");
    Click(CellPoint(2, 0), {ssCtrl});
    EXPECT_EQ(Selected(), "r1 r3");
    EXPECT_EQ(grid->SelectionAnchor(), grid->GetAbsoluteNode(2));
    // Shift from the new anchor replaces the selection.
    Click(CellPoint(4, 0), {ssShift});
    EXPECT_EQ(Selected(), "r2 r3 r4");
    // Ctrl+Shift adds the range to it.
    Click(CellPoint(0, 0), {ssCtrl, ssShift});
    EXPECT_EQ(Selected(), "r0 r1 r2 r3 r4");
    // Without an anchor Shift extends from the node focused before the click.
    grid->SetSelectionAnchor(nullptr);
    Click(CellPoint(5, 0), {ssShift});
    EXPECT_EQ(Selected(), "r0 r1 r2 r3 r4 r5");
}

TEST_F(TreeListMouse, PressOnASelectedNodeReducesTheSelectionOnRelease) {
    Click(CellPoint(0, 0));
    Click(CellPoint(3, 0), {ssShift});
    ASSERT_EQ(Selected(), "r0 r1 r2 r3");
    clock->Advance(GetDoubleClickTime() + 1);
    Down(CellPoint(2, 0));
    EXPECT_EQ(Selected(), "r0 r1 r2 r3");
    EXPECT_EQ(Focused(), "r2");
    Up(CellPoint(2, 0));
    EXPECT_EQ(Selected(), "r2");
    EXPECT_EQ(grid->SelectionAnchor(), grid->GetAbsoluteNode(2));
}

TEST_F(TreeListMouse, HeaderClicksOnlyWhenReleasedOverItself) {
    int clicks = 0;
    TvxTreeListColumn* clicked = nullptr;
    grid->OnColumnClick = [&](TObject*, TvxTreeListColumn* c) {
        ++clicks;
        clicked = c;
    };
    Down(HeaderPoint(0));
    EXPECT_EQ(grid->State(), 4);
    EXPECT_EQ(grid->PressedHeader(), 0);
    Move(HeaderPoint(1));
    EXPECT_EQ(grid->PressedHeader(), -1);
    Up(HeaderPoint(1));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(grid->State(), 0);
    clock->Advance(GetDoubleClickTime() + 1);
    Down(HeaderPoint(1));
    Move(HeaderPoint(0));
    Move(HeaderPoint(1));
    EXPECT_EQ(grid->PressedHeader(), 1);
    Up(HeaderPoint(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clicked, cols[1]);
}

TEST_F(TreeListMouse, HeaderClicksCycleTheSortAndCtrlClickClearsIt) {
    grid->SetOptions(grid->Options().Include(TvxTLOption::AutoSort));
    Click(HeaderPoint(0));
    EXPECT_EQ(cols[0]->Sorted(), csUp);
    Click(HeaderPoint(0));
    EXPECT_EQ(cols[0]->Sorted(), csDown);
    Click(HeaderPoint(0));
    EXPECT_EQ(cols[0]->Sorted(), csUp);
    Click(HeaderPoint(0), {ssCtrl});
    EXPECT_EQ(cols[0]->Sorted(), csNone);
}

TEST_F(TreeListMouse, HeaderEdgeSizesTheColumnAndADoubleClickFitsIt) {
    const TRect header = HeaderRect(0);
    const TPoint edge{header.Right - 1, (header.Top + header.Bottom) / 2};
    ASSERT_EQ(grid->GetHitTestType(edge.X, edge.Y), hkHeaderEdge);
    Down(edge);
    EXPECT_EQ(grid->State(), 1);
    Move(TPoint{edge.X + 40, edge.Y});
    Up(TPoint{edge.X + 40, edge.Y});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(cols[0]->Width(), 140);
    // Below the minimum the line stops at it.
    clock->Advance(GetDoubleClickTime() + 1);
    const TPoint edge2{HeaderRect(0).Right - 1, edge.Y};
    Down(edge2);
    Move(TPoint{header.Left + 1, edge.Y});
    Up(TPoint{header.Left + 1, edge.Y});
    EXPECT_EQ(cols[0]->Width(), grid->GetColumnMinWidth(0) + 1);
    // A double click fits the column to its contents and does not start sizing.
    clock->Advance(GetDoubleClickTime() + 1);
    grid->GetAbsoluteNode(0)->SetStrings(0, "a rather long text in the first column");
    const TPoint edge3{HeaderRect(0).Right - 1, edge.Y};
    int changed = 0;
    grid->OnChangedColumnsWidth = [&](TObject*) { ++changed; };
    Down(edge3);
    Up(edge3);
    Down(edge3);
    EXPECT_EQ(grid->State(), 0);
    Up(edge3);
    EXPECT_EQ(changed, 1);
    EXPECT_GT(cols[0]->Width(), grid->GetColumnMinWidth(0) + 1);
}

TEST_F(TreeListMouse, ClickOnTheFocusedCellOpensTheEditorAfterTheDoubleClickTime) {
    // The click that focuses the control opens nothing.
    Click(CellPoint(1, 1));
    clock->Advance(GetDoubleClickTime() + 1);
    driver->Pump();
    EXPECT_EQ(grid->State(), 0);
    // A click on the focused cell of the focused control opens it once the time is up.
    Click(CellPoint(1, 1));
    driver->Pump();
    EXPECT_EQ(grid->State(), 0);
    clock->Advance(GetDoubleClickTime() + 1);
    EXPECT_TRUE(driver->WaitFor([&] { return grid->State() == 2; }));
    grid->CloseEditor();
    // A click on another cell does not.
    Click(CellPoint(2, 1));
    clock->Advance(GetDoubleClickTime() + 1);
    driver->Pump();
    EXPECT_EQ(grid->State(), 0);
}

TEST_F(TreeListMouse, ImmediateEditorOpensOnTheRelease) {
    grid->SetOptions(grid->Options().Include(TvxTLOption::ImmediateEditor));
    grid->SetFocus();
    driver->Pump();
    Click(CellPoint(2, 1));
    EXPECT_EQ(grid->State(), 2);
    EXPECT_EQ(Focused(), "r2");
    EXPECT_EQ(grid->GetFocusedColumn(), 1);
}

}  // namespace
