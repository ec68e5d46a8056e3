#include "treelist/tree_list_unit.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/image_list.h"
#include "platform/win/input.h"
#include "treelist/tree_list_drawing.h"

namespace {

constexpr int kCursorSize = 32;

// A 32 x 32 cursor picture: cells are transparent, black or white.
class TCursorPicture {
public:
    enum Cell : uint8_t { Clear, Black, White };
    void Set(int x, int y, Cell c) {
        if (x >= 0 && y >= 0 && x < kCursorSize && y < kCursorSize)
            cells_[static_cast<size_t>(y * kCursorSize + x)] = c;
    }
    // A filled disc with a white rim.
    void Disc(int cx, int cy, int r) {
        for (int y = -r - 1; y <= r + 1; ++y)
            for (int x = -r - 1; x <= r + 1; ++x) {
                const int d = x * x + y * y;
                if (d <= r * r)
                    Set(cx + x, cy + y, Black);
                else if (d <= (r + 1) * (r + 1))
                    Set(cx + x, cy + y, White);
            }
    }
    // A triangle pointing (dx, dy) from the centre, its tip `far` pixels out.
    void Arrow(int cx, int cy, int dx, int dy, int far) {
        for (int i = 0; i < 5; ++i) {
            const int along = far - i;
            for (int w = -i; w <= i; ++w) {
                const int x = cx + dx * along + (dy != 0 ? w : 0);
                const int y = cy + dy * along + (dx != 0 ? w : 0);
                Set(x, y, Black);
            }
        }
    }
    void Line(int x0, int y0, int x1, int y1) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i)
            Set(x0 + (x1 - x0) * i / std::max(1, steps), y0 + (y1 - y0) * i / std::max(1, steps), Black);
    }
    void Box(int l, int t, int r, int b) {
        for (int x = l; x <= r; ++x)
            for (int y = t; y <= b; ++y) Set(x, y, x == l || x == r || y == t || y == b ? Black : White);
    }
    void PointerArrow() {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x <= y / 2 + 1; ++x) Set(x, y, x == 0 || x == y / 2 + 1 || y == 15 ? Black : White);
    }
    HCURSOR Make(int hotX, int hotY) const {
        const size_t row = kCursorSize / 8;
        std::vector<uint8_t> andPlane(row * kCursorSize, 0xFF), xorPlane(row * kCursorSize, 0);
        for (int y = 0; y < kCursorSize; ++y)
            for (int x = 0; x < kCursorSize; ++x) {
                const Cell c = cells_[static_cast<size_t>(y * kCursorSize + x)];
                if (c == Clear) continue;
                const size_t byte = static_cast<size_t>(y) * row + static_cast<size_t>(x / 8);
                const uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
                andPlane[byte] &= static_cast<uint8_t>(~bit);
                if (c == White) xorPlane[byte] |= bit;
            }
        return CreateCursor(hotX, hotY, kCursorSize, kCursorSize, andPlane.data(), xorPlane.data());
    }

private:
    std::array<Cell, kCursorSize * kCursorSize> cells_{};
};

// The panning cursors: a disc in the middle, arrows towards the directions they scroll.
HCURSOR ScrollCursor(bool up, bool down, bool left, bool right) {
    TCursorPicture p;
    const int c = 15;
    p.Disc(c, c, 3);
    if (up) p.Arrow(c, c, 0, -1, 13);
    if (down) p.Arrow(c, c, 0, 1, 13);
    if (left) p.Arrow(c, c, -1, 0, 13);
    if (right) p.Arrow(c, c, 1, 0, 13);
    return p.Make(c, c);
}

HCURSOR DeleteCursor() {
    TCursorPicture p;
    p.PointerArrow();
    for (int d = 0; d < 2; ++d) {
        p.Line(16 + d, 16, 27 + d, 27);
        p.Line(27 + d, 16, 16 + d, 27);
    }
    return p.Make(0, 0);
}

HCURSOR DragCopyCursor(bool multiple) {
    TCursorPicture p;
    p.PointerArrow();
    if (multiple) p.Box(14, 14, 26, 22);
    p.Box(18, 18, 30, 26);
    p.Line(24, 19, 24, 25);
    p.Line(21, 22, 27, 22);
    return p.Make(0, 0);
}

