#pragma once
// The hand-drawn glyph source of the built-in font (format described in font_glyphs.cpp).
const char* BuiltInGlyphSource();
