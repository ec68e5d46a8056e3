#include "platform/win/input.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <map>

#include "platform/gdi/system_metrics.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/virtual_keys.h"
#include "platform/win/window_system.h"
#include "platform/win/window_tree_internal.h"

using namespace win_internal;

namespace {

// Key state: bit 7 down, bit 0 toggled. `sync` follows the messages handed out, `async`
// the raw input (written under the window system's lock, read without it).
std::array<uint8_t, 256>& SyncKeys() {
    static std::array<uint8_t, 256> keys{};
    return keys;
}
std::array<std::atomic<uint8_t>, 256>& AsyncKeys() {
    static std::array<std::atomic<uint8_t>, 256> keys{};
    return keys;
}

void Push(RawInput in) {
    WindowSystem& sys = WindowSystem::Get();
    in.time = GetTickCount();
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        sys.input.push_back(in);
        sys.MarkChangedLocked();
    }
    sys.WakeAfterUnlock();
}

void SetKey(std::array<uint8_t, 256>& keys, uint16_t vk, bool down) {
    uint8_t& k = keys[vk & 0xFF];
    if (down && !(k & 0x80)) k ^= 0x01;
    k = static_cast<uint8_t>(down ? (k | 0x80) : (k & ~0x80));
}

bool SyncDown(uint16_t vk) { return (SyncKeys()[vk & 0xFF] & 0x80) != 0; }

