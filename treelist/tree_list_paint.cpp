// The paint frame of the tree list and the areas around the rows: band and header panels,
// indicator column, summary footer and filter status panel.

#include "treelist/tree_list_paint.h"

#include <algorithm>
#include <string>

#include "controls/draw_utils.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/text.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_drawing.h"

namespace {

bool Empty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

HBRUSH Solid(TColor Color) { return CreateSolidBrush(ColorToRGB(Color)); }

void Delete(HBRUSH& Brush) {
    if (Brush) DeleteObject(Brush);
    Brush = nullptr;
}

// The edge flags of a header cell from its place in its band row.
int HeaderEdgeFlags(bool First, bool Last) {
    if (First && Last) return 0;
    if (First) return 2;
    if (Last) return 1;
    return 3;
}

}  // namespace

// ---- Paint context ----

TvxTreeListPaint::~TvxTreeListPaint() {
    RestoreClip();
    for (TvxTreeListColumnColor& c : ColumnColors) Delete(c.Brush);
    for (HBRUSH* b : {&FixedBandLineBrush, &RowFooterBrush, &LevelBrush, &HideSelectionBrush, &TreeLinesBrush,
                      &HighlightBrush, &ShadowBrush, &BackgroundBrush, &GroupNodeBrush, &HeaderBrush, &BandBrush})
        Delete(*b);
}

void TvxTreeListPaint::SetClipRect(const TRect& Rect) {
    RestoreClip();
    SavedClip = CreateRectRgn(0, 0, 0, 0);
    HadClip = GetClipRgn(DC, SavedClip) == 1;
    TRect device = Rect;
    LPtoDP(DC, reinterpret_cast<TPoint*>(&device), 2);
    HRGN clip = CreateRectRgnIndirect(device);
    if (HadClip) CombineRgn(clip, clip, SavedClip, RGN_AND);
    SelectClipRgn(DC, clip);
    DeleteObject(clip);
    ClipInForce = true;
}

void TvxTreeListPaint::RestoreClip() {
    if (!ClipInForce) return;
    SelectClipRgn(DC, HadClip ? SavedClip : nullptr);
    DeleteObject(SavedClip);
    SavedClip = nullptr;
    ClipInForce = false;
}

void TvxTreeListPaint::DrawSegments(TColor Color) {
    if (Segments.empty()) return;
    const std::vector<uint32_t> counts(Segments.size() / 2, 2u);
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(Color));
    HGDIOBJ old = SelectObject(DC, pen);
    // A segment's last point is left out by the line drawing; its end points are inclusive.
    std::vector<TPoint> points = Segments;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        TPoint& a = points[i];
        TPoint& b = points[i + 1];
        if (a.X == b.X)
            b.Y += b.Y >= a.Y ? 1 : -1;
        else if (a.Y == b.Y)
            b.X += b.X >= a.X ? 1 : -1;
    }
    PolyPolyline(DC, points.data(), counts.data(), static_cast<int>(counts.size()));
    SelectObject(DC, old);
    DeleteObject(pen);
    Segments.clear();
}

