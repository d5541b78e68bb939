// Wide-path file opens of the POSIX build: paths are UTF-8 on disk, "\" separates folders as
// "/" does, and the mode letters keep their Windows meaning.
#include "platform/posix/win32_text.h"

#include "platform/native_path.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

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

bool IsDirectory(FILE* file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
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
    FILE* file = std::fopen(path.c_str(), posixMode.c_str());
    if (file != nullptr && IsDirectory(file)) {
        // Windows refuses to open a folder as a file; POSIX would open it for reading.
        std::fclose(file);
        errno = EACCES;
        return nullptr;
    }
    return file;
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
