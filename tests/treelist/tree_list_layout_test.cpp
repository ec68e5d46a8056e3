// Layout storage: the sections and keys a save writes, loading into a control that differs
// in widths, order, visibility and sorting, stale and unrelated sections, hand-edited files,
// the automatic store and load, and the same through the registry.

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "controls/registry.h"
#include "platform/classes/mem_ini_file.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "tests/support/scoped_config_home.h"
#include "tests/treelist/test_column_tree_list.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder for files and the registry store of each test.
class TreeListLayout : public testing::Test {
protected:
    ScopedConfigHome home_{"tovak-tl-layout"};
    const fs::path& dir_ = home_.Path();
    std::string File(const std::string& name) const { return (dir_ / name).string(); }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The file's non-empty lines, joined by "|".
    static std::string Lines(const std::string& path) {
        std::string text = Read(path), out, line;
        std::istringstream in(text);
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            if (!out.empty()) out += '|';
            out += line;
        }
        return out;
    }
};

// A control with three columns colA, colB, colC and one node whose texts name their column.
struct Grid {
    TCustomvxTreeListControl tl{nullptr};
    std::vector<TvxTreeListColumn*> cols;
    TvxTreeListNode* node = nullptr;
    Grid() {
        tl.SetName("Grid1");
        tl.SetIniSectionName("Form1_Grid1");
        for (const char* name : {"colA", "colB", "colC"}) {
            TvxTreeListColumn* c = tl.CreateColumn<TvxTreeListColumn>();
            c->SetName(name);
            cols.push_back(c);
        }
        node = tl.Add();
        for (int i = 0; i < 3; ++i) node->SetStrings(i, cols[static_cast<size_t>(i)]->Name());
    }
    std::string Texts() const {
        std::string s;
        for (int i = 0; i < tl.ColumnCount(); ++i) {
            if (i) s += ' ';
            s += node->Strings(i);
        }
        return s;
    }
};

}  // namespace

TEST_F(TreeListLayout, SavedFileHoldsTheViewBandAndColumnSections) {
    Grid g;
    g.cols.pop_back();
    delete g.tl.Columns(2);
    g.cols[1]->SetWidth(140);
    g.cols[1]->SetSorted(csUp);
    const std::string path = File("layout.grd");
    Write(path, "[\\Form1_Grid1\\Columns\\colC]\r\nWidth=77\r\n");
    g.tl.SaveToIniFile(path);
    EXPECT_EQ(Lines(path),
              "[\\Form1_Grid1]|ShowGrid=0|ShowPreviewGrid=1|BandRowCount=1|DefaultRowHeight=0|"
              "HeaderPanelRowCount=1|"
              "[\\Form1_Grid1\\Band\\Band0]|ID=0|Visible=1|Index=0|Width=250|"
              "[\\Form1_Grid1\\Columns\\colA]|BandIndex=0|RowIndex=0|ColIndex=0|Visible=1|Index=0|Width=100|"
              "Sorted=0|SortedOrder=-1|StoredRowIndex=0|"
              "[\\Form1_Grid1\\Columns\\colB]|BandIndex=0|RowIndex=0|ColIndex=1|Visible=1|Index=1|Width=140|"
              "Sorted=2|SortedOrder=0|StoredRowIndex=0");
    EXPECT_NE(Read(path).find("\r\n"), std::string::npos);
}

