// The plug-in library as the host holds it: loaded by path, its exports found by name, unloaded
// when the holder goes. The only place of the simulated host that knows whether it runs on
// Windows (LoadLibraryW) or elsewhere (dlopen).
#pragma once

#include <string>

namespace sim {

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library at path (UTF-8). On failure answers false and sets error to a message
    // that names the path and the system's reason.
    bool Open(const std::string& path, std::string& error);
    // The address of the export name, or null when the library lacks it or none is loaded.
    void* Find(const char* name) const;
    // Unloads the library; nothing happens when none is loaded.
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;
};

}  // namespace sim
