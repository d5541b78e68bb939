#include "platform/file_replacement.h"

#include <cerrno>
#include <string>

#include "platform/regular_file.h"
#include "platform/symbolic_link.h"
#include "platform/utf8.h"
#include "platform/win32.h"
#include "platform/win32_wide.h"

namespace {

// Links followed before a chain counts as a loop (the bound Linux sets on its own lookups).
constexpr int kLinksFollowed = 40;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// The folder part of path, its last separator included; empty for a name alone (npos + 1 is 0).
std::u16string FolderOf(const std::u16string& path) {
    return path.substr(0, path.find_last_of(u"\\/") + 1);
}

// What a link at link that holds held leads to: held itself when absolute ("/...", "\...",
// "C:..."), else held in the link's folder.
std::u16string LinkDestination(const std::u16string& link, const std::u16string& held) {
    const bool absolute = IsSeparator(held[0]) || (held.size() > 1 && held[1] == u':');
    return absolute ? held : FolderOf(link) + held;
}

// The file beside target, as CreateReplacementFile makes it; null with errno set when none
// could be made.
FILE* CreateFileBeside(const std::u16string& target, std::u16string& temporaryPath) {
    const std::u16string process = Utf8ToUtf16(std::to_string(GetCurrentProcessId()));
    const std::u16string stem = FolderOf(target) + u"~vistrel" + process + u'-';
    // Every name of this process's is tried before giving up, however many are left over.
    unsigned n = 0;
    do {
        std::u16string candidate = stem + Utf8ToUtf16(std::to_string(n)) + u".tmp";
        const int fd = _wopen(Win32Wide(candidate.c_str()),
                              _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return nullptr;
        FILE* file = _fdopen(fd, "wb");
        if (file == nullptr) {
            const int error = errno;
            _close(fd);
            _wremove(Win32Wide(candidate.c_str()));
            errno = error;
            return nullptr;
        }
        temporaryPath.swap(candidate);
        return file;
    } while (++n != 0);
    return nullptr;
}

// Whether a file could not be made because of the folder it goes to: one the user may not write,
// or a path too long (on Windows told as a path not found).
bool FolderTakesNoNewFile(int error) {
    return error == EACCES || error == EPERM || error == ENAMETOOLONG || error == ENOENT;
}

// The full path of path for ReplaceFileW, whose implementation in wine answers ERROR_DIRECTORY
// for a relative one. POSIX keeps the path as given: the system resolves it from the current
// folder, also where the full path would be longer than any path the system takes.
std::u16string FullPath(const std::u16string& path) {
#ifdef _WIN32
    std::u16string full(MAX_PATH, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFullPathNameW(Win32Wide(path.c_str()),
                                              static_cast<DWORD>(full.size()),
                                              Win32Wide(&full[0]), nullptr);
        if (length == 0) break;
        if (length < full.size()) return full.substr(0, length);
        full.assign(length, u'\0');  // the size it needs, terminating zero included
    }
#endif
    return path;
}

}  // namespace

bool ReplacementTarget(const std::u16string& path, std::u16string& target) {
    std::u16string resolved = path;
    for (int followed = 0;; ++followed) {
        std::u16string held;
        const LinkAtPath found = ReadSymbolicLink(resolved, held);
        if (found == LinkAtPath::None) break;
        if (found == LinkAtPath::Unreadable || held.empty() || followed == kLinksFollowed)
            return false;
        resolved = LinkDestination(resolved, held);
    }
    // Opened for update, which a file the user may not write refuses; nothing is written.
    errno = 0;
    const HeldFile existing(_wfopen(Win32Wide(resolved.c_str()), Win32Wide(u"r+b")));
    if (existing == nullptr ? errno != ENOENT : !IsRegularFile(existing.get())) return false;
    target.swap(resolved);
    return true;
}

FILE* CreateReplacementFile(const std::u16string& target, std::u16string& writtenPath,
                            bool& inPlace) {
    FILE* file = CreateFileBeside(target, writtenPath);
    if (file != nullptr || !FolderTakesNoNewFile(errno)) return file;
    std::u16string path = target;  // copied first: nothing may fail once the file is open
    file = OpenRegularFile(path.c_str(), u"wb+").release();
    if (file != nullptr) {
        writtenPath.swap(path);
        inPlace = true;
    }
    return file;
}

bool FlushToDisk(FILE* file) {
    return std::fflush(file) == 0 &&
           FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

bool PutInPlace(const std::u16string& temporary, const std::u16string& target) {
    if (ReplaceFileW(Win32Wide(FullPath(target).c_str()), Win32Wide(FullPath(temporary).c_str()),
                     nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    // No file to replace, or ReplaceFileW took it away and then failed to move the new one:
    // either way the name is free and the new file still has its own.
    const DWORD error = GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) &&
           MoveFileExW(Win32Wide(temporary.c_str()), Win32Wide(target.c_str()),
                       MOVEFILE_REPLACE_EXISTING);
}
