// Loading and saving of the memory table: the binary stream (read), text files (both ways).

#include <algorithm>
#include <cstring>
#include <memory>

#include "memdata/mem_list_growth.h"
#include "memdata/vx_mem_data.h"
#include "platform/classes/stream.h"
#include "platform/classes/string_list.h"
#include "platform/db/blob_field.h"
#include "platform/db/date_time_fields.h"
#include "platform/db/field.h"
#include "platform/db/numeric_fields.h"
#include "platform/db/wide_string_field.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"

namespace {
enum class Kind { Fixed, String, Blob, Wide };

TFieldType StreamTypeToFieldType(int16_t code) {
    if (code >= 1 && code <= 11) return static_cast<TFieldType>(code);
    if (code == 12) return ftAutoInc;
    if (code >= 13 && code <= 19) return static_cast<TFieldType>(ftBlob + (code - 13));
    if (code == 20) return ftWideString;
    if (code == 21) return ftLargeint;
    return ftUnknown;
}

Kind KindOf(TFieldType t) {
    if (t == ftString) return Kind::String;
    if (t == ftWideString) return Kind::Wide;
    if (IsBlobType(t)) return Kind::Blob;
    return Kind::Fixed;
}

struct Entry {
    int32_t size = 0;
    Kind kind = Kind::Fixed;
    TField* field = nullptr;
    std::vector<uint8_t> buffer;  // fixed and string values of matched fields
    std::u16string wide;
    std::string blob;
    bool has = false;
};

// Reads from the stream with every length checked against what is left, so a damaged
// stream ends the load instead of allocating or reading past its end.
class Reader {
public:
    explicit Reader(TStream* s) : s_(s), end_(s->Size()) {}
    int64_t Left() { return std::max<int64_t>(0, end_ - s_->Position()); }
    bool Bytes(void* dst, int64_t n) { return n >= 0 && n <= Left() && s_->Read(dst, n) == n; }
    bool Skip(int64_t n) {
        if (n < 0 || n > Left()) return false;
        s_->Seek(n, soCurrent);
        return true;
    }
    template <typename T>
    bool Num(T& v) {
        return Bytes(&v, sizeof v);
    }

private:
    TStream* s_;
    int64_t end_;
};

// Scope guard: controls come back on whatever way the load ends, where the reload their
// return sets off may raise to the caller.
class ControlsGuard {
public:
    explicit ControlsGuard(TDataSet* Table) : enable_(Disable(Table)) {}

private:
    struct Enable {
        TDataSet* table;
        void operator()() const { table->EnableControls(); }
    };
    static Enable Disable(TDataSet* Table) {
        Table->DisableControls();
        return Enable{Table};
    }
    TScopeExit<Enable> enable_;
};
}  // namespace

void TvxMemData::RenumberRecIds() {
    int n = store_->RecordCount();
    ids_.resize(n);
    for (int i = 0; i < n; ++i) ids_[i] = i + 1;
    lastId_ = n;
}

void TvxMemData::LoadFromStream(TStream* Stream) {
    ControlsGuard guard(this);
    Close();
    Open();
    try {
        ReadStream(Stream);
    } catch (...) {
        // A refused stream leaves the table empty, not with a part of it.
        Close();
        Open();
        throw;
    }
}

