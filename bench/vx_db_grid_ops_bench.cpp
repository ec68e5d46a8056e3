// The rest of the DB grid's operations against its rows, at 100,000 and 200,000 rows of the
// table of vx_db_grid_rows_bench (see grid_rows_fixture.h), each with its repaint, keys and
// clicks as a person gives them where the grid takes them from the keyboard or the mouse:
// - sorting by the Name column with a click on its header;
// - fully expanding and collapsing a grid grouped by Name (a group row per record);
// - a filter hiding 99 % of the rows and clearing it in that grid (the group rows go and
//   come back);
// - selecting every row with Ctrl+Home and then Shift+Ctrl+End;
// - deleting the selected records, one in a hundred (Ctrl+Delete);
// - moving a thousand rows to the end one by one inside one update, and one row without;
// - clearing the rows (the grid reloads them afterwards, outside the clock);
// - counting the footer and the group summaries (grouped by Place) again;
// - saving the layout and loading it again;
// - exporting every row as text, as HTML and as a spreadsheet (which ends at its 16,384
//   rows: its figure stays the same at both sizes);
// - an incremental search typing a Name near the end;
// - Ctrl+End, then three pages up and three down;
// - widening the Name column and fitting it to its texts.
// Beside them in the same run, the scan of vx_db_grid_rows_bench. After the runs it prints
// each figure at 200,000 rows against 100,000 and at 100,000 rows against the scan.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/grid_rows_fixture.h"
#include "grid/export/vx_db_grid_export_excel.h"
#include "platform/win/virtual_keys.h"
#include "tests/support/ui_driver.h"

namespace {

using namespace grid_rows;

std::string TempFile(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / ("tovak_grid_ops_" + Name)).string();
}

// A grid that takes keys and clicks (through the driver, which lives as long as the grid's
// application): focused, searching as keys are typed, selecting rows by records.
struct KeyedGrid : GridOnTable {
    UiDriver driver;
    explicit KeyedGrid(int Records, bool MultiSelect = false) : GridOnTable(Records) {
        TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
        behavior.Include(edgoAutoSearch);
        if (MultiSelect) behavior.Include(edgoMultiSelect);
        grid->SetOptionsBehavior(behavior);
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Exclude(edgoConfirmDelete);
        grid->SetOptionsDB(db);
        grid->SetFocus();
        UpdateAllWindows();
        driver.PressKey(VK_HOME, TShiftState{ssCtrl});
    }
    void Key(uint16_t Vk, TShiftState Shift = {}) { driver.PressKey(Vk, Shift); }
};

void BM_ScanWithDisplayTexts(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)), false);
    ScanDisplayTexts(g);
    for (auto _ : state) benchmark::DoNotOptimize(ScanDisplayTexts(g));
}
BENCHMARK(BM_ScanWithDisplayTexts)->Apply(Rows);

// Clicks on the headers of Name and Place in turn, so that no two clicks make a double click:
// each sorts by its column.
void BM_SortByHeaderClick(benchmark::State& state) {
    KeyedGrid g(static_cast<int>(state.range(0)));
    auto middleOfHeader = [&g](TvxDBTreeListColumn* Column) {
        TvxTreeListLayout layout;
        g.grid->CalcLayout(layout);
        const TvxTreeListHeaderCellEntry* cell = layout.FindCell(Column->Index());
        const TRect r = cell ? cell->Rect : TRect{};
        TCustomvxTreeList::FreeLayout(layout);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    };
    const TPoint name = middleOfHeader(g.name), place = middleOfHeader(g.place);
    bool onName = false;
    auto click = [&] {
        onName = !onName;
        const TPoint at = onName ? name : place;
        g.driver.MouseDown(g.grid, at);
        g.driver.MouseUp(g.grid, at);
        g.driver.Pump();
        UpdateAllWindows();
    };
    click();
    for (auto _ : state) {
        click();
        if ((onName ? g.name : g.place)->Sorted() == csNone) {
            state.SkipWithError("the click did not sort");
            break;
        }
    }
}
BENCHMARK(BM_SortByHeaderClick)->Apply(Rows);

void BM_FullCollapseAndExpand(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    g.name->SetGroupIndex(0);
    UpdateAllWindows();
    auto both = [&g] {
        g.grid->FullCollapse();
        UpdateAllWindows();
        g.grid->FullExpand();
        UpdateAllWindows();
    };
    both();
    for (auto _ : state) both();
    if (g.ShownRows() != 2 * g.records) state.SkipWithError("not every row shown");
}
BENCHMARK(BM_FullCollapseAndExpand)->Apply(Rows);

