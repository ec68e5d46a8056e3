// The panning mode started by the middle button: which way and how fast it scrolls for a
// pointer position, the dead zone when only one scroll bar is shown, what ends the mode and
// what does not, and the round marker window. The mode is a modal loop; the UI driver feeds
// it one step (input or a clock move) each time it has handled everything.

#include <filesystem>
#include <fstream>

#include "platform/forms/screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/elliptic_region.h"
#include "platform/gdi/image_codec.h"
#include "platform/win/virtual_keys.h"
#include "tests/support/test_pictures.h"
#include "tests/treelist/test_selecting_control.h"
#include "tests/treelist/test_tree_list_form.h"
#include "treelist/tree_list_panning.h"
#include "treelist/tree_list_timers.h"
#include "treelist/tree_list_unit.h"

namespace {

TEST(TreeListPanningGeometry, TheLongerAxisWinsAndTheMarkerIsADeadZone) {
    const TPoint start{400, 300};
    TvxPanning both(start, 29, 29, true, true);
    both.Track(TPoint{414, 314});
    EXPECT_EQ(both.Direction(), pdNone);
    EXPECT_EQ(both.Speed(), 0);
    EXPECT_FALSE(both.MovedOut());
    EXPECT_EQ(both.Cursor(), crvxTLFullScroll);
    both.Track(TPoint{400 - 30, 300 + 20});
    EXPECT_EQ(both.Direction(), pdLeft);
    EXPECT_EQ(both.Cursor(), crvxTLLeftScroll);
    // A tie goes to the vertical direction.
    both.Track(TPoint{400 + 30, 300 - 30});
    EXPECT_EQ(both.Direction(), pdUp);
    // Back inside the marker nothing moves, but the pointer has been out.
    both.Track(start);
    EXPECT_EQ(both.Direction(), pdNone);
    EXPECT_TRUE(both.MovedOut());

    // Without a horizontal bar the dead zone spans the whole width (and beyond the screen).
    TvxPanning vertical(start, 29, 29, false, true);
    EXPECT_EQ(vertical.Cursor(), crvxTLVerScroll);
    for (int x : {-5000, 0, 100000}) {
        vertical.Track(TPoint{x, 305});
        EXPECT_EQ(vertical.Direction(), pdNone) << x;
    }
    EXPECT_FALSE(vertical.MovedOut());
    vertical.Track(TPoint{-5000, 300 + 14 + 30});
    EXPECT_EQ(vertical.Direction(), pdDown);
    EXPECT_EQ(vertical.Speed(), 7);
    TvxPanning horizontal(start, 29, 29, true, false);
    EXPECT_EQ(horizontal.Cursor(), crvxTLHorScroll);
    horizontal.Track(TPoint{400, 0});
    EXPECT_EQ(horizontal.Direction(), pdNone);
}

class TreeListPanning : public TreeListOnForm<TSelectingControl> {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        AddRows(100);
    }
    DWORD Style() { return GetWindowLong(grid->WindowHandle(), GWL_STYLE); }
    TPoint ScreenAt(int dx, int dy) { return grid->ClientToScreen(TPoint{start.X + dx, start.Y + dy}); }
    // Presses the middle button at the start point; the queued steps run inside the mode.
    void Pan() { Down(start, MouseButton::Middle); }
    void Step(std::function<void()> step) { driver->OnLoopIdle(std::move(step)); }
    void MoveBy(int dx, int dy) {
        Step([this, dx, dy] { InjectMouseMove(ScreenAt(dx, dy)); });
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Step([this] { clock->Advance(kvxTLPanningTick); });
    }
    void Escape() {
        Step([] { InjectKey(VK_ESCAPE, true); });
    }
    bool InMode() { return GetCapture() == grid->WindowHandle(); }
    // The marker: the only pop-up window of the form while the mode runs.
    HWND Marker() {
        HWND found = nullptr;
        EnumWindows([&](HWND w) {
            if (GetParent(w) == form->Handle() && IsWindowVisible(w)) found = w;
            return found == nullptr;
        });
        return found;
    }
    HCURSOR CursorOf(TCursor c) { return EnsureScreen()->Cursors(c); }

    const TPoint start{250, 150};
};

