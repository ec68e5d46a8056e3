#include "tests/support/temp_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <system_error>

TempFolder::TempFolder(const std::string& Prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (Prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "cannot make a folder like " + pattern);
    path_ = pattern;
}

TempFolder::~TempFolder() {
    // As far as it goes: a folder a test left unreadable stays behind, named by the prefix.
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
