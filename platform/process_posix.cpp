// CreateProcessW and CloseHandle over posix_spawn.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/native_path.h"
#include "platform/win32.h"

extern char** environ;

namespace {

// What a HANDLE from CreateProcessW points at. Windows gives a process and a thread handle;
// here the thread handle only has to be closable.
struct ProcessHandle {
    bool isProcess;
    pid_t pid;
};

// Open handles, so that a stale or foreign HANDLE is refused rather than dereferenced, and
// children whose process handle was closed before they ended, reaped once they have.
std::mutex handlesMutex;
std::set<ProcessHandle*> openHandles;
std::vector<pid_t> unreapedChildren;

// Reaps the children that have ended; called with handlesMutex held.
void ReapEndedChildren()
{
    auto ended = [](pid_t pid) {
        int status = 0;
        return waitpid(pid, &status, WNOHANG) != 0;  // ended, or not a child of ours any more
    };
    unreapedChildren.erase(
        std::remove_if(unreapedChildren.begin(), unreapedChildren.end(), ended),
        unreapedChildren.end());
}

// Spawn attributes: no blocked signals and default dispositions, as a new Windows process
// starts without anything inherited from its parent's signal handling.
bool InitAttributes(posix_spawnattr_t& attributes)
{
    if (posix_spawnattr_init(&attributes) != 0) return false;
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    return true;
}

// Starts path with the caller's environment; the child keeps only descriptors 0 to 2 unless
// inherit is set. Answers the child's id, or -1.
pid_t Spawn(const std::string& path, bool inherit)
{
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    if (!inherit) posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    pid_t pid = -1;
    if (InitAttributes(attributes)) {
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        if (posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ) != 0) pid = -1;
        posix_spawnattr_destroy(&attributes);
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

HANDLE NewHandle(bool isProcess, pid_t pid)
{
    auto handle = new ProcessHandle{isProcess, pid};
    openHandles.insert(handle);
    return handle;
}

}  // namespace

BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                    LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                    DWORD dwCreationFlags, LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory,
                    LPSTARTUPINFOW lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation)
{
    (void)lpProcessAttributes;
    (void)lpThreadAttributes;
    (void)dwCreationFlags;
    if (lpApplicationName == nullptr || *lpApplicationName == 0 || lpCommandLine != nullptr ||
        lpEnvironment != nullptr || lpCurrentDirectory != nullptr || lpStartupInfo == nullptr ||
        lpProcessInformation == nullptr) {
        return FALSE;
    }
    std::string path;
    if (!NativePath(lpApplicationName, path)) return FALSE;
    const pid_t pid = Spawn(path, bInheritHandles != FALSE);
    std::lock_guard<std::mutex> lock(handlesMutex);
    ReapEndedChildren();
    if (pid <= 0) return FALSE;
    lpProcessInformation->hProcess = NewHandle(true, pid);
    lpProcessInformation->hThread = NewHandle(false, pid);
    lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
    lpProcessInformation->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject)
{
    auto handle = static_cast<ProcessHandle*>(hObject);
    std::lock_guard<std::mutex> lock(handlesMutex);
    if (openHandles.erase(handle) == 0) return FALSE;
    if (handle->isProcess) unreapedChildren.push_back(handle->pid);
    delete handle;
    ReapEndedChildren();
    return TRUE;
}

std::size_t OpenProcessHandleCount()
{
    std::lock_guard<std::mutex> lock(handlesMutex);
    return openHandles.size();
}
