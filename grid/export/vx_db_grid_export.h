#pragma once
// TvxDBGridExport: writes a grid's rows to one file. The walk is shared by every format:
// the dataset's records in order (the grid shows the dataset as a window onto it) or the
// grid's rows in tree order; each format supplies the five writing operations. One object
// per file: create it, set the fields, SaveToFile, let it go.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/variant.h"

class TCustomvxDBGrid;
class TStream;
class TvxTreeListNode;
class TvxDBTreeListColumn;

class TvxDBGridExport {
public:
    virtual ~TvxDBGridExport() = default;

    std::string FileName;
    TCustomvxDBGrid* Grid = nullptr;
    bool SaveAll = true;
    int RowIndex = 0;
    TStream* Stream = nullptr;

    // ---- Virtual operations, in slot order ----
    virtual void BeginExport() {}
    virtual void EndExport() {}
    virtual void WriteHeader() {}
    virtual void WriteFooter() {}
    // Node null: the dataset's current record.
    virtual void WriteNode(TvxTreeListNode* /*Node*/) {}
    // Creates (truncates) the file and runs Export; the file is closed on every path.
    virtual void SaveToFile();
    virtual void Export();

protected:
    // Output bytes go through one buffer; it reaches Stream when it grows and when the file
    // is closed, so what was written before an error stays in the file.
    void WriteBytes(const std::string& Bytes);
    void WriteLine(const std::string& Bytes) {
        WriteBytes(Bytes);
        WriteBytes("\r\n");
    }
    void Flush();

    // A row standing for a group of rows: the grid's group row or a row with children.
    bool IsGroupRow(TvxTreeListNode* Node) const;
    // The grid's text of a group row.
    std::string GroupRowText(TvxTreeListNode* Node) const;
    // The visible columns in band, row and position order (absolute indexes).
    std::vector<int> ColumnsInDisplayOrder() const;
    // The value of a column for a row (its field's value for the current record without a
    // node) and whether the column supplied the export value instead.
    bool ExportValue(TvxTreeListNode* Node, int Column, bool IsHTML, Variant& Value) const;
    // The cell text as the grid shows it: the export value first, then the row's text, or
    // the field's display text for the current record.
    std::string CellText(TvxTreeListNode* Node, int Column, bool IsHTML) const;
    // The row's text, or the field's display text for the current record (no export value).
    std::string ShownText(TvxTreeListNode* Node, int Column) const;
    TvxDBTreeListColumn* ColumnAt(int Column) const;

private:
    void WriteNodes(bool ExportAll);
    std::string buffer_;
};

// The entry routines: one export object each, freed also when the export raises.
void ExportGridToText(TCustomvxDBGrid* Grid, const std::string& FileName, bool SaveAll, const std::string& Separator,
                      const std::string& BeginString, const std::string& EndString);
void ExportGridToHTML(TCustomvxDBGrid* Grid, const std::string& FileName, bool SaveAll);
void ExportGridToXLS(TCustomvxDBGrid* Grid, const std::string& FileName, bool SaveAll);
