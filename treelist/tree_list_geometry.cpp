// Area rectangles, the layout record (bands, header cells, rows) and the rectangles derived
// from it: cells, the editor and the parts of a node's tree column.

#include <algorithm>

#include "platform/rtl/math_utils.h"
#include "treelist/custom_tree_list.h"

namespace {

bool RangesIntersect(int a1, int a2, int b1, int b2) { return a1 < b2 && b1 < a2; }

TRect Cut(TRect r, int left, int right) {
    r.Left = std::max(r.Left, left);
    r.Right = std::min(r.Right, right);
    return r;
}

bool Empty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

}  // namespace

TvxTreeListRectInfo TCustomvxTreeList::GetRectInfo() {
    const TvxTreeListMetrics& m = metrics_;
    TvxTreeListRectInfo r;
    const TRect c = ClientRect();
    r.Client = c;
    if (m.GroupPanelHeight > 0) r.GroupPanel = TRect{c.Left, c.Top, c.Right, c.Top + m.GroupPanelHeight};
    const int bandTop = c.Top + m.GroupPanelHeight;
    r.BandPanel = TRect{c.Left + m.IndicatorWidth, bandTop, c.Right, bandTop + m.BandPanelHeight};
    if (m.IndicatorWidth > 0) r.BandCorner = TRect{c.Left, bandTop, r.BandPanel.Left, r.BandPanel.Bottom};
    const int headerTop = r.BandPanel.Bottom;
    r.HeaderPanel = TRect{c.Left + m.IndicatorWidth, headerTop, c.Right, headerTop + m.HeaderPanelHeight};
    if (m.IndicatorWidth > 0) r.HeaderCorner = TRect{c.Left, headerTop, r.HeaderPanel.Left, r.HeaderPanel.Bottom};
    const int newItemTop = r.HeaderPanel.Bottom;
    if (m.NewItemRowHeight > 0) r.NewItemRow = TRect{c.Left, newItemTop, c.Right, newItemTop + m.NewItemRowHeight};
    r.Rows = TRect{c.Left + m.IndicatorWidth, newItemTop + m.NewItemRowHeight, c.Right,
                   c.Bottom - m.SummaryFooterHeight - m.FilterStatusHeight};
    if (r.Rows.Bottom < r.Rows.Top) r.Rows.Bottom = r.Rows.Top;
    r.Indicator = TRect{c.Left, r.Rows.Top, r.Rows.Left, r.Rows.Bottom};
    r.Footer = TRect{c.Left, r.Rows.Bottom, c.Right, r.Rows.Bottom + m.SummaryFooterHeight};
    r.FilterStatus = TRect{c.Left, r.Footer.Bottom, c.Right, r.Footer.Bottom + m.FilterStatusHeight};
    return r;
}

void TCustomvxTreeList::FreeLayout(TvxTreeListLayout& Layout) {
    Layout.BandEntries = {};
    Layout.CellEntries = {};
    Layout.EmptyBandEntries = {};
    Layout.RowEntries = {};
}

