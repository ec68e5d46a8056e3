// The grid's exports: the files of a plain and of a grouped grid byte for byte in the three
// formats and both record modes, the rows a selection exports, the dataset position an
// export leaves, and how the formats deal with markup, code pages and their own limits.

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "grid/columns/vx_db_hyperlink_column.h"
#include "grid/columns/vx_db_image_column.h"
#include "grid/export/vx_db_grid_export_excel.h"
#include "grid/export/vx_db_grid_export_html.h"
#include "tests/grid/export_fixture.h"

namespace {

struct Record {
    uint16_t Code;
    std::string Data;
    uint16_t Word(size_t at) const {
        return static_cast<uint16_t>(static_cast<uint8_t>(Data[at]) | static_cast<uint8_t>(Data[at + 1]) << 8);
    }
    int Row() const { return Word(0); }
    int Column() const { return Word(2); }
    int XF() const { return Word(4); }
    std::string Text() const { return Data.substr(8); }
};

std::vector<Record> Records(const std::string& file) {
    std::vector<Record> out;
    for (size_t at = 0; at + 4 <= file.size();) {
        Record r;
        r.Code = static_cast<uint16_t>(static_cast<uint8_t>(file[at]) | static_cast<uint8_t>(file[at + 1]) << 8);
        const size_t length = static_cast<uint8_t>(file[at + 2]) | static_cast<uint8_t>(file[at + 3]) << 8;
        if (at + 4 + length > file.size()) throw std::runtime_error("record runs past the end");
        r.Data = file.substr(at + 4, length);
        out.push_back(r);
        at += 4 + length;
    }
    return out;
}

// The cell records (LABEL, BLANK, NUMBER, RK, FORMULA) of one sheet row.
std::vector<Record> Cells(const std::vector<Record>& records, int row) {
    std::vector<Record> out;
    for (const Record& r : records)
        if ((r.Code == 0x0204 || r.Code == 0x0201 || r.Code == 0x0203 || r.Code == 0x027E || r.Code == 0x0406) &&
            r.Row() == row)
            out.push_back(r);
    return out;
}

int CountOf(const std::vector<Record>& records, uint16_t code) {
    return static_cast<int>(
        std::count_if(records.begin(), records.end(), [&](const Record& r) { return r.Code == code; }));
}

// A field of raw bytes: the memory table keeps none, so a text field turns into one once
// the table is open.
class TBytesTestField : public TStringField {
public:
    using TStringField::TStringField;
    void BecomeBytes() { SetDataType(ftBytes); }
};

class GroupedExport : public GridExport {
protected:
    void SetUp() override {
        GridExport::SetUp();
        AddAmountColumn();
        amount->SetWidth(70);
        amount->SetSummaryFooterField("AMOUNT");
        grid->Bands()->Items(0)->SetCaption("Person");
        grid->Bands()->Add()->SetCaption("Werte");
        active->SetBandIndex(1);
        amount->SetBandIndex(1);
        grid->SetShowBands(true);
        AddRows();
        AddRecord(4, "Dora", false, 4);
        GroupByActiveWithRowFooters();
    }
};

TEST_F(GridExport, ThreeColumnsLoadingAllRecordsTwiceGiveTheSameFiles) {
    AddRows();
    LoadAll();
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Text(), TextData("three_columns.txt"));
        EXPECT_EQ(Html(), TextData("three_columns.html"));
        EXPECT_EQ(Xls(), HexData("three_columns.xls.hex"));
    }
}

TEST_F(GridExport, ThreeColumnsInTheRecordWindowGiveTheSameFilesButNoFooterInHtml) {
    AddRows();
    ASSERT_TRUE(grid->IsCursorMode());
    EXPECT_EQ(Text(), TextData("three_columns.txt"));
    EXPECT_EQ(Html(), TextData("three_columns_window.html"));
    EXPECT_EQ(Xls(), HexData("three_columns.xls.hex"));
}

TEST_F(GroupedExport, GroupRowsBandsAndRowFootersInEveryFormat) {
    EXPECT_EQ(Text(), TextData("grouped.txt"));
    EXPECT_EQ(Html(), TextData("grouped.html"));
    EXPECT_EQ(Xls(), HexData("grouped.xls.hex"));
}

