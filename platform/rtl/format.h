#pragma once
// The class library's Format: "%" [index ":"] ["-"] [width] ["." precision] type, where index,
// width and precision may be "*" (taken from the next argument).
//   d u x X  integers; precision is the least number of digits, padded with zeros ("%.5d" of
//            -12 is "-00012"). There is no "0" flag: "%07.7d" is width 7 and 7 digits, and
//            "%05d" pads with blanks. x/X of a negative value shows its 32- or 64-bit pattern
//            by the argument's size.
//   s        text (std::string, string_view, const char*, char); precision cuts it.
//   f e g n m floating point (no integers, as in the class library); n adds thousands
//            separators, m formats as currency, all with FormatSettings() separators.
//   p        pointer, 8 hex digits at least.   %%  a percent sign.
// Width and precision count characters (UTF-8 code points) for s.
// An argument of the wrong kind, a missing argument or a malformed specifier raises
// EConvertError ("Format '%d' invalid or incompatible with argument",
// "No argument for format '%d'").

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

struct FormatArg {
    enum class Kind { Int, UInt, Float, String, Char, Pointer, Bool };
    Kind kind = Kind::Int;
    int64_t i = 0;  // Int and UInt (UInt holds the bit pattern)
    int bits = 32;  // size of an integer argument, for %x of negative values
    long double f = 0;
    std::string_view s;  // String (viewed; the argument outlives the Format call)
    char c = 0;
    const void* p = nullptr;

    template <typename T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) FormatArg(T v)
        : kind(std::is_signed_v<T> ? Kind::Int : Kind::UInt),
          i(static_cast<int64_t>(v)),
          bits(sizeof(T) > 4 ? 64 : 32) {}
    template <typename T>
    requires std::is_floating_point_v<T> FormatArg(T v) : kind(Kind::Float), f(v) {}
    FormatArg(bool v) : kind(Kind::Bool), i(v ? 1 : 0) {}
    FormatArg(char v) : kind(Kind::Char), c(v) {}
    FormatArg(const std::string& v) : kind(Kind::String), s(v) {}
    FormatArg(std::string_view v) : kind(Kind::String), s(v) {}
    FormatArg(const char* v) : kind(Kind::String), s(v ? std::string_view(v) : std::string_view()) {}
    FormatArg(char* v) : FormatArg(static_cast<const char*>(v)) {}
    FormatArg(const void* v) : kind(Kind::Pointer), p(v) {}
    FormatArg(std::nullptr_t) : kind(Kind::Pointer), p(nullptr) {}
};

// For callers that collect the arguments at run time.
std::string FormatArgs(std::string_view fmt, const std::vector<FormatArg>& args);

template <typename... Args>
std::string Format(std::string_view fmt, const Args&... args) {
    return FormatArgs(fmt, std::vector<FormatArg>{FormatArg(args)...});
}
