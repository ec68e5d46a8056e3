#pragma once
// The drawing primitives the tree list's painting shares: expand buttons, header, band,
// indicator and corner frames, the sort mark and the filter button, cell and preview text,
// the focus rectangles, and the measuring of word-wrapped text. All take a device context
// and rectangles whose right and bottom edges are exclusive.

#include <memory>
#include <string_view>

#include "platform/gdi/device_context.h"
#include "treelist/tree_list_types.h"

class TBitmap;
class TCustomImageList;
class TFont;
class TGraphic;

// The tree-style button: a 9 x 9 box centred in Rect around CenterY, a minus, a plus when
// Collapsed.
void DrawTreeButton(HDC DC, const TRect& Rect, int CenterY, bool Collapsed);
// The list-mode button of the standard and flat looks: the shared 12 x 12 picture.
void DrawButtonGlyph(HDC DC, const TRect& Rect, bool Collapsed);
// The list-mode button of the ultra-flat look: an 11 x 11 box with a shadow.
void DrawFlatTreeButton(HDC DC, const TRect& Rect, bool Collapsed);
void DrawImageCentered(HDC DC, const TRect& Rect, TCustomImageList* ImageList, int Index);
void DrawGraphicCentered(HDC DC, const TRect& Rect, TGraphic* Graphic);
void DrawSortMark(HDC DC, const TRect& Rect, bool Up);
// Frames a header, band, indicator or corner cell; Rect becomes the content rectangle.
// EdgeFlags (flat looks): 1 the left edge, 2 the right edge is a short separator.
void DrawHeaderFrame(HDC DC, TRect& Rect, HBRUSH Brush, TvxLookAndFeel Look, int EdgeFlags, bool Pressed);
// As DrawHeaderFrame; a pressed cell of a flat look is inverted as a whole.
void DrawHeaderFrameInv(HDC DC, TRect& Rect, HBRUSH Brush, TvxLookAndFeel Look, int EdgeFlags, bool Pressed);
// State: 1 shown, 2 hot, 4 pressed, 8 active.
void DrawFilterButton(HDC DC, const TRect& Rect, int State);

struct TvxHeaderCellLook {
    int FilterState = 0;
    TvxLookAndFeel Look = lfStandard;
    int EdgeFlags = 0;
    TBitmap* Glyph = nullptr;
    int Sorted = 0;  // 0 none, 1 down, 2 up
    TAlignment Alignment = taLeftJustify;
    bool MultiLine = false;
    bool Pressed = false;
};

void DrawHeaderCell(HDC DC, const TRect& Rect, HBRUSH Brush, const TvxHeaderCellLook& Cell, std::string_view Text);
// Composes the whole cell in WorkBitmap with DC's font and text colour, then copies the
// visible part: a cell scrolled half out of view keeps its text where the full cell puts it.
void DrawBufferedHeaderCell(HDC DC, const TRect& FullRect, const TRect& VisibleRect, const TvxHeaderCellLook& Cell,
                            std::string_view Text, TBitmap* WorkBitmap, HBRUSH Brush);
// Kind 1 arrow, 2 edit, 3 insert, 4 multi-select dot, 5 multi-select arrow; 0 no glyph.
void DrawIndicatorCell(HDC DC, const TRect& FullRect, const TRect& VisibleRect, TvxLookAndFeel Look, int Kind,
                       TBitmap* WorkBitmap, HBRUSH Brush);

struct TvxCellTextLook {
    HBRUSH Brush = nullptr;
    int Mode = 0;  // 0 plain, 1 opaque text only, other: opaque text and side strips
    bool ExtraTop = false;
    bool Buffered = false;
    TAlignment Alignment = taLeftJustify;
    bool MultiLine = false;
    bool EndEllipsis = false;
    TColor Color = clWindow;
};

void DrawCellText(HDC DC, const TRect& Rect, const TvxCellTextLook& Look, std::string_view Text, TBitmap* WorkBitmap);
void DrawPreviewText(HDC DC, const TRect& Rect, bool Buffered, HBRUSH Brush, int Indent, std::string_view Text,
                     TColor Color, TFont* Font, TBitmap* WorkBitmap);
// The dotted focus rectangle in black and white, whatever the context's colours.
void DrawFocusRectBW(HDC DC, const TRect& Rect);
// Inverts the 1-pixel frame of Rect, each pixel once.
void InvertFrame(HDC DC, const TRect& Rect);

// Lines Text needs when word-wrapped in Width - Indent; Height gets the measured height + 3.
// Empty text or MaxLines 0 answer 0 and leave Height alone.
int CalcTextLineCount(TFont* Font, std::string_view Text, int Width, int Indent, int LineHeight, int MaxLines,
                      bool TallMargin, int& Height);

// The indicator pictures in kind order (arrow, edit, insert, multi-dot, multi-arrow), white
// transparent; the unit makes them once when it starts.
std::unique_ptr<TCustomImageList> MakeTreeListIndicatorImages();