void TCustomvxTreeList::CalcLayout(TvxTreeListLayout& L) {
    L = TvxTreeListLayout{};
    static_cast<TvxTreeListRectInfo&>(L) = GetRectInfo();
    const TvxTreeListMetrics& m = metrics_;
    const int count = GetBandCount();
    const int leftFixed = GetLeftFixedBand();
    const int rightFixed = GetRightFixedBand();
    const int groupIndent = GetGroupIndentWidth();
    const int separator = m.NewItemRowHeight > 0 ? (m.Flat ? 5 : 6) : 0;
    const int totalWidth = GetBandsTotalWidth();
    L.BandEntries.reserve(static_cast<size_t>(std::max(count, 0)));

    int rangeLeft = L.BandPanel.Left;
    int rangeRight = L.BandPanel.Right;
    const int firstScrolled = leftFixed >= 0 ? 1 : 0;
    const int lastScrolled = count - 1 - (rightFixed >= 0 ? 1 : 0);

    if (count > 0 && leftFixed >= 0) {
        const int w = GetBandWidth(0) + groupIndent;
        rangeLeft += w;
        L.LeftFixedArea = TRect{L.BandPanel.Left, L.BandPanel.Top, L.BandPanel.Left + w, L.Rows.Top - separator};
        TvxTreeListBandEntry e;
        e.Band = 0;
        e.Rect = TRect{L.BandPanel.Left, L.BandPanel.Top, L.LeftFixedArea.Right - fixedBandLineWidth_,
                       L.BandPanel.Bottom};
        e.Visible = e.Rect;
        L.LeftFixedEntry = 0;
        L.BandEntries.push_back(e);
    }
    if (count == 0) {
        // Nothing to show (every column hidden, say): the grid below the group panel paints
        // as an empty grid, its panels keep answering point tests and drops.
        L.BandsFiller = TRect{L.BandPanel.Left, L.BandPanel.Top, L.Client.Right, L.Rows.Bottom};
        if (!Empty(L.NewItemRow)) L.NewItemRow.Right = L.BandsFiller.Left;
    } else if (L.BandPanel.Width() > totalWidth) {
        L.BandPanel.Right = L.BandPanel.Left + totalWidth;
        L.HeaderPanel.Right = L.BandPanel.Left + totalWidth;
        L.BandsFiller = TRect{L.BandPanel.Right, L.BandPanel.Top, L.Client.Right, L.Rows.Bottom};
        if (!Empty(L.NewItemRow)) L.NewItemRow.Right = L.BandsFiller.Left;
    }
    if (count > 0 && rightFixed >= 0) {
        const int w = GetBandWidth(rightFixed);
        L.RightFixedArea = TRect{L.BandPanel.Right - w, L.BandPanel.Top, L.BandPanel.Right, L.Rows.Top - separator};
        const int least = std::max(L.LeftFixedArea.Right, L.Rows.Left);
        if (L.RightFixedArea.Left < least) {
            L.RightFixedArea.Right += least - L.RightFixedArea.Left;
            L.RightFixedArea.Left = least;
        }
        rangeRight = L.RightFixedArea.Left;
    }
    int x = -leftCoord_;
    for (int b = firstScrolled; b <= lastScrolled; ++b) {
        const int w = GetBandWidth(b) + (b == 0 ? groupIndent : 0);
        if (RangesIntersect(x, x + w, 0, rangeRight - rangeLeft)) {
            TvxTreeListBandEntry e;
            e.Band = b;
            e.Rect = TRect{rangeLeft + x, L.BandPanel.Top, rangeLeft + x + w, L.BandPanel.Bottom};
            e.Visible = Cut(e.Rect, rangeLeft, rangeRight);
            L.BandEntries.push_back(e);
        }
        x += w;
        if (rightFixed >= 0) L.LastScrolledBand = b;
        if (rangeLeft + x > rangeRight) break;
    }
    if (count > 0 && rightFixed >= 0) {
        TvxTreeListBandEntry e;
        e.Band = rightFixed;
        e.Rect = TRect{L.RightFixedArea.Left + fixedBandLineWidth_, L.BandPanel.Top, L.RightFixedArea.Right,
                       L.BandPanel.Bottom};
        e.Visible = TRect{e.Rect.Left, L.BandPanel.Top, L.BandPanel.Right, L.BandPanel.Bottom};
        L.RightFixedEntry = static_cast<int>(L.BandEntries.size());
        L.BandEntries.push_back(e);
    }

    L.DataRight = totalWidth + L.Rows.Left - 1 - (leftFixed < 0 ? leftCoord_ : 0);
    if (rightFixed >= 0) L.DataRight = std::min(L.DataRight, L.Rows.Right - 1);
    L.TreeColumnWidth = count > 0 ? GetBandWidth(0) + groupIndent : 0;
    if (leftFixed >= 0)
        L.TreeColumnWidth = std::min(L.TreeColumnWidth, L.LeftFixedArea.Right - fixedBandLineWidth_ - L.Rows.Left);
    if (rightFixed >= 0)
        L.TreeColumnWidth = std::min(L.TreeColumnWidth,
                                     L.RightFixedArea.Left - L.Rows.Left + (leftFixed < 0 ? leftCoord_ : 0));
    L.RowSeparatorWidth = showGrid_ ? rowSeparatorLineWidth_ : 0;

    // Header cells.
    const int headerRows = GetHeaderPanelRowCount();
    const int lineHeight = m.HeaderLineHeight;
    for (const TvxTreeListBandEntry& band : L.BandEntries) {
        const int b = band.Band;
        const int rows = GetBandRowCountOf(b);
        if (rows == 0) {
            TvxTreeListEmptyBandEntry e;
            e.Band = b;
            e.Rect = TRect{band.Rect.Left, band.Rect.Bottom, band.Rect.Right,
                           band.Rect.Bottom + lineHeight * headerRows};
            if (!RangesIntersect(e.Rect.Left, e.Rect.Right, band.Visible.Left, band.Visible.Right)) continue;
            e.CutOffRight = band.Rect.Right > band.Visible.Right;
            e.Rect = Cut(e.Rect, band.Visible.Left, band.Visible.Right);
            L.EmptyBandEntries.push_back(e);
            continue;
        }
        for (int r = 0; r < rows; ++r) {
            const int n = GetRowColumnCount(b, r);
            const std::vector<int> widths = DistributeRow(b, r, band.Rect.Width());
            int xs = 0;
            for (int c = 0; c < n; ++c) {
                const int col = GetColumnAt(b, r, c);
                const int w = widths[static_cast<size_t>(c)];
                TvxTreeListHeaderCellEntry e;
                e.Column = col;
                e.Band = b;
                e.Row = r;
                e.Position = c;
                e.RowSpan = GetColumnHeaderRowSpan(col);
                e.Rect = TRect{band.Rect.Left + xs, band.Rect.Bottom + lineHeight * r, band.Rect.Left + xs + w,
                               band.Rect.Bottom + lineHeight * (r + e.RowSpan)};
                xs += w;
                if (!RangesIntersect(e.Rect.Left, e.Rect.Right, band.Visible.Left, band.Visible.Right)) continue;
                e.Visible = Cut(e.Rect, band.Visible.Left, band.Visible.Right);
                if (r == rows - 1 && r + e.RowSpan < headerRows)
                    e.Filler = TRect{e.Visible.Left, e.Rect.Bottom, e.Visible.Right,
                                     band.Rect.Bottom + lineHeight * headerRows};
                e.FirstInRow = c == 0;
                e.LastInRow = c == n - 1;
                e.FirstOfBand0 = b == 0 && c == 0;
                e.LastOfLastScrolledBand = b == L.LastScrolledBand && c == n - 1;
                e.MultiLine = IsColumnMultiLine(col);
                L.CellEntries.push_back(e);
            }
        }
    }

    // Rows.
    const int unit = std::max(1, m.RowHeightUnit);
    L.RowEntries.reserve(static_cast<size_t>(L.Rows.Height() / unit + 1));
    int top = L.Rows.Top;
    for (TvxTreeListNode* node = topNode_; node && top < L.Rows.Bottom; node = GetNextVisibleNode(node)) {
        TvxTreeListRowEntry e;
        e.Node = node;
        e.Top = top;
        e.Group = IsGroupNode(node);
        e.Selected = node->Selected();
        e.Height = GetRowHeight(node, m.RowHeightUnit, false);
        e.FooterCount = GetRowFooterCount(node);
        e.FooterHeight = e.FooterCount * m.RowFooterHeight;
        e.IndicatorKind = GetIndicatorKind(node, e.Selected);
        e.PreviewLines = IsShowPreview() ? GetPreviewLineCount(node) : 0;
        e.RowFooterValue = IsShowRowFooter() ? GetRowFooterValue(node) : -1;
        L.RowEntries.push_back(e);
        top += std::max(1, e.Height);
    }
    if (top < L.Rows.Bottom) {
        L.RowsEnd = top - 1;
        L.BelowRowsFiller = TRect{L.Client.Left, top, L.DataRight + 1, L.Rows.Bottom};
        L.Indicator.Bottom = top;
    }

    // Areas without height never answer a point test.
    for (TRect* r : {&L.BandPanel, &L.BandCorner, &L.HeaderPanel, &L.HeaderCorner})
        if (r->Top == r->Bottom) *r = TRect{};
}

