#pragma once
// Text encodings X programs still use beside UTF-8: Latin-1 (STRING properties and
// selections) and UTF-8 decoded to code points (what the input method hands over).

#include <string>

// What Latin-1 cannot hold (and broken UTF-8) becomes '?'.
std::string Utf8ToLatin1(const std::string& utf8);
std::string Latin1ToUtf8(const std::string& latin1);
// Broken sequences are skipped.
std::u32string DecodeUtf8(const char* text, size_t length);
