#include "platform/gdi/text.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/raster.h"
#include "platform/gdi/right_to_left_order.h"

namespace {

const FontFace& FaceOf(HDC dc) {
    HFONT f = dc ? dc->State().font : nullptr;
    return f ? FontFace::For(f->log) : FontFace::Default();
}

bool Underlined(HDC dc) { return dc && dc->State().font && dc->State().font->log.lfUnderline; }
bool StruckOut(HDC dc) { return dc && dc->State().font && dc->State().font->log.lfStrikeOut; }

struct Char {
    uint32_t cp;
    bool underline;  // an accelerator ("&x")
};
using Line = std::vector<Char>;

Line Decode(std::string_view text) {
    Line out;
    size_t pos = 0;
    while (pos < text.size()) out.push_back({NextCodePoint(text, pos), false});
    return out;
}

struct Layout {
    const FontFace& face;
    bool expandTabs;
    int tabWidth;
    int CharAdvance(uint32_t cp, int x) const {
        if (cp == '\t' && expandTabs) return (x / tabWidth + 1) * tabWidth - x;
        return face.Advance(cp);
    }
    int Width(const Line& line) const {
        int x = 0;
        for (const Char& c : line) x += CharAdvance(c.cp, x);
        return x;
    }
};

// Draws one line with its top-left cell corner at surface (sx, sy).
void DrawLine(Raster& ras, const Layout& layout, int sx, int sy, const Line& line, uint32_t pixel, bool underline,
              bool strike) {
    const FontFace& f = layout.face;
    Paint ink;
    ink.color = pixel;
    GdiBitmap* s = ras.Surface();
    const std::vector<TRect>& clip = ras.Clip();
    int x = 0;
    for (const Char& c : line) {
        int adv = layout.CharAdvance(c.cp, x);
        const FontGlyph& g = f.Glyph(c.cp == '\t' ? ' ' : c.cp);
        int gx = sx + x;
        TRect box{gx, sy, gx + g.width + 1, sy + f.Height()};
        // Most glyphs lie wholly inside one clip rectangle: write their runs directly.
        const TRect* whole = nullptr;
        for (const TRect& cr : clip) {
            if (box.Left >= cr.Left && box.Right <= cr.Right && box.Top >= cr.Top && box.Bottom <= cr.Bottom) {
                whole = &cr;
                break;
            }
        }
        if (whole) {
            for (const GlyphRun& run : g.runs) std::fill_n(s->Row(sy + run.y) + gx + run.x0, run.x1 - run.x0, pixel);
        } else {
            for (const GlyphRun& run : g.runs) ras.Span(sy + run.y, gx + run.x0, gx + run.x1, ink);
        }
        if (c.underline) {
            int w = std::max(1, g.advance - 1);
            for (int t = 0; t < f.LineThickness(); ++t) ras.Span(sy + f.UnderlineY() + t, gx, gx + w, ink);
        }
        x += adv;
    }
    if (underline)
        for (int t = 0; t < f.LineThickness(); ++t) ras.Span(sy + f.UnderlineY() + t, sx, sx + x, ink);
    if (strike)
        for (int t = 0; t < f.LineThickness(); ++t) ras.Span(sy + f.StrikeY() + t, sx, sx + x, ink);
}

void OutputLine(HDC dc, Raster& ras, const Layout& layout, int x, int y, const Line& line) {
    int width = layout.Width(line);
    TPoint o = ras.Offset();
    if (dc->State().bkMode == OPAQUE)
        ras.FillRect({x + o.X, y + o.Y, x + o.X + width, y + o.Y + layout.face.Height()},
                     ras.Solid(dc->State().bkColor, R2_COPYPEN));
    DrawLine(ras, layout, x + o.X, y + o.Y, line, SurfacePixel(ras.Surface(), dc->State().textColor), Underlined(dc),
             StruckOut(dc));
}

Layout MakeLayout(HDC dc, bool expandTabs, int tabChars = 8) {
    const FontFace& f = FaceOf(dc);
    return Layout{f, expandTabs, std::max(1, tabChars * f.AveCharWidth())};
}

}  // namespace

