// The dispatcher's trace of received and transmitted bytes and its dispatch log, with the
// text formats their dumps write.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/utsname.h>

#include "platform/comm/comm_errors.h"
#include "platform/sync/clock.h"
#include "serial/ser_dispatcher.h"
#include "serial/string_resource.h"

namespace {

constexpr uint32_t kMaxTraceSize = 4000000;
const char* const kEol = "\r\n";

#pragma pack(push, 1)
struct LogHeader {
    uint8_t Type;
    uint8_t SubType;
    uint32_t Time;
    uint32_t Data;
    uint32_t MoreLength;
};
#pragma pack(pop)

// A byte as the trace prints it: printable as itself, else bracketed hex or decimal.
std::string ByteText(uint8_t b, bool in_hex) {
    if (b >= (in_hex ? 33 : 32) && b <= 126) return std::string(1, static_cast<char>(b));
    char buf[8];
    if (in_hex)
        std::snprintf(buf, sizeof buf, "[%02X]", b);
    else
        std::snprintf(buf, sizeof buf, "[%u]", b);
    return buf;
}

FILE* OpenDumpFile(const std::string& name, bool append, int& error) {
    FILE* f = std::fopen(name.c_str(), append ? "ab" : "wb");
    error = f ? 0 : static_cast<int>(WinErrorFromErrno(errno, CommCall::Open));
    if (f) std::setvbuf(f, nullptr, _IOFBF, 512);
    return f;
}

int CloseDumpFile(FILE* f) {
    bool bad = std::ferror(f) != 0;
    if (std::fclose(f) != 0) bad = true;
    return bad ? -101 : 0;  // "Disk is full": the run-time library's write failure
}

std::string CompilerName() {
#if defined(__clang__)
    return std::string("Clang ") + __clang_version__;
#elif defined(__GNUC__)
    return std::string("GCC ") + __VERSION__;
#else
    return "C++";
#endif
}

std::string OperatingSystemText() {
    struct utsname u {};
    if (uname(&u) != 0) return "Unknown";
    std::string text = std::string(u.sysname) + " " + u.release + " " + u.version;
    return text.substr(0, 80);
}

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    return s;
}

}  // namespace

// ---- Trace ----

int TSerBaseDispatcher::InitTracing(uint32_t Size) {
    CriticalSectionGuard guard(general_lock_);
    if (!trace_allocated_) {
        if (Size > kMaxTraceSize) return ecBadArgument;
        trace_.assign(2 * static_cast<size_t>(Size), 0);
        trace_max_ = Size;
        trace_allocated_ = true;
    }
    trace_index_ = 0;
    trace_wrapped_ = false;
    tracing_on_ = true;
    return 0;
}

void TSerBaseDispatcher::AddTraceEntry(char Kind, char Byte) {
    CriticalSectionGuard guard(general_lock_);
    if (!trace_allocated_ || trace_max_ == 0) return;  // a zero-size trace records nothing
    trace_[2 * trace_index_] = Kind;
    trace_[2 * trace_index_ + 1] = Byte;
    if (++trace_index_ >= trace_max_) {
        trace_index_ = 0;
        trace_wrapped_ = true;
    }
}

int TSerBaseDispatcher::ClearTracing() {
    CriticalSectionGuard guard(general_lock_);
    trace_index_ = 0;
    trace_wrapped_ = false;
    return 0;
}

void TSerBaseDispatcher::AbortTracing() {
    CriticalSectionGuard guard(general_lock_);
    trace_.clear();
    trace_.shrink_to_fit();
    trace_allocated_ = false;
    trace_max_ = trace_index_ = 0;
    trace_wrapped_ = false;
    tracing_on_ = false;
}

void TSerBaseDispatcher::StartTracing() {
    CriticalSectionGuard guard(general_lock_);
    if (trace_allocated_) tracing_on_ = true;
}

void TSerBaseDispatcher::StopTracing() {
    CriticalSectionGuard guard(general_lock_);
    tracing_on_ = false;
}

int TSerBaseDispatcher::DumpTrace(const std::string& FileName, bool InHex) {
    return WriteTrace(FileName, InHex, false);
}
int TSerBaseDispatcher::AppendTrace(const std::string& FileName, bool InHex) {
    return WriteTrace(FileName, InHex, true);
}

