#include "platform/gdi/right_to_left_order.h"

#include <algorithm>

namespace {

// The bidirectional classes a line without embeddings needs: strong left-to-right and
// right-to-left, European numbers with their separators and terminators, white space,
// segment separators (tabs) and other neutrals.
enum class Dir : uint8_t { L, R, EN, ES, ET, CS, WS, S, ON };

Dir ClassOf(uint32_t cp) {
    if (cp == '\t' || cp == 0x0B || cp == 0x1F) return Dir::S;
    if (cp == ' ' || cp == 0x0C || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x3000) return Dir::WS;
    if ((cp >= '0' && cp <= '9') || cp == 0xB2 || cp == 0xB3 || cp == 0xB9) return Dir::EN;
    if (cp == '+' || cp == '-') return Dir::ES;
    if (cp == '#' || cp == '$' || cp == '%' || (cp >= 0xA2 && cp <= 0xA5) || cp == 0xB0 || cp == 0xB1 || cp == 0x2030 ||
        (cp >= 0x20A0 && cp <= 0x20CF))
        return Dir::ET;
    if (cp == ',' || cp == '.' || cp == '/' || cp == ':' || cp == 0xA0) return Dir::CS;
    // Hebrew, Arabic, Syriac, Thaana, N'Ko and their presentation forms.
    if ((cp >= 0x0590 && cp <= 0x08FF) || (cp >= 0xFB1D && cp <= 0xFDFF) || (cp >= 0xFE70 && cp <= 0xFEFF))
        return Dir::R;
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || cp == 0xAA || cp == 0xB5 || cp == 0xBA) return Dir::L;
    if (cp >= 0xC0 && cp < 0x2000 && cp != 0xD7 && cp != 0xF7) return Dir::L;
    // General punctuation, symbols and arrows are neutral; the scripts after them read
    // left to right.
    if (cp >= 0x2C00) return Dir::L;
    return Dir::ON;
}

uint32_t Mirrored(uint32_t cp) {
    switch (cp) {
        case '(': return ')';
        case ')': return '(';
        case '<': return '>';
        case '>': return '<';
        case '[': return ']';
        case ']': return '[';
        case '{': return '}';
        case '}': return '{';
        case 0xAB: return 0xBB;
        case 0xBB: return 0xAB;
        case 0x2039: return 0x203A;
        case 0x203A: return 0x2039;
        default: return cp;
    }
}

bool IsNeutral(Dir d) { return d == Dir::WS || d == Dir::S || d == Dir::ON; }

// The direction a neighbour of a neutral run lends it: numbers count as right to left.
Dir Lends(Dir d) { return d == Dir::L ? Dir::L : Dir::R; }

}  // namespace

std::vector<TShownChar> RightToLeftOrder(const std::vector<uint32_t>& text) {
    const size_t n = text.size();
    std::vector<Dir> original(n);
    for (size_t i = 0; i < n; ++i) original[i] = ClassOf(text[i]);
    std::vector<Dir> t = original;

    // A single separator between two numbers joins them ("1.5", "2+3").
    for (size_t i = 1; i + 1 < n; ++i)
        if ((t[i] == Dir::ES || t[i] == Dir::CS) && t[i - 1] == Dir::EN && t[i + 1] == Dir::EN) t[i] = Dir::EN;
    // Terminators next to a number belong to it ("5 %" does not, "5%" and "$5" do).
    for (size_t i = 0; i < n;) {
        if (t[i] != Dir::ET) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < n && t[end] == Dir::ET) ++end;
        if ((i > 0 && t[i - 1] == Dir::EN) || (end < n && t[end] == Dir::EN))
            std::fill(t.begin() + i, t.begin() + end, Dir::EN);
        i = end;
    }
    for (Dir& d : t)
        if (d == Dir::ES || d == Dir::ET || d == Dir::CS) d = Dir::ON;
    // A number after left-to-right text reads with it; the line's start counts as right to left.
    Dir strong = Dir::R;
    for (Dir& d : t) {
        if (d == Dir::L || d == Dir::R)
            strong = d;
        else if (d == Dir::EN && strong == Dir::L)
            d = Dir::L;
    }

    // Levels: 1 reads right to left, 2 left to right (numbers too). A neutral run takes
    // the direction of both its neighbours when they agree, else the line's.
    std::vector<int> level(n);
    for (size_t i = 0; i < n;) {
        if (!IsNeutral(t[i])) {
            level[i] = t[i] == Dir::R ? 1 : 2;
            ++i;
            continue;
        }
        size_t end = i;
        while (end < n && IsNeutral(t[end])) ++end;
        const Dir before = i == 0 ? Dir::R : Lends(t[i - 1]);
        const Dir after = end == n ? Dir::R : Lends(t[end]);
        std::fill(level.begin() + i, level.begin() + end, before == after && before == Dir::L ? 2 : 1);
        i = end;
    }
    // Tabs, and the blanks before a tab or at the line's end, go with the line.
    bool trailing = true;
    for (size_t i = n; i-- > 0;) {
        if (original[i] == Dir::S) {
            level[i] = 1;
            trailing = true;
        } else if (original[i] == Dir::WS && trailing) {
            level[i] = 1;
        } else {
            trailing = false;
        }
    }

    // Every run at level 2 or more keeps its order inside the reversed line.
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    for (size_t i = 0; i < n;) {
        if (level[order[i]] < 2) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < n && level[order[end]] >= 2) ++end;
        std::reverse(order.begin() + i, order.begin() + end);
        i = end;
    }
    std::reverse(order.begin(), order.end());

    std::vector<TShownChar> shown;
    shown.reserve(n);
    for (size_t index : order) shown.push_back({index, level[index] % 2 == 1 ? Mirrored(text[index]) : text[index]});
    return shown;
}