TEST_F(TreeListLayout, LoadingRestoresWidthsOrderVisibilityAndSorting) {
    const std::string path = File("layout.grd");
    {
        Grid saved;
        saved.tl.SetOptionsEx(TvxTreeListOptionsEx(saved.tl.OptionsEx()).Include(TvxTLOptionEx::MultiSort));
        saved.tl.SetShowGrid(true);
        saved.tl.SetHeaderPanelRowCount(2);
        saved.cols[2]->SetIndex(0);  // colC colA colB
        saved.cols[0]->SetWidth(180);
        saved.cols[0]->SetVisible(false);
        saved.cols[1]->SetRowIndex(1);
        saved.cols[2]->SetSorted(csDown);
        saved.cols[0]->SetSorted(csUp);
        saved.tl.Bands()->Items(0)->SetWidth(400);
        saved.tl.SaveToIniFile(path);
    }
    Grid g;
    g.tl.SetOptionsEx(TvxTreeListOptionsEx(g.tl.OptionsEx()).Include(TvxTLOptionEx::MultiSort));
    g.cols[1]->SetWidth(60);
    g.cols[1]->SetSorted(csUp);
    g.tl.LoadFromIniFile(path);
    EXPECT_EQ(ColumnOrder(g.tl), "colC colA colB");
    EXPECT_EQ(g.Texts(), "colC colA colB");
    EXPECT_TRUE(g.tl.ShowGrid());
    EXPECT_EQ(g.tl.HeaderPanelRowCount(), 2);
    EXPECT_EQ(g.cols[0]->Width(), 180);
    EXPECT_EQ(g.cols[1]->Width(), 100);
    EXPECT_FALSE(g.cols[0]->Visible());
    EXPECT_TRUE(g.cols[1]->Visible());
    EXPECT_EQ(g.cols[1]->RowIndex(), 1);
    EXPECT_EQ(g.cols[1]->StoredRowIndex(), 1);
    EXPECT_EQ(g.cols[1]->Sorted(), csNone);
    ASSERT_EQ(g.tl.SortedColumnCount(), 2);
    EXPECT_EQ(g.tl.SortedColumns(0), g.cols[2]);
    EXPECT_EQ(g.tl.SortedColumns(1), g.cols[0]);
    EXPECT_EQ(g.tl.Bands()->Items(0)->Width(), 400);
}

TEST_F(TreeListLayout, SavingErasesOnlyItsOwnSections) {
    const std::string path = File("layout.ini");
    Write(path,
          "[\\Form1_Grid1\\Columns\\colZ]\r\nWidth=77\r\n"
          "[\\Form1_Grid10]\r\nShowGrid=1\r\n"
          "[\\Form1_Grid1x\\Columns\\colA]\r\nWidth=5\r\n"
          "[Other]\r\nKey=Value\r\n");
    Grid g;
    g.tl.SaveToIniFile(path);
    TMemIniFile ini(path);
    EXPECT_FALSE(ini.SectionExists("\\Form1_Grid1\\Columns\\colZ"));
    EXPECT_TRUE(ini.SectionExists("\\Form1_Grid1\\Columns\\colC"));
    EXPECT_EQ(ini.ReadInteger("\\Form1_Grid10", "ShowGrid", 0), 1);
    EXPECT_EQ(ini.ReadInteger("\\Form1_Grid1x\\Columns\\colA", "Width", 0), 5);
    EXPECT_EQ(ini.ReadString("Other", "Key", ""), "Value");
}

