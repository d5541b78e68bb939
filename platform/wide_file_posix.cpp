// Wide-path file opens of the POSIX build: paths are UTF-8 on disk, "\" separates folders as
// "/" does, and the mode letters keep their Windows meaning.
#include "platform/posix/win32_text.h"

#include "platform/native_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// The fopen mode for a Windows mode: the access letters, "+", "b" and "x" are kept; "t" (text,
// the same as binary here) and the Windows-only letters are dropped, and so is a ",ccs=..."
// tail. Answers false for a mode that is not ASCII or does not start with r, w or a.
bool ModeToPosix(const WCHAR* mode, std::string& out) {
    if (mode[0] != u'r' && mode[0] != u'w' && mode[0] != u'a') return false;
    for (const WCHAR* p = mode; *p != 0 && *p != u','; ++p) {
        if (*p >= 0x80) return false;
        const char c = static_cast<char>(*p);
        if (c == 'r' || c == 'w' || c == 'a' || c == '+' || c == 'b' || c == 'x') out += c;
    }
    return true;
}

bool IsDirectory(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

// The open(2) flags of a POSIX fopen mode.
int OpenFlags(const std::string& mode) {
    const bool update = mode.find('+') != std::string::npos;
    int flags = 0;
    switch (mode[0]) {
        case 'r': flags = update ? O_RDWR : O_RDONLY; break;
        case 'w': flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
        default: flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    }
    if (mode.find('x') != std::string::npos) flags |= O_EXCL;
    return flags;
}

// Opens without waiting: O_NONBLOCK keeps the open of a FIFO from blocking until the other
// side comes, and is dropped again once the file is open.
int OpenWithoutWaiting(const std::string& path, const std::string& mode) {
    const int fd = open(path.c_str(), OpenFlags(mode) | O_NONBLOCK, 0666);
    if (fd < 0) return -1;
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 || IsDirectory(fd)) {
        // Windows refuses to open a folder as a file; POSIX would open it for reading.
        const int error = IsDirectory(fd) ? EACCES : errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

FILE* _wfopen(const WCHAR* filename, const WCHAR* mode) {
    std::string path;
    std::string posixMode;
    if (filename == nullptr || mode == nullptr || !NativePath(filename, path) ||
        !ModeToPosix(mode, posixMode)) {
        errno = EINVAL;
        return nullptr;
    }
    const int fd = OpenWithoutWaiting(path, posixMode);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, posixMode.c_str());
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        errno = error;
    }
    return file;
}

int _fileno(FILE* stream) { return stream != nullptr ? fileno(stream) : -1; }

intptr_t _get_osfhandle(int fd) { return fd >= 0 ? static_cast<intptr_t>(fd) : -1; }

DWORD GetFileType(HANDLE hFile) {
    const intptr_t fd = reinterpret_cast<intptr_t>(hFile);
    struct stat info;
    if (fd < 0 || fd > INT32_MAX || fstat(static_cast<int>(fd), &info) != 0) {
        return FILE_TYPE_UNKNOWN;
    }
    if (S_ISREG(info.st_mode)) return FILE_TYPE_DISK;
    if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
    return FILE_TYPE_UNKNOWN;
}

errno_t _wfopen_s(FILE** pFile, const WCHAR* filename, const WCHAR* mode) {
    if (pFile == nullptr) return EINVAL;
    *pFile = _wfopen(filename, mode);
    return *pFile != nullptr ? 0 : errno;
}

int _wremove(const WCHAR* filename) {
    std::string path;
    if (filename == nullptr || !NativePath(filename, path)) {
        errno = EINVAL;
        return -1;
    }
    return std::remove(path.c_str());
}
