#include "grid/export/vx_db_grid_export_excel.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "grid/core/vx_db_grid.h"
#include "grid/export/vx_biff_writer.h"
#include "platform/db/field.h"
#include "platform/gdi/color.h"
#include "platform/gdi/graphics_objects.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/str_utils.h"

std::string BiffText(const std::string& Utf8) {
    std::string bytes = Utf8ToCp1252(Utf8);
    if (bytes.size() > 255) bytes.resize(255);
    return bytes;
}

namespace {

constexpr uint16_t kBOF = 0x0409, kCodePage = 0x0042, kGuts = 0x0080, kPalette = 0x0092, kFont = 0x0231, kXF = 0x0443,
                   kColInfo = 0x007D, kDimensions = 0x0200, kLabel = 0x0204, kBlank = 0x0201, kNumber = 0x0203,
                   kRK = 0x027E, kFormula = 0x0406, kEOF = 0x000A;

// Cell formats of the fixed part; 29 + k is exported column k.
constexpr int xfGroup = 23, xfFormula = 24, xfFooterBlank = 25, xfBand = 26, xfRowFooter = 27, xfRowFooterBlank = 28,
              xfCaption = 22, xfFirstColumn = 29;

constexpr int64_t kMinRK = -(int64_t{1} << 29), kMaxRK = (int64_t{1} << 29) - 1;

uint32_t PaletteEntry(TColor Color) {
    // red, green, blue and a zero byte: the COLORREF layout as it stands.
    return Color == clNone ? 0 : static_cast<uint32_t>(ColorToRGB(Color)) & 0xFFFFFF;
}

// The number a value converts to, when it does (Null as 0).
template <class T>
bool ToNumber(const Variant& V, T& Out) {
    Out = 0;
    if (V.IsNull() || V.IsEmpty()) return true;
    try {
        if (V.IsString()) {
            const std::string& s = V.AsString();
            size_t used = 0;
            if constexpr (std::is_integral_v<T>)
                Out = std::stoll(s, &used);
            else
                Out = std::stod(s, &used);
            return used == s.size();
        }
        if (!V.IsNumeric()) return false;
        const double d = V.AsDouble();
        if constexpr (std::is_integral_v<T>) {
            if (!std::isfinite(d) || std::abs(d) > 9e18) return false;
            Out = V.AsInt64();
        } else {
            Out = d;
        }
        return true;
    } catch (const std::exception&) {
        // A text that is no number, a value out of range: the caller writes it as text.
        return false;
    }
}

void Xf(std::string& Out, std::initializer_list<uint8_t> Data) {
    TBiffRecord r(kXF);
    for (uint8_t b : Data) r.Byte(b);
    Out += r.Done();
}

}  // namespace

// ---- Cells ----

void TvxDBGridExportExcel::Blank(int Row, int Column, int XF) {
    WriteBytes(TBiffRecord(kBlank)
                   .Word(static_cast<uint16_t>(Row))
                   .Word(static_cast<uint16_t>(Column))
                   .Word(static_cast<uint16_t>(XF))
                   .Done());
}

void TvxDBGridExportExcel::Label(int Row, int Column, int XF, const std::string& Text) {
    const std::string bytes = BiffText(Text);
    WriteBytes(TBiffRecord(kLabel)
                   .Word(static_cast<uint16_t>(Row))
                   .Word(static_cast<uint16_t>(Column))
                   .Word(static_cast<uint16_t>(XF))
                   .Word(static_cast<uint16_t>(bytes.size()))
                   .Bytes(bytes)
                   .Done());
}

void TvxDBGridExportExcel::Number(int Row, int Column, int XF, double Value) {
    WriteBytes(TBiffRecord(kNumber)
                   .Word(static_cast<uint16_t>(Row))
                   .Word(static_cast<uint16_t>(Column))
                   .Word(static_cast<uint16_t>(XF))
                   .Double(Value)
                   .Done());
}

void TvxDBGridExportExcel::Integer(int Row, int Column, int XF, int64_t Value) {
    if (Value < kMinRK || Value > kMaxRK) {
        Number(Row, Column, XF, static_cast<double>(Value));
        return;
    }
    const auto rk = static_cast<uint32_t>(Value * 4 + 2);
    WriteBytes(TBiffRecord(kRK)
                   .Word(static_cast<uint16_t>(Row))
                   .Word(static_cast<uint16_t>(Column))
                   .Word(static_cast<uint16_t>(XF))
                   .DWord(rk)
                   .Done());
}

