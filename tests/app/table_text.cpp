#include "tests/app/table_text.h"

#include "memdata/vx_mem_data.h"
#include "platform/db/field.h"

std::vector<std::string> TableRows(TvxMemData& table) {
    std::vector<std::string> rows;
    if (!table.Active()) return rows;
    table.First();
    while (!table.Eof()) {
        std::string row;
        bool first = true;
        for (int i = 0; i < table.Fields().Count(); ++i) {
            const TField* f = table.Fields().Fields(i);
            if (f->FieldKind() != fkData) continue;
            row += (first ? "" : "|") + f->AsString();
            first = false;
        }
        rows.push_back(row);
        table.Next();
    }
    table.First();
    return rows;
}

bool TableActive(TvxMemData& table) { return table.Active(); }