bool GetTextMetrics(HDC dc, TEXTMETRIC* tm) {
    if (!dc || !tm) return false;
    HFONT f = dc->State().font;
    GetFontTextMetrics(f ? f->log : LOGFONT{}, tm);
    return true;
}

int TextPixelWidth(HDC dc, std::string_view text) {
    const FontFace& f = FaceOf(dc);
    int w = 0;
    size_t pos = 0;
    while (pos < text.size()) w += f.Advance(NextCodePoint(text, pos));
    return w;
}

bool GetTextExtentPoint32(HDC dc, std::string_view text, TSize* size) {
    if (!dc || !size) return false;
    size->cx = TextPixelWidth(dc, text);
    size->cy = FaceOf(dc).Height();
    return true;
}

bool TextOut(HDC dc, int x, int y, std::string_view text) { return ExtTextOut(dc, x, y, 0, nullptr, text); }

bool ExtTextOut(HDC dc, int x, int y, unsigned options, const TRect* rect, std::string_view text, const int* dx) {
    if (!dc) return false;
    Raster ras(dc);
    TPoint o = ras.Offset();
    if ((options & ETO_OPAQUE) && rect) {
        TRect s = *rect;
        OffsetRect(s, o.X, o.Y);
        ras.FillRect(s, ras.Solid(dc->State().bkColor, R2_COPYPEN));
    }
    if ((options & ETO_CLIPPED) && rect) {
        TRect s = *rect;
        OffsetRect(s, o.X, o.Y);
        ras.IntersectClip(s);
    }
    Layout layout = MakeLayout(dc, false);
    Line line = Decode(text);
    int width = layout.Width(line);
    int align = dc->State().textAlign;
    if (align & TA_UPDATECP) {
        x = dc->State().penPos.X;
        y = dc->State().penPos.Y;
    }
    if ((align & TA_CENTER) == TA_CENTER)
        x -= width / 2;
    else if (align & TA_RIGHT)
        x -= width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        y -= layout.face.Ascent();
    else if (align & TA_BOTTOM)
        y -= layout.face.Height();
    if (align & TA_UPDATECP) dc->State().penPos.X += width;
    if (!ras.Valid()) return true;
    if (dx) {
        // Explicit advances: draw each character at its own place.
        int cx = x;
        for (size_t i = 0; i < line.size(); ++i) {
            OutputLine(dc, ras, layout, cx, y, Line{line[i]});
            cx += dx[i];
        }
        return true;
    }
    OutputLine(dc, ras, layout, x, y, line);
    return true;
}

namespace {

Line StripPrefixes(const Line& in, bool hide) {
    Line out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i].cp == '&') {
            if (i + 1 < in.size()) {
                ++i;
                out.push_back({in[i].cp, !hide && in[i].cp != '&'});
            }
            continue;  // a trailing "&" shows nothing
        }
        out.push_back(in[i]);
    }
    return out;
}

std::vector<Line> SplitLines(const Line& text, bool single) {
    std::vector<Line> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i].cp;
        if (!single && (cp == '\r' || cp == '\n')) {
            if (cp == '\r' && i + 1 < text.size() && text[i + 1].cp == '\n') ++i;
            lines.emplace_back();
            continue;
        }
        lines.back().push_back(text[i]);
    }
    return lines;
}

// How much of `word` fits after `line` within `width`: up to its last "/" or "\\" that fits (a
// path breaks after a folder's name), else, unless `atSeparatorOnly`, as many characters as fit.
size_t FittingPart(const Line& line, const Line& word, const Layout& layout, int width, bool atSeparatorOnly) {
    int x = layout.Width(line);
    size_t fits = 0, afterSeparator = 0;
    for (size_t k = 0; k < word.size(); ++k) {
        x += layout.CharAdvance(word[k].cp, x);
        if (x > width) break;
        fits = k + 1;
        if (word[k].cp == '/' || word[k].cp == '\\') afterSeparator = k + 1;
    }
    if (afterSeparator > 0) return afterSeparator;
    return atSeparatorOnly ? 0 : fits;
}

