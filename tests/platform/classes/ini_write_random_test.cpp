// Random settings files, in every encoding the INI classes read and with every mix of line
// ends, changed by random writes, deletions and erasures through TIniFile. After each change
// the file reads, through both INI classes, as the same changes made in memory; it keeps its
// encoding and its marks; and every line the change did not touch is still there, in order,
// with its text and its line end (a last line without one may gain one, and a blank line that
// comes to follow a line ended by a lone CR turns its LF into CR LF).

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/classes/ini_file.h"
#include "platform/classes/ini_splice.h"
#include "platform/classes/mem_ini_file.h"
#include "platform/classes/string_list.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/str_utils.h"
#include "tests/platform/classes/ini_readings.h"
#include "tests/platform/classes/temp_dir.h"

namespace {

// Names that differ only in case or blanks, so that sections and keys come twice.
const char* const kSections[] = {"MAIN", "main", "T\xC3\xBCren", "B"};
const char* const kKeys[] = {"COT", "cot", " K1 ",
                             "\xC3\x96"
                             "ffner",
                             "x"};
// Values a Windows-1252 file can hold, and two it cannot (Ł, an emoji of two UTF-16 units).
const char* const kValues[] = {"1", "", "  padded  ", "T\xC3\xBCr \xE2\x82\xAC", "\xC5\x81", "\xF0\x9F\x98\x80"};
const char* const kLineEnds[] = {"\r\n", "\n", "\r"};

enum class Encoding { Utf8, Utf8Marked, Windows1252, Utf16Little, Utf16Big };

struct Op {
    enum { Write, Delete, Erase } kind;
    std::string section, key, value;
};

template <size_t N>
const char* Pick(std::mt19937& rng, const char* const (&pool)[N]) {
    return pool[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

std::string RandomFile(std::mt19937& rng, Encoding encoding) {
    const auto chance = [&rng](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    std::string text = encoding == Encoding::Windows1252 ? "; Gr\xC3\xBC\xC3\x9F"
                                                           "e"
                                                         : "";
    const int lines = std::uniform_int_distribution<int>(0, 14)(rng);
    for (int i = 0; i < lines; ++i) {
        if (!text.empty()) text += Pick(rng, kLineEnds);
        const int kind = std::uniform_int_distribution<int>(0, 19)(rng);
        if (kind < 3)
            text += std::string("[") + Pick(rng, kSections) + "]";
        else if (kind < 11)
            text += std::string(Pick(rng, kKeys)) + "=" + (chance(50) ? "1" : "T\xC3\xBCr");
        else if (kind < 17)
            text += "";
        else if (kind < 19)
            text += "; Notiz";
        else
            text += "[kaputt";
    }
    if (!text.empty() && chance(70)) text += Pick(rng, kLineEnds);
    switch (encoding) {
        case Encoding::Utf8: return text;
        case Encoding::Utf8Marked: return "\xEF\xBB\xBF" + text;
        case Encoding::Windows1252: return Utf8ToCp1252(text);
        case Encoding::Utf16Little: return "\xFF\xFE" + Utf8ToUtf16(text, TUtf16Order::LittleEndian);
        case Encoding::Utf16Big: return "\xFE\xFF" + Utf8ToUtf16(text, TUtf16Order::BigEndian);
    }
    return text;
}

// The key of an entry line, empty for any other line.
std::string EntryKey(const std::string& text) {
    const std::string trimmed = Trim(text);
    const size_t eq = trimmed.find('=');
    if (TIniDocument::IsBlankOrComment(trimmed) || eq == std::string::npos) return {};
    return Trim(std::string_view(trimmed).substr(0, eq));
}

// Mostly a key the file has, so that changes land among its lines.
Op RandomOp(std::mt19937& rng, const TIniSplice& file) {
    const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
    Op op{kind < 5 ? Op::Write : kind < 9 ? Op::Delete : Op::Erase, Pick(rng, kSections), Pick(rng, kKeys), {}};
    op.value = Pick(rng, kValues);
    std::vector<std::pair<std::string, std::string>> entries;
    std::optional<std::string> section;
    for (size_t i = 0; i < file.LineCount(); ++i) {
        if (auto name = file.SectionAt(i))
            section = name;
        else if (section && !EntryKey(file.Text(i)).empty())
            entries.emplace_back(*section, EntryKey(file.Text(i)));
    }
    if (!entries.empty() && std::uniform_int_distribution<int>(0, 3)(rng) != 0) {
        const auto& [name, key] = entries[std::uniform_int_distribution<size_t>(0, entries.size() - 1)(rng)];
        op.section = name;
        op.key = key;
    }
    return op;
}

void Apply(const Op& op, TCustomIniFile& ini) {
    if (op.kind == Op::Write) ini.WriteString(op.section, op.key, op.value);
    if (op.kind == Op::Delete) ini.DeleteKey(op.section, op.key);
    if (op.kind == Op::Erase) ini.EraseSection(op.section);
}

// Which lines of `file` the change leaves alone, and how many lines it adds.
std::vector<bool> Untouched(const TIniSplice& file, const Op& op, size_t& added) {
    std::vector<bool> untouched(file.LineCount(), true);
    std::optional<std::string> section;
    bool found = false, sectionFound = false;
    for (size_t i = 0; i < file.LineCount(); ++i) {
        if (auto name = file.SectionAt(i)) {
            section = name;
            if (TIniDocument::SameName(*name, op.section)) {
                sectionFound = true;
                if (op.kind == Op::Erase) untouched[i] = false;
            }
            continue;
        }
        if (!section || !TIniDocument::SameName(*section, op.section)) continue;
        const std::string key = EntryKey(file.Text(i));
        const bool ofKey = !key.empty() && TIniDocument::SameName(key, op.key);
        if (op.kind == Op::Erase || (op.kind == Op::Delete && ofKey) || (op.kind == Op::Write && ofKey && !found))
            untouched[i] = false;
        found = found || ofKey;
    }
    const size_t count = file.LineCount();
    const bool lastBlank = count > 0 && Trim(file.Text(count - 1)).empty();
    added = op.kind != Op::Write ? 0 : found || sectionFound ? 1 : 2 + (count > 0 && !lastBlank ? 1 : 0);
    return untouched;
}

// The lines left alone, in order, within the new file's lines, with the new lines between.
void ExpectLinesKept(const TIniSplice& before, const TIniSplice& after, const Op& op) {
    size_t added = 0;
    const std::vector<bool> untouched = Untouched(before, op, added);
    size_t kept = 0, j = 0;
    for (size_t i = 0; i < before.LineCount(); ++i) {
        if (!untouched[i]) continue;
        ++kept;
        const auto same = [&](size_t k) {
            const std::string_view was = before.Line(i).end, is = after.Line(k).end;
            const bool blankAfterCr = was == "\n" && is == "\r\n" && before.Line(i).text.empty() && k > 0 &&
                                      after.Line(k - 1).end == "\r";
            return before.Text(i) == after.Text(k) && (was == is || was.empty() || blankAfterCr);
        };
        while (j < after.LineCount() && !same(j)) ++j;
        ASSERT_LT(j, after.LineCount()) << "line " << i << " \"" << before.Text(i) << "\" is gone or changed";
        ++j;
    }
    EXPECT_EQ(after.LineCount(), kept + added);
}

}  // namespace

TEST(IniFileRandom, AWriteChangesOnlyItsLinesInEveryEncodingAndMixOfLineEnds) {
    const unsigned seed = std::getenv("TOVAK_INI_RANDOM_SEED") ? std::stoul(std::getenv("TOVAK_INI_RANDOM_SEED"))
                                                               : std::random_device{}();
    const int files = std::getenv("TOVAK_INI_RANDOM_FILES") ? std::stoi(std::getenv("TOVAK_INI_RANDOM_FILES")) : 300;
    SCOPED_TRACE("TOVAK_INI_RANDOM_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    TempDir dir;
    const std::string file = dir.File("TOVAK.INI");
    for (int f = 0; f < files && !HasFatalFailure(); ++f) {
        const auto encoding = static_cast<Encoding>(std::uniform_int_distribution<int>(0, 4)(rng));
        std::string bytes = RandomFile(rng, encoding);
        TempDir::Write(file, bytes);
        SCOPED_TRACE("file " + std::to_string(f));
        TMemIniFile model(file);
        TIniFile ini(file);
        const int ops = std::uniform_int_distribution<int>(1, 6)(rng);
        for (int o = 0; o < ops && !HasFatalFailure(); ++o) {
            const Op op = RandomOp(rng, TIniSplice(bytes));
            SCOPED_TRACE("change " + std::to_string(o) + ": " + op.section + "/" + op.key + "=" + op.value);
            Apply(op, model);
            Apply(op, ini);
            const std::string written = TempDir::Read(file);
            TIniFile again(file);
            TMemIniFile mem(file);
            EXPECT_EQ(IniReadings(again), IniReadings(model));
            EXPECT_EQ(IniReadings(mem), IniReadings(model));
            EXPECT_FALSE(again.ReadFault().has_value());

            const TIniSplice before(bytes), after(written);
            EXPECT_EQ(after.Utf16(), before.Utf16());
            const size_t marks = before.Utf16() ? 2 : encoding == Encoding::Utf8Marked ? 3 : 0;
            EXPECT_EQ(written.substr(0, marks), bytes.substr(0, marks));
            EXPECT_TRUE(before.Windows1252() || !after.Windows1252());
            ExpectLinesKept(before, after, op);
            bytes = written;
        }
    }
}
