// The group panel on a shown grid: its height and boxes, headers dragged in and boxes
// dragged out or among each other with the mouse, a click on a box sorting its group rows,
// and the slide that shows or hides it on the manual clock.

#include <cstdlib>
#include <filesystem>

#include "grid/columns/vx_db_grid_column.h"
#include "platform/gdi/color.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/screen_picture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_pictures.h"
#include "tests/treelist/test_column_tree_list.h"
#include "treelist/tree_list_unit.h"

namespace {

class DBGridGroupPanel : public GridOnForm {
protected:
    void Add(int id, const char* name, double amount) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id);
        table->FieldByName("Name")->SetAsString(name);
        table->FieldByName("Amount")->SetAsFloat(amount);
        table->Post();
    }
    // Four records over three columns; every record a row.
    void FourRecords() {
        id = Col("ID");
        name = Col("Name");
        amount = Col("Amount");
        table->Open();
        Add(1, "B", 10);
        Add(2, "A", 20);
        Add(3, "B", 30);
        Add(4, "C", 40);
        LoadAll();
        driver->Pump();
    }
    static TPoint Mid(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
    // A press never pairs up with the one before into a double click.
    void Press(TPoint p) {
        clock->Advance(GetDoubleClickTime() + 1);
        driver->MouseDown(grid, p);
        driver->Pump();
    }
    void Move(TPoint p) {
        driver->MoveTo(grid, p);
        driver->Pump();
    }
    void Release(TPoint p) {
        driver->MouseUp(grid, p);
        driver->Pump();
    }
    // Presses at `from`, moves past the drag threshold, then to `to`, where it stays.
    void DragTo(TPoint from, TPoint to) {
        Press(from);
        Move(TPoint{from.X + 8, from.Y + 8});
        Move(to);
    }
    void Drag(TPoint from, TPoint to) {
        DragTo(from, to);
        Release(to);
    }
    std::string GroupValue(TvxTreeListNode* n) { return VarToStr(dynamic_cast<TvxDBGridNode*>(n)->GroupValue); }
    std::string RootGroups() {
        std::string s;
        for (int i = 0; i < grid->GetCount(); ++i) s += GroupValue(grid->GetItem(i));
        return s;
    }
    // What the window shows now, without painting what waits to be painted.
    COLORREF ShownPixel(TPoint client) { return ::ShownPixel(form->Handle(), grid->ClientToScreen(client)); }

    TvxDBGridColumn* id = nullptr;
    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* amount = nullptr;
};

TEST_F(DBGridGroupPanel, TheGroupPanelGrowsHalfARowPerGroupColumnAndDropsGoByBoxCentres) {
    id = Col("ID");
    name = Col("Name");
    Col("Amount");
    Col("Day");
    table->Open();
    EXPECT_EQ(grid->GetGroupPanelHeight(), 0);
    SwitchGroupPanel(true);
    driver->Pump();
    const int h = grid->Metrics().HeaderLineHeight;
    const int d = h / 2;
    EXPECT_EQ(grid->GetGroupPanelHeight(), h - d + 16);
    EXPECT_EQ(grid->GetRectInfo().GroupPanel.Height(), h - d + 16);
    driver->SaveForm(form, TestPicturePath("tovak_grid_group_panel_empty.png"));
    name->SetGroupIndex(0);
    EXPECT_EQ(grid->GetGroupPanelHeight(), h + 16);
    id->SetGroupIndex(1);
    EXPECT_EQ(grid->GetGroupPanelHeight(), h + 16 + d);
    driver->Pump();
    const TRect panel = grid->GetRectInfo().GroupPanel;
    const TRect box1 = grid->GroupBoxRect(1);
    EXPECT_EQ(box1.Left - panel.Left, 8 + 104);
    EXPECT_EQ(box1.Top - panel.Top, 8 + d);
    EXPECT_EQ(box1.Width(), 100);
    EXPECT_EQ(box1.Height(), h);
    const int centre = (box1.Left + box1.Right) / 2;
    EXPECT_EQ(grid->GroupDropIndex(TPoint{centre, box1.Top}), 2);
    EXPECT_EQ(grid->GroupDropIndex(TPoint{centre - 1, box1.Top}), 1);
    EXPECT_EQ(grid->GroupDropIndex(TPoint{panel.Left, box1.Top}), 0);
    driver->SaveForm(form, TestPicturePath("tovak_grid_group_panel.png"));

    // A header dropped left of the first box's centre groups by its column first (the last
    // visible column could not go).
    amount = dynamic_cast<TvxDBGridColumn*>(grid->GetColumn(2));
    int allowed = 0;
    grid->OnEndDragGroupColumn = [&](TObject*, TvxDBTreeListColumn*, int Index, bool&) { allowed = Index + 10; };
    const TRect header = grid->GetRectInfo().HeaderPanel;
    const TPoint from{header.Left + 20, header.Top + 4};
    driver->MouseDown(grid, from);
    driver->MoveTo(grid, TPoint{from.X + 10, from.Y - 10});
    driver->MoveTo(grid, TPoint{panel.Left + 10, panel.Top + 10});
    driver->MouseUp(grid, TPoint{panel.Left + 10, panel.Top + 10});
    driver->Pump();
    EXPECT_EQ(allowed, 10);
    EXPECT_EQ(amount->GroupIndex(), 0);
    EXPECT_EQ(name->GroupIndex(), 1);
    EXPECT_EQ(grid->GroupColumnCount(), 3);
    EXPECT_EQ(grid->GetGroupPanelHeight(), h + 16 + 2 * d);
    const TRect box2 = grid->GroupBoxRect(2);
    EXPECT_EQ(box2.Left - panel.Left, 8 + 2 * 104);
    EXPECT_EQ(box2.Top - panel.Top, 8 + 2 * d);
}

