// The renderer's live-link library, as the plug-in calls it. The library lies outside the
// plug-in: the plug-in loads it at run time (link/live_link_loader.h), calls its entry point
// and reaches everything else through the two interfaces below. The order of their virtual
// operations is a binary contract with the library: never add, drop or move one.
#pragma once

#include "scene/scene_api.h"

// The list of running renderer instances. Owned by the library; the plug-in never deletes it
// (hence no public destructor).
class InstanceLister {
public:
    // Zero-terminated text of the renderer instances running at this moment, or null. Per
    // instance it holds "<vistrel_instance>", then "<version_major>" with a decimal major
    // version and "</version_major>", then "<livelink_port>" with a decimal port and
    // "</livelink_port>". The text stays valid until the next call.
    virtual const char* GetInstancesText() = 0;
    // Not called by the plug-in.
    virtual bool Reserved2() = 0;
    virtual bool IsOpen() = 0;
    // Called at the end of a connection attempt when IsOpen() answers true.
    virtual void Close() = 0;

protected:
    ~InstanceLister() = default;
};

// What the entry point answers. Destroyed by the plug-in just before it frees the library:
// DeletingDestructor(kDeleteFreesMemory), the one slot of the library's compiler for the virtual
// destructor (see scene/scene_api.h).
class LiveLinkFactory {
public:
    virtual void DeletingDestructor(unsigned int flags) = 0;
    // A new live scene object, or null. Owned by the library and ended when the library is
    // freed; the plug-in never deletes it. The plug-in calls SetId(1) on it, then Connect
    // ("127.0.0.1", port, n) until one answers true, writes the scene, and calls Disconnect()
    // last.
    virtual trvScene_api* CreateSceneApi() = 0;
    // The library's instance lister, or null; owned by the library.
    virtual InstanceLister* GetInstanceLister() = 0;

protected:
    ~LiveLinkFactory() = default;
};

// The library's entry point: no arguments, answers the factory or null.
#define VISTREL_LIVE_ENTRY_NAME "vistrel_live_initialize"
typedef LiveLinkFactory* (*LiveLinkInitializeFunction)();
