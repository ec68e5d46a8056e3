#pragma once
// Drawing calls of the window system on device contexts: fills, frames, shapes, lines,
// pixels, edges and frame controls, and block transfers. Rectangles exclude their right
// and bottom edges; a line leaves out its last pixel.

#include <cstdint>

#include "platform/gdi/device_context.h"

int FillRect(HDC dc, const TRect& r, HBRUSH brush);
int FrameRect(HDC dc, const TRect& r, HBRUSH brush);
bool InvertRect(HDC dc, const TRect& r);
// Shapes draw their outline with the selected pen and fill with the selected brush.
bool Rectangle(HDC dc, int left, int top, int right, int bottom);
bool RoundRect(HDC dc, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
bool Ellipse(HDC dc, int left, int top, int right, int bottom);
bool MoveToEx(HDC dc, int x, int y, TPoint* old);
bool LineTo(HDC dc, int x, int y);
bool Polyline(HDC dc, const TPoint* points, int count);
bool PolyPolyline(HDC dc, const TPoint* points, const uint32_t* counts, int polylines);
bool Polygon(HDC dc, const TPoint* points, int count);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
bool SetPixelV(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the surface or the clip.
COLORREF GetPixel(HDC dc, int x, int y);

// Dotted rectangle drawn by inversion: drawing it twice gives the pixels back.
bool DrawFocusRect(HDC dc, const TRect& r);

// Edges.
constexpr unsigned BDR_RAISEDOUTER = 0x0001;
constexpr unsigned BDR_SUNKENOUTER = 0x0002;
constexpr unsigned BDR_RAISEDINNER = 0x0004;
constexpr unsigned BDR_SUNKENINNER = 0x0008;
constexpr unsigned BDR_OUTER = 0x0003;
constexpr unsigned BDR_INNER = 0x000C;
constexpr unsigned BDR_RAISED = 0x0005;
constexpr unsigned BDR_SUNKEN = 0x000A;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x0001;
constexpr unsigned BF_TOP = 0x0002;
constexpr unsigned BF_RIGHT = 0x0004;
constexpr unsigned BF_BOTTOM = 0x0008;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_DIAGONAL = 0x0010;
constexpr unsigned BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT;
constexpr unsigned BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT;
constexpr unsigned BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_MIDDLE = 0x0800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// Outer edge first, then inner edge one pixel in; BF_ADJUST shrinks r by what was drawn.
bool DrawEdge(HDC dc, TRect& r, unsigned edge, unsigned flags);

// Frame controls.
constexpr unsigned DFC_CAPTION = 1;
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr unsigned DFCS_BUTTONRADIOMASK = 0x0002;
constexpr unsigned DFCS_BUTTONRADIO = 0x0004;
constexpr unsigned DFCS_BUTTON3STATE = 0x0008;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr unsigned DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr unsigned DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_TRANSPARENT = 0x0800;
constexpr unsigned DFCS_HOT = 0x1000;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

// Check boxes (two- and three-state, the latter grey when checked), radio buttons, push
// buttons, scroll arrows, the combo box arrow and the size grip.
bool DrawFrameControl(HDC dc, TRect& r, unsigned type, unsigned state);

// Raster operations.
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCPAINT = 0x00EE0086;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCINVERT = 0x00660046;
constexpr uint32_t SRCERASE = 0x00440328;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t NOTSRCERASE = 0x001100A6;
constexpr uint32_t MERGECOPY = 0x00C000CA;
constexpr uint32_t MERGEPAINT = 0x00BB0226;
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t PATPAINT = 0x00FB0A09;
constexpr uint32_t PATINVERT = 0x005A0049;
constexpr uint32_t DSTINVERT = 0x00550009;
constexpr uint32_t BLACKNESS = 0x00000042;
constexpr uint32_t WHITENESS = 0x00FF0062;

bool PatBlt(HDC dc, int x, int y, int width, int height, uint32_t rop);
// Copies from src (nullptr for operations without a source). Colour to monochrome: pixels
// of src's background colour become white, the rest black; monochrome to colour: black
// takes dest's text colour, white its background colour. Clipped to both surfaces.
bool BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, uint32_t rop);
// Nearest-neighbour scaling; a negative width or height mirrors.
bool StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh, uint32_t rop);
