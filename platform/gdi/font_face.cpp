#include "platform/gdi/font_face.h"

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "platform/gdi/font_glyphs.h"

namespace {

constexpr int kCellHeight = 13;
constexpr int kCapTop = 3;      // cell row of the capitals' top
constexpr int kXHeightTop = 5;  // cell row of the small letters' top
constexpr int kBaseEm = 11;

// A glyph at the base size: bit x of a row is column x.
struct BaseGlyph {
    int width = 0;
    std::array<uint32_t, kCellHeight> rows{};
    uint32_t accentRows = 0;  // rows bold leaves alone, so two dots stay two dots
    bool defined = false;
};

// Windows-1252 characters beyond Latin-1, kept in the font's slots 0x80-0x9F.
int Cp1252Slot(uint32_t cp) {
    static const uint32_t table[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (table[i] == cp) return 0x80 + i;
    return -1;
}

uint32_t DecodeOne(std::string_view s, size_t& pos) {
    unsigned char c = static_cast<unsigned char>(s[pos]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || (extra > 0 && pos + static_cast<size_t>(extra) >= s.size())) {
        ++pos;
        return c;
    }
    uint32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1Fu) : extra == 2 ? (c & 0x0Fu) : (c & 0x07u);
    for (int i = 1; i <= extra; ++i) {
        unsigned char d = static_cast<unsigned char>(s[pos + static_cast<size_t>(i)]);
        if ((d & 0xC0) != 0x80) {
            ++pos;
            return c;
        }
        cp = (cp << 6) | (d & 0x3Fu);
    }
    static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return c;
    }
    pos += static_cast<size_t>(extra) + 1;
    return cp;
}

std::array<BaseGlyph, 256> ParseSource() {
    std::array<BaseGlyph, 256> glyphs{};
    std::string_view src = BuiltInGlyphSource();
    size_t pos = 0;
    BaseGlyph* current = nullptr;
    int row = 0;
    while (pos < src.size()) {
        size_t end = src.find('\n', pos);
        if (end == std::string_view::npos) end = src.size();
        std::string_view line = src.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) continue;
        if (line[0] == '@' && line.size() > 1) {
            size_t p = 1;
            uint32_t cp;
            if (line.substr(1, 2) == "U+") {
                cp = static_cast<uint32_t>(std::stoul(std::string(line.substr(3, 4)), nullptr, 16));
                p = 7;
            } else {
                cp = DecodeOne(line, p);
            }
            row = kCapTop;
            size_t plus = line.find('+', p);
            if (plus != std::string_view::npos) row += std::stoi(std::string(line.substr(plus + 1)));
            if (cp >= 256) {
                int slot = Cp1252Slot(cp);
                cp = slot < 0 ? 0 : static_cast<uint32_t>(slot);
            }
            current = cp > 0 ? &glyphs[cp] : nullptr;
            if (current) {
                *current = BaseGlyph{};
                current->defined = true;
            }
            continue;
        }
        if (!current || row >= kCellHeight) continue;
        current->width = static_cast<int>(line.size());
        for (size_t x = 0; x < line.size(); ++x)
            if (line[x] == '#') current->rows[static_cast<size_t>(row)] |= 1u << x;
        ++row;
    }
    return glyphs;
}

struct Accent {
    int width;
    std::vector<const char*> rows;
};

enum AccentKind { kGrave, kAcute, kCircumflex, kTilde, kDiaeresis, kRing, kCedilla };

const Accent& AccentShape(AccentKind k, bool evenBase) {
    static const Accent grave{2, {"#.", ".#"}};
    static const Accent acute{2, {".#", "#."}};
    static const Accent circumflex{3, {".#.", "#.#"}};
    static const Accent tilde{4, {".#.#", "#.#."}};
    static const Accent diaeresisOdd{3, {"#.#"}};
    static const Accent diaeresisEven{4, {"#..#"}};
    static const Accent ring{3, {".#.", "#.#", ".#."}};
    static const Accent cedilla{2, {".#", "#."}};
    switch (k) {
        case kGrave: return grave;
        case kAcute: return acute;
        case kCircumflex: return circumflex;
        case kTilde: return tilde;
        case kDiaeresis: return evenBase ? diaeresisEven : diaeresisOdd;
        case kRing: return ring;
        default: return cedilla;
    }
}

BaseGlyph Compose(const BaseGlyph& base, AccentKind kind, bool capital) {
    const Accent& a = AccentShape(kind, base.width % 2 == 0);
    BaseGlyph g;
    g.defined = true;
    g.width = std::max(base.width, a.width);
    int shift = (g.width - base.width) / 2;
    for (int y = 0; y < kCellHeight; ++y) g.rows[static_cast<size_t>(y)] = base.rows[static_cast<size_t>(y)] << shift;
    int ax = (g.width - a.width) / 2;
    int rows = static_cast<int>(a.rows.size());
    int top;
    if (kind == kCedilla)
        top = kCapTop + 8;
    else if (capital)
        top = rows == 3 ? 0 : rows == 1 ? 1 : 0;
    else
        top = kXHeightTop - 1 - rows;
    for (int r = 0; r < rows; ++r) {
        g.accentRows |= 1u << (top + r);
        for (int x = 0; a.rows[static_cast<size_t>(r)][x]; ++x)
            if (a.rows[static_cast<size_t>(r)][x] == '#') g.rows[static_cast<size_t>(top + r)] |= 1u << (ax + x);
    }
    return g;
}

