// What is inside a cell, a footer or group cell and a preview: text, custom drawing, the
// incremental-search highlight and the focus rectangle of the searched cell.

#include <algorithm>
#include <string>

#include "platform/gdi/canvas.h"
#include "platform/gdi/text.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_drawing.h"
#include "treelist/tree_list_paint.h"

namespace {

// Puts the canvas font back from the spare font when drawing one cell changed it.
class TFontKeeper {
public:
    TFontKeeper(TCanvas* Canvas, TFont* Spare) : canvas_(Canvas), spare_(Spare) {}
    ~TFontKeeper() {
        if (saved_) canvas_->SetFont(spare_);
    }
    TFontKeeper(const TFontKeeper&) = delete;
    TFontKeeper& operator=(const TFontKeeper&) = delete;
    void Save() {
        spare_->Assign(canvas_->Font());
        saved_ = true;
    }

private:
    TCanvas* canvas_;
    TFont* spare_;
    bool saved_ = false;
};

class TNodeDrawing {
public:
    TNodeDrawing(TCustomvxTreeList* Tree, TvxTreeListNode* Node) : tree_(Tree), node_(Node) {
        if (node_) tree_->BeginDrawNode(node_);
    }
    ~TNodeDrawing() {
        if (node_) tree_->EndDrawNode(node_);
    }
    TNodeDrawing(const TNodeDrawing&) = delete;
    TNodeDrawing& operator=(const TNodeDrawing&) = delete;

private:
    TCustomvxTreeList* tree_;
    TvxTreeListNode* node_;
};

TColor Inverse(TColor Color) { return static_cast<TColor>(ColorToRGB(Color) ^ 0xFFFFFFu); }

}  // namespace

