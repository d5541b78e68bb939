// The scripted live-link library of scripted_live_link.h: a factory, a lister answering the
// scripted texts and scene objects whose Connect answers as scripted and writes nothing.
#include <cstring>
#include <new>

#include "link/live_link_interface.h"
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

// A scene object that takes every operation and writes nothing.
class ScriptedScene final : public trvScene_api {
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

    void Reserved1() override {}
    bool Render() override { return true; }
    void Transform(const double*, bool) override {}
    void Scale(const double*, const double*, const double*) override {}
    void Rotate(const double*, const double*, const double*) override {}
    void Translate(const double*, const double*, const double*) override {}
    void Motion(const double*, float) override {}
    bool BeginGroup(const char*, bool) override { return true; }
    void EndGroup() override {}
    bool BeginFrame(int) override { return true; }
    void EndFrame() override {}
    bool BeginMatrixDefinition(const char*) override { return true; }
    void EndMatrixDefinition() override {}
    std::uint32_t Reserved17(std::uint32_t) override { return 0; }
    bool BeginOptions() override { return true; }
    void EndOptions() override {}
    bool BeginCamera(const char*) override { return true; }
    void EndCamera() override {}
    bool ModifyCamera(const char*) override { return true; }
    bool BeginImage() override { return true; }
    void EndImage() override {}
    bool BeginOutput(const char*, const char*, const char*) override { return true; }
    void EndOutput() override {}
    bool BeginObject(const char*, bool) override { return true; }
    void EndObject() override {}
    void SetObjectFlag(std::uint32_t, bool) override {}
    std::uint32_t Reserved30(std::uint32_t) override { return 0; }
    bool ModifyObject(const char*) override { return true; }
    void Reserved32(std::uint32_t, std::uint32_t) override {}
    bool BeginLight(const char*, std::uint32_t) override { return true; }
    bool ModifyLight(const char*) override { return true; }
    void EndLight() override {}
    void SetGlobalPhotons(int) override {}
    void SetCausticPhotons(int) override {}
    void SetVolumePhotons(int) override {}
    bool BeginGeometryDefinition(const char*, const char*) override { return true; }
    bool BeginGeometry(const char*) override { return true; }
    void EndGeometry() override {}
    std::uint32_t Reserved42() override { return 0; }
    bool BeginAccel(const char*) override { return true; }
    void EndAccel() override {}
    bool Reserved45(std::uint32_t) override { return false; }
    void Reserved46() override {}
    bool PlaceInstance(const char*) override { return true; }
    bool BeginAnimation(const char*, const char*) override { return true; }
    void EndAnimation() override {}
    bool BeginMaterial(const char*, bool) override { return true; }
    bool UseMaterial(const char*, std::uint32_t) override { return true; }
    void EndMaterial() override {}
    void BindShader(int, ShaderBuffer*) override {}
    bool ModifyMaterial(const char*) override { return true; }
    bool BeginShader(const char*, const char*) override { return true; }
    void EndShader(std::uint32_t) override {}
    bool Reserved57(std::uint32_t) override { return false; }
    ShaderBuffer* CurrentShaderBuffer() override { return nullptr; }
    void PushShaderBuffer() override {}
    void PopShaderBuffer() override {}
    bool BeginLoad(const char*) override { return true; }
    void EndLoad() override {}
    void SetAttribute(const char*, const char*) override {}
    void WriteRaw(const char*, ...) override {}
    std::uint32_t SetOutputMode(std::uint32_t, std::uint32_t) override { return 0; }
    void Reserved66(std::uint32_t) override {}
    void ReportProgress(const char*, float) override {}
    void SetIcon(const void*, int) override {}
    void SetBinaryValue(const char*, const void*, int) override {}
    void SetFlags(std::uint32_t) override {}
    bool SetParameter(const char*, SceneValueType, const void*) override { return true; }
    bool SetShaderParameter(const char*, ShaderBuffer*) override { return true; }
    void AddArrayElement(SceneValueType, const void*) override {}
    std::uint32_t Reserved75() override { return 0; }
    bool BeginArray(const char*) override { return true; }
    void EndArray() override {}
    std::uint32_t Reserved78(std::uint32_t) override { return 0; }
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
