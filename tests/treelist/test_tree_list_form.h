#pragma once
// A form with a tree list of three 100-pixel columns on it, driven through the UI driver on
// a manual clock: places of headers, presses, moves, waits and the pixels the form shows.

#include <memory>
#include <vector>

#include "platform/forms/application.h"
#include "platform/gdi/system_metrics.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"
#include "tests/support/screen_picture.h"
#include "tests/support/ui_driver.h"
#include "tests/treelist/test_column_tree_list.h"

template <class TList>
class TreeListOnForm : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<UiDriver>();
        form = new TForm(EnsureApplication());
        form->SetName("TreeListForm");
        form->SetBounds(50, 50, 600, 400);
        EnsureApplication()->FormCreated(form);
        grid = new TList(form);
        grid->SetBounds(8, 8, 500, 300);
        cols = AddColumns(*grid, 3);
        for (TvxTreeListColumn* c : cols) c->SetWidth(100);
        grid->SetParent(form);
        form->Show();
        driver->Pump();
    }
    void TearDown() override {
        ResetApplication();
        driver.reset();
    }
    void AddRows(int count) {
        for (int i = 0; i < count; ++i) grid->Add()->SetStrings(0, Numbered("r", i));
        driver->Pump();
    }
    TRect HeaderRect(int column) {
        TvxTreeListLayout layout;
        grid->CalcLayout(layout);
        const TvxTreeListHeaderCellEntry* cell = layout.FindCell(column);
        const TRect r = cell ? cell->Rect : TRect{};
        TCustomvxTreeList::FreeLayout(layout);
        return r;
    }
    // A press never pairs up with the one before into a double click.
    void Down(TPoint p, MouseButton b = MouseButton::Left) {
        clock->Advance(GetDoubleClickTime() + 1);
        driver->MouseDown(grid, p, b);
        driver->Pump();
    }
    void Up(TPoint p, MouseButton b = MouseButton::Left) {
        driver->MouseUp(grid, p, b);
        driver->Pump();
    }
    void Move(TPoint p) {
        driver->MoveTo(grid, p);
        driver->Pump();
    }
    void Wait(uint32_t ms) {
        clock->Advance(ms);
        driver->Pump();
    }
    // The pixel the form shows at a client point of the tree list, once all is painted.
    COLORREF Pixel(TPoint client) {
        UpdateAllWindows();
        return ShownPixel(form->Handle(), grid->ClientToScreen(client));
    }

    ScopedManualClock clock;
    std::unique_ptr<UiDriver> driver;
    TForm* form = nullptr;
    TList* grid = nullptr;
    std::vector<TvxTreeListColumn*> cols;
};
