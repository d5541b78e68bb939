#include "platform/file_replacement.h"

#include <cerrno>

#include "platform/regular_file.h"
#include "platform/win32.h"
#include "platform/win32_wide.h"

namespace {

// Temporary names tried before giving up: files left over by exports that never ended.
constexpr int kTemporaryNames = 100;

// The final path of the file open on handle, asked once more when it did not fit the buffer.
bool FinalPath(HANDLE handle, std::u16string& path) {
    std::u16string buffer(MAX_PATH, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(handle, Win32Wide(&buffer[0]),
                                                       static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return false;
        if (length < buffer.size()) {
            buffer.resize(length);
            path.swap(buffer);
            return true;
        }
        buffer.assign(length, u'\0');  // the size it needs, terminating zero included
    }
    return false;
}

std::u16string TemporaryName(const std::u16string& target, int n) {
    const std::string digits = std::to_string(n);
    return target + u'.' + std::u16string(digits.begin(), digits.end()) + u".tmp";
}

}  // namespace

bool ReplacementTarget(const std::u16string& path, std::u16string& target) {
    // Opened for update, which a file the user may not write refuses; nothing is written.
    errno = 0;
    const HeldFile existing(_wfopen(Win32Wide(path.c_str()), Win32Wide(u"r+b")));
    if (existing == nullptr) {
        if (errno != ENOENT) return false;
        target = path;
        return true;
    }
    return IsRegularFile(existing.get()) &&
           FinalPath(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(existing.get()))), target);
}

FILE* CreateFileBeside(const std::u16string& target, std::u16string& temporaryPath) {
    for (int n = 0; n < kTemporaryNames; ++n) {
        std::u16string candidate = TemporaryName(target, n);
        const int fd = _wopen(Win32Wide(candidate.c_str()),
                              _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return nullptr;
        FILE* file = _fdopen(fd, "wb");
        if (file == nullptr) {
            _close(fd);
            _wremove(Win32Wide(candidate.c_str()));
            return nullptr;
        }
        temporaryPath.swap(candidate);
        return file;
    }
    return nullptr;
}
