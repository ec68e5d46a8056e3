// Dragging on a tree list window: headers and bands dropped where the arrows point, drops
// refused or changing nothing, hiding by dragging out, Esc, and rows dragged through the
// drag manager with the expand and scroll timers on the manual clock.

#include <filesystem>

#include "platform/display/presenter.h"
#include "platform/forms/application.h"
#include "platform/forms/drag_manager.h"
#include "platform/gdi/color.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/system_metrics.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/support/screen_picture.h"
#include "tests/support/test_pictures.h"
#include "tests/support/ui_driver.h"
#include "tests/treelist/test_column_tree_list.h"
#include "tests/treelist/test_selecting_control.h"
#include "tests/treelist/test_tree_list_form.h"
#include "treelist/tree_list_unit.h"

namespace {

// The grid as an open customizing window would make it: hidden columns may be dragged in.
class TDragGrid : public TSelectingControl {
public:
    using TSelectingControl::TSelectingControl;
    bool Customizing = false;
    bool CanHideShowByDrag() override { return Customizing; }
    void StartHeaderDrag(int Column) { DoStartHeaderDragging(Column); }
};

TPoint Mid(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

class TreeListDrag : public TreeListOnForm<TDragGrid> {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        grid->SetOptions({TvxTLOption::MultiSelect, TvxTLOption::ColumnSizing, TvxTLOption::ColumnMoving});
        grid->OnHeaderMoved = [&](TObject*, TvxTreeListColumn*) { ++moved; };
        AddRows(6);
    }
    TRect BandRect(int band) {
        TvxTreeListLayout layout;
        grid->CalcLayout(layout);
        TRect r;
        for (const auto& e : layout.BandEntries)
            if (e.Band == band) r = e.Rect;
        TCustomvxTreeList::FreeLayout(layout);
        return r;
    }
    TPoint CellPoint(int row) { return Mid(grid->GetCellRect(grid->GetAbsoluteNode(row), 0)); }
    // Presses a header (or band caption) and moves it far enough to start dragging it.
    void StartDrag(TPoint from) {
        Down(from);
        Move(TPoint{from.X + 6, from.Y});
    }
    TvxHeaderPosInfo HeaderDrop(TPoint client, int column, bool shown = true) {
        TPoint p = grid->ClientToScreen(client);
        TvxHeaderPosInfo info;
        grid->CalcHeaderDropPosition(p, info, column, shown ? column : -1);
        return info;
    }
    int BandDrop(TPoint client, int band) {
        TPoint p = grid->ClientToScreen(client);
        int result = 0;
        grid->CalcHeaderDropPosition(p, result, band, band);
        return result;
    }
    void ShowThreeBands() {
        grid->SetShowBands(true);
        MakeBands(*grid, 3);
        for (int i = 0; i < 3; ++i) cols[static_cast<size_t>(i)]->SetBandIndex(i);
        driver->Pump();
    }
    // Rows 0 and 1 get two children each (collapsed).
    void GiveChildren() {
        for (int i = 0; i < 2; ++i) {
            TvxTreeListNode* n = grid->GetAbsoluteNode(i * 3);
            for (int k = 0; k < 2; ++k) n->AddChild()->SetStrings(0, n->Strings(0) + Numbered("c", k));
        }
        driver->Pump();
    }
    TPoint ButtonPoint(int row) {
        const TRect r = grid->GetNodeRowRect(grid->GetAbsoluteNode(row));
        for (int x = r.Left; x < r.Right; ++x)
            if (grid->GetHitTestType(x, Mid(r).Y) == hkButton) return TPoint{x + 2, Mid(r).Y};
        ADD_FAILURE() << "row " << row << " shows no button";
        return Mid(r);
    }
    void StartNodeDrag(int row) {
        grid->SetDragMode(dmAutomatic);
        const TPoint p = CellPoint(row);
        Down(p);
        Move(TPoint{p.X, p.Y + 6});
        ASSERT_EQ(grid->State(), 5);
    }

    int moved = 0;
};

TEST_F(TreeListDrag, HeaderDropsWhereTheArrowsPoint) {
    const TRect c = HeaderRect(2);
    StartDrag(Mid(HeaderRect(0)));
    ASSERT_EQ(grid->State(), 3);
    EXPECT_NE(grid->GetDragImages(), nullptr);
    Move(TPoint{c.Right - 10, Mid(c).Y});
    EXPECT_TRUE(grid->ArrowsShown());
    EXPECT_EQ(grid->ArrowPosition(), grid->ClientToScreen(TPoint{c.Right - 5, c.Top - 9}));
    Up(TPoint{c.Right - 10, Mid(c).Y});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_FALSE(grid->ArrowsShown());
    EXPECT_EQ(ColumnOrder(*grid), "B C A");
    EXPECT_EQ(moved, 1);
    // C (now in the middle) dropped on the left half of B, the first: before it.
    const TRect b = HeaderRect(cols[1]->Index());
    StartDrag(Mid(HeaderRect(cols[2]->Index())));
    Move(TPoint{b.Left + 5, Mid(b).Y});
    EXPECT_EQ(grid->ArrowPosition(), grid->ClientToScreen(TPoint{b.Left - 5, b.Top - 9}));
    Up(TPoint{b.Left + 5, Mid(b).Y});
    EXPECT_EQ(ColumnOrder(*grid), "C B A");
}

TEST_F(TreeListDrag, DragEventsMayRefuseTheDrop) {
    bool over = false, end = false;
    TvxHeaderPosInfo told;
    grid->OnDragOverHeader = [&](TObject*, TvxTreeListColumn*, TPoint, bool& accept) { accept = over; };
    grid->OnDragEndHeader = [&](TObject*, TvxTreeListColumn*, TPoint, TvxHeaderPosInfo& info, bool& accept) {
        told = info;
        accept = end;
    };
    const TRect c = HeaderRect(2);
    StartDrag(Mid(HeaderRect(0)));
    Move(TPoint{c.Right - 5, Mid(c).Y});
    EXPECT_FALSE(grid->ArrowsShown());
    over = true;
    Move(TPoint{c.Right - 6, Mid(c).Y});
    EXPECT_TRUE(grid->ArrowsShown());
    Up(TPoint{c.Right - 6, Mid(c).Y});
    EXPECT_EQ(told, (TvxHeaderPosInfo{0, 0, 2, -3}));
    EXPECT_EQ(ColumnOrder(*grid), "A B C");
    int from = -1, to = -1;
    grid->OnColumnMoved = [&](TObject*, int f, int t) { from = f, to = t; };
    end = true;
    StartDrag(Mid(HeaderRect(0)));
    Move(TPoint{c.Right - 5, Mid(c).Y});
    Up(TPoint{c.Right - 5, Mid(c).Y});
    EXPECT_EQ(ColumnOrder(*grid), "B C A");
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 2);
}

