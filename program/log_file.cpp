#include "program/log_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "platform/rtl/date_time.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"

std::string LogFileName(const std::string& prefix) {
    return Program().ProtDir + prefix + FormatDateTime("yyyymm", Now()) + ".PRT";
}

bool WriteLogLine(const std::string& prefix, const std::string& tag, const std::string& text, std::string* why) {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    TDateTime now = Now();
    std::string file_name = Program().ProtDir + prefix + FormatDateTime("yyyymm", now) + ".PRT";
    std::string line = FormatDateTime("dd.mm.yyyy hh:nn:ss", now) + " " + FitLengthStr(tag, 10) + " " + text + "\r\n";

    std::FILE* file = std::fopen(file_name.c_str(), "ab");
    if (!file && !Program().ProtDir.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(Program().ProtDir, ignored);
        file = std::fopen(file_name.c_str(), "ab");
    }
    if (!file) {
        if (why) *why = file_name + " (" + std::strerror(errno) + ")";
        return false;
    }
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    const int error = errno;
    if (std::fclose(file) != 0 || !written) {
        if (why) *why = file_name + " (" + std::strerror(written ? errno : error) + ")";
        return false;
    }
    return true;
}
