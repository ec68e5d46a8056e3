#include "app/pages/jobs/job_arguments.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/str_utils.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"

namespace {

// The fields after the job's key, each trimmed; missing ones are empty.
std::vector<std::string> JobFields(const std::string& argument, size_t count) {
    std::vector<std::string> fields;
    size_t pos = argument.find(',');
    while (pos != std::string::npos && fields.size() < count) {
        const size_t next = argument.find(',', pos + 1);
        fields.push_back(
            Trim(argument.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1)));
        pos = next;
    }
    fields.resize(count);
    return fields;
}

bool NumberField(const std::string& text, const char* what, int32_t& value, std::string& error) {
    if (ParseJobNumber(text, value)) return true;
    error = std::string(what) + " \"" + text + "\" is not a number";
    return false;
}

// A node or sub-index: a byte, as the run-time library reads numbers.
bool ByteField(const std::string& text, uint8_t& value) {
    int32_t v = 0;
    if (!TryStrToInt(text, v) || v < 0 || v > 0xFF) return false;
    value = static_cast<uint8_t>(v);
    return true;
}

// An object index: up to four hex digits of either case, "$" or "0x" before them allowed.
bool IndexField(const std::string& text, uint16_t& value) {
    std::string digits = text;
    if (digits.compare(0, 1, "$") == 0)
        digits.erase(0, 1);
    else if (digits.compare(0, 2, "0x") == 0 || digits.compare(0, 2, "0X") == 0)
        digits.erase(0, 2);
    if (digits.empty() || digits.size() > 4) return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    value = static_cast<uint16_t>(std::stoul(digits, nullptr, 16));
    return true;
}

}  // namespace

bool ParseJobNumber(const std::string& text, int32_t& value) {
    const std::string t = Trim(text);
    if (t.empty()) return false;
    size_t digits = t[0] == '-' || t[0] == '+' ? 1 : 0;
    if (digits == t.size()) return false;
    for (size_t i = digits; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    errno = 0;
    const long long v = std::strtoll(t.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool ParseNetInfoJob(const std::string& argument, TNetInfoJob& job, std::string& error) {
    const std::vector<std::string> f = JobFields(argument, 2);
    job.Mode = UpperCaseDEStr(f[1]);
    return NumberField(f[0], "port", job.Port, error);
}

bool ParseReadOdJob(const std::string& argument, TReadOdJob& job, std::string& error) {
    const std::vector<std::string> f = JobFields(argument, 3);
    job.File = f[0];
    return NumberField(f[1], "interval", job.Interval, error) && NumberField(f[2], "port", job.Port, error);
}

std::string JobFilePath(const std::string& name) {
    if (name.find('/') == std::string::npos) {
        const std::string found = FindFileCaseInsensitive(Program().BaseDir, name);
        return found.empty() ? Program().BaseDir + name : found;
    }
    std::string path = name[0] == '/' ? "/" : "";
    size_t pos = path.size();
    for (;;) {
        const size_t slash = name.find('/', pos);
        const std::string part = name.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        if (!part.empty()) {
            const std::string found = FindFileCaseInsensitive(path, part);
            path = found.empty() ? path + part : found;
            if (slash != std::string::npos) path += "/";
        }
        if (slash == std::string::npos) return path;
        pos = slash + 1;
    }
}

TOdEntries ReadOdEntries(const std::string& path, std::vector<std::string>* skipped) {
    TOdEntries entries{};
    if (!FileExists(path)) return entries;
    // A device or a pipe named by mistake would be read without end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        if (skipped) skipped->push_back("no entries read: not a plain file");
        return entries;
    }
    TIniFile ini(path);
    for (int i = 1; i <= 10; ++i) {
        const std::string key = IntToStrZero(i, 2);
        std::string rest = ini.ReadString("ENTRIES", key, ""), node, index, sub;
        if (Trim(rest).empty()) continue;
        SplitFirst(rest, ",", node);
        SplitFirst(rest, ",", index);
        SplitFirst(rest, ",", sub);
        TOdEntry e;
        // A node or index that does not fit would be cut down to another device's object,
        // whose value would then be shown under this entry's name.
        const char* bad = !ByteField(Trim(node), e.Node)      ? "its node is not a number from 0 to 255"
                          : e.Node == 0                       ? nullptr
                          : !IndexField(Trim(index), e.Index) ? "its index is not 1 to 4 hex digits"
                          : !ByteField(Trim(sub), e.Sub)      ? "its sub-index is not a number from 0 to 255"
                                                              : nullptr;
        if (bad) {
            if (skipped) skipped->push_back("entry " + key + " is skipped: " + bad);
            continue;
        }
        if (e.Node == 0) continue;
        e.Name = Trim(rest);
        entries[static_cast<size_t>(i - 1)] = e;
    }
    return entries;
}
