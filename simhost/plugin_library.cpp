#include "simhost/plugin_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace sim {

PluginLibrary::~PluginLibrary() { Close(); }

#ifdef _WIN32

bool PluginLibrary::Open(const std::string& path, std::string& error) {
    Close();
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring widePath(length > 0 ? length : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &widePath[0], length);
    // LoadLibraryW wants backslashes; paths given with slashes are common on the command line.
    for (wchar_t& c : widePath)
        if (c == L'/') c = L'\\';
    HMODULE module = LoadLibraryW(widePath.c_str());
    if (!module) {
        error = "cannot load the plug-in library \"" + path + "\" (Windows error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    handle_ = reinterpret_cast<void*>(module);
    return true;
}

void* PluginLibrary::Find(const char* name) const {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void PluginLibrary::Close() {
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

#else

bool PluginLibrary::Open(const std::string& path, std::string& error) {
    Close();
    // A name without a slash would make dlopen search the system's library path instead of
    // loading the file the user named.
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = dlerror();
        error = "cannot load the plug-in library \"" + path + "\": " + (reason ? reason : "unknown error");
        return false;
    }
    return true;
}

void* PluginLibrary::Find(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

void PluginLibrary::Close() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
}

#endif

}  // namespace sim
