#include "platform/classes/ini_document.h"

#include <algorithm>
#include <unordered_set>

#include "platform/classes/ini_splice.h"
#include "platform/classes/strings.h"
#include "platform/classes/update_scope.h"
#include "platform/rtl/str_utils.h"

namespace {

std::string OneLine(std::string_view s) {
    std::string result(s);
    std::replace(result.begin(), result.end(), '\r', ' ');
    std::replace(result.begin(), result.end(), '\n', ' ');
    return result;
}

bool IsBlankLine(const std::string& raw) { return Trim(raw).empty(); }

}  // namespace

void TIniDocument::Clear() {
    preamble_.clear();
    sections_.clear();
}

std::vector<TIniDocument::TextLine> TIniDocument::SplitLines(std::string_view text) {
    std::vector<TextLine> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        lines.push_back(TextLine{text.substr(pos, end - pos), text.substr(end, next - end)});
        pos = next;
    }
    return lines;
}

std::optional<std::string> TIniDocument::SectionName(std::string_view line) {
    const std::string trimmed = Trim(line);
    const size_t close = trimmed.find(']');
    if (trimmed.empty() || trimmed[0] != '[' || close == std::string::npos) return std::nullopt;
    return Trim(std::string_view(trimmed).substr(1, close - 1));
}

bool TIniDocument::IsBlankOrComment(std::string_view line) {
    const std::string trimmed = Trim(line);
    return trimmed.empty() || trimmed[0] == ';';
}

bool TIniDocument::SameName(std::string_view a, std::string_view b) { return AnsiSameText(Trim(a), Trim(b)); }

void TIniDocument::Parse(std::string_view text) {
    Clear();
    for (const TextLine& line : SplitLines(text)) ParseLine(std::string(line.text), kNoSource);
}

void TIniDocument::Parse(const TIniSplice& file) {
    Clear();
    for (size_t i = 0; i < file.LineCount(); ++i) ParseLine(file.Text(i), i);
}

void TIniDocument::ParseLine(std::string raw, size_t source) {
    if (auto name = SectionName(raw)) {
        sections_.push_back(Section{std::move(*name), std::move(raw), {}, source});
        return;
    }
    Line line{std::move(raw), {}, {}, source};
    std::string trimmed = Trim(line.raw);
    size_t eq = trimmed.find('=');
    if (!IsBlankOrComment(trimmed) && eq != std::string::npos) {
        line.key = Trim(std::string_view(trimmed).substr(0, eq));
        if (!line.key.empty()) line.value = Trim(std::string_view(trimmed).substr(eq + 1));
    }
    (sections_.empty() ? preamble_ : sections_.back().lines).push_back(std::move(line));
}

std::string TIniDocument::Serialize() const {
    std::string out;
    auto add = [&out](const std::string& raw) {
        out += raw;
        out += "\r\n";
    };
    for (const auto& line : preamble_) add(line.raw);
    for (const auto& section : sections_) {
        add(section.header);
        for (const auto& line : section.lines) add(line.raw);
    }
    return out;
}

void TIniDocument::WriteTo(TIniSplice& file) const {
    const auto put = [&file](const Line& line) {
        if (line.source == kNoSource)
            file.Add(line.raw);
        else if (line.changed)
            file.Replace(line.source, line.raw);
        else
            file.Keep(line.source);
    };
    for (const auto& line : preamble_) put(line);
    for (const auto& section : sections_) {
        if (section.source == kNoSource)
            file.Add(section.header);
        else
            file.Keep(section.source);
        for (const auto& line : section.lines) put(line);
    }
}

TIniDocument::Line* TIniDocument::FindLine(std::string_view section, std::string_view key) {
    for (auto& s : sections_) {
        if (!SameName(s.name, section)) continue;
        for (auto& line : s.lines) {
            if (!line.key.empty() && SameName(line.key, key)) return &line;
        }
    }
    return nullptr;
}

const std::string* TIniDocument::Find(std::string_view section, std::string_view key) const {
    const Line* line = const_cast<TIniDocument*>(this)->FindLine(section, key);
    return line != nullptr ? &line->value : nullptr;
}

void TIniDocument::Write(std::string_view section, std::string_view key, std::string_view value) {
    std::string section_name = Trim(OneLine(section));
    std::string key_name = Trim(OneLine(key));
    std::string text = OneLine(value);
    if (Line* line = FindLine(section_name, key_name)) {
        line->raw = line->key + "=" + text;
        line->value = Trim(text);
        line->changed = true;
        return;
    }
    Line entry{key_name + "=" + text, key_name, Trim(text)};
    for (auto& s : sections_) {
        if (!SameName(s.name, section_name)) continue;
        // After the section's last entry: blank lines and comments that lead into the next
        // section stay where they are.
        auto last_entry = std::find_if(s.lines.rbegin(), s.lines.rend(), [](const Line& l) { return !l.key.empty(); });
        s.lines.insert(last_entry.base(), std::move(entry));
        return;
    }
    std::vector<Line>& previous = sections_.empty() ? preamble_ : sections_.back().lines;
    bool document_empty = sections_.empty() && preamble_.empty();
    if (!document_empty && (previous.empty() || !IsBlankLine(previous.back().raw))) {
        previous.push_back(Line{});
    }
    sections_.push_back(Section{section_name, "[" + section_name + "]", {}, kNoSource});
    sections_.back().lines.push_back(std::move(entry));
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view key) {
    size_t deleted = 0;
    for (auto& s : sections_)
        if (SameName(s.name, section))
            deleted += std::erase_if(s.lines, [&](const Line& l) { return !l.key.empty() && SameName(l.key, key); });
    return deleted != 0;
}

bool TIniDocument::EraseSection(std::string_view section) {
    auto it = std::remove_if(sections_.begin(), sections_.end(),
                             [&](const Section& s) { return SameName(s.name, section); });
    bool erased = it != sections_.end();
    sections_.erase(it, sections_.end());
    return erased;
}

std::vector<std::string> TIniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const auto& s : sections_) {
        bool known = std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, s.name); });
        if (!known) names.push_back(s.name);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> TIniDocument::Entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    // One look-up per line: a file of a million keys is read in one pass, not a million.
    std::unordered_set<std::string> known;
    for (const auto& s : sections_) {
        if (!SameName(s.name, section)) continue;
        for (const auto& line : s.lines) {
            if (line.key.empty()) continue;
            if (known.insert(AnsiUpperCase(Trim(line.key))).second) entries.emplace_back(line.key, line.value);
        }
    }
    return entries;
}

void TIniDocument::FillEntries(std::string_view section, TStrings* strings, bool with_values) const {
    TUpdateScope update(strings);
    strings->Clear();
    for (const auto& [key, value] : Entries(section)) strings->Add(with_values ? key + "=" + value : key);
}

void TIniDocument::FillSectionNames(TStrings* strings) const {
    TUpdateScope update(strings);
    strings->Clear();
    for (const auto& name : SectionNames()) strings->Add(name);
}

std::optional<std::string> TIniDocument::SectionReadingDifferently(const TIniDocument& other,
                                                                   const std::vector<std::string>& except) const {
    const std::vector<std::string> mine = SectionNames(), theirs = other.SectionNames();
    const auto named = [](const std::vector<std::string>& names, const std::string& name) {
        return std::any_of(names.begin(), names.end(), [&name](const std::string& n) { return SameName(n, name); });
    };
    for (const auto* names : {&mine, &theirs})
        for (const std::string& name : *names) {
            if (named(except, name)) continue;
            if (!named(mine, name) || !named(theirs, name) || Entries(name) != other.Entries(name)) return name;
        }
    return std::nullopt;
}
