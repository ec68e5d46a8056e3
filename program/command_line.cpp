#include "program/command_line.h"

#include <algorithm>

#include "program/text_utils.h"
#include "platform/rtl/param_str.h"

int32_t ParamPairCount = 0;
std::array<std::string, kMaxParamPairs + 1> ParamKeys;
std::array<std::string, kMaxParamPairs + 1> ParamValues;

void ParseParams() {
    int count = std::min(ParamCount(), kMaxParamPairs);
    ParamKeys.fill({});
    ParamValues.fill({});
    for (int i = 1; i <= count; ++i) {
        std::string argument = ParamStr(i);
        std::string key;
        SplitFirst(argument, "=", key);
        UpperCaseDE(key);
        std::replace(argument.begin(), argument.end(), '_', ' ');
        ParamKeys[static_cast<size_t>(i)] = key;
        ParamValues[static_cast<size_t>(i)] = argument;
    }
    ParamPairCount = count;
}
