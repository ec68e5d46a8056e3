#include <gtest/gtest.h>

#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "tests/platform/db/array_dataset.h"

namespace {
// A string, Boolean and float field over one shared scratch record.
class TScratchDataSet : public TArrayDataSet {
public:
    using TArrayDataSet::TArrayDataSet;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(64);
    bool has[8] = {};
    bool GetFieldData(TField* f, void* Buffer) override {
        int i = f->Index();
        if (Buffer) std::memcpy(Buffer, bytes.data() + i * 16, f->DataSize());
        return has[i];
    }
    void SetFieldData(TField* f, const void* Buffer) override {
        int i = f->Index();
        has[i] = Buffer != nullptr;
        if (Buffer) std::memcpy(bytes.data() + i * 16, Buffer, f->DataSize());
    }
};
}  // namespace

TEST(Fields, TextFormsAndConversionErrors) {
    TComponent owner(nullptr);
    auto* ds = new TScratchDataSet(&owner);
    auto* s = new TStringField(&owner);
    s->SetSize(5);
    s->SetFieldName("S");
    s->SetDataSet(ds);
    auto* b = new TBooleanField(&owner);
    b->SetFieldName("B");
    b->SetDataSet(ds);
    auto* fl = new TFloatField(&owner);
    fl->SetFieldName("F");
    fl->SetDataSet(ds);
    auto* i = new TSmallintField(&owner);
    i->SetFieldName("I");
    i->SetDataSet(ds);

    s->SetAsString("Grüße!");  // one byte per character in the record, cut to 5
    EXPECT_EQ(s->AsString(), "Grüße");
    s->SetAsString("日本");  // no Windows-1252 form
    EXPECT_EQ(s->AsString(), "??");
    EXPECT_EQ(s->DisplayWidth(), 5);

    EXPECT_TRUE(b->IsNull());
    EXPECT_EQ(b->AsString(), "");
    b->SetAsString("w");
    EXPECT_TRUE(b->AsBoolean());
    EXPECT_EQ(b->DisplayText(), "Wahr");
    b->SetAsString("FALS");
    EXPECT_EQ(b->AsString(), "Falsch");
    EXPECT_EQ(ds->bytes[16], 0);
    b->SetAsBoolean(true);
    EXPECT_EQ(ds->bytes[16], 1);
    ds->bytes[17] = 0x80;  // any non-zero pattern reads as true
    ds->bytes[16] = 0;
    EXPECT_TRUE(b->AsBoolean());
    EXPECT_THROW(b->SetAsString("ja"), EConvertError);
    b->SetAsString("");
    EXPECT_TRUE(b->IsNull());
    EXPECT_EQ(b->DisplayWidth(), 6);

    fl->SetAsString("1,5");
    EXPECT_EQ(fl->AsFloat(), 1.5);
    EXPECT_EQ(fl->AsString(), "1,5");
    EXPECT_EQ(fl->AsInteger(), 2);
    EXPECT_THROW(fl->SetAsString("abc"), EConvertError);
    EXPECT_TRUE(fl->IsValidChar(U','));
    EXPECT_TRUE(fl->IsValidChar(U'e'));
    EXPECT_FALSE(i->IsValidChar(U'e'));
    EXPECT_EQ(fl->Alignment(), taRightJustify);
    EXPECT_EQ(s->Alignment(), taLeftJustify);

    EXPECT_THROW(i->SetAsInteger(40000), EDatabaseError);
    i->SetValue(Variant("-12"));
    EXPECT_EQ(i->AsInteger(), -12);
    EXPECT_EQ(i->Value().VarType(), varInteger);
    i->SetValue(Variant::Null());
    EXPECT_TRUE(i->IsNull());
    EXPECT_TRUE(VarIsNull(i->Value()));
    EXPECT_THROW(i->SetValue(Variant("zwölf")), EVariantError);

    fl->OnGetText = [](TField*, std::string& text, bool display) { text = display ? "shown" : "edit"; };
    EXPECT_EQ(fl->DisplayText(), "shown");
    EXPECT_EQ(fl->Text(), "edit");
    EXPECT_EQ(ds->FieldByName("b"), b);
    EXPECT_EQ(ds->FindField("x"), nullptr);
    std::vector<TField*> list;
    ds->GetFieldList(list, " S ; F");
    EXPECT_EQ(list, (std::vector<TField*>{s, fl}));
    b->SetIndex(0);
    EXPECT_EQ(ds->Fields()[0], b);
}

TEST(Fields, TimeStampsOfDatesAndTimes) {
    TTimeStamp ts = DateTimeToTimeStamp(-1.25);  // 1899-12-29 06:00
    EXPECT_EQ(ts.Date, 693593);
    EXPECT_EQ(ts.Time, 21600000);
    EXPECT_EQ(TimeStampToDateTime(ts), -1.25);
    ts = DateTimeToTimeStamp(0);
    EXPECT_EQ(ts.Date, 693594);
    EXPECT_EQ(TimeStampToMSecs(ts), 693594.0 * 86400000.0);
    TTimeStamp back = MSecsToTimeStamp(TimeStampToMSecs(DateTimeToTimeStamp(45000.75)));
    EXPECT_EQ(TimeStampToDateTime(back), 45000.75);
    uint8_t buf[8];
    DateTimeToNative(ftDate, 45000.75, buf);
    EXPECT_EQ(NativeToDateTime(ftDate, buf), 45000.0);
    DateTimeToNative(ftTime, 45000.75, buf);
    EXPECT_EQ(NativeToDateTime(ftTime, buf), 0.75);
}