// The generic key also follows its left/right variants and the other way round.
void SetSyncKey(uint16_t vk, bool down) {
    SetKey(SyncKeys(), vk, down);
    auto both = [&](uint16_t generic, uint16_t l, uint16_t r) {
        if (vk == l || vk == r) SetKey(SyncKeys(), generic, down);
        if (vk == generic) SetKey(SyncKeys(), l, down);
    };
    both(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    both(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    both(VK_MENU, VK_LMENU, VK_RMENU);
}

WPARAM MouseKeys() {
    WPARAM k = 0;
    if (SyncDown(VK_LBUTTON)) k |= MK_LBUTTON;
    if (SyncDown(VK_RBUTTON)) k |= MK_RBUTTON;
    if (SyncDown(VK_MBUTTON)) k |= MK_MBUTTON;
    if (SyncDown(VK_SHIFT)) k |= MK_SHIFT;
    if (SyncDown(VK_CONTROL)) k |= MK_CONTROL;
    return k;
}

HWND KeyTarget() {
    TreeState& t = Tree();
    if (Rec(t.focus)) return t.focus;
    if (Rec(t.active)) return t.active;
    return nullptr;
}

bool TopLevelEnabled(HWND wnd) {
    HWND root = RootOf(wnd);
    return root && !(root->style & WS_DISABLED);
}

void ConvertMouse(const RawInput& in) {
    TreeState& t = Tree();
    TPoint screen{in.x, in.y};
    t.mouse = screen;
    if (t.track_wnd) {
        if (in.kind == RawInput::kMouseMove) ScrollBarTrack(screen, false);
        if (in.kind == RawInput::kMouseButton && in.button == 0 && !in.down) {
            SetSyncKey(VK_LBUTTON, false);
            ScrollBarTrack(screen, true);
        }
        return;
    }
    if (t.move_wnd) {
        const bool release = in.kind == RawInput::kMouseButton && in.button == 0 && !in.down;
        if (release) SetSyncKey(VK_LBUTTON, false);
        if (in.kind == RawInput::kMouseMove || release) {
            HWND wnd = t.move_wnd;
            if (release) t.move_wnd = nullptr;
            if (Rec(wnd))
                SetWindowPos(wnd, nullptr, screen.X - t.move_grab.X, screen.Y - t.move_grab.Y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            else
                t.move_wnd = nullptr;
        }
        return;
    }
    HWND target = nullptr;
    LRESULT hit = HTCLIENT;
    if (Rec(t.capture)) {
        target = t.capture;
    } else {
        target = WindowFromPoint(screen);
        if (target) hit = SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
    }
    if (target != t.hover) {
        HWND old = t.hover;
        t.hover = target;
        if (Rec(old)) SendMessage(old, WM_MOUSELEAVE, 0, 0);
    }
    if (!Rec(target)) return;
    bool enabled = TopLevelEnabled(target) && IsWindowEnabled(target);
    UINT base = 0;
    if (in.kind == RawInput::kMouseButton) {
        static constexpr uint16_t kVk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
        SetSyncKey(kVk[in.button], in.down);
    }
    if (!Rec(t.capture))
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                    MAKELPARAM(static_cast<int>(hit), in.kind == RawInput::kMouseMove ? WM_MOUSEMOVE
                                                      : in.down                       ? WM_LBUTTONDOWN + 3 * in.button
                                                                                      : WM_LBUTTONUP + 3 * in.button));
    if (!Rec(target)) return;
    if (!enabled) {
        if (in.kind == RawInput::kMouseButton && in.down) MessageBeep(0);
        return;
    }
    if (in.kind == RawInput::kMouseMove) {
        base = WM_MOUSEMOVE;
    } else {
        bool dbl = false;
        if (in.down) {
            HWND root = RootOf(target);
            if (root && root != t.active && !(root->ex_style & WS_EX_NOACTIVATE) && !(root->style & WS_CHILD)) {
                LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root),
                                         MAKELPARAM(static_cast<int>(hit), WM_LBUTTONDOWN + 3 * in.button));
                if (ma != MA_NOACTIVATE && Rec(root)) SetActiveWindow(root);
                if (!Rec(target)) return;
            }
            uint32_t elapsed = in.time - t.last_click_time;
            dbl = !t.last_was_double && t.last_click_wnd == target && t.last_click_button == in.button &&
                  elapsed <= GetDoubleClickTime() &&
                  std::abs(screen.X - t.last_click_pos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                  std::abs(screen.Y - t.last_click_pos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK);
            t.last_was_double = dbl;
            t.last_click_wnd = target;
            t.last_click_button = in.button;
            t.last_click_time = in.time;
            t.last_click_pos = screen;
        }
        base = static_cast<UINT>(WM_LBUTTONDOWN + 3 * in.button + (in.down ? (dbl ? 2 : 0) : 1));
    }
    if (hit == HTCLIENT) {
        TPoint p = screen;
        ScreenToClient(target, &p);
        PostMessage(target, base, MouseKeys(), MAKELPARAM(p.X, p.Y));
    } else {
        UINT nc = base - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        PostMessage(target, nc, static_cast<WPARAM>(hit), MAKELPARAM(screen.X, screen.Y));
    }
}

// The characters key presses type, from their conversion until their WM_KEYDOWN is
// pre-translated, in the order the presses were converted. A press injected without a
// layout character types the US one (KeyToChar). Entries ahead of the one taken belong to
// key messages removed without being dispatched; a short cap drops any that never will be.
struct KeyPressChar {
    HWND wnd = nullptr;
    uint16_t vk = 0;
    char32_t ch = 0;
    bool layout = false;
};
std::deque<KeyPressChar>& KeyPressChars() {
    static std::deque<KeyPressChar> pending;
    return pending;
}

void NoteKeyPressChar(const RawInput& in, HWND target) {
    if (!in.down) return;
    std::deque<KeyPressChar>& pending = KeyPressChars();
    if (pending.size() >= 32) pending.pop_front();
    pending.push_back(KeyPressChar{target, in.vk, in.ch, in.layoutChar});
}

// Taken before any handler of the key runs, so a modal loop inside one cannot hand the
// character to another key. False: the key types its US character.
bool TakeLayoutChar(HWND wnd, UINT msg, WPARAM vk, char32_t* ch) {
    if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN) return false;
    std::deque<KeyPressChar>& pending = KeyPressChars();
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->wnd != wnd || it->vk != vk) continue;
        KeyPressChar found = *it;
        pending.erase(pending.begin(), it + 1);
        *ch = found.ch;
        return found.layout;
    }
    return false;
}

void ConvertKey(const RawInput& in) {
    bool wasDown = SyncDown(in.vk);
    SetSyncKey(in.vk, in.down);
    HWND target = KeyTarget();
    if (!target || !TopLevelEnabled(target)) return;
    bool alt = SyncDown(VK_MENU);
    bool sys = (alt && !SyncDown(VK_CONTROL)) || in.vk == VK_F10 || in.vk == VK_MENU;
    UINT msg = in.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM data = 1;
    if (alt) data |= 1 << 29;
    if (wasDown) data |= 1 << 30;
    if (!in.down) data |= static_cast<LPARAM>(1u << 31);
    PostMessage(target, msg, in.vk, data);
    NoteKeyPressChar(in, target);
}

}  // namespace

