#include "tests/fake_renderer_log.h"

#include <fstream>
#include <random>
#include <thread>

#include "tests/scoped_environment.h"
#include "tests/test_paths.h"

namespace fs = std::filesystem;

FakeRendererLog::FakeRendererLog()
{
    std::random_device random;
    file_ = fs::temp_directory_path() /
            ("vistrel_fake_renderer_" + std::to_string(random()) + ".log");
    variable_ = std::make_unique<ScopedEnvironment>("VISTREL_FAKE_RENDERER_LOG", file_.u8string());
}

FakeRendererLog::~FakeRendererLog()
{
    variable_.reset();
    std::error_code ignored;
    fs::remove(file_, ignored);
}

fs::path FakeRendererLog::Executable() { return ExecutableFolder() / VISTREL_FAKE_RENDERER_NAME; }

int FakeRendererLog::Starts(int expected, std::chrono::milliseconds wait) const
{
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::ifstream in(file_);
        int starts = 0;
        for (std::string line; std::getline(in, line);) starts += line == "started";
        if (starts >= expected || std::chrono::steady_clock::now() >= until) return starts;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
