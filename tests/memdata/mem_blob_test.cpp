#include <gtest/gtest.h>

#include <cstring>

#include "memdata/mem_blob_stream.h"
#include "memdata/vx_mem_data.h"
#include "platform/rtl/exception.h"
#include "tests/memdata/mem_test_util.h"

namespace {
struct BlobTable {
    TestForm form;
    TvxMemData* m = form.Table();
    TIntegerField* n = form.Add<TIntegerField>(m, "N");
    TBlobField* data = form.Add<TBlobField>(m, "Data");
    TMemoField* memo = form.Add<TMemoField>(m, "Memo");
    BlobTable() { m->Open(); }
};
}  // namespace

TEST(MemBlob, WriteReadAndKeepPerRecord) {
    BlobTable t;
    EXPECT_EQ(t.m->BlobFieldCount(), 2);
    EXPECT_EQ(t.memo->Offset(), 1);
    t.m->Append();
    t.n->SetAsInteger(1);
    {
        auto s = t.m->CreateBlobStream(t.data, bmWrite);
        EXPECT_EQ(s->Write("abc", 3), 3);
    }
    t.memo->SetAsString("Grüße");
    t.m->Post();
    EXPECT_EQ(t.data->AsString(), "abc");
    EXPECT_EQ(t.memo->AsString(), "Grüße");
    EXPECT_FALSE(t.data->IsNull());
    t.m->Append();
    t.n->SetAsInteger(2);
    t.m->Post();
    EXPECT_TRUE(t.data->IsNull());  // an empty value answers "no data"
    auto r = t.m->CreateBlobStream(t.data, bmRead);
    char buf[8];
    EXPECT_EQ(r->Read(buf, 8), 0);
    EXPECT_EQ(r->Size(), 0);
    t.m->First();
    EXPECT_EQ(t.data->AsString(), "abc");
    EXPECT_EQ(t.m->Lookup("N", 1, "Memo").AsString(),
              "Gr\xFC\xDF"
              "e");  // stored bytes
    // Seek and partial reads.
    auto s = t.m->CreateBlobStream(t.data, bmRead);
    EXPECT_EQ(s->Seek(-2, soEnd), 1);
    EXPECT_EQ(s->Read(buf, 8), 2);
    EXPECT_EQ(std::string(buf, 2), "bc");
}

TEST(MemBlob, CancelRestoresTheStoredValueAndStateIsChecked) {
    BlobTable t;
    t.m->Append();
    t.data->SetAsBytes(std::string("\0\1\2", 3));
    t.m->Post();
    try {
        t.m->CreateBlobStream(t.data, bmWrite);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Datenmenge weder im Editier- noch im Einfügemodus");
    }
    t.m->Edit();
    t.data->SetAsBytes("changed");
    EXPECT_EQ(t.data->AsBytes(), "changed");
    t.m->Cancel();
    EXPECT_EQ(t.data->AsBytes(), std::string("\0\1\2", 3));
    t.data->SetReadOnly(true);
    t.m->Edit();
    try {
        t.m->CreateBlobStream(t.data, bmWrite);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Feld 'Data' kann nicht verändert werden");
    }
    t.m->Cancel();
}

TEST(MemBlob, BlobsFollowTheirRecordsThroughSortAndDelete) {
    BlobTable t;
    for (int i = 3; i >= 1; --i) {
        t.m->Append();
        t.n->SetAsInteger(i);
        t.memo->SetAsString("memo " + std::to_string(i));
        t.m->Post();
    }
    t.m->SetSortedField("N");
    t.m->First();
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(t.memo->AsString(), "memo " + std::to_string(i));
        t.m->Next();
    }
    t.m->First();
    t.m->Delete();
    EXPECT_EQ(t.memo->AsString(), "memo 2");
    t.m->Insert();
    t.n->SetAsInteger(0);
    t.memo->SetAsString("memo 0");
    t.m->Post();
    t.m->First();
    EXPECT_EQ(t.memo->AsString(), "memo 0");
    t.m->Next();
    EXPECT_EQ(t.memo->AsString(), "memo 2");
}

namespace {
// Reaches the framework's direct record insertion, which no published operation uses.
class TDirectMemData : public TvxMemData {
public:
    using TvxMemData::TvxMemData;
    void AddDirect(int value, const std::string& blob, bool append) {
        TRecordBuffer buf = AllocRecordBuffer();
        InternalInitRecord(buf);
        TvxMemField* d = Store().FindField(FieldByName("N"));
        d->SetHasValue(buf, true);
        std::memcpy(buf + d->DataOffset, &value, 4);
        BufferBlob(buf, 0) = blob;
        InternalAddRecord(buf, append);
        FreeRecordBuffer(buf);
        Resync();
    }
};
}  // namespace

TEST(MemBlob, DirectInsertKeepsRecordAndBlobTogether) {
    TestForm form;
    auto* m = new TDirectMemData(form.owner.get());
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* memo = form.Add<TMemoField>(m, "Memo");
    m->Open();
    m->AddDirect(1, "one", true);
    m->AddDirect(3, "three", true);
    m->SetRecNo(2);
    m->AddDirect(2, "two", false);  // goes before the current record, with its blob
    m->First();
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(n->AsInteger(), i);
        EXPECT_EQ(memo->AsString(), i == 1 ? "one" : i == 2 ? "two" : "three");
        m->Next();
    }
}