std::array<BaseGlyph, 256> BuildBaseGlyphs() {
    std::array<BaseGlyph, 256> g = ParseSource();
    // Letters without their dot, for the accented i.
    BaseGlyph dotless = g['i'];
    dotless.rows[kCapTop] = 0;
    struct Entry {
        int code;
        int base;
        AccentKind accent;
    };
    static const Entry table[] = {
        {0xC0, 'A', kGrave},      {0xC1, 'A', kAcute},      {0xC2, 'A', kCircumflex}, {0xC3, 'A', kTilde},
        {0xC4, 'A', kDiaeresis},  {0xC5, 'A', kRing},       {0xC7, 'C', kCedilla},    {0xC8, 'E', kGrave},
        {0xC9, 'E', kAcute},      {0xCA, 'E', kCircumflex}, {0xCB, 'E', kDiaeresis},  {0xCC, 'I', kGrave},
        {0xCD, 'I', kAcute},      {0xCE, 'I', kCircumflex}, {0xCF, 'I', kDiaeresis},  {0xD1, 'N', kTilde},
        {0xD2, 'O', kGrave},      {0xD3, 'O', kAcute},      {0xD4, 'O', kCircumflex}, {0xD5, 'O', kTilde},
        {0xD6, 'O', kDiaeresis},  {0xD9, 'U', kGrave},      {0xDA, 'U', kAcute},      {0xDB, 'U', kCircumflex},
        {0xDC, 'U', kDiaeresis},  {0xDD, 'Y', kAcute},      {0xE0, 'a', kGrave},      {0xE1, 'a', kAcute},
        {0xE2, 'a', kCircumflex}, {0xE3, 'a', kTilde},      {0xE4, 'a', kDiaeresis},  {0xE5, 'a', kRing},
        {0xE7, 'c', kCedilla},    {0xE8, 'e', kGrave},      {0xE9, 'e', kAcute},      {0xEA, 'e', kCircumflex},
        {0xEB, 'e', kDiaeresis},  {0xEC, -1, kGrave},       {0xED, -1, kAcute},       {0xEE, -1, kCircumflex},
        {0xEF, -1, kDiaeresis},   {0xF1, 'n', kTilde},      {0xF2, 'o', kGrave},      {0xF3, 'o', kAcute},
        {0xF4, 'o', kCircumflex}, {0xF5, 'o', kTilde},      {0xF6, 'o', kDiaeresis},  {0xF9, 'u', kGrave},
        {0xFA, 'u', kAcute},      {0xFB, 'u', kCircumflex}, {0xFC, 'u', kDiaeresis},  {0xFD, 'y', kAcute},
        {0xFF, 'y', kDiaeresis},  {0x9F, 'Y', kDiaeresis},
    };
    for (const Entry& e : table) {
        const BaseGlyph& base = e.base < 0 ? dotless : g[static_cast<size_t>(e.base)];
        bool capital = e.base >= 'A' && e.base <= 'Z';
        g[static_cast<size_t>(e.code)] = Compose(base, e.accent, capital);
    }
    return g;
}

const std::array<BaseGlyph, 256>& BaseGlyphs() {
    static const std::array<BaseGlyph, 256> glyphs = BuildBaseGlyphs();
    return glyphs;
}

// Scales a base glyph's cell by s, widens it for bold, slants it for italic, and lists
// its ink as horizontal runs.
FontGlyph Render(const BaseGlyph& b, double s, int height, int ascent, bool bold, bool italic) {
    FontGlyph out;
    int w = std::max(0, static_cast<int>(std::lround(b.width * s)));
    int adv = static_cast<int>(std::lround((b.width + 1) * s));
    int extra = bold ? 1 : 0;
    int slant = italic ? (ascent + 3) / 4 : 0;
    out.width = w + extra + slant;
    out.advance = adv + extra;
    for (int y = 0; y < height; ++y) {
        int sy = std::min(kCellHeight - 1, static_cast<int>((y + 0.5) / s));
        uint32_t srcRow = b.rows[static_cast<size_t>(sy)];
        if (!srcRow) continue;
        int shift = italic ? std::max(0, (ascent - 1 - y)) / 4 : 0;
        bool smear = bold && !(b.accentRows & (1u << sy));
        std::vector<bool> ink(static_cast<size_t>(w + extra), false);
        for (int x = 0; x < w; ++x) {
            int sx = static_cast<int>((x + 0.5) / s);
            if (srcRow & (1u << sx)) {
                ink[static_cast<size_t>(x)] = true;
                if (smear) ink[static_cast<size_t>(x + 1)] = true;
            }
        }
        for (int x = 0; x < w + extra;) {
            if (!ink[static_cast<size_t>(x)]) {
                ++x;
                continue;
            }
            int x0 = x;
            while (x < w + extra && ink[static_cast<size_t>(x)]) ++x;
            out.runs.push_back(
                {static_cast<int16_t>(y), static_cast<int16_t>(x0 + shift), static_cast<int16_t>(x + shift)});
        }
    }
    return out;
}