void TvxDBGridExportExcel::Font(TFont* F, int ColourIndex) {
    const std::string name = BiffText(F->Name());
    const TFontStyles s = F->Style();
    const uint16_t attributes = (s.Contains(fsBold) ? 1 : 0) | (s.Contains(fsItalic) ? 2 : 0) |
                                (s.Contains(fsUnderline) ? 4 : 0) | (s.Contains(fsStrikeOut) ? 8 : 0);
    WriteBytes(TBiffRecord(kFont)
                   .Word(static_cast<uint16_t>(std::clamp(F->Size() * 20, 0, 0xFFFF)))
                   .Word(attributes)
                   .Word(static_cast<uint16_t>(ColourIndex))
                   .Byte(static_cast<uint8_t>(name.size()))
                   .Bytes(name)
                   .Done());
}

// ---- The prologue ----

void TvxDBGridExportExcel::BeginExport() {
    groups_ = Grid->GroupColumnCount();
    columnMap_ = ColumnsInDisplayOrder();
    const size_t limit = static_cast<size_t>(std::max(0, std::min(kMaxMappedColumns, 256 - groups_)));
    if (columnMap_.size() > limit) columnMap_.resize(limit);
    headerRows_ = (Grid->ShowBands() ? 1 : 0) + (Grid->TCustomvxTreeList::ShowHeader() ? 1 : 0);
    rowsLeftOut_ = 0;

    std::string out;
    out += TBiffRecord(kBOF).Word(0).Word(0x0010).Word(0).Done();
    // Readers take the LABEL bytes as Windows-1252 only when told so.
    out += TBiffRecord(kCodePage).Word(1252).Done();
    out += TBiffRecord(kGuts).DWord(0).DWord(0).Done();
    TBiffRecord palette(kPalette);
    palette.Word(13);
    for (TColor c :
         {Grid->HeaderFont()->Color(), Grid->HeaderColor(), Grid->GroupNodeTextColor(), Grid->GroupNodeColor(),
          Grid->Font()->Color(), Grid->Color(), clWindowFrame, clWindow, Grid->BandFont()->Color(), Grid->BandColor(),
          Grid->RowFooterTextColor(), Grid->RowFooterColor(), Grid->GridLineColor()})
        palette.DWord(PaletteEntry(c));
    out += palette.Done();
    for (int i = 0; i < 4; ++i) out += TBiffRecord(kFont).Word(200).Word(0).Word(0x7FFF).Byte(5).Bytes("Arial").Done();
    WriteBytes(out);
    Font(Grid->Font(), 12);
    Font(Grid->HeaderFont(), 8);
    Font(Grid->Font(), 10);
    Font(Grid->BandFont(), 16);
    Font(Grid->Font(), 18);
    for (int c : columnMap_) Font(ColumnAt(c)->Font(), 12);

    out.clear();
    Xf(out, {0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xCE, 0, 0, 0, 0});
    for (int i = 0; i < 2; ++i) Xf(out, {0x01, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0, 0, 0, 0});
    for (int i = 0; i < 2; ++i) Xf(out, {0x02, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0, 0, 0, 0});
    for (int i = 0; i < 10; ++i) Xf(out, {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0, 0, 0, 0});
    Xf(out, {0x00, 0x00, 0x01, 0x00, 0x20, 0x00, 0x00, 0xCE, 0, 0, 0, 0});
    for (uint8_t format : {0x21, 0x1F, 0x20, 0x1E, 0x0D})
        Xf(out, {0x01, format, 0xF5, 0xFF, 0x20, 0xF8, 0x00, 0xCE, 0, 0, 0, 0});
    const uint8_t border = Grid->ShowGrid() ? 0xA1 : 0x00;
    Xf(out, {0x05, 0x00, 0x01, 0x00, 0x21, 0x78, 0x41, 0x03, border, border, border, border});
    Xf(out, {0x06, 0x00, 0x01, 0x00, 0x22, 0x78, 0x41, 0x02, 0x71, 0x71, 0x71, 0x71});
    Xf(out, {0x07, 0x00, 0x01, 0x00, 0x21, 0x78, 0xC1, 0x02, 0, 0, 0, 0});
    Xf(out, {0x05, 0x00, 0x01, 0x00, 0x22, 0x78, 0xC1, 0x02, 0xB9, 0xB9, 0xB9, 0xB9});
    Xf(out, {0x05, 0x00, 0x01, 0x00, 0x22, 0x78, 0xC1, 0x02, 0xB9, 0x00, 0xB9, 0x00});
    Xf(out, {0x08, 0x00, 0x01, 0x00, 0x22, 0x78, 0x41, 0x02, 0x71, 0x71, 0x71, 0x00});
    Xf(out, {0x09, 0x00, 0x01, 0x00, 0x21, 0x78, 0xC1, 0x02, 0xB9, 0xB9, 0xB9, 0xB9});
    Xf(out, {0x09, 0x00, 0x01, 0x00, 0x21, 0x78, 0xC1, 0x02, 0xB9, 0x00, 0xB9, 0x00});
    for (size_t k = 0; k < columnMap_.size(); ++k) {
        const TAlignment a = ColumnAt(columnMap_[k])->Alignment();
        const uint8_t alignment = a == taRightJustify ? 0x23 : a == taCenter ? 0x22 : 0x21;
        Xf(out, {static_cast<uint8_t>(10 + k), 0x00, 0x01, 0x00, alignment, 0x78, 0x41, 0x03, border, border, border,
                 border});
    }
    for (int g = 0; g < groups_; ++g)
        out += TBiffRecord(kColInfo)
                   .Word(static_cast<uint16_t>(g))
                   .Word(static_cast<uint16_t>(g))
                   .Word(400)
                   .Word(15)
                   .Word(0)
                   .Word(0)
                   .Done();
    for (size_t k = 0; k < columnMap_.size(); ++k) {
        const auto column = static_cast<uint16_t>(groups_ + static_cast<int>(k));
        const int width = std::clamp(Grid->GetColumnShownWidth(columnMap_[k]) * 36, 0, 0xFFFF);
        out += TBiffRecord(kColInfo)
                   .Word(column)
                   .Word(column)
                   .Word(static_cast<uint16_t>(width))
                   .Word(15)
                   .Word(0)
                   .Word(0)
                   .Done();
    }
    out += TBiffRecord(kDimensions).Word(0).Word(0xFFFF).Word(0).Word(0x00FF).Word(0).Done();
    WriteBytes(out);
}

