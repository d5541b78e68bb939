// Dynamic libraries, processes and Sleep as the plug-in calls them, with the answers of
// Windows for what cannot be done. The same cases run on POSIX and on Windows.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/win32.h"
#include "platform/win32_wide.h"

namespace {

TEST(DynamicLibrary, MissingLibraryIsNullAndANullModuleRefused)
{
    EXPECT_EQ(LoadLibraryW(Win32Wide(u"no_such_folder\\no_such_library.so")), nullptr);
    EXPECT_EQ(LoadLibraryW(Win32Wide(u"no_such_library_anywhere.so")), nullptr);
    EXPECT_EQ(LoadLibraryW(Win32Wide(u"")), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "vistrel_live_initialize"), nullptr);
    EXPECT_EQ(FreeLibrary(nullptr), FALSE);
}

TEST(Process, MissingExecutableStartsNothing)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    EXPECT_EQ(CreateProcessW(Win32Wide(u"no_such_folder\\no_such_program.exe"), nullptr, nullptr,
                             nullptr, FALSE, 0, nullptr, nullptr, &startup, &process),
              FALSE);
    EXPECT_EQ(process.hProcess, nullptr);
    EXPECT_EQ(process.hThread, nullptr);
}

TEST(Sleep, WaitsAtLeastTheTimeAsked)
{
    const auto start = std::chrono::steady_clock::now();
    Sleep(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
}

}  // namespace
