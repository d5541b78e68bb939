// Dynamic libraries and processes as the plug-in calls them, with the answers of
// Windows for what cannot be done. The same cases run on POSIX and on Windows.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

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

BOOL StartProcess(const char16_t* path, PROCESS_INFORMATION& process)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(Win32Wide(path), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process);
}

TEST(Process, MissingExecutableStartsNothing)
{
    PROCESS_INFORMATION process = {};
    EXPECT_EQ(StartProcess(u"no_such_folder\\no_such_program.exe", process), FALSE);
    EXPECT_EQ(process.hProcess, nullptr);
    EXPECT_EQ(process.hThread, nullptr);
}

#ifndef _WIN32
// A child that ended is reaped at the next call of the process functions, while its handles are
// still open too; a child that they did not start is left to whoever started it.
TEST(Process, EndedChildIsReapedAtTheNextCallAndNoOtherChild)
{
    PROCESS_INFORMATION process = {};
    ASSERT_EQ(StartProcess(u"/bin/true", process), TRUE);
    const pid_t started = static_cast<pid_t>(process.dwProcessId);
    const pid_t foreign = fork();
    if (foreign == 0) _exit(0);
    siginfo_t info = {};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(started), &info, WEXITED | WNOWAIT), 0);
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(foreign), &info, WEXITED | WNOWAIT), 0);
    EXPECT_EQ(CloseHandle(process.hThread), TRUE);
    EXPECT_EQ(waitpid(started, nullptr, WNOHANG), -1);  // reaped already
    EXPECT_EQ(waitpid(foreign, nullptr, WNOHANG), foreign);
    EXPECT_EQ(CloseHandle(process.hProcess), TRUE);
}
#endif

}  // namespace