// ---- Rows ----

void TvxDBGridExportExcel::WriteHeader() {
    const int mapped = static_cast<int>(columnMap_.size());
    if (Grid->ShowBands()) {
        std::vector<bool> captioned(static_cast<size_t>(mapped), false);
        std::vector<std::pair<int, std::string>> captions;
        int offset = 0;
        for (int b = 0; b < Grid->GetBandCount(); ++b) {
            if (offset < mapped) {
                std::string caption;
                Grid->GetBandText(b, caption);
                captioned[static_cast<size_t>(offset)] = true;
                captions.emplace_back(offset, caption);
            }
            for (int r = 0; r < Grid->GetBandRowCountOf(b); ++r) offset += Grid->GetRowColumnCount(b, r);
        }
        for (int g = 0; g < groups_; ++g) Blank(RowIndex, g, xfGroup);
        // A band's first column carries its caption instead of a blank: one record per cell.
        for (int k = 0; k < mapped; ++k)
            if (!captioned[static_cast<size_t>(k)]) Blank(RowIndex, groups_ + k, xfGroup);
        for (const auto& [k, caption] : captions) Label(RowIndex, groups_ + k, xfBand, caption);
        ++RowIndex;
    }
    if (Grid->TCustomvxTreeList::ShowHeader()) {
        for (int g = 0; g < groups_; ++g) Blank(RowIndex, g, xfGroup);
        for (int k = 0; k < mapped; ++k)
            Label(RowIndex, groups_ + k, xfCaption, ColumnAt(columnMap_[static_cast<size_t>(k)])->Caption());
        ++RowIndex;
    }
}

void TvxDBGridExportExcel::WriteNode(TvxTreeListNode* Node) {
    // The footer row, when shown, must still fit below the last row written.
    const int footers = Node && !IsGroupRow(Node) ? Grid->GetRowFooterCount(Node) : 0;
    const int last = kLastSheetRow - (Grid->ShowSummaryFooter() ? 1 : 0);
    if (rowsLeftOut_ > 0 || RowIndex + footers > last) {
        ++rowsLeftOut_;
        --RowIndex;  // the walk counts the row; the sheet row stays where it is
        return;
    }
    if (groups_ > 0 && Node) {
        const int level = Node->Level();
        for (int g = 0; g < groups_; ++g) {
            if (g == level)
                Label(RowIndex, g, xfGroup, GroupRowText(Node));
            else
                Blank(RowIndex, g, xfGroup);
        }
    }
    for (int k = 0; k < static_cast<int>(columnMap_.size()); ++k) {
        if (IsGroupRow(Node))
            Blank(RowIndex, groups_ + k, xfGroup);
        else
            Cell(Node, k);
    }
    if (footers > 0) RowFooters(Node);
}

