// Bookmarks that outlive deletes, and the calculated and lookup fields a grid shows.

#include <gtest/gtest.h>

#include "platform/rtl/exception.h"
#include "tests/platform/db/row_dataset.h"

namespace {
struct Numbers {
    TComponent owner{nullptr};
    TRowDataSet* ds = new TRowDataSet(&owner);
    TIntegerField* v = ds->Add<TIntegerField>("V");
    explicit Numbers(int n) {
        ds->Open();
        for (int i = 1; i <= n; ++i) ds->AddRow({Variant(i)});
        ds->First();
    }
    TBookmark At(int value) {
        EXPECT_TRUE(ds->Locate("V", Variant(value), {}));
        return ds->Bookmark();
    }
};
}  // namespace

TEST(Bookmarks, SurviveDeletesOfOtherRowsAndFailCleanlyForTheirOwn) {
    Numbers n(10);
    TBookmark b3 = n.At(3), b5 = n.At(5), b7 = n.At(7), b10 = n.At(10);

    n.ds->GotoBookmark(b5);
    n.ds->Delete();
    EXPECT_EQ(n.v->AsInteger(), 6);  // the next row takes its place
    EXPECT_FALSE(n.ds->BookmarkValid(b5));
    EXPECT_TRUE(n.ds->BookmarkValid(b7));
    n.ds->GotoBookmark(b7);
    EXPECT_EQ(n.v->AsInteger(), 7);
    n.ds->GotoBookmark(b3);
    EXPECT_EQ(n.v->AsInteger(), 3);
    EXPECT_THROW(n.ds->GotoBookmark(b5), EDatabaseError);
    EXPECT_EQ(n.v->AsInteger(), 3);  // a failed jump leaves the cursor where it was
    EXPECT_EQ(n.ds->State(), dsBrowse);

    // Deleting the last row moves to the new last one; its bookmark is gone with it.
    n.ds->GotoBookmark(b10);
    n.ds->Delete();
    EXPECT_EQ(n.v->AsInteger(), 9);
    EXPECT_TRUE(n.ds->Eof() || n.ds->RecNo() == n.ds->RecordCount());
    EXPECT_THROW(n.ds->GotoBookmark(b10), EDatabaseError);

    // A row inserted where a deleted one was gets a bookmark of its own.
    n.ds->GotoBookmark(b7);
    n.ds->Insert();
    n.v->SetAsInteger(5);
    n.ds->Post();
    TBookmark again = n.ds->Bookmark();
    EXPECT_NE(again, b5);
    n.ds->GotoBookmark(b3);
    n.ds->GotoBookmark(again);
    EXPECT_EQ(n.v->AsInteger(), 5);

    // Emptied: no row, no bookmark.
    n.ds->First();
    while (!n.ds->IsEmpty()) n.ds->Delete();
    EXPECT_TRUE(n.ds->Bookmark().empty());
    EXPECT_THROW(n.ds->GotoBookmark(b3), EDatabaseError);
    EXPECT_TRUE(n.ds->Eof());
    EXPECT_TRUE(n.ds->Bof());
}

namespace {
// Orders that show the text of their product code, looked up in a second dataset, and a
// calculated total.
struct Orders {
    TComponent owner{nullptr};
    TRowDataSet* products = new TRowDataSet(&owner);
    TIntegerField* productId = products->Add<TIntegerField>("Id");
    TIntegerField* productVariant = products->Add<TIntegerField>("Variant");
    TStringField* productText = products->Add<TStringField>("Text", 12);

    TRowDataSet* orders = new TRowDataSet(&owner);
    TIntegerField* code = orders->Add<TIntegerField>("Code");
    TIntegerField* kind = orders->Add<TIntegerField>("Kind");
    TIntegerField* count = orders->Add<TIntegerField>("Count");
    TIntegerField* total = orders->Add<TIntegerField>("Total", 0, fkCalculated);
    TStringField* name = orders->Add<TStringField>("Name", 12, fkLookup);
    TStringField* fullName = orders->Add<TStringField>("FullName", 12, fkLookup);
    std::vector<TDataSetState> statesSeen;

    Orders() {
        products->Open();
        products->AddRow({Variant(1), Variant(0), Variant("Schloss")});
        products->AddRow({Variant(2), Variant(0), Variant("Riegel")});
        products->AddRow({Variant(2), Variant(1), Variant("Riegel lang")});
        name->SetLookupDataSet(products);
        name->SetKeyFields("Code");
        name->SetLookupKeyFields("Id");
        name->SetLookupResultField("Text");
        fullName->SetLookupDataSet(products);
        fullName->SetKeyFields("Code;Kind");
        fullName->SetLookupKeyFields("Id;Variant");
        fullName->SetLookupResultField("Text");
        orders->OnCalcFields = [this](TDataSet* ds) {
            statesSeen.push_back(ds->State());
            if (!count->IsNull()) total->SetAsInteger(count->AsInteger() * 10);
        };
        orders->Open();
        orders->AddRow({Variant(1), Variant(0), Variant(3)});
        orders->AddRow({Variant(2), Variant(1), Variant::Null()});
        orders->AddRow({Variant(9), Variant(0), Variant(1)});
        orders->First();
    }
};
}  // namespace

TEST(CalcAndLookupFields, ComputedForEveryRowThatIsRead) {
    Orders o;
    EXPECT_EQ(o.name->AsString(), "Schloss");
    EXPECT_EQ(o.fullName->AsString(), "Schloss");
    EXPECT_EQ(o.total->AsInteger(), 30);
    o.orders->Next();
    EXPECT_EQ(o.name->AsString(), "Riegel");
    EXPECT_EQ(o.fullName->AsString(), "Riegel lang");  // two key fields, one array
    EXPECT_TRUE(o.total->IsNull());                    // cleared before the handler, which left it alone
    o.orders->Next();
    EXPECT_TRUE(o.name->IsNull());  // no such product
    EXPECT_EQ(o.name->AsString(), "");
    EXPECT_EQ(o.total->AsInteger(), 10);
    for (TDataSetState s : o.statesSeen) EXPECT_EQ(s, dsCalcFields);
    EXPECT_EQ(o.orders->State(), dsBrowse);
}

TEST(CalcAndLookupFields, FollowAnEditAtOnceAndComeBackOnCancel) {
    Orders o;
    o.orders->Edit();
    o.code->SetAsInteger(2);
    EXPECT_EQ(o.name->AsString(), "Riegel");
    o.count->SetAsInteger(7);
    EXPECT_EQ(o.total->AsInteger(), 70);
    o.orders->Cancel();
    EXPECT_EQ(o.name->AsString(), "Schloss");
    EXPECT_EQ(o.total->AsInteger(), 30);
    // Posted, the new values hold after moving away and back.
    o.orders->Edit();
    o.code->SetAsInteger(2);
    o.kind->SetAsInteger(1);
    o.orders->Post();
    o.orders->Last();
    o.orders->First();
    EXPECT_EQ(o.fullName->AsString(), "Riegel lang");
    // With the lookup dataset closed a lookup field has no value; the rest still works.
    o.products->Close();
    o.orders->Refresh();
    EXPECT_TRUE(o.name->IsNull());
    EXPECT_EQ(o.total->AsInteger(), 30);
}
