#pragma once
// Where the tests put the pictures they draw of windows, for a person to look at: the folder
// $TOVAK_TEST_PICTURES names (scripts/test.sh gives each build its own), else "pictures" in
// the build folder. Never the working folder: a test run must leave the source tree as it was.

#include <filesystem>
#include <string>

// The folder, made when missing.
std::filesystem::path TestPicturesFolder();
// A picture of that name in the folder (for SaveForm and the like).
std::string TestPicturePath(const std::string& fileName);
