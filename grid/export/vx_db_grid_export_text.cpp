#include "grid/export/vx_db_grid_export_text.h"

#include "grid/core/vx_db_grid.h"

void TvxDBGridExportText::WriteHeader() {
    columns_.clear();
    const int count = Grid->GetVisibleColumnCount();
    for (int v = 0; v < count; ++v) columns_.push_back(Grid->GetAbsoluteColumnIndex(v));
    std::string line;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (i > 0) line += Separator;
        if (TvxDBTreeListColumn* column = ColumnAt(columns_[i])) line += column->Caption();
    }
    WriteLine(line);
    WriteLine({});
}

void TvxDBGridExportText::WriteNode(TvxTreeListNode* Node) {
    if (Node && Grid->IsGroupNode(Node)) {
        WriteLine(GroupRowText(Node));
        return;
    }
    std::string line;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (i > 0) line += Separator;
        line += BeginString;
        line += CellText(Node, columns_[i], false);
        line += EndString;
    }
    WriteLine(line);
}
