// The system's file functions of the POSIX build: what kind of file a handle is open on, the
// path it is open on, and moving a file to another path. A handle is a file descriptor.
#include "platform/posix/win32_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <new>
#include <string>

#include "platform/native_path.h"
#include "platform/utf8.h"

namespace {

// The descriptor behind a handle; -1 for a value no descriptor has.
int Descriptor(HANDLE handle) {
    const intptr_t fd = reinterpret_cast<intptr_t>(handle);
    return fd >= 0 && fd <= INT_MAX ? static_cast<int>(fd) : -1;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The absolute path of the file open on fd, links followed, as the system keeps it; or the
// Windows error that says why there is none that a wide path could name again.
DWORD PathOf(int fd, std::u16string& path) {
    struct stat opened;
    if (fd < 0 || fstat(fd, &opened) != 0) return ERROR_INVALID_HANDLE;
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink(link, &target[0], target.size());
    if (length < 0) return errno == ENOENT ? ERROR_NOT_SUPPORTED : ERROR_PATH_NOT_FOUND;
    if (static_cast<size_t>(length) >= target.size()) return ERROR_FILENAME_EXCED_RANGE;
    target.resize(static_cast<size_t>(length));
    // A pipe's "pipe:[...]", a removed file's "... (deleted)", a file moved away since, a name
    // that is not UTF-8 or holds a "\" (a folder separator in a wide path): no path to give.
    path = Utf8ToUtf16(target);
    struct stat named;
    if (target[0] != '/' || target.find('\\') != std::string::npos ||
        Utf16ToUtf8(path) != target || stat(target.c_str(), &named) != 0 ||
        !SameFile(opened, named))
        return ERROR_PATH_NOT_FOUND;
    return ERROR_SUCCESS;
}

// The Windows error of a rename that failed with errno error.
DWORD MoveError(int error) {
    switch (error) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EXDEV: return ERROR_NOT_SAME_DEVICE;
        case ENOSPC: case EDQUOT: return ERROR_DISK_FULL;
        case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_ACCESS_DENIED;  // EACCES, EPERM, EROFS, EBUSY, EISDIR, ...
    }
}

// Windows replaces neither a folder nor a read-only file, where rename would replace an empty
// folder and any file in a folder the caller may write. A file is read-only when the caller
// may not write it, or when no one may: the read-only attribute binds administrators too.
bool MayReplace(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return true;  // nothing there, or rename tells
    if (S_ISDIR(info.st_mode)) return false;
    return !S_ISREG(info.st_mode) || ((info.st_mode & 0222) != 0 &&
                                      faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0);
}

DWORD Move(LPCWSTR from, LPCWSTR to, DWORD flags) {
    std::string source;
    std::string destination;
    if (flags != MOVEFILE_REPLACE_EXISTING) return ERROR_NOT_SUPPORTED;
    if (from == nullptr || to == nullptr) return ERROR_INVALID_PARAMETER;
    if (!NativePath(from, source) || !NativePath(to, destination)) return ERROR_INVALID_NAME;
    if (!MayReplace(destination)) return ERROR_ACCESS_DENIED;
    return std::rename(source.c_str(), destination.c_str()) == 0 ? ERROR_SUCCESS
                                                                  : MoveError(errno);
}

}  // namespace

DWORD GetFileType(HANDLE hFile) {
    struct stat info;
    const int fd = Descriptor(hFile);
    if (fd < 0 || fstat(fd, &info) != 0) return FILE_TYPE_UNKNOWN;
    if (S_ISREG(info.st_mode)) return FILE_TYPE_DISK;
    if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
    return FILE_TYPE_UNKNOWN;
}

DWORD GetFinalPathNameByHandleW(HANDLE hFile, LPWSTR lpszFilePath, DWORD cchFilePath,
                                DWORD dwFlags) {
    std::u16string path;
    DWORD error = ERROR_INVALID_PARAMETER;
    try {
        if (dwFlags == (FILE_NAME_NORMALIZED | VOLUME_NAME_DOS))
            error = PathOf(Descriptor(hFile), path);
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    }
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return 0;
    }
    if (path.size() >= cchFilePath) return static_cast<DWORD>(path.size() + 1);
    path.copy(lpszFilePath, path.size());
    lpszFilePath[path.size()] = 0;
    return static_cast<DWORD>(path.size());
}

BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) {
    DWORD error = ERROR_NOT_ENOUGH_MEMORY;
    try {
        error = Move(lpExistingFileName, lpNewFileName, dwFlags);
    } catch (const std::bad_alloc&) {
    }
    if (error == ERROR_SUCCESS) return TRUE;
    SetLastError(error);
    return FALSE;
}
