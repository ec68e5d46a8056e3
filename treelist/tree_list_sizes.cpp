// Widths of bands and columns (with the proportional sharing of AutoWidth), the widths the
// mouse sets, the limits of every sizing line, row heights and row footers.

#include <algorithm>
#include <numeric>

#include "platform/rtl/math_utils.h"
#include "treelist/custom_tree_list.h"

// ---- Band widths ----

int TCustomvxTreeList::GetBandMinWidth(int Band) {
    int width = CanSizeBand(Band) ? GetBandMinWidthValue(Band) : GetBandOwnWidth(Band);
    for (int r = 0, rows = GetBandRowCountOf(Band); r < rows; ++r) {
        int sum = 0;
        for (int c = 0, n = GetRowColumnCount(Band, r); c < n; ++c) sum += GetColumnMinWidth(GetColumnAt(Band, r, c));
        width = std::max(width, sum);
    }
    return width;
}

int TCustomvxTreeList::GetBandNaturalWidth(int Band) {
    int width = 0;
    if (IsBandHeaderWidth())
        for (int r = 0, rows = GetBandRowCountOf(Band); r < rows; ++r) {
            int sum = 0;
            for (int c = 0, n = GetRowColumnCount(Band, r); c < n; ++c) sum += GetColumnWidth(GetColumnAt(Band, r, c));
            width = std::max(width, sum);
        }
    if (width == 0) width = GetBandOwnWidth(Band);
    return std::max(width, GetBandMinWidth(Band));
}

int TCustomvxTreeList::GetBandsTotalWidth() {
    const int count = GetBandCount();
    if (count == 0) return 0;
    const int groupIndent = GetGroupIndentWidth();
    if (!IsAutoWidth()) {
        int sum = groupIndent;
        for (int b = 0; b < count; ++b) sum += GetBandWidth(b);
        return sum;
    }
    int minSum = groupIndent;
    bool anySizable = false;
    for (int b = 0; b < count; ++b) {
        minSum += GetBandMinWidth(b);
        anySizable = anySizable || CanSizeBand(b);
    }
    const int client = ClientRect().Width() - metrics_.IndicatorWidth;
    return client < minSum || !anySizable ? minSum : client;
}

int TCustomvxTreeList::GetBandWidth(int Band) {
    if (!IsAutoWidth()) return GetBandNaturalWidth(Band);
    const int count = GetBandCount();
    if (Band < 0 || Band >= count) return 0;
    const int share = GetBandsTotalWidth() - GetGroupIndentWidth();
    if (Band == count - 1) {
        int others = 0;
        for (int b = 0; b < count - 1; ++b) others += GetBandWidth(b);
        return share - others;
    }
    const int natural = GetBandNaturalWidth(Band);
    if (!CanSizeBand(Band)) return natural;
    int naturalSum = 0, minSum = 0, fitSum = 0;
    for (int b = 0; b < count; ++b) naturalSum += GetBandNaturalWidth(b);
    const int least = GetBandMinWidth(Band);
    // Nothing to take a share of: the band keeps its least width.
    if (naturalSum <= 0) return least;
    for (int b = 0; b < count; ++b) {
        const int n = GetBandNaturalWidth(b);
        minSum += GetBandMinWidth(b);
        if (CanSizeBand(b) && MulDiv(share, n, naturalSum) > GetBandMinWidth(b)) fitSum += n;
    }
    const int scaled = MulDiv(share, natural, naturalSum);
    if (fitSum == naturalSum) return scaled;
    if (scaled <= least || fitSum <= 0) return least;
    return least + MulDiv(share - minSum, natural, fitSum);
}

int TCustomvxTreeList::GetScrollableWidth() {
    int width = GetBandsTotalWidth();
    if (GetLeftFixedBand() >= 0) width -= GetBandWidth(GetLeftFixedBand()) + GetGroupIndentWidth();
    if (GetRightFixedBand() >= 0) width -= GetBandWidth(GetRightFixedBand());
    return width;
}

int TCustomvxTreeList::GetBandOffset(int Band) {
    const int count = GetBandCount();
    const int leftFixed = GetLeftFixedBand();
    const int first = leftFixed >= 0 ? 1 : 0;
    if (count < 2 || Band < 0 || Band >= count || Band == GetRightFixedBand() || Band <= first) return 0;
    int offset = 0;
    for (int b = first; b < Band; ++b) offset += GetBandWidth(b) + (b == 0 ? GetGroupIndentWidth() : 0);
    return offset;
}

