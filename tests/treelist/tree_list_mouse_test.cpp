// Presses and releases on a tree list window: click selection with Shift and Ctrl, the
// reduction on release, header clicks and the sort cycle, sizing and best fit at header
// edges, and the editor opened by a click on the focused cell.

#include "platform/forms/application.h"
#include "platform/gdi/system_metrics.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
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
    static LPARAM MakeLParam(TPoint p) {
        return static_cast<LPARAM>((static_cast<uint32_t>(p.Y & 0xFFFF) << 16) | static_cast<uint32_t>(p.X & 0xFFFF));
    }
    static TPoint CellPointOf(TSelectingControl* g, int row) {
        TRect r = g->GetCellRect(g->GetAbsoluteNode(row), 0);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
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
    int layoutBandRight() {
        TvxTreeListLayout layout;
        grid->CalcLayout(layout);
        const int right = layout.BandEntries.empty() ? 0 : layout.BandEntries[0].Rect.Right;
        TCustomvxTreeList::FreeLayout(layout);
        return right;
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
    // Not draggable, so that the press follows the pointer over other headers.
    for (TvxTreeListColumn* c : cols) c->SetDisableDragging(true);
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

TEST_F(TreeListMouse, HeaderDragStartsOnTheSixthPixelNotTheFifth) {
    grid->SetOptions(grid->Options().Include(TvxTLOption::ColumnMoving));
    int started = 0;
    grid->OnStartHeaderDragging = [&](TObject*, TvxTreeListColumn*) { ++started; };
    int clicks = 0;
    grid->OnColumnClick = [&](TObject*, TvxTreeListColumn*) { ++clicks; };
    const TPoint p = HeaderPoint(1);
    Down(p);
    Move(TPoint{p.X + 5, p.Y});
    EXPECT_EQ(grid->State(), 4);
    EXPECT_EQ(started, 0);
    Move(TPoint{p.X + 6, p.Y});
    EXPECT_EQ(grid->State(), 3);
    EXPECT_EQ(started, 1);
    Up(TPoint{p.X + 6, p.Y});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(clicks, 0);
    // A column that may not be dragged stays pressed however far the pointer goes.
    cols[1]->SetDisableDragging(true);
    clock->Advance(GetDoubleClickTime() + 1);
    Down(p);
    Move(TPoint{p.X + 30, p.Y});
    EXPECT_EQ(grid->State(), 4);
    Up(TPoint{p.X + 30, p.Y});
}

TEST_F(TreeListMouse, BandEdgeSizesTheBand) {
    grid->SetShowBands(true);
    driver->Pump();
    TvxTreeListLayout layout;
    grid->CalcLayout(layout);
    ASSERT_FALSE(layout.BandEntries.empty());
    const TRect band = layout.BandEntries[0].Rect;
    TCustomvxTreeList::FreeLayout(layout);
    const TPoint edge{band.Right - 1, (band.Top + band.Bottom) / 2};
    ASSERT_EQ(grid->GetHitTestType(edge.X, edge.Y), hkBandEdge);
    Down(edge);
    EXPECT_EQ(grid->State(), 8);
    Move(TPoint{edge.X - 50, edge.Y});
    Up(TPoint{edge.X - 50, edge.Y});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(grid->Bands()->Items(0)->Width(), edge.X - 50 - band.Left + 2);
    // A double click on the edge fits every column of the band.
    int fitted = 0;
    grid->OnChangedColumnsWidth = [&](TObject*) { ++fitted; };
    clock->Advance(GetDoubleClickTime() + 1);
    const TPoint edge2{layoutBandRight() - 1, edge.Y};
    Down(edge2);
    Up(edge2);
    Down(edge2);
    EXPECT_EQ(grid->State(), 0);
    Up(edge2);
    EXPECT_EQ(fitted, 1);
}

TEST_F(TreeListMouse, HotTrackingAsksForTheCursorOncePerCell) {
    grid->SetOptionsEx(grid->OptionsEx().Include(TvxTLOptionEx::HotTrack));
    std::vector<std::pair<TvxTreeListNode*, int>> asked;
    grid->OnHotTrackNode = [&](TObject*, const TvxTreeListHotTrackInfo& info, TCursor& cursor) {
        asked.emplace_back(info.Node, info.Column);
        if (info.Node) cursor = crHandPoint;
    };
    const TPoint cell = CellPoint(2, 1);
    Move(cell);
    Move(TPoint{cell.X + 2, cell.Y});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, grid->GetAbsoluteNode(2));
    EXPECT_EQ(asked[0].second, 1);
    EXPECT_EQ(grid->Cursor(), crHandPoint);
    // Over a header the target has no node: the application puts its cursor back.
    grid->OnHotTrackNode = [&](TObject*, const TvxTreeListHotTrackInfo& info, TCursor& cursor) {
        asked.emplace_back(info.Node, info.Column);
        if (!info.Node) cursor = crDefault;
    };
    Move(HeaderPoint(0));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].first, nullptr);
    EXPECT_EQ(asked[1].second, 0);
    EXPECT_EQ(grid->Cursor(), crDefault);
}

