#include "tests/renderer_install.h"

#include <cstdio>
#include <random>

#include <gtest/gtest.h>

#include "platform/win32.h"
#include "platform/win32_wide.h"
#include "tests/scoped_environment.h"
#include "tests/scoped_registry.h"
#include "tests/test_paths.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const char kRendererFile[] = "vistrel_renderer.exe";
#else
const char kRendererFile[] = "vistrel_renderer";
#endif
const char kLibraryFile[] = "trvvistrellive32.so";

}  // namespace

RendererInstall::RendererInstall(const std::string& idleMs)
{
    std::random_device random;
    root_ = fs::temp_directory_path() / ("vistrel_renderer_" + std::to_string(random()));
    install_ = root_ / "Vistrel 5";
    output_ = root_ / "sessions";
    fs::create_directories(install_);
    fs::create_directories(output_);
    const fs::path built = ExecutableFolder().parent_path() / "renderer";
    for (const char* file : {kRendererFile, kLibraryFile}) {
        fs::copy_file(built / file, install_ / file);
    }
    // Below the ports that Linux (32768 up) and Windows (49152 up) hand out for outgoing
    // connections, so that no connection of another program takes a port the test counts on.
    firstPort_ = std::uniform_int_distribution<int>(20000, 32000)(random);
    SetVariable("VISTREL_RENDERER_INSTANCES", (root_ / "instances").u8string());
    SetVariable("VISTREL_RENDERER_OUTPUT", output_.u8string());
    SetVariable("VISTREL_RENDERER_IDLE_MS", idleMs);
}

RendererInstall::~RendererInstall()
{
    registry_.reset();
    std::error_code ignored;
    fs::remove_all(root_, ignored);  // a renderer still running may keep its files on Windows
}

void RendererInstall::Register(bool withExecutable)
{
    const std::string folder = ScopedRegistry::Escape(install_.u8string());
    const std::string binary = ScopedRegistry::Escape((install_ / kRendererFile).u8string());
    char ports[128];
    std::snprintf(ports, sizeof ports,
                  "\"LiveLinkPort\"=dword:%08x\r\n\"LiveLinkMaxPort\"=dword:%08x\r\n",
                  static_cast<unsigned>(firstPort_), static_cast<unsigned>(firstPort_ + 19));
    registry_.reset();
    registry_ = std::make_unique<ScopedRegistry>(
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n"
        "\"VistrelActivePath\"=\"" + folder + "\"\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n" +
        ports +
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex]\r\n"
        "\"VistrelVersion\"=\"Vistrel 5\"\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel 5]\r\n"
        "\"CurrentVersion\"=\"5.0\"\r\n" +
        (withExecutable ? "\"BinName\"=\"" + binary + "\"\r\n" : "") +
        "\"BinFolder\"=\"" + folder + "\"\r\n");
}

void RendererInstall::SetVariable(const std::string& name, const std::string& value)
{
    variables_.push_back(std::make_unique<ScopedEnvironment>(name, value));
}

void RendererInstall::StartRenderer() const
{
    const std::u16string path = (install_ / kRendererFile).u16string();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(Win32Wide(path.c_str()), nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

fs::path RendererInstall::SessionFile(int port, int number) const
{
    return output_ / ("session_" + std::to_string(port) + "_" + std::to_string(number) + ".vsb");
}

bool RendererInstall::LibraryIsLoaded() const
{
#ifdef _WIN32
    return GetModuleHandleW(Win32Wide(u"trvvistrellive32.so")) != nullptr;
#else
    void* handle = dlopen((install_ / kLibraryFile).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle != nullptr;
#endif
}