TEST_F(DBGridGroupPanel, AHeaderDraggedInGroupsAndItsBoxDraggedOutUngroups) {
    FourRecords();
    SwitchGroupPanel(true);
    driver->Pump();
    ASSERT_EQ(grid->GetCount(), 4);

    // Over the empty panel the arrows stand where the first box will.
    const TRect first = grid->GroupBoxRect(0);
    DragTo(Mid(HeaderRect(name)), TPoint{first.Left + 30, first.Top + 2});
    ASSERT_EQ(grid->State(), 3);
    EXPECT_TRUE(grid->ArrowsShown());
    EXPECT_EQ(grid->ArrowPosition(), grid->ClientToScreen(TPoint{first.Left - 5, first.Top - 9}));
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(grid->Cursor()));
    Release(TPoint{first.Left + 30, first.Top + 2});
    EXPECT_EQ(name->GroupIndex(), 0);
    EXPECT_FALSE(name->Visible());
    ASSERT_EQ(grid->GroupColumnCount(), 1);
    EXPECT_EQ(grid->GroupColumns()[0], name);
    EXPECT_EQ(RootGroups(), "ABC");

    // The box dragged to the right half of the last header: ungrouped, shown after it.
    const TRect last = HeaderRect(amount);
    Drag(Mid(grid->GroupBoxRect(0)), TPoint{last.Right - 4, Mid(last).Y});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(name->GroupIndex(), -1);
    EXPECT_TRUE(name->Visible());
    EXPECT_EQ(grid->GroupColumnCount(), 0);
    EXPECT_EQ(grid->GetCount(), 4);
    EXPECT_EQ(ColumnOrder(*grid), "colID colAmount colName");

    // Two boxes: the second dragged left of the first's centre becomes the first.
    name->SetGroupIndex(0);
    amount->SetGroupIndex(1);
    driver->Pump();
    const TRect box0 = grid->GroupBoxRect(0);
    Drag(Mid(grid->GroupBoxRect(1)), TPoint{box0.Left + 10, Mid(box0).Y});
    EXPECT_EQ(amount->GroupIndex(), 0);
    EXPECT_EQ(name->GroupIndex(), 1);
    EXPECT_EQ(grid->GetCount(), 4);

    // Dropped off the grid, a box is ungrouped and shown again, not hidden: the cursor on the
    // way says so.
    const TPoint outside{grid->Width() / 2, grid->Height() + 30};
    DragTo(Mid(grid->GroupBoxRect(0)), outside);
    EXPECT_NE(GetCursor(), EnsureScreen()->Cursors(crvxTLDelete));
    Release(outside);
    EXPECT_EQ(amount->GroupIndex(), -1);
    EXPECT_TRUE(amount->Visible());
    EXPECT_EQ(name->GroupIndex(), 0);
    EXPECT_EQ(RootGroups(), "ABC");
    EXPECT_EQ(grid->DraggedGroupColumn(), nullptr);
}