TEST_F(TreeListDrag, HeaderDropsThatChangeNothingOrGoBelowOrBeyond) {
    const TRect a = HeaderRect(0), b = HeaderRect(1), c = HeaderRect(2);
    // B on itself, on the left half of its right neighbour, on the right half of its left one.
    for (TPoint p : {Mid(b), TPoint{c.Left + 5, Mid(c).Y}, TPoint{a.Right - 5, Mid(a).Y}})
        EXPECT_EQ(HeaderDrop(p, 1).Marker, -2) << p.X;
    // Right of every band: after the last cell of the row.
    EXPECT_EQ(HeaderDrop(TPoint{c.Right + 40, Mid(c).Y}, 0), (TvxHeaderPosInfo{0, 0, 2, -3}));
    // Over the rows, outside the header panel: nowhere.
    EXPECT_EQ(HeaderDrop(CellPoint(2), 0), TvxHeaderPosInfo{});
    // Such drops move nothing.
    StartDrag(Mid(b));
    Move(TPoint{c.Left + 5, Mid(c).Y});
    EXPECT_FALSE(grid->ArrowsShown());
    Up(TPoint{c.Left + 5, Mid(c).Y});
    EXPECT_EQ(ColumnOrder(*grid), "A B C");
    EXPECT_EQ(moved, 0);
    // Under a band with one header row beside a band with two: a new row under the cell above.
    grid->SetShowBands(true);
    MakeBands(*grid, 2);
    cols[1]->SetBandIndex(1);
    grid->SetHeaderPanelRowCount(2);
    cols[2]->SetRowIndex(1);
    driver->Pump();
    const TRect bTop = HeaderRect(1);
    const TRect cLow = HeaderRect(2);
    ASSERT_GT(cLow.Top, bTop.Top);
    TPoint p = grid->ClientToScreen(TPoint{Mid(bTop).X, Mid(cLow).Y});
    TvxHeaderPosInfo info;
    grid->CalcHeaderDropPosition(p, info, 0, 0);
    EXPECT_EQ(info, (TvxHeaderPosInfo{1, 1, 0, -3}));
    EXPECT_EQ(p, grid->ClientToScreen(TPoint{bTop.Left - 5, bTop.Top + grid->Metrics().HeaderLineHeight - 9}));
    StartDrag(Mid(HeaderRect(0)));
    Move(TPoint{Mid(bTop).X, Mid(cLow).Y});
    Up(TPoint{Mid(bTop).X, Mid(cLow).Y});
    EXPECT_EQ(cols[0]->BandIndex(), 1);
    EXPECT_EQ(cols[0]->RowIndex(), 1);
}

