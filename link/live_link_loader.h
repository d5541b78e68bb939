// Loading the renderer's live-link library (link/live_link_interface.h) and handing out what
// its factory makes.
//
// The library is looked for in the renderer's folder from the registry: the current user's
// "SOFTWARE\Tarvex" value "VistrelActivePath", else the machine's "SOFTWARE\Tarvex" value
// "VistrelVersion" naming a key below it whose value "BinFolder" is the folder. From that folder
// "trvvistrellive32.so" and then "trvvistrellive64.so" are tried (the renderer's own file names,
// on Windows too), then the same two names through the system's own search for libraries.
//
// One process-wide holder keeps the loaded library. It is made on the first CreateLiveSceneApi
// or CreateInstanceLister, and the load is tried only then: after a failed load both answer null
// until UnloadLiveLinkLibrary drops the holder. Only the host's thread calls these.
#pragma once

#include "link/live_link_interface.h"
#include "platform/win32.h"

// The loaded library: its factory (null when the load failed) and its module (null when no
// library loaded). Owns both: dropping it destroys the factory and then frees the module.
struct LiveLinkLibrary {
    LiveLinkFactory* factory = nullptr;
    HMODULE module = nullptr;

    LiveLinkLibrary() = default;
    ~LiveLinkLibrary();
    LiveLinkLibrary(const LiveLinkLibrary&) = delete;
    LiveLinkLibrary& operator=(const LiveLinkLibrary&) = delete;
};

// Loads the library into holder and keeps its factory there. True when this call obtained a
// factory; false, doing nothing, when the holder has one already. A library without the entry
// point, or whose entry point answers null, stays loaded in the holder; a later load into the
// same holder frees it before it loads again.
bool LoadLiveLinkLibrary(LiveLinkLibrary& holder);

// A new live scene object from the factory, or null. Owned by the library.
trvScene_api* CreateLiveSceneApi();

// The factory's instance lister, or null. Owned by the library.
InstanceLister* CreateInstanceLister();

// Destroys the factory, frees the library and drops the holder; nothing without a holder.
void UnloadLiveLinkLibrary();
