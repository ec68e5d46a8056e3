#pragma once
// The layer's message tables: raw-data resources in the compact "STR0" format (little
// endian: "STR0", entry count, 12-byte entries {id, text offset, UTF-16 length} sorted by
// id, then the UTF-16LE texts), read by TAdStringResource.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/rtl/exception.h"

TOVAK_EXCEPTION_CLASS(ETpsStringResourceError, Exception);

// Builds a table from {id, UTF-8 text} pairs (sorted here).
std::string BuildStringTable(std::vector<std::pair<uint32_t, std::string>> entries);

// The program's raw-data resources by name; the two tables of this layer are built in.
// Registering a name replaces its data (tests use it for broken tables).
void RegisterRawResource(const std::string& name, std::string data);
void UnregisterRawResource(const std::string& name);

class TAdStringResource {
public:
    // Raises ETpsStringResourceError when the table is missing or not a "STR0" table.
    explicit TAdStringResource(const std::string& ResourceName);

    // The text (UTF-8) of `Id`; empty when missing, unless RaiseOnMissing.
    std::string GetString(int Id) const;
    bool RaiseOnMissing = false;

private:
    std::string data_;
};

// The layer's text for a result code (sign ignored), cut to 255 characters; falls back to
// the system's message for the same number, with control characters and double blanks
// removed.
std::string ErrorMsg(int Code);
// The "SERIAL_ERROR_STRINGS_ENGLISH" table (created on first use).
const TAdStringResource& SerialErrorStrings();