TEST_F(TreeListPanning, ScrollsFasterTheFurtherThePointerIsFromTheMarker) {
    ASSERT_EQ(Style() & (WS_HSCROLL | WS_VSCROLL), WS_VSCROLL);
    std::vector<int> moved;
    int top = 0;
    // Each measure: rows moved in a number of 20 ms ticks at a distance below the start.
    auto measure = [&](int distance, int ticks) {
        MoveBy(0, distance);
        Step([&] { top = grid->GetTopIndex(); });
        Ticks(ticks);
        Step([&] { moved.push_back(grid->GetTopIndex() - top); });
    };
    measure(15, 24);       // just outside the marker: speed 1, a step every 12th tick
    measure(14 + 25, 14);  // speed 6: every 7th tick
    measure(14 + 54, 6);   // speed 11: every 2nd tick
    measure(14 + 55, 5);   // speed 12: every tick
    measure(400, 5);       // and no faster
    measure(-(14 + 55), 5);
    Escape();
    Pan();
    EXPECT_EQ(moved, (std::vector<int>{2, 2, 3, 5, 5, -5}));
    EXPECT_FALSE(InMode());
    EXPECT_EQ(driver->PendingLoopSteps(), 0);
}

TEST_F(TreeListPanning, AMiddleClickStaysInTheModeAndOtherInputEndsIt) {
    struct Ender {
        const char* name;
        std::function<void(TPoint)> input;
        std::function<void(TPoint)> after;  // lets go of what the ender left pressed
    };
    const std::vector<Ender> enders = {
        {"Esc", [](TPoint) { InjectKey(VK_ESCAPE, true); }, [](TPoint) { InjectKey(VK_ESCAPE, false); }},
        {"left button", [](TPoint p) { InjectMouseButton(p, MouseButton::Left, true); },
         [](TPoint p) { InjectMouseButton(p, MouseButton::Left, false); }},
        {"right button", [](TPoint p) { InjectMouseButton(p, MouseButton::Right, true); },
         [](TPoint p) { InjectMouseButton(p, MouseButton::Right, false); }},
        {"middle button again", [](TPoint p) { InjectMouseButton(p, MouseButton::Middle, true); },
         [](TPoint p) { InjectMouseButton(p, MouseButton::Middle, false); }},
        {"wheel", [](TPoint p) { InjectMouseWheel(p, 1); }, [](TPoint) {}},
    };
    for (const Ender& e : enders) {
        bool stayed = false;
        const int focused = grid->GetFocusedAbsoluteNodeIndex();
        Step([&] { InjectMouseButton(ScreenAt(0, 0), MouseButton::Middle, false); });
        // Other keys do nothing in the mode.
        Step([&] { InjectKey(VK_DOWN, true); });
        Step([&] { InjectKey(VK_DOWN, false); });
        Ticks(3);
        Step([&] { stayed = InMode() && Marker() != nullptr; });
        Step([&] { e.input(ScreenAt(0, 0)); });
        Pan();
        e.after(ScreenAt(0, 0));
        driver->Pump();
        EXPECT_TRUE(stayed) << e.name;
        EXPECT_EQ(grid->GetFocusedAbsoluteNodeIndex(), focused) << e.name;
        EXPECT_FALSE(InMode()) << e.name;
        EXPECT_EQ(Marker(), nullptr) << e.name;
        EXPECT_EQ(driver->PendingLoopSteps(), 0) << e.name;
    }
    // Released after the pointer has been out of the marker, the middle button ends it.
    MoveBy(0, 40);
    MoveBy(0, 0);
    Step([&] { InjectMouseButton(ScreenAt(0, 0), MouseButton::Middle, false); });
    Pan();
    EXPECT_FALSE(InMode());
    EXPECT_EQ(driver->PendingLoopSteps(), 0);
}