// A filter on one Place, and clearing it, in a grid grouped by Name: the filter empties 99 %
// of the group rows, which go, and clearing it brings them back.
void BM_FilterAndClearGroupedByName(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    g.name->SetGroupIndex(0);
    UpdateAllWindows();
    g.FilterOnePlaceAndClear();
    for (auto _ : state) {
        g.FilterOnePlaceAndClear();
        if (g.grid->GetCount() != g.records) {
            state.SkipWithError("group rows went missing");
            break;
        }
    }
}
BENCHMARK(BM_FilterAndClearGroupedByName)->Apply(Rows);

void BM_SelectAllByShiftRange(benchmark::State& state) {
    KeyedGrid g(static_cast<int>(state.range(0)), true);
    auto select = [&g] { SelectEveryRowByKeys(g.driver); };
    select();
    for (auto _ : state) {
        select();
        state.PauseTiming();
        if (g.grid->GetSelectedCount() != g.records) {
            state.SkipWithError("not every row selected");
            break;
        }
        g.Key(VK_HOME, TShiftState{ssCtrl});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAllByShiftRange)->Apply(Rows);

// One row in a hundred selected (the focused row is selected as well), deleted with
// Ctrl+Delete; the records come back outside the clock.
void BM_DeleteSelectedRecords(benchmark::State& state) {
    KeyedGrid g(static_cast<int>(state.range(0)), true);
    int next = g.records;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 50; i < g.grid->GetCount(); i += 100) g.grid->GetItem(i)->SetSelected(true);
        const int selected = g.grid->GetSelectedCount();
        if (selected < g.records / 100) {
            state.SkipWithError("the rows were not selected");
            break;
        }
        state.ResumeTiming();
        g.Key(VK_DELETE, TShiftState{ssCtrl});
        UpdateAllWindows();
        state.PauseTiming();
        if (g.table->RecordCount() != g.records - selected) {
            state.SkipWithError("the records stayed");
            break;
        }
        g.table->DisableControls();
        for (int i = 0; i < selected; ++i) g.Append(++next);
        g.table->EnableControls();
        g.Key(VK_HOME, TShiftState{ssCtrl});
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteSelectedRecords)->Apply(Rows);

// A thousand rows (one in a hundred of the first 100,000) moved to the end one by one inside
// one update: each move costs what the rows behind it do, the update's end lays out once.
void BM_MoveAThousandRowsToTheEnd(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    auto move = [&g] {
        std::vector<TvxTreeListNode*> moving;
        for (int i = 0; i < 100000 && i < g.grid->GetCount(); i += 100) moving.push_back(g.grid->GetItem(i));
        g.grid->BeginUpdate();
        for (TvxTreeListNode* node : moving) node->MoveTo(g.grid->GetItem(g.grid->GetCount() - 1), nmAdd);
        g.grid->EndUpdate();
        UpdateAllWindows();
    };
    move();
    for (auto _ : state) move();
}
BENCHMARK(BM_MoveAThousandRowsToTheEnd)->Apply(Rows);

void BM_MoveOneRowWithoutLock(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    auto move = [&g] {
        g.grid->GetItem(g.records / 2)->MoveTo(g.grid->GetItem(g.grid->GetCount() - 1), nmAdd);
        UpdateAllWindows();
    };
    move();
    for (auto _ : state) move();
}
BENCHMARK(BM_MoveOneRowWithoutLock)->Apply(Rows);

void BM_ClearNodes(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        g.grid->ClearNodes();
        UpdateAllWindows();
        state.PauseTiming();
        g.grid->ReloadGroupList();
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClearNodes)->Apply(Rows);

void BM_RecalcSummaries(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    g.place->SetSummaryField("Amount");
    g.place->SetSummaryType(cstSum);
    g.grid->SetShowSummaryFooter(true);
    auto recalc = [&g] {
        g.grid->RecalcSummaries(nullptr);
        UpdateAllWindows();
    };
    recalc();
    for (auto _ : state) recalc();
}
BENCHMARK(BM_RecalcSummaries)->Apply(Rows);

