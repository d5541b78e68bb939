// The scripted live-link library of scripted_live_link.h: a factory, a lister answering the
// scripted texts and scene objects whose Connect answers as scripted and writes nothing.
#include <cstring>
#include <new>

#include "link/live_link_interface.h"
#include "renderer/live_link_tables.h"
#include "tests/scripted_live_link.h"

#ifdef _WIN32
#define SCRIPTED_EXPORT extern "C" __declspec(dllexport)
#else
#define SCRIPTED_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

ScriptedLiveLinkControl control;

bool Accepts(int port)
{
    for (int i = 0; i < control.acceptingCount && i < ScriptedLiveLinkControl::kMaxPorts; ++i) {
        if (control.acceptingPorts[i] == port) return true;
    }
    return false;
}

// Every operation of the scene interface, doing nothing and answering false, 0 or null.
template <typename Answer>
Answer Nothing()
{
    return Answer();
}
#define SCRIPTED_NO_OPERATION(place, answer, name, parameters) \
    answer name parameters override { return Nothing<answer>(); }
class SilentScene : public trvScene_api {
public:
    VISTREL_SCENE_OPERATIONS(SCRIPTED_NO_OPERATION)
};

// A scene object that takes every operation and writes nothing; Connect answers as scripted.
class ScriptedScene final : public SilentScene {
public:
    void DeletingDestructor(unsigned int flags) override { DestroyImplementation(this, flags); }
    bool Connect(const char* host, int port, int n) override
    {
        const bool loopback = host != nullptr && std::strcmp(host, "127.0.0.1") == 0;
        if (control.connectCount < ScriptedLiveLinkControl::kMaxConnects) {
            control.connects[control.connectCount] = {loopback, port, n, control.setIdCalls > 0,
                                                      control.textCalls};
        }
        ++control.connectCount;
        return loopback && Accepts(port);
    }
    bool Disconnect() override { return true; }
    void SetId(std::uint32_t id) override
    {
        ++control.setIdCalls;
        control.lastId = id;
    }
};

class ScriptedLister final : public InstanceLister {
public:
    const char* GetInstancesText() override
    {
        const int call = control.textCalls++;
        control.listerOpen = true;
        if (control.textCount <= 0) return nullptr;
        const int last = control.textCount < ScriptedLiveLinkControl::kMaxTexts
                             ? control.textCount - 1
                             : ScriptedLiveLinkControl::kMaxTexts - 1;
        return control.texts[call < last ? call : last];
    }
    bool Reserved2() override { return false; }
    bool IsOpen() override { return control.listerOpen; }
    void Close() override
    {
        ++control.closeCalls;
        control.listerOpen = false;
    }
};

class ScriptedFactory final : public LiveLinkFactory {
public:
    ~ScriptedFactory()
    {
        for (int i = 0; i < sceneCount_; ++i) delete scenes_[i];
    }

    void DeletingDestructor(unsigned int flags) override { DestroyImplementation(this, flags); }

    trvScene_api* CreateSceneApi() override
    {
        if (!control.withScene || sceneCount_ == kMaxScenes) return nullptr;
        ++control.scenesCreated;
        scenes_[sceneCount_] = new ScriptedScene;
        return scenes_[sceneCount_++];
    }

    InstanceLister* GetInstanceLister() override
    {
        ++control.listerRequests;
        return control.withLister ? &lister_ : nullptr;
    }

private:
    static constexpr int kMaxScenes = 64;
    ScriptedScene* scenes_[kMaxScenes] = {};
    int sceneCount_ = 0;
    ScriptedLister lister_;
};

}  // namespace

SCRIPTED_EXPORT LiveLinkFactory* vistrel_live_initialize()
{
    return new (std::nothrow) ScriptedFactory;
}

SCRIPTED_EXPORT ScriptedLiveLinkControl* scripted_live_link_control() { return &control; }