// ---- Raw input ----
void InjectMouseMove(TPoint screen) {
    RawInput in;
    in.kind = RawInput::kMouseMove;
    in.x = screen.X;
    in.y = screen.Y;
    Push(in);
}

void InjectMouseButton(TPoint screen, MouseButton button, bool down) {
    RawInput in;
    in.kind = RawInput::kMouseButton;
    in.x = screen.X;
    in.y = screen.Y;
    in.button = static_cast<int>(button);
    in.down = down;
    static constexpr uint16_t kVk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    uint16_t vk = kVk[in.button];
    AsyncKeys()[vk].store(down ? 0x80 : 0);
    Push(in);
}

void InjectMouseWheel(TPoint screen, int notches) {
    RawInput in;
    in.kind = RawInput::kWheel;
    in.x = screen.X;
    in.y = screen.Y;
    in.wheel = notches;
    Push(in);
}

void InjectKey(uint16_t vk, bool down) {
    RawInput in;
    in.kind = RawInput::kKey;
    in.vk = vk;
    in.down = down;
    uint8_t k = AsyncKeys()[vk & 0xFF].load();
    AsyncKeys()[vk & 0xFF].store(static_cast<uint8_t>(down ? (k | 0x80) : (k & 0x7F)));
    Push(in);
}

void InjectLayoutKey(uint16_t vk, bool down, char32_t layoutChar) {
    RawInput in;
    in.kind = RawInput::kKey;
    in.vk = vk;
    in.down = down;
    in.ch = layoutChar;
    in.layoutChar = true;
    uint8_t k = AsyncKeys()[vk & 0xFF].load();
    AsyncKeys()[vk & 0xFF].store(static_cast<uint8_t>(down ? (k | 0x80) : (k & 0x7F)));
    Push(in);
}

void InjectChar(char32_t codePoint) {
    RawInput in;
    in.kind = RawInput::kChar;
    in.ch = codePoint;
    Push(in);
}

bool InputPending() {
    WindowSystem& sys = WindowSystem::Get();
    std::lock_guard<std::mutex> guard(sys.lock);
    return !sys.input.empty();
}

char32_t KeyToChar(uint16_t vk, bool shift, bool ctrl) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return static_cast<char32_t>(vk - 'A' + 1);
        return static_cast<char32_t>(shift ? vk : vk + 32);
    }
    if (ctrl) return vk == VK_RETURN ? 10 : (vk == VK_BACK ? 127 : 0);
    if (vk >= '0' && vk <= '9') {
        static const char kShifted[] = ")!@#$%^&*(";
        return static_cast<char32_t>(shift ? kShifted[vk - '0'] : vk);
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char32_t>('0' + vk - VK_NUMPAD0);
    switch (vk) {
        case VK_SPACE: return U' ';
        case VK_RETURN: return 13;
        case VK_BACK: return 8;
        case VK_TAB: return 9;
        case VK_ESCAPE: return 27;
        case VK_MULTIPLY: return U'*';
        case VK_ADD: return U'+';
        case VK_SUBTRACT: return U'-';
        case VK_DECIMAL: return U'.';
        case VK_DIVIDE: return U'/';
        case VK_OEM_1: return shift ? U':' : U';';
        case VK_OEM_PLUS: return shift ? U'+' : U'=';
        case VK_OEM_COMMA: return shift ? U'<' : U',';
        case VK_OEM_MINUS: return shift ? U'_' : U'-';
        case VK_OEM_PERIOD: return shift ? U'>' : U'.';
        case VK_OEM_2: return shift ? U'?' : U'/';
        case VK_OEM_3: return shift ? U'~' : U'`';
        case VK_OEM_4: return shift ? U'{' : U'[';
        case VK_OEM_5: return shift ? U'|' : U'\\';
        case VK_OEM_6: return shift ? U'}' : U']';
        case VK_OEM_7: return shift ? U'"' : U'\'';
        default: return 0;
    }
}

