#pragma once
// The grid as one BIFF4 worksheet: its colours as the palette, its fonts, one cell format
// per column, band and header rows, group rows with indent columns, row footers and a
// summary footer of live formulas. A sheet holds 16384 rows and 256 columns: rows beyond
// are left out (the footer is still written) and the export then raises ESheetRowsLeftOut
// once the file is closed; columns beyond the format's reach are not mapped.

#include <string>
#include <vector>

#include "grid/export/vx_db_grid_export.h"
#include "platform/rtl/exception.h"

class TFont;

class ESheetRowsLeftOut : public Exception {
public:
    using Exception::Exception;
};

class TvxDBGridExportExcel : public TvxDBGridExport {
public:
    static constexpr int kLastSheetRow = 16383;
    // Font indexes 10 + k are one byte.
    static constexpr int kMaxMappedColumns = 246;

    void BeginExport() override;
    void EndExport() override;
    void WriteHeader() override;
    void WriteFooter() override;
    void WriteNode(TvxTreeListNode* Node) override;
    void SaveToFile() override;

    // The column map: absolute column indexes in sheet order, sheet column G + k.
    const std::vector<int>& ColumnMap() const { return columnMap_; }
    int RowsLeftOut() const { return rowsLeftOut_; }

private:
    void Blank(int Row, int Column, int XF);
    void Label(int Row, int Column, int XF, const std::string& Text);
    void Number(int Row, int Column, int XF, double Value);
    // RK when the integer fits the format's 30 bits, else NUMBER.
    void Integer(int Row, int Column, int XF, int64_t Value);
    void Font(TFont* Font, int ColourIndex);
    void Cell(TvxTreeListNode* Node, int K);
    void RowFooters(TvxTreeListNode* Node);

    std::vector<int> columnMap_;
    int groups_ = 0;
    int headerRows_ = 0;
    int rowsLeftOut_ = 0;
};
