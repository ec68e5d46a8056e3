#include "platform/display/x11/x11_key_map.h"

#include <X11/keysym.h>

#include "platform/win/virtual_keys.h"

namespace {

// The key left of Y on a German keyboard (< > |); the window layer has no name for it.
constexpr uint16_t kVkOem102 = 0xE2;

struct KeyName {
    unsigned long keysym;
    uint16_t vk;
};

constexpr KeyName kKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Clear, VK_CLEAR},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Pause, VK_PAUSE},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},
    {XK_KP_Delete, VK_DELETE},
    {XK_Home, VK_HOME},
    {XK_KP_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_KP_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_KP_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_KP_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_KP_Down, VK_DOWN},
    {XK_Prior, VK_PRIOR},
    {XK_KP_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_KP_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_KP_End, VK_END},
    {XK_KP_Begin, VK_CLEAR},
    {XK_Select, VK_SELECT},
    {XK_Print, VK_SNAPSHOT},
    {XK_Execute, VK_EXECUTE},
    {XK_Insert, VK_INSERT},
    {XK_KP_Insert, VK_INSERT},
    {XK_Menu, VK_APPS},
    {XK_Help, VK_HELP},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    {XK_space, VK_SPACE},
    {XK_KP_Space, VK_SPACE},
    // US punctuation keys.
    {XK_semicolon, VK_OEM_1},
    {XK_equal, VK_OEM_PLUS},
    {XK_comma, VK_OEM_COMMA},
    {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD},
    {XK_slash, VK_OEM_2},
    {XK_grave, VK_OEM_3},
    {XK_bracketleft, VK_OEM_4},
    {XK_backslash, VK_OEM_5},
    {XK_bracketright, VK_OEM_6},
    {XK_apostrophe, VK_OEM_7},
    // German keys, named as a German Windows keyboard names them.
    {XK_udiaeresis, VK_OEM_1},
    {XK_plus, VK_OEM_PLUS},
    {XK_numbersign, VK_OEM_2},
    {XK_odiaeresis, VK_OEM_3},
    {XK_ssharp, VK_OEM_4},
    {XK_dead_circumflex, VK_OEM_5},
    {XK_asciicircum, VK_OEM_5},
    {XK_dead_acute, VK_OEM_6},
    {XK_dead_grave, VK_OEM_6},
    {XK_adiaeresis, VK_OEM_7},
    {XK_less, kVkOem102},
};

// Dead key, then base letter -> composed letter (Latin-1), and the accent on its own.
struct DeadKey {
    unsigned long keysym;
    char32_t spacing;
    const char32_t* pairs;  // base, composed, base, composed, ...
};

constexpr DeadKey kDeadKeys[] = {
    {XK_dead_grave, U'`', U"aàeèiìoòuùAÀEÈIÌOÒUÙ"},
    {XK_dead_acute, U'\u00B4', U"aáeéiíoóuúyýAÁEÉIÍOÓUÚYÝ"},
    {XK_dead_circumflex, U'^', U"aâeêiîoôuûAÂEÊIÎOÔUÛ"},
    {XK_dead_tilde, U'~', U"aãnñoõAÃNÑOÕ"},
    {XK_dead_diaeresis, U'\u00A8', U"aäeëiïoöuüyÿAÄEËIÏOÖUÜ"},
};

const DeadKey* FindDeadKey(unsigned long keysym) {
    for (const DeadKey& d : kDeadKeys)
        if (d.keysym == keysym) return &d;
    return nullptr;
}

bool IsControlChar(char32_t c) { return c < 0x20 || c == 0x7F; }

}  // namespace

uint16_t VirtualKeyForKeysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<uint16_t>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<uint16_t>(keysym);
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<uint16_t>(keysym);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<uint16_t>(VK_NUMPAD0 + (keysym - XK_KP_0));
    if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<uint16_t>(VK_F1 + (keysym - XK_F1));
    for (const KeyName& k : kKeys)
        if (k.keysym == keysym) return k.vk;
    return 0;
}

char32_t CharForKeysym(unsigned long keysym) {
    // Latin-1 keysyms are their code points; newer ones carry the code point behind 0x01000000.
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return static_cast<char32_t>(keysym);
    if ((keysym & 0xFF000000UL) == 0x01000000UL) return static_cast<char32_t>(keysym & 0x00FFFFFFUL);
    if (keysym == XK_EuroSign) return U'\u20AC';
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<char32_t>('0' + (keysym - XK_KP_0));
    switch (keysym) {
        case XK_KP_Space: return U' ';
        case XK_KP_Multiply: return U'*';
        case XK_KP_Add: return U'+';
        case XK_KP_Subtract: return U'-';
        case XK_KP_Decimal: return U'.';
        case XK_KP_Separator: return U',';
        case XK_KP_Divide: return U'/';
        default: return 0;
    }
}

bool IsDeadKeysym(unsigned long keysym) { return keysym >= 0xFE50 && keysym <= 0xFE8F; }

KeyDelivery PlanKeyPress(uint16_t vk, const std::u32string& text, bool ctrl) {
    KeyDelivery d;
    std::u32string printable;
    for (char32_t c : text)
        if (!IsControlChar(c)) printable += c;
    if (vk == 0) {
        d.chars = printable;
        return d;
    }
    d.key = true;
    // A key that types nothing printable (arrows, Shift+Tab), a control character (Delete
    // gives DEL, Ctrl+C gives ETX) and any Ctrl combination keep the window layer's own.
    if (printable.empty() || ctrl) return d;
    d.layoutChar = true;
    d.keyChar = printable[0];
    d.chars = printable.substr(1);
    return d;
}

std::u32string DeadKeyComposer::FeedDeadKey(unsigned long keysym) {
    std::u32string out;
    if (const DeadKey* old = FindDeadKey(pending_)) out += old->spacing;
    pending_ = FindDeadKey(keysym) ? keysym : 0;
    return out;
}

std::u32string DeadKeyComposer::FeedChar(char32_t ch) {
    if (ch == 0) return {};
    const DeadKey* dead = FindDeadKey(pending_);
    pending_ = 0;
    if (!dead || IsControlChar(ch)) return ch == 0 ? std::u32string{} : std::u32string(1, ch);
    if (ch == U' ') return std::u32string(1, dead->spacing);
    for (const char32_t* p = dead->pairs; p[0] && p[1]; p += 2)
        if (p[0] == ch) return std::u32string(1, p[1]);
    return std::u32string{dead->spacing, ch};
}