TvxClipScope::TvxClipScope(HDC DC, const TRect& Rect) : dc_(DC) {
    saved_ = CreateRectRgn(0, 0, 0, 0);
    hadClip_ = GetClipRgn(DC, saved_) == 1;
    IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

TvxClipScope::~TvxClipScope() {
    SelectClipRgn(dc_, hadClip_ ? saved_ : nullptr);
    DeleteObject(saved_);
}

// ---- Frame ----

TColor TCustomvxTreeList::GetShadowColor() const {
    return lookAndFeel_ == lfUltraFlat ? static_cast<TColor>(RGB(160, 160, 160)) : clBtnShadow;
}

TColor TCustomvxTreeList::GetGridLineColor(TColor /*Default*/) {
    return gridLineColor_ == clNone ? clBtnShadow : gridLineColor_;
}

int TCustomvxTreeList::GetFilterButtonState(int Column) {
    if (!IsFilterEnabled()) return 0;
    int state = 1;
    if (filterHotColumn_ == Column && Column >= 0) {
        state |= 2;
        if (filterHeader_ == Column && filterPressed_) state |= 4;
    }
    return state;
}

void TCustomvxTreeList::Paint() {
    HideDragFeedback();
    struct Feedback {
        TCustomvxTreeList* self;
        ~Feedback() { self->ShowDragFeedback(); }
    } feedback{this};

    TvxTreeListPaint p;
    p.Canvas = Canvas();
    p.DC = Canvas()->Handle();
    CalcLayout(p.Layout);
    p.ControlFocused = IsControlFocused();
    p.FocusedColumn = GetAbsoluteColumnIndex(GetFocusedColumn());
    p.ShadowColor = GetShadowColor();
    struct Work {
        TCustomvxTreeList* self;
        ~Work() { self->workBitmap_.reset(); }
    } work{this};
    workBitmap_ = std::make_unique<TBitmap>();
    p.BandBrush = Solid(bandColor_);
    p.HeaderBrush = Solid(headerColor_);
    p.GroupNodeBrush = Solid(groupNodeColor_);
    p.BackgroundBrush = Solid(Color());
    p.ShadowBrush = Solid(p.ShadowColor);
    p.HighlightBrush = Solid(highlightColor_);
    p.TreeLinesBrush = Solid(treeLinesColor_);
    p.HideSelectionBrush = Solid(hideSelectionColor_);
    p.RowFooterBrush = Solid(rowFooterColor_);
    p.FixedBandLineBrush = Solid(fixedBandLineColor_);
    const COLORREF background = ColorToRGB(Color());
    p.ColumnColors.reserve(p.Layout.CellEntries.size());
    for (const TvxTreeListHeaderCellEntry& cell : p.Layout.CellEntries) {
        TvxTreeListColumnColor c;
        c.Color = GetColumnColor(cell.Column);
        if (ColorToRGB(c.Color) != background) c.Brush = Solid(c.Color);
        p.ColumnColors.push_back(c);
    }
    PaintAreas(p);
}

void TCustomvxTreeList::PaintAreas(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    if (!Empty(L.GroupPanel) && RectVisible(P.DC, L.GroupPanel))
        DrawGroupPanel(P.Canvas, L.GroupPanel, P.HeaderBrush, P.ShadowBrush);
    PaintBandPanel(P);
    PaintHeaderPanel(P);
    PaintNewItemRow(P);
    PaintIndicator(P);
    PaintFooter(P);
    PaintFilterStatus(P);
    PaintRows(P);
}

// ---- Shared helpers ----

void TCustomvxTreeList::GetColumnBrush(TvxTreeListPaint& P, int HeaderIndex, TColor& Color, HBRUSH& Brush) {
    if (HeaderIndex >= 0 && HeaderIndex < static_cast<int>(P.ColumnColors.size()) &&
        P.ColumnColors[static_cast<size_t>(HeaderIndex)].Brush) {
        Color = P.ColumnColors[static_cast<size_t>(HeaderIndex)].Color;
        Brush = P.ColumnColors[static_cast<size_t>(HeaderIndex)].Brush;
        return;
    }
    Color = this->Color();
    Brush = P.BackgroundBrush;
}

HBRUSH TCustomvxTreeList::GetLevelBrush(TvxTreeListPaint& P, int Level, TColor& Color) {
    if (IsLevelColorAssigned()) {
        DoGetLevelColor(Level, Color);
        if (ColorToRGB(Color) != ColorToRGB(groupNodeColor_)) {
            if (!P.LevelBrush || ColorToRGB(P.LevelColor) != ColorToRGB(Color)) {
                Delete(P.LevelBrush);
                P.LevelBrush = Solid(Color);
                P.LevelColor = Color;
            }
            return P.LevelBrush;
        }
    }
    return P.GroupNodeBrush;
}

void TCustomvxTreeList::GetCellColors(TvxTreeListPaint& P, TvxTreeListNode* Node, bool Selected, bool IsGroupRow,
                                      bool HasChildren, int Level, int HeaderIndex, TColor& Color, TColor& TextColor,
                                      HBRUSH& Brush) {
    if (!P.ControlFocused && IsDragFromControl() && Node == focusedNode_) {
        Color = highlightColor_;
        TextColor = highlightTextColor_;
        Brush = P.HighlightBrush;
    } else if (Selected && P.ControlFocused) {
        Color = highlightColor_;
        TextColor = highlightTextColor_;
        Brush = P.HighlightBrush;
    } else if (Selected && !hideSelection_) {
        Color = hideSelectionColor_;
        TextColor = hideSelectionTextColor_;
        Brush = P.HideSelectionBrush;
    } else if (!TreeStyle() && (IsGroupRow || HasChildren)) {
        Color = groupNodeColor_;
        Brush = GetLevelBrush(P, Level, Color);
        TextColor = groupNodeTextColor_ == clNone ? Font()->Color() : groupNodeTextColor_;
    } else {
        GetColumnBrush(P, HeaderIndex, Color, Brush);
        const int column = HeaderIndex >= 0 && HeaderIndex < static_cast<int>(P.Layout.CellEntries.size())
                               ? P.Layout.CellEntries[static_cast<size_t>(HeaderIndex)].Column
                               : -1;
        TextColor = column >= 0 && IsColumnOwnFont(column) ? GetColumnFont(column)->Color() : Font()->Color();
    }
}

void TCustomvxTreeList::DrawSunkenFrame(HDC DC, const TRect& Rect) {
    if (lookAndFeel_ == lfUltraFlat) {
        FrameRect(DC, Rect, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        TRect r = Rect;
        DrawEdge(DC, r, BDR_SUNKENOUTER, BF_RECT);
    }
}

void TCustomvxTreeList::DrawCornerButton(HDC DC, const TRect& Rect, HBRUSH Brush, TvxLookAndFeel Look, bool Pressed) {
    TRect r = Rect;
    if (Look == lfUltraFlat) {
        DrawEdge(DC, r, BDR_SUNKENOUTER, BF_FLAT | BF_ADJUST | BF_TOP | BF_RIGHT | BF_BOTTOM);
        FillRect(DC, r, Brush);
        if (Pressed) BitBlt(DC, r.Left, r.Top, r.Width(), r.Height(), nullptr, 0, 0, DSTINVERT);
        return;
    }
    DrawHeaderFrame(DC, r, Brush, Look, 0, Pressed);
}

void TCustomvxTreeList::PaintFocusRect(TvxTreeListPaint& P, const TRect& Rect) {
    if (P.ControlFocused) {
        if (!IsHideFocusRect()) DrawFocusRectBW(P.DC, Rect);
    } else if (!hideFocusRect_ && !IsDragFromControl()) {
        InvertFrame(P.DC, Rect);
    }
}

// ---- Band panel ----

void TCustomvxTreeList::PaintBandPanel(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    if (!Empty(L.BandCorner) && RectVisible(P.DC, L.BandCorner))
        DrawCornerButton(P.DC, L.BandCorner, P.BandBrush, lookAndFeel_, bandCornerPressed_);
    if (!Empty(L.BandPanel) && RectVisible(P.DC, L.BandPanel) && !L.BandEntries.empty()) {
        P.Canvas->SetFont(bandFont_.get());
        SetTextColor(P.DC, ColorToRGB(bandFont_->Color()));
        for (const TvxTreeListBandEntry& band : L.BandEntries) {
            if (!RectVisible(P.DC, band.Visible)) continue;
            std::string text;
            GetBandText(band.Band, text);
            TAlignment alignment = static_cast<TAlignment>(GetBandAlignment(band.Band));
            HBRUSH brush = P.BandBrush;
            bool done = false;
            const bool custom = HasCustomDrawBand(band.Band);
            if (custom) {
                workFont_->Assign(P.Canvas->Font());
                TColor color = bandColor_;
                {
                    std::unique_ptr<TvxClipScope> clip;
                    if (band.Visible != band.Rect) clip = std::make_unique<TvxClipScope>(P.DC, band.Visible);
                    DoCustomDrawBand(band.Band, P.Canvas, band.Rect, band.Visible, text, color, P.Canvas->Font(),
                                     alignment, done);
                }
                if (!done && ColorToRGB(color) != ColorToRGB(bandColor_)) {
                    P.Canvas->Brush()->SetColor(color);
                    brush = P.Canvas->Brush()->Handle();
                }
                // The cell is drawn in whatever font the handler left on the canvas.
                P.Canvas->Handle();
                SetTextColor(P.DC, ColorToRGB(P.Canvas->Font()->Color()));
            }
            if (!done) {
                TvxHeaderCellLook look;
                look.Look = lookAndFeel_;
                look.Alignment = alignment;
                look.MultiLine = GetBandTextLineCount() > 1;
                look.Pressed = pressedBand_ == band.Band && pressedBand_ >= 0;
                DrawBufferedHeaderCell(P.DC, band.Rect, band.Visible, look, text, workBitmap_.get(), brush);
            }
            if (custom) {
                P.Canvas->SetFont(workFont_.get());
                SetTextColor(P.DC, ColorToRGB(bandFont_->Color()));
            }
        }
    }
    const int w = fixedBandLineWidth_;
    if (!Empty(L.LeftFixedArea) && RectVisible(P.DC, L.LeftFixedArea))
        FillRect(P.DC,
                 TRect{L.LeftFixedArea.Right - w, L.LeftFixedArea.Top, L.LeftFixedArea.Right, L.LeftFixedArea.Bottom},
                 P.FixedBandLineBrush);
    if (!Empty(L.RightFixedArea) && RectVisible(P.DC, L.RightFixedArea))
        FillRect(P.DC,
                 TRect{L.RightFixedArea.Left, L.RightFixedArea.Top, L.RightFixedArea.Left + w, L.RightFixedArea.Bottom},
                 P.FixedBandLineBrush);
}

// ---- Header panel ----

void TCustomvxTreeList::PaintHeaderPanel(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    if (!Empty(L.HeaderCorner) && RectVisible(P.DC, L.HeaderCorner))
        DrawCornerButton(P.DC, L.HeaderCorner, P.HeaderBrush, lookAndFeel_, headerCornerPressed_);
    if (Empty(L.HeaderPanel) || !RectVisible(P.DC, L.HeaderPanel)) return;
    if (!L.CellEntries.empty()) {
        P.Canvas->SetFont(headerFont_.get());
        SetTextColor(P.DC, ColorToRGB(headerFont_->Color()));
        for (const TvxTreeListHeaderCellEntry& cell : L.CellEntries) {
            if (!RectVisible(P.DC, cell.Visible)) continue;
            TvxHeaderCellLook look;
            look.Look = lookAndFeel_;
            look.Alignment = static_cast<TAlignment>(GetHeaderAlignment(cell.Column));
            look.Glyph = HasHeaderGlyph(cell.Column) ? GetHeaderGlyph(cell.Column) : nullptr;
            std::string text;
            GetHeaderText(cell.Column, text);
            look.Sorted = GetHeaderSorted(cell.Column);
            look.FilterState = GetFilterButtonState(cell.Column);
            HBRUSH brush = P.HeaderBrush;
            bool done = false;
            const bool custom = HasCustomDrawHeader(cell.Column);
            if (custom) {
                workFont_->Assign(P.Canvas->Font());
                TColor color = headerColor_;
                {
                    std::unique_ptr<TvxClipScope> clip;
                    if (cell.Visible != cell.Rect) clip = std::make_unique<TvxClipScope>(P.DC, cell.Visible);
                    DoCustomDrawHeader(cell.Column, P.Canvas, cell.Rect, cell.Visible, text, color, P.Canvas->Font(),
                                       look.Alignment, look.Sorted, done);
                }
                if (!done && ColorToRGB(color) != ColorToRGB(headerColor_)) {
                    P.Canvas->Brush()->SetColor(color);
                    brush = P.Canvas->Brush()->Handle();
                }
                P.Canvas->Handle();
                SetTextColor(P.DC, ColorToRGB(P.Canvas->Font()->Color()));
            }
            if (!done) {
                look.Pressed = pressedColumn_ == cell.Column && cell.Column >= 0;
                look.MultiLine = cell.RowSpan > 1 || GetHeaderLineCount() > 1;
                look.EdgeFlags = HeaderEdgeFlags(cell.FirstInRow, cell.LastInRow);
                DrawBufferedHeaderCell(P.DC, cell.Rect, cell.Visible, look, text, workBitmap_.get(), brush);
            }
            if (!Empty(cell.Filler)) FillRect(P.DC, cell.Filler, P.ShadowBrush);
            if (custom) {
                P.Canvas->SetFont(workFont_.get());
                SetTextColor(P.DC, ColorToRGB(headerFont_->Color()));
            }
        }
    }
    for (const TvxTreeListEmptyBandEntry& filler : L.EmptyBandEntries)
        if (!Empty(filler.Rect)) FillRect(P.DC, filler.Rect, P.ShadowBrush);
}

// ---- Indicator column ----

void TCustomvxTreeList::PaintIndicator(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    if (Empty(L.Indicator) || !RectVisible(P.DC, L.Indicator)) return;
    if (L.RowEntries.empty()) return;
    for (const TvxTreeListRowEntry& row : L.RowEntries) {
        const TRect full{L.Indicator.Left, row.Top, L.Indicator.Right, row.Top + row.Height};
        TRect visible = full;
        if (!Empty(L.Footer) && L.Footer.Top < visible.Bottom) visible.Bottom = L.Footer.Top;
        if (Empty(visible)) continue;
        DrawIndicatorCell(P.DC, full, visible, lookAndFeel_, row.IndicatorKind, workBitmap_.get(), P.HeaderBrush);
    }
    ExcludeClipRect(P.DC, L.Indicator.Left, L.Indicator.Top, L.Indicator.Right, L.Indicator.Bottom);
}

// ---- Summary footer ----

void TCustomvxTreeList::PaintFooter(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    if (Empty(L.Footer) || !RectVisible(P.DC, L.Footer)) return;
    const int step = lookAndFeel_ == lfStandard ? 2 : 1;
    const bool hasLeftFixed = !Empty(L.LeftFixedArea);
    const bool hasRightFixed = !Empty(L.RightFixedArea);
    TRect f = L.Footer;
    if (!hasLeftFixed && leftCoord_ != 0) f.Left -= step;
    const int bandsRight = L.Rows.Left + GetBandsTotalWidth() - leftCoord_;
    if (!hasRightFixed && bandsRight > f.Right) f.Right += step;
    {
        // The frame may reach outside the footer on a side whose content continues.
        if (lookAndFeel_ == lfStandard) {
            FrameRect(P.DC, f, GetSysColorBrush(COLOR_WINDOWFRAME));
            f = TRect{f.Left + 1, f.Top + 1, f.Right - 1, f.Bottom - 1};
            f.Left -= 1;
            TRect e = f;
            DrawEdge(P.DC, e, BDR_RAISEDINNER, BF_RECT);
        } else {
            TRect e = f;
            DrawEdge(P.DC, e, BDR_SUNKENOUTER, BF_TOP);
            f.Top += 1;
            if (lookAndFeel_ == lfUltraFlat) {
                FillRect(P.DC, f, P.HeaderBrush);
            } else {
                e = f;
                DrawEdge(P.DC, e, BDR_RAISEDINNER, BF_RECT);
            }
        }
        f = TRect{f.Left + 1, f.Top + 1, f.Right - 1, f.Bottom - 1};
        FillRect(P.DC, f, P.HeaderBrush);
    }
    P.Canvas->SetFont(Font());
    const bool clipCells = hasLeftFixed || hasRightFixed || leftCoord_ != 0 || GetBandsTotalWidth() > L.Rows.Width();
    if (clipCells) {
        const int left = hasLeftFixed ? L.LeftFixedArea.Right
                                      : std::max(L.Rows.Left - leftCoord_, L.Rows.Left - metrics_.IndicatorWidth);
        const int right = hasRightFixed ? L.RightFixedArea.Left : L.Rows.Right;
        P.SetClipRect(TRect{left, L.Footer.Top, right, L.Footer.Bottom});
    }
    const int lineHeight = metrics_.FooterLineHeight;
    const int lastBand = L.BandEntries.empty() ? -1 : L.BandEntries.back().Band;
    for (const TvxTreeListHeaderCellEntry& cell : L.CellEntries) {
        TRect r{cell.Rect.Left, f.Top + cell.Row * lineHeight, cell.Rect.Right,
                f.Top + (cell.Row + cell.RowSpan) * lineHeight};
        if (cell.Band == 0 && r.Left < L.Rows.Left) r.Left = L.Rows.Left;
        if (r.Right <= r.Left) continue;
        r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        if (cell.Band == 0 && cell.FirstInRow) r.Left += 1;
        if (cell.Band == lastBand && cell.LastInRow) r.Right -= 2;
        if (!IsExistFooterCell(cell.Column) || Empty(r)) continue;
        DrawSunkenFrame(P.DC, r);
        r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        SetBkColor(P.DC, ColorToRGB(headerColor_));
        SetTextColor(P.DC, ColorToRGB(Font()->Color()));
        DrawFooterCell(P.Canvas, r, workBitmap_.get(), nullptr, cell.Column, -1, false, false, headerColor_,
                       P.HeaderBrush, cell.RowSpan > 1, 1);
    }
    P.RestoreClip();
    ExcludeClipRect(P.DC, L.Footer.Left, L.Footer.Top, L.Footer.Right, L.Footer.Bottom);
}

// ---- Filter status panel ----

void TCustomvxTreeList::PaintFilterStatus(TvxTreeListPaint& P) {
    const TvxTreeListLayout& L = P.Layout;
    const TRect& panel = L.FilterStatus;
    if (Empty(panel) || !RectVisible(P.DC, panel)) return;
    const bool criteria = HasFilterCriteria();
    std::string text;
    GetFilterStatusText(text);
    P.Canvas->SetFont(Font());
    TRect textRect{panel.Left + 2, panel.Top + 2, panel.Right - 2, panel.Bottom - 2};
    if (criteria) textRect.Left += 18;
    DrawTextInRect(P.DC, text, nullptr, GetSysColor(COLOR_BTNHIGHLIGHT), ColorToRGB(P.ShadowColor), Font()->Handle(),
                   P.ShadowBrush, vxdtVCenter, textRect, panel);
    if (criteria) {
        const TRect button = ClearFilterButtonRectIn(panel);
        int face = COLOR_BTNFACE;
        TColor line = clBtnText;
        if (clearFilterHot_ && clearFilterPressed_) {
            face = COLOR_WINDOWFRAME;
            line = clWindow;
        } else if (clearFilterHot_) {
            face = COLOR_WINDOW;
            line = clWindowFrame;
        }
        FillRect(P.DC, button, GetSysColorBrush(face));
        HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(line));
        HGDIOBJ old = SelectObject(P.DC, pen);
        const TRect r{button.Left + 2, button.Top + 2, button.Right - 2, button.Bottom - 2};
        const TPoint first[] = {{r.Left, r.Top},
                                {r.Right - 2, r.Bottom - 1},
                                {r.Right - 1, r.Bottom - 1},
                                {r.Left + 1, r.Top},
                                {r.Left, r.Top}};
        const TPoint second[] = {{r.Right - 1, r.Top},
                                 {r.Left + 1, r.Bottom - 1},
                                 {r.Left, r.Bottom - 1},
                                 {r.Right - 2, r.Top},
                                 {r.Right, r.Top}};
        Polyline(P.DC, first, 5);
        Polyline(P.DC, second, 5);
        SelectObject(P.DC, old);
        DeleteObject(pen);
    }
    ExcludeClipRect(P.DC, panel.Left, panel.Top, panel.Right, panel.Bottom);
}
