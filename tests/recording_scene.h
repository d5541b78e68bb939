// Test support: a scene output that records every operation called on it, one line of text per
// call ("BeginGroup(ARM, place)", "SetFlags(32768)"), so that tests of the export code can check
// which scene operations it called, with which arguments and in which order, without reading
// the scene language. Operations that open a block or write a value answer true, Connect and
// Disconnect false.
#pragma once

#include <string>
#include <vector>

#include "scene/scene_api.h"

class RecordingScene final : public trvScene_api {
public:
    RecordingScene();
    ~RecordingScene();

    // Every call so far, in order.
    const std::vector<std::string>& Calls() const { return calls_; }
    // The calls whose text starts with one of the prefixes, in order.
    std::vector<std::string> CallsStartingWith(const std::vector<std::string>& prefixes) const;
    void Clear() { calls_.clear(); }

    void DeletingDestructor(unsigned int flags) override;
    void Reserved1() override { Record("Reserved1"); }
    bool Render() override { return Record("Render"); }
    bool Connect(const char* host, int port, int n) override {
        return Record("Connect", {Text(host), std::to_string(port), std::to_string(n)}, false);
    }
    bool Disconnect() override { return Record("Disconnect", {}, false); }
    void Transform(const double m[16], bool set) override {
        Record("Transform", set ? Args{Numbers(m, 16), "set"} : Args{Numbers(m, 16)});
    }
    void Scale(const double* x, const double* y, const double* z) override {
        Record("Scale", {Numbers(x, y, z)});
    }
    void Rotate(const double* x, const double* y, const double* z) override {
        Record("Rotate", {Numbers(x, y, z)});
    }
    void Translate(const double* x, const double* y, const double* z) override {
        Record("Translate", {Numbers(x, y, z)});
    }
    void Motion(const double m[16], float time) override {
        Record("Motion", {Numbers(m, 16), Number(time)});
    }
    bool BeginGroup(const char* name, bool place) override {
        return Record("BeginGroup", {Text(name), Place(place)});
    }
    void EndGroup() override { Record("EndGroup"); }
    bool BeginFrame(int frame) override { return Record("BeginFrame", {std::to_string(frame)}); }
    void EndFrame() override { Record("EndFrame"); }
    bool BeginMatrixDefinition(const char* name) override {
        return Record("BeginMatrixDefinition", {Text(name)});
    }
    void EndMatrixDefinition() override { Record("EndMatrixDefinition"); }
    std::uint32_t Reserved17(std::uint32_t x) override { Record("Reserved17"); return x; }
    bool BeginOptions() override { return Record("BeginOptions"); }
    void EndOptions() override { Record("EndOptions"); }
    bool BeginCamera(const char* name) override { return Record("BeginCamera", {Text(name)}); }
    void EndCamera() override { Record("EndCamera"); }
    bool ModifyCamera(const char* name) override { return Record("ModifyCamera", {Text(name)}); }
    bool BeginImage() override { return Record("BeginImage"); }
    void EndImage() override { Record("EndImage"); }
    bool BeginOutput(const char* a, const char* b, const char* c) override {
        return Record("BeginOutput", {Text(a), Text(b), Text(c)});
    }
    void EndOutput() override { Record("EndOutput"); }
    bool BeginObject(const char* name, bool place) override {
        return Record("BeginObject", {Text(name), Place(place)});
    }
    void EndObject() override { Record("EndObject"); }
    void SetObjectFlag(std::uint32_t mask, bool on) override {
        Record("SetObjectFlag", {std::to_string(mask), on ? "on" : "off"});
    }
    std::uint32_t Reserved30(std::uint32_t x) override { Record("Reserved30"); return x; }
    bool ModifyObject(const char* name) override { return Record("ModifyObject", {Text(name)}); }
    void Reserved32(std::uint32_t, std::uint32_t) override { Record("Reserved32"); }
    bool BeginLight(const char* name, std::uint32_t) override {
        return Record("BeginLight", {Text(name)});
    }
    bool ModifyLight(const char* name) override { return Record("ModifyLight", {Text(name)}); }
    void EndLight() override { Record("EndLight"); }
    void SetGlobalPhotons(int n) override { Record("SetGlobalPhotons", {std::to_string(n)}); }
    void SetCausticPhotons(int n) override { Record("SetCausticPhotons", {std::to_string(n)}); }
    void SetVolumePhotons(int n) override { Record("SetVolumePhotons", {std::to_string(n)}); }
    bool BeginGeometryDefinition(const char* name, const char* type) override {
        return Record("BeginGeometryDefinition", {Text(name), Text(type)});
    }
    bool BeginGeometry(const char* type) override { return Record("BeginGeometry", {Text(type)}); }
    void EndGeometry() override { Record("EndGeometry"); }
    std::uint32_t Reserved42() override { Record("Reserved42"); return 0; }
    bool BeginAccel(const char* name) override { return Record("BeginAccel", {Text(name)}); }
    void EndAccel() override { Record("EndAccel"); }
    bool Reserved45(std::uint32_t) override { return Record("Reserved45", {}, false); }
    void Reserved46() override { Record("Reserved46"); }
    bool PlaceInstance(const char* name) override { return Record("PlaceInstance", {Text(name)}); }
    bool BeginAnimation(const char* type, const char* name) override {
        return Record("BeginAnimation", {Text(type), Text(name)});
    }
    void EndAnimation() override { Record("EndAnimation"); }
    bool BeginMaterial(const char* name, bool place) override {
        return Record("BeginMaterial", {Text(name), Place(place)});
    }
    bool UseMaterial(const char* name, std::uint32_t) override {
        return Record("UseMaterial", {Text(name)});
    }
    void EndMaterial() override { Record("EndMaterial"); }
    void BindShader(int kind, ShaderBuffer*) override {
        Record("BindShader", {std::to_string(kind)});
    }
    bool ModifyMaterial(const char* name) override {
        return Record("ModifyMaterial", {Text(name)});
    }
    bool BeginShader(const char* name, const char* type) override {
        return Record("BeginShader", {Text(name), Text(type)});
    }
    void EndShader(std::uint32_t) override { Record("EndShader"); }
    bool Reserved57(std::uint32_t) override { return Record("Reserved57", {}, false); }
    // Not recorded; only the address answered matters to the callers.
    ShaderBuffer* CurrentShaderBuffer() override { return shader_; }
    void PushShaderBuffer() override { Record("PushShaderBuffer"); }
    void PopShaderBuffer() override { Record("PopShaderBuffer"); }
    bool BeginLoad(const char* name) override { return Record("BeginLoad", {Text(name)}); }
    void EndLoad() override { Record("EndLoad"); }
    void SetAttribute(const char* name, const char* value) override {
        Record("SetAttribute", {Text(name), Text(value)});
    }
    void WriteRaw(const char* format, ...) override;  // the formatted text
    std::uint32_t SetOutputMode(std::uint32_t flags, std::uint32_t) override {
        Record("SetOutputMode", {std::to_string(flags)});
        return flags;
    }
    void Reserved66(std::uint32_t) override { Record("Reserved66"); }
    void ReportProgress(const char* name, float value) override {
        Record("ReportProgress", {Text(name), Number(value)});
    }
    void SetIcon(const void*, int length) override { Record("SetIcon", {Bytes(length)}); }
    void SetBinaryValue(const char* key, const void*, int length) override {
        Record("SetBinaryValue", {Text(key), Bytes(length)});
    }
    void SetId(std::uint32_t id) override { Record("SetId", {std::to_string(id)}); }
    void SetFlags(std::uint32_t flags) override { Record("SetFlags", {std::to_string(flags)}); }
    bool SetParameter(const char* name, SceneValueType type, const void* value) override {
        return Record("SetParameter", {Text(name), Value(type, value)});
    }
    bool SetShaderParameter(const char* name, ShaderBuffer*) override {
        return Record("SetShaderParameter", {Text(name)});
    }
    void AddArrayElement(SceneValueType type, const void* value) override {
        Record("AddArrayElement", {Value(type, value)});
    }
    std::uint32_t Reserved75() override { Record("Reserved75"); return 10; }
    bool BeginArray(const char* name) override { return Record("BeginArray", {Text(name)}); }
    void EndArray() override { Record("EndArray"); }
    std::uint32_t Reserved78(std::uint32_t x) override { Record("Reserved78"); return x; }

private:
    using Args = std::vector<std::string>;

    // Records "operation(argument, argument)" and answers answer.
    bool Record(const char* operation, const Args& arguments = {}, bool answer = true);

    // The arguments as the recorded text shows them: texts as they are ("(null)" for none),
    // numbers with %g, place as "place" or "define", typed values by their type.
    static std::string Text(const char* text) { return text != nullptr ? text : "(null)"; }
    static std::string Number(double value);
    static std::string Numbers(const double* values, int count);
    static std::string Numbers(const double* x, const double* y, const double* z);
    static std::string Place(bool place) { return place ? "place" : "define"; }
    static std::string Bytes(int length) { return std::to_string(length) + " bytes"; }
    static std::string Value(SceneValueType type, const void* value);

    std::vector<std::string> calls_;
    ShaderBuffer* shader_;
};
