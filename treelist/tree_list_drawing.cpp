#include "treelist/tree_list_drawing.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "controls/draw_utils.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/image_list.h"
#include "platform/gdi/text.h"
#include "treelist/tree_list_unit.h"

namespace {

// Start of a picture of Size centred between A and B.
int Centered(int A, int B, int Size) { return (A + B - Size + 1) / 2; }

void Fill(HDC DC, int Left, int Top, int Right, int Bottom, int SysColor) {
    FillRect(DC, TRect{Left, Top, Right, Bottom}, GetSysColorBrush(SysColor));
}

// The context's font and text colour moved onto a work bitmap's context for one drawing.
class TWorkContext {
public:
    TWorkContext(HDC Source, TBitmap* Work, int Width, int Height) {
        EnsureBitmapSize(Work, Width, Height);
        dc_ = Work->Canvas()->Handle();
        oldFont_ = SelectObject(dc_, GetCurrentObject(Source, OBJ_FONT));
        oldText_ = SetTextColor(dc_, GetTextColor(Source));
        oldMode_ = GetBkMode(dc_);
    }
    ~TWorkContext() {
        SelectObject(dc_, oldFont_);
        SetTextColor(dc_, oldText_);
        SetBkMode(dc_, oldMode_);
    }
    TWorkContext(const TWorkContext&) = delete;
    TWorkContext& operator=(const TWorkContext&) = delete;
    HDC DC() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
    COLORREF oldText_ = 0;
    int oldMode_ = OPAQUE;
};

unsigned AlignmentFlag(TAlignment Alignment) {
    switch (Alignment) {
        case taRightJustify: return DT_RIGHT;
        case taCenter: return DT_CENTER;
        default: return DT_LEFT;
    }
}

// The indicator pictures: '#' is black, '.' white (transparent).
constexpr int kIndicatorWidth = 8;
constexpr int kIndicatorHeight = 9;
constexpr std::array<const char*, 5> kIndicatorPictures = {
    // arrow
    "........"
    ".#......"
    ".##....."
    ".###...."
    ".####..."
    ".###...."
    ".##....."
    ".#......"
    "........",
    // edit
    ".######."
    "...##..."
    "...##..."
    "...##..."
    "...##..."
    "...##..."
    "...##..."
    "...##..."
    ".######.",
    // insert
    "........"
    "...#...."
    ".#.#.#.."
    "..###..."
    ".#####.."
    "..###..."
    ".#.#.#.."
    "...#...."
    "........",
    // multi-select dot
    "........"
    "........"
    "........"
    "..###..."
    "..###..."
    "..###..."
    "........"
    "........"
    "........",
    // multi-select arrow
    ".#......"
    ".##....."
    ".###...."
    ".####..."
    ".###.##."
    ".##..##."
    ".#......"
    "........"
    "........",
};

}  // namespace

std::unique_ptr<TCustomImageList> MakeTreeListIndicatorImages() {
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetWidth(kIndicatorWidth);
    list->SetHeight(kIndicatorHeight);
    for (const char* picture : kIndicatorPictures) {
        TBitmap bitmap(kIndicatorWidth, kIndicatorHeight);
        for (int y = 0; y < kIndicatorHeight; ++y)
            for (int x = 0; x < kIndicatorWidth; ++x)
                bitmap.SetPixel(x, y, picture[y * kIndicatorWidth + x] == '#' ? RGB(0, 0, 0) : RGB(255, 255, 255));
        list->AddMasked(&bitmap, clWhite);
    }
    return list;
}

void DrawTreeButton(HDC DC, const TRect& Rect, int CenterY, bool Collapsed) {
    const int left = (Rect.Left + Rect.Right - 9) / 2;
    const int top = CenterY - 4;
    const TRect box{left, top, left + 9, top + 9};
    FrameRect(DC, box, GetSysColorBrush(COLOR_GRAYTEXT));
    Fill(DC, box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1, COLOR_WINDOW);
    Fill(DC, box.Left + 2, box.Top + 4, box.Right - 2, box.Top + 5, COLOR_WINDOWTEXT);
    if (Collapsed) Fill(DC, box.Left + 4, box.Top + 2, box.Left + 5, box.Bottom - 2, COLOR_WINDOWTEXT);
}

