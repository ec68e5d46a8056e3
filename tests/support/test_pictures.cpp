#include "tests/support/test_pictures.h"

#include <cstdlib>
#include <system_error>

std::filesystem::path TestPicturesFolder() {
    const char* chosen = std::getenv("TOVAK_TEST_PICTURES");
    const std::filesystem::path folder = chosen && *chosen ? std::filesystem::path(chosen)
                                                           : std::filesystem::path(TOVAK_BUILD_DIR) / "pictures";
    // Test programs running side by side may make it at the same time; either one's folder will do.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

std::string TestPicturePath(const std::string& fileName) { return (TestPicturesFolder() / fileName).string(); }