TEST_F(DBGridGroupPanel, ARefusedColumnGetsNoDropPlaceOnThePanel) {
    FourRecords();
    SwitchGroupPanel(true);
    driver->Pump();
    grid->OnAddGroupColumn = [&](TObject*, TvxDBTreeListColumn* column, bool& allow) { allow = column != id; };
    const TRect first = grid->GroupBoxRect(0);
    DragTo(Mid(HeaderRect(id)), TPoint{first.Left + 30, first.Top + 2});
    EXPECT_FALSE(grid->ArrowsShown());
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crvxTLDelete));
    Release(TPoint{first.Left + 30, first.Top + 2});
    EXPECT_EQ(id->GroupIndex(), -1);
    EXPECT_TRUE(id->Visible());
    EXPECT_EQ(grid->GetCount(), 4);
}

TEST_F(DBGridGroupPanel, AClickOnABoxSortsItsGroupRows) {
    FourRecords();
    SwitchGroupPanel(true);
    name->SetGroupIndex(0);
    driver->Pump();
    ASSERT_EQ(RootGroups(), "ABC");
    const TPoint box = Mid(grid->GroupBoxRect(0));
    Press(box);
    Release(box);
    EXPECT_EQ(name->Sorted(), csDown);
    EXPECT_EQ(RootGroups(), "CBA");
    // A few pixels of movement are still a click.
    Press(box);
    Move(TPoint{box.X + 3, box.Y + 3});
    Release(TPoint{box.X + 3, box.Y + 3});
    EXPECT_EQ(name->Sorted(), csUp);
    EXPECT_EQ(RootGroups(), "ABC");
    EXPECT_EQ(name->GroupIndex(), 0);

    // Without automatic sorting a click changes nothing.
    TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
    behavior.Exclude(edgoAutoSort);
    grid->SetOptionsBehavior(behavior);
    Press(box);
    Release(box);
    EXPECT_EQ(RootGroups(), "ABC");
}

// Group rows always stand in their column's order: switching a group column's sort off, by
// the column, by a Ctrl+click on its box or its header or by switching the sorting options,
// leaves it sorted where it was, and the layout saved then comes back as it was shown.
// Ungrouping switches it off.
TEST_F(DBGridGroupPanel, AGroupColumnStaysSorted) {
    FourRecords();
    SwitchGroupPanel(true);
    TvxDBGridOptionsCustomize customize = grid->OptionsCustomize();
    customize.Include(edgoNotHideColumn);
    grid->SetOptionsCustomize(customize);
    TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
    behavior.Include(edgoMultiSort);
    grid->SetOptionsBehavior(behavior);
    amount->SetSorted(csDown);
    name->SetGroupIndex(0);
    driver->Pump();
    const auto shown = [&] {
        return RootGroups() + " name " + std::to_string(name->Sorted()) + " at " +
               std::to_string(name->GetSortedOrder()) + ", amount " + std::to_string(amount->Sorted()) + " at " +
               std::to_string(amount->GetSortedOrder());
    };
    ASSERT_EQ(shown(), "ABC name 2 at 1, amount 1 at 0");
    const auto ctrlClick = [&](TPoint p) {
        InjectKey(VK_CONTROL, true);
        Press(p);
        Release(p);
        InjectKey(VK_CONTROL, false);
        driver->Pump();
    };

    name->SetSorted(csNone);
    EXPECT_EQ(shown(), "ABC name 2 at 1, amount 1 at 0");
    name->SetSorted(csDown);
    EXPECT_EQ(shown(), "CBA name 1 at 1, amount 1 at 0");
    ctrlClick(Mid(grid->GroupBoxRect(0)));
    EXPECT_EQ(shown(), "CBA name 1 at 1, amount 1 at 0");
    ctrlClick(Mid(HeaderRect(name)));
    EXPECT_EQ(shown(), "CBA name 1 at 1, amount 1 at 0");
    ctrlClick(Mid(HeaderRect(amount)));
    EXPECT_EQ(shown(), "CBA name 1 at 0, amount 0 at -1") << "an ungrouped column's sort goes";
    // Sorting options switched clear the sorts of every column but a group column.
    behavior.Exclude(edgoMultiSort);
    grid->SetOptionsBehavior(behavior);
    EXPECT_EQ(shown(), "CBA name 1 at 0, amount 0 at -1");
    amount->SetSorted(csUp);
    const std::string saved = shown();

    const TempFolder folder("tovak-grid-group-sort");
    const auto path = folder.Path() / "layout.ini";
    grid->SaveToIniFile(path.string());
    name->SetGroupIndex(-1);
    EXPECT_EQ(name->Sorted(), csNone);
    EXPECT_EQ(name->GetSortedOrder(), -1);
    grid->LoadFromIniFile(path.string());
    EXPECT_EQ(shown(), saved);
}