// Breaks at blanks; with `breakWords` a word wider than a whole line (a long path) breaks too,
// so that nothing of it runs past the width.
std::vector<Line> WrapLine(const Line& line, const Layout& layout, int width, bool breakWords) {
    std::vector<Line> out;
    Line current;
    size_t i = 0;
    while (i < line.size()) {
        // The blanks before the next word, then the word.
        size_t wsEnd = i;
        while (wsEnd < line.size() && line[wsEnd].cp == ' ') ++wsEnd;
        size_t wordEnd = wsEnd;
        while (wordEnd < line.size() && line[wordEnd].cp != ' ') ++wordEnd;
        Line candidate = current;
        candidate.insert(candidate.end(), line.begin() + static_cast<long>(i),
                         line.begin() + static_cast<long>(wordEnd));
        const bool fits = layout.Width(candidate) <= width;
        const Line word(line.begin() + static_cast<long>(wsEnd), line.begin() + static_cast<long>(wordEnd));
        if (breakWords && !fits && !word.empty() && layout.Width(word) > width) {
            // What fits of it ends this line (a fresh one if nothing does); the rest goes on.
            Line head(line.begin() + static_cast<long>(i), line.begin() + static_cast<long>(wsEnd));
            head.insert(head.begin(), current.begin(), current.end());
            // Behind other words it breaks only after a folder's name, else it starts a line.
            size_t part = FittingPart(head, word, layout, width, !current.empty());
            if (part == 0 && !current.empty()) {
                out.push_back(current);
                head.clear();
                part = FittingPart(head, word, layout, width, false);
            }
            part = std::max<size_t>(part, 1);  // a line narrower than one character still moves on
            head.insert(head.end(), word.begin(), word.begin() + static_cast<long>(part));
            i = wsEnd + part;
            if (i < wordEnd) {
                out.push_back(std::move(head));
                current.clear();
            } else {
                current = std::move(head);  // one character wider than the line: it stays alone
            }
            continue;
        }
        if (!current.empty() && !fits) {
            out.push_back(current);
            current.assign(line.begin() + static_cast<long>(wsEnd), line.begin() + static_cast<long>(wordEnd));
        } else {
            current = std::move(candidate);
        }
        i = wordEnd;
    }
    // Trailing blanks take no room at a break.
    out.push_back(current);
    for (Line& l : out)
        while (!l.empty() && l.back().cp == ' ' && out.size() > 1) l.pop_back();
    return out;
}

const Line& Dots() {
    static const Line dots{{'.', false}, {'.', false}, {'.', false}};
    return dots;
}

// The line in the order it shows read right to left; an accelerator mark stays with its
// character.
Line ReadRightToLeft(const Line& line) {
    std::vector<uint32_t> text;
    text.reserve(line.size());
    for (const Char& c : line) text.push_back(c.cp);
    Line shown;
    shown.reserve(line.size());
    for (const TShownChar& c : RightToLeftOrder(text)) shown.push_back({c.cp, line[c.index].underline});
    return shown;
}

Line EndEllipsis(Line line, const Layout& layout, int width) {
    if (layout.Width(line) <= width) return line;
    while (!line.empty()) {
        Line t = line;
        t.insert(t.end(), Dots().begin(), Dots().end());
        if (layout.Width(t) <= width) return t;
        line.pop_back();
    }
    return Dots();
}

