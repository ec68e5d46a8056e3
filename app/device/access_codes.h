#pragma once
// Access codes: the device alone decides what a code grants. The program turns the typed
// digits into code bytes, asks the device (TDeviceSession::AskCodeService), and waits for its
// answer, dispatching window messages meanwhile (the answer is decoded on this thread).

#include <cstdint>
#include <string>

// The code as 2 bytes (up to 4 digits, padded with "0") or 4 bytes (5 to 8 digits, padded
// with "A"); each pair of characters is one byte, so the digits stand as its nibbles.
std::string CodeBytes(const std::string& code);

// True when every character is a decimal digit (also for an empty text).
bool IsDigitText(const std::string& text);

// A code the dialogs accept: 4 to 8 characters, all digits.
bool IsCodeText(const std::string& text);

// 0 when `granted` reaches `required`; 3 when the device refused the code, 4 when it grants
// less than asked for.
int32_t CodeCheckError(int32_t granted, int32_t required);

// The error message of a code check: its catalogue text, " (", the number, ") !".
std::string CodeCheckMessage(int32_t number);

// The code waits give up after this long: error number 2.
inline constexpr uint32_t kCodeAnswerLimitMs = 10000;
inline constexpr int32_t kCodeAnswerLate = 2;
