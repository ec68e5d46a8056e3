#include "platform/gdi/color.h"

#include <array>
#include <cstddef>

namespace {

// The classic grey window scheme.
constexpr std::array<COLORREF, 31> kClassicScheme = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(223, 223, 223),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(192, 192, 192),  // (unused index 25)
    RGB(0, 0, 128),      // hot light
    RGB(16, 132, 208),   // gradient active caption
    RGB(181, 181, 181),  // gradient inactive caption
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

}  // namespace

COLORREF GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(kClassicScheme.size())) return 0;
    return kClassicScheme[static_cast<size_t>(index)];
}

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}
