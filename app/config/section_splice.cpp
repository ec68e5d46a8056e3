#include "app/config/section_splice.h"

#include <optional>

#include "platform/classes/ini_document.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/str_utils.h"

namespace {

using TextLine = TIniDocument::TextLine;

std::string_view MostUsedLineEnd(const std::vector<TextLine>& lines) {
    size_t crlf = 0, lf = 0, cr = 0;
    for (const TextLine& line : lines) {
        if (line.end == "\r\n") ++crlf;
        if (line.end == "\n") ++lf;
        if (line.end == "\r") ++cr;
    }
    if (lf > crlf && lf >= cr) return "\n";
    if (cr > crlf && cr > lf) return "\r";
    return "\r\n";
}

// Collects the new file line by line; a last line without its line end gets one when
// anything follows it.
class TSpliceWriter {
public:
    TSpliceWriter(std::string_view marks, std::string_view lineEnd) : out_(marks), lineEnd_(lineEnd) {}

    void Line(std::string_view text, std::string_view end) {
        if (open_) out_ += lineEnd_;
        out_ += text;
        out_ += end;
        open_ = end.empty();
        blank_ = Trim(text).empty();
        any_ = true;
    }
    void Line(std::string_view text) { Line(text, lineEnd_); }
    // The blank line that sets an added section apart from what comes before it.
    void SetApart() {
        if (any_ && !blank_) Line("");
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
    std::string_view lineEnd_;
    bool open_ = false;
    bool blank_ = false;
    bool any_ = false;
};

}  // namespace

std::string ReplaceSectionEntries(std::string_view bytes, const std::vector<TSectionEntries>& sections) {
    const std::string_view text = WithoutByteOrderMarks(bytes);
    const std::vector<TextLine> lines = TIniDocument::SplitLines(text);
    // Line ends, blanks, brackets and ";" are the same bytes in UTF-8 and in Windows-1252, so
    // the lines are read from the bytes; only a section's name is decoded, to be matched as
    // the reader matches it.
    const bool utf8 = IsValidUtf8(text);
    const auto sectionAt = [&](size_t i) -> std::optional<std::string> {
        auto name = TIniDocument::SectionName(lines[i].text);
        if (name && !utf8) name = Cp1252ToUtf8(*name);
        return name;
    };
    const std::string_view lineEnd = MostUsedLineEnd(lines);

    std::vector<bool> dropped(lines.size(), false);
    std::vector<const TSectionEntries*> placedBefore(lines.size() + 1, nullptr);
    std::vector<const TSectionEntries*> missing;
    for (const TSectionEntries& section : sections) {
        bool placed = false;
        for (size_t i = 0; i < lines.size(); ++i) {
            const auto name = sectionAt(i);
            if (!name || !TIniDocument::SameName(*name, section.name)) continue;
            size_t next = i + 1;
            while (next < lines.size() && !sectionAt(next)) ++next;
            size_t first = i + 1, last = next;
            while (first < last && TIniDocument::IsBlankOrComment(lines[first].text)) ++first;
            while (last > first && TIniDocument::IsBlankOrComment(lines[last - 1].text)) --last;
            for (size_t k = first; k < last; ++k) dropped[k] = true;
            // Right under the header when the section has no entries yet: what follows then
            // leads into the next section.
            if (!placed) placedBefore[first < last ? first : i + 1] = &section;
            placed = true;
            i = next - 1;
        }
        if (!placed) missing.push_back(&section);
    }

    TSpliceWriter out(bytes.substr(0, bytes.size() - text.size()), lineEnd);
    for (size_t i = 0; i <= lines.size(); ++i) {
        if (placedBefore[i] != nullptr)
            for (const std::string& entry : placedBefore[i]->lines) out.Line(entry);
        if (i < lines.size() && !dropped[i]) out.Line(lines[i].text, lines[i].end);
    }
    for (const TSectionEntries* section : missing) {
        out.SetApart();
        out.Line("[" + section->name + "]");
        for (const std::string& entry : section->lines) out.Line(entry);
    }
    return out.Take();
}
