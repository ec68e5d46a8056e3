#pragma once
// Edit masks: "mask;save;blank". The mask holds literals (any other character, or one
// after '\'), the locale's separators for ':' and '/', directives ('!' pads from the left,
// '>' upper case, '<' lower case, "<>" ends case conversion) and input positions: required
// '0' digit, 'A' letter or digit, 'C' any character, 'L' letter; optional '9' digit,
// '#' digit, '+', '-' or blank, 'a' letter or digit, 'c' any character, 'l' letter.
// The save field '0' keeps literals out of the value; the blank field is the character
// that shows an empty input position ('_' by default).
//
// The engine knows nothing about windows: it formats values into edit texts, takes them
// apart again, checks typed characters and finds unfilled required positions.

#include <string>
#include <string_view>
#include <vector>

enum class TMaskCase { None, Upper, Lower };

struct TMaskPosition {
    bool Literal = false;
    char32_t Char = 0;  // the literal, or the input class character
    bool Required = false;
    TMaskCase Case = TMaskCase::None;
};

class TEditMask {
public:
    static constexpr char32_t DefaultBlank = U'_';

    TEditMask() = default;
    explicit TEditMask(std::string_view editMask);

    bool Empty() const { return positions_.empty(); }
    const std::vector<TMaskPosition>& Positions() const { return positions_; }
    int Length() const { return static_cast<int>(positions_.size()); }
    int InputCount() const;
    bool SaveLiterals() const { return saveLiterals_; }
    char32_t Blank() const { return blank_; }
    bool LeftPad() const { return leftPad_; }
    bool IsLiteral(int pos) const;

    // The first input position at or after pos (Length() when none).
    int NextInput(int pos) const;
    // The last input position before pos (-1 when none).
    int PrevInput(int pos) const;
    // The first literal at or after pos (-1 when none).
    int NextLiteral(int pos) const;

    // Literals and blanks.
    std::u32string EmptyText() const;
    // Whether `ch` may stand at input position `pos`; applies the position's case.
    bool Accept(int pos, char32_t& ch) const;
    // A value (as Text gives it) as the edit text.
    std::u32string Format(std::u32string_view value) const;
    // The value of an edit text: literals removed unless they are saved, blanks as spaces.
    std::u32string Extract(std::u32string_view editText) const;
    // The first required position left blank or holding a character that does not fit
    // (-1 when the text is complete). With rawText blanks pass.
    int FirstInvalid(std::u32string_view editText, bool rawText = false) const;

private:
    std::vector<TMaskPosition> positions_;
    bool saveLiterals_ = true;
    char32_t blank_ = DefaultBlank;
    bool leftPad_ = false;
};
