// What lies under a client point: the areas are tested from the top of the control down,
// the first that decides answers. Sizing edges reach 4 pixels to either side.

#include "treelist/custom_tree_list.h"

namespace {

constexpr int kEdge = 4;

bool Empty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

bool Contains(const TRect& r, TPoint p) {
    return !Empty(r) && p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool InColumns(const TRect& r, int x) { return x >= r.Left && x < r.Right; }

// The panel and its indicator corner, 4 pixels taller; the point within 4 pixels of its
// bottom edge on either side.
bool OnPanelEdge(TRect panel, const TRect& corner, TPoint p) {
    if (!Empty(corner)) panel.Left = corner.Left;
    panel.Bottom += kEdge;
    return Contains(panel, p) && p.Y >= panel.Bottom - 2 * kEdge;
}

}  // namespace

bool TCustomvxTreeList::IsBandSizable(int Band) {
    return Has(TvxTLOptionEx::BandSizing) && CanSizeBand(Band) && (showBands_ || !IsHeaderSizesBands());
}

TvxTreeListHitInfo TCustomvxTreeList::GetHitInfo(TPoint P) {
    TvxTreeListLayout L;
    CalcLayout(L);
    TvxTreeListHitInfo h;
    h.X = P.X;
    h.Y = P.Y;
    const TRect& c = L.Client;
    if (P.X < c.Left || P.X >= c.Right || P.Y < c.Top || P.Y >= c.Bottom) return h;
    h.Kind = hkNone;
    const int x = P.X;
    const bool leftFixed = L.LeftFixedArea.Right > L.LeftFixedArea.Left;
    const bool rightFixed = L.RightFixedArea.Right > L.RightFixedArea.Left;
    const bool headerSizesBands = IsHeaderSizesBands();
    // The last column of a band's last header row: the one its outer edge sizes.
    auto lastColumnOf = [&](int band) {
        const int rows = GetBandRowCountOf(band);
        if (rows <= 0) return -1;
        const int n = GetRowColumnCount(band, rows - 1);
        return n > 0 ? GetColumnAt(band, rows - 1, n - 1) : -1;
    };
    auto edgeOfLastColumn = [&](int band) {
        const int column = lastColumnOf(band);
        if (column >= 0) {
            h.Column = column;
            if (IsColumnSizing(column)) h.Kind = hkHeaderEdge;
        }
    };

    if (Contains(L.GroupPanel, P)) {
        h.Kind = hkGroupPanel;
        return h;
    }
    if (!Empty(L.BandPanel) && IsBandPanelSizing() && OnPanelEdge(L.BandPanel, L.BandCorner, P)) {
        h.Kind = hkBandPanelEdge;
        return h;
    }
    if (Contains(L.BandCorner, P)) {
        h.Kind = hkBandCorner;
        return h;
    }
    if (Contains(L.BandPanel, P)) {
        h.Kind = hkBandCell;
        const int limitLeft = leftFixed ? L.LeftFixedArea.Right : L.BandPanel.Left;
        const int limitRight = rightFixed ? L.RightFixedArea.Left : L.BandPanel.Right;
        for (size_t i = 0; i < L.BandEntries.size(); ++i) {
            const TvxTreeListBandEntry& e = L.BandEntries[i];
            if (Contains(e.Rect, P) && Contains(e.Visible, P)) {
                h.Band = e.Band;
                if (IsBandSizable(e.Band) &&
                    ((e.Rect.Left <= limitLeft && e.Rect.Right > limitRight && x >= limitRight - kEdge) ||
                     x >= e.Rect.Right - kEdge)) {
                    h.Kind = hkBandEdge;
                } else if (i > 0 && x < L.BandEntries[i - 1].Rect.Right + kEdge &&
                           IsBandSizable(L.BandEntries[i - 1].Band)) {
                    h.Band = L.BandEntries[i - 1].Band;
                    h.Kind = hkBandEdge;
                }
                break;
            }
            if (x >= e.Rect.Right && x < e.Rect.Right + kEdge && IsBandSizable(e.Band)) {
                h.Band = e.Band;
                h.Kind = hkBandEdge;
                break;
            }
        }
        return h;
    }
    if (!Empty(L.BandPanel) && !L.BandEntries.empty() && IsBandSizable(L.BandEntries.back().Band) &&
        Contains(TRect{L.BandPanel.Right, L.BandPanel.Top, L.BandPanel.Right + kEdge, L.BandPanel.Bottom}, P)) {
        h.Band = L.BandEntries.back().Band;
        h.Kind = hkBandEdge;
        return h;
    }
    if (!Empty(L.HeaderPanel) && IsHeaderPanelSizing() && OnPanelEdge(L.HeaderPanel, L.HeaderCorner, P)) {
        h.Kind = hkHeaderPanelEdge;
        return h;
    }
    if (Contains(L.HeaderCorner, P)) {
        h.Kind = hkHeaderCorner;
        return h;
    }
    if (Contains(L.HeaderPanel, P)) {
        h.Kind = hkNone;
        const int limitLeft = leftFixed ? L.LeftFixedArea.Right : L.HeaderPanel.Left;
        const int limitRight = rightFixed ? L.RightFixedArea.Left : L.HeaderPanel.Right;
        for (size_t i = 0; i < L.CellEntries.size(); ++i) {
            const TvxTreeListHeaderCellEntry& e = L.CellEntries[i];
            if (!Contains(e.Rect, P) || !Contains(e.Visible, P)) continue;
            h.Kind = hkHeaderCell;
            h.Band = e.Band;
            h.Column = e.Column;
            const bool nearRight = x >= e.Rect.Right - kEdge ||
                                   (e.Rect.Left <= limitLeft && e.Rect.Right > limitRight && x >= limitRight - kEdge);
            if (!nearRight) {
                if (e.FirstInRow && e.Band > 0 && x < e.Rect.Left + kEdge) {
                    // The left edge of a band's first cell sizes the band before it.
                    h.Band = e.Band - 1;
                    if (!headerSizesBands) {
                        if (IsBandSizable(h.Band)) {
                            h.Column = -1;
                            h.Kind = hkBandEdge;
                        }
                    } else {
                        edgeOfLastColumn(h.Band);
                    }
                } else if (i > 0) {
                    const TvxTreeListHeaderCellEntry& prev = L.CellEntries[i - 1];
                    if (prev.Band == e.Band && prev.Row == e.Row && x < prev.Rect.Right + kEdge &&
                        IsColumnSizing(prev.Column)) {
                        h.Column = prev.Column;
                        h.Kind = hkHeaderEdge;
                    }
                }
            } else if (IsColumnSizing(e.Column) && (!e.LastInRow || headerSizesBands)) {
                h.Kind = hkHeaderEdge;
            } else if (e.LastInRow && IsBandSizable(e.Band)) {
                h.Kind = hkBandEdge;
            }
            break;
        }
        return h;
    }
    if (!Empty(L.HeaderPanel) && !L.BandEntries.empty() &&
        Contains(TRect{L.HeaderPanel.Right, L.HeaderPanel.Top, L.HeaderPanel.Right + kEdge, L.HeaderPanel.Bottom}, P)) {
        h.Band = L.BandEntries.back().Band;
        if (!headerSizesBands) {
            if (IsBandSizable(h.Band)) h.Kind = hkBandEdge;
        } else {
            edgeOfLastColumn(h.Band);
        }
        return h;
    }
    if (Contains(L.NewItemRow, P)) {
        h.Kind = hkNewItemRow;
        for (const auto& e : L.CellEntries)
            if (InColumns(e.Rect, x) && InColumns(e.Visible, x)) {
                h.Band = e.Band;
                h.Column = e.Column;
                break;
            }
        return h;
    }

    const bool rowSizing = IsRowSizing();
    TRect indicator = L.Indicator;
    if (!showIndicator_) indicator.Right = L.Rows.Right;
    if (!Empty(indicator)) {
        const TRect below{indicator.Left, indicator.Bottom, indicator.Right, indicator.Bottom + kEdge};
        if (!Contains(indicator, P) && Contains(below, P) && !L.RowEntries.empty() && rowSizing) {
            h.Row = static_cast<int>(L.RowEntries.size()) - 1;
            h.Node = L.RowEntries.back().Node;
            h.Kind = hkRowEdge;
            return h;
        }
        if (Contains(indicator, P)) {
            h.Kind = hkIndicator;
            for (size_t i = 0; i < L.RowEntries.size(); ++i) {
                const TvxTreeListRowEntry& e = L.RowEntries[i];
                if (P.Y < e.Top || P.Y >= e.Top + e.Height) continue;
                h.Row = static_cast<int>(i);
                h.Node = e.Node;
                if (rowSizing) {
                    if (i > 0 && P.Y < e.Top + kEdge) {
                        h.Row = static_cast<int>(i) - 1;
                        h.Node = L.RowEntries[i - 1].Node;
                        h.Kind = hkRowEdge;
                    } else if (P.Y >= e.Top + e.Height - kEdge) {
                        h.Kind = hkRowEdge;
                    }
                }
                break;
            }
            if (showIndicator_ || h.Kind == hkRowEdge) return h;
            // Without an indicator the rows below decide.
            h.Kind = hkNone;
            h.Row = -1;
            h.Node = nullptr;
        }
    }
    if (Contains(L.FilterStatus, P)) {
        h.Kind = hkFilterStatus;
        return h;
    }
    if (Contains(L.Footer, P)) {
        h.Kind = hkFooter;
        const int lineHeight = metrics_.FooterLineHeight;
        for (const auto& e : L.CellEntries) {
            const int top = L.Footer.Top + lineHeight * e.Row;
            if (InColumns(e.Rect, x) && P.Y >= top && P.Y < top + e.RowSpan * lineHeight + 3) {
                h.Band = e.Band;
                h.Column = e.Column;
                break;
            }
        }
        return h;
    }

    for (size_t i = 0; i < L.RowEntries.size(); ++i) {
        const TvxTreeListRowEntry& e = L.RowEntries[i];
        if (P.Y < e.Top || P.Y >= e.Top + e.Height) continue;
        h.Row = static_cast<int>(i);
        h.Node = e.Node;
        h.Kind = x <= L.DataRight ? hkCell : hkRowEnd;
        if (!e.Node) break;
        const int bottom = e.Top + e.Height - L.RowSeparatorWidth;
        int footerTop = -1;
        for (int k = 0; k < e.FooterCount; ++k) {
            const int top = bottom - (e.FooterCount - k) * metrics_.RowFooterHeight;
            if (Contains(TRect{L.Rows.Left, top, L.DataRight + 1, top + metrics_.RowFooterHeight}, P)) {
                h.Kind = hkRowFooter;
                h.RowFooter = k;
                footerTop = top;
                break;
            }
        }
        const int treeRight = L.Rows.Left + std::min(GetNodeTreePartWidth(e.Node), L.TreeColumnWidth) -
                              (leftFixed ? 0 : leftCoord_);
        if (h.Kind != hkRowFooter && x < treeRight) {
            const TvxTreeListNodeParts parts = GetNodeParts(L, e.Node, e.Top, e.Top + e.Height);
            if (Contains(parts.Indent, P))
                h.Kind = hkIndent;
            else if (Contains(parts.Button, P))
                h.Kind = hkButton;
            else if (Contains(parts.StateImage, P))
                h.Kind = hkStateImage;
            else if (Contains(parts.Image, P))
                h.Kind = hkImage;
            else
                h.Kind = hkNone;
        }
        if (h.Kind == hkCell && e.PreviewLines > 0) {
            const int previewBottom = bottom - e.FooterHeight;
            const int previewTop = previewBottom - e.PreviewLines * metrics_.PreviewLineHeight - 2;
            if (P.Y >= previewTop && P.Y <= previewBottom) h.Kind = hkPreview;
        }
        if (h.Kind == hkCell || h.Kind == hkRowFooter) {
            for (const auto& cell : L.CellEntries) {
                if (!InColumns(cell.Rect, x) || !InColumns(cell.Visible, x)) continue;
                int top, height;
                if (h.Kind == hkCell) {
                    top = e.Top + metrics_.RowHeightUnit * cell.Row;
                    height = metrics_.RowHeightUnit * cell.RowSpan;
                } else {
                    top = footerTop + 1 + metrics_.FooterLineHeight * cell.Row;
                    height = metrics_.FooterLineHeight * cell.RowSpan;
                }
                if (P.Y < top || P.Y >= top + height) continue;
                h.Band = cell.Band;
                h.Column = cell.Column;
                break;
            }
        }
        break;
    }
    return h;
}
