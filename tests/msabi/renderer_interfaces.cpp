// The renderer's live-link classes as the renderer's maker declares them for Microsoft's
// compiler: a plain virtual destructor first, then the operations in their documented order with
// their own parameter types. Written from the renderer's documentation, independently of the
// plug-in's headers, and including nothing, so that clang lays them out for Microsoft's target
// without any Windows header (check_vtable_layouts.cmake).
struct ShaderBuffer;
enum class SceneValueType : unsigned int;
class InstanceLister;

class trvScene_api {
public:
    virtual ~trvScene_api() {}
    virtual void Reserved1() = 0;
    virtual bool Render() = 0;
    virtual bool Connect(const char* host, int port, int n) { return false; }
    virtual bool Disconnect() { return false; }
    virtual bool Reserved5(unsigned int a, unsigned int b, unsigned int c) { return false; }
    virtual void Transform(const double m[16], bool set) = 0;
    virtual void Scale(const double* x, const double* y, const double* z) = 0;
    virtual void Rotate(const double* x, const double* y, const double* z) = 0;
    virtual void Translate(const double* x, const double* y, const double* z) = 0;
    virtual void Motion(const double m[16], float time) = 0;
    virtual bool BeginGroup(const char* name, bool place) = 0;
    virtual void EndGroup() = 0;
    virtual bool BeginFrame(int frame) = 0;
    virtual void EndFrame() = 0;
    virtual bool BeginMatrixDefinition(const char* name) = 0;
    virtual void EndMatrixDefinition() = 0;
    virtual unsigned int Reserved17(unsigned int x) = 0;
    virtual bool BeginOptions() = 0;
    virtual void EndOptions() = 0;
    virtual bool BeginCamera(const char* name) = 0;
    virtual void EndCamera() = 0;
    virtual bool ModifyCamera(const char* name) = 0;
    virtual bool BeginImage() = 0;
    virtual void EndImage() = 0;
    virtual bool BeginOutput(const char* a, const char* b, const char* c) = 0;
    virtual void EndOutput() = 0;
    virtual bool BeginObject(const char* name, bool place) = 0;
    virtual void EndObject() = 0;
    virtual void SetObjectFlag(unsigned int mask, bool on) = 0;
    virtual unsigned int Reserved30(unsigned int x) = 0;
    virtual bool ModifyObject(const char* name) = 0;
    virtual void Reserved32(unsigned int a, unsigned int b) = 0;
    virtual bool BeginLight(const char* name, unsigned int x) = 0;
    virtual bool ModifyLight(const char* name) = 0;
    virtual void EndLight() = 0;
    virtual void SetGlobalPhotons(int count) = 0;
    virtual void SetCausticPhotons(int count) = 0;
    virtual void SetVolumePhotons(int count) = 0;
    virtual bool BeginGeometryDefinition(const char* name, const char* type) = 0;
    virtual bool BeginGeometry(const char* type) = 0;
    virtual void EndGeometry() = 0;
    virtual unsigned int Reserved42() = 0;
    virtual bool BeginAccel(const char* name) = 0;
    virtual void EndAccel() = 0;
    virtual bool Reserved45(unsigned int x) = 0;
    virtual void Reserved46() = 0;
    virtual bool PlaceInstance(const char* name) = 0;
    virtual bool BeginAnimation(const char* type, const char* name) = 0;
    virtual void EndAnimation() = 0;
    virtual bool BeginMaterial(const char* name, bool place) = 0;
    virtual bool UseMaterial(const char* name, unsigned int x) = 0;
    virtual void EndMaterial() = 0;
    virtual void BindShader(int kind, ShaderBuffer* buffer) = 0;
    virtual bool ModifyMaterial(const char* name) = 0;
    virtual bool BeginShader(const char* name, const char* type) = 0;
    virtual void EndShader(unsigned int x) = 0;
    virtual bool Reserved57(unsigned int x) = 0;
    virtual ShaderBuffer* CurrentShaderBuffer() = 0;
    virtual void PushShaderBuffer() = 0;
    virtual void PopShaderBuffer() = 0;
    virtual bool BeginLoad(const char* name) = 0;
    virtual void EndLoad() = 0;
    virtual void SetAttribute(const char* name, const char* value) = 0;
    virtual void WriteRaw(const char* format, ...) = 0;
    virtual unsigned int SetOutputMode(unsigned int flags, unsigned int x) = 0;
    virtual void Reserved66(unsigned int x) = 0;
    virtual void ReportProgress(const char* name, float value) = 0;
    virtual void SetIcon(const void* data, int length) = 0;
    virtual void SetBinaryValue(const char* key, const void* data, int length) = 0;
    virtual void SetId(unsigned int id) = 0;
    virtual void SetFlags(unsigned int flags) = 0;
    virtual bool SetParameter(const char* name, SceneValueType type, const void* value) = 0;
    virtual bool SetShaderParameter(const char* name, ShaderBuffer* buffer) = 0;
    virtual void AddArrayElement(SceneValueType type, const void* value) = 0;
    virtual unsigned int Reserved75() = 0;
    virtual bool BeginArray(const char* name) = 0;
    virtual void EndArray() = 0;
    virtual unsigned int Reserved78(unsigned int x) = 0;
};

class LiveLinkFactory {
public:
    virtual ~LiveLinkFactory() {}
    virtual trvScene_api* CreateSceneApi() = 0;
    virtual InstanceLister* GetInstanceLister() = 0;
};

// Nobody destroys the lister through it: no destructor in its table.
class InstanceLister {
public:
    virtual const char* GetInstancesText() = 0;
    // Never called by the plug-in, which knows only its place: named as the plug-in names it.
    virtual bool Reserved2() = 0;
    virtual bool IsOpen() = 0;
    virtual void Close() = 0;
};

// A call through each class makes clang lay it out.
void LayOut(trvScene_api& scene, LiveLinkFactory& factory, InstanceLister& lister)
{
    scene.Reserved1();
    factory.CreateSceneApi();
    lister.Close();
}
