#include "program/system_code.h"

#include <cstdio>

#include "platform/rtl/date_time.h"
#include "program/program_context.h"

char CodeDigit(int32_t value) {
    if (value >= 0 && value <= 9) return static_cast<char>('0' + value);
    if (value >= 10 && value <= 35) return static_cast<char>('A' + value - 10);
    if (value >= 36 && value <= 61) return static_cast<char>('a' + value - 36);
    return '@';
}

std::string CodeTwoDigits(int32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", value);
    std::string text;
    for (int i = 0; i < 2; ++i) {
        char c = buf[i];
        // A negative value puts "-" first; it has no digit value and codes as "@".
        text += c >= '0' && c <= '9' ? CodeDigit(c - '0') : '@';
    }
    return text;
}

void AppendXorCheck(std::string& text) {
    unsigned char check = 0;
    for (char c : text) check ^= static_cast<unsigned char>(c);
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", check);
    text += buf;
}

void InsertCodeDashes(std::string& text) {
    std::string grouped;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && i % 4 == 0) grouped += '-';
        grouped += text[i];
    }
    text = grouped;
}

std::string BuildSystemCode() {
    uint16_t year, month, day, hour, minute, second, msec;
    DecodeDateTime(Now(), year, month, day, hour, minute, second, msec);
    int32_t year_value = static_cast<int32_t>(year) - 2000;
    if (year_value > 50) year_value -= 50;

    std::string code;
    code += CodeDigit(Program().SystemCodeInputs[0]);
    code += CodeTwoDigits(Program().SystemCodeInputs[1]);
    for (size_t i = 2; i < Program().SystemCodeInputs.size(); ++i) code += CodeDigit(Program().SystemCodeInputs[i]);
    for (int32_t v : {static_cast<int32_t>(day), static_cast<int32_t>(month), year_value, static_cast<int32_t>(hour),
                      static_cast<int32_t>(minute)})
        code += CodeDigit(v);
    AppendXorCheck(code);
    InsertCodeDashes(code);
    return code;
}
