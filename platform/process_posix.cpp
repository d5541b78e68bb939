// CreateProcessW and CloseHandle over posix_spawn.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/native_path.h"
#include "platform/win32.h"

extern char** environ;

namespace {

// What a HANDLE from CreateProcessW points at. Windows gives a process and a thread handle;
// here both only have to be closable, as nothing reads a process through its handle.
struct ProcessHandle {};

// Open handles, so that a stale or foreign HANDLE is refused rather than dereferenced, and the
// children this layer started that are not reaped yet.
std::mutex handlesMutex;
std::vector<ProcessHandle*> openHandles;
std::vector<pid_t> unreapedChildren;

// Reaps, without waiting, the children of this layer that have ended, their handles open or not:
// nothing here reads an exit status, and an ended child left unreaped still counts as a running
// process to anyone who asks the system. Only this layer's children are asked, each until it is
// reaped, so a process id that the system hands out again is never waited for. Called with
// handlesMutex held, at each entry into the layer.
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

}  // namespace

BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                    LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                    DWORD dwCreationFlags, LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory,
                    LPSTARTUPINFOW lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation)
try {
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
    std::lock_guard<std::mutex> lock(handlesMutex);
    ReapEndedChildren();
    // Whatever allocates comes before the spawn, so that a child once started is always
    // recorded and has its handles.
    auto process = std::make_unique<ProcessHandle>();
    auto thread = std::make_unique<ProcessHandle>();
    openHandles.reserve(openHandles.size() + 2);
    unreapedChildren.reserve(unreapedChildren.size() + 1);
    const pid_t pid = Spawn(path, bInheritHandles != FALSE);
    if (pid <= 0) return FALSE;
    unreapedChildren.push_back(pid);
    openHandles.push_back(process.get());
    openHandles.push_back(thread.get());
    lpProcessInformation->hProcess = process.release();
    lpProcessInformation->hThread = thread.release();
    lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
    lpProcessInformation->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
} catch (const std::bad_alloc&) {
    return FALSE;  // as the system does when it runs out of memory: nothing was started
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

BOOL CloseHandle(HANDLE hObject)
{
    auto handle = static_cast<ProcessHandle*>(hObject);
    std::lock_guard<std::mutex> lock(handlesMutex);
    ReapEndedChildren();
    const auto open = std::find(openHandles.begin(), openHandles.end(), handle);
    if (open == openHandles.end()) return FALSE;
    openHandles.erase(open);
    delete handle;
    return TRUE;
}

std::size_t OpenProcessHandleCount()
{
    std::lock_guard<std::mutex> lock(handlesMutex);
    ReapEndedChildren();
    return openHandles.size();
}
