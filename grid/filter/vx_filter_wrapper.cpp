// The class library's binary component stream, cut down to the one class the grid streams:
// "TPF0", the class name and the component name as short strings, then each property as a
// short-string name ("Filter.Active": the wrapper's Filter and the property below it) and a
// value code with its data, a zero byte ending the properties and one ending the (absent)
// child components.

#include "grid/filter/vx_filter_wrapper.h"

#include <cstring>
#include <iterator>
#include <optional>
#include <string>

#include "grid/filter/vx_criteria.h"
#include "grid/filter/vx_criteria_stream.h"
#include "grid/filter/vx_db_grid_filter.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
constexpr const char* kFilterStatusNames[] = {"fsAuto", "fsNone", "fsAlways"};

[[noreturn]] void Malformed() { throw EReadError(SReadError); }

// What one stream sets, held until the whole stream has been read.
struct TFilterImage {
    std::optional<bool> Active, AutoDataSetFilter, CaseInsensitive;
    std::optional<int> DropDownCount, DropDownWidth, MaxDropDownCount;
    std::optional<TvxDBGridFilterStatus> FilterStatus;
    std::optional<std::string> Criteria;
};

bool ReadBooleanValue(TStream* Stream) {
    const Variant v = ReadCriteriaValue(Stream);
    if (v.VarType() != varBoolean) Malformed();
    return v.AsBoolean();
}

int ReadIntegerValue(TStream* Stream) {
    const Variant v = ReadCriteriaValue(Stream);
    if (v.VarType() != varByte && v.VarType() != varSmallint && v.VarType() != varInteger) Malformed();
    return v.AsInteger();
}

TvxDBGridFilterStatus ReadFilterStatusValue(TStream* Stream) {
    if (ReadStreamByte(Stream) != vaIdent) Malformed();
    const std::string ident = ReadStreamShortString(Stream);
    for (uint8_t i = 0; i < std::size(kFilterStatusNames); ++i)
        if (SameText(ident, kFilterStatusNames[i])) return static_cast<TvxDBGridFilterStatus>(i);
    Malformed();
}

std::string ReadBinaryValue(TStream* Stream) {
    if (ReadStreamByte(Stream) != vaBinary) Malformed();
    return ReadStreamBytes(Stream, ReadStreamInt32(Stream));
}

void ReadProperty(TStream* Stream, const std::string& Name, TFilterImage& Image) {
    auto is = [&](const char* property) { return SameText(Name, std::string("Filter.") + property); };
    if (is("Active"))
        Image.Active = ReadBooleanValue(Stream);
    else if (is("AutoDataSetFilter"))
        Image.AutoDataSetFilter = ReadBooleanValue(Stream);
    else if (is("CaseInsensitive"))
        Image.CaseInsensitive = ReadBooleanValue(Stream);
    else if (is("DropDownCount"))
        Image.DropDownCount = ReadIntegerValue(Stream);
    else if (is("DropDownWidth"))
        Image.DropDownWidth = ReadIntegerValue(Stream);
    else if (is("FilterStatus"))
        Image.FilterStatus = ReadFilterStatusValue(Stream);
    else if (is("MaxDropDownCount"))
        Image.MaxDropDownCount = ReadIntegerValue(Stream);
    else if (is("Criteria"))
        Image.Criteria = ReadBinaryValue(Stream);
    else
        Malformed();
}

// Writes "Filter." properties; a value equal to its default is left out.
class TPropertyWriter {
public:
    explicit TPropertyWriter(TStream* Stream) : stream_(Stream) {}
    void Boolean(const char* Name, bool Value) {
        if (!Value) return;
        PropertyName(Name);
        WriteCriteriaValue(stream_, Variant(true));
    }
    void Integer(const char* Name, int Value, int Default) {
        if (Value == Default) return;
        PropertyName(Name);
        WriteCriteriaValue(stream_, Variant(Value));
    }
    void Ident(const char* Name, const char* Ident, const char* Default) {
        if (std::strcmp(Ident, Default) == 0) return;
        PropertyName(Name);
        WriteStreamByte(stream_, vaIdent);
        WriteStreamShortString(stream_, Ident);
    }
    void Binary(const char* Name, const std::string& Bytes) {
        PropertyName(Name);
        WriteStreamByte(stream_, vaBinary);
        WriteStreamInt32(stream_, static_cast<int32_t>(Bytes.size()));
        stream_->WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    }

private:
    void PropertyName(const char* Name) { WriteStreamShortString(stream_, std::string("Filter.") + Name); }
    TStream* stream_;
};

}  // namespace

void TFilterWrapper::WriteComponent(TStream* Stream) {
    Stream->WriteBuffer(kSignature, sizeof kSignature);
    WriteStreamShortString(Stream, ClassName());
    WriteStreamShortString(Stream, Name());
    if (TvxDBGridFilter* f = filter_) {
        TPropertyWriter w(Stream);
        w.Boolean("Active", f->Active());
        w.Boolean("AutoDataSetFilter", f->AutoDataSetFilter());
        w.Boolean("CaseInsensitive", f->CaseInsensitive());
        w.Integer("DropDownCount", f->DropDownCount(), 12);
        w.Integer("DropDownWidth", f->DropDownWidth(), 0);
        w.Ident("FilterStatus", kFilterStatusNames[f->FilterStatus()], kFilterStatusNames[fsAuto]);
        w.Integer("MaxDropDownCount", f->MaxDropDownCount(), 1000);
        TStringStream criteria;
        f->Criteria()->WriteData(&criteria);
        w.Binary("Criteria", criteria.DataString());
    }
    WriteStreamByte(Stream, 0);  // end of the properties
    WriteStreamByte(Stream, 0);  // end of the child components
}

void TFilterWrapper::ReadComponent(TStream* Stream) {
    if (ReadStreamBytes(Stream, sizeof kSignature) != std::string(kSignature, sizeof kSignature)) Malformed();
    if (!SameText(ReadStreamShortString(Stream), ClassName())) Malformed();
    (void)ReadStreamShortString(Stream);  // the component's name: the wrapper is never named
    TFilterImage image;
    for (std::string name = ReadStreamShortString(Stream); !name.empty(); name = ReadStreamShortString(Stream))
        ReadProperty(Stream, name, image);
    if (ReadStreamByte(Stream) != 0) Malformed();  // the wrapper has no child components
    if (!filter_) return;

    // The criteria are read once on the side: a fault there must not empty the filter's own.
    if (image.Criteria) {
        TvxCriteria trial;
        TStringStream bytes(*image.Criteria);
        trial.ReadData(&bytes);
    }
    TvxDBGridFilter* f = filter_;
    if (image.Active) f->SetActive(*image.Active);
    if (image.AutoDataSetFilter) f->SetAutoDataSetFilter(*image.AutoDataSetFilter);
    if (image.CaseInsensitive) f->SetCaseInsensitive(*image.CaseInsensitive);
    if (image.DropDownCount) f->SetDropDownCount(*image.DropDownCount);
    if (image.DropDownWidth) f->SetDropDownWidth(*image.DropDownWidth);
    if (image.FilterStatus) f->SetFilterStatus(*image.FilterStatus);
    if (image.MaxDropDownCount) f->SetMaxDropDownCount(*image.MaxDropDownCount);
    if (image.Criteria) {
        TStringStream bytes(*image.Criteria);
        f->Criteria()->ReadData(&bytes);
    }
}