int TSerBaseDispatcher::WriteTrace(const std::string& FileName, bool InHex, bool Append) {
    CriticalSectionGuard guard(general_lock_);
    if (!trace_allocated_) return 0;
    tracing_on_ = false;
    if (trace_index_ == 0 && !trace_wrapped_) {
        AbortTracing();
        return 0;
    }
    int error = 0;
    FILE* f = OpenDumpFile(FileName, Append, error);
    if (!f) return -error;
    uint32_t start = trace_wrapped_ ? trace_index_ : 0;
    uint32_t count = trace_wrapped_ ? trace_max_ : trace_index_;
    int previous = -1;
    int column = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t at = (start + i) % trace_max_;
        char kind = trace_[2 * at];
        uint8_t byte = static_cast<uint8_t>(trace_[2 * at + 1]);
        if (kind != previous) {
            if (previous != -1) {
                std::fputs(kEol, f);
                std::fputs(kEol, f);
            }
            column = 0;
            if (kind == 'T')
                std::fputs("Transmit: ", f);
            else if (kind == 'R')
                std::fputs("Receive: ", f);
            else
                std::fprintf(f, "Special-%c: ", kind);
            std::fputs(kEol, f);
            previous = static_cast<unsigned char>(kind);
        }
        std::string text = ByteText(byte, InHex);
        column += static_cast<int>(text.size());
        if (column >= 79) {
            std::fputs(kEol, f);
            column = static_cast<int>(text.size());
        }
        std::fputs(text.c_str(), f);
    }
    int result = CloseDumpFile(f);
    AbortTracing();
    return result;
}

// ---- Dispatch log ----

int TSerBaseDispatcher::InitDispatchLogging(uint32_t Size) {
    CriticalSectionGuard guard(general_lock_);
    if (!log_allocated_) {
        log_.assign(Size, 0);
        log_allocated_ = true;
    }
    log_write_ = log_read_ = 0;
    log_free_ = static_cast<uint32_t>(log_.size());
    logging_on_ = true;
    return 0;
}

bool TSerBaseDispatcher::LogRead(void* Data, uint32_t Length) {
    uint32_t size = static_cast<uint32_t>(log_.size());
    if (Length > size - log_free_) return false;
    char* out = static_cast<char*>(Data);
    for (uint32_t i = 0; i < Length; ++i) {
        out[i] = log_[log_read_];
        if (++log_read_ == size) log_read_ = 0;
    }
    log_free_ += Length;
    return true;
}

void TSerBaseDispatcher::LogDiscardOldest() {
    LogHeader h{};
    if (!LogRead(&h, sizeof h)) return;
    std::vector<char> skip(h.MoreLength);
    LogRead(skip.data(), h.MoreLength);
}

bool TSerBaseDispatcher::LogAdd(const void* Data, uint32_t Length) {
    uint32_t size = static_cast<uint32_t>(log_.size());
    if (Length >= size) return false;
    while (log_free_ < Length) LogDiscardOldest();
    const char* in = static_cast<const char*>(Data);
    for (uint32_t i = 0; i < Length; ++i) {
        log_[log_write_] = in[i];
        if (++log_write_ == size) log_write_ = 0;
    }
    log_free_ -= Length;
    return true;
}

void TSerBaseDispatcher::AddDispatchEntry(uint8_t Type, uint8_t SubType, uint32_t Data, const void* Block,
                                          uint32_t MoreLength) {
    CriticalSectionGuard guard(general_lock_);
    if (!log_allocated_ || !logging_on_) return;
    // An entry whose data cannot fit is refused whole: a header without its bytes would
    // make every later entry unreadable.
    if (static_cast<uint64_t>(sizeof(LogHeader)) + MoreLength >= log_.size()) return;
    LogHeader h{Type, SubType, static_cast<uint32_t>(GetTickCount() - log_time_base_), Data, Block ? MoreLength : 0};
    LogAdd(&h, sizeof h);
    if (h.MoreLength) LogAdd(Block, h.MoreLength);
}