void TCustomvxTreeList::DrawCell(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, TvxTreeListNode* Node,
                                 int AbsoluteIndex, bool Selected, bool Focused, TColor Color, TColor TextColor,
                                 HBRUSH Brush, bool MultiLine, int Kind, bool LeftNeighbour, bool RightNeighbour,
                                 TColor /*ColumnColor*/, HBRUSH /*ColumnBrush*/) {
    TNodeDrawing drawing(this, Node);
    std::string text;
    if (Kind == 0 || Kind == 3)
        GetCellText(Node, AbsoluteIndex, text);
    else
        GetNewItemRowText(AbsoluteIndex, text);
    TAlignment alignment = GetColumnAlignment(Node, AbsoluteIndex);
    const bool ownFont = (Kind == 0 || Kind == 2) && IsColumnOwnFont(AbsoluteIndex);
    const bool custom = HasCustomDrawCell(Node, AbsoluteIndex);
    TFontKeeper keeper(Canvas, spareFont_.get());
    if (custom || ownFont) {
        if (!ownFont) Canvas->Font()->SetColor(TextColor);
        keeper.Save();
        if (ownFont) {
            Canvas->SetFont(GetColumnFont(AbsoluteIndex));
            if (Selected)
                Canvas->Font()->SetColor(TextColor);
            else
                TextColor = Canvas->Font()->Color();
        }
    }
    bool done = false;
    TColor color = Color;
    if (custom)
        DoCustomDrawCell(Canvas, Rect, Node, AbsoluteIndex, Selected, Focused, Kind == 2, text, color, Canvas->Font(),
                         alignment, done);
    if (done) return;
    HBRUSH brush = Brush;
    if (custom) {
        if (ColorToRGB(color) != ColorToRGB(Color)) {
            Canvas->Brush()->SetColor(color);
            brush = Canvas->Brush()->Handle();
        }
        TextColor = Canvas->Font()->Color();
    }
    TvxTreeListCellRecord& c = cellRecord_;
    c = TvxTreeListCellRecord{};
    c.Brush = brush;
    c.Font = Canvas->Font();
    c.BrushColor = color;
    c.TextColor = TextColor;
    c.Alignment = alignment;
    c.Text = text;
    c.Selected = Selected;
    c.InvertSelect = IsInvertSelect();
    c.LeftNeighbour = LeftNeighbour;
    c.RightNeighbour = RightNeighbour;
    c.MultiLine = MultiLine;
    c.EndEllipsis = IsDrawEndEllipsis();
    c.Node = Node;
    c.NewItemRow = Kind == 2 && !IsNewItemRowEditing();
    c.SelectionColor = Focused ? highlightColor_ : hideSelectionColor_;
    c.Bitmap = Bitmap;
    c.EditCell = IsEditCell(Node, AbsoluteIndex);
    c.Rect = TRect{Rect.Left - 2, Rect.Top - 2, Rect.Right + 2, Rect.Bottom + 2};
    HDC dc = Canvas->Handle();
    DrawCellContent(dc, c, AbsoluteIndex);

    if (searchActive_ && Focused && Kind == 0 && AbsoluteIndex == searchColumn_ && !searchText_.empty()) {
        c.BrushColor = autoSearchColor_ == clNone ? Inverse(color) : autoSearchColor_;
        c.TextColor = autoSearchTextColor_ == clNone ? Inverse(TextColor) : autoSearchTextColor_;
        c.Highlight = true;
        c.HighlightLength = static_cast<int>(searchText_.size());
        DrawHighlightedCell(dc, c, AbsoluteIndex);
        TRect f{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
        if (IsRowSelect() || IsInvertSelect()) {
            if (!LeftNeighbour) f.Left -= 1;
            if (!RightNeighbour) f.Right += 1;
        }
        DrawFocusRectBW(dc, f);
    }
}

void TCustomvxTreeList::DrawHighlightedCell(HDC DC, TvxTreeListCellRecord& Cell, int Column) {
    // The matched prefix only: the cell is drawn again in the highlight colours, clipped to
    // where the prefix's characters stand.
    const TRect inner{Cell.Rect.Left + 2, Cell.Rect.Top + 2, Cell.Rect.Right - 2, Cell.Rect.Bottom - 2};
    HGDIOBJ old = SelectObject(DC, Cell.Font ? Cell.Font->Handle() : GetCurrentObject(DC, OBJ_FONT));
    const int full = TextPixelWidth(DC, Cell.Text);
    const size_t length = std::min(Cell.Text.size(), static_cast<size_t>(Cell.HighlightLength));
    const int prefix = TextPixelWidth(DC, std::string_view(Cell.Text).substr(0, length));
    SelectObject(DC, old);
    int start = inner.Left + 1;
    if (Cell.Alignment == taRightJustify) start = inner.Right - 2 - full;
    if (Cell.Alignment == taCenter) start = inner.Left + 1 + (inner.Width() - 2 - full) / 2;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Cell.BrushColor));
    Cell.Brush = brush;
    {
        TvxClipScope clip(
            DC, TRect{std::max(start, inner.Left), inner.Top, std::min(start + prefix, inner.Right), inner.Bottom});
        struct Free {
            HBRUSH b;
            ~Free() { DeleteObject(b); }
        } free{brush};
        DrawCellContent(DC, Cell, Column);
    }
}

