#pragma once
// Points the configuration folder, and with it the registry store, at a fresh temporary
// folder named after the running test; the old setting and an empty folder come back at the
// end.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class ScopedConfigHome {
  public:
    explicit ScopedConfigHome(const std::string& Prefix) {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        dir_ = std::filesystem::temp_directory_path() /
               (Prefix + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    }
    ~ScopedConfigHome() {
        if (saved_)
            setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const std::filesystem::path& Path() const { return dir_; }

  private:
    std::filesystem::path dir_;
    std::optional<std::string> saved_;
};
