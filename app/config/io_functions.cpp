#include "app/config/io_functions.h"

#include "app/config/function_catalogue.h"
#include "program/text_utils.h"

TFunctionEntry SplitFunctionEntry(const std::string& entry) {
    TFunctionEntry e;
    std::string rest = entry;
    SplitFirst(rest, "|", e.Kind);
    SplitFirst(rest, "|", e.Name);
    e.Rest = rest;
    return e;
}

std::array<std::string, 3> SplitVariants(const std::string& name) {
    std::array<std::string, 3> v;
    std::string rest = name;
    SplitFirst(rest, ";", v[0]);
    SplitFirst(rest, ";", v[1]);
    SplitFirst(rest, ";", v[2]);
    for (auto& s : v) TrimBlanks(s);
    if (v[1].empty()) v[1] = v[0];
    if (v[2].empty()) v[2] = v[0];
    return v;
}

std::string FunctionItemText(int code, int deviceType) {
    if (code < 0 || code > 255) return {};
    TFunctionEntry e = SplitFunctionEntry(FunctionCatalogue()[static_cast<size_t>(code)]);
    if (TrimBlanksStr(e.Name).empty()) return {};
    const auto v = SplitVariants(e.Name);
    const int t = deviceType >= 0 && deviceType <= 2 ? deviceType : 0;
    return IntToStrZero(code, 3) + " " + v[static_cast<size_t>(t)];
}

std::array<std::string, 256> FunctionItemTexts(int deviceType) {
    std::array<std::string, 256> texts;
    for (int code = 0; code < 256; ++code) texts[static_cast<size_t>(code)] = FunctionItemText(code, deviceType);
    return texts;
}

bool FunctionUsesParam(int code) {
    if (code < 0 || code > 255) return false;
    return StrToIntVal(TrimBlanksStr(SplitFunctionEntry(FunctionCatalogue()[static_cast<size_t>(code)]).Rest)) != 0;
}
