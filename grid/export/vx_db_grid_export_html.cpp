#include "grid/export/vx_db_grid_export_html.h"

#include <cstdio>

#include "grid/core/vx_db_grid.h"
#include "grid/export/html_escape.h"
#include "platform/gdi/color.h"
#include "platform/gdi/graphics_objects.h"
#include "platform/rtl/encoding.h"

namespace {

// RRGGBB; a colour of none is black.
std::string Hex(TColor Color) {
    if (Color == clNone) return "000000";
    const COLORREF rgb = ColorToRGB(Color);
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", static_cast<unsigned>(rgb & 0xFF),
                  static_cast<unsigned>((rgb >> 8) & 0xFF), static_cast<unsigned>((rgb >> 16) & 0xFF));
    return text;
}

const char* AlignmentWord(int Alignment) {
    switch (Alignment) {
        case taRightJustify: return "RIGHT";
        case taCenter: return "CENTER";
        default: return "LEFT";
    }
}

// Markup in the font's style tags.
std::string StyledMarkup(TFont* Font, const std::string& Markup) {
    const TvxDBGridExportHTML::TStyleTags tags = TvxDBGridExportHTML::StyleTags(Font);
    return tags.Open + Markup + tags.Close;
}

std::string Styled(TFont* Font, const std::string& Text) {
    return StyledMarkup(Font, TvxDBGridExportHTML::Escape(Text));
}

// The styled text, or a blank space when there is none.
std::string StyledOrSpace(TFont* Font, const std::string& Text) { return Text.empty() ? "&nbsp;" : Styled(Font, Text); }

std::string FontStyle(TFont* Font, TColor Color) {
    return TvxDBGridExportHTML::Escape(Font->Name(), true) + "; font-size: " + std::to_string(Font->Size()) +
           "pt; color: #" + Hex(Color);
}