TRect TCustomvxTreeList::GetScrollAreaRect() {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    const TvxTreeListRectInfo areas = GetRectInfo();
    TRect r{layout.Rows.Left, areas.BandPanel.Top, layout.Rows.Right, layout.Footer.Bottom};
    if (GetLeftFixedBand() >= 0) r.Left = layout.LeftFixedArea.Right;
    if (GetRightFixedBand() >= 0) r.Right = layout.RightFixedArea.Left;
    r.Right = std::max(r.Left, r.Right);
    return r;
}

int TCustomvxTreeList::GetScrollAreaWidth() { return GetScrollAreaRect().Width(); }

int TCustomvxTreeList::GetVisibleDataWidth() { return GetScrollAreaWidth(); }

// ---- Column widths ----

std::vector<int> TCustomvxTreeList::DistributeRow(int Band, int Row, int Width) {
    const int n = GetRowColumnCount(Band, Row);
    const int groupIndent = Band == 0 ? GetGroupIndentWidth() : 0;
    std::vector<int> widths(static_cast<size_t>(std::max(n, 0)), 0);
    int avail = Width - groupIndent;
    int total = 0, minSum = 0;
    for (int c = 0; c < n; ++c) {
        const int col = GetColumnAt(Band, Row, c);
        total += GetColumnWidth(col);
        minSum += GetColumnMinWidth(col);
    }
    int fitSum = 0;
    bool tight = false;
    if (total > 0)
        for (int c = 0; c < n; ++c) {
            const int col = GetColumnAt(Band, Row, c);
            if (!IsColumnProportional(col)) continue;
            if (MulDiv(avail, GetColumnWidth(col), total) >= GetColumnMinWidth(col))
                fitSum += GetColumnWidth(col);
            else
                tight = true;
        }
    int x = 0;
    for (int c = 0; c < n; ++c) {
        const int col = GetColumnAt(Band, Row, c);
        const int own = GetColumnWidth(col);
        const int least = GetColumnMinWidth(col);
        int w;
        if (c == n - 1) {
            w = Width - x;
        } else if (!IsColumnProportional(col)) {
            w = own;
            avail -= own;
            total -= own;
            minSum -= least;
        } else if (total <= 0) {
            // Nothing to take a share of: every column gets its least width.
            w = least;
        } else {
            const int scaled = MulDiv(avail, own, total);
            if (fitSum == total)
                w = scaled;
            else if (scaled <= least)
                w = least;
            else if (tight && fitSum > 0)
                w = least + MulDiv(avail - minSum, own, fitSum);
            else
                w = scaled;
            if (c == 0 && n > 1) w += groupIndent;
        }
        widths[static_cast<size_t>(c)] = w;
        x += w;
    }
    return widths;
}

int TCustomvxTreeList::CalcColumnShownWidth(int Column, TRowShares* rows) {
    if (Column < 0 || Column >= GetColumnCount() || !IsColumnVisible(Column)) return GetColumnWidth(Column);
    const int band = GetVisibleBandIndex(GetColumnBand(Column));
    const int row = GetColumnRow(Column);
    const int position = GetColumnPosition(Column);
    if (band < 0 || GetColumnAt(band, row, position) != Column) return GetColumnWidth(Column);
    auto share = [&] { return DistributeRow(band, row, GetBandWidth(band) + (band == 0 ? GetGroupIndentWidth() : 0)); };
    if (!rows) return share()[static_cast<size_t>(position)];
    auto [it, fresh] = rows->try_emplace({band, row});
    if (fresh) it->second = share();
    return it->second[static_cast<size_t>(position)];
}

int TCustomvxTreeList::GetColumnHeaderRowSpan(int Column) {
    const int headerRows = GetHeaderPanelRowCount();
    const int row = GetColumnRow(Column);
    const int band = GetVisibleBandIndex(GetColumnBand(Column));
    if (row != GetBandRowCountOf(band) - 1) return 1;
    const int lines = GetColumnHeaderMaxLineCount(Column);
    const int span = lines == 0 ? headerRows - row : std::min(lines, headerRows - row);
    return std::max(1, span);
}

// ---- Widths set by the mouse ----

void TCustomvxTreeList::ScaleBandColumns(int Band, int NewWidth, int OldWidth,
                                         std::vector<std::pair<int, int>>& Widths) {
    if (OldWidth <= 0) return;
    const int groupIndent = Band == 0 ? GetGroupIndentWidth() : 0;
    for (int r = 0, rows = GetBandRowCountOf(Band); r < rows; ++r)
        for (int c = 0, n = GetRowColumnCount(Band, r); c < n; ++c) {
            const int col = GetColumnAt(Band, r, c);
            const int shown = GetColumnShownWidth(col) - (c == 0 ? groupIndent : 0);
            Widths.emplace_back(col, MulDiv(shown, NewWidth, OldWidth));
        }
}

