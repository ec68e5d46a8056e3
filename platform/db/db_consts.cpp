#include "platform/db/db_consts.h"

#include "platform/db/db_types.h"
#include "platform/rtl/exception.h"

std::string DbFmt(std::string_view text, std::string_view a, std::string_view b, std::string_view c,
                  std::string_view d) {
    std::string_view args[] = {a, b, c, d};
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && next < 4) {
            out += args[next++];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void DatabaseError(const std::string& message) { throw EDatabaseError(message); }

std::string FieldTypeName(TFieldType t) {
    static const char* const names[] = {"Unknown",    "String",     "SmallInt", "Integer",     "Word",      "Boolean",
                                        "Float",      "Currency",   "BCD",      "Date",        "Time",      "DateTime",
                                        "Bytes",      "VarBytes",   "AutoInc",  "Blob",        "Memo",      "Graphic",
                                        "FmtMemo",    "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor",    "FixedChar",
                                        "WideString", "Largeint",   "ADT",      "Array",       "Reference", "DataSet"};
    return t < sizeof(names) / sizeof(names[0]) ? names[t] : "Unknown";
}
