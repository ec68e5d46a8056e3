// The header's filter buttons and the filter status panel's clear button: pressed looks that
// follow the pointer, actions only on a release over the button, and the clear button's hint
// that comes after a second and goes after five, or when the pointer leaves.

#include "tests/treelist/test_selecting_control.h"
#include "tests/treelist/test_tree_list_form.h"

namespace {

class TFilterTreeList : public TSelectingControl {
public:
    using TSelectingControl::TSelectingControl;
    bool Criteria = true;
    // (column asked for, filter header while it opens)
    std::vector<std::pair<int, int>> DropDowns;
    int Cleared = 0;
    bool IsFilterEnabled() override { return true; }
    bool IsFilterStatusVisible() override { return true; }
    bool HasFilterCriteria() override { return Criteria; }
    void GetFilterStatusText(std::string& Text) override { Text = "Filter aktiv"; }
    void GetClearFilterCaption(std::string& Text) override { Text = "Filter aufheben"; }
    void ShowFilterDropDown(int Column) override { DropDowns.emplace_back(Column, FilterHeader()); }
    void ClearFilter() override { ++Cleared; }
};

class TreeListFilterButtons : public TreeListOnForm<TFilterTreeList> {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        AddRows(40);
    }
    TPoint HeaderPoint(int column) {
        const TRect r = HeaderRect(column);
        return TPoint{r.Left + 20, (r.Top + r.Bottom) / 2};
    }
    // On the filter button: the rightmost 15 pixels of the header cell less 2 each side.
    TPoint FilterPoint(int column) {
        const TRect r = HeaderRect(column);
        return TPoint{r.Right - 10, (r.Top + r.Bottom) / 2};
    }
    TPoint ClearPoint() {
        const TRect b = grid->GetClearFilterButtonRect();
        return TPoint{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    }
    TPoint StatusTextPoint() {
        const TRect p = grid->GetRectInfo().FilterStatus;
        return TPoint{p.Left + 60, (p.Top + p.Bottom) / 2};
    }
};

TEST_F(TreeListFilterButtons, FilterButtonOpensOnlyOnAReleaseOverItself) {
    int headerClicks = 0;
    grid->OnColumnClick = [&](TObject*, TvxTreeListColumn*) { ++headerClicks; };
    Move(FilterPoint(1));
    EXPECT_EQ(grid->GetFilterButtonState(1), 3);
    EXPECT_EQ(grid->GetFilterButtonState(0), 1);
    Down(FilterPoint(1));
    EXPECT_EQ(grid->State(), 15);
    EXPECT_EQ(grid->FilterHeader(), 1);
    EXPECT_EQ(grid->GetFilterButtonState(1), 7);
    // Off the button (still on its header) the button shows up; released there nothing opens.
    Move(HeaderPoint(1));
    EXPECT_EQ(grid->State(), 15);
    EXPECT_FALSE(grid->FilterPressedIn());
    EXPECT_EQ(grid->GetFilterButtonState(1), 1);
    Up(HeaderPoint(1));
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(grid->FilterHeader(), -1);
    EXPECT_TRUE(grid->DropDowns.empty());
    EXPECT_EQ(headerClicks, 0);
    // Away and back before the release: it opens, knowing its column while it does.
    Down(FilterPoint(1));
    Move(HeaderPoint(2));
    Move(FilterPoint(1));
    EXPECT_EQ(grid->GetFilterButtonState(1), 7);
    Up(FilterPoint(1));
    EXPECT_EQ(grid->DropDowns, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(grid->FilterHeader(), -1);
    EXPECT_EQ(headerClicks, 0);
    // Released over another header's filter button it does not open that one either.
    Down(FilterPoint(0));
    Move(FilterPoint(2));
    Up(FilterPoint(2));
    EXPECT_EQ(grid->DropDowns.size(), 1u);
    // The rest of the header still clicks the header.
    Down(HeaderPoint(2));
    EXPECT_EQ(grid->State(), 4);
    Up(HeaderPoint(2));
    EXPECT_EQ(headerClicks, 1);
}

TEST_F(TreeListFilterButtons, ClearButtonClearsOnlyOnAReleaseOverItself) {
    const TRect button = grid->GetClearFilterButtonRect();
    ASSERT_FALSE(IsRectEmpty(button));
    const TPoint face{button.Left, button.Top};
    EXPECT_EQ(Pixel(face), GetSysColor(COLOR_BTNFACE));
    Move(ClearPoint());
    EXPECT_TRUE(grid->ClearFilterHot());
    EXPECT_EQ(Pixel(face), GetSysColor(COLOR_WINDOW));
    Down(ClearPoint());
    EXPECT_EQ(grid->State(), 16);
    EXPECT_EQ(Pixel(face), GetSysColor(COLOR_WINDOWFRAME));
    Move(StatusTextPoint());
    EXPECT_FALSE(grid->ClearFilterHot());
    EXPECT_FALSE(grid->ClearFilterPressed());
    EXPECT_EQ(Pixel(face), GetSysColor(COLOR_BTNFACE));
    Up(StatusTextPoint());
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(grid->Cleared, 0);
    Down(ClearPoint());
    Move(StatusTextPoint());
    Move(ClearPoint());
    EXPECT_TRUE(grid->ClearFilterPressed());
    Up(ClearPoint());
    EXPECT_EQ(grid->Cleared, 1);
    EXPECT_FALSE(grid->ClearFilterPressed());
    // Without a filter condition there is no button to press.
    grid->Criteria = false;
    EXPECT_TRUE(IsRectEmpty(grid->GetClearFilterButtonRect()));
    Down(face);
    Up(face);
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(grid->Cleared, 1);
}

TEST_F(TreeListFilterButtons, ClearButtonHintComesAfterASecondAndGoes) {
    const TRect button = grid->GetClearFilterButtonRect();
    Move(ClearPoint());
    Wait(999);
    EXPECT_EQ(grid->ClearFilterHint(), nullptr);
    Wait(1);
    ASSERT_NE(grid->ClearFilterHint(), nullptr);
    TvxContainerHintWindow* hint = grid->ClearFilterHint();
    EXPECT_TRUE(IsWindowVisible(hint->Handle()));
    EXPECT_EQ(hint->Caption(), "Filter aufheben");
    // Above the button, 4 pixels in from its left.
    const TPoint corner = grid->ClientToScreen(TPoint{button.Left + 4, button.Top});
    EXPECT_EQ(hint->Left(), corner.X);
    EXPECT_EQ(hint->Top() + hint->Height(), corner.Y);
    // Moving on the button does not bring it back.
    Move(TPoint{ClearPoint().X + 1, ClearPoint().Y});
    Wait(4999);
    EXPECT_NE(grid->ClearFilterHint(), nullptr);
    Wait(1);
    EXPECT_EQ(grid->ClearFilterHint(), nullptr);
    Wait(5000);
    EXPECT_EQ(grid->ClearFilterHint(), nullptr);

    // Leaving the button ends the hint at once, and a pending one never comes.
    Move(StatusTextPoint());
    Move(ClearPoint());
    Wait(1000);
    ASSERT_NE(grid->ClearFilterHint(), nullptr);
    Move(StatusTextPoint());
    EXPECT_EQ(grid->ClearFilterHint(), nullptr);
    Move(ClearPoint());
    Wait(500);
    Move(StatusTextPoint());
    Wait(1000);
    EXPECT_EQ(grid->ClearFilterHint(), nullptr);

    // Leaving the control ends it too.
    Move(ClearPoint());
    Wait(1000);
    ASSERT_NE(grid->ClearFilterHint(), nullptr);
    driver->MoveTo(form, TPoint{560, 200});
    driver->Pump();
    EXPECT_EQ(grid->ClearFilterHint(), nullptr);
    EXPECT_FALSE(grid->ClearFilterHot());

    // So does freeing the control, window and all.
    Move(ClearPoint());
    Wait(1000);
    ASSERT_NE(grid->ClearFilterHint(), nullptr);
    const HWND hintWindow = grid->ClearFilterHint()->Handle();
    delete grid;
    grid = nullptr;
    EXPECT_FALSE(IsWindow(hintWindow));
    Wait(5000);
}

// The selection auto-scroll and the hint run on timers of their own: a row press dragged down
// onto the clear button and released there leaves the hint to come as usual.
TEST_F(TreeListFilterButtons, AutoScrollAndTheHintDoNotShareATimer) {
    grid->SetOptions({TvxTLOption::RowSelect, TvxTLOption::MultiSelect});
    grid->SetOptionsEx(grid->OptionsEx().Include(TvxTLOptionEx::MouseScroll));
    driver->Pump();
    const TRect first = grid->GetCellRect(grid->GetAbsoluteNode(0), 0);
    Down(TPoint{first.Left + 5, (first.Top + first.Bottom) / 2});
    Move(ClearPoint());
    EXPECT_EQ(grid->State(), 6);
    const int before = grid->GetFocusedAbsoluteNodeIndex();
    Wait(61);
    EXPECT_GT(grid->GetFocusedAbsoluteNodeIndex(), before);
    Up(ClearPoint());
    Move(TPoint{ClearPoint().X + 1, ClearPoint().Y});
    EXPECT_TRUE(grid->ClearFilterHot());
    const int stopped = grid->GetFocusedAbsoluteNodeIndex();
    Wait(1000);
    EXPECT_NE(grid->ClearFilterHint(), nullptr);
    EXPECT_EQ(grid->GetFocusedAbsoluteNodeIndex(), stopped);
}

}  // namespace
