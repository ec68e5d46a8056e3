#pragma once
// The grid as an HTML 3.2 page holding one table that mirrors it: band and header rows,
// group rows with indent cells, data rows in each column's colours and font, row footers
// and the summary footer. The page declares no character set, so it is written in
// Windows-1252; markup characters in texts are escaped and a character outside the code
// page becomes a numeric reference. A value a column supplies for HTML is markup (the
// hyperlink column's anchor) and is written as it stands.

#include <string>
#include <vector>

#include "grid/export/vx_db_grid_export.h"

class TFont;

class TvxDBGridExportHTML : public TvxDBGridExport {
public:
    void BeginExport() override;
    void EndExport() override;
    void WriteHeader() override;
    void WriteFooter() override;
    void WriteNode(TvxTreeListNode* Node) override;

    // A text for the page: "&", "<", ">" (and '"' with Attribute) escaped, Windows-1252.
    static std::string Escape(const std::string& Text, bool Attribute = false);
    // Markup for the page: Windows-1252, a character outside it as a numeric reference.
    static std::string PageText(const std::string& Markup);
    // The tags of a font's styles around a cell's content.
    struct TStyleTags {
        std::string Open, Close;
    };
    static TStyleTags StyleTags(TFont* Font);

private:
    void WriteRowFooters(TvxTreeListNode* Node);
    std::string IndentCell() const;
    // A data cell's content for the column at Slot of columns_: a column's export value is
    // markup already, a text is escaped.
    void AppendCellMarkup(std::string& Row, TvxTreeListNode* Node, size_t Slot) const;
    std::vector<int> columns_;
    std::vector<std::string> cellStarts_;
    std::vector<TStyleTags> cellStyles_;
    std::string indentCell_;
    int groups_ = 0;
};
