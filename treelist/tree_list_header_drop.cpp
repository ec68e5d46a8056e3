// Where a dragged band or column header would drop for a point, and where the drop arrows
// then stand. A place that would leave everything as it is answers "no change", so that a
// drop there moves nothing.

#include <algorithm>

#include "treelist/custom_tree_list.h"

namespace {

int Middle(const TRect& R) { return (R.Left + R.Right) / 2; }

bool InXRange(const TRect& R, int X) { return X >= R.Left && X < R.Right; }

// Frees the layout and turns the arrow point into screen coordinates on every way out.
struct DropScope {
    TCustomvxTreeList* control;
    TvxTreeListLayout& layout;
    TPoint& point;
    TPoint arrow{-100, -100};
    ~DropScope() {
        point = control->ClientToScreen(arrow);
        TCustomvxTreeList::FreeLayout(layout);
    }
};

}  // namespace

void TCustomvxTreeList::CalcHeaderDropPosition(TPoint& P, int& Result, int /*Dragged*/, int DraggedShown) {
    Result = -1;
    const TPoint pt = ScreenToClient(P);
    TvxTreeListLayout L;
    CalcLayout(L);
    DropScope scope{this, L, P};
    if (pt.Y < L.BandPanel.Top || pt.Y >= L.BandPanel.Bottom) return;
    Result = -2;
    if (L.BandEntries.empty()) {
        Result = 0;
        scope.arrow = TPoint{L.BandPanel.Left - 5, L.BandPanel.Top - 9};
        return;
    }
    const int leftFixed = GetLeftFixedBand();
    const int rightFixed = GetRightFixedBand();
    const TvxTreeListBandEntry* target = nullptr;
    bool before = false;
    for (const TvxTreeListBandEntry& e : L.BandEntries) {
        if (!PtInRect(e.Rect, pt)) continue;
        if (e.Band == DraggedShown) return;
        before = pt.X <= Middle(e.Rect);
        if (DraggedShown >= 0 && ((before && e.Band == DraggedShown + 1) || (!before && e.Band == DraggedShown - 1)))
            return;
        if ((before && e.Band == leftFixed) || (!before && e.Band == rightFixed)) return;
        target = &e;
        break;
    }
    if (!target) {
        const TvxTreeListBandEntry& last = L.BandEntries.back();
        if (pt.X < last.Rect.Right || last.Band == DraggedShown || last.Band == rightFixed) return;
        target = &last;
        before = false;
    }
    Result = target->Band;
    if (before && DraggedShown >= 0 && Result > DraggedShown)
        --Result;
    else if (!before && (DraggedShown < 0 || Result < DraggedShown))
        ++Result;
    const int x = (before ? target->Rect.Left : target->Rect.Right) - 5;
    scope.arrow = TPoint{std::clamp(x, L.BandPanel.Left - 5, std::max(L.BandPanel.Left - 5, L.BandPanel.Right)),
                         target->Rect.Top - 9};
}

void TCustomvxTreeList::CalcHeaderDropPosition(TPoint& P, TvxHeaderPosInfo& Result, int Dragged, int DraggedShown) {
    Result = TvxHeaderPosInfo{};
    const TPoint pt = ScreenToClient(P);
    TvxTreeListLayout L;
    CalcLayout(L);
    DropScope scope{this, L, P};
    if (L.BandEntries.empty() || pt.Y < L.HeaderPanel.Top || pt.Y >= L.HeaderPanel.Bottom) return;
    Result = TvxHeaderPosInfo{-1, -1, -1, -2};
    // A band that keeps its own columns takes no other band's and gives none away.
    const int ownBand = GetVisibleBandIndex(GetColumnBand(Dragged));
    auto refused = [&](int Band) { return (GetBandFlag(Band) || GetBandFlag(ownBand)) && Band != ownBand; };
    // Where the dragged column stands while it is shown.
    int draggedRow = -1;
    int draggedPos = -1;
    if (DraggedShown >= 0) {
        if (const TvxTreeListHeaderCellEntry* d = L.FindCell(DraggedShown)) {
            draggedRow = d->Row;
            draggedPos = d->Position;
        } else {
            draggedRow = GetColumnRow(DraggedShown);
            draggedPos = GetColumnPosition(DraggedShown);
        }
    }
    const auto noChange = [&](const TvxTreeListHeaderCellEntry& c) { Result = {c.Band, c.Row, c.Position, -2}; };
    const TvxTreeListHeaderCellEntry* target = nullptr;
    bool before = false;
    for (const TvxTreeListHeaderCellEntry& c : L.CellEntries) {
        if (!PtInRect(c.Visible, pt)) continue;
        if (refused(c.Band) || c.Column == DraggedShown) return noChange(c);
        before = pt.X <= Middle(c.Rect);
        const bool sameRow = DraggedShown >= 0 && c.Band == ownBand && c.Row == draggedRow;
        if (sameRow && ((before && c.Position == draggedPos + 1) || (!before && c.Position == draggedPos - 1)))
            return noChange(c);
        target = &c;
        break;
    }
    if (!target) {
        const int lastRight = L.BandEntries.back().Rect.Right;
        if (pt.X < lastRight) {
            // Below the last cell of a band row: a new row under the cell above.
            for (auto c = L.CellEntries.rbegin(); c != L.CellEntries.rend(); ++c) {
                if (refused(c->Band) || !InXRange(c->Visible, pt.X)) continue;
                Result = {c->Band, c->Row + 1, c->Position, -3};
                scope.arrow = TPoint{
                    std::clamp(c->Visible.Left - 5, c->Rect.Left - 5, std::max(c->Rect.Left - 5, c->Rect.Right)),
                    c->Rect.Top + metrics_.HeaderLineHeight - 9};
                return;
            }
            // A band without columns takes the column as its first.
            for (const TvxTreeListBandEntry& e : L.BandEntries) {
                if (refused(e.Band) || !InXRange(e.Visible, pt.X)) continue;
                Result = {e.Band, 0, 0, -3};
                scope.arrow = TPoint{std::clamp(e.Visible.Left - 5, L.HeaderPanel.Left - 5,
                                                std::max(L.HeaderPanel.Left - 5, L.HeaderPanel.Right)),
                                     L.HeaderPanel.Top - 9};
                return;
            }
            return;
        }
        // Right of all bands: after the last cell of the row under the pointer.
        const TPoint probe{lastRight - 1, pt.Y};
        for (auto c = L.CellEntries.rbegin(); c != L.CellEntries.rend(); ++c) {
            if (!PtInRect(c->Visible, probe)) continue;
            if (refused(c->Band) || c->Column == DraggedShown) return noChange(*c);
            target = &*c;
            break;
        }
        if (!target) return;
        before = false;
    }
    // Positions count without the dragged column once it has left its place in this row.
    const bool sameRow = DraggedShown >= 0 && target->Band == ownBand && target->Row == draggedRow;
    int pos = target->Position;
    if (before) {
        if (pos > 0 && sameRow && target->Position > draggedPos) --pos;
    } else if (!sameRow || target->Position < draggedPos) {
        ++pos;
    }
    Result = {target->Band, target->Row, pos, -3};
    const int x = (before ? target->Visible.Left : target->Visible.Right) - 5;
    scope.arrow = TPoint{std::clamp(x, L.HeaderPanel.Left - 5, std::max(L.HeaderPanel.Left - 5, L.HeaderPanel.Right)),
                         target->Rect.Top - 9};
}