TEST_F(TreeListLayout, HandEditedFilesAreReadSafely) {
    const std::string path = File("edited.ini");
    Write(path,
          "[\\S]\r\nHeaderPanelRowCount=-1\r\n"
          "[\\S\\Band\\Band0]\r\nID=99\r\nWidth=33\r\n"
          "[\\S\\Band\\Band1]\r\nID=0\r\nIndex=0\r\n"
          "[\\S\\Band\\Band2]\r\nID=0\r\nIndex=-3\r\n"
          "[\\S\\Columns\\colA]\r\nIndex=2\r\nSorted=7\r\nWidth=-40\r\nVisible=yes\r\n"
          "[\\S\\Columns\\colC]\r\nIndex=-5\r\n");
    Grid g;
    g.tl.SetIniSectionName("S");
    MakeBands(g.tl, 3);
    g.cols[0]->SetSorted(csUp);
    g.tl.LoadFromIniFile(path);
    // Band ID 99 does not exist and a second section for band ID 0 is not its own: both
    // are ignored.
    EXPECT_EQ(g.tl.Bands()->Items(0)->Width(), 250);
    EXPECT_EQ(BandOrder(g.tl), "b0 b1 b2");
    // Index values order as numbers; a column without a section keeps its place.
    EXPECT_EQ(ColumnOrder(g.tl), "colC colB colA");
    EXPECT_EQ(g.Texts(), "colC colB colA");
    EXPECT_EQ(g.cols[0]->Sorted(), csUp);
    EXPECT_EQ(g.cols[0]->Width(), 20);
    EXPECT_TRUE(g.cols[0]->Visible());

    // Swapping two "Index" values by hand swaps the columns.
    Write(path, "[\\S\\Columns\\colA]\r\nIndex=2\r\n[\\S\\Columns\\colC]\r\nIndex=0\r\n");
    g.tl.LoadFromIniFile(path);
    EXPECT_EQ(ColumnOrder(g.tl), "colC colB colA");
    Write(path, "[\\S\\Columns\\colA]\r\nIndex=0\r\n[\\S\\Columns\\colC]\r\nIndex=2\r\n");
    g.tl.LoadFromIniFile(path);
    EXPECT_EQ(ColumnOrder(g.tl), "colA colB colC");
    EXPECT_EQ(g.Texts(), "colA colB colC");

    // Not an INI file at all, or no file: nothing changes, nothing breaks.
    Write(path, std::string("\xff\xfe\x00garbage[[=\r\n\x01\x02", 16));
    g.tl.LoadFromIniFile(path);
    g.tl.LoadFromIniFile(File("missing.ini"));
    EXPECT_EQ(ColumnOrder(g.tl), "colA colB colC");
}

// Hand-edited files kept under corpus/, with values at the ends of the integer range: every
// value comes in held to its range, the row still shows and no sum overflows.
TEST_F(TreeListLayout, ExtremeValuesInKeptFilesAreHeldToTheirRanges) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(TOVAK_TREELIST_CORPUS)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        Grid g;
        g.tl.SetIniSectionName("S");
        g.tl.SetBounds(0, 0, 400, 300);
        g.tl.SetOptionsEx(TvxTreeListOptionsEx(g.tl.OptionsEx()).Include(TvxTLOptionEx::MultiSort));
        g.tl.LoadFromIniFile(entry.path().string());
        EXPECT_GE(g.tl.DefaultRowHeight(), 0);
        EXPECT_LE(g.tl.DefaultRowHeight(), kvxMaxRowHeight);
        for (int b = 0; b < g.tl.Bands()->Count(); ++b) EXPECT_LE(g.tl.Bands()->Items(b)->Width(), kvxMaxWidth);
        for (TvxTreeListColumn* c : g.cols) {
            EXPECT_GE(c->Width(), c->MinWidth());
            EXPECT_LE(c->Width(), kvxMaxWidth);
            EXPECT_LT(c->StoredRowIndex(), g.tl.HeaderPanelMaxRowCount());
        }
        TvxTreeListLayout layout;
        g.tl.CalcLayout(layout);
        ASSERT_EQ(layout.RowEntries.size(), 1u);
        EXPECT_GT(layout.RowEntries[0].Height, 0);
        TCustomvxTreeList::FreeLayout(layout);
        g.tl.SetLeftCoord(INT_MAX);
        EXPECT_LE(g.tl.LeftCoord(), g.tl.GetScrollableWidth());
        g.tl.SetLeftCoord(INT_MIN);
        EXPECT_EQ(g.tl.LeftCoord(), 0);
    }
    EXPECT_GT(files, 0);
}

TEST_F(TreeListLayout, HeaderPanelRowCountKeyAndTheAutomaticHeight) {
    const std::string path = File("rows.ini");
    Grid g;
    g.tl.SetIniSectionName("S");
    g.tl.SetOptionsEx(TvxTreeListOptionsEx(g.tl.OptionsEx()).Include(TvxTLOptionEx::AutoHeaderPanelHeight));
    Write(path, "[\\S]\r\nShowGrid=1\r\n");
    g.tl.LoadFromIniFile(path);
    EXPECT_TRUE(g.tl.IsAutoHeaderPanelHeight());
    Write(path, "[\\S]\r\nHeaderPanelRowCount=-1\r\n");
    g.tl.LoadFromIniFile(path);
    EXPECT_TRUE(g.tl.IsAutoHeaderPanelHeight());
    g.tl.SaveToIniFile(path);
    EXPECT_EQ(TMemIniFile(path).ReadInteger("\\S", "HeaderPanelRowCount", 0), -1);
    Write(path, "[\\S]\r\nHeaderPanelRowCount=3\r\n");
    g.tl.LoadFromIniFile(path);
    EXPECT_FALSE(g.tl.IsAutoHeaderPanelHeight());
    EXPECT_EQ(g.tl.HeaderPanelRowCount(), 3);
}