TEST_F(TreeListDrag, BandDropsAtTheirPlacesAndNeverPastAFixedBand) {
    ShowThreeBands();
    const TRect b2 = BandRect(2);
    StartDrag(Mid(BandRect(0)));
    ASSERT_EQ(grid->State(), 9);
    Move(TPoint{b2.Right - 10, Mid(b2).Y});
    EXPECT_EQ(grid->ArrowPosition(), grid->ClientToScreen(TPoint{b2.Right - 5, b2.Top - 9}));
    Up(TPoint{b2.Right - 10, Mid(b2).Y});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(BandOrder(*grid), "b1 b2 b0");
    // Own band and either neighbour's near half change nothing; the left half of the band two
    // places on is one place on.
    const TRect r0 = BandRect(0), r1 = BandRect(1), r2 = BandRect(2);
    EXPECT_EQ(BandDrop(Mid(r0), 0), -2);
    EXPECT_EQ(BandDrop(TPoint{r1.Left + 5, Mid(r1).Y}, 0), -2);
    EXPECT_EQ(BandDrop(TPoint{r0.Right - 5, Mid(r0).Y}, 1), -2);
    EXPECT_EQ(BandDrop(TPoint{r2.Left + 5, Mid(r2).Y}, 0), 1);
    EXPECT_EQ(BandDrop(CellPoint(1), 0), -1);
    // Nothing goes after a band fixed at the right.
    grid->Bands()->Items(0)->SetFixed(bfRight);
    driver->Pump();
    const TRect last = BandRect(2);
    EXPECT_EQ(BandDrop(TPoint{last.Right - 5, Mid(last).Y}, 0), -2);
    EXPECT_EQ(BandDrop(TPoint{last.Right + 20, Mid(last).Y}, 0), -2);
}

