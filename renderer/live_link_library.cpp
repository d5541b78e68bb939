// The stand-in renderer's live-link library: its entry point, factory and instance lister.
// Everything the plug-in receives from it is owned here and ends with the factory.
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "link/live_link_interface.h"
#include "renderer/instance_directory.h"
#include "renderer/live_scene.h"

#ifdef _WIN32
#define VISTREL_LIVE_EXPORT extern "C" __declspec(dllexport)
#else
#define VISTREL_LIVE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// Lists the stand-in renderers announced in the instance folder, afresh at each call.
class StandInInstanceLister final : public InstanceLister {
public:
    const char* GetInstancesText() override
    {
        try {
            text_ = ListInstances(InstanceFolder());
        } catch (...) {
            return nullptr;  // nothing may escape into the host
        }
        open_ = true;
        return text_.c_str();
    }
    bool Reserved2() override { return false; }
    // Open from the first listing until Close.
    bool IsOpen() override { return open_; }
    void Close() override { open_ = false; }

private:
    std::string text_;
    bool open_ = false;
};

class StandInFactory final : public LiveLinkFactory {
public:
    trvScene_api* CreateSceneApi() override
    {
        try {
            scenes_.push_back(std::make_unique<LiveScene>());
            return scenes_.back().get();
        } catch (...) {
            return nullptr;
        }
    }

    InstanceLister* GetInstanceLister() override { return &lister_; }

private:
    // Every scene object made lives until the factory goes, as the plug-in never deletes one.
    std::vector<std::unique_ptr<LiveScene>> scenes_;
    StandInInstanceLister lister_;
};

}  // namespace

VISTREL_LIVE_EXPORT LiveLinkFactory* vistrel_live_initialize()
{
    return new (std::nothrow) StandInFactory;
}
