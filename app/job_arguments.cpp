#include "app/job_arguments.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "link/program_dirs.h"
#include "link/text_utils.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/rtl/str_utils.h"

namespace {

// The fields after the job's key, each trimmed; missing ones are empty.
std::vector<std::string> JobFields(const std::string& argument, size_t count) {
    std::vector<std::string> fields;
    size_t pos = argument.find(',');
    while (pos != std::string::npos && fields.size() < count) {
        const size_t next = argument.find(',', pos + 1);
        fields.push_back(Trim(argument.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1)));
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
        const std::string found = FindFileCaseInsensitive(BaseDir, name);
        return found.empty() ? BaseDir + name : found;
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

TOdEntries ReadOdEntries(const std::string& path) {
    TOdEntries entries{};
    if (!FileExists(path)) return entries;
    TIniFile ini(path);
    for (int i = 1; i <= 10; ++i) {
        const std::string value = ini.ReadString("ENTRIES", IntToStrZero(i, 2), "");
        std::string rest = value, node, index, sub;
        SplitFirst(rest, ",", node);
        SplitFirst(rest, ",", index);
        SplitFirst(rest, ",", sub);
        TOdEntry& e = entries[static_cast<size_t>(i - 1)];
        e.Node = static_cast<uint8_t>(StrToIntVal(Trim(node)));
        // Hand-written lists have lower-case digits too; read as blanks they would name
        // another object.
        e.Index = HexToInt16(UpperCaseDEStr(Trim(index)));
        e.Sub = static_cast<uint8_t>(StrToIntVal(Trim(sub)));
        e.Name = Trim(rest);
    }
    return entries;
}
