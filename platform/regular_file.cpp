#include "platform/regular_file.h"

#ifdef _WIN32
#include <io.h>
#endif

#include "platform/win32.h"
#include "platform/win32_wide.h"

FILE* OpenRegularFile(const char16_t* path, const char16_t* mode) {
    FILE* file = _wfopen(Win32Wide(path), Win32Wide(mode));
    if (file == nullptr) return nullptr;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}
