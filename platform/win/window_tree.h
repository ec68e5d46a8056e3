#pragma once
// Windows as a tree: top-level windows (with an optional owner) and child windows inside
// their parent's client area. Each window has a rectangle (a child's relative to its
// parent's client area, a top-level window's on the screen), a client area inside it that
// WM_NCCALCSIZE decides, a style, visibility, an enabled state, a text and a z-order among
// its siblings (first = topmost). All of it belongs to the window thread.

#include <cstdint>
#include <string>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/geometry.h"
#include "platform/win/window_handle.h"

using DWORD = uint32_t;

// Styles.
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;  // border and title bar
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
// Extended styles.
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
inline constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

// Creates a window on the window thread and sends it WM_NCCALCSIZE and WM_CREATE. With
// WS_CHILD, `parent` is the parent (required); otherwise it is the owner (may be null).
// The window starts hidden unless the style holds WS_VISIBLE.
HWND CreateWindowEx(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND parent, WNDPROC proc,
                    const std::string& text = {});

HWND GetParent(HWND wnd);  // the parent of a child window, the owner of a top-level one
// Moves a child under another parent (null: it becomes a top-level window). Answers the
// previous parent.
HWND SetParent(HWND wnd, HWND newParent);
bool IsChild(HWND parent, HWND wnd);  // wnd is a descendant of parent
// Gives a top-level window an owner (null: none), as SetWindowLongPtr(GWLP_HWNDPARENT) does;
// a window cannot own itself or one of its owners. Answers the previous owner.
HWND SetWindowOwner(HWND wnd, HWND owner);
inline constexpr unsigned GA_PARENT = 1;
inline constexpr unsigned GA_ROOT = 2;
HWND GetAncestor(HWND wnd, unsigned flags);

inline constexpr unsigned GW_HWNDFIRST = 0;
inline constexpr unsigned GW_HWNDLAST = 1;
inline constexpr unsigned GW_HWNDNEXT = 2;
inline constexpr unsigned GW_HWNDPREV = 3;
inline constexpr unsigned GW_OWNER = 4;
inline constexpr unsigned GW_CHILD = 5;
// Z-order walk: GW_CHILD gives the topmost child; null parent lists the top-level windows.
HWND GetWindow(HWND wnd, unsigned cmd);
HWND GetTopWindow(HWND parent);

inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
DWORD GetWindowLong(HWND wnd, int index);
// Changing the frame styles (border, caption, scroll bars) takes effect with
// SetWindowPos(SWP_FRAMECHANGED).
DWORD SetWindowLong(HWND wnd, int index, DWORD value);

// Window text (the caption of a top-level window); sends nothing.
std::string GetWindowText(HWND wnd);
void SetWindowText(HWND wnd, const std::string& text);

inline constexpr unsigned SWP_NOSIZE = 0x0001;
inline constexpr unsigned SWP_NOMOVE = 0x0002;
inline constexpr unsigned SWP_NOZORDER = 0x0004;
inline constexpr unsigned SWP_NOREDRAW = 0x0008;
inline constexpr unsigned SWP_NOACTIVATE = 0x0010;
inline constexpr unsigned SWP_FRAMECHANGED = 0x0020;
inline constexpr unsigned SWP_SHOWWINDOW = 0x0040;
inline constexpr unsigned SWP_HIDEWINDOW = 0x0080;
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
// What WM_WINDOWPOSCHANGED points at (lParam) after a move, size, re-stack, show or hide.
struct WINDOWPOS {
    HWND hwnd = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    unsigned flags = 0;
};

// Moves, sizes, re-stacks, shows or hides. A changed size sends WM_NCCALCSIZE and, when
// the client size changed, WM_SIZE (client width/height); a changed place sends WM_MOVE.
// Uncovered parts of the parent and the window's new area are invalidated.
bool SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int width, int height, unsigned flags);
bool MoveWindow(HWND wnd, int x, int y, int width, int height, bool repaint = true);
bool BringWindowToTop(HWND wnd);

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWNA = 8;
// Sends WM_SHOWWINDOW; showing a top-level window activates it unless SW_SHOWNOACTIVATE,
// SW_SHOWNA or WS_EX_NOACTIVATE. Hiding the active window activates the next one.
// Answers whether it was visible before.
bool ShowWindow(HWND wnd, int cmd);
// The window's own WS_VISIBLE flag (IsWindowVisible also needs every ancestor visible).
bool IsWindowVisible(HWND wnd);
bool IsWindowEnabled(HWND wnd);
// Sends WM_ENABLE; disabling the focus window (or its ancestor) moves the focus away.
// Answers whether it was disabled before.
bool EnableWindow(HWND wnd, bool enable);

// Window rectangle in screen coordinates; client rectangle as (0, 0, width, height).
bool GetWindowRect(HWND wnd, TRect* r);
bool GetClientRect(HWND wnd, TRect* r);
// Grows a client rectangle into the window rectangle the default frame of these styles
// needs (borders, caption, client edge, scroll bars).
bool AdjustWindowRectEx(TRect* rect, DWORD style, bool menu, DWORD exStyle);
// The client area's place inside the window rectangle (window coordinates).
TRect GetClientAreaInWindow(HWND wnd);
bool ClientToScreen(HWND wnd, TPoint* p);
bool ScreenToClient(HWND wnd, TPoint* p);
// Maps points between client areas (null: the screen).
int MapWindowPoints(HWND from, HWND to, TPoint* points, int count);

// The deepest visible, enabled window at a screen point (window regions and
// WM_NCHITTEST answers of HTTRANSPARENT count). A disabled child gives its parent.
HWND WindowFromPoint(TPoint screen);
// The child of `parent` (client coordinates) at the point, or parent itself, or null when
// the point lies outside; hidden children are skipped, disabled ones are not.
HWND ChildWindowFromPoint(HWND parent, TPoint client);

// Window regions: the window takes `rgn` over (null removes it); window coordinates.
// Outside it the window neither paints nor receives the mouse.
int SetWindowRgn(HWND wnd, HRGN rgn, bool redraw);
// Copies the region into rgn; ERROR (0) when the window has none.
int GetWindowRgn(HWND wnd, HRGN rgn);

// Enumerates child windows depth-first (the callback answers false to stop).
void EnumChildWindows(HWND parent, const std::function<bool(HWND)>& fn);
// Top-level windows, topmost first.
void EnumWindows(const std::function<bool(HWND)>& fn);
