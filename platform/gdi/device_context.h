#pragma once
// Device contexts: where drawing goes (a bitmap, or a window's part of its top-level back
// buffer), with the selected objects, colours, modes, origins and clipping. Coordinates
// given to drawing calls are logical; device = logical - window origin + viewport origin;
// the surface pixel is device + the context's origin on its surface (a child window's
// place in the back buffer). Every pixel a context writes lies inside its clip.

#include <optional>
#include <vector>

#include "platform/gdi/gdi_objects.h"

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

constexpr int TA_LEFT = 0;
constexpr int TA_RIGHT = 2;
constexpr int TA_CENTER = 6;
constexpr int TA_TOP = 0;
constexpr int TA_BOTTOM = 8;
constexpr int TA_BASELINE = 24;
constexpr int TA_UPDATECP = 1;

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

struct DcState {
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int textAlign = TA_LEFT | TA_TOP;
    int polyFillMode = ALTERNATE;
    int stretchMode = 1;
    TPoint brushOrg;
    TPoint windowOrg;
    TPoint viewportOrg;
    TPoint penPos;
    std::optional<Region> clip;  // device coordinates; none = no clip region selected
};

class DeviceContext {
public:
    // A memory context (no surface until a bitmap is selected) or a context on a surface.
    DeviceContext();
    DeviceContext(HBITMAP surface, TPoint origin, std::optional<Region> systemClip);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    DcState& State() { return state_; }
    const DcState& State() const { return state_; }
    HGDIOBJ Select(HGDIOBJ obj);
    int Save();
    bool Restore(int level);

    GdiBitmap* Surface() const { return surface_ ? surface_ : state_.bitmap; }
    bool IsMemoryDC() const { return surface_ == nullptr; }
    TPoint Origin() const { return origin_; }
    // Surface position of logical (0, 0).
    TPoint LogicalToSurface() const {
        return {origin_.X - state_.windowOrg.X + state_.viewportOrg.X,
                origin_.Y - state_.windowOrg.Y + state_.viewportOrg.Y};
    }
    // The clip as disjoint rectangles in surface coordinates; recomputed when it changed.
    const std::vector<TRect>& ClipRects();
    void ClipChanged() { clipValid_ = false; }
    void SetSystemClip(std::optional<Region> clip);
    void SetOrigin(TPoint origin);

private:
    void RetainState(const DcState& s);
    void ReleaseState(const DcState& s);

    GdiBitmap* surface_ = nullptr;  // not owned; null for memory contexts
    TPoint origin_;
    std::optional<Region> systemClip_;  // surface coordinates
    DcState state_;
    std::vector<DcState> saved_;
    std::vector<TRect> clipRects_;
    bool clipValid_ = false;
    GdiBitmap* clipSurface_ = nullptr;
    TSize clipSize_;
};

using HDC = DeviceContext*;

// A memory context; the argument is accepted for the window system's signature only.
HDC CreateCompatibleDC(HDC dc);
// A context on a surface (the window layer's back buffers); origin is the surface pixel of
// device (0, 0), systemClip (surface coordinates) limits what it may touch.
HDC CreateSurfaceDC(HBITMAP surface, TPoint origin, std::optional<Region> systemClip);
bool DeleteDC(HDC dc);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
constexpr int OBJ_PEN = 1;
constexpr int OBJ_BRUSH = 2;
constexpr int OBJ_FONT = 6;
constexpr int OBJ_BITMAP = 7;
HGDIOBJ GetCurrentObject(HDC dc, int type);
int SaveDC(HDC dc);
// A negative level counts back from the newest saved state.
bool RestoreDC(HDC dc, int level);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop);
int GetROP2(HDC dc);
int SetTextAlign(HDC dc, int align);
int GetTextAlign(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int SetStretchBltMode(HDC dc, int mode);
bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetBrushOrgEx(HDC dc, TPoint* org);
bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetWindowOrgEx(HDC dc, TPoint* org);
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetViewportOrgEx(HDC dc, TPoint* org);
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old);
bool OffsetViewportOrgEx(HDC dc, int dx, int dy, TPoint* old);
bool LPtoDP(HDC dc, TPoint* points, int count);
bool DPtoLP(HDC dc, TPoint* points, int count);

// Clipping. Rectangles are logical, regions device coordinates (as in the window system).
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int OffsetClipRgn(HDC dc, int dx, int dy);
// 1 and a copy in rgn when a clip region is selected, 0 when none, -1 on error.
int GetClipRgn(HDC dc, HRGN rgn);
int GetClipBox(HDC dc, TRect* box);
bool RectVisible(HDC dc, const TRect& r);
bool PtVisible(HDC dc, int x, int y);

// The colour a context shows for a requested one: our surfaces hold 32 bits a pixel, so
// every colour is shown as it is.
inline COLORREF GetNearestColor(HDC /*dc*/, COLORREF color) { return color; }
