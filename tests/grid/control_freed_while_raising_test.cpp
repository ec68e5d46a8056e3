// A grid, a tree list or a form freed while a handler of theirs raises (a row's deletion, the
// form's OnDestroy): the program goes on, everything is freed (LeakSanitizer checks each case
// as it ends), and the exception reaches the application's report once the message under way
// is done, never from inside the destructor, where no box may run; of several, the first.
// Each case runs in a child process of its own, so that one which ends the program shows as
// its failure alone.

#include <string>
#include <vector>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/core/vx_db_grid.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/exception.h"
#include "platform/win/message_queue.h"
#include "tests/support/child_process_case.h"
#include "tests/treelist/test_tree_list.h"

namespace {

// The application as the program sets it up, its reports counted.
struct Reports {
    std::vector<std::string> said;
    // Set while a destructor runs: a report then would be a box inside it.
    bool freeing = false;

    Reports() {
        EnsureApplication()->Initialize();
        EnsureApplication()->OnException = [this](TObject*, const std::exception& e) {
            EXPECT_FALSE(freeing) << "reported inside the destructor";
            said.push_back(e.what());
        };
    }
    // Nothing is reported before the message under way is done.
    template <class F>
    void Free(F&& free) {
        freeing = true;
        free();
        freeing = false;
        EXPECT_TRUE(said.empty());
    }
};

// A form with a grouped grid of every record; the table and its source made before the grid
// (freed after it, as a form frees the last made first) or after it (freed before it).
struct GridForm {
    TForm* form = nullptr;
    TvxMemData* table = nullptr;
    TDataSource* source = nullptr;
    TvxDBGrid* grid = nullptr;

    explicit GridForm(bool tableFirst) {
        form = new TForm(EnsureApplication());
        form->SetBounds(50, 50, 500, 300);
        EnsureApplication()->FormCreated(form);
        if (!tableFirst) MakeGrid();
        table = new TvxMemData(form);
        auto field = [this](TField* f, const char* name) {
            f->SetFieldName(name);
            f->SetDataSet(table);
        };
        field(new TIntegerField(form), "ID");
        field(new TStringField(form), "Kind");
        source = new TDataSource(form);
        source->SetDataSet(table);
        table->Open();
        for (int id = 1; id <= 12; ++id) Append(id, id % 3 == 0 ? "Gate" : "Door");
        if (tableFirst) MakeGrid();
        grid->SetKeyField("ID");
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Include(edgoLoadAllRecords);
        grid->SetOptionsDB(db);
        for (const char* field : {"ID", "Kind"}) {
            auto* c = grid->CreateColumn<TvxDBGridColumn>();
            c->SetFieldName(field);
        }
        grid->SetDataSource(source);
        grid->GetColumnByFieldName("Kind")->SetGroupIndex(0);
        grid->FullExpand();
        form->Show();
        ProcessMessages();
        EXPECT_GT(grid->GetAbsoluteCount(), 12);
        // Every row's deletion raises.
        grid->OnDeletion = [](TObject*, TvxTreeListNode*) { throw Exception("row not let go"); };
    }
    void Append(int id, const std::string& kind) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id);
        table->FieldByName("Kind")->SetAsString(kind);
        table->Post();
    }
    void MakeGrid() {
        grid = new TvxDBGrid(form);
        grid->SetBounds(8, 8, 400, 200);
        grid->SetParent(form);
    }
};

TEST(ControlFreedWhileRaising, AGridGoesAndTheProgramGoesOnWithItsTable) {
    ExpectCaseInChildProcess([] {
        Reports reports;
        GridForm f(true);
        reports.Free([&] { delete f.grid; });
        ProcessMessages();
        EXPECT_EQ(reports.said, std::vector<std::string>{"row not let go"});
        // The table no longer reaches the grid it had.
        EXPECT_TRUE(f.source->DataLinks().empty());
        f.Append(13, "Door");
        f.table->First();
        f.table->Delete();
        EXPECT_EQ(f.table->RecordCount(), 12);
        ResetApplication();
    });
}

TEST(ControlFreedWhileRaising, AFormGoesWithItsTableBeforeItsGridAndItsOwnDestroyRaising) {
    ExpectCaseInChildProcess([] {
        Reports reports;
        GridForm f(false);
        f.form->OnDestroy = [](TObject*) { throw Exception("form not let go"); };
        // The program's end: the forms go, and what they raised is reported then.
        ResetApplication();
        EXPECT_EQ(reports.said, std::vector<std::string>{"row not let go"});
    });
}

TEST(ControlFreedWhileRaising, ATreeListGoesWithEveryNode) {
    ExpectCaseInChildProcess([] {
        Reports reports;
        auto* form = new TForm(EnsureApplication());
        auto* list = new TTestTreeList(form);
        list->SetParent(form);
        for (int i = 0; i < 4; ++i) {
            TvxTreeListNode* root = list->Add();
            for (int j = 0; j < 3; ++j) root->AddChild();
        }
        int deleted = 0;
        list->OnDeletion = [&deleted](TObject*, TvxTreeListNode*) {
            ++deleted;
            throw Exception("node " + std::to_string(deleted) + " not let go");
        };
        reports.Free([&] { delete list; });
        EXPECT_EQ(deleted, 16);
        ProcessMessages();
        EXPECT_EQ(reports.said, std::vector<std::string>{"node 1 not let go"});
        ResetApplication();
    });
}

}  // namespace
