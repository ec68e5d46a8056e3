#pragma once
// An INI file that people keep, compare and exchange, read line by line from its bytes, and
// the same file made again with some lines changed: a line kept keeps its bytes and its line
// end, and the byte-order mark (or none) and the encoding the reader decided stay: UTF-16 in
// its byte order behind its mark, else UTF-8, or Windows-1252 for a file that is not UTF-8.
// Lines are read by TIniDocument's grammar. A line of the program's own is written in the
// file's encoding; it never makes a CR before it or an LF after it into one CR LF, which
// would read as one line end and lose a blank line, and neither does a line taken out
// between them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/ini_document.h"
#include "platform/rtl/encoding.h"

class TIniSplice {
public:
    // `bytes` is the whole file; they must outlive the splice.
    explicit TIniSplice(std::string_view bytes);
    // The lines of a UTF-16 file point into the splice's own text.
    TIniSplice(const TIniSplice&) = delete;
    TIniSplice& operator=(const TIniSplice&) = delete;

    // --- the file as it is
    size_t LineCount() const { return lines_.size(); }
    // The bytes of a line (after the byte-order marks) and of its line end; in a UTF-16 file,
    // its text in UTF-8.
    const TIniDocument::TextLine& Line(size_t i) const { return lines_[i]; }
    // A line as the reader reads it: in UTF-8, without a character the file was cut inside.
    std::string Text(size_t i) const;
    std::optional<std::string> SectionAt(size_t i) const { return TIniDocument::SectionName(Text(i)); }
    // Read as Windows-1252 (a file that is not UTF-8), else as UTF-8.
    bool Windows1252() const { return windows1252_; }
    // The byte order of a UTF-16 file, none for any other.
    std::optional<TUtf16Order> Utf16() const { return utf16_; }
    // A UTF-8 file cut inside its last character (EndsInsideCharacter).
    bool CutInsideLastCharacter() const { return cut_ != 0; }
    // Why the bytes are no text, which the INI classes do not guess at: a UTF-16 file that
    // does not decode (it has no lines), or a NUL in any other (its lines read as before).
    TTextFault Fault() const { return fault_; }
    // Whether `other` is read as this file is: in the same encoding, or all in ASCII, which
    // reads the same in UTF-8 and Windows-1252.
    bool ReadAlike(const TIniSplice& other) const;

    // --- the new file, made line by line in the order of these calls
    void Keep(size_t i);
    // Line i with a text of the program's own (UTF-8), and its own line end.
    void Replace(size_t i, std::string text);
    // A line of the program's own, with the line end the new file's lines from the file use
    // most (MostUsedLineEnd).
    void Add(std::string text);
    // A blank line, unless the new file is empty so far or ends in a blank line.
    void SetApart();
    // Whether every text of the program's own has a form in the file's encoding.
    bool OwnTextsFit() const;
    // The new file in the file's encoding.
    std::string Bytes() const;
    // The new file all in UTF-8, each kept line as the reader read it (for a text that a
    // Windows-1252 file cannot hold): it reads as the file did, but for what was changed.
    // Not for a UTF-16 file, which holds every text.
    std::string Utf8Bytes() const { return Render(true); }

private:
    static constexpr size_t kOwn = static_cast<size_t>(-1);
    struct Step {
        size_t line = kOwn;  // the file's line, kOwn for a line added
        bool replaced = false;
        std::string text;  // UTF-8, for a line added or replaced
    };
    std::string_view MostUsedLineEnd() const;
    // The new file as text: in UTF-8 for a UTF-16 file, which Bytes encodes.
    std::string Render(bool utf8) const;
    bool StepIsBlank(const Step& step) const;

    std::optional<TUtf16Order> utf16_;
    std::string decoded_;     // a UTF-16 file's text in UTF-8, which its lines point into
    std::string_view marks_;  // the UTF-8 marks before the lines (a UTF-16 file's after its own)
    std::string_view body_;
    std::vector<TIniDocument::TextLine> lines_;
    bool windows1252_ = false;
    size_t cut_ = 0;  // the bytes of the cut last character
    TTextFault fault_ = TTextFault::Readable;
    std::vector<Step> steps_;
};