// The code point at Text[i] (advancing i); -1 for a malformed byte.
long NextCodePoint(const std::string& Text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(Text[k]); };
    const unsigned char lead = byte(i);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0x80 && extra == 0) {
        ++i;
        return -1;
    }
    long cp = extra == 0 ? lead : lead & (0x3F >> extra);
    if (i + static_cast<size_t>(extra) >= Text.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char c = byte(i + static_cast<size_t>(k));
        if ((c & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}

}  // namespace

namespace {
// Printable ASCII with no markup character: the page takes it as it is, which is what most
// cells hold.
bool IsPlainText(const std::string& Text, bool Attribute) {
    for (const char c : Text)
        if (c < 0x20 || c > 0x7E || c == '&' || c == '<' || c == '>' || (Attribute && c == '"')) return false;
    return true;
}
}  // namespace

std::string TvxDBGridExportHTML::Escape(const std::string& Text, bool Attribute) {
    if (IsPlainText(Text, Attribute)) return Text;
    return PageText(HtmlEscape(Text, Attribute));
}

TvxDBGridExportHTML::TStyleTags TvxDBGridExportHTML::StyleTags(TFont* Font) {
    const TFontStyles s = Font->Style();
    TStyleTags tags;
    if (s.Contains(fsBold)) tags.Open += "<B>", tags.Close = "</B>" + tags.Close;
    if (s.Contains(fsItalic)) tags.Open += "<I>", tags.Close = "</I>" + tags.Close;
    if (s.Contains(fsUnderline)) tags.Open += "<U>", tags.Close = "</U>" + tags.Close;
    if (s.Contains(fsStrikeOut)) tags.Open += "<STRIKE>", tags.Close = "</STRIKE>" + tags.Close;
    return tags;
}

std::string TvxDBGridExportHTML::PageText(const std::string& Markup) {
    std::string out;
    out.reserve(Markup.size());
    for (size_t i = 0; i < Markup.size();) {
        const size_t start = i;
        const long cp = NextCodePoint(Markup, i);
        if (cp < 0) {
            out += "&#65533;";
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            const std::string byte = Utf8ToCp1252(std::string_view(Markup).substr(start, i - start));
            if (byte == "?")
                out += "&#" + std::to_string(cp) + ";";
            else
                out += byte;
        }
    }
    return out;
}

void TvxDBGridExportHTML::AppendCellMarkup(std::string& Row, TvxTreeListNode* Node, size_t Slot) const {
    const int column = columns_[Slot];
    const TStyleTags& tags = cellStyles_[Slot];
    Variant value;
    if (ExportValue(Node, column, true, value)) {
        // A column's export value is markup already.
        const std::string markup = VarToStr(value);
        if (markup.empty()) {
            Row += "&nbsp;";
            return;
        }
        Row += tags.Open;
        Row += PageText(markup);
        Row += tags.Close;
        return;
    }
    const std::string text = ShownText(Node, column);
    if (text.empty()) {
        Row += "&nbsp;";
        return;
    }
    Row += tags.Open;
    if (IsPlainText(text, false))
        Row += text;
    else
        Row += Escape(text);
    Row += tags.Close;
}

std::string TvxDBGridExportHTML::IndentCell() const {
    return "<TD NOWRAP BGCOLOR=#" + Hex(Grid->GroupNodeColor()) + " WIDTH=10></TD>";
}

void TvxDBGridExportHTML::BeginExport() {
    columns_ = ColumnsInDisplayOrder();
    groups_ = Grid->GroupColumnCount();
    // What a data cell of each column starts with, and its font's style tags: the same for
    // every row.
    cellStarts_.clear();
    cellStyles_.clear();
    for (int c : columns_) {
        TvxDBTreeListColumn* column = ColumnAt(c);
        TFont* font = column->Font();
        cellStarts_.push_back(std::string("<TD NOWRAP ALIGN=\"") + AlignmentWord(column->Alignment()) + "\" BGCOLOR=#" +
                              Hex(column->Color()) + "><FONT STYLE=\"font-family: " + FontStyle(font, font->Color()) +
                              "\">");
        cellStyles_.push_back(StyleTags(font));
    }
    indentCell_ = IndentCell();
    WriteLine("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">");
    WriteLine("<HTML>");
    WriteLine("<HEAD>");
    WriteBytes("<TITLE>" + Escape(Grid->Name()));
    WriteLine("</TITLE> ");
    WriteLine("<STYLE>");
    WriteLine("<!--");
    WriteLine(".Band{font-family: " + FontStyle(Grid->BandFont(), Grid->BandFont()->Color()) + "}");
    WriteLine(".Header{font-family: " + FontStyle(Grid->HeaderFont(), Grid->HeaderFont()->Color()) + "}");
    WriteLine(".Footer{font-family: " + FontStyle(Grid->Font(), Grid->Font()->Color()) + "}");
    WriteLine(".RowFooter{font-family: " + FontStyle(Grid->Font(), Grid->RowFooterTextColor()) + "}");
    WriteLine(".Group{font-family: " + FontStyle(Grid->Font(), Grid->GroupNodeTextColor()) + "}");
    WriteLine("-->");
    WriteLine("</STYLE>");
    WriteLine("</HEAD> ");
    WriteLine("<BODY BGCOLOR=#C0C0C0>");
    if (Grid->BorderStyle() == bsSingle)
        WriteLine("<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=1 BGCOLOR=#C0C0C0><TR><TD>");
    const char* attributes = !Grid->ShowGrid() ? "BORDER=0 CELLSPACING=0 CELLPADDING=2"
                             : Grid->Ctl3D()   ? "BORDER=1 CELLSPACING=0 CELLPADDING=1"
                                               : "BORDER=0 CELLSPACING=1 CELLPADDING=2";
    WriteLine(std::string("<TABLE ") + attributes + " BGCOLOR=#C0C0C0>");
}

void TvxDBGridExportHTML::WriteHeader() {
    const std::string groupIndent = groups_ > 0 ? "<TD NOWRAP WIDTH=10 COLSPAN=" + std::to_string(groups_) + "></TD>"
                                                : std::string();
    if (Grid->ShowBands()) {
        std::string row = "<TR VALIGN=\"TOP\" class=\"Band\" BGCOLOR=#" + Hex(Grid->BandColor()) + ">" + groupIndent;
        const int height = Grid->Metrics().BandLineHeight;
        for (int b = 0; b < Grid->GetBandCount(); ++b) {
            int span = 0;
            for (int r = 0; r < Grid->GetBandRowCountOf(b); ++r) span += Grid->GetRowColumnCount(b, r);
            std::string caption;
            Grid->GetBandText(b, caption);
            row += "<TD NOWRAP COLSPAN=" + std::to_string(span) + " ALIGN=\"" +
                   AlignmentWord(Grid->GetBandAlignment(b)) + "\" HEIGHT=" + std::to_string(height) + ">" +
                   StyledOrSpace(Grid->BandFont(), caption) + "</TD>";
        }
        WriteLine(row + "</TR>");
    }
    if (Grid->TCustomvxTreeList::ShowHeader()) {
        std::string row = "<TR VALIGN=\"TOP\" class=\"Header\" BGCOLOR=#" + Hex(Grid->HeaderColor()) + ">" +
                          groupIndent;
        for (int c : columns_)
            row += "<TD NOWRAP WIDTH=" + std::to_string(Grid->GetColumnShownWidth(c)) + " ALIGN=\"" +
                   AlignmentWord(Grid->GetHeaderAlignment(c)) + "\">" +
                   StyledOrSpace(Grid->HeaderFont(), ColumnAt(c)->Caption()) + "</TD>";
        WriteLine(row + "</TR>");
    }
}

void TvxDBGridExportHTML::WriteNode(TvxTreeListNode* Node) {
    if (IsGroupRow(Node)) {
        const int level = Node->Level();
        std::string row = "<TR class=\"Group\" BGCOLOR=#" + Hex(Grid->GroupNodeColor()) + ">";
        for (int l = 0; l < level; ++l) row += IndentCell();
        row += "<TD NOWRAP ALIGN=\"LEFT\" COLSPAN=" +
               std::to_string(static_cast<int>(columns_.size()) + groups_ - level) + ">" +
               StyledOrSpace(Grid->Font(), GroupRowText(Node)) + "</TD>";
        WriteLine(row + "</TR>");
        return;
    }
    std::string row = "<TR>";
    for (int g = 0; g < groups_; ++g) row += indentCell_;
    for (size_t i = 0; i < columns_.size(); ++i) {
        row += cellStarts_[i];
        AppendCellMarkup(row, Node, i);
        row += "</FONT></TD>";
    }
    row += "</TR>";
    WriteLine(row);
    WriteRowFooters(Node);
}

void TvxDBGridExportHTML::WriteRowFooters(TvxTreeListNode* Node) {
    if (!Node) return;
    const int footers = Grid->GetRowFooterCount(Node);
    for (int f = 0; f < footers; ++f) {
        const int level = Grid->GetRowFooterLevel(Node, f);
        std::string row = "<TR class=\"RowFooter\" BGCOLOR=#" + Hex(Grid->RowFooterColor()) + ">";
        for (int l = 0; l <= level; ++l) row += IndentCell();
        for (size_t i = 0; i < columns_.size(); ++i) {
            const int c = columns_[i];
            std::string text;
            if (Grid->IsExistRowFooterCell(Node, c, level)) Grid->GetFooterCellText(Node, c, text, level);
            row += std::string("<TD NOWRAP ALIGN=\"") + AlignmentWord(ColumnAt(c)->Alignment()) + "\"" +
                   (i == 0 ? " COLSPAN=" + std::to_string(groups_ - level) : std::string()) + ">" +
                   StyledOrSpace(Grid->Font(), text) + "</TD>";
        }
        WriteLine(row + "</TR>");
    }
}

void TvxDBGridExportHTML::WriteFooter() {
    if (!Grid->ShowSummaryFooter() || Grid->IsCursorMode()) return;
    std::string row = "<TR class=\"Footer\" BGCOLOR=#" + Hex(Grid->HeaderColor()) + ">";
    if (groups_ > 0) row += "<TD NOWRAP WIDTH=10 COLSPAN=" + std::to_string(groups_) + "></TD>";
    for (int c : columns_) {
        TvxDBTreeListColumn* column = ColumnAt(c);
        std::string text;
        column->GetSummaryFooterText(text);
        row += std::string("<TD NOWRAP ALIGN=\"") + AlignmentWord(column->Alignment()) + "\">" +
               (text.empty() ? std::string() : Styled(column->Font(), text)) + "</TD>";
    }
    WriteLine(row + "</TR>");
}

void TvxDBGridExportHTML::EndExport() {
    WriteLine("</TABLE>");
    if (Grid->BorderStyle() == bsSingle) WriteLine("</TD></TR></TABLE>");
    WriteLine("</BODY>");
    WriteLine("</HTML>");
}
