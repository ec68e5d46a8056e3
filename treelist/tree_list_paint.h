#pragma once
// What one paint of the tree list shares between its areas: the layout of this paint, the
// brushes made for it, the column colours, the clip state and the grid-line segments.
// Everything here lives for one Paint call; the destructor gives every object back, also
// when a handler raised in the middle of the paint.

#include <vector>

#include "platform/gdi/device_context.h"
#include "platform/gdi/draw.h"
#include "treelist/tree_list_geometry.h"

class TCanvas;

struct TvxTreeListColumnColor {
    TColor Color = clWindow;
    HBRUSH Brush = nullptr;  // null: the background brush serves
};

struct TvxTreeListPaint {
    TvxTreeListPaint() = default;
    TvxTreeListPaint(const TvxTreeListPaint&) = delete;
    TvxTreeListPaint& operator=(const TvxTreeListPaint&) = delete;
    ~TvxTreeListPaint();

    TCanvas* Canvas = nullptr;
    HDC DC = nullptr;
    TvxTreeListLayout Layout;
    bool ControlFocused = false;
    // Absolute index of the focused column.
    int FocusedColumn = -1;
    TColor ShadowColor = clBtnShadow;

    HBRUSH BandBrush = nullptr;
    HBRUSH HeaderBrush = nullptr;
    HBRUSH GroupNodeBrush = nullptr;
    HBRUSH BackgroundBrush = nullptr;
    HBRUSH ShadowBrush = nullptr;
    HBRUSH HighlightBrush = nullptr;
    HBRUSH TreeLinesBrush = nullptr;
    HBRUSH HideSelectionBrush = nullptr;
    HBRUSH RowFooterBrush = nullptr;
    HBRUSH FixedBandLineBrush = nullptr;
    HBRUSH LevelBrush = nullptr;
    TColor LevelColor = clNone;
    std::vector<TvxTreeListColumnColor> ColumnColors;

    // A cell clip in force, and what was selected before it.
    HRGN SavedClip = nullptr;
    bool HadClip = false;
    bool ClipInForce = false;
    void SetClipRect(const TRect& Rect);
    void RestoreClip();

    // Grid-line segments as point pairs; the list grows as segments come.
    std::vector<TPoint> Segments;
    void AddLineSegment(int X1, int Y1, int X2, int Y2) {
        Segments.push_back(TPoint{X1, Y1});
        Segments.push_back(TPoint{X2, Y2});
    }
    // Draws every segment with one call in Color and empties the list.
    void DrawSegments(TColor Color);
};

// Saves the context's clip, intersects it with Rect, and puts the saved clip back when it
// goes out of scope.
class TvxClipScope {
public:
    TvxClipScope(HDC DC, const TRect& Rect);
    ~TvxClipScope();
    TvxClipScope(const TvxClipScope&) = delete;
    TvxClipScope& operator=(const TvxClipScope&) = delete;

private:
    HDC dc_;
    HRGN saved_ = nullptr;
    bool hadClip_ = false;
};
