#pragma once
// The grid as a text file: the captions, an empty line, then one line per row, each cell
// wrapped in BeginString and EndString and joined by Separator. A group row is one field,
// its own text. Texts are written as the strings hold them (UTF-8).

#include <string>

#include "grid/export/vx_db_grid_export.h"

class TvxDBGridExportText : public TvxDBGridExport {
public:
    std::string Separator;
    std::string BeginString;
    std::string EndString;

    void WriteHeader() override;
    void WriteNode(TvxTreeListNode* Node) override;

private:
    std::vector<int> columns_;
};