namespace win_internal {

bool PumpInput() {
    WindowSystem& sys = WindowSystem::Get();
    RawInput in;
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        if (sys.input.empty()) return false;
        in = sys.input.front();
        sys.input.pop_front();
    }
    switch (in.kind) {
        case RawInput::kMouseMove:
        case RawInput::kMouseButton: ConvertMouse(in); break;
        case RawInput::kWheel: {
            Tree().mouse = TPoint{in.x, in.y};
            HWND target = KeyTarget();
            if (!target) target = WindowFromPoint(TPoint{in.x, in.y});
            if (target && TopLevelEnabled(target))
                PostMessage(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeys()), in.wheel * WHEEL_DELTA),
                            MAKELPARAM(in.x, in.y));
            break;
        }
        case RawInput::kKey: ConvertKey(in); break;
        case RawInput::kChar: {
            HWND target = KeyTarget();
            if (target && TopLevelEnabled(target)) PostMessage(target, WM_CHAR, static_cast<WPARAM>(in.ch), 1);
            break;
        }
    }
    return true;
}

void BeginCaptionMove(HWND wnd, TPoint screen) {
    TreeState& t = Tree();
    HWND root = RootOf(wnd);
    if (!root || !SyncDown(VK_LBUTTON)) return;
    // A click whose release came in meanwhile is over: a window manager handed the move now
    // would drag the window until the next click. The window layer's own move ends at that
    // release instead.
    const bool stillDown = (AsyncKeys()[VK_LBUTTON].load() & 0x80) != 0;
    if (t.sink && stillDown && t.sink->BeginMove(root, screen)) {
        // The window manager holds the mouse until the release, which we never see.
        SetSyncKey(VK_LBUTTON, false);
        return;
    }
    TRect wr;
    GetWindowRect(root, &wr);
    t.move_wnd = root;
    t.move_grab = TPoint{screen.X - wr.Left, screen.Y - wr.Top};
}

bool PreTranslateKey(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (!Rec(wnd)) return true;
    char32_t layoutChar = 0;
    bool fromLayout = TakeLayoutChar(wnd, msg, wparam, &layoutChar);
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        HWND popup = Tree().capture;
        if (Rec(popup) && popup != wnd && (popup->ex_style & WS_EX_NOACTIVATE) &&
            SendMessage(popup, WM_POPUPKEY, wparam, lparam) != 0)
            return false;
        if (!Rec(wnd)) return false;
    }
    if (SendMessage(wnd, CN_BASE + msg, wparam, lparam) != 0) return false;
    if (!Rec(wnd)) return false;
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        char32_t ch = fromLayout ? layoutChar
                                 : KeyToChar(static_cast<uint16_t>(wparam), SyncDown(VK_SHIFT), SyncDown(VK_CONTROL));
        // Alt combinations become WM_SYSCHAR (accelerators); plain keys WM_CHAR.
        if (ch != 0) PostMessage(wnd, msg == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(ch), lparam);
    }
    return true;
}

}  // namespace win_internal

