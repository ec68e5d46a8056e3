// The rows area of the tree list: the indent part of every row (level cells, tree lines,
// expand buttons, images), then the cells, group rows, previews, row footers, focus
// rectangles and grid lines, and the new-item row.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "controls/draw_utils.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/image_list.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_drawing.h"
#include "treelist/tree_list_paint.h"

namespace {

bool Empty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

bool HasChildNodes(const TvxTreeListNode* Node) { return Node->HasChildren() || Node->Count() > 0; }

// Runs EndDrawNode also when the drawing between raised.
class TDrawNodeScope {
public:
    TDrawNodeScope(TCustomvxTreeList* Tree, TvxTreeListNode* Node) : tree_(Tree), node_(Node) {
        tree_->BeginDrawNode(node_);
    }
    ~TDrawNodeScope() { tree_->EndDrawNode(node_); }
    TDrawNodeScope(const TDrawNodeScope&) = delete;
    TDrawNodeScope& operator=(const TDrawNodeScope&) = delete;

private:
    TCustomvxTreeList* tree_;
    TvxTreeListNode* node_;
};

}  // namespace

void TCustomvxTreeList::GetRowFooterRect(TvxTreeListNode* Node, int FooterIndex, TRect& Rect,
                                         const TvxTreeListLayout& Layout, int RightInset, int Top) {
    const int level = GetRowFooterLevel(Node, FooterIndex);
    const int step = metrics_.Indent;
    int indent = level >= 0 ? (level + 1) * step : 0;
    if (!HasRootIndent()) indent -= step;
    const bool leftFixed = !Empty(Layout.LeftFixedArea);
    const bool rightFixed = !Empty(Layout.RightFixedArea);
    Rect.Left = Layout.Rows.Left + indent;
    Rect.Top = Top + FooterIndex * metrics_.RowFooterHeight;
    Rect.Bottom = Rect.Top + metrics_.RowFooterHeight;
    Rect.Right = Layout.Rows.Left + GetBandsTotalWidth() - RightInset;
    if (!leftFixed) {
        Rect.Left -= leftCoord_;
        Rect.Right -= leftCoord_;
    } else {
        Rect.Right -= leftCoord_;
    }
    if (rightFixed) {
        Rect.Right = std::min(Rect.Right, Layout.Rows.Right - RightInset);
        Rect.Left = std::min(Rect.Left, Layout.RightFixedArea.Left);
    }
    Rect.Left = std::max(Rect.Left, Layout.Rows.Left);
}

void TCustomvxTreeList::PaintRows(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    if (!Empty(L.BandsFiller) && RectVisible(P.DC, L.BandsFiller)) FillRect(P.DC, L.BandsFiller, P.BackgroundBrush);
    if (!Empty(L.BelowRowsFiller) && RectVisible(P.DC, L.BelowRowsFiller))
        FillRect(P.DC, L.BelowRowsFiller, P.BackgroundBrush);
    if (Empty(L.Rows) || !RectVisible(P.DC, L.Rows) || GetBandCount() == 0) return;

    const bool leftFixed = !Empty(L.LeftFixedArea);
    int right = L.Rows.Left + GetBandsTotalWidth() - (leftFixed ? 0 : leftCoord_);
    right = std::max(L.Rows.Left, std::min(right, L.Rows.Right));
    P.SetClipRect(TRect{L.Rows.Left, L.Rows.Top, right, L.Rows.Bottom});

    // Dotted tree lines: the checkerboard's colours swap so that its dots keep their place
    // relative to the rows area wherever that starts.
    HBRUSH lineBrush = P.TreeLinesBrush;
    const bool dotted = TreeStyle() && showTreeLines_ && treeLinesStyle_ == 1;
    COLORREF oldBk = 0;
    COLORREF oldText = 0;
    if (dotted) {
        oldBk = GetBkColor(P.DC);
        oldText = GetTextColor(P.DC);
        lineBrush = DitherBrush();
        const bool same = ((L.Rows.Left ^ L.Rows.Top) & 1) == 0;
        SetBkColor(P.DC, ColorToRGB(same ? treeLinesColor_ : Color()));
        SetTextColor(P.DC, ColorToRGB(same ? Color() : treeLinesColor_));
    }
    std::swap(P.TreeLinesBrush, lineBrush);
    struct Restore {
        TvxTreeListPaint& p;
        HBRUSH brush;
        bool dotted;
        COLORREF bk, text;
        ~Restore() {
            p.TreeLinesBrush = brush;
            if (dotted) {
                SetBkColor(p.DC, bk);
                SetTextColor(p.DC, text);
            }
        }
    } restore{P, lineBrush, dotted, oldBk, oldText};
    for (size_t i = 0; i < L.RowEntries.size(); ++i) {
        const TvxTreeListRowEntry& row = L.RowEntries[i];
        TDrawNodeScope scope(this, row.Node);
        PaintRowIndent(P, row, i);
    }
    P.RestoreClip();

    const bool clipCells = leftFixed || !Empty(L.RightFixedArea) || leftCoord_ != 0 ||
                           GetBandsTotalWidth() > L.Rows.Width();
    P.Segments.clear();
    for (size_t i = 0; i < L.RowEntries.size(); ++i) {
        const TvxTreeListRowEntry& row = L.RowEntries[i];
        TDrawNodeScope scope(this, row.Node);
        P.Canvas->SetFont(Font());
        SetTextColor(P.DC, ColorToRGB(Font()->Color()));
        PaintRowCells(P, row, i, clipCells);
        P.RestoreClip();
    }
    if (showGrid_) {
        const int x = L.DataRight;
        const int bottom = L.RowsEnd >= 0 ? L.RowsEnd + 1 : L.Rows.Bottom - 1;
        P.AddLineSegment(x, L.Rows.Top, x, bottom);
    }
    P.DrawSegments(showGrid_ ? GetGridLineColor(Color()) : Color());
}