TEST_F(TreeListDrag, OnlyOwnColumnsRefusesDropsAcrossItsBorder) {
    grid->SetShowBands(true);
    MakeBands(*grid, 2);
    cols[2]->SetBandIndex(1);
    grid->Bands()->Items(1)->SetOnlyOwnColumns(true);
    driver->Pump();
    const TRect a = HeaderRect(0), c = HeaderRect(2);
    // Into the band and out of it.
    EXPECT_EQ(HeaderDrop(TPoint{c.Right - 5, Mid(c).Y}, 0).Marker, -2);
    EXPECT_EQ(HeaderDrop(TPoint{a.Right - 5, Mid(a).Y}, 2).Marker, -2);
    StartDrag(Mid(a));
    Move(TPoint{c.Right - 5, Mid(c).Y});
    EXPECT_FALSE(grid->ArrowsShown());
    Up(TPoint{c.Right - 5, Mid(c).Y});
    EXPECT_EQ(cols[0]->BandIndex(), 0);
    EXPECT_EQ(moved, 0);
    // Without the flag the same drop moves the column over.
    grid->Bands()->Items(1)->SetOnlyOwnColumns(false);
    EXPECT_EQ(HeaderDrop(TPoint{c.Right - 5, Mid(c).Y}, 0), (TvxHeaderPosInfo{1, 0, 1, -3}));
    StartDrag(Mid(a));
    Move(TPoint{c.Right - 5, Mid(c).Y});
    Up(TPoint{c.Right - 5, Mid(c).Y});
    EXPECT_EQ(cols[0]->BandIndex(), 1);
    EXPECT_EQ(moved, 1);
}

TEST_F(TreeListDrag, DraggingAHeaderOutHidesItAndACustomizingDragShowsIt) {
    int hidden = 0, shown = 0;
    grid->OnHideHeader = [&](TObject*, TvxTreeListColumn*) { ++hidden; };
    grid->OnShowHeader = [&](TObject*, TvxTreeListColumn*) { ++shown; };
    const TPoint rows = CellPoint(3);
    // Without ExtCustomizing a drop outside the header panel does nothing.
    StartDrag(Mid(HeaderRect(1)));
    Move(rows);
    Up(rows);
    EXPECT_TRUE(cols[1]->Visible());
    grid->SetOptions(grid->Options().Include(TvxTLOption::ExtCustomizing));
    StartDrag(Mid(HeaderRect(1)));
    Move(rows);
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crvxTLDelete));
    Up(rows);
    EXPECT_FALSE(cols[1]->Visible());
    EXPECT_EQ(hidden, 1);
    // The last visible column stays.
    cols[2]->SetVisible(false);
    driver->Pump();
    StartDrag(Mid(HeaderRect(0)));
    Move(rows);
    EXPECT_NE(GetCursor(), EnsureScreen()->Cursors(crvxTLDelete));
    Up(rows);
    EXPECT_TRUE(cols[0]->Visible());
    EXPECT_EQ(hidden, 1);
    // A hidden column dragged in (as from a customizing window) shows where it is dropped.
    grid->Customizing = true;
    const TRect a = HeaderRect(0);
    Move(Mid(a));
    grid->StartHeaderDrag(1);
    Move(TPoint{a.Right - 5, Mid(a).Y});
    Up(TPoint{a.Right - 5, Mid(a).Y});
    EXPECT_TRUE(cols[1]->Visible());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(cols[1]->ColIndex(), 1);
}

TEST_F(TreeListDrag, EscCancelsHeaderAndBandDrags) {
    const TRect c = HeaderRect(2);
    StartDrag(Mid(HeaderRect(0)));
    Move(TPoint{c.Right - 5, Mid(c).Y});
    driver->Escape();
    driver->Pump();
    EXPECT_EQ(grid->State(), 0);
    EXPECT_FALSE(grid->ArrowsShown());
    EXPECT_EQ(grid->GetDragImages(), nullptr);
    Up(TPoint{c.Right - 5, Mid(c).Y});
    EXPECT_EQ(ColumnOrder(*grid), "A B C");
    ShowThreeBands();
    const TRect b2 = BandRect(2);
    StartDrag(Mid(BandRect(0)));
    Move(TPoint{b2.Right - 5, Mid(b2).Y});
    driver->Escape();
    driver->Pump();
    Up(TPoint{b2.Right - 5, Mid(b2).Y});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(BandOrder(*grid), "b0 b1 b2");
}

