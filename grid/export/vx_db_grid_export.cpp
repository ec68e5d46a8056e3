// The walk shared by the export formats, the file they write into, the entry routines and
// the grid's forwarders.

#include "grid/export/vx_db_grid_export.h"

#include <memory>
#include <unordered_set>

#include "grid/core/vx_db_grid.h"
#include "grid/export/vx_db_grid_export_excel.h"
#include "grid/export/vx_db_grid_export_html.h"
#include "grid/export/vx_db_grid_export_text.h"
#include "platform/classes/file_stream.h"
#include "platform/db/data_source.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/scope_exit.h"

namespace {
constexpr size_t kFlushSize = 1 << 16;
}

// ---- Output ----

void TvxDBGridExport::WriteBytes(const std::string& Bytes) {
    buffer_ += Bytes;
    if (buffer_.size() >= kFlushSize) Flush();
}

void TvxDBGridExport::Flush() {
    if (buffer_.empty() || !Stream) return;
    std::string bytes;
    bytes.swap(buffer_);
    Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TvxDBGridExport::SaveToFile() {
    buffer_.clear();
    auto file = std::make_unique<TFileStream>(FileName, fmCreate);
    Stream = file.get();
    TScopeExit close([&] {
        // The bytes written before an error stay in the file.
        TScopeExit drop([&] {
            buffer_.clear();
            Stream = nullptr;
            file.reset();
        });
        Flush();
    });
    Export();
}

// ---- Grid services ----

TvxDBTreeListColumn* TvxDBGridExport::ColumnAt(int Column) const { return Grid->GetColumn(Column); }

bool TvxDBGridExport::IsGroupRow(TvxTreeListNode* Node) const {
    return Node && (Grid->IsGroupNode(Node) || Node->Count() > 0);
}

std::string TvxDBGridExport::GroupRowText(TvxTreeListNode* Node) const {
    const int level = Node->Level();
    const auto& groups = Grid->GroupColumns();
    const int column = level < static_cast<int>(groups.size()) ? groups[static_cast<size_t>(level)]->GetIndex() : 0;
    return Node->Strings(column);
}

std::vector<int> TvxDBGridExport::ColumnsInDisplayOrder() const {
    std::vector<int> columns;
    const int bands = Grid->GetBandCount();
    if (bands == 0) {
        const int count = Grid->GetVisibleColumnCount();
        for (int v = 0; v < count; ++v) columns.push_back(Grid->GetAbsoluteColumnIndex(v));
        return columns;
    }
    for (int b = 0; b < bands; ++b)
        for (int r = 0; r < Grid->GetBandRowCountOf(b); ++r)
            for (int p = 0; p < Grid->GetRowColumnCount(b, r); ++p) {
                const int column = Grid->GetColumnAt(b, r, p);
                if (column >= 0 && Grid->IsColumnVisible(column)) columns.push_back(column);
            }
    return columns;
}

bool TvxDBGridExport::ExportValue(TvxTreeListNode* Node, int Column, bool IsHTML, Variant& Value) const {
    TvxDBTreeListColumn* column = ColumnAt(Column);
    if (Node)
        Value = Node->Values(Column);
    else if (column && column->Field())
        Value = column->Field()->Value();
    else
        Value = Variant(std::string());
    return column && column->GetExportValue(IsHTML, Value);
}

std::string TvxDBGridExport::CellText(TvxTreeListNode* Node, int Column, bool IsHTML) const {
    Variant value;
    if (ExportValue(Node, Column, IsHTML, value)) return VarToStr(value);
    return ShownText(Node, Column);
}

std::string TvxDBGridExport::ShownText(TvxTreeListNode* Node, int Column) const {
    if (Node) return Node->Strings(Column);
    TvxDBTreeListColumn* column = ColumnAt(Column);
    return column && column->Field() ? column->Field()->DisplayText() : std::string();
}

// ---- The walk ----

void TvxDBGridExport::Export() {
    if (!Grid || !Grid->DataSource() || !Grid->DataSource()->DataSet()) return;
    TDataSet* ds = Grid->DataSource()->DataSet();
    const bool exportAll = SaveAll || Grid->GetSelectedCount() == 0;
    const bool useDataset = Grid->IsBufferedMode() && (!Grid->PartialLoad() || exportAll);
    // The grid's own walk over the table, there and back; the rows come back to where they
    // were shown once the table is back.
    const int topIndex = useDataset ? Grid->GetTopIndex() : -1;
    TScopeExit top([&] {
        if (useDataset) Grid->SetTopIndex(topIndex);
    });
    TvxDBGridCursor::TTableWalk walk(Grid->recordCursor_, useDataset ? ds : nullptr);
    TScopeExit end([this] { EndExport(); });
    BeginExport();
    RowIndex = 0;
    WriteHeader();
    if (!useDataset) {
        WriteNodes(exportAll);
    } else if (exportAll) {
        for (ds->First(); !ds->Eof(); ds->Next()) {
            WriteNode(nullptr);
            ++RowIndex;
        }
    } else {
        // The bookmarks are copied: positioning the dataset must not change the list walked.
        const std::vector<TBookmark> selected = Grid->SelectedBookmarks();
        for (const TBookmark& b : selected) {
            ds->SetBookmark(b);
            WriteNode(nullptr);
            ++RowIndex;
        }
    }
    WriteFooter();
}

// Every row, or the selected rows with their ancestors and descendants, each once, in tree
// order: a node after its ancestors, siblings by index.
void TvxDBGridExport::WriteNodes(bool ExportAll) {
    std::unordered_set<TvxTreeListNode*> chosen;
    if (!ExportAll) {
        const int count = Grid->GetSelectedCount();
        std::vector<TvxTreeListNode*> descend;
        for (int i = 0; i < count; ++i) {
            TvxTreeListNode* node = Grid->GetSelectedItem(i);
            if (!node) continue;
            for (TvxTreeListNode* up = node->Parent(); up && chosen.insert(up).second; up = up->Parent()) {
            }
            descend.push_back(node);
            while (!descend.empty()) {
                TvxTreeListNode* n = descend.back();
                descend.pop_back();
                chosen.insert(n);
                for (int c = 0; c < n->Count(); ++c) descend.push_back(n->Items(c));
            }
        }
        if (chosen.empty()) return;
    }
    std::vector<TvxTreeListNode*> stack;
    for (int r = Grid->GetCount() - 1; r >= 0; --r) stack.push_back(Grid->GetItem(r));
    while (!stack.empty()) {
        TvxTreeListNode* node = stack.back();
        stack.pop_back();
        if (ExportAll || chosen.count(node)) {
            WriteNode(node);
            ++RowIndex;
        }
        for (int c = node->Count() - 1; c >= 0; --c) stack.push_back(node->Items(c));
    }
}

// ---- Entry routines and the grid's forwarders ----

namespace {
void Run(TvxDBGridExport& Export, TCustomvxDBGrid* Grid, const std::string& FileName, bool SaveAll) {
    Export.Grid = Grid;
    Export.FileName = FileName;
    Export.SaveAll = SaveAll;
    Export.SaveToFile();
}
}  // namespace

void ExportGridToText(TCustomvxDBGrid* Grid, const std::string& FileName, bool SaveAll, const std::string& Separator,
                      const std::string& BeginString, const std::string& EndString) {
    TvxDBGridExportText text;
    text.Separator = Separator;
    text.BeginString = BeginString;
    text.EndString = EndString;
    Run(text, Grid, FileName, SaveAll);
}

void ExportGridToHTML(TCustomvxDBGrid* Grid, const std::string& FileName, bool SaveAll) {
    TvxDBGridExportHTML html;
    Run(html, Grid, FileName, SaveAll);
}

void ExportGridToXLS(TCustomvxDBGrid* Grid, const std::string& FileName, bool SaveAll) {
    TvxDBGridExportExcel excel;
    Run(excel, Grid, FileName, SaveAll);
}

void TCustomvxDBGrid::SaveToText(const std::string& FileName, bool SaveAll, const std::string& Separator,
                                 const std::string& BeginString, const std::string& EndString) {
    ExportGridToText(this, FileName, SaveAll, Separator, BeginString, EndString);
}

void TCustomvxDBGrid::SaveToHTML(const std::string& FileName, bool SaveAll) {
    ExportGridToHTML(this, FileName, SaveAll);
}

void TCustomvxDBGrid::SaveToXLS(const std::string& FileName, bool SaveAll) { ExportGridToXLS(this, FileName, SaveAll); }
