#include "platform/rtl/format.h"

#include <cstdlib>

#include "platform/rtl/convert.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/str_utils.h"

namespace {

[[noreturn]] void InvalidFormat(std::string_view fmt) {
    throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

[[noreturn]] void MissingArgument(std::string_view fmt) {
    throw EConvertError("No argument for format '" + std::string(fmt) + "'");
}

uint64_t BitPattern(const FormatArg& a) {
    uint64_t v = static_cast<uint64_t>(a.i);
    return a.bits == 64 ? v : (v & 0xFFFFFFFFull);
}

std::string Digits(uint64_t v, unsigned base, bool upper = true) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), digits[v % base]);
        v /= base;
    } while (v != 0);
    return out;
}

void PadDigits(std::string& digits, int precision) {
    if (precision > 0 && static_cast<int>(digits.size()) < precision)
        digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
}

class Formatter {
public:
    Formatter(std::string_view fmt, const std::vector<FormatArg>& args) : fmt_(fmt), args_(args) {}

    std::string Run() {
        std::string out;
        size_t i = 0;
        while (i < fmt_.size()) {
            char c = fmt_[i];
            if (c != '%') {
                out += c;
                ++i;
                continue;
            }
            ++i;
            if (i >= fmt_.size()) InvalidFormat(fmt_);
            if (fmt_[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            out += Spec(i);
        }
        return out;
    }

private:
    const FormatArg& NextArg() {
        if (next_ >= args_.size()) MissingArgument(fmt_);
        return args_[next_++];
    }

    // A number in the specifier, "*" taking it from the arguments; -1 when absent.
    int ReadNumber(size_t& i) {
        if (i < fmt_.size() && fmt_[i] == '*') {
            ++i;
            const FormatArg& a = NextArg();
            if (a.kind != FormatArg::Kind::Int && a.kind != FormatArg::Kind::UInt) InvalidFormat(fmt_);
            return static_cast<int>(a.i);
        }
        if (i >= fmt_.size() || fmt_[i] < '0' || fmt_[i] > '9') return -1;
        int v = 0;
        while (i < fmt_.size() && fmt_[i] >= '0' && fmt_[i] <= '9') {
            if (v < 100000) v = v * 10 + (fmt_[i] - '0');
            ++i;
        }
        return v;
    }

    std::string Spec(size_t& i) {
        bool left = false;
        int width = -1;
        int precision = -1;
        int first = ReadNumber(i);
        if (first >= 0 && i < fmt_.size() && fmt_[i] == ':') {
            next_ = static_cast<size_t>(first);
            ++i;
            first = -1;
        }
        if (first < 0) {
            if (i < fmt_.size() && fmt_[i] == '-') {
                left = true;
                ++i;
            }
            width = ReadNumber(i);
        } else {
            width = first;
        }
        if (i < fmt_.size() && fmt_[i] == '.') {
            ++i;
            precision = ReadNumber(i);
            if (precision < 0) precision = 0;
        }
        if (i >= fmt_.size()) InvalidFormat(fmt_);
        char type = fmt_[i++];
        const FormatArg& a = NextArg();
        std::string text = Convert(type, a, precision);
        int len = Utf8Length(text);
        if (width > len) {
            std::string pad(static_cast<size_t>(width - len), ' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    std::string Convert(char type, const FormatArg& a, int precision) {
        using K = FormatArg::Kind;
        bool integer = a.kind == K::Int || a.kind == K::UInt;
        switch (type) {
            case 'd':
            case 'D': {
                if (!integer) InvalidFormat(fmt_);
                bool negative = a.kind == K::Int && a.i < 0;
                uint64_t magnitude = negative ? 0ull - static_cast<uint64_t>(a.i) : static_cast<uint64_t>(a.i);
                std::string d = Digits(magnitude, 10);
                PadDigits(d, precision);
                return negative ? "-" + d : d;
            }
            case 'u':
            case 'U': {
                if (!integer) InvalidFormat(fmt_);
                std::string d = Digits(BitPattern(a), 10);
                PadDigits(d, precision);
                return d;
            }
            case 'x':
            case 'X': {
                if (!integer) InvalidFormat(fmt_);
                std::string d = Digits(BitPattern(a), 16);
                PadDigits(d, precision);
                return d;
            }
            case 'p':
            case 'P': {
                if (a.kind != K::Pointer) InvalidFormat(fmt_);
                std::string d = Digits(reinterpret_cast<uintptr_t>(a.p), 16);
                PadDigits(d, 8);
                return d;
            }
            case 's':
            case 'S': {
                std::string s;
                if (a.kind == K::String)
                    s = std::string(a.s);
                else if (a.kind == K::Char)
                    s = std::string(1, a.c);
                else
                    InvalidFormat(fmt_);
                if (precision >= 0 && Utf8Length(s) > precision) s = Utf8Copy(s, 1, precision);
                return s;
            }
            case 'e':
            case 'E':
                if (a.kind != K::Float) InvalidFormat(fmt_);
                return FloatToStrF(a.f, ffExponent, precision < 0 ? 15 : precision, 3);
            case 'f':
            case 'F':
                if (a.kind != K::Float) InvalidFormat(fmt_);
                return FloatToStrF(a.f, ffFixed, 15, precision < 0 ? 2 : precision);
            case 'g':
            case 'G':
                if (a.kind != K::Float) InvalidFormat(fmt_);
                return FloatToStrF(a.f, ffGeneral, precision < 0 ? 15 : precision, 0);
            case 'n':
            case 'N':
                if (a.kind != K::Float) InvalidFormat(fmt_);
                return FloatToStrF(a.f, ffNumber, 15, precision < 0 ? 2 : precision);
            case 'm':
            case 'M':
                if (a.kind != K::Float) InvalidFormat(fmt_);
                return FloatToStrF(a.f, ffCurrency, 15, precision < 0 ? FormatSettings().CurrencyDecimals : precision);
            default: InvalidFormat(fmt_);
        }
    }

    std::string_view fmt_;
    const std::vector<FormatArg>& args_;
    size_t next_ = 0;
};

}  // namespace

std::string FormatArgs(std::string_view fmt, const std::vector<FormatArg>& args) { return Formatter(fmt, args).Run(); }
