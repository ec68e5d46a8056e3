#pragma once
// What an X key event means to the window layer. X names keys by keysym; the window layer
// wants a virtual key (the key's place, as the layout's unshifted symbol names it) and the
// character the key types. The window layer would type a key's US character itself, so a
// press that types something on the user's layout goes out with that character (German
// umlauts, Shift+2 = ", AltGr, Caps Lock): one WM_KEYDOWN, then the right WM_CHAR.

#include <cstdint>
#include <string>

// The virtual key of a keysym (0 when the window layer has none, e.g. AltGr).
uint16_t VirtualKeyForKeysym(unsigned long keysym);
// The character a keysym stands for (0 for none: function keys, modifiers, dead keys).
char32_t CharForKeysym(unsigned long keysym);
bool IsDeadKeysym(unsigned long keysym);

// How one key press is delivered: as a key, typing either the window layer's own character
// or the layout's `keyChar`, then any further typed characters (alone when there is no key).
struct KeyDelivery {
    bool key = false;
    bool layoutChar = false;
    char32_t keyChar = 0;
    std::u32string chars;
};
// `text` is what the layout typed for the press (after dead-key composition).
KeyDelivery PlanKeyPress(uint16_t vk, const std::u32string& text, bool ctrl);

// Dead keys without an input method: a dead key waits for the next character and combines
// with it (´ + e = é); a character it does not combine with follows the accent itself.
class DeadKeyComposer {
public:
    // The dead key is remembered; a second dead key gives out the first one's accent.
    std::u32string FeedDeadKey(unsigned long keysym);
    // A key's character (0: a key without one, such as Shift, keeps the accent waiting).
    std::u32string FeedChar(char32_t ch);
    bool Pending() const { return pending_ != 0; }
    void Reset() { pending_ = 0; }

private:
    unsigned long pending_ = 0;
};
