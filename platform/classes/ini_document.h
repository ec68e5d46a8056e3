#pragma once
// The text of an INI file as the INI classes read and change it. Every line is kept, so
// comments, blank lines and lines that are not entries survive a rewrite; only the entries
// written are replaced. Sections and keys compare ignoring case (letters like ä included)
// and ignoring blanks at their ends. A value is written as given, blanks at its ends too,
// and reads trimmed. A section that appears twice reads as one. Malformed lines are kept as
// they are and otherwise ignored.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TIniSplice;
class TStrings;

class TIniDocument {
public:
    // One line of a text and the line end that closes it: "\r\n", "\n", "\r", or nothing
    // for a last line without one.
    struct TextLine {
        std::string_view text;
        std::string_view end;
    };
    // The lines as every INI class reads them; an empty text has none.
    static std::vector<TextLine> SplitLines(std::string_view text);
    // The name of the section a line opens, nothing for a line that opens none.
    static std::optional<std::string> SectionName(std::string_view line);
    // A line that is empty or a comment: neither a section, nor an entry, nor a malformed line.
    static bool IsBlankOrComment(std::string_view line);
    // How sections and keys are matched.
    static bool SameName(std::string_view a, std::string_view b);

    // `text` is the decoded file content; lines end with CR LF, LF or CR.
    void Parse(std::string_view text);
    // The lines of a file as its reader reads them, each remembering its line of `file`.
    void Parse(const TIniSplice& file);
    // Lines joined and ended by CR LF.
    std::string Serialize() const;
    // The document's lines, in order, into the new file of `file`, the splice it was parsed
    // from: a line unchanged since is kept as its bytes, a changed one keeps its line end.
    void WriteTo(TIniSplice& file) const;
    void Clear();

    // nullptr when the section or key is missing.
    const std::string* Find(std::string_view section, std::string_view key) const;
    // Line breaks in section, key or value become blanks: they would split the entry.
    void Write(std::string_view section, std::string_view key, std::string_view value);
    // Every line of the key, in every part of the section: none is left to read.
    bool DeleteKey(std::string_view section, std::string_view key);
    bool EraseSection(std::string_view section);

    // Each name once, in file order.
    std::vector<std::string> SectionNames() const;
    // Each key once (the first entry wins), in file order.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
    // Clear `strings`, then fill it with the keys (or "key=value") or the section names.
    void FillEntries(std::string_view section, TStrings* strings, bool with_values) const;
    void FillSectionNames(TStrings* strings) const;
    // The first section, in either document, that reads differently in the other (its entries,
    // or whether it is there at all), leaving out the sections named in `except`; none when
    // every section reads the same.
    std::optional<std::string> SectionReadingDifferently(const TIniDocument& other,
                                                         const std::vector<std::string>& except = {}) const;

private:
    static constexpr size_t kNoSource = static_cast<size_t>(-1);
    struct Line {
        std::string raw;
        std::string key;            // empty for a line that is not an entry
        std::string value;          // trimmed
        size_t source = kNoSource;  // its line in the file parsed, for a line read from one
        bool changed = false;
    };
    struct Section {
        std::string name;
        std::string header;
        std::vector<Line> lines;
        size_t source = kNoSource;
    };
    Line* FindLine(std::string_view section, std::string_view key);
    void ParseLine(std::string raw, size_t source);

    std::vector<Line> preamble_;
    std::vector<Section> sections_;
};
