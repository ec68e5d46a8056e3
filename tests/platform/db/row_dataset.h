#pragma once
// A dataset of rows with several fields, to test what the grid leans on without the memory
// table. Every field (data, calculated or lookup) has a slot of a has-value byte and up to
// 31 value bytes in the record buffer, by its position in the field list; after the slots
// come the row id (the bookmark) and the bookmark flag. Rows keep the data slots; calculated
// and lookup slots are computed when a row is read, as a descendant of the framework does.
// Locate and Lookup scan the rows.

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/db/db.h"

class TRowDataSet : public TDataSet {
public:
    static constexpr int kSlot = 32;
    struct Row {
        int id;
        std::vector<uint8_t> bytes;
    };
    std::vector<Row> rows;

    explicit TRowDataSet(TComponent* owner) : TDataSet(owner) {}
    ~TRowDataSet() override { DestroyingClose(); }

    template <typename F>
    F* Add(const std::string& name, int size = 0, TFieldKind kind = fkData) {
        auto* f = new F(this);
        f->SetFieldName(name);
        if (size > 0) f->SetSize(size);
        f->SetFieldKind(kind);
        f->SetDataSet(this);
        return f;
    }
    // Appends a row through the framework: values for the data fields in field order.
    void AddRow(const std::vector<Variant>& values) {
        Append();
        size_t v = 0;
        for (TField* f : Fields().List())
            if (f->FieldKind() == fkData && v < values.size()) f->SetValue(values[v++]);
        Post();
    }
    int RowCount() const { return static_cast<int>(rows.size()); }

    bool GetFieldData(TField* Field, void* Buffer) override {
        TRecordBuffer rec = RecBuf();
        if (!rec) return false;
        const uint8_t* slot = rec + Field->Index() * kSlot;
        if (Buffer) std::memcpy(Buffer, slot + 1, Field->DataSize());
        return slot[0] != 0;
    }
    void SetFieldData(TField* Field, const void* Buffer) override {
        TDataSetState s = State();
        if (s != dsEdit && s != dsInsert && s != dsCalcFields) DatabaseError(SNotEditing);
        TRecordBuffer rec = RecBuf();
        if (!rec) return;
        Field->Validate(Buffer);
        uint8_t* slot = rec + Field->Index() * kSlot;
        slot[0] = Buffer ? 1 : 0;
        std::memset(slot + 1, 0, kSlot - 1);
        if (Buffer) std::memcpy(slot + 1, Buffer, Field->DataSize());
        if (s != dsCalcFields) DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
    }
    int RecordCount() const override { return RowCount(); }
    // The active row's number: the cursor is first brought back to it, as reading the ring
    // leaves it elsewhere.
    int RecNo() const override {
        if (Active() && !IsEmpty()) const_cast<TRowDataSet*>(this)->UpdateCursorPos();
        return cur_ + 1;
    }
    bool BookmarkValid(const TBookmark& Value) override {
        if (Value.size() != 4) return false;
        int id;
        std::memcpy(&id, Value.data(), 4);
        return IndexOfId(id) >= 0;
    }

    bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions) override {
        CheckBrowseMode();
        int r = FindRow(KeyFields, KeyValues);
        if (r < 0) return false;
        DoBeforeScroll();
        cur_ = r;
        Resync(true, true);
        DoAfterScroll();
        return true;
    }
    Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) override {
        int r = FindRow(KeyFields, KeyValues);
        if (r < 0) return Variant::Null();
        RowView view(this, rows[r].bytes.data());
        return FieldValues(ResultFields);
    }