TEST_F(TreeListDrag, NodeDragStartsOnTheSixthPixelAndDrops) {
    grid->SetDragMode(dmAutomatic);
    int started = 0;
    TvxTreeListNode* begun = nullptr;
    grid->OnStartDrag = [&](TObject*, TDragObject*&) { ++started; };
    grid->OnBeginDragNode = [&](TObject*, TvxTreeListNode* n) { begun = n; };
    grid->OnDragOver = [](TObject*, TObject* source, int, int, TDragState, bool& accept) {
        accept = source != nullptr;
    };
    TObject* droppedFrom = nullptr;
    grid->OnDragDrop = [&](TObject*, TObject* source, int, int) { droppedFrom = source; };
    TObject* endedOn = nullptr;
    grid->OnEndDrag = [&](TObject*, TObject* target, int, int) { endedOn = target; };
    const TPoint p = CellPoint(1);
    Down(p);
    Move(TPoint{p.X, p.Y + 5});
    EXPECT_EQ(grid->State(), 6);
    EXPECT_EQ(started, 0);
    Move(TPoint{p.X, p.Y + 6});
    EXPECT_EQ(grid->State(), 5);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(begun, grid->GetAbsoluteNode(1));
    EXPECT_TRUE(grid->Dragging());
    EXPECT_NE(grid->GetDragImages(), nullptr);
    // Over another row the focus follows and the drop lands.
    const TPoint target = CellPoint(4);
    Move(target);
    EXPECT_EQ(grid->GetFocusedNode(), grid->GetAbsoluteNode(4));
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crDrag));
    Up(target);
    EXPECT_FALSE(grid->Dragging());
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(droppedFrom, grid);
    EXPECT_EQ(endedOn, grid);
    EXPECT_EQ(grid->DraggedNode(), nullptr);
    // Two selected nodes dragged together show the cursor for many.
    const TPoint second = CellPoint(2);
    Down(CellPoint(1));
    Up(CellPoint(1));
    InjectKey(VK_CONTROL, true);
    Down(second);
    Up(second);
    InjectKey(VK_CONTROL, false);
    ASSERT_EQ(grid->GetSelectedCount(), 2);
    Down(second);
    Move(TPoint{second.X, second.Y + 6});
    Move(target);
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crMultiDrag));
    Up(target);
    EXPECT_EQ(grid->GetSelectedCount(), 2);
}

TEST_F(TreeListDrag, EscAndThePlusKeyDuringANodeDrag) {
    GiveChildren();
    TObject* endedOn = grid;
    grid->OnEndDrag = [&](TObject*, TObject* target, int, int) { endedOn = target; };
    StartNodeDrag(4);
    // '+' over a collapsed node with children expands it, '-' collapses it.
    Move(CellPoint(3));
    driver->PressKey(VK_ADD);
    EXPECT_TRUE(grid->GetAbsoluteNode(3)->Expanded());
    driver->PressKey(VK_SUBTRACT);
    EXPECT_FALSE(grid->GetAbsoluteNode(3)->Expanded());
    driver->Escape();
    driver->Pump();
    EXPECT_FALSE(grid->Dragging());
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(endedOn, nullptr);
}

