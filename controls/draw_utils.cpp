#include "controls/draw_utils.h"

#include <algorithm>

namespace {

// A memory context with a bitmap of its own, released on leaving the scope.
class WorkBitmap {
public:
    WorkBitmap(int w, int h, bool mono = false)
        : bitmap_(CreateBitmap(std::max(w, 0), std::max(h, 0), 1, mono ? 1 : 32, nullptr)),
          dc_(CreateCompatibleDC(nullptr)),
          old_(SelectObject(dc_, bitmap_)) {}
    ~WorkBitmap() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    WorkBitmap(const WorkBitmap&) = delete;
    WorkBitmap& operator=(const WorkBitmap&) = delete;
    HDC DC() const { return dc_; }

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace

HBRUSH DitherBrush() {
    static HBRUSH brush = [] {
        uint8_t rows[16];
        for (int y = 0; y < 8; ++y) {
            rows[y * 2] = static_cast<uint8_t>(y % 2 == 0 ? 0x55 : 0xAA);  // white where x + y is odd
            rows[y * 2 + 1] = 0;
        }
        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
        HBRUSH b = CreatePatternBrush(pattern);
        DeleteObject(pattern);
        b->stock = true;  // shared for the program's life
        return b;
    }();
    return brush;
}

void EnsureBitmapSize(TGraphic* Graphic, int Width, int Height) {
    if (!Graphic) return;
    if (Graphic->Width() < Width) Graphic->SetWidth(Width);
    if (Graphic->Height() < Height) Graphic->SetHeight(Height);
}

void FillDitheredRect(HDC DC, const TRect& Rect, TColor Color) {
    int w = Rect.Width(), h = Rect.Height();
    if (w <= 0 || h <= 0) return;
    WorkBitmap work(w, h);
    // The work bitmap's checkerboard must line up with the one the context's brush lays
    // on the screen, or odd rectangles would mix both colours into every pixel.
    TPoint device = Rect.TopLeft();
    LPtoDP(DC, &device, 1);
    TPoint org;
    GetBrushOrgEx(DC, &org);
    SetBrushOrgEx(work.DC(), org.X - device.X, org.Y - device.Y, nullptr);
    BitBlt(work.DC(), 0, 0, w, h, DC, Rect.Left, Rect.Top, SRCCOPY);
    HGDIOBJ old = SelectObject(work.DC(), DitherBrush());
    SetTextColor(work.DC(), RGB(0, 0, 0));
    SetBkColor(work.DC(), RGB(255, 255, 255));
    PatBlt(work.DC(), 0, 0, w, h, 0x00A000C9);  // PATAND: black squares cleared
    SelectObject(work.DC(), old);
    COLORREF oldText = SetTextColor(DC, ColorToRGB(Color));
    COLORREF oldBk = SetBkColor(DC, RGB(0, 0, 0));
    FillRect(DC, Rect, DitherBrush());
    SetTextColor(DC, oldText);
    SetBkColor(DC, oldBk);
    BitBlt(DC, Rect.Left, Rect.Top, w, h, work.DC(), 0, 0, SRCPAINT);
}

void DrawBitmapOnBrush(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty()) return;
    int w = Bitmap->Width(), h = Bitmap->Height();
    HDC src = Bitmap->Canvas()->Handle();
    WorkBitmap mask(w, h, true);
    COLORREF oldBk = SetBkColor(src, ColorToRGB(Bitmap->TransparentColor()));
    BitBlt(mask.DC(), 0, 0, w, h, src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
    WorkBitmap copy(w, h);
    BitBlt(copy.DC(), 0, 0, w, h, src, 0, 0, SRCCOPY);
    HGDIOBJ old = SelectObject(copy.DC(), Brush);
    SetTextColor(copy.DC(), RGB(0, 0, 0));
    SetBkColor(copy.DC(), RGB(255, 255, 255));
    BitBlt(copy.DC(), 0, 0, w, h, mask.DC(), 0, 0, 0x00E20746);
    SelectObject(copy.DC(), old);
    BitBlt(DC, Rect.Left, Rect.Top, std::min(w, Rect.Width()), std::min(h, Rect.Height()), copy.DC(), 0, 0, SRCCOPY);
}

void DrawGlyphInRect(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap, const TRect& GlyphRect) {
    int w = Rect.Width(), h = Rect.Height();
    if (w <= 0 || h <= 0) return;
    WorkBitmap work(w, h);
    FillRect(work.DC(), TRect{0, 0, w, h}, Brush);
    TRect glyph = GlyphRect;
    OffsetRect(glyph, -Rect.Left, -Rect.Top);
    DrawBitmapOnBrush(work.DC(), Brush, glyph, Bitmap);
    BitBlt(DC, Rect.Left, Rect.Top, w, h, work.DC(), 0, 0, SRCCOPY);
}

int DrawTextInRect(HDC DC, std::string_view Text, int* Height, COLORREF TextColor, COLORREF BkColor, HFONT Font,
                   HBRUSH Brush, unsigned Flags, TRect TextRect, TRect FillRect) {
    HGDIOBJ oldFont = Font ? SelectObject(DC, Font) : nullptr;
    COLORREF oldBk = SetBkColor(DC, BkColor);
    COLORREF oldText = SetTextColor(DC, TextColor);
    int oldMode = GetBkMode(DC);
    struct Restore {
        HDC dc;
        HGDIOBJ font;
        COLORREF bk, text;
        int mode;
        ~Restore() {
            if (font) SelectObject(dc, font);
            SetBkColor(dc, bk);
            SetTextColor(dc, text);
            SetBkMode(dc, mode);
        }
    } restore{DC, oldFont, oldBk, oldText, oldMode};

    TSize extent;
    GetTextExtentPoint32(DC, Text, &extent);
    bool measure = Flags & vxdtMeasure;
    if (measure && Height) {
        *Height = extent.cy;
        if (extent.cx == 0 || extent.cy == 0) return 0;
    }
    const TRect textIn = TextRect, fillIn = FillRect;
    unsigned vertical = Flags & 0x1C;
    unsigned align = Flags & 3;
    bool wider = extent.cx > TextRect.Width();
    bool lineBreaks = Text.find_first_of("\r\n") != std::string_view::npos;
    bool multiLine = (Flags & (vxdtPrefix | vxdtWordWrap)) ||
                     ((Flags & (vxdtEndEllipsis | vxdtPathEllipsis | vxdtWordWrap)) && (wider || lineBreaks));
    int textHeight = extent.cy;
    TRect bounds = TextRect;
    if (multiLine) {
        unsigned format = (align == 1 ? DT_CENTER : align == 2 ? DT_RIGHT : DT_LEFT) | DT_EXPANDTABS;
        if (!wider) format |= DT_NOCLIP;
        if (!(Flags & vxdtPrefix)) format |= DT_NOPREFIX;
        if (Flags & vxdtEndEllipsis) format |= DT_END_ELLIPSIS;
        if (Flags & vxdtPathEllipsis) format |= DT_PATH_ELLIPSIS;
        if (vertical == vxdtVCenter)
            format |= DT_VCENTER | DT_SINGLELINE;
        else if (vertical == vxdtBottom)
            format |= DT_BOTTOM | DT_SINGLELINE;
        else if (vertical == vxdtWordWrap)
            format |= DT_WORDBREAK;
        else
            format |= DT_SINGLELINE;
        if (measure) {
            TRect r = TextRect;
            textHeight = DrawText(DC, Text, r, format | DT_CALCRECT);
            if (Height) *Height = textHeight;
        } else {
            if (!(Flags & vxdtNoFill)) ::FillRect(DC, FillRect, Brush);
            if (!(Flags & vxdtKeepBkMode)) SetBkMode(DC, TRANSPARENT);
            DrawText(DC, Text, TextRect, format);
            if ((Flags & vxdtFocusRect) && (Flags & vxdtFocusTextOnly)) {
                DrawText(DC, Text, bounds, format | DT_CALCRECT);
                if (vertical != vxdtWordWrap) bounds.Top = bounds.Bottom - extent.cy;
            }
        }
    } else {
        if (wider) {
            if (!(Flags & vxdtNoFill) && !measure)
                ::FillRect(DC, TRect{TextRect.Right, FillRect.Top, FillRect.Right, FillRect.Bottom}, Brush);
            FillRect.Right = TextRect.Right;
        } else {
            if (align == 1)
                TextRect.Left = (TextRect.Left + TextRect.Right - extent.cx) / 2;
            else if (align == 2)
                TextRect.Left = TextRect.Right - extent.cx;
            TextRect.Right = TextRect.Left + extent.cx;
        }
        if (vertical == vxdtVCenter)
            TextRect.Top = (TextRect.Top + TextRect.Bottom - extent.cy) / 2;
        else if (vertical == vxdtBottom)
            TextRect.Top = TextRect.Bottom - extent.cy;
        if (!measure) {
            if (!(Flags & vxdtNoFill)) {
                ExtTextOut(DC, TextRect.Left, TextRect.Top, ETO_CLIPPED | ETO_OPAQUE, &FillRect, Text);
            } else {
                if (!(Flags & vxdtKeepBkMode)) SetBkMode(DC, TRANSPARENT);
                ExtTextOut(DC, TextRect.Left, TextRect.Top, ETO_CLIPPED, &FillRect, Text);
            }
        }
        bounds = {TextRect.Left, TextRect.Top, TextRect.Left + std::min(extent.cx, TextRect.Width()),
                  TextRect.Top + extent.cy};
    }
    if (measure) return fillIn.Height() - textIn.Height() + textHeight;
    if (Flags & vxdtFocusRect) {
        bool textOnly = Flags & vxdtFocusTextOnly;
        if (!(textOnly && Text.empty())) {
            TRect focus = textOnly ? bounds : TextRect;
            InflateRect(focus, 1, 1);
            SetTextColor(DC, RGB(0, 0, 0));
            SetBkColor(DC, RGB(255, 255, 255));
            DrawFocusRect(DC, focus);
        }
    }
    return 0;
}

void GetWorkArea(TPoint P, TRect& Rect) {
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Rect, 0);
    MONITORINFO info;
    info.cbSize = 40;
    if (GetMonitorInfo(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), &info)) Rect = info.rcWork;
}

