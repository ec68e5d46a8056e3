// Three-dimensional edges, the focus rectangle and the frame controls, in the classic look.
#include <algorithm>

#include "platform/gdi/draw.h"
#include "platform/gdi/raster.h"

namespace {

void Fill(HDC dc, const TRect& r, int sysColor) { FillRect(dc, r, GetSysColorBrush(sysColor)); }

void FillColor(HDC dc, const TRect& r, COLORREF c) {
    Raster ras(dc);
    if (!ras.Valid() || IsRectEmpty(r)) return;
    TRect s = r;
    OffsetRect(s, ras.Offset().X, ras.Offset().Y);
    ras.FillRect(s, ras.Solid(c, R2_COPYPEN));
}

// One ring of an edge: the top and left lines in lt, then bottom and right in rb, so the
// two far corners take the darker colour as in the window system.
void EdgeRing(HDC dc, const TRect& r, unsigned sides, int lt, int rb) {
    if (IsRectEmpty(r)) return;
    if (lt >= 0) {
        if (sides & BF_TOP) Fill(dc, {r.Left, r.Top, r.Right - ((sides & BF_RIGHT) ? 1 : 0), r.Top + 1}, lt);
        if (sides & BF_LEFT) Fill(dc, {r.Left, r.Top, r.Left + 1, r.Bottom - ((sides & BF_BOTTOM) ? 1 : 0)}, lt);
    }
    if (rb >= 0) {
        if (sides & BF_BOTTOM) Fill(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, rb);
        if (sides & BF_RIGHT) Fill(dc, {r.Right - 1, r.Top, r.Right, r.Bottom}, rb);
    }
}

void Shrink(TRect& r, unsigned sides) {
    if (sides & BF_LEFT) ++r.Left;
    if (sides & BF_TOP) ++r.Top;
    if (sides & BF_RIGHT) --r.Right;
    if (sides & BF_BOTTOM) --r.Bottom;
}

void DiagonalEdge(HDC dc, const TRect& r, unsigned flags, int color) {
    // A single line from one corner to the other, in the edge's darker colour.
    TRect b = r;
    int n = std::min(b.Width(), b.Height());
    Raster ras(dc);
    if (!ras.Valid() || n <= 0) return;
    Paint p = ras.Solid(GetSysColor(color), R2_COPYPEN);
    TPoint o = ras.Offset();
    bool rising = (flags & BF_BOTTOMLEFT) == BF_BOTTOMLEFT || (flags & BF_TOPRIGHT) == BF_TOPRIGHT;
    for (int i = 0; i < n; ++i) {
        int x = b.Left + i;
        int y = rising ? b.Bottom - 1 - i : b.Top + i;
        ras.Pixel(x + o.X, y + o.Y, p);
    }
}

}  // namespace

