// Makes the registry hold what a registry file says, for the length of a test.
//
// The POSIX build reads its registry from the file that VISTREL_REGISTRY_FILE names, so this
// writes the text to a file and points the variable at it (child processes inherit it). On
// Windows the text is imported into the real registry with "reg import", after the keys that
// tests use (SOFTWARE\Tarvex and SOFTWARE\VistrelTest under the current user and the machine)
// have been deleted; they are deleted again at the end. Tests that use it share one registry on
// Windows: give them the ctest RESOURCE_LOCK "registry".
//
// At its end it checks that every registry key and process handle opened in its time is closed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

class ScopedEnvironment;

class ScopedRegistry {
public:
    // text: the lines that follow the header line "Windows Registry Editor Version 5.00".
    explicit ScopedRegistry(const std::string& text);
    ~ScopedRegistry();

    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

    // A backslash-escaped form of a path for a string value of the text.
    static std::string Escape(const std::string& path);

private:
    std::filesystem::path file_;
    std::unique_ptr<ScopedEnvironment> variable_;
    std::size_t openAtStart_ = 0;
};
