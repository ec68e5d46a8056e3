#pragma once
// The built-in bitmap font: one family, regular and bold, Latin-1. At the default size
// (8 points, an 11-pixel character height) a line is 13 pixels: ascent 11, descent 2.
// Larger sizes scale the glyphs (nearest neighbour); bold widens every stroke by one pixel.
// Characters beyond Latin-1 show as a box; control characters take no room.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_objects.h"

struct TEXTMETRIC {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 0;
    int tmOverhang = 0;
    uint8_t tmItalic = 0;
    uint8_t tmUnderlined = 0;
    uint8_t tmStruckOut = 0;
    uint8_t tmFirstChar = 32;
    uint8_t tmLastChar = 255;
    uint8_t tmDefaultChar = 127;
    uint8_t tmBreakChar = 32;
    uint8_t tmPitchAndFamily = 0;
    uint8_t tmCharSet = 0;
};

struct GlyphRun {
    int16_t y;
    int16_t x0;
    int16_t x1;
};

struct FontGlyph {
    int width = 0;               // ink box width
    int advance = 0;             // pen movement
    std::vector<GlyphRun> runs;  // ink, relative to the glyph cell's top-left
};

class FontFace {
public:
    // The face of a logical font (cached; lives for the program's life).
    static const FontFace& For(const LOGFONT& lf);
    static const FontFace& Default();

    int Height() const { return height_; }
    int Ascent() const { return ascent_; }
    int Descent() const { return height_ - ascent_; }
    int InternalLeading() const { return internalLeading_; }
    int AveCharWidth() const { return aveCharWidth_; }
    int MaxCharWidth() const { return maxCharWidth_; }
    bool Bold() const { return bold_; }
    bool Italic() const { return italic_; }
    int LineThickness() const { return lineThickness_; }
    int UnderlineY() const { return underlineY_; }  // from the cell top
    int StrikeY() const { return strikeY_; }

    const FontGlyph& Glyph(uint32_t codePoint) const;
    int Advance(uint32_t codePoint) const { return Glyph(codePoint).advance; }

    FontFace(int emPixels, bool bold, bool italic);

private:
    int height_ = 13;
    int ascent_ = 11;
    int internalLeading_ = 2;
    int aveCharWidth_ = 5;
    int maxCharWidth_ = 0;
    bool bold_ = false;
    bool italic_ = false;
    int lineThickness_ = 1;
    int underlineY_ = 12;
    int strikeY_ = 7;
    std::array<FontGlyph, 256> glyphs_;
    FontGlyph box_;
    FontGlyph empty_;
};

// Decodes UTF-8 one code point at a time; a malformed byte counts as its Windows-1252
// character, so no text is ever lost from view.
uint32_t NextCodePoint(std::string_view text, size_t& pos);

void GetFontTextMetrics(const LOGFONT& lf, TEXTMETRIC* tm);