void TCustomvxTreeList::SetBandWidthByMouse(int Band, int Width) {
    const int count = GetBandCount();
    if (Band < 0 || Band >= count) return;
    const int newWidth = Width - (Band == 0 ? GetGroupIndentWidth() : 0);
    // Every width is taken before any is set: setting one changes the shares of the others.
    struct BandChange {
        int band, width, old;
    };
    std::vector<BandChange> bands{{Band, newWidth, GetBandWidth(Band)}};
    if (IsAutoWidth()) {
        // The other bands absorb the change: those after the sized one, or those before the last.
        int first = Band + 1, last = count - 1;
        if (Band == count - 1) first = 0, last = count - 2;
        int sum = 0;
        for (int b = first; b <= last; ++b) sum += GetBandWidth(b);
        const int rest = sum - (newWidth - bands[0].old);
        int given = 0;
        for (int b = first; b <= last && sum > 0; ++b) {
            const int old = GetBandWidth(b);
            const int w = b == last ? rest - given : MulDiv(old, rest, sum);
            given += w;
            bands.push_back({b, w, old});
        }
    }
    std::vector<std::pair<int, int>> columns;
    for (const BandChange& c : bands) ScaleBandColumns(c.band, c.width, c.old, columns);
    const bool lock = IsAutoWidth() || !IsUpdateLocked();
    if (lock) BeginUpdate();
    for (auto [col, w] : columns) SetColumnWidth(col, w);
    for (const BandChange& c : bands) {
        if (c.old > 0) ScaleHiddenColumns(c.band, c.width, c.old);
        SetBandWidth(c.band, c.width);
    }
    if (lock) EndUpdate();
}

void TCustomvxTreeList::SetColumnWidthByMouse(int Column, int Width) {
    const int band = GetVisibleBandIndex(GetColumnBand(Column));
    const int row = GetColumnRow(Column);
    const int position = GetColumnPosition(Column);
    const int n = GetRowColumnCount(band, row);
    if (band < 0 || position < 0 || position >= n) return;
    const int groupIndent = band == 0 ? GetGroupIndentWidth() : 0;
    std::vector<int> shown(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c)
        shown[static_cast<size_t>(c)] = GetColumnShownWidth(GetColumnAt(band, row, c)) - (c == 0 ? groupIndent : 0);
    const int oldTotal = std::accumulate(shown.begin(), shown.end(), 0);
    const int newWidth = Width - (position == 0 ? groupIndent : 0);
    const int difference = newWidth - shown[static_cast<size_t>(position)];
    int first = position + 1, last = n - 1;
    if (position == n - 1) first = 0, last = n - 2;
    int sum = 0;
    for (int c = first; c <= last; ++c) sum += shown[static_cast<size_t>(c)];
    const int rest = sum - difference;
    BeginUpdate();
    shown[static_cast<size_t>(position)] = newWidth;
    if (sum > 0 && first <= last) {
        int given = 0;
        for (int c = first; c <= last; ++c) {
            const int w = c == last ? rest - given : MulDiv(shown[static_cast<size_t>(c)], rest, sum);
            given += w;
            shown[static_cast<size_t>(c)] = w;
        }
        ScaleHiddenColumns(band, rest, sum);
    }
    for (int c = 0; c < n; ++c) SetColumnWidth(GetColumnAt(band, row, c), shown[static_cast<size_t>(c)]);
    if (IsBandHeaderWidth()) {
        const int newTotal = std::accumulate(shown.begin(), shown.end(), 0);
        for (int r = 0, rows = GetBandRowCountOf(band); r < rows; ++r) {
            if (r == row || oldTotal <= 0) continue;
            for (int c = 0, m = GetRowColumnCount(band, r); c < m; ++c) {
                const int col = GetColumnAt(band, r, c);
                SetColumnWidth(col, MulDiv(GetColumnShownWidth(col) - (c == 0 ? groupIndent : 0), newTotal, oldTotal));
            }
        }
    }
    EndUpdate();
}