TEST_F(GroupedExport, ASelectionExportsItsGroupRowsAndDescendantsOnceInTreeOrder) {
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoMultiSelect);
    grid->SetGridOptions(options);
    // Nothing selected: every row.
    grid->ClearSelection();
    EXPECT_EQ(Text(false), TextData("grouped.txt"));
    TvxTreeListNode* wahr = grid->GetItem(0);
    TvxTreeListNode* falsch = grid->GetItem(1);
    // Rows selected last first: their group rows, each once, in tree order.
    falsch->Items(1)->SetSelected(true);
    wahr->Items(0)->SetSelected(true);
    ASSERT_EQ(grid->GetSelectedCount(), 2);
    EXPECT_EQ(Text(false),
              "ID\tName\tAmount\r\n\r\nActive : Wahr \r\n1\tAnna\t1.5\r\n"
              "Active : Falsch \r\n4\tDora\t4\r\n");
    // The spreadsheet writes the same rows.
    const auto records = Records(Xls(false));
    EXPECT_EQ(Cells(records, 3)[2].Text(), "Anna");
    EXPECT_EQ(Cells(records, 4)[0].Text(), "Active : Falsch ");
    EXPECT_EQ(Cells(records, 5)[2].Text(), "Dora");
    EXPECT_EQ(Cells(records, 6)[3].Text(), "6.25");  // Dora ends her group
    EXPECT_EQ(Text(true), TextData("grouped.txt"));
}

TEST_F(GridExport, TheRecordWindowExportsTheSelectedRecordsAndStaysWhereItWas) {
    for (int i = 1; i <= 28; ++i) AddRecord(i, "R" + std::to_string(i));
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoMultiSelect);
    grid->SetGridOptions(options);
    ASSERT_TRUE(table->Locate("ID", Variant(20), {}));
    driver->Pump();
    const auto topRecord = [&] { return grid->TopVisibleNode()->Strings(id->GetIndex()); };
    const std::string top = topRecord();
    ASSERT_NE(top, "1");
    const auto stays = [&] {
        EXPECT_EQ(table->FieldByName("ID")->AsInteger(), 20);
        EXPECT_EQ(topRecord(), top);
    };
    const std::string all = Text();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 30);
    stays();
    grid->ClearSelection();
    grid->GetFocusedNode()->SetSelected(true);
    ASSERT_EQ(grid->GetSelectedCount(), 1);
    EXPECT_EQ(Text(false), "ID\tName\tActive\r\n\r\n20\tR20\tFalsch\r\n");
    stays();
    EXPECT_EQ(Records(Xls()).size(), Records(Xls()).size());
    stays();
    // A file that cannot be made: the error reaches the caller, nothing moved.
    EXPECT_THROW(grid->SaveToXLS(File("missing/grid.xls"), true), Exception);
    stays();
    // An error in the middle of the walk: the rows so far and the page's end are in the
    // file, the table is back where it was and tells its controls again.
    table->FieldByName("Name")->OnGetText = [](TField* field, std::string& text, bool) {
        if (field->DataSet()->FieldByName("ID")->AsInteger() == 5) throw Exception("unreadable");
        text = field->AsString();
    };
    EXPECT_THROW(grid->SaveToHTML(File("grid.html"), true), Exception);
    table->FieldByName("Name")->OnGetText = nullptr;
    stays();
    EXPECT_FALSE(table->ControlsDisabled());
    const std::string html = Read(File("grid.html"));
    EXPECT_NE(html.find(">R4<"), std::string::npos);
    EXPECT_EQ(html.find(">R5<"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 18), "</BODY>\r\n</HTML>\r\n");
}

