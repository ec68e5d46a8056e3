#pragma once
// Small text and number conversions used throughout the program. Lengths count characters
// (UTF-8 code points), not bytes.

#include <cstdint>
#include <string>

// With a source, restarts on it. Returns the text before `separator` and keeps the rest (the
// program's TokenRest); without a separator in the rest, returns all of it and empties the rest.
std::string NextToken(const std::string* source, const std::string& separator);
inline std::string NextToken(const std::string& source, const std::string& separator) {
    return NextToken(&source, separator);
}
inline std::string NextToken(const std::string& separator) { return NextToken(nullptr, separator); }

// Cuts the part before the first separator off `text` (the separator is dropped) into `head`;
// without a separator the whole text moves to the head.
void SplitFirst(std::string& text, const std::string& separator, std::string& head);

// ASCII upper case, and ä ö ü to Ä Ö Ü.
void UpperCaseDE(std::string& text);
std::string UpperCaseDEStr(const std::string& text);

// Removes leading and trailing blanks (only blanks).
void TrimBlanks(std::string& text);
std::string TrimBlanksStr(const std::string& text);

// Cuts to n characters or pads with blanks to n.
void FitLength(std::string& text, int n);
std::string FitLengthStr(const std::string& text, int n);

// left: keeps the rightmost n characters or pads on the left; else keeps the first n or pads
// on the right.
void PadCut(std::string& text, int n, char fill, bool left);

// Decimal, right-aligned in `width`, the padding blanks turned into "0".
std::string IntToStrZero(int32_t value, int width);

// Decimal conversion of the run-time library; text that is not a number gives 0.
int32_t StrToIntVal(const std::string& text);

// Every character that is not 0-9 or A-F (upper case only) counts as a blank; the last
// blank-separated word is read as hex.
uint16_t HexToInt16(const std::string& text);
uint32_t HexToInt32(const std::string& text);

// Upper-case hex of the low 16 bits (or all 32), padded on the left with "0" to `width`,
// or cut to its rightmost `width` characters.
std::string IntToHex16(uint32_t value, int width);
std::string IntToHex32(uint32_t value, int width);

// "J" for true, "N" for false.
std::string BoolToJN(bool value);
