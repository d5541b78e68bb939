#include "renderer/spool_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifdef _WIN32
// tmpfile() of the Windows C runtime makes its file in the root of the current drive, which a
// user may not write to: make it in the user's temporary folder instead. "D" deletes it on
// close, "T" keeps it in memory where it can.
FILE* OpenSpoolFile()
{
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"vsl", 0, name) == 0) {
        return nullptr;
    }
    FILE* file = _wfopen(name, L"w+bTD");
    if (file == nullptr) DeleteFileW(name);
    return file;
}
#else
FILE* OpenSpoolFile() { return std::tmpfile(); }
#endif