TEST_F(TreeListPanning, TheProgramsEndEndsTheModeAndStaysForTheMainLoop) {
    int top = -1;
    MoveBy(0, 14 + 55);
    Ticks(1);
    Step([&] {
        top = grid->GetTopIndex();
        PostQuitMessage(4);
    });
    Pan();
    EXPECT_FALSE(InMode());
    EXPECT_EQ(Marker(), nullptr);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(driver->PendingLoopSteps(), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
    InjectMouseButton(ScreenAt(0, 0), MouseButton::Middle, false);
    driver->Pump();
}

TEST_F(TreeListPanning, WithOnlyAVerticalBarSidewaysMovesNeverPan) {
    ASSERT_EQ(Style() & (WS_HSCROLL | WS_VSCROLL), WS_VSCROLL);
    HCURSOR cursor = 0;
    bool stayed = false;
    MoveBy(-200, 10);
    Ticks(24);
    // The pointer never left the dead zone, so releasing the button keeps the mode.
    Step([&] { InjectMouseButton(ScreenAt(-200, 10), MouseButton::Middle, false); });
    Step([&] {
        cursor = GetCursor();
        stayed = InMode();
    });
    Escape();
    Pan();
    InjectKey(VK_ESCAPE, false);
    driver->Pump();
    EXPECT_TRUE(stayed);
    EXPECT_EQ(cursor, CursorOf(crvxTLVerScroll));
    EXPECT_EQ(grid->GetTopIndex(), 0);
    EXPECT_EQ(grid->LeftCoord(), 0);

    // With both bars a sideways move scrolls the columns.
    for (TvxTreeListColumn* c : cols) c->SetWidth(300);
    driver->Pump();
    ASSERT_EQ(Style() & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
    MoveBy(14 + 55, 3);
    Step([&] { cursor = GetCursor(); });
    Ticks(3);
    Escape();
    Pan();
    InjectKey(VK_ESCAPE, false);
    driver->Pump();
    EXPECT_EQ(cursor, CursorOf(crvxTLRightScroll));
    EXPECT_EQ(grid->LeftCoord(), 3 * grid->HorzScrollStep());
    EXPECT_EQ(grid->GetTopIndex(), 0);
}

TEST_F(TreeListPanning, TheMarkerIsARoundWindowAtTheStartPoint) {
    const TPoint screenStart = ScreenAt(0, 0);
    HWND marker = nullptr;
    TRect bounds, regionBox;
    bool inside = false, corner = true;
    HCURSOR cursor = 0;
    PixelImage picture;
    Step([&] {
        marker = Marker();
        if (!marker) return;
        GetWindowRect(marker, &bounds);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(marker, rgn);
        GetRgnBox(rgn, &regionBox);
        inside = PtInRegion(rgn, 14, 14);
        corner = PtInRegion(rgn, 1, 1);
        DeleteObject(rgn);
        cursor = GetCursor();
        const HBITMAP buffer = GetWindowBackBuffer(marker);
        if (!buffer) return;
        picture.width = buffer->width;
        picture.height = buffer->height;
        picture.pixels = buffer->pixels;
    });
    Escape();
    Pan();
    InjectKey(VK_ESCAPE, false);
    driver->Pump();
    ASSERT_NE(marker, nullptr);
    EXPECT_FALSE(IsWindow(marker));
    EXPECT_EQ(bounds.Width(), 29);
    EXPECT_EQ(bounds.Left, screenStart.X - 14);
    EXPECT_EQ(bounds.Top, screenStart.Y - 14);
    EXPECT_EQ(regionBox, (TRect{0, 0, 29, 29}));
    EXPECT_TRUE(inside);
    EXPECT_FALSE(corner);
    EXPECT_EQ(cursor, CursorOf(crvxTLVerScroll));
    ASSERT_EQ(picture.width, 29);
    auto at = [&](int x, int y) { return PixelToColor(picture.pixels[static_cast<size_t>(y * 29 + x)]); };
    EXPECT_EQ(at(14, 14), GetSysColor(COLOR_WINDOWTEXT));  // the centre dot
    EXPECT_EQ(at(14, 0), GetSysColor(COLOR_WINDOWFRAME));  // the round frame
    EXPECT_EQ(at(14, 3), GetSysColor(COLOR_WINDOWTEXT));   // the up arrow's tip
    EXPECT_EQ(at(3, 14), GetSysColor(COLOR_WINDOW));       // no arrow sideways
    // Outside the round region nothing belongs to the marker: white in the picture.
    HRGN round = CreateEllipticRgn(0, 0, 30, 30);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 29; ++x)
            if (!PtInRegion(round, x, y)) picture.pixels[static_cast<size_t>(y * 29 + x)] = 0xFFFFFF;
    DeleteObject(round);
    // Eight times the size, for a person to look at.
    PixelImage large;
    large.width = large.height = 29 * 8;
    for (int y = 0; y < large.height; ++y)
        for (int x = 0; x < large.width; ++x)
            large.pixels.push_back(picture.pixels[static_cast<size_t>(y / 8 * 29 + x / 8)]);
    std::ofstream(TestPicturePath("treelist_panning_marker.png"), std::ios::binary) << EncodePng(large);
}

}  // namespace
