#include "link/live_link_loader.h"

#include <string>

#include "link/registry_value.h"
#include "platform/win32_wide.h"

namespace {

// The renderer ships its live-link library under these names on every system, Windows included.
const char16_t* const kLibraryNames[] = {u"trvvistrellive32.so", u"trvvistrellive64.so"};

// The process-wide holder; null while there is none. Deliberately not destroyed at exit:
// freeing a library while the plug-in itself is being unloaded is not allowed on Windows, and
// shut-down leaves the library loaded.
LiveLinkLibrary* liveLinkLibrary = nullptr;

// The renderer's folder from the registry, or empty.
std::u16string FindRendererFolder()
{
    std::u16string folder;
    {
        const RegistryKey user(HKEY_CURRENT_USER, kTarvexKey, kRegistryRead32);
        ReadRegistryText(user, u"VistrelActivePath", 512, folder);
    }
    if (!folder.empty()) return folder;

    std::u16string version;
    {
        const RegistryKey machine(HKEY_LOCAL_MACHINE, kTarvexKey, kRegistryRead32);
        if (!ReadRegistryText(machine, u"VistrelVersion", 64, version)) return folder;
    }
    const RegistryKey versionKey(HKEY_LOCAL_MACHINE, kTarvexKey + (u'\\' + version),
                                 kRegistryRead32);
    ReadRegistryText(versionKey, u"BinFolder", 520, folder);
    return folder;
}

// The first library that loads: from the folder, then by bare name.
HMODULE LoadFirstLibrary(const std::u16string& folder)
{
    if (!folder.empty()) {
        for (const char16_t* name : kLibraryNames) {
            const std::u16string path = folder + u'\\' + name;
            if (HMODULE module = LoadLibraryW(Win32Wide(path.c_str()))) return module;
        }
    }
    for (const char16_t* name : kLibraryNames) {
        if (HMODULE module = LoadLibraryW(Win32Wide(name))) return module;
    }
    return nullptr;
}

LiveLinkInitializeFunction EntryPoint(HMODULE module)
{
    const FARPROC address = GetProcAddress(module, VISTREL_LIVE_ENTRY_NAME);
    // Through a plain function pointer type: casts between unrelated function types warn.
    return reinterpret_cast<LiveLinkInitializeFunction>(reinterpret_cast<void (*)()>(address));
}

// The holder's factory, loading the library when there is no holder yet.
LiveLinkFactory* Factory()
{
    if (liveLinkLibrary == nullptr) {
        liveLinkLibrary = new LiveLinkLibrary;
        LoadLiveLinkLibrary(*liveLinkLibrary);
    }
    return liveLinkLibrary->factory;
}

}  // namespace

LiveLinkLibrary::~LiveLinkLibrary()
{
    if (factory != nullptr) factory->DeletingDestructor(kDeleteFreesMemory);
    if (module != nullptr) FreeLibrary(module);
}

bool LoadLiveLinkLibrary(LiveLinkLibrary& holder)
{
    if (holder.factory != nullptr) return false;
    // A library kept from an earlier load without a factory is let go before it is replaced,
    // so that its reference is not lost.
    if (holder.module != nullptr) {
        FreeLibrary(holder.module);
        holder.module = nullptr;
    }
    std::u16string folder = FindRendererFolder();
    holder.module = LoadFirstLibrary(folder);
    if (holder.module == nullptr) return false;
    if (const LiveLinkInitializeFunction initialize = EntryPoint(holder.module)) {
        holder.factory = initialize();
    }
    return holder.factory != nullptr;
}

trvScene_api* CreateLiveSceneApi()
{
    LiveLinkFactory* factory = Factory();
    return factory != nullptr ? factory->CreateSceneApi() : nullptr;
}

InstanceLister* CreateInstanceLister()
{
    LiveLinkFactory* factory = Factory();
    return factory != nullptr ? factory->GetInstanceLister() : nullptr;
}

void UnloadLiveLinkLibrary()
{
    delete liveLinkLibrary;
    liveLinkLibrary = nullptr;
}
