#pragma once
// A minimal dataset over a vector of integers, to test the framework without the memory
// table. Buffer: has-value byte, int32 value, int32 id (bookmark), flag byte.

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/db/db.h"

class TArrayDataSet : public TDataSet {
public:
    explicit TArrayDataSet(TComponent* owner) : TDataSet(owner) {}
    ~TArrayDataSet() override { DestroyingClose(); }

    std::vector<int> values;
    std::vector<int> ids;
    int nextId = 1;

    void Fill(int n) {
        for (int i = 1; i <= n; ++i) {
            values.push_back(i);
            ids.push_back(nextId++);
        }
    }
    bool GetFieldData(TField*, void* Buffer) override {
        TRecordBuffer b = RecBuf();
        if (!b) return false;
        if (Buffer) std::memcpy(Buffer, b + 1, 4);
        return b[0] != 0;
    }
    void SetFieldData(TField* Field, const void* Buffer) override {
        if (State() != dsEdit && State() != dsInsert) DatabaseError(SNotEditing);
        TRecordBuffer b = ActiveBuffer();
        Field->Validate(Buffer);
        b[0] = Buffer ? 1 : 0;
        if (Buffer) std::memcpy(b + 1, Buffer, 4);
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
    }
    int RecordCount() const override { return static_cast<int>(values.size()); }
    int RecNo() const override { return cur_ + 1; }

protected:
    TRecordBuffer RecBuf() const {
        if (State() == dsCalcFields) return CalcBuffer();
        if (State() == dsBrowse && IsEmpty()) return nullptr;
        return Active() ? ActiveBuffer() : nullptr;
    }
    TRecordBuffer AllocRecordBuffer() override { return std::make_unique<uint8_t[]>(10).release(); }
    void FreeRecordBuffer(TRecordBuffer& Buffer) override {
        std::unique_ptr<uint8_t[]> p(Buffer);
        Buffer = nullptr;
    }
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override { std::memcpy(Data, Buffer + 5, 4); }
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override { std::memcpy(Buffer + 5, Data, 4); }
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override { return static_cast<TBookmarkFlag>(Buffer[9]); }
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override { Buffer[9] = Value; }
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode Mode, bool) override {
        int n = static_cast<int>(values.size());
        if (n == 0) return grEOF;
        if (Mode == gmNext) {
            if (cur_ >= n - 1) return grEOF;
            ++cur_;
        } else if (Mode == gmPrior) {
            if (cur_ <= 0) return grBOF;
            --cur_;
        } else if (cur_ < 0 || cur_ >= n) {
            return grError;
        }
        Buffer[0] = 1;
        std::memcpy(Buffer + 1, &values[cur_], 4);
        std::memcpy(Buffer + 5, &ids[cur_], 4);
        Buffer[9] = bfCurrent;
        return grOK;
    }
    int GetRecordSize() override { return 5; }
    void InternalOpen() override {
        FieldDefs().Clear();
        FieldDefs().Add("V", ftInteger);
        if (DefaultFields()) CreateFields();
        BindFields(true);
        SetBookmarkSize(4);
        open_ = true;
        cur_ = -1;
    }
    void InternalClose() override { open_ = false; }
    bool IsCursorOpen() const override { return open_; }
    void InternalFirst() override { cur_ = -1; }
    void InternalLast() override { cur_ = static_cast<int>(values.size()); }
    void InternalGotoBookmark(const void* Bookmark) override {
        int id;
        std::memcpy(&id, Bookmark, 4);
        auto it = std::find(ids.begin(), ids.end(), id);
        if (it == ids.end()) DatabaseError("Bookmark not found");
        cur_ = static_cast<int>(it - ids.begin());
    }
    void InternalSetToRecord(TRecordBuffer Buffer) override { InternalGotoBookmark(Buffer + 5); }
    void InternalInitRecord(TRecordBuffer Buffer) override { std::memset(Buffer, 0, 10); }
    void InternalAddRecord(TRecordBuffer, bool) override {}
    void InternalDelete() override {
        values.erase(values.begin() + cur_);
        ids.erase(ids.begin() + cur_);
        if (cur_ >= static_cast<int>(values.size())) --cur_;
    }
    void InternalPost() override {
        TRecordBuffer b = ActiveBuffer();
        int v;
        std::memcpy(&v, b + 1, 4);
        if (State() == dsInsert) {
            int at = std::clamp(cur_ < 0 ? 0 : cur_, 0, static_cast<int>(values.size()));
            values.insert(values.begin() + at, v);
            ids.insert(ids.begin() + at, nextId++);
            cur_ = at;
        } else {
            values[cur_] = v;
        }
    }

private:
    bool open_ = false;
    int cur_ = -1;
};
