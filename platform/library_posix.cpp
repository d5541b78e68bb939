// The Windows dynamic-library functions over dlopen.
#include <dlfcn.h>

#include <string>

#include "platform/native_path.h"
#include "platform/win32.h"

HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    // dlopen("") would answer the main program; Windows loads nothing for an empty name.
    if (lpLibFileName == nullptr || *lpLibFileName == 0) return nullptr;
    std::string path;
    if (!NativePath(lpLibFileName, path)) return nullptr;
    return static_cast<HMODULE>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    if (hModule == nullptr || lpProcName == nullptr) return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(hModule, lpProcName));
}

BOOL FreeLibrary(HMODULE hLibModule)
{
    if (hLibModule == nullptr) return FALSE;
    return dlclose(hLibModule) == 0 ? TRUE : FALSE;
}
