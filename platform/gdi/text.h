#pragma once
// Text output with the built-in font selected into a context. Text is UTF-8.

#include <string_view>

#include "platform/gdi/device_context.h"
#include "platform/gdi/font_face.h"

bool GetTextMetrics(HDC dc, TEXTMETRIC* tm);
bool GetTextExtentPoint32(HDC dc, std::string_view text, TSize* size);
// The width of text in the context's font, without tab expansion or prefixes.
int TextPixelWidth(HDC dc, std::string_view text);

bool TextOut(HDC dc, int x, int y, std::string_view text);

constexpr unsigned ETO_OPAQUE = 0x0002;
constexpr unsigned ETO_CLIPPED = 0x0004;
bool ExtTextOut(HDC dc, int x, int y, unsigned options, const TRect* rect, std::string_view text,
                const int* dx = nullptr);

constexpr unsigned DT_TOP = 0x00000000;
constexpr unsigned DT_LEFT = 0x00000000;
constexpr unsigned DT_CENTER = 0x00000001;
constexpr unsigned DT_RIGHT = 0x00000002;
constexpr unsigned DT_VCENTER = 0x00000004;
constexpr unsigned DT_BOTTOM = 0x00000008;
constexpr unsigned DT_WORDBREAK = 0x00000010;
constexpr unsigned DT_SINGLELINE = 0x00000020;
constexpr unsigned DT_EXPANDTABS = 0x00000040;
constexpr unsigned DT_TABSTOP = 0x00000080;
constexpr unsigned DT_NOCLIP = 0x00000100;
constexpr unsigned DT_EXTERNALLEADING = 0x00000200;
constexpr unsigned DT_CALCRECT = 0x00000400;
constexpr unsigned DT_NOPREFIX = 0x00000800;
constexpr unsigned DT_INTERNAL = 0x00001000;
constexpr unsigned DT_EDITCONTROL = 0x00002000;
constexpr unsigned DT_PATH_ELLIPSIS = 0x00004000;
constexpr unsigned DT_END_ELLIPSIS = 0x00008000;
constexpr unsigned DT_MODIFYSTRING = 0x00010000;
constexpr unsigned DT_RTLREADING = 0x00020000;
constexpr unsigned DT_WORD_ELLIPSIS = 0x00040000;
constexpr unsigned DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr unsigned DT_HIDEPREFIX = 0x00100000;
constexpr unsigned DT_PREFIXONLY = 0x00200000;

// Lays out and draws text in r. Returns the text's height (with DT_VCENTER or DT_BOTTOM on
// a single line: the distance from r's top to the text's bottom). DT_CALCRECT draws
// nothing and sets r's right and bottom to the text's extent. Lines break at CR, LF and
// CR LF unless DT_SINGLELINE; DT_WORDBREAK breaks at blanks and never inside a word (a
// long word overflows and is clipped), with DT_EDITCONTROL also inside a word wider than a
// line, as a multi-line edit control does: after its last "/" or "\" that fits (behind other
// words only there), else where the line ends; "&x" underlines x and "&&" shows "&" unless
// DT_NOPREFIX; tabs expand to every 8 average character widths with DT_EXPANDTABS;
// DT_RTLREADING shows each line in right-to-left reading order (right_to_left_order.h),
// aligned as the other flags say.
int DrawText(HDC dc, std::string_view text, TRect& r, unsigned format);
