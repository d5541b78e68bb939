// A fresh empty folder made the current directory for the length of a test, so that files the
// plug-in writes to the current directory (its settings file) start from nothing and vanish
// afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

class ScopedTempFolder {
public:
    ScopedTempFolder() : previous(std::filesystem::current_path()) {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do {
            path = base / ("vistrel_test_" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path));
        std::filesystem::current_path(path);
    }

    ~ScopedTempFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        std::filesystem::remove_all(path, ignored);
    }

    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const std::filesystem::path& Path() const { return path; }

private:
    std::filesystem::path previous;
    std::filesystem::path path;
};