void TCustomvxTreeList::SetColumnWidthFollowingBand(int Column, int Width) {
    const int band = GetVisibleBandIndex(GetColumnBand(Column));
    const int row = GetColumnRow(Column);
    const int position = GetColumnPosition(Column);
    if (band < 0) return;
    const int groupIndent = band == 0 ? GetGroupIndentWidth() : 0;
    const int oldBand = GetBandWidth(band);
    const int newBand = oldBand + (Width - GetColumnShownWidth(Column));
    const int bandShare = newBand - groupIndent;
    std::vector<std::pair<int, int>> widths;
    for (int r = 0, rows = GetBandRowCountOf(band); r < rows; ++r) {
        const int n = GetRowColumnCount(band, r);
        int given = 0;
        for (int c = 0; c < n; ++c) {
            const int col = GetColumnAt(band, r, c);
            const int shown = GetColumnShownWidth(col) - (c == 0 ? groupIndent : 0);
            int w;
            if (c == n - 1)
                w = bandShare - given;
            else if (r == row)
                w = c == position ? Width - (c == 0 ? groupIndent : 0) : shown;
            else
                w = oldBand > 0 ? MulDiv(shown, newBand, oldBand) : shown;
            given += w;
            widths.emplace_back(col, w);
        }
    }
    BeginUpdate();
    for (auto [col, w] : widths) SetColumnWidth(col, w);
    SetBandWidth(band, newBand);
    ScaleHiddenColumns(band, newBand, oldBand);
    EndUpdate();
}

// ---- Sizing limits ----

TvxSizingLimits TCustomvxTreeList::GetBandSizingLimits(int Band) {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    int left = 0;
    for (const auto& e : layout.BandEntries)
        if (e.Band == Band) left = e.Rect.Left;
    TvxSizingLimits limits;
    limits.Min = left + GetBandMinWidth(Band) + (Band == 0 ? GetGroupIndentWidth() : 0);
    limits.Max = IsBandFullSizing() ? 100000 : ClientRect().Width() - 2;
    return limits;
}

TvxSizingLimits TCustomvxTreeList::GetColumnSizingLimits(int Column) {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    TvxSizingLimits limits;
    const TvxTreeListHeaderCellEntry* cell = layout.FindCell(Column);
    if (!cell) return limits;
    limits.Min = cell->Rect.Left + GetColumnMinWidth(Column) +
                 (cell->Band == 0 && cell->Position == 0 && cell->Row == 0 ? GetGroupIndentWidth() : 0);
    if (IsColumnFullSizing() && !IsAutoWidth()) {
        limits.Max = 100000;
    } else if (IsColumnWidthFollowsBand()) {
        limits.Max = ClientRect().Width() - 1;
    } else {
        limits.Max = limits.Min;
        for (const auto& e : layout.BandEntries)
            if (e.Band == cell->Band) limits.Max = std::max(limits.Min, e.Rect.Right);
    }
    return limits;
}

int TCustomvxTreeList::GetBandPanelSizingLimits(int Y, int& RowCount) {
    const int top = GetRectInfo().BandPanel.Top;
    const int lineHeight = metrics_.BandLineHeight;
    auto bottom = [&](int k) { return k == 0 ? top : top + k * lineHeight + 5 + (metrics_.Flat ? 0 : 1); };
    RowCount = 1;
    for (int k = 2, most = GetBandMaxRowCount(); k <= most; ++k)
        if (Y > (bottom(k - 1) + bottom(k)) / 2) RowCount = k;
    return bottom(RowCount);
}

int TCustomvxTreeList::GetHeaderPanelSizingLimits(int Y, int& RowCount) {
    const int top = GetRectInfo().HeaderPanel.Top;
    const int lineHeight = std::max(1, metrics_.HeaderLineHeight);
    RowCount = std::clamp((Y - top + lineHeight / 2) / lineHeight, 1, std::max(1, GetHeaderPanelMaxRowCount()));
    return top + RowCount * lineHeight;
}

TvxSizingLimits TCustomvxTreeList::GetRowSizingLimits(int Row) {
    TvxTreeListLayout layout;
    CalcLayout(layout);
    TvxSizingLimits limits;
    if (Row < 0 || Row >= static_cast<int>(layout.RowEntries.size())) return limits;
    const TvxTreeListRowEntry& e = layout.RowEntries[static_cast<size_t>(Row)];
    limits.Min = e.Top + GetRowHeight(e.Node, metrics_.MinRowLineHeight, true);
    limits.Max = (showSummaryFooter_ ? layout.Footer.Top : layout.Rows.Bottom) - 1;
    return limits;
}

// ---- Rows ----

