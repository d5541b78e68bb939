#include "tests/recording_scene.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string Text(const char* text) { return text != nullptr ? text : "(null)"; }

std::string Number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string Numbers(const double* values, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i > 0 ? " " : "") + Number(values[i]);
    return text;
}

std::string Place(bool place) { return place ? "place" : "define"; }

// A typed value as the recorded text shows it: numbers with %g, Bool as on/off, texts as they are.
std::string Value(SceneValueType type, const void* value) {
    switch (type) {
        case SceneValueType::Float: return Number(*static_cast<const float*>(value));
        case SceneValueType::Double: return Number(*static_cast<const double*>(value));
        case SceneValueType::Int: return std::to_string(*static_cast<const std::int32_t*>(value));
        case SceneValueType::Bool:
            return *static_cast<const std::int32_t*>(value) != 0 ? "on" : "off";
        case SceneValueType::Double3: return Numbers(static_cast<const double*>(value), 3);
        case SceneValueType::Matrix: return Numbers(static_cast<const double*>(value), 16);
        case SceneValueType::String: return static_cast<const char*>(value);
        case SceneValueType::StringRef: return *static_cast<const char* const*>(value);
        case SceneValueType::Shader: return "shader";
        default: return "type " + std::to_string(static_cast<std::uint32_t>(type));
    }
}

}  // namespace

RecordingScene::RecordingScene() : shader_(reinterpret_cast<ShaderBuffer*>(&calls_)) {}

RecordingScene::~RecordingScene() = default;

void RecordingScene::DeletingDestructor(unsigned int flags) { DestroyImplementation(this, flags); }

std::vector<std::string> RecordingScene::CallsStartingWith(
    const std::vector<std::string>& prefixes) const {
    std::vector<std::string> found;
    for (const std::string& call : calls_) {
        for (const std::string& prefix : prefixes) {
            if (call.compare(0, prefix.size(), prefix) == 0) {
                found.push_back(call);
                break;
            }
        }
    }
    return found;
}