protected:
    TRecordBuffer AllocRecordBuffer() override {
        return std::make_unique<uint8_t[]>(static_cast<size_t>(RecordSize() + 5)).release();
    }
    void FreeRecordBuffer(TRecordBuffer& Buffer) override {
        std::unique_ptr<uint8_t[]> p(Buffer);
        Buffer = nullptr;
    }
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override { std::memcpy(Data, Buffer + RecordSize(), 4); }
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override {
        std::memcpy(Buffer + RecordSize(), Data, 4);
    }
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override {
        return static_cast<TBookmarkFlag>(Buffer[RecordSize() + 4]);
    }
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override { Buffer[RecordSize() + 4] = Value; }
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode Mode, bool DoCheck) override {
        int n = RowCount();
        if (n == 0) return grEOF;
        if (Mode == gmNext) {
            if (cur_ >= n - 1) return grEOF;
            ++cur_;
        } else if (Mode == gmPrior) {
            if (cur_ <= 0) return grBOF;
            --cur_;
        } else if (cur_ < 0 || cur_ >= n) {
            if (DoCheck) DatabaseError("No Records");
            return grError;
        }
        std::memcpy(Buffer, rows[cur_].bytes.data(), RecordSize());
        std::memcpy(Buffer + RecordSize(), &rows[cur_].id, 4);
        Buffer[RecordSize() + 4] = bfCurrent;
        GetCalcFields(Buffer);
        return grOK;
    }
    int GetRecordSize() override { return RecordSize(); }
    void InternalOpen() override {
        FieldDefs().Clear();
        for (TField* f : Fields().List())
            if (f->FieldKind() == fkData) FieldDefs().Add(f->FieldName(), f->DataType(), f->Size());
        BindFields(true);
        SetBookmarkSize(4);
        slots_ = FieldCount();
        open_ = true;
        cur_ = -1;
    }
    void InternalClose() override { open_ = false; }
    bool IsCursorOpen() const override { return open_; }
    void InternalFirst() override { cur_ = -1; }
    void InternalLast() override { cur_ = RowCount(); }
    void InternalGotoBookmark(const void* Bookmark) override {
        int id;
        std::memcpy(&id, Bookmark, 4);
        int r = IndexOfId(id);
        if (r < 0) DatabaseError("Bookmark not found");
        cur_ = r;
    }
    void InternalSetToRecord(TRecordBuffer Buffer) override { InternalGotoBookmark(Buffer + RecordSize()); }
    void InternalInitRecord(TRecordBuffer Buffer) override { std::memset(Buffer, 0, RecordSize()); }
    void ClearCalcFields(TRecordBuffer Buffer) override {
        for (TField* f : Fields().List())
            if (f->FieldKind() != fkData) Buffer[f->Index() * kSlot] = 0;
    }
    void InternalAddRecord(TRecordBuffer, bool) override {}
    void InternalDelete() override {
        rows.erase(rows.begin() + cur_);
        if (cur_ >= RowCount()) --cur_;
    }
    void InternalPost() override {
        TRecordBuffer b = ActiveBuffer();
        std::vector<uint8_t> bytes(b, b + RecordSize());
        for (TField* f : Fields().List())
            if (f->FieldKind() != fkData) std::memset(bytes.data() + f->Index() * kSlot, 0, kSlot);
        if (State() == dsInsert) {
            int at = std::clamp(cur_ < 0 ? 0 : cur_, 0, RowCount());
            rows.insert(rows.begin() + at, Row{nextId_++, std::move(bytes)});
            cur_ = at;
        } else {
            rows[cur_].bytes = std::move(bytes);
        }
    }

private:
    // While it lives, fields read the given row.
    struct RowView {
        TRowDataSet* ds;
        uint8_t* saved;
        RowView(TRowDataSet* d, uint8_t* row) : ds(d), saved(d->view_) { ds->view_ = row; }
        ~RowView() { ds->view_ = saved; }
    };
    int RecordSize() const { return slots_ * kSlot; }
    int IndexOfId(int id) const {
        for (int i = 0; i < RowCount(); ++i)
            if (rows[i].id == id) return i;
        return -1;
    }
    int FindRow(const std::string& KeyFields, const Variant& KeyValues) {
        for (int i = 0; i < RowCount(); ++i) {
            RowView view(this, rows[i].bytes.data());
            if (FieldValues(KeyFields) == KeyValues) return i;
        }
        return -1;
    }
    TRecordBuffer RecBuf() const {
        if (view_) return view_;
        switch (State()) {
            case dsCalcFields: return CalcBuffer();
            case dsBrowse: return IsEmpty() ? nullptr : ActiveBuffer();
            case dsEdit:
            case dsInsert: return ActiveBuffer();
            default: return nullptr;
        }
    }

    bool open_ = false;
    int cur_ = -1;
    int slots_ = 0;
    int nextId_ = 1;
    uint8_t* view_ = nullptr;
};
