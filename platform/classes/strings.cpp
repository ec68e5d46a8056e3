#include "platform/classes/strings.h"

#include "platform/classes/file_stream.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/update_scope.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= ' '; }

// A quoted entry starting at value[pos] (the quote): doubled quotes stand for one; a missing
// closing quote takes the rest of the text. Leaves pos after the closing quote.
std::string ExtractQuoted(std::string_view value, size_t& pos, char quote) {
    std::string result;
    ++pos;
    while (pos < value.size()) {
        char c = value[pos++];
        if (c == quote) {
            if (pos < value.size() && value[pos] == quote) {
                result += quote;
                ++pos;
            } else {
                return result;
            }
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

void TStrings::Error(const std::string& Message) { throw EStringListError(Message); }

void TStrings::IndexError(int Index) {
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStrings::SetStrings(int Index, const std::string& S) {
    TObject* object = Objects(Index);
    Delete(Index);
    InsertObject(Index, S, object);
}

TObject* TStrings::Objects(int) const { return nullptr; }

void TStrings::SetObjects(int, TObject*) {}

int TStrings::Add(const std::string& S) {
    int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int index = Add(S);
    SetObjects(index, AObject);
    return index;
}

void TStrings::AddStrings(TStrings* Source) {
    TUpdateScope update(this);
    for (int i = 0; i < Source->Count(); ++i) AddObject(Source->Strings(i), Source->Objects(i));
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    SetObjects(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateScope update(this);
    std::string s = Strings(Index1);
    TObject* o = Objects(Index1);
    SetStrings(Index1, Strings(Index2));
    SetObjects(Index1, Objects(Index2));
    SetStrings(Index2, s);
    SetObjects(Index2, o);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    TUpdateScope update(this);
    std::string s = Strings(CurIndex);
    TObject* o = Objects(CurIndex);
    if (NewIndex < 0 || NewIndex >= Count()) IndexError(NewIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::CompareStrings(std::string_view S1, std::string_view S2) const { return AnsiCompareText(S1, S2); }

int TStrings::IndexOf(std::string_view S) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        if (CompareStrings(Strings(i), S) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfName(std::string_view Name) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        std::string s = Strings(i);
        size_t sep = s.find(name_value_separator_);
        if (sep != std::string::npos && CompareStrings(std::string_view(s).substr(0, sep), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        if (Objects(i) == AObject) return i;
    }
    return -1;
}

bool TStrings::Equals(TStrings* Other) const {
    if (Other == nullptr || Other->Count() != Count()) return false;
    for (int i = 0, n = Count(); i < n; ++i) {
        if (Strings(i) != Other->Strings(i)) return false;
    }
    return true;
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TStrings*>(Source)) {
        if (source == this) return;
        {
            TUpdateScope update(this);
            Clear();
            AddStrings(source);
        }
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::BeginUpdate() {
    if (update_count_ == 0) SetUpdateState(true);
    ++update_count_;
}

void TStrings::EndUpdate() {
    if (update_count_ == 0) return;
    --update_count_;
    if (update_count_ == 0) SetUpdateState(false);
}

std::string TStrings::Names(int Index) const {
    std::string s = Strings(Index);
    size_t sep = s.find(name_value_separator_);
    return sep == std::string::npos ? std::string() : s.substr(0, sep);
}

std::string TStrings::Values(std::string_view Name) const {
    int index = IndexOfName(Name);
    return index >= 0 ? ValueFromIndex(index) : std::string();
}

void TStrings::SetValues(std::string_view Name, std::string_view Value) {
    int index = IndexOfName(Name);
    if (!Value.empty()) {
        if (index < 0) index = Add("");
        SetStrings(index, std::string(Name) + name_value_separator_ + std::string(Value));
    } else if (index >= 0) {
        Delete(index);
    }
}

std::string TStrings::ValueFromIndex(int Index) const {
    if (Index < 0) return {};
    std::string s = Strings(Index);
    size_t sep = s.find(name_value_separator_);
    return sep == std::string::npos ? std::string() : s.substr(sep + 1);
}

void TStrings::SetValueFromIndex(int Index, std::string_view Value) {
    if (!Value.empty()) {
        if (Index < 0) Index = Add("");
        SetStrings(Index, Names(Index) + name_value_separator_ + std::string(Value));
    } else if (Index >= 0) {
        Delete(Index);
    }
}

std::string TStrings::DelimitedTextWith(char delimiter, char quote) const {
    int n = Count();
    if (n == 1 && Strings(0).empty()) return std::string(2, quote);
    std::string result;
    for (int i = 0; i < n; ++i) {
        std::string s = Strings(i);
        bool needs_quotes = false;
        for (char c : s) {
            if (static_cast<unsigned char>(c) <= ' ' || c == quote || c == delimiter) {
                needs_quotes = true;
                break;
            }
        }
        if (i > 0) result += delimiter;
        if (!needs_quotes) {
            result += s;
            continue;
        }
        result += quote;
        for (char c : s) {
            if (c == quote) result += quote;
            result += c;
        }
        result += quote;
    }
    return result;
}

void TStrings::SetDelimitedTextWith(std::string_view value, char delimiter, char quote) {
    TUpdateScope update(this);
    Clear();
    size_t pos = 0;
    auto skip_blanks = [&] {
        while (pos < value.size() && IsBlank(value[pos])) ++pos;
    };
    skip_blanks();
    while (pos < value.size()) {
        if (value[pos] == quote) {
            Add(ExtractQuoted(value, pos, quote));
        } else {
            size_t start = pos;
            while (pos < value.size() && static_cast<unsigned char>(value[pos]) > ' ' && value[pos] != delimiter) {
                ++pos;
            }
            Add(std::string(value.substr(start, pos - start)));
        }
        skip_blanks();
        if (pos < value.size() && value[pos] == delimiter) {
            if (pos + 1 == value.size()) Add("");
            ++pos;
            skip_blanks();
        }
    }
}

std::string TStrings::DelimitedText() const { return DelimitedTextWith(delimiter_, quote_char_); }

void TStrings::SetDelimitedText(std::string_view Value) { SetDelimitedTextWith(Value, delimiter_, quote_char_); }

std::string TStrings::CommaText() const { return DelimitedTextWith(',', '"'); }

void TStrings::SetCommaText(std::string_view Value) { SetDelimitedTextWith(Value, ',', '"'); }

std::string TStrings::Text() const {
    std::string result;
    for (int i = 0, n = Count(); i < n; ++i) {
        result += Strings(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(std::string_view Value) {
    TUpdateScope update(this);
    Clear();
    size_t pos = 0;
    while (pos < Value.size()) {
        size_t end = Value.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = Value.size();
        Add(std::string(Value.substr(pos, end - pos)));
        pos = end;
        if (pos < Value.size() && Value[pos] == '\r') ++pos;
        if (pos < Value.size() && Value[pos] == '\n') ++pos;
    }
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream) {
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        int64_t n = Stream->Read(buffer, sizeof buffer);
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    SetText(DecodeTextBytes(bytes));
}

void TStrings::SaveToFile(const std::string& FileName) { WriteFileAtomic(FileName, Text()); }

void TStrings::SaveToStream(TStream* Stream) {
    std::string text = Text();
    Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}