void TvxMemData::ReadStream(TStream* Stream) {
    Reader in(Stream);
    int64_t start = Stream->Position();
    double version = 0;
    char sig[3];
    if (in.Bytes(sig, 3) && std::memcmp(sig, "Ver", 3) == 0 && in.Num(version)) {
        if (!(version >= 1.0)) version = 1.0;
    } else {
        Stream->SetPosition(start);
        version = 0;
    }
    bool hasValueBytes = version > 0;

    std::vector<Entry> entries;
    bool anyMatched = false;
    bool readRecords = true;
    int32_t fieldCount = 0;
    if (!in.Num(fieldCount)) readRecords = false;
    for (int32_t i = 0; readRecords && i < fieldCount; ++i) {
        int32_t size;
        int16_t type, nameLength;
        if (!in.Num(size) || !in.Num(type) || !in.Num(nameLength)) break;
        if (nameLength > 255 || nameLength < 0) throw Exception("The data is incorrect");
        std::string name(static_cast<size_t>(nameLength), '\0');
        if (!in.Bytes(name.data(), nameLength)) break;
        Entry e;
        e.size = size;
        e.field = FindField(Cp1252ToUtf8(name));
        e.kind = e.field ? KindOf(e.field->DataType()) : KindOf(StreamTypeToFieldType(type));
        // A fixed value of no bytes would make records that read nothing, without end.
        if (e.kind == Kind::Fixed && size == 0) throw Exception("The data is incorrect");
        if (e.kind == Kind::Fixed && (size < 0 || size > in.Left())) {
            readRecords = false;  // no value of this size can follow
            break;
        }
        if (e.field) {
            anyMatched = true;
            int dataSize = e.field->DataSize();
            if (e.kind == Kind::Wide)
                e.buffer.assign(4, 0);
            else
                e.buffer.assign(static_cast<size_t>(std::max<int64_t>(e.kind == Kind::Fixed ? size : 0, dataSize)) + 1,
                                0);
        }
        entries.push_back(std::move(e));
    }
    if (!anyMatched || in.Left() == 0) readRecords = false;

    int32_t recordNo = 0;
    while (readRecords && in.Left() > 0) {
        int64_t recordStart = Stream->Position();
        bool ok = true;
        for (Entry& e : entries) {
            if (!ok) break;
            switch (e.kind) {
                case Kind::Fixed: {
                    uint8_t has = 1;
                    if (hasValueBytes && !in.Num(has)) {
                        ok = false;
                        break;
                    }
                    if (e.field) {
                        // A stored size below the field's leaves the rest of the value zero.
                        std::fill(e.buffer.begin(), e.buffer.end(), 0);
                        if (!in.Bytes(e.buffer.data(), e.size)) {
                            ok = false;
                            break;
                        }
                        e.has = has != 0;
                        // A date outside the calendar is refused here, not stored.
                        TFieldType t = e.field->DataType();
                        if (e.has && (t == ftDate || t == ftTime || t == ftDateTime))
                            (void)NativeToDateTime(t, e.buffer.data());
                    } else if (!in.Skip(e.size)) {
                        ok = false;
                    }
                    break;
                }
                case Kind::String: {
                    int32_t len;
                    if (!in.Num(len) || len < 0 || len > in.Left()) {
                        ok = false;
                        break;
                    }
                    if (!e.field) {
                        ok = in.Skip(len);
                        break;
                    }
                    int dataSize = e.field->DataSize();
                    std::fill(e.buffer.begin(), e.buffer.end(), 0);
                    int32_t take = std::min(len, dataSize);
                    if (!in.Bytes(e.buffer.data(), take) || !in.Skip(len - take)) {
                        ok = false;
                        break;
                    }
                    // The terminator always fits inside the field's value.
                    e.buffer[std::min(take, std::max(0, e.field->Size()))] = 0;
                    e.has = true;
                    break;
                }
                case Kind::Blob: {
                    int32_t len;
                    if (!in.Num(len) || len < 0 || len > in.Left()) {
                        ok = false;
                        break;
                    }
                    if (!e.field) {
                        ok = in.Skip(len);
                        break;
                    }
                    e.blob.assign(static_cast<size_t>(len), '\0');
                    ok = in.Bytes(e.blob.data(), len);
                    e.has = true;
                    break;
                }
                case Kind::Wide: {
                    int32_t len;
                    uint8_t has;
                    if (!in.Num(len) || !in.Num(has)) {
                        ok = false;
                        break;
                    }
                    // The length only counts when characters follow.
                    if (has != 1) {
                        e.has = false;
                        break;
                    }
                    if (len < 0 || static_cast<int64_t>(len) * 2 > in.Left()) {
                        ok = false;
                        break;
                    }
                    if (!e.field) {
                        ok = in.Skip(static_cast<int64_t>(len) * 2);
                        break;
                    }
                    std::string bytes(static_cast<size_t>(len) * 2, '\0');
                    if (!in.Bytes(bytes.data(), static_cast<int64_t>(len) * 2)) {
                        ok = false;
                        break;
                    }
                    e.wide.resize(static_cast<size_t>(len));
                    for (int32_t k = 0; k < len; ++k)
                        e.wide[k] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * k]) |
                                                          (static_cast<uint8_t>(bytes[2 * k + 1]) << 8));
                    e.has = true;
                    break;
                }
            }
        }
        if (!ok) break;                                // the record was cut short: it is dropped
        if (Stream->Position() == recordStart) break;  // a record of no bytes cannot end
        ++recordNo;
        if (BlobFieldCount() > 0) {
            MakeRoomForOneMore(blobs_);
            blobs_.push_back(std::make_unique<std::vector<std::string>>(BlobFieldCount()));
        }
        for (TField* f : Fields().List()) {
            const Entry* e = nullptr;
            for (const Entry& x : entries)
                if (x.field == f) e = &x;
            if (f->IsBlob()) {
                int i = f->Offset();
                if (e && e->has && i >= 0 && i < BlobFieldCount()) (*blobs_.back())[i] = e->blob;
                continue;
            }
            TvxMemField* d = store_->FindField(f);
            if (!d) continue;
            if (d->IsRecId) {
                store_->AddValue(d, &recordNo);
            } else if (!e || !e->has) {
                store_->AddValue(d, nullptr);
            } else if (d->IsWideString) {
                std::u16string w = e->wide;
                if (f->Size() > 0 && w.size() > static_cast<size_t>(f->Size())) w.resize(f->Size());
                store_->AddValue(d, &w);
            } else {
                store_->AddValue(d, e->buffer.data());
            }
        }
    }

    RenumberRecIds();
    Resort();
    UpdateFilterList();
    if (!filterActive_) InternalFirst();
    Resync();
    Refresh();
}

