#pragma once
// A three-column grid for the export tests: an integer with a sum footer, a text and a
// Boolean check column, over a memory table; the files go to a fresh folder per test.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "grid/columns/vx_check_column.h"
#include "grid/columns/vx_db_grid_column.h"
#include "grid/export/vx_db_grid_export.h"
#include "platform/rtl/locale.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/temp_folder.h"

class GridExport : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        dir = temp.Path();
        id = grid->CreateColumn<TvxDBGridColumn>();
        id->SetName("colID");
        id->SetFieldName("ID");
        id->SetSummaryFooterType(cstSum);
        name = grid->CreateColumn<TvxDBGridColumn>();
        name->SetName("colName");
        name->SetFieldName("Name");
        active = grid->CreateColumn<TvxDBTreeListCheckColumn>();
        active->SetName("colActive");
        active->SetFieldName("Active");
        active->SetWidth(50);
        id->SetWidth(60);
        name->SetWidth(120);
        FormatSettings().DecimalSeparator = '.';
        for (TFont* font : {grid->Font(), grid->HeaderFont(), grid->BandFont()}) {
            font->SetName("Arial");
            font->SetSize(9);
        }
        grid->HeaderFont()->SetStyle(TFontStyles{fsBold});
        grid->SetGroupNodeColor(static_cast<TColor>(0x00336699));
        grid->SetRowFooterColor(clYellow);
        grid->SetGridLineColor(clNone);
        grid->SetShowSummaryFooter(true);
        table->Open();
    }
    void TearDown() override {
        ResetFormatSettings();
        GridOnForm::TearDown();
    }
    void AddRows() {
        AddRecord(1, "Anna", true, 1.5);
        AddRecord(2, "Bernd", false, 2.25);
        AddRecord(3, "Carla", true, 3);
    }
    void LoadAll() {
        grid->SetKeyField("ID");
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Include(edgoLoadAllRecords);
        grid->SetOptionsDB(db);
    }
    // An Amount column, the name counted and the largest amount in the footer.
    void AddAmountColumn() {
        amount = grid->CreateColumn<TvxDBGridColumn>();
        amount->SetName("colAmount");
        amount->SetFieldName("Amount");
        name->SetSummaryFooterType(cstCount);
        amount->SetSummaryFooterType(cstMax);
    }
    // Every record a row, grouped by Active, a row footer summing Amount under each group.
    void GroupByActiveWithRowFooters() {
        LoadAll();
        TvxDBGridSummaryGroup* group = grid->SummaryGroups()->Add();
        group->SetName("G");
        TvxDBGridSummaryItem* under = group->SummaryItems()->Add();
        under->SetSummaryType(cstSum);
        under->SetColumnName("colAmount");
        active->SetSummaryGroupName("G");
        active->SetGroupIndex(0);
        grid->SetShowRowFooter(true);
    }
    std::string File(const std::string& leaf) const { return (dir / leaf).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // A file of tests/grid/data: hex bytes (records one a line, "#" starts a comment), or
    // the text as it stands.
    static std::string HexData(const std::string& leaf) {
        std::istringstream in(Read(std::string(TOVAK_SOURCE_DIR) + "/tests/grid/data/" + leaf));
        std::string bytes, line;
        while (std::getline(in, line)) {
            line = line.substr(0, line.find('#'));
            std::istringstream words(line);
            std::string word;
            while (words >> word) bytes += static_cast<char>(std::stoi(word, nullptr, 16));
        }
        return bytes;
    }
    static std::string TextData(const std::string& leaf) {
        return Read(std::string(TOVAK_SOURCE_DIR) + "/tests/grid/data/" + leaf);
    }
    std::string Text(bool all = true) {
        grid->SaveToText(File("grid.txt"), all, "\t", "", "");
        return Read(File("grid.txt"));
    }
    std::string Html(bool all = true) {
        grid->SaveToHTML(File("grid.html"), all);
        return Read(File("grid.html"));
    }
    std::string Xls(bool all = true) {
        grid->SaveToXLS(File("grid.xls"), all);
        return Read(File("grid.xls"));
    }

    TempFolder temp{"tovak-export"};
    std::filesystem::path dir;
    TvxDBGridColumn* id = nullptr;
    TvxDBGridColumn* name = nullptr;
    TvxDBTreeListCheckColumn* active = nullptr;
    TvxDBGridColumn* amount = nullptr;
};
