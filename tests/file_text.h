// Reading back what a test or the plug-in wrote.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// The bytes of the file at path, as they are on disk; empty when there is no such file.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
