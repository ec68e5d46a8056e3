#pragma once
// Short cuts as the menus code them: the virtual key in the low byte, the modifiers in the
// top bits (Ctrl+Enter is 16397).

#include <cstdint>

#include "platform/forms/control_types.h"

using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// Key with the Shift, Ctrl and Alt states of Shift; 0 when Key has bits beyond the key byte.
inline TShortCut ShortCut(uint16_t Key, TShiftState Shift) {
    if (Key & 0xFF00) return scNone;
    TShortCut s = Key;
    if (Shift.Contains(ssShift)) s |= scShift;
    if (Shift.Contains(ssCtrl)) s |= scCtrl;
    if (Shift.Contains(ssAlt)) s |= scAlt;
    return s;
}
