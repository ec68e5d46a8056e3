#pragma once
// Points, sizes and rectangles in the class library's layout. A rectangle excludes its
// right and bottom edges, as everywhere in the window system.

#include <algorithm>

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

inline bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
inline bool PtInRect(const TRect& r, TPoint p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
inline bool EqualRect(const TRect& a, const TRect& b) { return a == b; }
inline void SetRect(TRect& r, int left, int top, int right, int bottom) { r = {left, top, right, bottom}; }
inline void SetRectEmpty(TRect& r) { r = {}; }
inline void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}
inline void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}
// Both answer whether the result is non-empty; an empty intersection becomes all zeros.
inline bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        dst = {};
        return false;
    }
    dst = r;
    return true;
}
inline bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
    if (IsRectEmpty(a))
        dst = b;
    else if (IsRectEmpty(b))
        dst = a;
    else
        dst = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
    if (IsRectEmpty(dst)) {
        dst = {};
        return false;
    }
    return true;
}
