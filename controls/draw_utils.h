#pragma once
// Drawing routines the editors, pop-ups and the tree list share: text in a rectangle,
// glyphs on a brush, image-list images, dithered and shadow fills, the size grip, and the
// placement of pop-ups on the work area.

#include <string_view>

#include "platform/gdi/gdi.h"

// Grows the graphic to at least the given size; never shrinks it.
void EnsureBitmapSize(TGraphic* Graphic, int Width, int Height);
// Every second pixel of Rect (a checkerboard) takes Color; the others keep what was there.
void FillDitheredRect(HDC DC, const TRect& Rect, TColor Color);
// The bitmap at Rect with the pixels of its transparent colour replaced by Brush.
void DrawBitmapOnBrush(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap);
// Rect filled with Brush and the bitmap at GlyphRect inside it (transparent colour replaced
// by Brush), put on the context in one blit.
void DrawGlyphInRect(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap, const TRect& GlyphRect);

// DrawTextInRect flags.
constexpr unsigned vxdtCenter = 0x0001;
constexpr unsigned vxdtRight = 0x0002;
constexpr unsigned vxdtVCenter = 0x0004;
constexpr unsigned vxdtBottom = 0x0008;
constexpr unsigned vxdtWordWrap = 0x0010;
constexpr unsigned vxdtEndEllipsis = 0x0100;
constexpr unsigned vxdtPathEllipsis = 0x0200;
constexpr unsigned vxdtFocusRect = 0x0400;
constexpr unsigned vxdtFocusTextOnly = 0x0800;
constexpr unsigned vxdtNoFill = 0x1000;
constexpr unsigned vxdtPrefix = 0x2000;
constexpr unsigned vxdtMeasure = 0x4000;
constexpr unsigned vxdtKeepBkMode = 0x8000;

// Draws Text in TextRect, filling FillRect around it (or, with vxdtMeasure, only measures).
// Font, BkColor and TextColor are selected for the call and restored. Measuring answers
// FillRect's height less TextRect's plus the text's height (Height, when given, gets the
// text's height); drawing answers 0.
int DrawTextInRect(HDC DC, std::string_view Text, int* Height, COLORREF TextColor, COLORREF BkColor, HFONT Font,
                   HBRUSH Brush, unsigned Flags, TRect TextRect, TRect FillRect);

// P is a pop-up's top-left corner just below its owner: keeps the pop-up on the work area,
// flipping it above the owner when there is more room there. A pop-up wider than the work
// area is narrowed to it, so its start stays visible.
void AdjustPopupPosition(TPoint& P, int& Width, int Height, int OwnerHeight);
// clNone and clDefault become the image list's CLR_NONE and CLR_DEFAULT.
COLORREF GetImageListColor(TColor Color);
void DrawImageListImage(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index);
// The bottom strip (Size high) and the right strip (Size wide) of Rect.
void FillShadowStrips(HDC DC, const TRect& Rect, int Size, HBRUSH Brush);
void GetWorkArea(TPoint P, TRect& Rect);
// Corner: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
void DrawSizeGrip(HDC DC, const TRect& Rect, int Corner);
// A solid triangle of one colour, edges included (the arrows of editor buttons).
void FillTriangle(HDC DC, const TPoint (&Points)[3], COLORREF Color);

// The shared 8x8 checkerboard brush (black where x and y are both even or both odd).
HBRUSH DitherBrush();
