// The C runtime's wide-path file functions of the POSIX build: paths are UTF-8 on disk, "\"
// separates folders as "/" does, and the mode letters and open flags keep their Windows meaning.
#include "platform/posix/win32_file.h"

#include "platform/native_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <new>
#include <string>
#include <type_traits>

namespace {

// The native path of a wide one; false with errno set when there is none: EINVAL for a null
// path or one with no UTF-8 form, ENOMEM when memory for it runs out.
bool ToNative(const WCHAR* filename, std::string& path) {
    try {
        if (filename != nullptr && NativePath(filename, path)) return true;
        errno = EINVAL;
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
    }
    return false;
}

// The fopen mode for a Windows mode: the access letters, "+", "b" and "x" are kept; "t" (text,
// the same as binary here) and the Windows-only letters are dropped, and so is a ",ccs=..."
// tail. False with errno EINVAL for a mode that is not ASCII or does not start with r, w or a.
template <typename Char>
bool ToPosixMode(const Char* mode, std::string& out) {
    if (mode == nullptr || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) {
        errno = EINVAL;
        return false;
    }
    for (const Char* p = mode; *p != 0 && *p != ','; ++p) {
        if (static_cast<std::make_unsigned_t<Char>>(*p) >= 0x80) {
            errno = EINVAL;
            return false;
        }
        const char c = static_cast<char>(*p);
        // The letters kept are no more than a short string holds without allocating.
        if ((c == 'r' || c == 'w' || c == 'a' || c == '+' || c == 'b' || c == 'x') &&
            out.find(c) == std::string::npos)
            out += c;
    }
    return true;
}

// The open(2) flags of a POSIX fopen mode.
int ModeFlags(const std::string& mode) {
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

// The open(2) flags of _wopen's flags; false for a flag or an access it does not know.
bool OpenFlags(int oflag, int& flags) {
    const int known = _O_WRONLY | _O_RDWR | _O_APPEND | _O_NOINHERIT | _O_CREAT | _O_TRUNC |
                      _O_EXCL | _O_TEXT | _O_BINARY;
    const int access = oflag & (_O_WRONLY | _O_RDWR);
    if ((oflag & ~known) != 0 || access == (_O_WRONLY | _O_RDWR)) return false;
    flags = access == _O_WRONLY ? O_WRONLY : access == _O_RDWR ? O_RDWR : O_RDONLY;
    if (oflag & _O_APPEND) flags |= O_APPEND;
    if (oflag & _O_NOINHERIT) flags |= O_CLOEXEC;
    if (oflag & _O_CREAT) flags |= O_CREAT;
    if (oflag & _O_TRUNC) flags |= O_TRUNC;
    if (oflag & _O_EXCL) flags |= O_EXCL;
    return true;
}

bool IsDirectory(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

// Opens without waiting: O_NONBLOCK keeps the open of a FIFO from blocking until the other
// side comes, and is dropped again once the file is open.
int OpenWithoutWaiting(const std::string& path, int flags, mode_t permission) {
    const int fd = open(path.c_str(), flags | O_NONBLOCK, permission);
    if (fd < 0) return -1;
    const int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0 || IsDirectory(fd)) {
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
    if (!ToNative(filename, path) || !ToPosixMode(mode, posixMode)) return nullptr;
    const int fd = OpenWithoutWaiting(path, ModeFlags(posixMode), 0666);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, posixMode.c_str());
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        errno = error;
    }
    return file;
}

int _wopen(const WCHAR* filename, int oflag, ...) {
    int permission = _S_IREAD | _S_IWRITE;
    if (oflag & _O_CREAT) {
        va_list arguments;
        va_start(arguments, oflag);
        permission = va_arg(arguments, int);
        va_end(arguments);
    }
    int flags = 0;
    std::string path;
    if (!OpenFlags(oflag, flags)) {
        errno = EINVAL;
        return -1;
    }
    if (!ToNative(filename, path)) return -1;
    return OpenWithoutWaiting(path, flags, (permission & _S_IWRITE) != 0 ? 0666 : 0444);
}

FILE* _fdopen(int fd, const char* mode) {
    std::string posixMode;
    return ToPosixMode(mode, posixMode) ? fdopen(fd, posixMode.c_str()) : nullptr;
}

int _close(int fd) { return close(fd); }

int _fileno(FILE* stream) { return stream != nullptr ? fileno(stream) : -1; }

intptr_t _get_osfhandle(int fd) { return fd >= 0 ? static_cast<intptr_t>(fd) : -1; }

int _wremove(const WCHAR* filename) {
    std::string path;
    return ToNative(filename, path) ? std::remove(path.c_str()) : -1;
}
