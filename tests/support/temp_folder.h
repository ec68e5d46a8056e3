#pragma once
// A folder of one test's own under the system's temporary folder: its name is new (no other
// test, run or program shares it) and it goes, with everything in it, when the object does.

#include <filesystem>
#include <string>

class TempFolder {
public:
    // The name starts with Prefix, to tell whose folder a left-over one was.
    explicit TempFolder(const std::string& Prefix = "tovak-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // A file of that name in the folder.
    std::string File(const std::string& Name) const { return (path_ / Name).string(); }

private:
    std::filesystem::path path_;
};