TEST_F(DBGridGroupPanel, ThePanelSlidesInAndOutWithin400Milliseconds) {
    FourRecords();
    name->SetGroupIndex(0);
    driver->Pump();
    const int height = grid->Metrics().HeaderLineHeight + 16;
    const int x = HeaderRect(id).Left + 10;
    const COLORREF headerTop = ShownPixel(TPoint{x, 0});
    ASSERT_NE(headerTop, ColorToRGB(clBtnShadow));

    // Frame by frame the grid's picture moves down and leaves the panel's grey above it.
    int waits = 0;
    int grey = -1;
    COLORREF below = 0;
    MessageIdleHook previous = SetMessageIdleHook([&] {
        if (++waits == 30) {
            grey = 0;
            while (grey < height && ShownPixel(TPoint{x, grey}) == ColorToRGB(clBtnShadow)) ++grey;
            below = ShownPixel(TPoint{x, grey});
        }
        clock->Advance(1);
        return true;
    });
    uint64_t begin = clock->Ticks();
    grid->SetShowGroupPanel(true);
    const uint64_t showing = clock->Ticks() - begin;
    SetMessageIdleHook(previous);
    EXPECT_LE(showing, 400u);
    EXPECT_GT(grey, 0);
    EXPECT_LT(grey, height);
    EXPECT_EQ(below, headerTop);
    // The last frame: everything moved down by the panel's height.
    EXPECT_EQ(ShownPixel(TPoint{x, height - 1}), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ShownPixel(TPoint{x, height}), headerTop);
    EXPECT_EQ(grid->GetRectInfo().GroupPanel.Height(), height);
    driver->SaveForm(form, TestPicturePath("tovak_grid_group_panel_grouped.png"));

    // Hiding moves the footer up and leaves the grid's own colour below it.
    grid->SetShowSummaryFooter(true);
    grid->SetColor(clYellow);
    driver->Pump();
    const TPoint bottom{x, grid->ClientHeight() - 1};
    ASSERT_NE(ShownPixel(bottom), ColorToRGB(clYellow));
    EXPECT_LE(SwitchGroupPanel(false), 400u);
    EXPECT_EQ(ShownPixel(bottom), ColorToRGB(clYellow));
    EXPECT_EQ(ShownPixel(TPoint{x, 0}), headerTop);
    EXPECT_EQ(grid->GetRectInfo().GroupPanel.Height(), 0);

    // A clock that jumps: the slide stops at 400 ms, and the layout is right all the same.
    EXPECT_EQ(SwitchGroupPanel(true, 40), 400u);
    EXPECT_EQ(grid->GetRectInfo().GroupPanel.Height(), height);

    // The end of the program ends the slide within a frame; it stays pending for the main loop.
    previous = SetMessageIdleHook([&] {
        PostQuitMessage(3);
        clock->Advance(1);
        return true;
    });
    begin = clock->Ticks();
    grid->SetShowGroupPanel(false);
    SetMessageIdleHook(previous);
    EXPECT_LE(clock->Ticks() - begin, 10u);
    EXPECT_EQ(grid->GetRectInfo().GroupPanel.Height(), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
