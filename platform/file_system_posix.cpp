// The system's file functions of the POSIX build: what kind of file a handle is open on, and
// moving a file to another path or into another file's place. A handle is a file descriptor.
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

namespace {

// The descriptor behind a handle; -1 for a value no descriptor has.
int Descriptor(HANDLE handle) {
    const intptr_t fd = reinterpret_cast<intptr_t>(handle);
    return fd >= 0 && fd <= INT_MAX ? static_cast<int>(fd) : -1;
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

// Gives the file at path the mode of the file described by like, and its owner and group where
// the process may set them: else its group alone (a member of the group may), else neither.
// The owner goes first, as a change of owner clears the set-id bits of the mode.
bool TakePermissions(const std::string& path, const struct stat& like) {
    // Without either, the file stays the process's, with the mode.
    if (chown(path.c_str(), like.st_uid, like.st_gid) != 0)
        static_cast<void>(chown(path.c_str(), static_cast<uid_t>(-1), like.st_gid));
    return chmod(path.c_str(), like.st_mode & 07777) == 0;
}

DWORD Replace(LPCWSTR replaced, LPCWSTR replacement, DWORD flags) {
    std::string target;
    std::string source;
    if (replaced == nullptr || replacement == nullptr ||
        (flags & ~REPLACEFILE_IGNORE_MERGE_ERRORS) != 0)
        return ERROR_INVALID_PARAMETER;
    if (!NativePath(replaced, target) || !NativePath(replacement, source)) return ERROR_INVALID_NAME;
    struct stat info;
    if (stat(target.c_str(), &info) != 0) return MoveError(errno);
    if (!MayReplace(target)) return ERROR_ACCESS_DENIED;
    if (!TakePermissions(source, info)) return MoveError(errno);
    return std::rename(source.c_str(), target.c_str()) == 0 ? ERROR_SUCCESS : MoveError(errno);
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

BOOL ReplaceFileW(LPCWSTR lpReplacedFileName, LPCWSTR lpReplacementFileName,
                  LPCWSTR lpBackupFileName, DWORD dwReplaceFlags, LPVOID lpExclude,
                  LPVOID lpReserved) {
    DWORD error = ERROR_INVALID_PARAMETER;
    try {
        if (lpBackupFileName == nullptr && lpExclude == nullptr && lpReserved == nullptr)
            error = Replace(lpReplacedFileName, lpReplacementFileName, dwReplaceFlags);
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    }
    if (error == ERROR_SUCCESS) return TRUE;
    SetLastError(error);
    return FALSE;
}