void BM_LayoutSaveAndLoad(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    const std::string file = TempFile("layout.ini");
    auto saveAndLoad = [&] {
        g.grid->SaveToIniFile(file);
        g.grid->LoadFromIniFile(file);
        UpdateAllWindows();
    };
    saveAndLoad();
    for (auto _ : state) saveAndLoad();
    std::filesystem::remove(file);
}
BENCHMARK(BM_LayoutSaveAndLoad)->Apply(Rows);

template <class Export>
void ExportEveryRow(benchmark::State& state, const std::string& Name, Export Write) {
    GridOnTable g(static_cast<int>(state.range(0)));
    const std::string file = TempFile(Name);
    Write(g.grid, file);
    for (auto _ : state) Write(g.grid, file);
    std::filesystem::remove(file);
}

void BM_ExportText(benchmark::State& state) {
    ExportEveryRow(state, "export.txt",
                   [](TvxDBGrid* Grid, const std::string& File) { Grid->SaveToText(File, true, "\t", "", ""); });
}
BENCHMARK(BM_ExportText)->Apply(Rows);

void BM_ExportHTML(benchmark::State& state) {
    ExportEveryRow(state, "export.html",
                   [](TvxDBGrid* Grid, const std::string& File) { Grid->SaveToHTML(File, true); });
}
BENCHMARK(BM_ExportHTML)->Apply(Rows);

void BM_ExportSpreadsheet(benchmark::State& state) {
    ExportEveryRow(state, "export.xls", [](TvxDBGrid* Grid, const std::string& File) {
        try {
            Grid->SaveToXLS(File, true);
        } catch (const ESheetRowsLeftOut&) {
            // The rows that fit are written; the rest is reported.
        }
    });
}
BENCHMARK(BM_ExportSpreadsheet)->Apply(Rows);

void BM_IncrementalSearch(benchmark::State& state) {
    KeyedGrid g(static_cast<int>(state.range(0)));
    g.grid->SetFocusedColumn(1);
    // A Name of a record near the end, typed from the first row on.
    const std::string wanted = "Name " + std::to_string(g.records - 7);
    auto search = [&] {
        g.driver.Type(wanted);
        UpdateAllWindows();
    };
    auto back = [&] {
        g.Key(VK_ESCAPE);
        g.Key(VK_HOME, TShiftState{ssCtrl});
    };
    search();
    back();
    for (auto _ : state) {
        search();
        state.PauseTiming();
        if (g.grid->GetFocusedNode() != g.grid->GetItem(g.records - 8)) {
            state.SkipWithError("the search missed");
            break;
        }
        back();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_IncrementalSearch)->Apply(Rows);

void BM_CtrlEndAndPaging(benchmark::State& state) {
    KeyedGrid g(static_cast<int>(state.range(0)));
    auto keys = [&g] {
        g.Key(VK_END, TShiftState{ssCtrl});
        for (int i = 0; i < 3; ++i) g.Key(VK_PRIOR);
        for (int i = 0; i < 3; ++i) g.Key(VK_NEXT);
        UpdateAllWindows();
    };
    keys();
    for (auto _ : state) {
        state.PauseTiming();
        g.Key(VK_HOME, TShiftState{ssCtrl});
        state.ResumeTiming();
        keys();
    }
    if (g.grid->GetFocusedNode() != g.grid->GetItem(g.records - 1)) state.SkipWithError("not at the end");
}
BENCHMARK(BM_CtrlEndAndPaging)->Apply(Rows);

void BM_ColumnResizeAndBestFit(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    auto resize = [&g] {
        g.name->SetWidth(g.name->Width() + 40);
        UpdateAllWindows();
        g.grid->ColumnBestFit(g.name->GetIndex());
        UpdateAllWindows();
    };
    resize();
    for (auto _ : state) resize();
}
BENCHMARK(BM_ColumnResizeAndBestFit)->Apply(Rows);

}  // namespace

int main(int argc, char** argv) {
    return RunWithRatios(argc, argv, [](const RatioReporter& reporter) {
        reporter.PrintRowRatios(
            {"SortByHeaderClick", "FullCollapseAndExpand", "FilterAndClearGroupedByName", "SelectAllByShiftRange",
             "DeleteSelectedRecords", "MoveAThousandRowsToTheEnd", "MoveOneRowWithoutLock", "ClearNodes",
             "RecalcSummaries", "LayoutSaveAndLoad", "ExportText", "ExportHTML", "ExportSpreadsheet",
             "IncrementalSearch", "CtrlEndAndPaging", "ColumnResizeAndBestFit"},
            "BM_ScanWithDisplayTexts");
    });
}
