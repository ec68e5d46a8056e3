#include "serial/string_resource.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/comm/comm_errors.h"

namespace {

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t GetU32(std::string_view data, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(data[at + i]);
    return v;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        uint8_t c = static_cast<uint8_t>(s[i]);
        uint32_t cp;
        int len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c >> 5) == 6) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c >> 4) == 14) {
            cp = c & 0x0F;
            len = 3;
        } else {
            cp = c & 0x07;
            len = 4;
        }
        for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<uint8_t>(s[i + k]) & 0x3F);
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

const std::vector<std::pair<uint32_t, std::string>>& ReaderTexts() {
    static const std::vector<std::pair<uint32_t, std::string>> texts = {
        {1, "String not found: %d"},          {2, "Cannot lock resource"},
        {3, "String resource not found: %s"}, {4, "Unable to open string resource: %s"},
        {5, "Invalid TPString resource"},
    };
    return texts;
}

const std::vector<std::pair<uint32_t, std::string>>& SerialTexts() {
    static const std::vector<std::pair<uint32_t, std::string>> texts = {
        {0, "OK"},
        {2, "File not found"},
        {3, "Path not found"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {6, "Invalid file handle"},
        {8, "Insufficient memory"},
        {15, "Invalid drive"},
        {18, "No more files"},
        {100, "Attempt to read beyond end of file"},
        {101, "Disk is full"},
        {102, "File/device not assigned"},
        {103, "File/device not open"},
        {104, "File/device not open for input"},
        {105, "File/device not open for output"},
        {150, "Disk is write-protected"},
        {151, "Unknown disk unit"},
        {152, "Drive is not ready"},
        {153, "Unknown command"},
        {154, "Data error"},
        {155, "Bad request structure length"},
        {156, "Seek error"},
        {157, "Unknown media type"},
        {158, "Disk sector not found"},
        {159, "Printer is out of paper"},
        {160, "Device write error"},
        {161, "Device read error"},
        {162, "General failure"},
        {1001, "Bad handle passed to com function"},
        {1002, "Bad argument passed to function"},
        {1003, "Got quit message"},
        {1004, "Terminal buffer greater than 65521"},
        {1005, "ComPort component not assigned"},
        {1006, "Internal error creating window class"},
        {1007, "Modem component not assigned"},
        {1008, "Phonebook component not assigned"},
        {1009, "Component not compatible with WinSock"},
        {2001, "ie_BadId - Specified comport doesn't exist"},
        {2002, "ie_Baudrate - unsupported baud rate"},
        {2003, "ie_Bytesize - invalid byte size"},
        {2004, "ie_Default - error in default parameters"},
        {2005, "ie_Hardware - Specified comport in use"},
        {2006, "ie_Memory - unable to allocate queues"},
        {2007, "ie_NOpen - device not open"},
        {2008, "ie_Open - device already open"},
        {2009, "No more handles, can't open port"},
        {2010, "No timers available"},
        {2011, "The ComNumber property of the TSerComPort has not been set"},
        {2012, "Comport was not opened by Tapi"},
        {3001, "No device layer specified"},
        {3002, "Function not supported by driver"},
        {3003, "EnableCommNotification failed"},
        {3004, "Failed to put entire block"},
        {3005, "Failed to get entire block"},
        {3006, "Output buffer too small for block"},
        {3007, "Buffer is empty"},
        {3008, "Tracing not enabled"},
        {3009, "Logging not enabled"},
        {3010, "Base address not set"},
        {4001, "StartModem has not been called"},
        {4002, "Modem is busy elsewhere"},
        {4003, "Modem is not currently dialing"},
        {4004, "Dialer is not dialing"},
        {4005, "Dialer is already dialing"},
        {4006, "Modem is not responding"},
        {4007, "Invalid command sent to modem"},
        {4008, "Wrong modem status requested"},
        {5001, "No more trigger slots"},
        {5002, "Data trigger too long"},
        {5003, "Bad trigger handle"},
        {6006, "Fatal time out"},
        {6008, "Too many errors during protocol"},
        {6009, "Block sequence error in Xmodem"},
        // Names the dispatch-log dump prints: entry types, sub-types, headings, modem bits.
        {15001, "No event"},
        {15002, "Dispatch"},
        {15003, "Trigger"},
        {15004, "Error"},
        {15005, "Thread"},
        {15006, "TrigAllc"},
        {15007, "TrigDisp"},
        {15008, "TrgHdAlc"},
        {15009, "TrgHdDsp"},
        {15010, "TrDatChg"},
        {15011, "Telnet"},
        {15020, "User"},
        {15101, "ReadCom"},
        {15102, "WriteCom"},
        {15105, "Avail"},
        {15106, "Timer"},
        {15107, "Data"},
        {15108, "Status"},
        {15116, "Avail"},
        {15117, "Window"},
        {15501, "Time      Type      SubType       Data      OtherData"},
        {15502, "--------  --------  ------------  --------  ---------"},
        {15601, "DCTS "},
        {15602, "DDSR "},
        {15603, "TERI "},
        {15604, "DDCD "},
        {15605, "CTS "},
        {15606, "DSR "},
        {15607, "RI "},
        {15608, "DCD "},
    };
    return texts;
}

std::mutex& ResourceLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::string, std::string>& Resources() {
    static std::map<std::string, std::string> resources = [] {
        std::map<std::string, std::string> r;
        r["ADSRMGR_STRINGS"] = BuildStringTable(ReaderTexts());
        r["SERIAL_ERROR_STRINGS_ENGLISH"] = BuildStringTable(SerialTexts());
        return r;
    }();
    return resources;
}

std::string ReaderText(int id, const std::string& arg) {
    for (const auto& [k, text] : ReaderTexts()) {
        if (static_cast<int>(k) != id) continue;
        std::string out = text;
        if (auto pos = out.find('%'); pos != std::string::npos) out.replace(pos, 2, arg);
        return out;
    }
    return {};
}

}  // namespace