void RecordingScene::Reserved1() { Record("Reserved1()"); }
bool RecordingScene::Render() { Record("Render()"); return true; }
bool RecordingScene::Connect(const char* host, int port, int n) {
    Record("Connect(" + Text(host) + ", " + std::to_string(port) + ", " + std::to_string(n) + ")");
    return false;
}
bool RecordingScene::Disconnect() { Record("Disconnect()"); return false; }
void RecordingScene::Transform(const double m[16], bool set) {
    Record("Transform(" + Numbers(m, 16) + (set ? ", set)" : ")"));
}
void RecordingScene::Scale(const double* x, const double* y, const double* z) {
    Record("Scale(" + Number(*x) + " " + Number(*y) + " " + Number(*z) + ")");
}
void RecordingScene::Rotate(const double* x, const double* y, const double* z) {
    Record("Rotate(" + Number(*x) + " " + Number(*y) + " " + Number(*z) + ")");
}
void RecordingScene::Translate(const double* x, const double* y, const double* z) {
    Record("Translate(" + Number(*x) + " " + Number(*y) + " " + Number(*z) + ")");
}
void RecordingScene::Motion(const double m[16], float time) {
    Record("Motion(" + Numbers(m, 16) + ", " + Number(time) + ")");
}
bool RecordingScene::BeginGroup(const char* name, bool place) {
    Record("BeginGroup(" + Text(name) + ", " + Place(place) + ")");
    return true;
}
void RecordingScene::EndGroup() { Record("EndGroup()"); }
bool RecordingScene::BeginFrame(int frame) {
    Record("BeginFrame(" + std::to_string(frame) + ")");
    return true;
}
void RecordingScene::EndFrame() { Record("EndFrame()"); }
bool RecordingScene::BeginMatrixDefinition(const char* name) {
    Record("BeginMatrixDefinition(" + Text(name) + ")");
    return true;
}
void RecordingScene::EndMatrixDefinition() { Record("EndMatrixDefinition()"); }
std::uint32_t RecordingScene::Reserved17(std::uint32_t x) { Record("Reserved17()"); return x; }
bool RecordingScene::BeginOptions() { Record("BeginOptions()"); return true; }
void RecordingScene::EndOptions() { Record("EndOptions()"); }
bool RecordingScene::BeginCamera(const char* name) {
    Record("BeginCamera(" + Text(name) + ")");
    return true;
}
void RecordingScene::EndCamera() { Record("EndCamera()"); }
bool RecordingScene::ModifyCamera(const char* name) {
    Record("ModifyCamera(" + Text(name) + ")");
    return true;
}
bool RecordingScene::BeginImage() { Record("BeginImage()"); return true; }
void RecordingScene::EndImage() { Record("EndImage()"); }
bool RecordingScene::BeginOutput(const char* a, const char* b, const char* c) {
    Record("BeginOutput(" + Text(a) + ", " + Text(b) + ", " + Text(c) + ")");
    return true;
}
void RecordingScene::EndOutput() { Record("EndOutput()"); }
bool RecordingScene::BeginObject(const char* name, bool place) {
    Record("BeginObject(" + Text(name) + ", " + Place(place) + ")");
    return true;
}
void RecordingScene::EndObject() { Record("EndObject()"); }
void RecordingScene::SetObjectFlag(std::uint32_t mask, bool on) {
    Record("SetObjectFlag(" + std::to_string(mask) + (on ? ", on)" : ", off)"));
}
std::uint32_t RecordingScene::Reserved30(std::uint32_t x) { Record("Reserved30()"); return x; }
bool RecordingScene::ModifyObject(const char* name) {
    Record("ModifyObject(" + Text(name) + ")");
    return true;
}
void RecordingScene::Reserved32(std::uint32_t, std::uint32_t) { Record("Reserved32()"); }
bool RecordingScene::BeginLight(const char* name, std::uint32_t) {
    Record("BeginLight(" + Text(name) + ")");
    return true;
}
bool RecordingScene::ModifyLight(const char* name) {
    Record("ModifyLight(" + Text(name) + ")");
    return true;
}
void RecordingScene::EndLight() { Record("EndLight()"); }
void RecordingScene::SetGlobalPhotons(int count) {
    Record("SetGlobalPhotons(" + std::to_string(count) + ")");
}
void RecordingScene::SetCausticPhotons(int count) {
    Record("SetCausticPhotons(" + std::to_string(count) + ")");
}
void RecordingScene::SetVolumePhotons(int count) {
    Record("SetVolumePhotons(" + std::to_string(count) + ")");
}
bool RecordingScene::BeginGeometryDefinition(const char* name, const char* type) {
    Record("BeginGeometryDefinition(" + Text(name) + ", " + Text(type) + ")");
    return true;
}
bool RecordingScene::BeginGeometry(const char* type) {
    Record("BeginGeometry(" + Text(type) + ")");
    return true;
}
void RecordingScene::EndGeometry() { Record("EndGeometry()"); }
std::uint32_t RecordingScene::Reserved42() { Record("Reserved42()"); return 0; }
bool RecordingScene::BeginAccel(const char* name) {
    Record("BeginAccel(" + Text(name) + ")");
    return true;
}
void RecordingScene::EndAccel() { Record("EndAccel()"); }
bool RecordingScene::Reserved45(std::uint32_t) { Record("Reserved45()"); return false; }
void RecordingScene::Reserved46() { Record("Reserved46()"); }
bool RecordingScene::PlaceInstance(const char* name) {
    Record("PlaceInstance(" + Text(name) + ")");
    return true;
}
bool RecordingScene::BeginAnimation(const char* type, const char* name) {
    Record("BeginAnimation(" + Text(type) + ", " + Text(name) + ")");
    return true;
}
void RecordingScene::EndAnimation() { Record("EndAnimation()"); }
bool RecordingScene::BeginMaterial(const char* name, bool place) {
    Record("BeginMaterial(" + Text(name) + ", " + Place(place) + ")");
    return true;
}
bool RecordingScene::UseMaterial(const char* name, std::uint32_t) {
    Record("UseMaterial(" + Text(name) + ")");
    return true;
}
void RecordingScene::EndMaterial() { Record("EndMaterial()"); }
void RecordingScene::BindShader(int kind, ShaderBuffer*) {
    Record("BindShader(" + std::to_string(kind) + ")");
}
bool RecordingScene::ModifyMaterial(const char* name) {
    Record("ModifyMaterial(" + Text(name) + ")");
    return true;
}
bool RecordingScene::BeginShader(const char* name, const char* type) {
    Record("BeginShader(" + Text(name) + ", " + Text(type) + ")");
    return true;
}
void RecordingScene::EndShader(std::uint32_t) { Record("EndShader()"); }
bool RecordingScene::Reserved57(std::uint32_t) { Record("Reserved57()"); return false; }
ShaderBuffer* RecordingScene::CurrentShaderBuffer() { return shader_; }
void RecordingScene::PushShaderBuffer() { Record("PushShaderBuffer()"); }
void RecordingScene::PopShaderBuffer() { Record("PopShaderBuffer()"); }
bool RecordingScene::BeginLoad(const char* name) {
    Record("BeginLoad(" + Text(name) + ")");
    return true;
}
void RecordingScene::EndLoad() { Record("EndLoad()"); }
void RecordingScene::SetAttribute(const char* name, const char* value) {
    Record("SetAttribute(" + Text(name) + ", " + Text(value) + ")");
}
void RecordingScene::WriteRaw(const char* format, ...) {
    char buffer[4096];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    Record("WriteRaw(" + std::string(buffer) + ")");
}
std::uint32_t RecordingScene::SetOutputMode(std::uint32_t flags, std::uint32_t) {
    Record("SetOutputMode(" + std::to_string(flags) + ")");
    return flags;
}
void RecordingScene::Reserved66(std::uint32_t) { Record("Reserved66()"); }
void RecordingScene::ReportProgress(const char* name, float value) {
    Record("ReportProgress(" + Text(name) + ", " + Number(value) + ")");
}
void RecordingScene::SetIcon(const void*, int length) {
    Record("SetIcon(" + std::to_string(length) + " bytes)");
}
void RecordingScene::SetBinaryValue(const char* key, const void*, int length) {
    Record("SetBinaryValue(" + Text(key) + ", " + std::to_string(length) + " bytes)");
}
void RecordingScene::SetId(std::uint32_t id) { Record("SetId(" + std::to_string(id) + ")"); }
void RecordingScene::SetFlags(std::uint32_t flags) {
    Record("SetFlags(" + std::to_string(flags) + ")");
}
bool RecordingScene::SetParameter(const char* name, SceneValueType type, const void* value) {
    Record("SetParameter(" + Text(name) + ", " + Value(type, value) + ")");
    return true;
}
bool RecordingScene::SetShaderParameter(const char* name, ShaderBuffer*) {
    Record("SetShaderParameter(" + Text(name) + ")");
    return true;
}
void RecordingScene::AddArrayElement(SceneValueType type, const void* value) {
    Record("AddArrayElement(" + Value(type, value) + ")");
}
std::uint32_t RecordingScene::Reserved75() { Record("Reserved75()"); return 10; }
bool RecordingScene::BeginArray(const char* name) {
    Record("BeginArray(" + Text(name) + ")");
    return true;
}
void RecordingScene::EndArray() { Record("EndArray()"); }
std::uint32_t RecordingScene::Reserved78(std::uint32_t x) { Record("Reserved78()"); return x; }