TEST_F(TreeListLayout, SectionNameAndPathRules) {
    EXPECT_EQ(TCustomvxTreeListControl::NormalizeLayoutPath("Grid\\\\"), "\\Grid");
    EXPECT_EQ(TCustomvxTreeListControl::NormalizeLayoutPath("\\Grid"), "\\Grid");
    EXPECT_EQ(TCustomvxTreeListControl::NormalizeLayoutPath(""), "");
    auto* form = new TForm(EnsureApplication());
    form->SetName("CatalogueForm");
    auto* tl = new TCustomvxTreeListControl(form);
    tl->SetName("DBGrid1");
    EXPECT_EQ(tl->LayoutSectionName(), "CatalogueForm_DBGrid1");
    tl->SetIniSectionName("DBGRID");
    EXPECT_EQ(tl->LayoutSectionName(), "DBGRID");
    tl->SetParent(form);
    EXPECT_EQ(tl->ParentFormName(), "CatalogueForm");
    // The form frees its columns and the control in its own order.
    tl->CreateColumn<TvxTreeListColumn>(form)->SetSorted(csUp);
    tl->CreateColumn<TvxTreeListMaskColumn>(form);
    tl->Add()->SetStrings(1, "x");
    delete form;
}

TEST_F(TreeListLayout, StoresItselfOnceAfterLoadingAndOnceWhenDestroyed) {
    const std::string path = File("auto.ini");
    auto make = [&](int width) {
        auto g = std::make_unique<Grid>();
        g->tl.IncludeState(csLoading);
        g->tl.SetOptions(TvxTreeListOptions(g->tl.Options()).Include(TvxTLOption::StoreToIniFile));
        g->tl.SetIniFileName(path);
        g->cols[0]->SetWidth(width);
        g->tl.Loaded();
        return g;
    };
    auto first = make(150);
    EXPECT_EQ(first->cols[0]->Width(), 150);
    EXPECT_FALSE(fs::exists(path));
    first.reset();
    ASSERT_TRUE(fs::exists(path));
    auto second = make(120);
    EXPECT_EQ(second->cols[0]->Width(), 150);
    second->cols[0]->SetWidth(170);
    second->tl.Loaded();  // a second Loaded does not read the file again
    EXPECT_EQ(second->cols[0]->Width(), 170);
}

TEST_F(TreeListLayout, RegistryKeepsTheLayoutToo) {
    const std::string key = "Software\\Tovak\\Grid1";
    {
        Grid g;
        g.cols[2]->SetIndex(0);
        g.cols[1]->SetWidth(222);
        g.cols[0]->SetVisible(false);
        g.tl.SaveToRegistry(key);
    }
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("\\Software\\Tovak\\Grid1\\Columns\\colB"));
    Grid g;
    g.tl.LoadFromRegistry(key + "\\");
    EXPECT_EQ(ColumnOrder(g.tl), "colC colA colB");
    EXPECT_EQ(g.Texts(), "colC colA colB");
    EXPECT_EQ(g.cols[1]->Width(), 222);
    EXPECT_FALSE(g.cols[0]->Visible());

    // A key that does not exist reads nothing and is not made.
    Grid other;
    other.tl.LoadFromRegistry("Software\\Tovak\\Nothing");
    EXPECT_EQ(ColumnOrder(other.tl), "colA colB colC");
    EXPECT_FALSE(reg.KeyExists("\\Software\\Tovak\\Nothing"));
}
