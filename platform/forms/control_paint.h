#pragma once
// Drawing steps and text helpers the standard controls share: the classic 3D frame, text
// drawn greyed-out when disabled, measuring text with a font outside painting, accelerator
// characters, and code-point strings for the edit widgets.

#include <string>
#include <string_view>

#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"

// Two-colour frame of `width` pixels (top-left `topColor`, bottom-right `bottomColor`);
// `r` shrinks by what was drawn.
void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

// DrawText in the canvas font; disabled text is embossed (highlight one pixel down-right,
// then the shadow colour on top), as the classic look shows it.
int DrawControlText(TCanvas* canvas, std::string_view text, TRect& r, unsigned format, bool enabled);

// Measures with DT_CALCRECT in `font` without any window (r's left/top stay; width limits
// word-wrapped text).
TRect MeasureText(TFont* font, std::string_view text, TRect r, unsigned format);
int FontLineHeight(TFont* font);

// True when `ch` is the accelerator of `caption` ("&x", not "&&"), case-insensitively.
bool IsAccel(char32_t ch, std::string_view caption);
// The caption without its accelerator marks ("&&" becomes "&").
std::string StripAccel(std::string_view caption);

std::u32string ToU32(std::string_view utf8);
std::string ToUtf8(std::u32string_view text);