struct Unit {
    int users = 0;
    HDC screen = nullptr;
    std::unique_ptr<TImageList> emptyDragImage;
    std::unique_ptr<TCustomImageList> indicators;
    std::unique_ptr<TBitmap> plus;
    std::unique_ptr<TBitmap> minus;
    std::vector<std::pair<TCursor, HCURSOR>> cursors;
};

Unit& TheUnit() {
    static Unit unit;
    return unit;
}

void DrawExpandButton(TBitmap& bitmap, bool plus) {
    HDC dc = bitmap.Canvas()->Handle();
    TRect r{0, 0, 12, 12};
    FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
    TRect edge = r;
    DrawEdge(dc, edge, BDR_RAISEDINNER, BF_TOPLEFT);
    edge = r;
    DrawEdge(dc, edge, BDR_RAISEDOUTER, BF_BOTTOMRIGHT);
    edge = TRect{1, 1, 11, 11};
    DrawEdge(dc, edge, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
    HBRUSH text = GetSysColorBrush(COLOR_BTNTEXT);
    FillRect(dc, TRect{3, 5, 9, 7}, text);
    if (plus) FillRect(dc, TRect{5, 3, 7, 9}, text);
}

}  // namespace

void TreeListUnitStartUp() {
    Unit& u = TheUnit();
    if (u.users++ > 0) return;
    const std::pair<TCursor, HCURSOR> cursors[] = {
        {crvxTLDelete, DeleteCursor()},
        {crvxTLFullScroll, ScrollCursor(true, true, true, true)},
        {crvxTLHorScroll, ScrollCursor(false, false, true, true)},
        {crvxTLVerScroll, ScrollCursor(true, true, false, false)},
        {crvxTLUpScroll, ScrollCursor(true, false, false, false)},
        {crvxTLRightScroll, ScrollCursor(false, false, false, true)},
        {crvxTLDownScroll, ScrollCursor(false, true, false, false)},
        {crvxTLLeftScroll, ScrollCursor(false, false, true, false)},
        {crvxTLDragCopy, DragCopyCursor(false)},
        {crvxTLMultiDragCopy, DragCopyCursor(true)},
    };
    TScreen* screen = EnsureScreen();
    for (const auto& [index, cursor] : cursors) {
        screen->SetCursors(index, cursor);
        u.cursors.emplace_back(index, cursor);
    }
    u.emptyDragImage = std::make_unique<TImageList>(nullptr);
    u.emptyDragImage->SetWidth(1);
    u.emptyDragImage->SetHeight(1);
    u.screen = CreateCompatibleDC(nullptr);
    u.indicators = MakeTreeListIndicatorImages();
    RebuildTreeListExpandButtons();
}

void TreeListUnitShutDown() {
    Unit& u = TheUnit();
    if (u.users == 0 || --u.users > 0) return;
    if (u.screen) DeleteDC(u.screen);
    u.screen = nullptr;
    u.emptyDragImage.reset();
    u.indicators.reset();
    u.plus.reset();
    u.minus.reset();
    TScreen* screen = EnsureScreen();
    for (const auto& [index, cursor] : u.cursors) {
        if (screen->Cursors(index) == cursor) screen->SetCursors(index, 0);
        DestroyCursor(cursor);
    }
    u.cursors.clear();
}

bool TreeListUnitStarted() { return TheUnit().users > 0; }

HDC TreeListScreenDC() { return TheUnit().screen; }

TCustomImageList* TreeListEmptyDragImage() { return TheUnit().emptyDragImage.get(); }

TCustomImageList* TreeListIndicatorImages() { return TheUnit().indicators.get(); }

TBitmap* TreeListExpandButton(bool Plus) { return Plus ? TheUnit().plus.get() : TheUnit().minus.get(); }

void RebuildTreeListExpandButtons() {
    Unit& u = TheUnit();
    if (u.users == 0) return;
    u.plus = std::make_unique<TBitmap>(12, 12);
    u.minus = std::make_unique<TBitmap>(12, 12);
    DrawExpandButton(*u.plus, true);
    DrawExpandButton(*u.minus, false);
}