int TSerBaseDispatcher::ClearDispatchLogging() {
    CriticalSectionGuard guard(general_lock_);
    log_write_ = log_read_ = 0;
    log_free_ = static_cast<uint32_t>(log_.size());
    return 0;
}

void TSerBaseDispatcher::AbortDispatchLogging() {
    CriticalSectionGuard guard(general_lock_);
    log_.clear();
    log_.shrink_to_fit();
    log_allocated_ = false;
    logging_on_ = false;
    log_write_ = log_read_ = log_free_ = 0;
}

void TSerBaseDispatcher::StartDispatchLogging() {
    CriticalSectionGuard guard(general_lock_);
    if (log_allocated_) logging_on_ = true;
}

void TSerBaseDispatcher::StopDispatchLogging() {
    CriticalSectionGuard guard(general_lock_);
    logging_on_ = false;
}

int TSerBaseDispatcher::DumpDispatchLog(const std::string& FileName, bool InHex) {
    return WriteDispatchLog(FileName, InHex, false);
}
int TSerBaseDispatcher::AppendDispatchLog(const std::string& FileName, bool InHex) {
    return WriteDispatchLog(FileName, InHex, true);
}

int TSerBaseDispatcher::WriteDispatchLog(const std::string& FileName, bool InHex, bool Append) {
    CriticalSectionGuard guard(general_lock_);
    if (!log_allocated_ || log_free_ == log_.size()) {
        AbortDispatchLogging();
        return 0;
    }
    logging_on_ = false;
    int error = 0;
    FILE* f = OpenDumpFile(FileName, Append, error);
    if (!f) return -error;
    const auto& texts = SerialErrorStrings();
    std::fprintf(f, "SERIAL v1.00%s", kEol);
    std::fprintf(f, "Compiler : %s%s", CompilerName().c_str(), kEol);
    std::fprintf(f, "Operating System : %s%s", OperatingSystemText().c_str(), kEol);
    std::fprintf(f, "%s%s", texts.GetString(15501).c_str(), kEol);
    std::fprintf(f, "%s%s", texts.GetString(15502).c_str(), kEol);
    static const char* const kStatusKinds[] = {"(Not active)",         "(Modem status)",       "(Line status)",
                                               "(Output buffer free)", "(Output buffer used)", "(Output sent)"};
    LogHeader h{};
    while (LogRead(&h, sizeof h)) {
        std::vector<char> data(h.MoreLength);
        LogRead(data.data(), h.MoreLength);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%07u", h.Time);
        std::string all = digits;
        // The point goes before the fifth character at every width, so from 10,000 s on
        // the column keeps its shape ("1234.5678") instead of growing to the left.
        std::string time = all.substr(0, 4) + "." + all.substr(4);
        std::string sub = h.SubType == 0 ? "" : texts.GetString(15100 + h.SubType);
        std::fprintf(f, "%8s  %-8s  %-12s  %08x  ", time.c_str(), texts.GetString(15001 + h.Type).c_str(), sub.c_str(),
                     h.Data);
        if (data.empty()) {
            if (h.Type == 10)
                std::fprintf(f, " [%s]",
                             h.Data <= 42 ? Trimmed(texts.GetString(15700 + static_cast<int>(h.Data))).c_str() : "");
        } else if (h.SubType == 15 && (h.Type == 5 || h.Type == 6)) {
            uint8_t kind = static_cast<uint8_t>(data[0]);
            if (kind <= 5) std::fputs(kStatusKinds[kind], f);
        } else {
            int column = 45;
            for (char c : data) {
                std::string text = ByteText(static_cast<uint8_t>(c), InHex);
                if (column + static_cast<int>(text.size()) > 78) {
                    std::fprintf(f, "%s%44s", kEol, "");
                    column = 45;
                }
                column += static_cast<int>(text.size());
                std::fputs(text.c_str(), f);
            }
        }
        if (h.SubType == 4) {
            std::string names;
            for (int bit = 0; bit < 8; ++bit)
                if (h.Data & (1u << bit)) names += texts.GetString(15601 + bit);
            std::fprintf(f, " (%s)", Trimmed(names).c_str());
        }
        std::fputs(kEol, f);
    }
    int result = CloseDumpFile(f);
    AbortDispatchLogging();
    return result;
}