bool DrawEdge(HDC dc, TRect& r, unsigned edge, unsigned flags) {
    if (!dc) return false;
    unsigned outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    bool soft = flags & BF_SOFT;
    int outerLT = -1, outerRB = -1, innerLT = -1, innerRB = -1;
    if (flags & BF_MONO) {
        if (outer) outerLT = outerRB = COLOR_WINDOWFRAME;
        if (inner) innerLT = innerRB = COLOR_WINDOW;
    } else if (flags & BF_FLAT) {
        if (outer) outerLT = outerRB = COLOR_BTNSHADOW;
        if (inner) innerLT = innerRB = COLOR_BTNFACE;
    } else {
        if (outer == BDR_RAISEDOUTER) {
            outerLT = soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT;
            outerRB = COLOR_3DDKSHADOW;
        } else if (outer == BDR_SUNKENOUTER) {
            outerLT = soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW;
            outerRB = COLOR_BTNHIGHLIGHT;
        } else if (outer == BDR_OUTER) {
            outerLT = COLOR_BTNSHADOW;  // both bits: the window system mixes them this way
            outerRB = COLOR_3DDKSHADOW;
        }
        if (inner == BDR_RAISEDINNER) {
            innerLT = soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT;
            innerRB = COLOR_BTNSHADOW;
        } else if (inner == BDR_SUNKENINNER) {
            innerLT = soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW;
            innerRB = COLOR_3DLIGHT;
        } else if (inner == BDR_INNER) {
            innerLT = COLOR_3DDKSHADOW;
            innerRB = COLOR_BTNHIGHLIGHT;
        }
    }
    unsigned sides = flags & BF_RECT;
    if (flags & BF_DIAGONAL) {
        DiagonalEdge(dc, r, flags, outer ? outerRB : innerRB >= 0 ? innerRB : COLOR_BTNSHADOW);
        return true;
    }
    TRect work = r;
    int drawn = 0;
    if (outer) {
        EdgeRing(dc, work, sides, outerLT, outerRB);
        Shrink(work, sides);
        ++drawn;
    }
    if (inner) {
        EdgeRing(dc, work, sides, innerLT, innerRB);
        Shrink(work, sides);
        ++drawn;
    }
    if (flags & BF_MIDDLE) Fill(dc, work, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
    if (flags & BF_ADJUST) r = work;
    return true;
}

bool DrawFocusRect(HDC dc, const TRect& r) {
    Raster ras(dc);
    if (!dc) return false;
    if (!ras.Valid() || IsRectEmpty(r)) return true;
    // A checkerboard in the text colour (black bits) and background colour (white bits),
    // combined by exclusive or: drawn twice, the pixels come back.
    Paint p;
    p.pattern = true;
    p.rop2 = R2_XORPEN;
    uint32_t text = SurfacePixel(ras.Surface(), GetTextColor(dc));
    uint32_t back = SurfacePixel(ras.Surface(), GetBkColor(dc));
    for (int i = 0; i < 64; ++i) p.pat[i] = ((i / 8 + i % 8) % 2 == 0) ? back : text;
    p.orgX = dc->Origin().X;
    p.orgY = dc->Origin().Y;
    TRect s = r;
    OffsetRect(s, ras.Offset().X, ras.Offset().Y);
    ras.Span(s.Top, s.Left, s.Right, p);
    if (s.Bottom - 1 > s.Top) ras.Span(s.Bottom - 1, s.Left, s.Right, p);
    for (int y = s.Top + 1; y < s.Bottom - 1; ++y) {
        ras.Pixel(s.Left, y, p);
        if (s.Right - 1 > s.Left) ras.Pixel(s.Right - 1, y, p);
    }
    return true;
}

namespace {

// Rows of '#' drawn in one colour at (x, y).
void Glyph(HDC dc, int x, int y, std::initializer_list<const char*> rows, COLORREF color) {
    int dy = 0;
    for (const char* row : rows) {
        for (int dx = 0; row[dx]; ++dx)
            if (row[dx] == '#') FillColor(dc, {x + dx, y + dy, x + dx + 1, y + dy + 1}, color);
        ++dy;
    }
}

void CheckBox(HDC dc, const TRect& box, unsigned state) {
    bool inactive = state & DFCS_INACTIVE;
    bool grayed = (state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
    TRect r = box;
    if (state & (DFCS_FLAT | DFCS_MONO)) {
        FrameRect(dc, r, GetSysColorBrush((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
        InflateRect(r, -1, -1);
    } else {
        DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    if (grayed) {
        // The indeterminate state: a checkerboard of face and window colour.
        Raster ras(dc);
        if (ras.Valid()) {
            Paint p;
            p.pattern = true;
            for (int i = 0; i < 64; ++i)
                p.pat[i] = SurfacePixel(ras.Surface(), GetSysColor((i / 8 + i % 8) % 2 ? COLOR_WINDOW : COLOR_BTNFACE));
            p.orgX = dc->Origin().X;
            p.orgY = dc->Origin().Y;
            TRect s = r;
            OffsetRect(s, ras.Offset().X, ras.Offset().Y);
            ras.FillRect(s, p);
        }
    } else {
        Fill(dc, r, (state & DFCS_PUSHED) || inactive ? COLOR_BTNFACE : COLOR_WINDOW);
    }
    if (state & DFCS_CHECKED) {
        COLORREF mark = GetSysColor(grayed || inactive ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
        int x = r.Left + (r.Width() - 7) / 2, y = r.Top + (r.Height() - 7) / 2;
        Glyph(dc, x, y, {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."}, mark);
    }
}

void RadioButton(HDC dc, const TRect& box, unsigned state) {
    Raster ras(dc);
    if (!ras.Valid()) return;
    // Rings of the circle, coloured by the half they lie in: light from the bottom right.
    int n = box.Width();
    double c = (n - 1) / 2.0;
    auto inside = [&](int x, int y, double radius) {
        double dx = x - c, dy = y - c;
        return dx * dx + dy * dy <= radius * radius;
    };
    double R = n / 2.0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int color = -1;
            bool upperLeft = x + y < n - 1;
            if (!inside(x, y, R - 0.1)) continue;
            if (!inside(x, y, R - 1.1))
                color = upperLeft ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
            else if (!inside(x, y, R - 2.1))
                color = upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
            else
                color = (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW;
            if ((state & DFCS_CHECKED) && inside(x, y, n / 6.0 + 0.5))
                color = (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
            FillColor(dc, {box.Left + x, box.Top + y, box.Left + x + 1, box.Top + y + 1}, GetSysColor(color));
        }
}

void PushButton(HDC dc, TRect& r, unsigned state) {
    TRect work = r;
    if (state & DFCS_FLAT) {
        DrawEdge(dc, work, (state & DFCS_PUSHED) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        Fill(dc, work, COLOR_BTNFACE);
    } else if (state & DFCS_PUSHED) {
        FrameRect(dc, work, GetSysColorBrush(COLOR_3DDKSHADOW));
        InflateRect(work, -1, -1);
        FrameRect(dc, work, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(work, -1, -1);
        Fill(dc, work, COLOR_BTNFACE);
    } else {
        DrawEdge(dc, work, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
    }
    if (state & DFCS_ADJUSTRECT) r = work;
}

void Arrow(HDC dc, const TRect& r, unsigned kind, bool pushed, bool inactive) {
    int size = std::min(r.Width(), r.Height());
    int width = std::max(3, ((size - 2) / 2) | 1);
    int height = (width + 1) / 2;
    bool horizontal = kind == DFCS_SCROLLLEFT || kind == DFCS_SCROLLRIGHT;
    int boxW = horizontal ? height : width, boxH = horizontal ? width : height;
    int x0 = r.Left + (r.Width() - boxW) / 2 + (pushed ? 1 : 0);
    int y0 = r.Top + (r.Height() - boxH) / 2 + (pushed ? 1 : 0);
    auto draw = [&](int ox, int oy, COLORREF color) {
        for (int i = 0; i < height; ++i) {
            int a = i, b = width - i;  // row i of an upward triangle is [a, b)
            int step = height - 1 - i;
            TRect seg;
            switch (kind) {
                case DFCS_SCROLLUP: seg = {x0 + a, y0 + step, x0 + b, y0 + step + 1}; break;
                case DFCS_SCROLLLEFT: seg = {x0 + step, y0 + a, x0 + step + 1, y0 + b}; break;
                case DFCS_SCROLLRIGHT: seg = {x0 + i, y0 + a, x0 + i + 1, y0 + b}; break;
                default: seg = {x0 + a, y0 + i, x0 + b, y0 + i + 1}; break;
            }
            OffsetRect(seg, ox, oy);
            FillColor(dc, seg, color);
        }
    };
    if (inactive) {
        draw(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        draw(0, 0, GetSysColor(COLOR_BTNSHADOW));
    } else {
        draw(0, 0, GetSysColor(COLOR_BTNTEXT));
    }
}

void SizeGrip(HDC dc, const TRect& r, unsigned state) {
    if (!(state & DFCS_TRANSPARENT)) Fill(dc, r, COLOR_BTNFACE);
    Raster ras(dc);
    if (!ras.Valid()) return;
    int n = std::min(r.Width(), r.Height());
    TPoint o = ras.Offset();
    // Diagonals counted from the bottom-right corner: highlight, shadow, shadow, gap.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int d = (n - 1 - x) + (n - 1 - y);
            if (d >= n - 1) continue;
            int k = (d + 3) % 4;  // d = 1 is the first highlight line
            if (d == 0 || k == 3) continue;
            int color = k == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW;
            ras.Pixel(r.Right - n + x + o.X, r.Bottom - n + y + o.Y, ras.Solid(GetSysColor(color), R2_COPYPEN));
        }
}

}  // namespace

bool DrawFrameControl(HDC dc, TRect& r, unsigned type, unsigned state) {
    if (!dc) return false;
    if (type == DFC_BUTTON) {
        if (state & DFCS_BUTTONPUSH) {
            PushButton(dc, r, state);
            return true;
        }
        int side = std::min(r.Width(), r.Height());
        TRect box{r.Left + (r.Width() - side) / 2, r.Top + (r.Height() - side) / 2, 0, 0};
        box.Right = box.Left + side;
        box.Bottom = box.Top + side;
        if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE))
            RadioButton(dc, box, state);
        else
            CheckBox(dc, box, state);
        return true;
    }
    if (type == DFC_SCROLL) {
        unsigned kind = state & 0xFF;
        if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
            SizeGrip(dc, r, state);
            return true;
        }
        bool pushed = state & DFCS_PUSHED;
        TRect face = r;
        if (state & DFCS_FLAT) {
            FrameRect(dc, face, GetSysColorBrush(COLOR_BTNSHADOW));
            InflateRect(face, -1, -1);
            Fill(dc, face, COLOR_BTNFACE);
        } else if (pushed) {
            FrameRect(dc, face, GetSysColorBrush(COLOR_BTNSHADOW));
            InflateRect(face, -1, -1);
            Fill(dc, face, COLOR_BTNFACE);
        } else {
            DrawEdge(dc, face, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        }
        unsigned arrow = kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : kind;
        Arrow(dc, r, arrow, pushed, state & DFCS_INACTIVE);
        return true;
    }
    return false;
}
