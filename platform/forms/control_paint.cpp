#include "platform/forms/control_paint.h"

#include "platform/rtl/str_utils.h"

void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    for (int i = 0; i < width; ++i) {
        r.Bottom -= 1;
        r.Right -= 1;
        canvas->Pen()->SetColor(topColor);
        canvas->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        canvas->Pen()->SetColor(bottomColor);
        canvas->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
        InflateRect(r, -1, -1);
        r.Bottom += 1;
        r.Right += 1;
    }
}

namespace {
// DrawText is a call on the context: the canvas font and colour are put there first.
int CanvasDrawText(TCanvas* canvas, std::string_view text, TRect& r, unsigned format, TColor color) {
    HDC dc = canvas->Handle();
    SelectObject(dc, canvas->Font()->Handle());
    SetTextColor(dc, ColorToRGB(color));
    SetBkMode(dc, TRANSPARENT);
    return DrawText(dc, text, r, format);
}
}  // namespace

int DrawControlText(TCanvas* canvas, std::string_view text, TRect& r, unsigned format, bool enabled) {
    if (enabled || (format & DT_CALCRECT)) return CanvasDrawText(canvas, text, r, format, canvas->Font()->Color());
    TRect shifted = r;
    OffsetRect(shifted, 1, 1);
    CanvasDrawText(canvas, text, shifted, format, clBtnHighlight);
    return CanvasDrawText(canvas, text, r, format, clBtnShadow);
}

TRect MeasureText(TFont* font, std::string_view text, TRect r, unsigned format) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    DrawText(dc, text.empty() ? std::string_view(" ") : text, r, format | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return r;
}

int FontLineHeight(TFont* font) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tm.tmHeight;
}

bool IsAccel(char32_t ch, std::string_view caption) {
    std::u32string s = ToU32(caption);
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != U'&') continue;
        if (s[i + 1] == U'&') {
            ++i;
            continue;
        }
        return AnsiUpperChar(s[i + 1]) == AnsiUpperChar(ch);
    }
    return false;
}

std::string StripAccel(std::string_view caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::u32string ToU32(std::string_view utf8) {
    std::u32string out;
    size_t pos = 0;
    uint32_t cp = 0;
    while (Utf8NextCodePoint(utf8, pos, cp)) out.push_back(static_cast<char32_t>(cp));
    return out;
}

std::string ToUtf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) AppendUtf8(out, static_cast<uint32_t>(c));
    return out;
}