void TCustomvxTreeList::PaintRowIndent(TvxTreeListPaint& P, const TvxTreeListRowEntry& Row, size_t Index) {
    const TvxTreeListLayout& L = P.Layout;
    TvxTreeListNode* node = Row.Node;
    const int Y = Row.Top;
    const int H = Row.Height;
    const int step = metrics_.Indent;
    const int indentWidth = std::min(GetNodeTreePartWidth(node), L.TreeColumnWidth);
    if (indentWidth <= 0) return;
    const int x0 = L.Rows.Left - (Empty(L.LeftFixedArea) ? leftCoord_ : 0);
    const int rootShift = HasRootIndent() ? 0 : 1;
    const int sep = L.RowSeparatorWidth;
    const bool children = HasChildNodes(node);
    const int level = node->Level();
    const int cells = level + (children || TreeStyle() ? 1 : 0);
    auto cellLeft = [&](int i) { return x0 + (i - rootShift) * step; };

    for (int i = rootShift; i < cells; ++i) {
        TRect cell{cellLeft(i), Y, cellLeft(i) + step - 1, Y + H};
        if (i == cells - 1 && !TreeStyle() && !showGrid_ && children) cell.Top += 1;
        if (TreeStyle() && !showGrid_)
            cell.Right += 1;
        else
            cell.Bottom -= sep;
        for (int k = 0; k < Row.FooterCount; ++k)
            if (GetRowFooterLevel(node, k) < i) cell.Bottom -= metrics_.RowFooterHeight;
        HBRUSH brush = P.BackgroundBrush;
        if (!TreeStyle()) {
            TColor color = groupNodeColor_;
            const bool ownLevel = i <= (children ? level : level - 1);
            brush = IsLevelColorAssigned() && ownLevel ? GetLevelBrush(P, i, color) : P.GroupNodeBrush;
        }
        FillRect(P.DC, cell, brush);
    }

    const int nodeCell = level - rootShift;
    const bool button = showExpandButtons_ && children;
    if (TreeStyle() && showTreeLines_ && nodeCell >= 0) {
        const int XC = x0 + nodeCell * step + step / 2 - 1;
        const int YC = Y + H / 2;
        const int cellRight = x0 + nodeCell * step + step - (showGrid_ ? 1 : 0);
        auto line = [&](int x1, int y1, int x2, int y2) {
            if (x2 > x1 && y2 > y1) FillRect(P.DC, TRect{x1, y1, x2, y2}, P.TreeLinesBrush);
        };
        line(button ? XC + 5 : XC, YC, cellRight, YC + 1);
        const bool firstRoot = node == GetFirstNode();
        int top = Y;
        if (node->Parent() && node->Index() == 0 && Index >= 2 && images_ && images_->Height() > 0) {
            const TvxTreeListRowEntry& prev = P.Layout.RowEntries[Index - 1];
            top -= (prev.Height - images_->Height()) / 2;
        }
        if (button) {
            if (!firstRoot) line(XC, top, XC + 1, YC - 5);
            if (!node->IsLast()) line(XC, YC + 5, XC + 1, Y + H);
        } else {
            line(XC, firstRoot ? YC : top, XC + 1, node->IsLast() ? YC : Y + H);
        }
        for (TvxTreeListNode* a = node->Parent(); a; a = a->Parent()) {
            const int c = a->Level() - rootShift;
            if (c < 0 || a->IsLast()) continue;
            const int x = x0 + c * step + step / 2 - 1;
            line(x, Y, x + 1, Y + H);
        }
    }

    // In list mode the group colour closes the gap to the first cell; in tree style the
    // widened level cell has done so.
    if (children && cells - rootShift > 0 && !TreeStyle()) {
        const int x = cellLeft(cells - 1) + step - 1;
        TColor color = groupNodeColor_;
        HBRUSH brush = IsLevelColorAssigned() ? GetLevelBrush(P, cells - 1, color) : P.GroupNodeBrush;
        FillRect(P.DC, TRect{x, Y, x + 1, Y + H - sep}, brush);
    }

    if (button && nodeCell >= 0) {
        const TRect cell{x0 + nodeCell * step, Y, x0 + nodeCell * step + step - (TreeStyle() && !showGrid_ ? 0 : 1),
                         TreeStyle() ? Y + H : Y + H - sep};
        if (TreeStyle())
            DrawTreeButton(P.DC, cell, Y + H / 2, !node->Expanded());
        else if (lookAndFeel_ == lfUltraFlat)
            DrawFlatTreeButton(P.DC, cell, !node->Expanded());
        else
            DrawButtonGlyph(P.DC, cell, !node->Expanded());
    }

    // State image and image right of the level cells.
    int x = cellLeft(cells);
    HBRUSH imageBrush = P.BackgroundBrush;
    if (!TreeStyle() && (Row.Group || children)) {
        TColor color = groupNodeColor_;
        imageBrush = IsLevelColorAssigned() ? GetLevelBrush(P, level, color) : P.GroupNodeBrush;
    }
    const int bottom = Y + H - sep - Row.FooterHeight;
    const int stateIndex = GetNodeStateIndex(node);
    if (stateIndex != -1) {
        const TRect r{x, Y, x + metrics_.StateImageWidth, bottom};
        FillRect(P.DC, r, imageBrush);
        DrawImageCentered(P.DC, r, stateImages_, stateIndex);
        x = r.Right;
    }
    const int imageIndex = GetNodeImageIndex(node);
    const int selectedIndex = GetNodeSelectedIndex(node);
    if (imageIndex != -1 || selectedIndex != -1) {
        const TRect r{x, Y, x + metrics_.ImageWidth, bottom};
        FillRect(P.DC, r, imageBrush);
        DrawImageCentered(P.DC, r, images_, Row.Selected ? selectedIndex : imageIndex);
    }
}

