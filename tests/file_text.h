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

// How often what occurs in text, overlapping occurrences counted too.
inline std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}
