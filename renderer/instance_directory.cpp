#include "renderer/instance_directory.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace {

constexpr char kFolderVariable[] = "VISTREL_RENDERER_INSTANCES";
constexpr char kFilePrefix[] = "renderer_";
constexpr char kFileSuffix[] = ".instance";
// An announcement is two short lines; anything longer is not one.
constexpr std::uintmax_t kMaxFileSize = 512;

fs::path InstanceFile(const fs::path& folder, int port)
{
    return folder / (kFilePrefix + std::to_string(port) + kFileSuffix);
}

// Reads an announcement: "pid <id>\n" and the entry line. False when it has another form.
bool ReadAnnouncement(const fs::path& file, std::uint32_t& processId, int& port, std::string& entry)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > kMaxFileSize) return false;
    std::ifstream in(file, std::ios::binary);
    std::string pidLine;
    if (!std::getline(in, pidLine) || !std::getline(in, entry)) return false;
    unsigned long id = 0;
    int consumed = 0;
    if (std::sscanf(pidLine.c_str(), "pid %lu%n", &id, &consumed) != 1 ||
        static_cast<std::size_t>(consumed) != pidLine.size()) {
        return false;
    }
    int major = 0;
    if (std::sscanf(entry.c_str(),
                    "<vistrel_instance><version_major>%d</version_major><livelink_port>%d", &major,
                    &port) != 2 ||
        entry != InstanceEntry(major, port)) {
        return false;
    }
    processId = static_cast<std::uint32_t>(id);
    return true;
}

}  // namespace

fs::path InstanceFolder()
{
    const char* folder = std::getenv(kFolderVariable);
    if (folder != nullptr && *folder != '\0') return fs::u8path(folder);
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    return (error ? fs::path(".") : temp) / "vistrel_renderer_instances";
}

std::string InstanceEntry(int majorVersion, int port)
{
    return "<vistrel_instance><version_major>" + std::to_string(majorVersion) +
           "</version_major><livelink_port>" + std::to_string(port) +
           "</livelink_port></vistrel_instance>";
}

bool AnnounceInstance(const fs::path& folder, int majorVersion, int port)
{
    std::error_code error;
    fs::create_directories(folder, error);
    const fs::path file = InstanceFile(folder, port);
    fs::path part = file;
    part += ".part" + std::to_string(CurrentProcessId());
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << "pid " << CurrentProcessId() << '\n' << InstanceEntry(majorVersion, port) << '\n';
        if (!out) return false;
    }
    // A file left by a renderer that died on this port is replaced.
    fs::remove(file, error);
    fs::rename(part, file, error);
    if (error) fs::remove(part, error);
    return !error;
}

void WithdrawInstance(const fs::path& folder, int port)
{
    std::error_code error;
    fs::remove(InstanceFile(folder, port), error);
}

std::string ListInstances(const fs::path& folder)
{
    std::map<int, std::string> entries;  // by port
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& file = it->path();
        if (file.extension() != kFileSuffix) continue;
        std::uint32_t processId = 0;
        int port = 0;
        std::string entry;
        if (ReadAnnouncement(file, processId, port, entry) && IsProcessRunning(processId)) {
            entries[port] = entry;
        }
    }
    std::string text = "<vistrel_instances>\n";
    for (const auto& item : entries) text += item.second + '\n';
    return text + "</vistrel_instances>\n";
}

#ifdef _WIN32
std::uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

bool IsProcessRunning(std::uint32_t processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}
#else
std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }

namespace {

// Whether the process has ended and waits only for its parent to collect it (a zombie), which
// kill still finds. Linux gives the state in /proc/<id>/stat, "<id> (<name>) <state> ...",
// whose name may hold blanks and parentheses, so the state follows the last ")". Without /proc
// nothing is known, and the process counts as running.
bool IsEndedUncollected(pid_t processId)
{
    std::ifstream in("/proc/" + std::to_string(processId) + "/stat", std::ios::binary);
    std::string stat;
    if (!std::getline(in, stat)) return false;
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 2 >= stat.size()) return false;
    const char state = stat[nameEnd + 2];
    return state == 'Z' || state == 'X';
}

}  // namespace

bool IsProcessRunning(std::uint32_t processId)
{
    if (processId == 0 || processId > 0x7FFFFFFFu) return false;  // 0 and -1 mean groups
    const pid_t pid = static_cast<pid_t>(processId);
    return (kill(pid, 0) == 0 || errno == EPERM) && !IsEndedUncollected(pid);
}
#endif
