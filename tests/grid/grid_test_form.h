#pragma once
// A form with a DB grid over a memory table of an integer, a text, a Boolean, a float, a
// date and a memo field, a data source, and a box that can take the focus away from the
// grid. The grid starts in the record window: one row per visible record.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/core/vx_db_grid.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/date_time.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_table_check.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/screen_picture.h"
#include "tests/support/ui_driver.h"

class GridOnForm : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<UiDriver>();
        form = new TForm(EnsureApplication());
        form->SetName("GridForm");
        form->SetBounds(50, 50, 700, 400);
        EnsureApplication()->FormCreated(form);
        table = new TvxMemData(form);
        table->SetName("Mem1");
        Field<TIntegerField>("ID");
        Field<TStringField>("Name", 20);
        Field<TBooleanField>("Active");
        Field<TFloatField>("Amount");
        Field<TDateField>("Day");
        Field<TMemoField>("Note");
        source = new TDataSource(form);
        source->SetName("DataSource1");
        source->SetDataSet(table);
        grid = new TvxDBGrid(form);
        grid->SetName("DBGrid1");
        grid->SetBounds(8, 8, 660, 300);
        grid->SetParent(form);
        other = new TTestBox(form);
        other->SetName("Other");
        other->SetBounds(8, 320, 60, 24);
        other->SetParent(form);
        grid->SetDataSource(source);
        form->Show();
        driver->Pump();
    }
    void TearDown() override {
        // Every grid of the form, the fixture's and those a test made, over its table.
        if (skipAgreementCheck.empty()) ExpectOwnedGridsAgreeWithTheirTables(form);
        ResetApplication();
        driver.reset();
    }
    template <class F>
    F* Field(const std::string& name, int size = 0) {
        auto* f = new F(form);
        f->SetFieldName(name);
        if (size > 0) f->SetSize(size);
        f->SetDataSet(table);
        return f;
    }
    void AddRecord(int id, const std::string& name, bool active = false, double amount = 0) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id);
        table->FieldByName("Name")->SetAsString(name);
        table->FieldByName("Active")->SetAsBoolean(active);
        table->FieldByName("Amount")->SetAsFloat(amount);
        table->FieldByName("Day")->SetAsDateTime(EncodeDate(2024, 3, id));
        table->FieldByName("Note")->SetAsString("note " + name);
        table->Post();
    }
    // The row of the current record (the grid shows the records around it), with its
    // cell records filled.
    TvxTreeListNode* RowForCurrentRecord() {
        grid->UpdateScrollBars();
        TvxTreeListNode* node = grid->GetFocusedNode();
        if (node) grid->LoadNodeData(node);
        return node;
    }
    // A grid column showing `field`, named after it.
    TvxDBGridColumn* Col(const std::string& field) {
        auto* c = grid->CreateColumn<TvxDBGridColumn>();
        c->SetName("col" + field);
        c->SetFieldName(field);
        return c;
    }
    // Every record a row, keyed on the table's ID.
    void LoadAll() {
        grid->SetKeyField("ID");
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Include(edgoLoadAllRecords);
        grid->SetOptionsDB(db);
    }
    // Rows built by hand stay: a grid loading all records without a key field loads none.
    // They name no record, so the grid is not held against its table.
    void KeepHandBuiltRows() {
        skipAgreementCheck = "rows built by hand";
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Include(edgoLoadAllRecords);
        grid->SetOptionsDB(db);
    }
    // The keys of the data rows in the tree, in display order (group rows walked down).
    std::vector<int> DataRowIds() {
        std::vector<int> ids;
        std::vector<TvxTreeListNode*> stack;
        for (int i = grid->GetCount() - 1; i >= 0; --i) stack.push_back(grid->GetItem(i));
        while (!stack.empty()) {
            TvxTreeListNode* n = stack.back();
            stack.pop_back();
            if (n->Count() == 0) ids.push_back(dynamic_cast<TvxDBGridNode*>(n)->KeyValue.AsInteger());
            for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
        }
        return ids;
    }
    TvxDBTreeListColumn* Column(const std::string& fieldName) { return grid->GetColumnByFieldName(fieldName); }
    // A click on the row (scrolled into view first), with Shift or Ctrl held as asked; never
    // half of a double click.
    void ClickRow(TvxTreeListNode* row, TShiftState shift = {}) {
        row->MakeVisible();
        driver->Pump();
        clock->Advance(GetDoubleClickTime() + 1);
        const TRect r = grid->GetNodeRowRect(row);
        driver->Click(grid, TPoint{r.Left + 40, (r.Top + r.Bottom) / 2}, shift);
    }
    // The column's header cell, in the grid's client coordinates (empty when not shown).
    TRect HeaderRect(TvxDBTreeListColumn* column) {
        TvxTreeListLayout layout;
        grid->CalcLayout(layout);
        const TvxTreeListHeaderCellEntry* cell = layout.FindCell(column->Index());
        const TRect r = cell ? cell->Rect : TRect{};
        TCustomvxTreeList::FreeLayout(layout);
        return r;
    }
    // A click on the middle of the column's header, with Ctrl held as asked; never half of a
    // double click.
    void ClickHeader(TvxDBTreeListColumn* column, TShiftState shift = {}) {
        const TRect r = HeaderRect(column);
        ASSERT_GT(r.Width(), 0);
        clock->Advance(GetDoubleClickTime() + 1);
        driver->Click(grid, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}, shift);
    }
    // Shows or hides the group panel on the shown grid: its slide waits for frames, and each
    // time it waits the clock moves on by msPerWait. Answers the milliseconds it took.
    uint64_t SwitchGroupPanel(bool show, uint64_t msPerWait = 10) {
        const uint64_t begin = clock->Ticks();
        struct Restore {
            MessageIdleHook previous;
            ~Restore() { SetMessageIdleHook(std::move(previous)); }
        } restore{SetMessageIdleHook([this, msPerWait] {
            clock->Advance(msPerWait);
            return true;
        })};
        grid->SetShowGroupPanel(show);
        return clock->Ticks() - begin;
    }
    // The pixel the form shows at a client point of the grid, once all is painted.
    COLORREF PixelOf(TPoint client) {
        UpdateAllWindows();
        return ShownPixel(form->Handle(), grid->ClientToScreen(client));
    }

    ScopedManualClock clock;
    std::unique_ptr<UiDriver> driver;
    TForm* form = nullptr;
    TvxMemData* table = nullptr;
    TDataSource* source = nullptr;
    TvxDBGrid* grid = nullptr;
    TTestBox* other = nullptr;
    // Why the form's grids are not held against their tables at the end, when they are not.
    std::string skipAgreementCheck;
};