// ---- Key state ----
int16_t GetKeyState(int vk) {
    uint8_t k = SyncKeys()[vk & 0xFF];
    return static_cast<int16_t>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

int16_t GetAsyncKeyState(int vk) {
    uint8_t k = AsyncKeys()[vk & 0xFF].load();
    return static_cast<int16_t>((k & 0x80) ? 0x8000 : 0);
}

unsigned WheelScrollLines() { return 3; }

// ---- Focus and activation ----
HWND SetFocus(HWND wnd) {
    TreeState& t = Tree();
    HWND old = t.focus;
    if (wnd != nullptr) {
        WindowRecord* r = Rec(wnd);
        if (!r) return nullptr;
        for (WindowRecord* a = r; a; a = a->parent)
            if (a->style & WS_DISABLED) return nullptr;
        HWND root = RootOf(wnd);
        if (root != t.active && !(root->ex_style & WS_EX_NOACTIVATE)) {
            SetActiveWindow(root);
            if (!Rec(wnd)) return old;
            old = t.focus;
        }
    }
    if (old == wnd) return old;
    t.focus = wnd;
    if (Rec(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(wnd), 0);
    if (t.focus != wnd) return old;  // a handler moved the focus elsewhere
    if (Rec(wnd)) SendMessage(wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(Rec(old) ? old : nullptr), 0);
    return old;
}

HWND GetFocus() { return Rec(Tree().focus) ? Tree().focus : nullptr; }

HWND SetActiveWindow(HWND wnd) {
    TreeState& t = Tree();
    if (wnd) {
        wnd = RootOf(wnd);
        if (!wnd) return nullptr;
    }
    HWND old = Rec(t.active) ? t.active : nullptr;
    if (old == wnd) return old;
    if (Rec(t.capture)) SendMessage(t.capture, WM_CANCELMODE, 0, 0);
    t.active = wnd;
    if (t.sink) t.sink->TopLevelActivated(wnd);
    if (old) {
        SendMessage(old, WM_NCACTIVATE, 0, 0);
        InvalidateFrame(old);
        SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(wnd));
    }
    if (t.active != wnd) return old;
    if (wnd && Rec(wnd)) {
        SendMessage(wnd, WM_NCACTIVATE, 1, 0);
        InvalidateFrame(wnd);
        SendMessage(wnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
        // The focus follows the activation unless the handler placed it inside already.
        if (t.active == wnd && Rec(wnd) && (t.focus == nullptr || RootOf(t.focus) != wnd)) SetFocus(wnd);
    } else if (t.focus && RootOf(t.focus) == old) {
        SetFocus(nullptr);
    }
    return old;
}

HWND GetActiveWindow() { return Rec(Tree().active) ? Tree().active : nullptr; }

bool SetForegroundWindow(HWND wnd) {
    if (!Rec(wnd)) return false;
    SetActiveWindow(wnd);
    return true;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

// ---- Capture ----
HWND SetCapture(HWND wnd) {
    TreeState& t = Tree();
    HWND old = Rec(t.capture) ? t.capture : nullptr;
    if (!Rec(wnd)) return old;
    t.capture = wnd;
    if (old && old != wnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(wnd));
    return old;
}

bool ReleaseCapture() {
    TreeState& t = Tree();
    HWND old = t.capture;
    t.capture = nullptr;
    if (Rec(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return true;
}

HWND GetCapture() { return Rec(Tree().capture) ? Tree().capture : nullptr; }

// ---- Mouse position and cursors ----
bool GetCursorPos(TPoint* p) {
    if (!p) return false;
    *p = Tree().mouse;
    return true;
}

bool SetCursorPos(int x, int y) {
    InjectMouseMove(TPoint{x, y});
    return true;
}

HCURSOR LoadCursor(HCURSOR id) { return id; }

namespace {

struct OwnCursor {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> andPlane;
    std::vector<uint8_t> xorPlane;
};

std::map<HCURSOR, OwnCursor>& OwnCursors() {
    static std::map<HCURSOR, OwnCursor> cursors;
    return cursors;
}

}  // namespace

HCURSOR CreateCursor(int xHotSpot, int yHotSpot, int width, int height, const uint8_t* andPlane,
                     const uint8_t* xorPlane) {
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || !andPlane || !xorPlane) return 0;
    if (xHotSpot < 0 || yHotSpot < 0 || xHotSpot >= width || yHotSpot >= height) return 0;
    static HCURSOR next = 0x10000;
    const size_t bytes = static_cast<size_t>((width + 15) / 16 * 2) * static_cast<size_t>(height);
    OwnCursor c;
    c.width = width;
    c.height = height;
    c.andPlane.assign(andPlane, andPlane + bytes);
    c.xorPlane.assign(xorPlane, xorPlane + bytes);
    const HCURSOR id = next++;
    OwnCursors()[id] = std::move(c);
    return id;
}

bool DestroyCursor(HCURSOR cursor) { return OwnCursors().erase(cursor) > 0; }

bool GetCursorPicture(HCURSOR cursor, int* width, int* height, std::vector<uint8_t>* andPlane,
                      std::vector<uint8_t>* xorPlane) {
    auto it = OwnCursors().find(cursor);
    if (it == OwnCursors().end()) return false;
    if (width) *width = it->second.width;
    if (height) *height = it->second.height;
    if (andPlane) *andPlane = it->second.andPlane;
    if (xorPlane) *xorPlane = it->second.xorPlane;
    return true;
}

HCURSOR SetCursor(HCURSOR cursor) {
    TreeState& t = Tree();
    HCURSOR old = t.cursor;
    t.cursor = cursor;
    if (old != cursor && t.sink) t.sink->CursorChanged(cursor);
    return old;
}

HCURSOR GetCursor() { return Tree().cursor; }

bool MessageBeep(unsigned) {
    ++Tree().beeps;
    return true;
}

unsigned MessageBeepCount() { return Tree().beeps; }