Line PathEllipsis(const Line& line, const Layout& layout, int width) {
    if (layout.Width(line) <= width) return line;
    size_t sep = line.size();
    for (size_t i = line.size(); i-- > 0;)
        if (line[i].cp == '\\' || line[i].cp == '/') {
            sep = i;
            break;
        }
    Line head, tail;
    if (sep == line.size()) {
        tail = line;  // no separator: keep the end, shorten from the front
    } else {
        head.assign(line.begin(), line.begin() + static_cast<long>(sep));
        tail.assign(line.begin() + static_cast<long>(sep), line.end());
    }
    auto join = [&](const Line& h, const Line& t) {
        Line out = h;
        out.insert(out.end(), Dots().begin(), Dots().end());
        out.insert(out.end(), t.begin(), t.end());
        return out;
    };
    while (!head.empty()) {
        head.pop_back();
        Line j = join(head, tail);
        if (layout.Width(j) <= width) return j;
    }
    while (!tail.empty()) {
        Line j = join({}, tail);
        if (layout.Width(j) <= width) return j;
        tail.erase(tail.begin());
    }
    return Dots();
}

}  // namespace

int DrawText(HDC dc, std::string_view text, TRect& r, unsigned format) {
    if (!dc) return 0;
    bool single = format & DT_SINGLELINE;
    int tabChars = (format & DT_TABSTOP) ? std::max(1, static_cast<int>((format >> 8) & 0xFF)) : 8;
    Layout layout = MakeLayout(dc, format & DT_EXPANDTABS, tabChars);
    Line all = Decode(text);
    if (!(format & DT_NOPREFIX)) all = StripPrefixes(all, format & DT_HIDEPREFIX);
    std::vector<Line> lines;
    if (!all.empty()) {
        for (Line& l : SplitLines(all, single)) {
            if ((format & DT_WORDBREAK) && !single) {
                for (Line& w : WrapLine(l, layout, r.Width(), format & DT_EDITCONTROL)) lines.push_back(std::move(w));
            } else {
                lines.push_back(std::move(l));
            }
        }
    }
    int width = r.Width();
    for (Line& l : lines) {
        if (format & DT_PATH_ELLIPSIS)
            l = PathEllipsis(l, layout, width);
        else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
            l = EndEllipsis(l, layout, width);
    }
    int lineHeight = layout.face.Height();
    int total = static_cast<int>(lines.size()) * lineHeight;
    int maxWidth = 0;
    for (const Line& l : lines) maxWidth = std::max(maxWidth, layout.Width(l));

    int top = r.Top;
    if (single && (format & DT_VCENTER))
        top = r.Top + (r.Height() - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        top = r.Bottom - lineHeight;
    int result = (single && (format & (DT_VCENTER | DT_BOTTOM))) ? top - r.Top + total : total;
    if (lines.empty()) result = 0;

    if (format & DT_CALCRECT) {
        r.Right = r.Left + maxWidth;
        r.Bottom = r.Top + total;
        return result;
    }
    Raster ras(dc);
    if (!ras.Valid()) return result;
    if (!(format & DT_NOCLIP)) {
        TRect s = r;
        OffsetRect(s, ras.Offset().X, ras.Offset().Y);
        ras.IntersectClip(s);
    }
    if (format & DT_RTLREADING)
        for (Line& l : lines) l = ReadRightToLeft(l);
    int y = top;
    for (const Line& l : lines) {
        int w = layout.Width(l);
        int x = r.Left;
        if (format & DT_CENTER)
            x = r.Left + (r.Width() - w) / 2;
        else if (format & DT_RIGHT)
            x = r.Right - w;
        if (format & DT_PREFIXONLY) {
            Line marks;
            for (const Char& c : l) marks.push_back({c.cp, c.underline});
            // Only the accelerator lines: draw with the ink of nothing but underlines.
            TPoint o = ras.Offset();
            Paint ink = ras.Solid(dc->State().textColor, R2_COPYPEN);
            int cx = 0;
            for (const Char& c : marks) {
                int adv = layout.CharAdvance(c.cp, cx);
                if (c.underline)
                    ras.Span(y + o.Y + layout.face.UnderlineY(), x + cx + o.X, x + cx + o.X + std::max(1, adv - 1),
                             ink);
                cx += adv;
            }
        } else {
            OutputLine(dc, ras, layout, x, y, l);
        }
        y += lineHeight;
    }
    return result;
}
