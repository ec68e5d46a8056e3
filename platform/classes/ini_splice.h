#pragma once
// An INI file that people keep, compare and exchange, read line by line from its bytes, and
// the same file made again with some lines changed: a line kept keeps its bytes and its line
// end, and the byte-order mark (or none) and the encoding the reader decided (UTF-8, or
// Windows-1252 for a file that is not UTF-8) stay. Lines are read by TIniDocument's grammar.
// A line of the program's own is written in the file's encoding, with the line end the kept
// lines use most (CR LF when they have none); it never makes a CR before it or an LF after it
// into one CR LF, which would read as one line end and lose a blank line.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/ini_document.h"

class TIniSplice {
public:
    // `bytes` is the whole file; they must outlive the splice.
    explicit TIniSplice(std::string_view bytes);

    // --- the file as it is
    size_t LineCount() const { return lines_.size(); }
    // The bytes of a line (after the byte-order marks) and of its line end.
    const TIniDocument::TextLine& Line(size_t i) const { return lines_[i]; }
    // A line as the reader reads it: in UTF-8, without a character the file was cut inside.
    std::string Text(size_t i) const;
    std::optional<std::string> SectionAt(size_t i) const { return TIniDocument::SectionName(Text(i)); }
    // Read as Windows-1252 (a file that is not UTF-8), else as UTF-8.
    bool Windows1252() const { return windows1252_; }
    // A UTF-8 file cut inside its last character (EndsInsideCharacter).
    bool CutInsideLastCharacter() const { return cut_ != 0; }
    // Whether `other` is read as this file is: in the same encoding, or all in ASCII, which
    // reads the same in both.
    bool ReadAlike(const TIniSplice& other) const;

    // --- the new file, made line by line in the order of these calls
    void Keep(size_t i);
    // Line i with a text of the program's own (UTF-8), and its own line end.
    void Replace(size_t i, std::string text);
    void Add(std::string text);
    // A blank line, unless the new file is empty so far or ends in a blank line.
    void SetApart();
    // Whether every text of the program's own has a form in the file's encoding.
    bool OwnTextsFit() const;
    // The new file in the file's encoding.
    std::string Bytes() const { return Render(false); }
    // The new file all in UTF-8, each kept line as the reader read it (for a text that a
    // Windows-1252 file cannot hold): it reads as the file did, but for what was changed.
    std::string Utf8Bytes() const { return Render(true); }

private:
    static constexpr size_t kOwn = static_cast<size_t>(-1);
    struct Step {
        size_t line = kOwn;  // the file's line, kOwn for a line added
        bool replaced = false;
        std::string text;  // UTF-8, for a line added or replaced
    };
    std::string_view MostUsedLineEnd() const;
    std::string Render(bool utf8) const;
    bool StepIsBlank(const Step& step) const;

    std::string_view marks_;
    std::string_view body_;
    std::vector<TIniDocument::TextLine> lines_;
    bool windows1252_ = false;
    size_t cut_ = 0;  // the bytes of the cut last character
    std::vector<Step> steps_;
};
