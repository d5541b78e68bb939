// Where the tests' fake renderer (fake_renderer.cpp) notes its starts: a log file named through
// the environment for the length of a test, which children inherit.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

class ScopedEnvironment;

class FakeRendererLog {
public:
    FakeRendererLog();
    ~FakeRendererLog();
    FakeRendererLog(const FakeRendererLog&) = delete;
    FakeRendererLog& operator=(const FakeRendererLog&) = delete;

    // The fake renderer as built beside the test programs.
    static std::filesystem::path Executable();

    // How many fake renderers have noted their start, waiting up to wait for at least expected.
    int Starts(int expected, std::chrono::milliseconds wait) const;

private:
    std::filesystem::path file_;
    std::unique_ptr<ScopedEnvironment> variable_;
};
