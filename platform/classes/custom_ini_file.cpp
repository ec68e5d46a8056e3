#include "platform/classes/custom_ini_file.h"

#include "platform/classes/string_list.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/str_utils.h"

int32_t TCustomIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default) {
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TCustomIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(std::string_view Section, std::string_view Ident, double Default) {
    std::string text = ReadString(Section, Ident, "");
    long double value = 0;
    if (text.empty() || !TryStrToFloat(text, value)) return Default;
    return static_cast<double>(value);
}

void TCustomIniFile::WriteFloat(std::string_view Section, std::string_view Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(std::string_view Section, std::string_view Ident, TDateTime Default) {
    std::string text = ReadString(Section, Ident, "");
    TDateTime value = 0;
    return !text.empty() && TryStrToDate(text, value) ? value : Default;
}

TDateTime TCustomIniFile::ReadDateTime(std::string_view Section, std::string_view Ident, TDateTime Default) {
    std::string text = ReadString(Section, Ident, "");
    TDateTime value = 0;
    return !text.empty() && TryStrToDateTime(text, value) ? value : Default;
}

TDateTime TCustomIniFile::ReadTime(std::string_view Section, std::string_view Ident, TDateTime Default) {
    std::string text = ReadString(Section, Ident, "");
    TDateTime value = 0;
    return !text.empty() && TryStrToTime(text, value) ? value : Default;
}

void TCustomIniFile::WriteDate(std::string_view Section, std::string_view Ident, TDateTime Value) {
    WriteString(Section, Ident, DateToStr(Value));
}

void TCustomIniFile::WriteDateTime(std::string_view Section, std::string_view Ident, TDateTime Value) {
    WriteString(Section, Ident, DateTimeToStr(Value));
}

void TCustomIniFile::WriteTime(std::string_view Section, std::string_view Ident, TDateTime Value) {
    WriteString(Section, Ident, TimeToStr(Value));
}

bool TCustomIniFile::SectionExists(std::string_view Section) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(std::string_view Section, std::string_view Ident) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Trim(Ident)) >= 0;
}