int TCustomvxTreeList::GetAbsoluteColumnIndex(int VisibleIndex) {
    if (VisibleIndex < 0) return -1;
    const int bands = GetBandCount();
    const int columns = GetColumnCount();
    // Without bands the visible columns count in list order.
    if (bands == 0) {
        for (int i = 0; i < columns; ++i)
            if (IsColumnVisible(i) && VisibleIndex-- == 0) return i;
        return -1;
    }
    int n = 0;
    for (int r = 0; r < columns; ++r) {
        bool any = false;
        for (int b = 0; b < bands; ++b) {
            const int inRow = GetRowColumnCount(b, r);
            any = any || r < GetBandRowCountOf(b);
            for (int c = 0; c < inRow; ++c)
                if (n++ == VisibleIndex) return GetColumnAt(b, r, c);
        }
        if (!any) break;
    }
    return -1;
}

int TCustomvxTreeList::GetVisibleColumnIndex(int AbsoluteIndex) {
    for (int v = 0, n = GetVisibleColumnCount(); v < n; ++v)
        if (GetAbsoluteColumnIndex(v) == AbsoluteIndex) return v;
    return 0;
}

int TCustomvxTreeList::GetNodeTreePartWidth(TvxTreeListNode* Node) {
    if (!Node) return 0;
    const bool children = Node->HasChildren() || Node->Count() > 0;
    int cells = Node->Level() + (children || TreeStyle() ? 1 : 0) - (HasRootIndent() ? 0 : 1);
    int width = std::max(0, cells) * metrics_.Indent;
    if (GetNodeStateIndex(Node) != -1) width += metrics_.StateImageWidth;
    if (GetNodeImageIndex(Node) != -1 || GetNodeSelectedIndex(Node) != -1) width += metrics_.ImageWidth;
    return width;
}