void TvxMemData::SaveToTextFile(const std::string& FileName) {
    if (!Active()) return;
    std::vector<TField*> fields;
    for (TField* f : Fields().List())
        if (f->FieldKind() != fkCalculated && f->FieldKind() != fkLookup && !f->IsBlob()) fields.push_back(f);
    TStringList lines;
    {
        ControlsGuard guard(this);
        TBookmark here = Bookmark();
        std::string header;
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i) header += delimiter_;
            header += fields[i]->FieldName();
        }
        lines.Add(header);
        First();
        while (!Eof()) {
            std::string line;
            for (size_t i = 0; i < fields.size(); ++i) {
                if (i) line += delimiter_;
                line += fields[i]->AsString();
            }
            lines.Add(line);
            Next();
        }
        if (!here.empty()) GotoBookmark(here);
    }
    lines.SaveToFile(FileName);
}

namespace {
// Pieces of a text line: the text after each delimiter is kept to 1000 characters.
std::vector<std::string> SplitLine(const std::string& line, char delimiter) {
    std::vector<std::string> pieces;
    std::string rest = line;
    while (!rest.empty()) {
        size_t p = rest.find(delimiter);
        if (p == std::string::npos) {
            pieces.push_back(rest);
            break;
        }
        pieces.push_back(rest.substr(0, p));
        rest = Utf8Copy(rest.substr(p + 1), 1, 1000);
    }
    return pieces;
}
}  // namespace

void TvxMemData::LoadFromTextFile(const std::string& FileName) {
    TStringList lines;
    lines.LoadFromFile(FileName);
    if (lines.Count() == 0) return;
    ControlsGuard guard(this);
    struct LoadingFlag {
        bool& flag;
        ~LoadingFlag() { flag = false; }  // however the load ends
    } loadingFlag{loading_};
    loading_ = true;
    try {
        Close();
        Open();
        std::vector<TField*> columns;
        for (const std::string& name : SplitLine(lines.Strings(0), delimiter_)) {
            TField* f = FindField(name);
            if (f && (f->FieldKind() == fkCalculated || f->FieldKind() == fkLookup || f->IsBlob())) f = nullptr;
            columns.push_back(f);
        }
        for (int i = 1; i < lines.Count(); ++i) {
            std::vector<std::string> pieces = SplitLine(lines.Strings(i), delimiter_);
            Append();
            for (size_t c = 0; c < pieces.size() && c < columns.size(); ++c)
                if (columns[c] && !pieces[c].empty()) columns[c]->SetAsString(pieces[c]);
            Post();
        }
    } catch (...) {
        // A failed load leaves the table empty, with its sort field bound again: a part of
        // a file is not a result.
        if (State() == dsInsert || State() == dsEdit) Cancel();
        if (Active()) {
            Close();
            Open();
        }
        loading_ = false;
        Resort();
        throw;
    }
    loading_ = false;
    First();
    Resort();
}
