#include "program/command_line.h"

#include <algorithm>

#include "platform/rtl/param_str.h"
#include "program/program_context.h"
#include "program/text_utils.h"

void ParseParams() {
    int count = std::min(ParamCount(), kMaxParamPairs);
    Program().ParamKeys.fill({});
    Program().ParamValues.fill({});
    for (int i = 1; i <= count; ++i) {
        std::string argument = ParamStr(i);
        std::string key;
        SplitFirst(argument, "=", key);
        UpperCaseDE(key);
        std::replace(argument.begin(), argument.end(), '_', ' ');
        Program().ParamKeys[static_cast<size_t>(i)] = key;
        Program().ParamValues[static_cast<size_t>(i)] = argument;
    }
    Program().ParamPairCount = count;
}