int EmPixels(const LOGFONT& lf) {
    if (lf.lfHeight < 0) return -lf.lfHeight;
    if (lf.lfHeight > 0) return std::max(1, static_cast<int>(std::lround(lf.lfHeight * 11.0 / 13.0)));
    return kBaseEm;
}

}  // namespace

uint32_t NextCodePoint(std::string_view text, size_t& pos) {
    // A byte that is no UTF-8 is read as its Windows-1252 character.
    size_t start = pos;
    uint32_t cp = DecodeOne(text, pos);
    if (pos == start + 1 && cp >= 0x80 && cp < 0xA0) {
        static const uint32_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                          0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
        cp = high[cp - 0x80];
    }
    return cp;
}

FontFace::FontFace(int emPixels, bool bold, bool italic) : bold_(bold), italic_(italic) {
    double s = emPixels <= kBaseEm + 1 ? 1.0 : emPixels / static_cast<double>(kBaseEm);
    height_ = static_cast<int>(std::lround(kCellHeight * s));
    ascent_ = static_cast<int>(std::lround(11 * s));
    internalLeading_ = height_ - static_cast<int>(std::lround(kBaseEm * s));
    lineThickness_ = std::max(1, static_cast<int>(std::lround(s)));
    underlineY_ = std::min(height_ - lineThickness_, ascent_ + lineThickness_);
    strikeY_ = ascent_ - static_cast<int>(std::lround(3 * s));
    const auto& base = BaseGlyphs();
    for (int c = 0; c < 256; ++c) {
        const BaseGlyph& g = base[static_cast<size_t>(c)];
        if (g.defined) glyphs_[static_cast<size_t>(c)] = Render(g, s, height_, ascent_, bold, italic);
    }
    BaseGlyph box;
    box.width = 5;
    for (int y = kCapTop + 1; y <= kCapTop + 7; ++y)
        box.rows[static_cast<size_t>(y)] = (y == kCapTop + 1 || y == kCapTop + 7) ? 0x1Fu : 0x11u;
    box_ = Render(box, s, height_, ascent_, bold, italic);
    aveCharWidth_ = glyphs_['x'].advance;
    for (const FontGlyph& g : glyphs_) maxCharWidth_ = std::max(maxCharWidth_, g.advance);
}

const FontGlyph& FontFace::Glyph(uint32_t cp) const {
    if (cp < 32) return empty_;
    if (cp >= 0x80 && cp < 0xA0) return box_;  // C1 controls
    if (cp >= 256) {
        int slot = Cp1252Slot(cp);
        if (slot < 0) return box_;
        cp = static_cast<uint32_t>(slot);
    }
    const FontGlyph& g = glyphs_[cp];
    return g.advance > 0 ? g : box_;
}

const FontFace& FontFace::For(const LOGFONT& lf) {
    static std::mutex mutex;
    static std::map<std::tuple<int, bool, bool>, std::unique_ptr<FontFace>> faces;
    int em = EmPixels(lf);
    em = std::clamp(em, 1, 200);
    bool bold = lf.lfWeight >= 600;
    bool italic = lf.lfItalic != 0;
    std::lock_guard<std::mutex> lock(mutex);
    auto key = std::make_tuple(em <= kBaseEm + 1 ? kBaseEm : em, bold, italic);
    auto& slot = faces[key];
    if (!slot) slot = std::make_unique<FontFace>(std::get<0>(key), bold, italic);
    return *slot;
}

const FontFace& FontFace::Default() { return For(LOGFONT{}); }

void GetFontTextMetrics(const LOGFONT& lf, TEXTMETRIC* tm) {
    const FontFace& f = FontFace::For(lf);
    *tm = TEXTMETRIC{};
    tm->tmHeight = f.Height();
    tm->tmAscent = f.Ascent();
    tm->tmDescent = f.Descent();
    tm->tmInternalLeading = f.InternalLeading();
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = f.AveCharWidth();
    tm->tmMaxCharWidth = f.MaxCharWidth();
    tm->tmWeight = f.Bold() ? FW_BOLD : FW_NORMAL;
    tm->tmItalic = f.Italic() ? 1 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    tm->tmPitchAndFamily = 0x22;  // variable pitch, sans serif
}
