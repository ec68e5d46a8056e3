#pragma once
// Points the configuration folder, and with it the registry store, at a fresh temporary
// folder; the old setting comes back at the end and the folder goes.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/temp_folder.h"

class ScopedConfigHome {
public:
    explicit ScopedConfigHome(const std::string& Prefix) : dir_(Prefix) {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
    }
    ~ScopedConfigHome() {
        if (saved_)
            setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const std::filesystem::path& Path() const { return dir_.Path(); }

private:
    TempFolder dir_;
    std::optional<std::string> saved_;
};