TRect TCustomvxTreeList::GetNodeRowRect(TvxTreeListNode* Node) {
    if (!Node) return TRect{};
    // The rows shown run from the top row on, each at least a pixel high: a node outside
    // them has no rectangle, which the visible-node list tells without laying out the page.
    // (Every selection change asks this of its row, a range of many thousands included.)
    if (IsNodeCacheValid()) {
        const int index = visibleNodes_.IndexOf(Node);
        const int top = topNode_ ? visibleNodes_.IndexOf(topNode_) : -1;
        if (!topNode_ || (index < 0 && Node != topNode_)) return TRect{};
        if (index >= 0 && top >= 0 && (index < top || index - top >= std::max(0, ClientHeight()))) return TRect{};
    }
    TvxTreeListLayout layout;
    CalcLayout(layout);
    const int row = layout.FindRow(Node);
    if (row < 0) return TRect{};
    const TvxTreeListRowEntry& e = layout.RowEntries[static_cast<size_t>(row)];
    return TRect{layout.Client.Left, e.Top, layout.Client.Right, e.Top + e.Height};
}

TRect TCustomvxTreeList::GetCellRect(TvxTreeListNode* Node, int VisibleColumn) {
    const TRect none{-1, -1, -1, -1};
    TvxTreeListLayout layout;
    CalcLayout(layout);
    const TvxTreeListHeaderCellEntry* cell = layout.FindCell(GetAbsoluteColumnIndex(VisibleColumn));
    const int row = layout.FindRow(Node);
    if (!cell || row < 0) return none;
    const TvxTreeListRowEntry& e = layout.RowEntries[static_cast<size_t>(row)];
    int tree = cell->Band == 0 ? GetNodeTreePartWidth(Node) : 0;
    const bool noLeftFixed = layout.LeftFixedArea.Right == layout.LeftFixedArea.Left;
    const int distance = cell->Rect.Left + (noLeftFixed ? leftCoord_ : 0) - layout.Rows.Left;
    tree = std::max(0, tree - distance);
    const bool gridLines = showGrid_ && showPreviewGrid_;
    const int shift = !showGrid_ && (Node->HasChildren() || Node->Count() > 0) && !TreeStyle() ? 1 : 0;
    const int unit = metrics_.RowHeightUnit;
    TRect r;
    r.Left = cell->Rect.Left + tree;
    r.Top = e.Top + unit * cell->Row + shift;
    r.Right = cell->Rect.Right;
    r.Bottom = e.Top + unit * (cell->Row + cell->RowSpan) + shift - (gridLines ? 1 : 0);
    if (IsShowRowFooter()) r.Bottom = r.Top + e.Height - layout.RowSeparatorWidth - e.FooterHeight;
    return r;
}