void TCustomvxTreeList::DrawFooterCell(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, TvxTreeListNode* Node,
                                       int AbsoluteIndex, int FooterIndex, bool Selected, bool Focused, TColor Color,
                                       HBRUSH Brush, bool MultiLine, int Kind) {
    TNodeDrawing drawing(this, Node);
    std::string text;
    // A row footer cell asks for the level its footer closes; the footer under the rows (no
    // node) for level -1.
    if (Kind == 3)
        GetCellText(Node, AbsoluteIndex, text);
    else
        GetFooterCellText(Node, AbsoluteIndex, text, Node ? GetRowFooterLevel(Node, FooterIndex) : -1);
    TAlignment alignment = GetCellAlignment(Node, AbsoluteIndex);
    const bool custom = HasCustomDrawFooter(Node, AbsoluteIndex, FooterIndex);
    TFontKeeper keeper(Canvas, spareFont_.get());
    HDC dc = Canvas->Handle();
    if (custom) {
        Canvas->Font()->SetColor(static_cast<TColor>(GetTextColor(dc)));
        keeper.Save();
    }
    bool done = false;
    TColor color = Color;
    if (custom)
        DoCustomDrawFooter(Canvas, Rect, Node, AbsoluteIndex, FooterIndex, text, color, Canvas->Font(), alignment,
                           done);
    if (done) return;
    HBRUSH brush = Brush;
    if (custom) {
        if (ColorToRGB(color) != ColorToRGB(Color)) {
            Canvas->Brush()->SetColor(color);
            brush = Canvas->Brush()->Handle();
        }
        SetTextColor(dc, ColorToRGB(Canvas->Font()->Color()));
    }
    TvxCellTextLook look;
    look.Brush = brush;
    look.Buffered = IsUseBitmap();
    look.Alignment = alignment;
    look.MultiLine = MultiLine;
    look.EndEllipsis = IsDrawEndEllipsis();
    look.Color = color;
    SetBkColor(dc, ColorToRGB(color));
    DrawCellText(dc, Rect, look, text, Bitmap);

    // A group row shows the search highlight like a cell: its matched prefix again in the
    // inverse colours, then the focus rectangle.
    if (Kind == 3 && searchActive_ && Focused && AbsoluteIndex == searchColumn_ && !searchText_.empty()) {
        const int full = TextPixelWidth(dc, text);
        const int prefix = TextPixelWidth(dc,
                                          std::string_view(text).substr(0, std::min(text.size(), searchText_.size())));
        int start = Rect.Left + 2;
        if (alignment == taRightJustify) start = Rect.Right - 2 - full;
        if (alignment == taCenter) start = Rect.Left + (Rect.Width() - full) / 2;
        const TColor highlight = autoSearchColor_ == clNone ? Inverse(color) : autoSearchColor_;
        const TColor highlightText = autoSearchTextColor_ == clNone ? Inverse(static_cast<TColor>(GetTextColor(dc)))
                                                                    : autoSearchTextColor_;
        HBRUSH highlightBrush = CreateSolidBrush(ColorToRGB(highlight));
        struct Free {
            HBRUSH b;
            ~Free() { DeleteObject(b); }
        } free{highlightBrush};
        {
            TvxClipScope clip(
                dc, TRect{std::max(start, Rect.Left), Rect.Top, std::min(start + prefix, Rect.Right), Rect.Bottom});
            const COLORREF oldText = SetTextColor(dc, ColorToRGB(highlightText));
            look.Brush = highlightBrush;
            look.Color = highlight;
            SetBkColor(dc, ColorToRGB(highlight));
            DrawCellText(dc, Rect, look, text, Bitmap);
            SetTextColor(dc, oldText);
        }
        DrawFocusRectBW(dc, TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1});
    }
    (void)Selected;
}

void TCustomvxTreeList::DrawPreview(TCanvas* Canvas, const TRect& Rect, bool Selected, HBRUSH Brush, TColor TextColor,
                                    TColor Color, TvxTreeListNode* Node, TBitmap* Bitmap) {
    std::string text;
    GetPreviewText(Node, text);
    TFontKeeper keeper(Canvas, spareFont_.get());
    keeper.Save();
    Canvas->SetFont(previewFont_.get());
    HBRUSH brush = Brush;
    if (HasCustomDrawPreview(Node)) {
        bool done = false;
        TColor color = Color;
        DoCustomDrawPreview(Canvas, Rect, Node, Selected, text, color, TextColor, Canvas->Font(), done);
        if (done) return;
        if (ColorToRGB(color) != ColorToRGB(Color)) {
            Canvas->Brush()->SetColor(color);
            brush = Canvas->Brush()->Handle();
        }
    }
    DrawPreviewText(Canvas->Handle(), Rect, IsUseBitmap(), brush, indentDesc_, text, TextColor, Canvas->Font(), Bitmap);
}