void AdjustPopupPosition(TPoint& P, int& Width, int Height, int OwnerHeight) {
    TRect wa;
    GetWorkArea(P, wa);
    Width = std::min(Width, wa.Width());
    if (P.X + Width > wa.Right) P.X = wa.Right - Width;
    if (P.X < wa.Left) P.X = wa.Left;
    if (P.Y + Height > wa.Bottom) {
        int below = wa.Bottom - (P.Y + OwnerHeight);
        int above = P.Y - wa.Top;
        if (below < above) P.Y = P.Y - (Height + OwnerHeight);
    }
}

COLORREF GetImageListColor(TColor Color) {
    if (Color == clNone) return CLR_NONE;
    if (Color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(Color);
}

void DrawImageListImage(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index) {
    if (!ImageList || !ImageList->HandleAllocated()) return;
    static const unsigned styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    unsigned style = styles[ImageList->DrawingStyle()];
    if (ImageList->ImageType() == itMask) style |= ILD_MASK;
    ImageList_DrawEx(ImageList->Handle(), Index, DC, X, Y, 0, 0, GetImageListColor(ImageList->BkColor()),
                     GetImageListColor(ImageList->BlendColor()), style);
}

void FillShadowStrips(HDC DC, const TRect& Rect, int Size, HBRUSH Brush) {
    FillRect(DC, TRect{Rect.Left, Rect.Bottom - Size, Rect.Right, Rect.Bottom}, Brush);
    FillRect(DC, TRect{Rect.Right - Size, Rect.Top, Rect.Right, Rect.Bottom}, Brush);
}

void DrawSizeGrip(HDC DC, const TRect& Rect, int Corner) {
    int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
    bool left = Corner == 0 || Corner == 2;
    bool top = Corner == 0 || Corner == 1;
    TRect square{left ? Rect.Left : Rect.Right - w, top ? Rect.Top : Rect.Bottom - h, 0, 0};
    square.Right = square.Left + w;
    square.Bottom = square.Top + h;
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    // The outer 2-pixel strips are plain face; the grip fills what is left.
    if (left) {
        FillRect(DC, TRect{square.Left, square.Top, square.Left + 2, square.Bottom}, face);
        square.Left += 2;
    } else {
        FillRect(DC, TRect{square.Right - 2, square.Top, square.Right, square.Bottom}, face);
        square.Right -= 2;
    }
    if (top) {
        FillRect(DC, TRect{square.Left, square.Top, square.Right, square.Top + 2}, face);
        square.Top += 2;
    } else {
        FillRect(DC, TRect{square.Left, square.Bottom - 2, square.Right, square.Bottom}, face);
        square.Bottom -= 2;
    }
    int gw = square.Width(), gh = square.Height();
    WorkBitmap work(gw, gh);
    TRect grip{0, 0, gw, gh};
    DrawFrameControl(work.DC(), grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    StretchBlt(DC, left ? square.Right : square.Left, top ? square.Bottom : square.Top, left ? -gw : gw, top ? -gh : gh,
               work.DC(), 0, 0, gw, gh, SRCCOPY);
}

void FillTriangle(HDC DC, const TPoint (&Points)[3], COLORREF Color) {
    HPEN pen = CreatePen(PS_SOLID, 1, Color);
    HBRUSH brush = CreateSolidBrush(Color);
    HGDIOBJ oldPen = SelectObject(DC, pen);
    HGDIOBJ oldBrush = SelectObject(DC, brush);
    Polygon(DC, Points, 3);
    SelectObject(DC, oldPen);
    SelectObject(DC, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}