TEST_F(GridExport, MarkupUmlautsAndCharactersOutsideTheCodePage) {
    // Names live in a wide field: a text field keeps Windows-1252 only.
    table->Close();
    Field<TWideStringField>("Wide", 20);
    table->Open();
    int key = 0;
    for (const char* text : {"<Ä&ö> \"x\"", "€ ☃", "x\x01\x7F\xC2\x85\xEF\xBF\xBE\ty"}) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(++key);
        table->FieldByName("Wide")->SetAsString(text);
        table->Post();
    }
    name->SetFieldName("Wide");
    name->SetCaption("N<a>me");
    grid->Font()->SetName("Ari\"al");
    // The columns whose HTML values are their own: a link (markup) and a description (text).
    auto* link = grid->CreateColumn<TvxDBTreeListHyperLinkColumn>();
    link->SetFieldName("Wide");
    auto* image = grid->CreateColumn<TvxDBTreeListImageColumn>();
    image->SetFieldName("ID");
    image->Values()->Add("2");
    image->Descriptions()->Add("<zwei>");
    LoadAll();
    const std::string text = Text();
    EXPECT_NE(text.find("\t<Ä&ö> \"x\"\t"), std::string::npos) << text;
    EXPECT_NE(text.find("\t€ ☃\t"), std::string::npos);

    const std::string html = Html();
    EXPECT_NE(html.find("<B>N&lt;a&gt;me</B>"), std::string::npos);
    EXPECT_NE(html.find(">&lt;\xC4&amp;\xF6&gt; \"x\"</FONT>"), std::string::npos);
    EXPECT_NE(html.find(">\x80 &#9731;</FONT>"), std::string::npos);
    EXPECT_NE(html.find("font-family: Ari&quot;al;"), std::string::npos);
    EXPECT_EQ(html.find("Ari\"al"), std::string::npos);
    EXPECT_NE(html.find("><a href=\"&lt;\xC4&amp;\xF6&gt; &quot;x&quot;\">&lt;\xC4&amp;\xF6&gt; \"x\"</a></FONT>"),
              std::string::npos)
        << "the anchor stays markup, its text is escaped once";
    EXPECT_NE(html.find("><a href=\"\x80 &#9731;\">\x80 &#9731;</a></FONT>"), std::string::npos);
    EXPECT_NE(html.find(">&lt;zwei&gt;</FONT>"), std::string::npos);
    // Characters a page may not hold (controls, noncharacters) become the replacement
    // character; a tab stays.
    EXPECT_NE(html.find(">x&#65533;&#65533;&#65533;&#65533;\ty</FONT>"), std::string::npos);
    EXPECT_NE(html.find("href=\"x&#65533;&#65533;&#65533;&#65533;\ty\""), std::string::npos);
    EXPECT_EQ(html.find('\x01'), std::string::npos);
    EXPECT_EQ(html.find('\x7F'), std::string::npos);

    const auto records = Records(Xls());
    EXPECT_EQ(Cells(records, 0)[1].Text(), "N<a>me");
    EXPECT_EQ(Cells(records, 1)[1].Text(), "<\xC4&\xF6> \"x\"");
    EXPECT_EQ(Cells(records, 2)[1].Text(), "\x80 ?");
}

TEST_F(GridExport, IntegersBeyondTheRKRangeAreNumbersAndBytesAreTexts) {
    const int values[] = {536870911, -536870912, 536870912, -536870913};
    table->Close();
    auto* bytes = Field<TBytesTestField>("Raw", 4);
    table->Open();
    for (int i = 0; i < 4; ++i) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(values[i]);
        table->FieldByName("Raw")->SetAsString("AB");
        table->Post();
    }
    bytes->BecomeBytes();
    auto* raw = grid->CreateColumn<TvxDBGridColumn>();
    raw->SetName("colRaw");
    raw->SetFieldName("Raw");
    for (bool loadAll : {false, true}) {
        if (loadAll) LoadAll();
        const auto records = Records(Xls());
        for (int row = 1; row <= 4; ++row) {
            const Record id_ = Cells(records, row)[0];
            const double expected = values[row - 1];
            if (row <= 2) {
                ASSERT_EQ(id_.Code, 0x027E);
                EXPECT_EQ(static_cast<int32_t>(id_.Word(6) | id_.Word(8) << 16) >> 2, expected);
            } else {
                ASSERT_EQ(id_.Code, 0x0203);
                double d;
                std::memcpy(&d, id_.Data.data() + 6, 8);
                EXPECT_EQ(d, expected);
            }
            const Record r = Cells(records, row)[3];
            EXPECT_EQ(r.Code, 0x0204);
            EXPECT_EQ(r.Text(), "AB");
        }
    }
}

TEST_F(GridExport, FooterFormulasWithoutRowsAndWithAnotherField) {
    amount = grid->CreateColumn<TvxDBGridColumn>();
    amount->SetName("colAmount");
    amount->SetFieldName("Amount");
    LoadAll();
    // No rows: the area would hold the footer itself.
    auto records = Records(Xls());
    auto footer = Cells(records, 1);
    ASSERT_EQ(footer.size(), 4u);
    EXPECT_EQ(footer[0].Code, 0x0201);
    EXPECT_EQ(footer[0].XF(), 25);
    // The largest amount under the ID column, the field named in any case.
    AddRows();
    id->SetSummaryFooterType(cstMax);
    id->SetSummaryFooterField("aMoUnT");
    records = Records(Xls());
    footer = Cells(records, 4);
    ASSERT_EQ(footer[0].Code, 0x0406);
    EXPECT_EQ(footer[0].Data.substr(18), std::string("\x25\x01\xC0\x03\xC0\x03\x03\x42\x01\x07\x00", 11));
    // A field no column shows: no formula.
    id->SetSummaryFooterField("Day");
    EXPECT_EQ(Cells(Records(Xls()), 4)[0].Code, 0x0201);
}

