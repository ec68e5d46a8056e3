// The data-aware pop-up list over a dataset of many rows: its height by row count, the key's
// row selected, keys and clicks taking a row's key, the scroll bar moving the rows shown
// without changing the key, and a list without an open dataset.

#include "platform/dbctrls/popup_data_list.h"
#include "platform/db/data_source.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/virtual_keys.h"
#include "platform/win/window_tree.h"
#include "tests/platform/db/row_dataset.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

class PopupDataListTest : public FormsTest {
protected:
    TForm* form = nullptr;
    TRowDataSet* ds = nullptr;
    TDataSource* src = nullptr;
    TPopupDataList* list = nullptr;
    TIntegerField* id = nullptr;
    int changes = 0;

    void Build(int rows) {
        form = MakeForm("ListForm");
        ds = new TRowDataSet(form);
        id = ds->Add<TIntegerField>("ID");
        ds->Add<TStringField>("Name", 10);
        ds->Add<TStringField>("Town", 10);
        ds->Open();
        for (int i = 1; i <= rows; ++i)
            ds->AddRow({Variant(i), Variant("Name" + std::to_string(i)), Variant("Town" + std::to_string(i))});
        ds->First();
        src = new TDataSource(form);
        src->SetDataSet(ds);
        form->Show();
        list = new TPopupDataList(form);
        list->SetKeyField("ID");
        list->SetListField("Name; Town");
        list->SetListSource(src);
        list->SetRowCount(5);
        list->SetBounds(120, 140, 150, list->Height());
        list->OnChange = [this](TObject*) { ++changes; };
        list->HandleNeeded();
        list->ShowList();
        ::UpdateAllWindows();
    }
    void Key(uint16_t key) { SendMessage(list->Handle(), WM_KEYDOWN, key, 0); }
};

TEST_F(PopupDataListTest, RowsKeysAndClicksTakeTheKeyOfARow) {
    Build(20);
    EXPECT_EQ(list->ClientHeight(), 5 * list->RowHeight());
    EXPECT_EQ(list->VisibleRecordCount(), 5);
    ASSERT_EQ(list->ListFieldObjects().size(), 2u);

    list->SetKeyValue(Variant(12));
    EXPECT_EQ(id->AsInteger(), 12);  // the dataset moved to the key's row
    EXPECT_EQ(changes, 0);
    Key(VK_DOWN);
    EXPECT_EQ(list->KeyValue().AsInteger(), 13);
    Key(VK_NEXT);
    EXPECT_EQ(list->KeyValue().AsInteger(), 17);
    Key(VK_END);
    EXPECT_EQ(list->KeyValue().AsInteger(), 20);
    Key(VK_HOME);
    EXPECT_EQ(list->KeyValue().AsInteger(), 1);
    EXPECT_EQ(changes, 4);

    // A key that no row holds: the next key picks the first row.
    list->SetKeyValue(Variant(99));
    ds->Last();
    Key(VK_DOWN);
    EXPECT_EQ(list->KeyValue().AsInteger(), 1);

    // A click on the third row shown (the middle one) takes its key.
    Driver().Click(list);
    EXPECT_EQ(list->KeyValue().AsInteger(), 3);
    EXPECT_EQ(list->RowAt(6 * list->RowHeight()), -1);
}

TEST_F(PopupDataListTest, TheScrollBarMovesTheRowsButKeepsTheKey) {
    Build(20);
    list->SetKeyValue(Variant(2));
    EXPECT_TRUE(GetWindowLong(list->Handle(), GWL_STYLE) & WS_VSCROLL);
    SendMessage(list->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(list->KeyValue().AsInteger(), 2);
    EXPECT_GT(id->AsInteger(), 5);  // rows beyond the first page are shown
    SendMessage(list->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(id->AsInteger(), 20);
    EXPECT_EQ(list->KeyValue().AsInteger(), 2);
}

TEST_F(PopupDataListTest, AShortOrClosedListShowsWhatItHas) {
    Build(2);
    EXPECT_EQ(list->VisibleRecordCount(), 2);
    EXPECT_FALSE(GetWindowLong(list->Handle(), GWL_STYLE) & WS_VSCROLL);
    ds->Close();
    EXPECT_EQ(list->ListDataSet(), nullptr);
    EXPECT_EQ(list->KeyFieldObject(), nullptr);
    Key(VK_DOWN);
    list->SetKeyValue(Variant(1));
    ::UpdateAllWindows();
    EXPECT_EQ(list->KeyValue().AsInteger(), 1);
}

}  // namespace
