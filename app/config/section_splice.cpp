#include "app/config/section_splice.h"

#include <optional>

#include "platform/classes/ini_document.h"
#include "platform/classes/ini_splice.h"

std::string ReplaceSectionEntries(std::string_view bytes, const std::vector<TSectionEntries>& sections) {
    TIniSplice file(bytes);
    const size_t count = file.LineCount();
    std::vector<std::optional<std::string>> sectionAt(count);
    for (size_t i = 0; i < count; ++i) sectionAt[i] = file.SectionAt(i);
    const auto blankOrComment = [&file](size_t i) { return TIniDocument::IsBlankOrComment(file.Line(i).text); };

    std::vector<bool> dropped(count, false);
    std::vector<const TSectionEntries*> placedBefore(count + 1, nullptr);
    std::vector<const TSectionEntries*> missing;
    for (const TSectionEntries& section : sections) {
        bool placed = false;
        for (size_t i = 0; i < count; ++i) {
            if (!sectionAt[i] || !TIniDocument::SameName(*sectionAt[i], section.name)) continue;
            size_t next = i + 1;
            while (next < count && !sectionAt[next]) ++next;
            size_t first = i + 1, last = next;
            while (first < last && blankOrComment(first)) ++first;
            while (last > first && blankOrComment(last - 1)) --last;
            for (size_t k = first; k < last; ++k) dropped[k] = true;
            // Right under the header when the section has no entries yet: what follows then
            // leads into the next section.
            if (!placed) placedBefore[first < last ? first : i + 1] = &section;
            placed = true;
            i = next - 1;
        }
        if (!placed) missing.push_back(&section);
    }

    for (size_t i = 0; i <= count; ++i) {
        if (placedBefore[i] != nullptr)
            for (const std::string& entry : placedBefore[i]->lines) file.Add(entry);
        if (i < count && !dropped[i]) file.Keep(i);
    }
    for (const TSectionEntries* section : missing) {
        file.SetApart();
        file.Add("[" + section->name + "]");
        for (const std::string& entry : section->lines) file.Add(entry);
    }
    return file.Bytes();
}
