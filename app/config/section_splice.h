#pragma once
// Writing some sections of an INI file that people keep, compare and exchange: only the
// entries of those sections change; every other byte stays as it was, the byte-order mark,
// the encoding and the line ends too (platform/classes/ini_splice.h).

#include <string>
#include <string_view>
#include <vector>

struct TSectionEntries {
    std::string name;
    // "key=value" lines in ASCII, the same bytes in UTF-8 and in Windows-1252.
    std::vector<std::string> lines;
};

// The file `bytes` (whole, not cut inside its last character) with each section's
// entries replaced by `lines`, written with the line end the lines kept use most (CR LF in a
// file without one), so that saving the same entries again changes no byte. The entries of a section run from its first line that is neither blank nor a
// comment to its last; blank lines and comments under its header and after its last entry
// stay. A section that appears more than once gets its lines where it appears first and
// loses its entries elsewhere; a missing one is added at the end, after a blank line.
// Each section is named once.
std::string ReplaceSectionEntries(std::string_view bytes, const std::vector<TSectionEntries>& sections);
