#pragma once
// String routines of the class library on UTF-8 std::string.
// Byte-based: Pos, Copy, Delete, Insert, Length (as the class library counts chars of its
// 8-bit strings). Code-point based: the Utf8* helpers, for callers that count characters.
// "Ansi" routines know letters beyond ASCII (Latin-1, Latin Extended-A, Greek, Cyrillic);
// casing never changes the byte length of a string, so byte positions stay valid.

#include <cstdint>
#include <string>
#include <string_view>

// ASCII only: other bytes stay as they are.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Letter-aware: "äöü" -> "ÄÖÜ"; ß has no one-character capital and stays.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
uint32_t AnsiUpperChar(uint32_t code_point);
uint32_t AnsiLowerChar(uint32_t code_point);

// <0, 0, >0. CompareStr/CompareText compare bytes (CompareText after ASCII upper-casing).
int CompareStr(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// The locale's collation: punctuation before digits before letters, letters alphabetically
// with umlauts beside their base letter (ä next to a, ß as ss); ties broken by accent, then
// case (lower before upper), then bytes. AnsiCompareText ignores case.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
bool AnsiSameStr(std::string_view a, std::string_view b);

// Remove every character <= ' ' (controls included) at the ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

using TReplaceFlags = unsigned;
constexpr TReplaceFlags rfReplaceAll = 1;
constexpr TReplaceFlags rfIgnoreCase = 2;
// Without rfReplaceAll only the first match is replaced. An empty pattern replaces nothing.
std::string StringReplace(std::string_view s, std::string_view old_pattern, std::string_view new_pattern,
                          TReplaceFlags flags = 0);

// 1-based byte position of the first `sub` in `s`, 0 when absent (or `sub` empty).
int Pos(std::string_view sub, std::string_view s);
int AnsiPos(std::string_view sub, std::string_view s);
// 1-based position of `sub` searching from byte `offset` (1-based); 0 when absent.
int PosEx(std::string_view sub, std::string_view s, int offset = 1);
// `count` bytes from 1-based `index`; out-of-range arguments are clamped, never an error.
std::string Copy(std::string_view s, int index, int count);
void Delete(std::string& s, int index, int count);
void Insert(std::string_view sub, std::string& s, int index);
int Length(std::string_view s);
// Last 1-based position of any of `delimiters` in `s`, 0 when none.
int LastDelimiter(std::string_view delimiters, std::string_view s);

// 'it''s' style: the text in single quotes, inner quotes doubled.
std::string QuotedStr(std::string_view s);
// Reverse of a quoted text starting with `quote`; text that is not quoted comes back as it is.
std::string AnsiDequotedStr(std::string_view s, char quote);
std::string StringOfChar(char c, int count);
// Any line break (CR, LF, CR LF, LF CR) becomes CR LF.
std::string AdjustLineBreaks(std::string_view s);

// UTF-8 code points. Malformed bytes count as one character each and decode to U+FFFD.
int Utf8Length(std::string_view s);
// `count` code points from 1-based code-point `index`; clamped like Copy.
std::string Utf8Copy(std::string_view s, int index, int count);
// Decodes the code point at byte `pos` and moves `pos` past it; false at the end of `s`.
bool Utf8NextCodePoint(std::string_view s, size_t& pos, uint32_t& code_point);
// Byte offset of the 0-based code point `index` (s.size() when beyond the end).
size_t Utf8ByteOffset(std::string_view s, int index);
std::string EncodeUtf8(uint32_t code_point);
void AppendUtf8(std::string& out, uint32_t code_point);