TEST_F(TreeListDrag, DragExpandTimerExpandsOrTogglesWithDragCollapse) {
    GiveChildren();
    TvxTreeListNode* node = grid->GetAbsoluteNode(0);
    StartNodeDrag(2);
    Move(ButtonPoint(0));
    Wait(grid->WaitForExpandNodeTime() - 1);
    EXPECT_FALSE(node->Expanded());
    Wait(1);
    EXPECT_TRUE(node->Expanded());
    // Without DragCollapse the timer is done.
    Wait(3 * grid->WaitForExpandNodeTime());
    EXPECT_TRUE(node->Expanded());
    driver->Escape();
    driver->Pump();
    // With it the node keeps toggling, each time after twice the wait.
    grid->SetOptionsEx(grid->OptionsEx().Include(TvxTLOptionEx::DragCollapse));
    node->SetExpanded(false);
    driver->Pump();
    StartNodeDrag(4);
    Move(ButtonPoint(0));
    Wait(grid->WaitForExpandNodeTime());
    EXPECT_TRUE(node->Expanded());
    Wait(2 * grid->WaitForExpandNodeTime() - 1);
    EXPECT_TRUE(node->Expanded());
    Wait(1);
    EXPECT_FALSE(node->Expanded());
    Wait(2 * grid->WaitForExpandNodeTime());
    EXPECT_TRUE(node->Expanded());
    // Leaving the button ends it.
    Move(CellPoint(3));
    Wait(4 * grid->WaitForExpandNodeTime());
    EXPECT_TRUE(node->Expanded());
}

TEST_F(TreeListDrag, DraggingNearAnEdgeScrollsUntilThePointerLeavesIt) {
    for (int i = 6; i < 60; ++i) grid->Add()->SetStrings(0, Numbered("r", i));
    for (TvxTreeListColumn* c : cols) c->SetWidth(300);
    driver->Pump();
    StartNodeDrag(2);
    const TRect rows = grid->GetRectInfo().Rows;
    Move(TPoint{200, rows.Bottom - 5});
    EXPECT_EQ(grid->GetTopIndex(), 0);
    Wait(100);
    EXPECT_EQ(grid->GetTopIndex(), 1);
    Wait(100);
    EXPECT_EQ(grid->GetTopIndex(), 2);
    Move(TPoint{200, Mid(rows).Y});
    Wait(500);
    EXPECT_EQ(grid->GetTopIndex(), 2);
    // Sideways near the right edge of the scrolled bands.
    const TRect area = grid->GetScrollAreaRect();
    Move(TPoint{area.Right - 5, Mid(rows).Y});
    Wait(100);
    EXPECT_EQ(grid->LeftCoord(), 32);
    Move(TPoint{area.Left + 5, Mid(rows).Y});
    Wait(100);
    EXPECT_EQ(grid->LeftCoord(), 0);
    Wait(300);
    EXPECT_EQ(grid->LeftCoord(), 0);
    driver->Escape();
    driver->Pump();
    EXPECT_EQ(grid->State(), 0);
}

TEST_F(TreeListDrag, PictureOfAHeaderDragShowsArrowsAndImage) {
    const char* captions[] = {"Name", "Typ", "Wert"};
    for (size_t i = 0; i < cols.size(); ++i) cols[i]->SetCaption(captions[i]);
    driver->Pump();
    const TRect c = HeaderRect(2);
    StartDrag(Mid(HeaderRect(0)));
    const TPoint over{c.Right - 20, Mid(c).Y + 6};
    Move(over);
    ASSERT_TRUE(grid->ArrowsShown());
    ASSERT_NE(grid->GetDragImages()->DragWindow(), nullptr);
    TBitmap screen;
    ASSERT_TRUE(CaptureScreenOf(form, {grid->ArrowsWindow(), grid->GetDragImages()->DragWindow()}, screen));
    screen.SaveToPngFile(TestPicturePath("tovak_treelist_header_drag.png"));
    TRect formRect;
    GetWindowRect(form->Handle(), &formRect);
    const TPoint arrows = grid->ArrowPosition();
    // Inside the stem of the down arrow, and between the two arrows the header shows through.
    EXPECT_EQ(screen.Pixel(arrows.X - formRect.Left + 5, arrows.Y - formRect.Top + 2), ColorToRGB(clLime));
    const TPoint image = grid->ClientToScreen(over);
    EXPECT_NE(screen.Pixel(image.X - formRect.Left, image.Y - formRect.Top), ColorToRGB(clLime));
    Up(over);
}

}  // namespace
