// The grid's exports of 100,000 records of five fields (integer, two texts, Boolean, float):
// as text, as HTML and as a spreadsheet (which ends at its 16,384 rows and then reports the
// rows left out), reading the records through the dataset (the grid a window onto them) and
// through the rows of a grid that loaded them all.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/core/vx_db_grid.h"
#include "grid/export/vx_db_grid_export_excel.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"

namespace {

constexpr int kRecords = 100000;

class ExportedGrid {
public:
    explicit ExportedGrid(bool loadAll) {
        form_ = new TForm(EnsureApplication());
        form_->SetBounds(0, 0, 1024, 768);
        table_ = new TvxMemData(form_);
        AddField(new TIntegerField(form_), "ID");
        AddField(new TStringField(form_), "Name", 20);
        AddField(new TStringField(form_), "Place", 20);
        AddField(new TBooleanField(form_), "Active");
        AddField(new TFloatField(form_), "Amount");
        table_->Open();
        table_->DisableControls();
        for (int i = 1; i <= kRecords; ++i) {
            table_->Append();
            table_->FieldByName("ID")->SetAsInteger(i);
            table_->FieldByName("Name")->SetAsString("Name <" + std::to_string(i) + ">");
            table_->FieldByName("Place")->SetAsString("Place " + std::to_string(i % 97));
            table_->FieldByName("Active")->SetAsBoolean(i % 3 == 0);
            table_->FieldByName("Amount")->SetAsFloat(i * 0.25);
            table_->Post();
        }
        table_->EnableControls();
        table_->First();
        auto* source = new TDataSource(form_);
        source->SetDataSet(table_);
        grid_ = new TvxDBGrid(form_);
        grid_->SetParent(form_);
        grid_->SetAlign(alClient);
        grid_->SetKeyField("RecId");
        if (loadAll) {
            TvxDBGridOptionsDB db = grid_->OptionsDB();
            db.Include(edgoLoadAllRecords);
            grid_->SetOptionsDB(db);
        }
        for (const char* name : {"ID", "Name", "Place", "Active", "Amount"})
            grid_->CreateColumn<TvxDBGridColumn>()->SetFieldName(name);
        grid_->GetColumn(0)->SetSummaryFooterType(cstSum);
        grid_->SetShowSummaryFooter(true);
        grid_->SetDataSource(source);
        form_->Show();
    }
    ~ExportedGrid() {
        ResetApplication();
        std::filesystem::remove(File());
    }
    TvxDBGrid* Grid() const { return grid_; }
    static std::string File() { return (std::filesystem::temp_directory_path() / "tovak_export_bench").string(); }

private:
    void AddField(TField* field, const std::string& name, int size = 0) {
        field->SetFieldName(name);
        if (size > 0) field->SetSize(size);
        field->SetDataSet(table_);
    }
    TForm* form_;
    TvxMemData* table_;
    TvxDBGrid* grid_;
};

void BM_ExportText(benchmark::State& state) {
    ExportedGrid g(state.range(0) != 0);
    for (auto _ : state) g.Grid()->SaveToText(ExportedGrid::File(), true, "\t", "", "");
}

void BM_ExportHTML(benchmark::State& state) {
    ExportedGrid g(state.range(0) != 0);
    for (auto _ : state) g.Grid()->SaveToHTML(ExportedGrid::File(), true);
}

void BM_ExportXLS(benchmark::State& state) {
    ExportedGrid g(state.range(0) != 0);
    for (auto _ : state) {
        try {
            g.Grid()->SaveToXLS(ExportedGrid::File(), true);
            state.SkipWithError("the sheet took every row");
        } catch (const ESheetRowsLeftOut&) {
            // The rows that fit are written; the rest is reported.
        }
    }
}

// Argument 0: through the dataset; 1: through the rows of a grid loading every record.
BENCHMARK(BM_ExportText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportHTML)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportXLS)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