void TCustomvxTreeList::PaintRowCells(TvxTreeListPaint& P, const TvxTreeListRowEntry& Row, size_t Index,
                                      bool ClipCells) {
    const TvxTreeListLayout& L = P.Layout;
    TvxTreeListNode* node = Row.Node;
    const int Y = Row.Top;
    const int H = Row.Height;
    const int sep = L.RowSeparatorWidth;
    const int unit = metrics_.RowHeightUnit;
    const int step = metrics_.Indent;
    const bool children = HasChildNodes(node);
    const int level = node->Level();
    const bool gridLines = showGrid_ && showPreviewGrid_;
    const bool leftFixed = !Empty(L.LeftFixedArea);
    const bool rightFixed = !Empty(L.RightFixedArea);
    const int x0 = L.Rows.Left - (leftFixed ? 0 : leftCoord_);
    const int indentRight = x0 + std::min(GetNodeTreePartWidth(node), L.TreeColumnWidth);
    const int bandsEnd = L.DataRight + 1;
    const int rootShift = HasRootIndent() ? 0 : 1;
    const bool listShift = !TreeStyle() && !showGrid_ && children;
    const bool focusedNode = node == focusedNode_;
    const bool newItemActive = IsNewItemRowActive();
    const bool rowSelect = IsRowSelect();
    const bool invert = IsInvertSelect();
    const bool multi = IsMultiSelect();
    const int scrollLeft = leftFixed ? L.LeftFixedArea.Right : L.Rows.Left;
    const int scrollRight = rightFixed ? L.RightFixedArea.Left : L.Rows.Right;
    const int leftFixedBand = leftFixed ? 0 : -1;
    const int rightFixedBand = rightFixed ? GetRightFixedBand() : -1;
    const int headerRows = GetHeaderPanelRowCount();
    // A row heightened for its wrapped texts wraps every cell's text.
    const bool multiLineRow = node->LineCountCache() > 1;

    if (Row.Group) {
        TRect r{indentRight, Y + (listShift ? 1 : 0), bandsEnd - (showGrid_ ? 1 : 0), Y + H - sep};
        if (rightFixed) r.Right = std::min(r.Right, L.Rows.Right - (showGrid_ ? 1 : 0));
        if (ClipCells) r.Right = std::min(r.Right, L.Rows.Right);
        const bool selected = Row.Selected && (!newItemActive || multi);
        TColor color, textColor;
        HBRUSH brush;
        GetCellColors(P, node, selected, true, children, level, -1, color, textColor, brush);
        SetBkColor(P.DC, ColorToRGB(color));
        SetTextColor(P.DC, ColorToRGB(textColor));
        if (!Empty(r) && RectVisible(P.DC, r)) {
            DrawFooterCell(P.Canvas, r, workBitmap_.get(), node, 0, -1, Row.Selected, P.ControlFocused && focusedNode,
                           color, brush, false, 3);
            if (focusedNode && !newItemActive) PaintFocusRect(P, r);
        }
    } else {
        const int previewBlock = Row.PreviewLines > 0
                                     ? Row.PreviewLines * metrics_.PreviewLineHeight + 2 + (gridLines ? 1 : 0)
                                     : 0;
        int cellsBottom = Y + H - previewBlock - Row.FooterHeight - (Row.PreviewLines > 0 ? sep : 0);
        if (!Empty(L.Footer)) cellsBottom = std::min(cellsBottom, L.Footer.Top);
        const int w = fixedBandLineWidth_;
        if (leftFixed)
            FillRect(P.DC, TRect{L.LeftFixedArea.Right - w, Y, L.LeftFixedArea.Right, cellsBottom},
                     P.FixedBandLineBrush);
        if (rightFixed)
            FillRect(P.DC, TRect{L.RightFixedArea.Left, Y, L.RightFixedArea.Left + w, cellsBottom},
                     P.FixedBandLineBrush);
        const int focusedColumn = P.FocusedColumn;
        for (size_t h = 0; h < L.CellEntries.size(); ++h) {
            const TvxTreeListHeaderCellEntry& cell = L.CellEntries[h];
            const bool scrollable = cell.Band != leftFixedBand && cell.Band != rightFixedBand;
            if (ClipCells) {
                if (scrollable && !P.ClipInForce)
                    P.SetClipRect(TRect{scrollLeft, Y, scrollRight, Y + H});
                else if (!scrollable)
                    P.RestoreClip();
            }
            int covered = 0;
            if (cell.Band == 0) {
                if (cell.Rect.Right <= indentRight) continue;
                covered = std::max(0, indentRight - cell.Rect.Left);
            }
            TRect r{cell.Rect.Left + covered, Y + cell.Row * unit + (listShift ? 1 : 0), cell.Rect.Right, 0};
            r.Bottom = r.Top + cell.RowSpan * unit - (gridLines ? 1 : 0);
            if (headerRows == 1) r.Bottom = cellsBottom;
            const bool keepsRight = cell.LastInRow && ((leftFixed && cell.Band == leftFixedBand) ||
                                                       (rightFixed && cell.Band == rightFixedBand - 1));
            if (gridLines && !keepsRight) r.Right -= 1;

            if (RectVisible(P.DC, r)) {
                bool selected;
                if (!Row.Selected)
                    selected = false;
                else if (newItemActive && !multi)
                    selected = false;
                else if (rowSelect)
                    selected = true;
                else if (multi && !invert)
                    selected = true;
                else if (multi && invert && (newItemActive || !focusedNode))
                    selected = true;
                else
                    selected = invert ? cell.Column != focusedColumn : cell.Column == focusedColumn;
                if (selected && hideSelection_ && !P.ControlFocused) selected = false;
                const bool focused = P.ControlFocused && focusedNode &&
                                     (invert || rowSelect || cell.Column == focusedColumn);
                TColor color, textColor, columnColor;
                HBRUSH brush, columnBrush;
                GetCellColors(P, node, selected, false, children, level, static_cast<int>(h), color, textColor, brush);
                GetColumnBrush(P, static_cast<int>(h), columnColor, columnBrush);
                DrawCell(P.Canvas, r, workBitmap_.get(), node, cell.Column, selected, focused, color, textColor, brush,
                         cell.RowSpan > 1 || multiLineRow || cell.MultiLine, 0, !cell.FirstInRow, !cell.LastInRow,
                         columnColor, columnBrush);
                if (!newItemActive && !rowSelect && !invert && focusedNode && cell.Column == focusedColumn)
                    PaintFocusRect(P, r);
            }
            if (gridLines) {
                if (headerRows > 1) {
                    const int left = ClipCells && scrollable ? std::max(r.Left, scrollLeft) : r.Left;
                    const int rightEnd = ClipCells && scrollable ? std::min(r.Right, scrollRight - 1) : r.Right;
                    if (rightEnd >= left) P.AddLineSegment(left, r.Bottom, rightEnd, r.Bottom);
                }
                const bool inside = !ClipCells || !scrollable || (r.Right >= scrollLeft && r.Right < scrollRight);
                if (!keepsRight && inside) {
                    int bottom = r.Bottom;
                    // The last cell's edge, and an edge with a filler below, closes the row down to
                    // its last header row: beside it stands a taller cell or another filler.
                    if (cell.LastInRow || !IsRectEmpty(cell.Filler))
                        bottom = headerRows == 1 ? cellsBottom : Y + headerRows * unit - 1;
                    P.AddLineSegment(r.Right, r.Top, r.Right, bottom);
                }
            }
        }
        if (ClipCells) P.RestoreClip();

        // Header positions without a column.
        const bool fillerSelected = Row.Selected && (rowSelect || invert || multi) && (!newItemActive || multi);
        TColor fillColor, fillText;
        HBRUSH fillBrush;
        GetCellColors(P, node, fillerSelected, false, children, level, -1, fillColor, fillText, fillBrush);
        const int textBottom = Y + headerRows * unit - (gridLines ? 1 : 0);
        for (const TvxTreeListHeaderCellEntry& cell : L.CellEntries)
            if (!Empty(cell.Filler))
                FillRect(P.DC,
                         TRect{cell.Filler.Left, Y + (cell.Row + cell.RowSpan) * unit, cell.Filler.Right, textBottom},
                         fillBrush);
        for (const TvxTreeListEmptyBandEntry& band : L.EmptyBandEntries) {
            FillRect(P.DC, TRect{band.Rect.Left, Y, band.Rect.Right, textBottom}, fillBrush);
            if (gridLines && !band.CutOffRight)
                P.AddLineSegment(band.Rect.Right - 1, Y, band.Rect.Right - 1, textBottom);
        }

        if (Row.PreviewLines > 0) {
            const int top = Y + H - sep - Row.FooterHeight - previewBlock + (gridLines ? 1 : 0);
            TRect r{indentRight, top, bandsEnd, top + Row.PreviewLines * metrics_.PreviewLineHeight + 2};
            if (ClipCells) P.SetClipRect(TRect{scrollLeft, Y, scrollRight, Y + H});
            const bool selected = Row.Selected && (rowSelect || invert || multi) && (!newItemActive || multi);
            TColor color, textColor;
            HBRUSH brush;
            GetCellColors(P, node, selected, false, children, level, -1, color, textColor, brush);
            if (RectVisible(P.DC, r))
                DrawPreview(P.Canvas, r, Row.Selected, brush, textColor, color, node, workBitmap_.get());
            if (gridLines) P.AddLineSegment(r.Left, r.Top - 1, r.Right - 1, r.Top - 1);
            P.RestoreClip();
        }

        const int footersTop = Y + H - sep - Row.FooterHeight;
        const int lastBand = L.BandEntries.empty() ? -1 : L.BandEntries.back().Band;
        for (int k = 0; k < Row.FooterCount; ++k) {
            TRect f;
            GetRowFooterRect(node, k, f, L, 0, footersTop);
            if (gridLines) {
                P.AddLineSegment(f.Left, f.Top, f.Right - 1, f.Top);
                if (f.Right < L.Rows.Right) P.AddLineSegment(f.Right - 1, f.Top, f.Right - 1, f.Bottom - 1);
            }
            if (showGrid_) f.Top += 1;
            const int footerLevel = GetRowFooterLevel(node, k);
            TColor color = rowFooterColor_;
            HBRUSH brush = IsLevelColorAssigned() ? GetLevelBrush(P, footerLevel, color) : P.RowFooterBrush;
            if (!IsLevelColorAssigned()) color = rowFooterColor_;
            if (!RectVisible(P.DC, f)) continue;
            FillRect(P.DC, f, brush);
            const int indentEdge = x0 + ((footerLevel + 1) - rootShift) * step;
            for (const TvxTreeListHeaderCellEntry& cell : L.CellEntries) {
                if (!IsExistRowFooterCell(node, cell.Column, footerLevel)) continue;
                const int lh = metrics_.FooterLineHeight;
                TRect c{cell.Rect.Left + 1, f.Top + 1 + cell.Row * lh, cell.Rect.Right - 1,
                        f.Top + 1 + (cell.Row + cell.RowSpan) * lh - 1};
                c.Top += 1;
                if (cell.Band == 0 && cell.FirstInRow) c.Left += 1;
                if (cell.Band == lastBand && cell.LastInRow) c.Right -= 2;
                if (cell.Band == 0) c.Left = std::max(c.Left, indentEdge);
                if (Empty(c)) continue;
                DrawSunkenFrame(P.DC, c);
                c = TRect{c.Left + 1, c.Top + 1, c.Right - 1, c.Bottom - 1};
                SetBkColor(P.DC, ColorToRGB(color));
                SetTextColor(P.DC, ColorToRGB(rowFooterTextColor_));
                DrawFooterCell(P.Canvas, c, workBitmap_.get(), node, cell.Column, k, false, false, color, brush,
                               cell.RowSpan > 1, 1);
            }
        }

        if (!newItemActive && (rowSelect || invert) && focusedNode)
            PaintFocusRect(P, TRect{indentRight, Y + (listShift ? 1 : 0), bandsEnd, Y + H - sep - Row.FooterHeight});
    }

    // Level lines at the right edge of the level cells.
    const int lines = TreeStyle() ? (showGrid_ ? level + 1 : 0) : level;
    for (int i = rootShift; i < lines; ++i) {
        const int x = x0 + (i - rootShift) * step + step - 1;
        if (x < L.Rows.Left || x >= bandsEnd) continue;
        int bottom = Y + H - 1;
        for (int k = 0; k < Row.FooterCount; ++k)
            if (GetRowFooterLevel(node, k) < i) bottom -= metrics_.RowFooterHeight;
        P.AddLineSegment(x, Y, x, bottom);
    }

    // Row separator.
    if (showGrid_ || (!TreeStyle() && children)) {
        int start;
        const bool groupNoGrid = !TreeStyle() && children && !showGrid_;
        if (groupNoGrid) {
            start = level * step;
        } else {
            TvxTreeListNode* next = GetNextVisibleNode(node);
            if (!next)
                start = 0;
            else if (next->Level() < level)
                start = next->Level() * step;
            else if (children && node->Expanded())
                start = level * step + step - 1;
            else
                start = level * step;
        }
        start = std::min(std::max(0, start - rootShift * step), GetBandsTotalWidth());
        const int count = showGrid_ ? sep : 1;
        const int endX = bandsEnd - 1 + (showGrid_ ? 0 : 1);
        // A plain row's separator leaves the fixed-band strips whole.
        std::vector<std::pair<int, int>> gaps;
        if (!Row.Group && Row.PreviewLines == 0 && Row.FooterCount == 0) {
            const int w = fixedBandLineWidth_;
            if (leftFixed) gaps.emplace_back(L.LeftFixedArea.Right - w, L.LeftFixedArea.Right);
            if (rightFixed) gaps.emplace_back(L.RightFixedArea.Left, L.RightFixedArea.Left + w);
        }
        for (int k = 0; k < count; ++k) {
            const int y = groupNoGrid ? Y : Y + H - sep + k;
            int from = x0 + start;
            for (const auto& [gapLeft, gapRight] : gaps) {
                if (gapRight <= from || gapLeft > endX) continue;
                if (gapLeft > from) P.AddLineSegment(from, y, gapLeft - 1, y);
                from = gapRight;
            }
            if (from <= endX) P.AddLineSegment(from, y, endX, y);
        }
    }
    (void)Index;
}