int TCustomvxTreeList::CalcRowLineCount(TvxTreeListNode* Node, int& LineHeight) {
    if (Node->RowHeightCache() > 0 && Node->LineCountCache() > 0) return Node->LineCountCache();
    if (IsGroupNode(Node)) return 1;
    // Each cell is measured at the width it is painted with.
    const bool gridLines = showGrid_ && showPreviewGrid_;
    const int treePart = GetNodeTreePartWidth(Node);
    // Each band row is shared out once for the whole row, also while the control's cache of
    // shown widths is being rebuilt.
    TRowShares shares;
    auto shown = [&](int column) { return CalcColumnShownWidth(column, &shares); };
    int lines = -1;
    std::string text;
    for (int v = 0, n = GetVisibleColumnCount(); v < n; ++v) {
        const int column = GetAbsoluteColumnIndex(v);
        const int band = GetVisibleBandIndex(GetColumnBand(column));
        const int row = GetColumnRow(column);
        const int position = GetColumnPosition(column);
        int width = shown(column);
        if (band == 0) {
            int offset = 0;
            for (int p = 0; p < position; ++p) offset += shown(GetColumnAt(0, row, p));
            width -= std::clamp(treePart - offset, 0, width);
        }
        if (gridLines) width -= 1;
        if (IsInvertSelect()) width -= (position > 0 ? 1 : 0) + (position < GetRowColumnCount(band, row) - 1 ? 1 : 0);
        GetCellText(Node, column, text);
        int cellLine = 0;
        lines = std::max(lines, CalcCellLineCount(Node, column, text, std::max(0, width), cellLine));
        LineHeight = std::max(LineHeight, cellLine);
    }
    return lines;
}

int TCustomvxTreeList::GetRowHeight(TvxTreeListNode* Node, int LineHeight, bool NoCache) {
    if (CanCacheRowHeights() && !NoCache && Node && Node->RowHeightCache() > 0) return Node->RowHeightCache();
    // The count is measured again with the height; a height asked for without the cache
    // leaves a good cache alone.
    if (Node && !(NoCache && CanCacheRowHeights())) Node->SetLineCountCache(0);
    const bool preview = IsShowPreview();
    const int previewLines = preview && Node ? GetPreviewLineCount(Node) : 0;
    const bool gridLines = showGrid_ && showPreviewGrid_;
    const int grid = showGrid_ ? rowSeparatorLineWidth_ : 0;
    const int rowsPerNode = GetHeaderPanelRowCount();
    int height = grid;
    int lines = 0;
    if (Node && !preview && rowsPerNode == 1 && IsRowAutoHeight()) {
        int cellLine = 0;
        lines = CalcRowLineCount(Node, cellLine);
        // A cell line taller than the row's line sets the pace of every line.
        if (lines > 1) LineHeight += (lines - 1) * std::max(metrics_.LineStep, cellLine);
        if (cellLine > LineHeight) LineHeight = cellLine;
    }
    const bool group = Node && IsGroupNode(Node);
    if (group)
        height += LineHeight;
    else
        height += rowsPerNode * LineHeight + previewLines * metrics_.PreviewLineHeight +
                  (previewLines >= 1 && gridLines ? 1 : 0);
    if (Node && !showGrid_ && (Node->HasChildren() || Node->Count() > 0) && !showExpandButtons_) height += 1;
    if (previewLines > 0 && !group) height += 2;
    if (gridLines) height -= 1;
    if (Node) height += GetRowFooterCount(Node) * metrics_.RowFooterHeight;
    if (!NoCache && Node) {
        Node->SetRowHeightCache(height);
        Node->SetLineCountCache(std::max(0, lines));
    }
    return height;
}

int TCustomvxTreeList::GetRowFooterCount(TvxTreeListNode* Node) {
    if (!Node || !IsShowRowFooter() || Node->HasChildren() || Node->Count() > 0) return 0;
    int count = 0;
    for (TvxTreeListNode* n = Node; n && n->Parent() && n->IsLast(); n = n->Parent())
        if (IsExistRowFooter(n->Parent()->Level())) ++count;
    return count;
}

int TCustomvxTreeList::GetRowFooterLevel(TvxTreeListNode* Node, int Index) {
    if (!Node || !IsShowRowFooter() || Node->HasChildren() || Node->Count() > 0) return -1;
    int found = 0;
    for (TvxTreeListNode* n = Node; n && n->Parent() && n->IsLast(); n = n->Parent()) {
        const int level = n->Parent()->Level();
        if (!IsExistRowFooter(level)) continue;
        if (found++ == Index) return level;
    }
    return -1;
}