std::string BuildStringTable(std::vector<std::pair<uint32_t, std::string>> entries) {
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string head = "STR0";
    PutU32(head, static_cast<uint32_t>(entries.size()));
    std::string texts;
    size_t base = 8 + 12 * entries.size();
    for (const auto& [id, text] : entries) {
        std::u16string w = Utf8ToUtf16(text);
        PutU32(head, id);
        PutU32(head, static_cast<uint32_t>(base + texts.size()));
        PutU32(head, static_cast<uint32_t>(w.size()));
        for (char16_t c : w) {
            texts.push_back(static_cast<char>(c & 0xFF));
            texts.push_back(static_cast<char>(c >> 8));
        }
    }
    return head + texts;
}

void RegisterRawResource(const std::string& name, std::string data) {
    std::lock_guard<std::mutex> guard(ResourceLock());
    Resources()[name] = std::move(data);
}

void UnregisterRawResource(const std::string& name) {
    std::lock_guard<std::mutex> guard(ResourceLock());
    Resources().erase(name);
}

TAdStringResource::TAdStringResource(const std::string& ResourceName) {
    std::string name = ResourceName.substr(0, 255);
    {
        std::lock_guard<std::mutex> guard(ResourceLock());
        auto it = Resources().find(name);
        if (it == Resources().end()) throw ETpsStringResourceError(ReaderText(3, name));
        data_ = it->second;
    }
    if (data_.size() < 8 || data_.compare(0, 4, "STR0") != 0) throw ETpsStringResourceError(ReaderText(5, ""));
    uint64_t count = GetU32(data_, 4);
    if (8 + 12 * count > data_.size()) throw ETpsStringResourceError(ReaderText(5, ""));
}

std::string TAdStringResource::GetString(int Id) const {
    uint32_t count = GetU32(data_, 4);
    int64_t low = 0, high = static_cast<int64_t>(count) - 1;
    while (low <= high) {
        int64_t mid = (low + high) / 2;
        size_t at = 8 + 12 * static_cast<size_t>(mid);
        int64_t id = static_cast<int32_t>(GetU32(data_, at));
        if (id == Id) {
            size_t offset = GetU32(data_, at + 4);
            size_t length = GetU32(data_, at + 8);
            if (offset > data_.size() || length > (data_.size() - offset) / 2) return {};
            std::string out;
            for (size_t i = 0; i < length; ++i) {
                uint32_t c = static_cast<uint8_t>(data_[offset + 2 * i]) |
                             (static_cast<uint32_t>(static_cast<uint8_t>(data_[offset + 2 * i + 1])) << 8);
                if (c >= 0xD800 && c < 0xDC00 && i + 1 < length) {
                    uint32_t lo = static_cast<uint8_t>(data_[offset + 2 * i + 2]) |
                                  (static_cast<uint32_t>(static_cast<uint8_t>(data_[offset + 2 * i + 3])) << 8);
                    c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                    ++i;
                }
                AppendUtf8(out, c);
            }
            return out;
        }
        if (id < Id)
            low = mid + 1;
        else
            high = mid - 1;
    }
    if (RaiseOnMissing) throw ETpsStringResourceError(ReaderText(1, std::to_string(Id)));
    return {};
}

const TAdStringResource& SerialErrorStrings() {
    static const TAdStringResource table("SERIAL_ERROR_STRINGS_ENGLISH");
    return table;
}

std::string ErrorMsg(int Code) {
    int id = static_cast<int16_t>(Code);
    if (id < 0) id = -id;
    std::string text = SerialErrorStrings().GetString(id);
    if (text.size() > 255) text.resize(255);
    if (!text.empty()) return text;
    text = SystemErrorText(static_cast<uint32_t>(id));
    if (text.size() > 255) text.resize(255);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    for (size_t pos; (pos = text.find("  ")) != std::string::npos;) text.erase(pos, 1);
    return text;
}
