#include <gtest/gtest.h>

#include "surface_fixture.h"

namespace {
constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kHighlight = RGB(255, 255, 255);
constexpr COLORREF kDark = RGB(0, 0, 0);
constexpr COLORREF kLight = RGB(223, 223, 223);
constexpr COLORREF kGreen = RGB(0, 255, 0);
}  // namespace

struct EdgeCase {
    unsigned edge;
    unsigned flags;
    COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
};

TEST(DrawEdge, EachBorderKindUsesItsClassicColours) {
    const EdgeCase cases[] = {
        {BDR_RAISEDOUTER, BF_RECT, kLight, kDark, kGreen, kGreen},
        {BDR_SUNKENOUTER, BF_RECT, kShadow, kHighlight, kGreen, kGreen},
        {BDR_RAISEDINNER, BF_RECT, kHighlight, kShadow, kGreen, kGreen},
        {BDR_SUNKENINNER, BF_RECT, kDark, kLight, kGreen, kGreen},
        {EDGE_RAISED, BF_RECT, kLight, kDark, kHighlight, kShadow},
        {EDGE_SUNKEN, BF_RECT, kShadow, kHighlight, kDark, kLight},
        {EDGE_ETCHED, BF_RECT, kShadow, kHighlight, kHighlight, kShadow},
        {EDGE_BUMP, BF_RECT, kLight, kDark, kDark, kLight},
        {EDGE_RAISED, BF_RECT | BF_SOFT, kHighlight, kDark, kLight, kShadow},
        {EDGE_RAISED, BF_RECT | BF_FLAT, kShadow, kShadow, kFace, kFace},
        {EDGE_SUNKEN, BF_RECT | BF_MONO, kDark, kDark, kHighlight, kHighlight},
    };
    for (const EdgeCase& c : cases) {
        TestSurface s(12, 12, kGreen);
        TRect r{1, 1, 11, 11};
        DrawEdge(s.dc, r, c.edge, c.flags);
        SCOPED_TRACE(testing::Message() << "edge " << c.edge << " flags " << c.flags);
        EXPECT_EQ(s.At(5, 1), c.outerTopLeft);
        EXPECT_EQ(s.At(1, 5), c.outerTopLeft);
        EXPECT_EQ(s.At(5, 10), c.outerBottomRight);
        EXPECT_EQ(s.At(10, 5), c.outerBottomRight);
        // The far corners belong to the bottom and right lines.
        EXPECT_EQ(s.At(1, 10), c.outerBottomRight);
        EXPECT_EQ(s.At(10, 1), c.outerBottomRight);
        EXPECT_EQ(s.At(5, 2), c.innerTopLeft);
        EXPECT_EQ(s.At(9, 5), c.innerBottomRight);
        EXPECT_EQ(s.At(5, 5), kGreen);  // no BF_MIDDLE: the inside stays
        EXPECT_EQ(s.At(0, 0), kGreen);
        EXPECT_EQ(r, (TRect{1, 1, 11, 11}));  // no BF_ADJUST
    }
}

