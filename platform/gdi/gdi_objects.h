#pragma once
// The window system's drawing objects behind handles: brushes, pens, fonts, bitmaps and
// regions. A handle is a pointer to the object; DeleteObject frees it. An object still
// selected into a device context is freed when the last context lets go of it, so a
// caller that deletes too early never leaves a context pointing at freed memory.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/color.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/region.h"

enum class GdiKind { Brush, Pen, Font, Bitmap, Region };

// Objects of a kind that exist now (made and not yet freed, stock objects included); tests
// compare it before and after a piece of drawing to find leaks.
int GdiLiveObjects(GdiKind kind);
void GdiCountObject(GdiKind kind, int delta);

struct GdiObject {
    explicit GdiObject(GdiKind k) : kind(k) { GdiCountObject(k, 1); }
    virtual ~GdiObject() { GdiCountObject(kind, -1); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiKind kind;
    bool stock = false;          // never freed
    int selections = 0;          // contexts (and saved context states) that hold it
    bool deletePending = false;  // DeleteObject came while it was still selected
};

// Brush styles and hatch styles.
constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;
constexpr int BS_HOLLOW = BS_NULL;
constexpr int BS_HATCHED = 2;
constexpr int BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

struct GdiBitmap;

struct GdiBrush : GdiObject {
    GdiBrush() : GdiObject(GdiKind::Brush) {}
    int style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    // 8x8 pattern of a pattern brush, row by row, as pixels (0x00RRGGBB).
    std::vector<uint32_t> pattern;
    // A pattern from a monochrome bitmap takes the context's text colour for its black
    // and the background colour for its white pixels at drawing time.
    bool monoPattern = false;
};

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_ALTERNATE = 8;
constexpr int PS_STYLE_MASK = 0x0F;

struct GdiPen : GdiObject {
    GdiPen() : GdiObject(GdiKind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

constexpr int LF_FACESIZE = 32;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

struct LOGFONT {
    int lfHeight = 0;  // < 0: character height in pixels; > 0: cell height; 0: default
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = FW_NORMAL;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 1;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    std::string lfFaceName;
};

struct GdiFont : GdiObject {
    GdiFont() : GdiObject(GdiKind::Font) {}
    LOGFONT log;
};

// A bitmap's pixels are 0x00RRGGBB, rows top to bottom. A monochrome bitmap holds only
// black (0) and white (0xFFFFFF) and converts colours as the window system does in blits.
struct GdiBitmap : GdiObject {
    GdiBitmap() : GdiObject(GdiKind::Bitmap) {}
    int width = 0;
    int height = 0;
    bool monochrome = false;
    std::vector<uint32_t> pixels;
    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
};

struct GdiRegion : GdiObject {
    GdiRegion() : GdiObject(GdiKind::Region) {}
    Region region;
};

using HGDIOBJ = GdiObject*;
using HBRUSH = GdiBrush*;
using HPEN = GdiPen*;
using HFONT = GdiFont*;
using HBITMAP = GdiBitmap*;
using HRGN = GdiRegion*;

// Pixel <-> colour reference: pixels keep red in bits 16-23, colour references in 0-7.
constexpr uint32_t ColorToPixel(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
constexpr COLORREF PixelToColor(uint32_t p) { return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF); }

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
// The brush copies the bitmap's top-left 8x8 pixels (repeated when the bitmap is smaller).
HBRUSH CreatePatternBrush(HBITMAP bitmap);
// The shared brush of a system colour; it is never freed.
HBRUSH GetSysColorBrush(int index);
HPEN CreatePen(int style, int width, COLORREF color);
HFONT CreateFontIndirect(const LOGFONT& lf);
// bitsPerPixel 1 gives a monochrome bitmap; bits (optional) are rows of 16-bit-aligned
// bytes for 1 bpp (most significant bit leftmost), 0x00RRGGBB words for 32 bpp.
HBITMAP CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel, const void* bits);
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const TRect& r);

// Region results and combine modes.
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
bool PtInRegion(HRGN rgn, int x, int y);
bool RectInRegion(HRGN rgn, const TRect& r);
int GetRgnBox(HRGN rgn, TRect* box);
bool EqualRgn(HRGN a, HRGN b);
bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int RegionType(const Region& region);

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int ANSI_VAR_FONT = 12;
HGDIOBJ GetStockObject(int index);
// The 1x1 monochrome bitmap a new memory context starts with.
HBITMAP StockBitmap();

bool DeleteObject(HGDIOBJ obj);

struct BITMAP {
    int bmWidth = 0;
    int bmHeight = 0;
    int bmBitsPixel = 0;
};
bool GetBitmapInfo(HBITMAP bitmap, BITMAP* info);

// Selection bookkeeping for device contexts.
void GdiRetain(HGDIOBJ obj);
void GdiRelease(HGDIOBJ obj);