void DrawButtonGlyph(HDC DC, const TRect& Rect, bool Collapsed) {
    TBitmap* glyph = TreeListExpandButton(Collapsed);
    if (!glyph) return;
    const int x = Centered(Rect.Left, Rect.Right, glyph->Width());
    const int y = Centered(Rect.Top, Rect.Bottom, glyph->Height());
    BitBlt(DC, x, y, glyph->Width(), glyph->Height(), glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawFlatTreeButton(HDC DC, const TRect& Rect, bool Collapsed) {
    const int left = Centered(Rect.Left, Rect.Right, 11);
    const int top = Centered(Rect.Top, Rect.Bottom, 11);
    TRect shadow{left + 1, top + 1, left + 12, top + 12};
    DrawEdge(DC, shadow, BDR_RAISEDINNER, BF_RECT | BF_FLAT);
    const TRect box{left, top, left + 11, top + 11};
    FrameRect(DC, box, GetSysColorBrush(COLOR_WINDOWFRAME));
    Fill(DC, left + 1, top + 1, left + 10, top + 10, COLOR_WINDOW);
    Fill(DC, left + 3, top + 5, left + 8, top + 6, COLOR_WINDOWFRAME);
    if (Collapsed) Fill(DC, left + 5, top + 3, left + 6, top + 8, COLOR_WINDOWFRAME);
}

void DrawImageCentered(HDC DC, const TRect& Rect, TCustomImageList* ImageList, int Index) {
    if (!ImageList || Index < 0 || Index >= ImageList->Count()) return;
    ImageList_Draw(ImageList->Handle(), Index, DC, Centered(Rect.Left, Rect.Right, ImageList->Width()),
                   Centered(Rect.Top, Rect.Bottom, ImageList->Height()), 0);
}

void DrawGraphicCentered(HDC DC, const TRect& Rect, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    TCanvas canvas;
    canvas.SetHandle(DC);
    const int x = Centered(Rect.Left, Rect.Right, Graphic->Width());
    const int y = Centered(Rect.Top, Rect.Bottom, Graphic->Height());
    canvas.Draw(x, y, Graphic);
    canvas.SetHandle(nullptr);
}

void DrawSortMark(HDC DC, const TRect& Rect, bool Up) {
    constexpr int w = 8;
    constexpr int h = 7;
    const int l = Centered(Rect.Left, Rect.Right, w);
    const int t = Centered(Rect.Top, Rect.Bottom, h);
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ old = SelectObject(DC, shadow);
    if (Up) {
        // Apex at the top: left side dark, right side and base light.
        MoveToEx(DC, l + w / 2 - 1, t, nullptr);
        LineTo(DC, l, t + h - 1);
        SelectObject(DC, light);
        LineTo(DC, l + w - 1, t + h - 1);
        LineTo(DC, l + w / 2, t);
        LineTo(DC, l + w / 2 - 1, t);
    } else {
        // Apex at the bottom: base and left side dark, right side light.
        MoveToEx(DC, l + w - 1, t, nullptr);
        LineTo(DC, l, t);
        LineTo(DC, l + w / 2 - 1, t + h - 1);
        SelectObject(DC, light);
        MoveToEx(DC, l + w / 2, t + h - 1, nullptr);
        LineTo(DC, l + w - 1, t);
        LineTo(DC, l + w - 1, t - 1);
    }
    SelectObject(DC, old);
    DeleteObject(shadow);
    DeleteObject(light);
}

void DrawHeaderFrame(HDC DC, TRect& Rect, HBRUSH Brush, TvxLookAndFeel Look, int EdgeFlags, bool Pressed) {
    if (Look == lfStandard) {
        DrawEdge(DC, Rect, BDR_RAISEDOUTER, BF_BOTTOMRIGHT | BF_ADJUST);
        if (!Pressed)
            DrawEdge(DC, Rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        else
            DrawEdge(DC, Rect, BDR_SUNKENOUTER, BF_TOPLEFT | BF_ADJUST);
        FillRect(DC, Rect, Brush);
        return;
    }
    if (EdgeFlags != 0) {
        FillRect(DC, Rect, Brush);
        const unsigned horizontal = Look == lfUltraFlat ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
        const unsigned style = Look == lfUltraFlat ? BF_FLAT : 0;
        TRect edge = Rect;
        DrawEdge(DC, edge, horizontal, BF_TOP | BF_BOTTOM | style);
        if (Look == lfFlat) {
            TRect left = (EdgeFlags & 1) ? TRect{Rect.Left, Rect.Top + 2, Rect.Right, Rect.Bottom - 2}
                                         : TRect{Rect.Left, Rect.Top + 1, Rect.Right, Rect.Bottom - 1};
            DrawEdge(DC, left, BDR_RAISEDINNER, BF_LEFT);
        }
        TRect right = (EdgeFlags & 2) ? TRect{Rect.Left, Rect.Top + 2, Rect.Right, Rect.Bottom - 2}
                                      : TRect{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom - 1};
        DrawEdge(DC, right, BDR_RAISEDINNER, BF_RIGHT | style);
        Rect = TRect{Rect.Left + 2, Rect.Top + 1, Rect.Right - 2, Rect.Bottom - 1};
        return;
    }
    if (Look == lfUltraFlat) {
        FrameRect(DC, Rect, GetSysColorBrush(COLOR_BTNSHADOW));
        Rect = TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    } else {
        DrawEdge(DC, Rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    }
    FillRect(DC, Rect, Brush);
    Rect.Left += 1;
    Rect.Right -= 1;
}

void DrawHeaderFrameInv(HDC DC, TRect& Rect, HBRUSH Brush, TvxLookAndFeel Look, int EdgeFlags, bool Pressed) {
    const TRect whole = Rect;
    DrawHeaderFrame(DC, Rect, Brush, Look, EdgeFlags, Pressed);
    if (Look != lfStandard && Pressed) InvertRect(DC, whole);
}

void DrawFilterButton(HDC DC, const TRect& Rect, int State) {
    FrameRect(DC, Rect, GetSysColorBrush(COLOR_BTNSHADOW));
    const TRect face{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    const int faceColor = (State & 4) ? COLOR_BTNTEXT : (State & 2) ? COLOR_BTNSHADOW : COLOR_BTNFACE;
    FillRect(DC, face, GetSysColorBrush(faceColor));
    const COLORREF arrow = (State & 6)   ? GetSysColor(COLOR_WINDOW)
                           : (State & 8) ? RGB(0, 0, 255)
                                         : GetSysColor(COLOR_BTNTEXT);
    // A triangle 7 wide and 4 high, its rows shrinking by one pixel on each side.
    const int left = Centered(face.Left, face.Right, 7);
    const int top = Centered(face.Top, face.Bottom, 4);
    HBRUSH brush = CreateSolidBrush(arrow);
    for (int i = 0; i < 4; ++i) FillRect(DC, TRect{left + i, top + i, left + 7 - i, top + i + 1}, brush);
    DeleteObject(brush);
}

void DrawHeaderCell(HDC DC, const TRect& Rect, HBRUSH Brush, const TvxHeaderCellLook& Cell, std::string_view Text) {
    TRect r = Rect;
    DrawHeaderFrame(DC, r, Brush, Cell.Look, Cell.EdgeFlags, Cell.Pressed);
    const bool standardPressed = Cell.Look == lfStandard && Cell.Pressed;
    if (standardPressed) {
        r.Left += 3;
        r.Top += 3;
    } else {
        r.Left += 1;
        r.Top += 1;
    }
    r.Right -= 1;
    r.Bottom -= 1;
    if (Cell.FilterState != 0 && r.Width() >= 15) {
        DrawFilterButton(DC, TRect{r.Right - 15, r.Top, r.Right, r.Bottom}, Cell.FilterState);
        r.Right -= 15;
    }
    if (Cell.Sorted != 0 && r.Width() >= 16) {
        DrawSortMark(DC, TRect{r.Right - 16, r.Top, r.Right, r.Bottom}, Cell.Sorted == 2);
        r.Right -= 16;
    }
    if (Cell.Glyph && !Cell.Glyph->Empty() && r.Width() > 0) {
        TRect g{r.Left - 1, r.Top - 1, r.Left + Cell.Glyph->Width(), r.Bottom + (standardPressed ? 1 : 2)};
        if (Cell.Look != lfStandard) {
            g.Left -= 1;
            g.Right -= 1;
        }
        const int limit = Cell.Look != lfStandard ? 2 : Cell.Pressed ? 0 : 1;
        g.Right = std::min(g.Right, r.Right + limit);
        if (g.Right > g.Left) DrawBitmapOnBrush(DC, Brush, g, Cell.Glyph);
        r.Left = g.Right;
    }
    SetBkMode(DC, TRANSPARENT);
    unsigned flags = Cell.MultiLine ? 0x850u : 0x8864u;
    flags |= AlignmentFlag(Cell.Alignment);
    if (!Cell.MultiLine && TextPixelWidth(DC, Text) <= r.Width()) flags |= DT_NOCLIP;
    if (r.Width() > 0) DrawText(DC, Text, r, flags);
}

void DrawBufferedHeaderCell(HDC DC, const TRect& FullRect, const TRect& VisibleRect, const TvxHeaderCellLook& Cell,
                            std::string_view Text, TBitmap* WorkBitmap, HBRUSH Brush) {
    const int w = FullRect.Width();
    const int h = FullRect.Height();
    if (w <= 0 || h <= 0) return;
    TWorkContext work(DC, WorkBitmap, w, h);
    const TRect cell{0, 0, w, h};
    DrawHeaderCell(work.DC(), cell, Brush, Cell, Text);
    if (Cell.Look != lfStandard && Cell.Pressed) InvertRect(work.DC(), cell);
    BitBlt(DC, VisibleRect.Left, VisibleRect.Top, VisibleRect.Width(), VisibleRect.Height(), work.DC(),
           VisibleRect.Left - FullRect.Left, VisibleRect.Top - FullRect.Top, SRCCOPY);
}

void DrawIndicatorCell(HDC DC, const TRect& FullRect, const TRect& VisibleRect, TvxLookAndFeel Look, int Kind,
                       TBitmap* WorkBitmap, HBRUSH Brush) {
    const int w = FullRect.Width();
    const int h = FullRect.Height();
    if (w <= 0 || h <= 0) return;
    TWorkContext work(DC, WorkBitmap, w, h);
    TRect r{0, 0, w, h};
    if (Look == lfUltraFlat) {
        DrawEdge(work.DC(), r, BDR_SUNKENOUTER, BF_BOTTOMRIGHT | BF_FLAT | BF_ADJUST);
        FillRect(work.DC(), r, Brush);
        r.Left += 1;
        r.Right -= 1;
    } else {
        DrawHeaderFrame(work.DC(), r, Brush, Look, 0, false);
    }
    TCustomImageList* images = TreeListIndicatorImages();
    if (Kind > 0 && images && Kind - 1 < images->Count())
        ImageList_Draw(images->Handle(), Kind - 1, work.DC(), (r.Left + r.Right - images->Width()) / 2,
                       (r.Top + r.Bottom - images->Height()) / 2, 0);
    BitBlt(DC, VisibleRect.Left, VisibleRect.Top, VisibleRect.Width(), VisibleRect.Height(), work.DC(),
           VisibleRect.Left - FullRect.Left, VisibleRect.Top - FullRect.Top, SRCCOPY);
}

void DrawCellText(HDC DC, const TRect& Rect, const TvxCellTextLook& Look, std::string_view Text, TBitmap* WorkBitmap) {
    const COLORREF rgb = ColorToRGB(Look.Color);
    const bool direct = (Look.Mode == 0 && !Look.MultiLine && !Look.EndEllipsis && GetNearestColor(DC, rgb) == rgb) ||
                        Look.Mode != 0;
    if (direct) {
        const int rightStrip = 2;
        const int leftStrip = Look.Alignment == taLeftJustify ? 0 : 2;
        const int remaining = Rect.Width() - rightStrip - leftStrip;
        const int textWidth = TextPixelWidth(DC, Text);
        int x = 2;
        if (Look.Alignment == taRightJustify) x = leftStrip + remaining - textWidth;
        if (Look.Alignment == taCenter) x = leftStrip + remaining / 2 - textWidth / 2;
        const int y = Rect.Top + (Look.ExtraTop ? 2 : 1);
        if (Look.Mode != 0) SetBkMode(DC, OPAQUE);
        const TRect inner{Rect.Left + leftStrip, Rect.Top, Rect.Right - rightStrip, Rect.Bottom};
        const unsigned options = ETO_CLIPPED | (Look.Mode == 1 ? 0u : ETO_OPAQUE);
        ExtTextOut(DC, Rect.Left + x, y, options, &inner, Text);
        if (Look.Mode == 1) return;
        FillRect(DC, TRect{Rect.Right - rightStrip, Rect.Top, Rect.Right, Rect.Bottom}, Look.Brush);
        if (leftStrip) FillRect(DC, TRect{Rect.Left, Rect.Top, Rect.Left + leftStrip, Rect.Bottom}, Look.Brush);
        return;
    }
    unsigned flags = Look.MultiLine ? 0x850u : 0x864u;
    if (Look.EndEllipsis) flags |= DT_END_ELLIPSIS;
    flags |= AlignmentFlag(Look.Alignment);
    auto draw = [&](HDC dc, TRect r) {
        FillRect(dc, r, Look.Brush);
        SetBkMode(dc, TRANSPARENT);
        r = TRect{r.Left + 2, r.Top + (Look.ExtraTop ? 2 : 1), r.Right - 2, r.Bottom - (Look.ExtraTop ? 2 : 1)};
        DrawText(dc, Text, r, flags);
    };
    if (Look.Buffered && WorkBitmap && Rect.Width() > 0 && Rect.Height() > 0) {
        TWorkContext work(DC, WorkBitmap, Rect.Width(), Rect.Height());
        draw(work.DC(), TRect{0, 0, Rect.Width(), Rect.Height()});
        BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), work.DC(), 0, 0, SRCCOPY);
    } else {
        draw(DC, Rect);
    }
}

void DrawPreviewText(HDC DC, const TRect& Rect, bool Buffered, HBRUSH Brush, int Indent, std::string_view Text,
                     TColor Color, TFont* Font, TBitmap* WorkBitmap) {
    auto draw = [&](HDC dc, TRect r) {
        FillRect(dc, r, Brush);
        SetBkMode(dc, TRANSPARENT);
        r = TRect{r.Left + 1 + Indent, r.Top + 1, r.Right - 1, r.Bottom - 1};
        SetTextColor(dc, ColorToRGB(Color));
        HGDIOBJ old = Font ? SelectObject(dc, Font->Handle()) : nullptr;
        DrawText(dc, Text, r, 0x8850);
        if (Font) SelectObject(dc, old);
    };
    if (Buffered && WorkBitmap && Rect.Width() > 0 && Rect.Height() > 0) {
        TWorkContext work(DC, WorkBitmap, Rect.Width(), Rect.Height());
        draw(work.DC(), TRect{0, 0, Rect.Width(), Rect.Height()});
        BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), work.DC(), 0, 0, SRCCOPY);
    } else {
        draw(DC, Rect);
    }
}

void DrawFocusRectBW(HDC DC, const TRect& Rect) {
    const COLORREF bk = SetBkColor(DC, RGB(0, 0, 0));
    const COLORREF text = SetTextColor(DC, RGB(255, 255, 255));
    DrawFocusRect(DC, Rect);
    SetBkColor(DC, bk);
    SetTextColor(DC, text);
}

void InvertFrame(HDC DC, const TRect& Rect) {
    if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
    InvertRect(DC, TRect{Rect.Left, Rect.Top, Rect.Right, Rect.Top + 1});
    if (Rect.Height() <= 1) return;
    InvertRect(DC, TRect{Rect.Right - 1, Rect.Top + 1, Rect.Right, Rect.Bottom});
    if (Rect.Width() > 1) InvertRect(DC, TRect{Rect.Left, Rect.Top + 1, Rect.Left + 1, Rect.Bottom});
    if (Rect.Width() > 2) InvertRect(DC, TRect{Rect.Left + 1, Rect.Bottom - 1, Rect.Right - 1, Rect.Bottom});
}

int CalcTextLineCount(TFont* Font, std::string_view Text, int Width, int Indent, int LineHeight, int MaxLines,
                      bool TallMargin, int& Height) {
    if (Text.empty() || MaxLines == 0) return 0;
    HDC dc = TreeListScreenDC();
    if (!dc) return 0;
    HGDIOBJ old = Font ? SelectObject(dc, Font->Handle()) : nullptr;
    const int margin = TallMargin ? 2 : 1;
    TRect r{2, margin, Width - Indent - 2, LineHeight - margin};
    Height = DrawText(dc, Text, r, 0xC50);
    int unit = LineHeight;
    if (unit == 0) {
        TSize size;
        GetTextExtentPoint32(dc, "Wg", &size);
        unit = std::max(1, size.cy);
    }
    if (Font) SelectObject(dc, old);
    int count = Height / unit;
    if (MaxLines != -1 && count > MaxLines) {
        count = MaxLines;
        Height = MaxLines * unit;
    }
    Height += 3;
    return count;
}
