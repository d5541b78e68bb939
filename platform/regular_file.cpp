#include "platform/regular_file.h"

#ifdef _WIN32
#include <io.h>
#endif

#include "platform/win32.h"
#include "platform/win32_wide.h"

bool IsRegularFile(FILE* file) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return GetFileType(handle) == FILE_TYPE_DISK;
}

HeldFile OpenRegularFile(const char16_t* path, const char16_t* mode) {
    HeldFile file(_wfopen(Win32Wide(path), Win32Wide(mode)));
    if (file != nullptr && !IsRegularFile(file.get())) file.reset();
    return file;
}
