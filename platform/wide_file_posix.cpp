// Wide-path file opens of the POSIX build: paths are UTF-8 on disk, "\" separates folders as
// "/" does, and the mode letters keep their Windows meaning.
#include "platform/posix/win32_text.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The UTF-8 form of a wide path with "\" turned into "/". A lone surrogate has no UTF-8 form:
// the answer is false rather than a name of some other file.
bool PathToUtf8(const WCHAR* path, std::string& out) {
    for (const WCHAR* p = path; *p != 0; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
        AppendUtf8(out, c == u'\\' ? U'/' : c);
    }
    return true;
}

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
    if (filename == nullptr || mode == nullptr || !PathToUtf8(filename, path) ||
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
