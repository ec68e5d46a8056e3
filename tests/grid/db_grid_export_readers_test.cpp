// The exported files as other programs read them: LibreOffice and Gnumeric compute the
// footers of the spreadsheet, python's xlrd reads its cells, libxml2 and tidy parse the
// page. Each test skips itself when its reader is not installed.

#include <cstdio>

#include "tests/grid/export_fixture.h"

namespace {

// The command's output (standard output and error).
std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

bool Installed(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The grouped grid with markup characters and umlauts in its data.
class ExportReaders : public GridExport {
protected:
    void SetUp() override {
        GridExport::SetUp();
        AddAmountColumn();
        AddRecord(1, "Änne <&>", true, 1.5);
        AddRecord(2, "Bernd \"B\"", false, 2.25);
        AddRecord(3, "Jörg", true, 3);
        AddRecord(4, "Dora", false, 4);
        GroupByActiveWithRowFooters();
        grid->SaveToXLS(File("grid.xls"), true);
        grid->SaveToHTML(File("grid.html"), true);
    }
};

// What LibreOffice and Gnumeric show: the footer computed from the rows above it.
const char* const kComputed =
    ",ID,Name,Amount\n"
    "Active : Wahr ,,,\n"
    ",1,Änne <&>,1.5\n"
    ",3,Jörg,3\n"
    ",,,4.50\n"
    "Active : Falsch ,,,\n"
    ",2,\"Bernd \"\"B\"\"\",2.25\n"
    ",4,Dora,4\n"
    ",,,6.25\n"
    ",10,4,4\n";

// The CSV again with quotes only where a field needs them: the programs quote differently.
std::string Unquoted(const std::string& csv) {
    std::string out, field;
    bool quoted = false;
    const auto endField = [&] {
        const bool needs = field.find_first_of(",\"") != std::string::npos;
        if (needs) {
            out += '"';
            for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
            out += '"';
        } else {
            out += field;
        }
        field.clear();
    };
    for (size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            endField();
            out += ',';
        } else if (c == '\n') {
            endField();
            out += '\n';
        } else if (c != '\r') {
            field += c;
        }
    }
    return out;
}

TEST_F(ExportReaders, LibreOfficeComputesTheFootersWithTheirFormulas) {
    if (!Installed("soffice")) GTEST_SKIP() << "soffice is not installed";
    const std::string profile = "-env:UserInstallation=file://" + (dir / "profile").string();
    const std::string out = (dir / "lo").string();
    Shell("soffice " + profile + " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir " + out +
          " " + File("grid.xls"));
    EXPECT_EQ(Unquoted(Read(out + "/grid.csv")), kComputed);
    Shell("soffice " + profile + " --headless --convert-to fods --outdir " + out + " " + File("grid.xls"));
    const std::string fods = Read(out + "/grid.fods");
    EXPECT_NE(fods.find("of:=SUM([.B2:.B9])"), std::string::npos);
    EXPECT_NE(fods.find("of:=COUNTA([.C2:.C9])"), std::string::npos);
    EXPECT_NE(fods.find("of:=MAX([.D2:.D9])"), std::string::npos);
}

TEST_F(ExportReaders, GnumericComputesTheFooters) {
    if (!Installed("ssconvert")) GTEST_SKIP() << "ssconvert is not installed";
    Shell("ssconvert " + File("grid.xls") + " " + File("gnumeric.csv"));
    EXPECT_EQ(Unquoted(Read(File("gnumeric.csv"))), kComputed);
}

TEST_F(ExportReaders, XlrdReadsEveryCell) {
    if (!Installed("/usr/bin/python3") || Shell("/usr/bin/python3 -c 'import xlrd'") != "")
        GTEST_SKIP() << "python3-xlrd is not installed";
    const std::string script =
        "import sys, xlrd\n"
        "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
        "for r in range(s.nrows):\n"
        "    print('|'.join(repr(s.cell_value(r, c)) for c in range(s.ncols)))\n";
    std::ofstream(File("read.py")) << script;
    // Formulas carry no stored result: xlrd reads 0 in the footer.
    EXPECT_EQ(Shell("/usr/bin/python3 " + File("read.py") + " " + File("grid.xls")),
              "''|'ID'|'Name'|'Amount'\n"
              "'Active : Wahr '|''|''|''\n"
              "''|1.0|'Änne <&>'|1.5\n"
              "''|3.0|'Jörg'|3.0\n"
              "''|''|''|'4.50'\n"
              "'Active : Falsch '|''|''|''\n"
              "''|2.0|'Bernd \"B\"'|2.25\n"
              "''|4.0|'Dora'|4.0\n"
              "''|''|''|'6.25'\n"
              "''|0.0|0.0|0.0\n");
}

TEST_F(ExportReaders, TheHtmlParsesCleanly) {
    if (Installed("xmllint")) {
        // xmllint exits with 0 even on parser errors: its output tells.
        EXPECT_EQ(Shell("xmllint --html --noout " + File("grid.html")), "");
    }
    if (!Installed("tidy")) GTEST_SKIP() << "tidy is not installed";
    // Only the tables' missing summaries (an HTML 3.2 page has none).
    std::istringstream report(Shell("tidy -q -e -win1252 " + File("grid.html")));
    std::string line;
    int lines = 0;
    while (std::getline(report, line)) {
        ++lines;
        EXPECT_NE(line.find("lacks \"summary\" attribute"), std::string::npos) << line;
    }
    EXPECT_EQ(lines, 2);
}

}  // namespace
