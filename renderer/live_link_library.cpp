// The stand-in renderer's live-link library: its entry point and factory. Everything the plug-in
// receives from it is owned here and ends with the factory. The Windows build hands out objects
// laid out as the renderer's compiler lays them out (renderer/tabled_objects.h).
#include <new>

#include "link/live_link_interface.h"
#include "renderer/live_scene.h"
#include "renderer/stand_in_objects.h"

#ifdef _WIN32
#include "renderer/tabled_objects.h"
#define VISTREL_LIVE_EXPORT extern "C" __declspec(dllexport)
#else
#define VISTREL_LIVE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifndef _WIN32
namespace {

class StandInFactory final : public LiveLinkFactory {
public:
    void DeletingDestructor(unsigned int flags) override { DestroyImplementation(this, flags); }
    trvScene_api* CreateSceneApi() override { return scenes_.Add(); }
    InstanceLister* GetInstanceLister() override { return &lister_; }

private:
    SceneObjects<LiveScene> scenes_;
    StandInInstanceLister lister_;
};

}  // namespace
#endif

VISTREL_LIVE_EXPORT LiveLinkFactory* vistrel_live_initialize()
{
#ifdef _WIN32
    return NewTabledFactory();
#else
    return new (std::nothrow) StandInFactory;
#endif
}