TEST_F(TreeListMouse, EachClickFiresItsEventOnceAndHeaderClicksNone) {
    int clicks = 0;
    int doubleClicks = 0;
    grid->OnClick = [&](TObject*) { ++clicks; };
    grid->OnDblClick = [&](TObject*) { ++doubleClicks; };
    Click(CellPoint(1, 0));
    EXPECT_EQ(clicks, 1);
    Click(HeaderPoint(1));
    EXPECT_EQ(clicks, 1);
    clock->Advance(GetDoubleClickTime() + 1);
    clicks = 0;
    driver->DoubleClick(grid);
    driver->Pump();
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(grid->ControlStyle(), csCaptureMouse | csOpaque | csDoubleClicks | csDisplayDragImage);
}

// A new look re-creates the window; the list keeps the focus and answers presses and keys.
TEST_F(TreeListMouse, AFocusedListStaysAliveWhenItsWindowIsRecreated) {
    grid->SetOptions({TvxTLOption::Editing});
    Click(CellPoint(0, 0));
    ASSERT_TRUE(grid->Focused());
    grid->SetLookAndFeel(lfFlat);
    driver->Pump();
    EXPECT_TRUE(grid->Focused());
    Click(CellPoint(2, 0));
    EXPECT_EQ(Focused(), "r2");
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(Focused(), "r3");
    grid->SetBorderStyle(bsNone);
    driver->Pump();
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(Focused(), "r4");
}

TEST_F(TreeListMouse, AFormWhoseListReadsNodesOnDeletionClosesCleanly) {
    std::vector<std::string> deleted;
    grid->OnDeletion = [&](TObject*, TvxTreeListNode* node) { deleted.push_back(node->Strings(0)); };
    form->Release();
    driver->Pump();
    EXPECT_EQ(deleted, (std::vector<std::string>{"r0", "r1", "r2", "r3", "r4", "r5"}));
    form = nullptr;
    grid = nullptr;
}

// Presses sent straight to two windows; each control runs and stops its own timer.
TEST_F(TreeListMouse, TwoControlsAutoScrollingBothStopWhenTheirPressesEnd) {
    auto* other = new TSelectingControl(form);
    other->SetBounds(8, 320, 500, 60);
    AddColumns(*other, 1);
    other->SetParent(form);
    for (TSelectingControl* g : {grid, other}) {
        g->SetOptions({TvxTLOption::RowSelect, TvxTLOption::MultiSelect});
        g->SetOptionsEx(g->OptionsEx().Include(TvxTLOptionEx::MouseScroll));
    }
    for (int i = 0; i < 40; ++i) {
        grid->Add()->SetStrings(0, Numbered("g", i));
        other->Add()->SetStrings(0, Numbered("o", i));
    }
    driver->Pump();
    auto press = [&](TSelectingControl* g) {
        const TPoint p = CellPointOf(g, 0);
        SendMessage(g->WindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p));
        const TRect rows = g->GetRectInfo().Rows;
        SendMessage(g->WindowHandle(), WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(TPoint{p.X, rows.Bottom + 20}));
    };
    auto ticks = [&](int n) {
        for (int i = 0; i < n; ++i) {
            clock->Advance(61);
            driver->Pump();
        }
    };
    press(grid);
    ticks(3);
    const int gridMoving = grid->GetFocusedAbsoluteNodeIndex();
    ticks(2);
    EXPECT_GT(grid->GetFocusedAbsoluteNodeIndex(), gridMoving);
    // The second press takes the focus, which ends the first one's press.
    press(other);
    ticks(3);
    const int otherMoving = other->GetFocusedAbsoluteNodeIndex();
    const int gridHeld = grid->GetFocusedAbsoluteNodeIndex();
    ticks(2);
    EXPECT_GT(other->GetFocusedAbsoluteNodeIndex(), otherMoving);
    EXPECT_EQ(grid->GetFocusedAbsoluteNodeIndex(), gridHeld);
    for (TSelectingControl* g : {grid, other})
        SendMessage(g->WindowHandle(), WM_LBUTTONUP, 0, MakeLParam(TPoint{5, g->GetRectInfo().Rows.Bottom + 20}));
    ticks(1);
    const int gridStopped = grid->GetFocusedAbsoluteNodeIndex();
    const int otherStopped = other->GetFocusedAbsoluteNodeIndex();
    ticks(5);
    EXPECT_EQ(grid->GetFocusedAbsoluteNodeIndex(), gridStopped);
    EXPECT_EQ(other->GetFocusedAbsoluteNodeIndex(), otherStopped);
}

}  // namespace