TEST_F(GridExport, LongTextsAndManyColumnsStayWithinTheFormat) {
    // The columns come while the grid has no data, ten a band: the layout's cost grows
    // with the square of a band's columns and each new column reloads the rows.
    table->Close();
    grid->SetDataSource(nullptr);
    Field<TStringField>("Long", 400);
    auto* note = grid->CreateColumn<TvxDBGridColumn>();
    note->SetName("colLong");
    note->SetFieldName("Long");
    note->SetWidth(2000);
    grid->BeginUpdate();
    for (int i = 0; i < 250; ++i) {
        if (i % 10 == 0) grid->Bands()->Add();
        auto* c = grid->CreateColumn<TvxDBGridColumn>();
        c->SetName("colMore" + std::to_string(i));
        c->SetFieldName("Name");
        c->SetBandIndex(1 + i / 10);
    }
    grid->EndUpdate();
    grid->SetDataSource(source);
    table->Open();
    AddRecord(1, "");
    table->Edit();
    table->FieldByName("Long")->SetAsString(std::string(300, 'n'));
    table->Post();
    LoadAll();
    const auto records = Records(Xls());
    EXPECT_EQ(CountOf(records, 0x0231), 4 + 5 + 246);
    EXPECT_EQ(CountOf(records, 0x007D), 246);
    EXPECT_EQ(CountOf(records, 0x0443), 29 + 246);
    const auto row = Cells(records, 1);
    ASSERT_EQ(row.size(), 246u);
    EXPECT_EQ(row.back().Column(), 245);
    EXPECT_EQ(row[3].Word(6), 255);
    EXPECT_EQ(row[3].Text(), std::string(255, 'n'));
    for (const Record& r : records)
        if (r.Code == 0x007D && r.Word(0) == 3) {
            EXPECT_EQ(r.Word(4), 65535);
        }
}

TEST_F(GridExport, RowsBeyondTheSheetAreLeftOutWithAnErrorAfterTheFileIsWritten) {
    table->DisableControls();
    for (int i = 1; i <= TvxDBGridExportExcel::kLastSheetRow + 3; ++i) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(i);
        table->Post();
    }
    table->EnableControls();
    try {
        grid->SaveToXLS(File("grid.xls"), true);
        ADD_FAILURE() << "no error";
    } catch (const ESheetRowsLeftOut& e) {
        EXPECT_NE(e.Message().find(" 4 Zeilen"), std::string::npos) << e.Message();
    }
    const auto records = Records(Read(File("grid.xls")));
    // Data rows 1 .. 16382, the footer in the last row, then EOF.
    EXPECT_EQ(Cells(records, 16382)[0].Word(6) >> 2, 16382);
    const auto footer = Cells(records, 16383);
    ASSERT_EQ(footer[0].Code, 0x0406);
    EXPECT_EQ(footer[0].Word(21), 16382 | 0xC000);
    EXPECT_EQ(records.back().Code, 0x000A);
    for (const Record& r : records)
        if (r.Code == 0x027E) {
            ASSERT_LE(r.Row(), 16382);
        }
}

TEST(GridExportText, EscapesMarkupAndWritesWindows1252) {
    EXPECT_EQ(TvxDBGridExportHTML::Escape("a<b>&\"c\""), "a&lt;b&gt;&amp;\"c\"");
    EXPECT_EQ(TvxDBGridExportHTML::Escape("\"", true), "&quot;");
    EXPECT_EQ(TvxDBGridExportHTML::Escape("Grüße 😀"),
              "Gr\xFC\xDF"
              "e &#128512;");
    // Bytes that are no UTF-8 cannot smuggle anything through.
    EXPECT_EQ(TvxDBGridExportHTML::Escape("a\xFF<"), "a&#65533;&lt;");
    EXPECT_EQ(TvxDBGridExportHTML::Escape("\xE2\x82"), "&#65533;&#65533;");
}

}  // namespace
