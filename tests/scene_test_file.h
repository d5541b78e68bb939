// A temporary binary file for the scene writer tests: the writer writes into it (and closes it
// when it is destroyed), the test reads back what has been written so far.
#pragma once

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "scene/scene_api_file.h"

#ifdef _WIN32
#include <process.h>
#endif

// A new empty binary file, removed when it is closed. The C runtime's tmpfile() on Windows
// names its files by a per-process counter in one shared folder, so test programs running side
// by side could open the same file; there the name carries the process id instead.
inline FILE* OpenScratchFile()
{
#ifdef _WIN32
    static int made = 0;
    const std::string name = "scene_test_" + std::to_string(_getpid()) + "_" +
                             std::to_string(made++) + ".tmp";
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    return std::fopen(path.c_str(), "w+bD");  // D: deleted when closed
#else
    return std::tmpfile();
#endif
}

class SceneTestFile {
public:
    SceneTestFile() : file_(OpenScratchFile()) {}

    // The open file; whoever is handed it (the writer) closes it.
    FILE* get() const { return file_; }

    // Everything written so far. The file stays positioned at its end for further writes.
    std::string All() const
    {
        std::string text;
        if (file_ == nullptr)
            return text;
        std::fflush(file_);
        std::fseek(file_, 0, SEEK_END);
        const long size = std::ftell(file_);
        std::fseek(file_, 0, SEEK_SET);
        text.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
        if (!text.empty())
            text.resize(std::fread(&text[0], 1, text.size(), file_));
        std::fseek(file_, 0, SEEK_END);
        return text;
    }

    // What has been written since the last call of Take.
    std::string Take()
    {
        std::string text = All();
        std::string fresh = text.substr(taken_ < text.size() ? taken_ : text.size());
        taken_ = text.size();
        return fresh;
    }

private:
    FILE* file_;
    std::size_t taken_ = 0;
};

// Bytes given as a list, for comparisons with binary output.
inline std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// A scene file writer on a scratch file, for the writer's own tests.
class SceneWriterTest : public ::testing::Test {
protected:
    explicit SceneWriterTest(bool binaryArrays = false) : writer(file.get(), binaryArrays) {}

    // One integer parameter, to show the open block's parameter style.
    void Param(const char* name, std::int32_t value)
    {
        writer.SetParameter(name, SceneValueType::Int, &value);
    }

    // Opens a group and drops its text: what follows stands at indentation 2.
    void EnterGroup()
    {
        writer.BeginGroup("g", true);
        file.Take();
    }

    const SceneWriterState& State() const { return writer.State(); }

    SceneTestFile file;
    trvScene_api_file writer;
};