TEST(DrawEdge, SidesMiddleAndAdjust) {
    TestSurface s(12, 12, kGreen);
    TRect r{0, 0, 12, 12};
    DrawEdge(s.dc, r, BDR_SUNKENOUTER, BF_FLAT | BF_ADJUST | BF_TOP | BF_RIGHT | BF_BOTTOM);
    EXPECT_EQ(r, (TRect{0, 1, 11, 11}));
    EXPECT_EQ(s.At(0, 5), kGreen);  // no left line
    EXPECT_EQ(s.At(5, 0), kShadow);
    EXPECT_EQ(s.At(11, 5), kShadow);
    EXPECT_EQ(s.At(5, 11), kShadow);

    TestSurface t(12, 12, kGreen);
    TRect m{0, 0, 12, 12};
    DrawEdge(t.dc, m, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(m, (TRect{2, 2, 10, 10}));
    EXPECT_EQ(t.Count(TRect{2, 2, 10, 10}, kFace), 64);

    TestSurface u(12, 12, kGreen);
    TRect b{0, 0, 12, 12};
    DrawEdge(u.dc, b, BDR_RAISEDINNER, BF_BOTTOM | BF_ADJUST);
    EXPECT_EQ(b, (TRect{0, 0, 12, 11}));
    EXPECT_EQ(u.Count(TRect{0, 0, 12, 12}, kShadow), 12);
}

TEST(DrawFrameControl, CheckBoxStates) {
    auto draw = [](unsigned state, TestSurface& s) {
        TRect r{0, 0, 13, 13};
        DrawFrameControl(s.dc, r, DFC_BUTTON, DFCS_BUTTONCHECK | state);
    };
    TestSurface off(13, 13, kGreen), on(13, 13, kGreen), grey(13, 13, kGreen), pushed(13, 13, kGreen),
        inactive(13, 13, kGreen), flat(13, 13, kGreen);
    draw(0, off);
    draw(DFCS_CHECKED, on);
    draw(DFCS_BUTTON3STATE | DFCS_CHECKED, grey);
    draw(DFCS_PUSHED, pushed);
    draw(DFCS_INACTIVE | DFCS_CHECKED, inactive);
    draw(DFCS_FLAT | DFCS_CHECKED, flat);
    // Sunken frame: shadow then dark at the top left, highlight at the bottom right.
    EXPECT_EQ(off.At(6, 0), kShadow);
    EXPECT_EQ(off.At(6, 1), kDark);
    EXPECT_EQ(off.At(6, 12), kHighlight);
    EXPECT_EQ(off.Count(TRect{2, 2, 11, 11}, kHighlight), 81);  // white inside, no mark
    EXPECT_EQ(on.Count(TRect{2, 2, 11, 11}, kDark), 21);        // the tick
    EXPECT_EQ(on.At(3, 7), kDark);
    EXPECT_EQ(grey.Count(TRect{2, 2, 11, 11}, kShadow), 21);  // grey tick on a checkerboard
    EXPECT_GT(grey.Count(TRect{2, 2, 11, 11}, kFace), 20);
    EXPECT_EQ(pushed.Count(TRect{2, 2, 11, 11}, kFace), 81);
    EXPECT_EQ(inactive.Count(TRect{2, 2, 11, 11}, kShadow), 21);
    EXPECT_EQ(flat.At(0, 0), kShadow);
    EXPECT_EQ(flat.At(12, 12), kShadow);
    EXPECT_EQ(flat.At(1, 1), kHighlight);
    EXPECT_EQ(flat.Count(TRect{1, 1, 12, 12}, kDark), 21);
}

TEST(DrawFrameControl, PushButtonAndSizeGrip) {
    TestSurface s(20, 10, kGreen);
    TRect r{0, 0, 20, 10};
    DrawFrameControl(s.dc, r, DFC_BUTTON, DFCS_BUTTONPUSH);
    EXPECT_EQ(s.At(5, 0), kHighlight);
    EXPECT_EQ(s.At(5, 9), kDark);
    EXPECT_EQ(s.At(5, 8), kShadow);
    EXPECT_EQ(s.At(10, 5), kFace);
    TestSurface p(20, 10, kGreen);
    DrawFrameControl(p.dc, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(p.At(5, 0), kDark);
    EXPECT_EQ(p.At(5, 1), kShadow);

    TestSurface g(16, 16, kGreen);
    TRect gr{0, 0, 16, 16};
    DrawFrameControl(g.dc, gr, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    EXPECT_EQ(g.At(0, 0), kFace);  // the top-left half is plain face
    EXPECT_EQ(g.Count(TRect{0, 0, 16, 16}, kGreen), 0);
    EXPECT_GT(g.Count(TRect{8, 8, 16, 16}, kShadow), 10);
    EXPECT_GT(g.Count(TRect{8, 8, 16, 16}, kHighlight), 5);

    TestSurface a(16, 16, kGreen);
    DrawFrameControl(a.dc, gr, DFC_SCROLL, DFCS_SCROLLDOWN);
    // A black triangle pointing down: its widest row above its tip.
    TRect ink{16, 16, 0, 0};
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x)
            if (a.At(x, y) == kDark) {
                ink.Left = std::min(ink.Left, x);
                ink.Top = std::min(ink.Top, y);
                ink.Right = std::max(ink.Right, x + 1);
                ink.Bottom = std::max(ink.Bottom, y + 1);
            }
    EXPECT_EQ(ink.Width(), 7);
    EXPECT_EQ(ink.Height(), 4);
    EXPECT_EQ(a.At(ink.Left, ink.Top), kDark);
    EXPECT_EQ(a.At(ink.Left, ink.Bottom - 1), kFace);
}