void TCustomvxTreeList::PaintNewItemRow(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    if (Empty(L.NewItemRow) || !RectVisible(P.DC, L.NewItemRow)) return;
    const bool leftFixed = !Empty(L.LeftFixedArea);
    const int x0 = L.Rows.Left - (leftFixed ? 0 : leftCoord_);
    const int separator = L.NewItemRow.Height() - metrics_.RowHeightUnit;
    const bool gridLines = showGrid_ && showPreviewGrid_;
    if (separator > 0) {
        const TRect strip{std::max(x0, L.Rows.Left), L.NewItemRow.Bottom - separator,
                          std::min(x0 + GetBandsTotalWidth(), L.Rows.Right), L.NewItemRow.Bottom};
        TvxClipScope clip(P.DC, TRect{L.Rows.Left, strip.Top, L.Rows.Right, strip.Bottom});
        TRect r = TRect{x0, strip.Top, x0 + GetBandsTotalWidth(), strip.Bottom};
        DrawHeaderFrame(P.DC, r, P.HeaderBrush, EffectiveCellLook(), 0, false);
    }
    const int top = L.NewItemRow.Top;
    const int bottom = top + metrics_.RowHeightUnit - (gridLines ? 1 : 0);
    if (metrics_.IndicatorWidth > 0) {
        const TRect ind{L.Rows.Left - metrics_.IndicatorWidth, top, L.Rows.Left, top + metrics_.RowHeightUnit};
        DrawIndicatorCell(P.DC, ind, ind, lookAndFeel_, 3, workBitmap_.get(), P.HeaderBrush);
    }
    const bool active = IsNewItemRowActive();
    const bool rowSelect = IsRowSelect();
    const bool invert = IsInvertSelect();
    TvxClipScope clip(P.DC, TRect{L.Rows.Left, top, L.Rows.Right, L.NewItemRow.Bottom});
    for (size_t h = 0; h < L.CellEntries.size(); ++h) {
        const TvxTreeListHeaderCellEntry& cell = L.CellEntries[h];
        TRect r{cell.Rect.Left, top, cell.Rect.Right - (gridLines ? 1 : 0), bottom};
        bool selected = false;
        if (active) {
            selected = rowSelect || (IsMultiSelect() && !invert) ||
                       (invert ? cell.Column != P.FocusedColumn : cell.Column == P.FocusedColumn);
            if (hideSelection_ && !P.ControlFocused) selected = false;
        }
        TColor color, textColor, columnColor;
        HBRUSH brush, columnBrush;
        GetCellColors(P, focusedNode_, selected, false, false, 0, static_cast<int>(h), color, textColor, brush);
        GetColumnBrush(P, static_cast<int>(h), columnColor, columnBrush);
        if (RectVisible(P.DC, r))
            DrawCell(P.Canvas, r, workBitmap_.get(), focusedNode_, cell.Column, selected, false, color, textColor,
                     brush, cell.MultiLine, 2, !cell.FirstInRow, !cell.LastInRow, columnColor, columnBrush);
        if (selected && !rowSelect && !invert && cell.Column == P.FocusedColumn) PaintFocusRect(P, r);
        if (gridLines) {
            P.AddLineSegment(r.Left, r.Bottom, r.Right, r.Bottom);
            P.AddLineSegment(r.Right, r.Top, r.Right, r.Bottom);
        }
    }
    for (const TvxTreeListEmptyBandEntry& band : L.EmptyBandEntries)
        FillRect(P.DC, TRect{band.Rect.Left, top, band.Rect.Right, bottom}, P.BackgroundBrush);
    if (active && (rowSelect || invert)) PaintFocusRect(P, TRect{x0, top, L.DataRight + 1, bottom});
    if (showGrid_) P.AddLineSegment(L.DataRight, top, L.DataRight, bottom);
    P.DrawSegments(GetGridLineColor(Color()));
}