void TvxDBGridExportExcel::Cell(TvxTreeListNode* Node, int K) {
    const int c = columnMap_[static_cast<size_t>(K)];
    const int sheetColumn = groups_ + K, xf = xfFirstColumn + K;
    TvxDBTreeListColumn* column = ColumnAt(c);
    TField* field = column->Field();
    if (column->FieldName().empty() || !field) {
        Label(RowIndex, sheetColumn, xf, {});
        return;
    }
    Variant v;
    const bool supplied = ExportValue(Node, c, false, v);
    const auto text = [&] {
        if (supplied) return VarToStr(v);
        return Node ? Node->Strings(c) : field->DisplayText();
    };
    bool integer = false, real = false;
    if (supplied) {
        const TVarType t = v.VarType();
        integer = t == varSmallint || t == varInteger || t == varInt64;
        real = t == varDouble || t == varCurrency;
    } else {
        switch (field->DataType()) {
            case ftSmallint:
            case ftInteger:
            case ftWord:
            case ftAutoInc: integer = true; break;
            case ftFloat:
            case ftCurrency:
            case ftBCD: real = true; break;
            default: break;
        }
    }
    int64_t i = 0;
    double d = 0;
    // A value that does not convert to a number is kept as its text.
    if (integer && ToNumber(v, i))
        Integer(RowIndex, sheetColumn, xf, i);
    else if (real && ToNumber(v, d))
        Number(RowIndex, sheetColumn, xf, d);
    else
        Label(RowIndex, sheetColumn, xf, text());
}

void TvxDBGridExportExcel::RowFooters(TvxTreeListNode* Node) {
    const int footers = Grid->GetRowFooterCount(Node);
    for (int f = 0; f < footers; ++f) {
        ++RowIndex;
        const int level = Grid->GetRowFooterLevel(Node, f);
        for (int g = 0; g <= level; ++g) Blank(RowIndex, g, xfGroup);
        const bool shifted = groups_ - level - 1 > 0;
        for (int k = 0; k < static_cast<int>(columnMap_.size()); ++k) {
            const int c = columnMap_[static_cast<size_t>(k)];
            // The first cell moves left to the footer's level, under the group it sums.
            const int column = k == 0 && shifted ? level + 1 : groups_ + k;
            if (!Grid->IsExistRowFooterCell(Node, c, level)) {
                Blank(RowIndex, column, xfRowFooterBlank);
                continue;
            }
            std::string text;
            Grid->GetFooterCellText(Node, c, text, level);
            Label(RowIndex, column, xfRowFooter, text);
        }
        if (shifted)
            for (int g = groups_; g >= level + 2; --g) Blank(RowIndex, g, xfRowFooterBlank);
    }
}

void TvxDBGridExportExcel::WriteFooter() {
    if (!Grid->ShowSummaryFooter()) return;
    for (int g = 0; g < groups_; ++g) Blank(RowIndex, g, xfFooterBlank);
    const int mapped = static_cast<int>(columnMap_.size());
    for (int k = 0; k < mapped; ++k) {
        TvxDBTreeListColumn* column = ColumnAt(columnMap_[static_cast<size_t>(k)]);
        const TvxSummaryType type = column->SummaryFooterType();
        int n = -1;
        // An empty footer field sums the column's own field, as the grid's footer does.
        if (type == cstCount || column->SummaryFooterField().empty()) {
            n = k;
        } else {
            for (int m = 0; m < mapped && n < 0; ++m)
                if (SameText(ColumnAt(columnMap_[static_cast<size_t>(m)])->FieldName(), column->SummaryFooterField()))
                    n = m;
        }
        // Without data rows the area would hold the footer cell itself.
        if (type == cstNone || n < 0 || RowIndex - 1 < headerRows_) {
            Blank(RowIndex, groups_ + k, xfFooterBlank);
            continue;
        }
        const auto sheetColumn = static_cast<uint8_t>(groups_ + n);
        TBiffRecord r(kFormula);
        r.Word(static_cast<uint16_t>(RowIndex))
            .Word(static_cast<uint16_t>(groups_ + k))
            .Word(xfFormula)
            .DWord(0)
            .DWord(0)
            .Word(3)
            .Word(11);
        r.Byte(0x25)
            .Word(static_cast<uint16_t>(headerRows_ | 0xC000))
            .Word(static_cast<uint16_t>((RowIndex - 1) | 0xC000))
            .Byte(sheetColumn)
            .Byte(sheetColumn);
        if (type == cstSum) {
            r.Byte(0x19).Byte(0x10).Word(0);
        } else {
            const uint16_t function = type == cstMin ? 6 : type == cstMax ? 7 : type == cstCount ? 169 : 5;
            r.Byte(0x42).Byte(1).Word(function);
        }
        WriteBytes(r.Done());
    }
}

void TvxDBGridExportExcel::EndExport() { WriteBytes(TBiffRecord(kEOF).Done()); }

void TvxDBGridExportExcel::SaveToFile() {
    TvxDBGridExport::SaveToFile();
    if (rowsLeftOut_ > 0)
        throw ESheetRowsLeftOut("Die Tabelle fasst nur 16384 Zeilen: " + std::to_string(rowsLeftOut_) +
                                " Zeilen wurden nicht in die Datei geschrieben.");
}