TRect TCustomvxTreeList::GetEditorRect(TvxTreeListNode* Node, int VisibleColumn) {
    TRect r = GetCellRect(Node, VisibleColumn);
    const int column = GetAbsoluteColumnIndex(VisibleColumn);
    if (column < 0) return r;
    const int band = GetVisibleBandIndex(GetColumnBand(column));
    const int row = GetColumnRow(column);
    const int position = GetColumnPosition(column);
    const int last = GetRowColumnCount(band, row) - 1;
    const int bands = GetBandCount();
    const bool gridLines = showGrid_ && showPreviewGrid_;
    const bool invert = IsInvertSelect();
    if (!gridLines) {
        if (band == bands - 1 && position == last && (!invert || showGrid_)) r.Right -= 1;
    } else if (position != last) {
        r.Right -= 1;
    } else if (band != GetLeftFixedBand()) {
        const int rightFixed = GetRightFixedBand();
        if (rightFixed < 0 || band != rightFixed - 1) r.Right -= 1;
    }
    const bool firstOfBand0 = band == 0 && position == 0;
    TRect rows;
    GetRowsAreaRect(rows);
    const int tree = GetNodeTreePartWidth(Node);
    if (firstOfBand0) r.Left = std::max(r.Left, rows.Left + tree);
    if (IsNewItemRowActive()) {
        if (firstOfBand0) r.Left -= tree;
        const TRect newItem = GetRectInfo().NewItemRow;
        r.Top = newItem.Top;
        r.Bottom = r.Top + metrics_.RowHeightUnit - (gridLines ? 1 : 0);
    }
    if (invert) {
        r.Top += 1;
        r.Bottom -= 1;
        if (firstOfBand0) r.Left += 1;
        if (band == bands - 1 && position == last) r.Right -= 1;
    }
    return r;
}

TvxTreeListNodeParts TCustomvxTreeList::GetNodeParts(const TvxTreeListLayout& Layout, TvxTreeListNode* Node, int Top,
                                                     int Bottom) {
    TvxTreeListNodeParts p;
    if (!Node) return p;
    const int indent = metrics_.Indent;
    const int level = Node->Level();
    const int origin = Layout.Rows.Left;
    const bool children = Node->HasChildren() || Node->Count() > 0;
    // In list mode a leaf has no button slot before its images.
    const int slotShift = !TreeStyle() && !children ? indent : 0;
    auto span = [&](int l, int r) { return TRect{origin + l, Top, origin + r, Bottom}; };
    if (children && showExpandButtons_) p.Button = span(level * indent, (level + 1) * indent);
    const bool hasState = GetNodeStateIndex(Node) != -1;
    if (hasState) {
        const int l = (level + 1) * indent - slotShift;
        p.StateImage = span(l, l + metrics_.StateImageWidth);
    }
    if (GetNodeSelectedIndex(Node) != -1 || GetNodeImageIndex(Node) != -1) {
        if (!hasState) {
            const int l = (level + 1) * indent - slotShift;
            p.Image = span(l, l + metrics_.ImageWidth - 1);
        } else {
            // The image follows the state image, whatever the two widths are.
            const int l = p.StateImage.Left - origin + metrics_.StateImageWidth;
            p.Image = span(l, l + metrics_.ImageWidth);
        }
    }
    int first = 0;
    for (const TRect* r : {&p.Button, &p.StateImage, &p.Image})
        if (r->Right > r->Left) {
            first = r->Left - origin;
            break;
        }
    if (first > 0) p.Indent = span(0, first);

    const int shift = GetLeftFixedBand() == 0 ? 0 : leftCoord_;
    const int limit = origin + Layout.TreeColumnWidth - (GetLeftFixedBand() == 0 ? 0 : leftCoord_);
    for (TRect* r : {&p.Button, &p.StateImage, &p.Image, &p.Indent}) {
        if (r->Right <= r->Left) continue;
        r->Left -= shift;
        r->Right -= shift;
        if (r->Left >= limit)
            *r = TRect{};
        else if (r->Right > limit)
            r->Right = limit;
    }
    return p;
}
