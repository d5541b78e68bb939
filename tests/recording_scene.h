// Test support: a scene output that records every operation called on it, one line of text per
// call ("BeginGroup(ARM, place)", "SetFlags(32768)"), so that tests of the export code can check
// which scene operations it called, with which arguments and in which order, without reading
// the scene language.
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
    void Reserved1() override;
    bool Render() override;
    bool Connect(const char* host, int port, int n) override;
    bool Disconnect() override;
    void Transform(const double m[16], bool set) override;
    void Scale(const double* x, const double* y, const double* z) override;
    void Rotate(const double* x, const double* y, const double* z) override;
    void Translate(const double* x, const double* y, const double* z) override;
    void Motion(const double m[16], float time) override;
    bool BeginGroup(const char* name, bool place) override;
    void EndGroup() override;
    bool BeginFrame(int frame) override;
    void EndFrame() override;
    bool BeginMatrixDefinition(const char* name) override;
    void EndMatrixDefinition() override;
    std::uint32_t Reserved17(std::uint32_t x) override;
    bool BeginOptions() override;
    void EndOptions() override;
    bool BeginCamera(const char* name) override;
    void EndCamera() override;
    bool ModifyCamera(const char* name) override;
    bool BeginImage() override;
    void EndImage() override;
    bool BeginOutput(const char* a, const char* b, const char* c) override;
    void EndOutput() override;
    bool BeginObject(const char* name, bool place) override;
    void EndObject() override;
    void SetObjectFlag(std::uint32_t mask, bool on) override;
    std::uint32_t Reserved30(std::uint32_t x) override;
    bool ModifyObject(const char* name) override;
    void Reserved32(std::uint32_t a, std::uint32_t b) override;
    bool BeginLight(const char* name, std::uint32_t x) override;
    bool ModifyLight(const char* name) override;
    void EndLight() override;
    void SetGlobalPhotons(int count) override;
    void SetCausticPhotons(int count) override;
    void SetVolumePhotons(int count) override;
    bool BeginGeometryDefinition(const char* name, const char* type) override;
    bool BeginGeometry(const char* type) override;
    void EndGeometry() override;
    std::uint32_t Reserved42() override;
    bool BeginAccel(const char* name) override;
    void EndAccel() override;
    bool Reserved45(std::uint32_t x) override;
    void Reserved46() override;
    bool PlaceInstance(const char* name) override;
    bool BeginAnimation(const char* type, const char* name) override;
    void EndAnimation() override;
    bool BeginMaterial(const char* name, bool place) override;
    bool UseMaterial(const char* name, std::uint32_t x) override;
    void EndMaterial() override;
    void BindShader(int kind, ShaderBuffer* buffer) override;
    bool ModifyMaterial(const char* name) override;
    bool BeginShader(const char* name, const char* type) override;
    void EndShader(std::uint32_t x) override;
    bool Reserved57(std::uint32_t x) override;
    ShaderBuffer* CurrentShaderBuffer() override;
    void PushShaderBuffer() override;
    void PopShaderBuffer() override;
    bool BeginLoad(const char* name) override;
    void EndLoad() override;
    void SetAttribute(const char* name, const char* value) override;
    void WriteRaw(const char* format, ...) override;
    std::uint32_t SetOutputMode(std::uint32_t flags, std::uint32_t x) override;
    void Reserved66(std::uint32_t x) override;
    void ReportProgress(const char* name, float value) override;
    void SetIcon(const void* data, int length) override;
    void SetBinaryValue(const char* key, const void* data, int length) override;
    void SetId(std::uint32_t id) override;
    void SetFlags(std::uint32_t flags) override;
    bool SetParameter(const char* name, SceneValueType type, const void* value) override;
    bool SetShaderParameter(const char* name, ShaderBuffer* buffer) override;
    void AddArrayElement(SceneValueType type, const void* value) override;
    std::uint32_t Reserved75() override;
    bool BeginArray(const char* name) override;
    void EndArray() override;
    std::uint32_t Reserved78(std::uint32_t x) override;

private:
    void Record(std::string call) { calls_.push_back(std::move(call)); }

    std::vector<std::string> calls_;
    // Handed out by CurrentShaderBuffer; only its address matters to the callers.
    ShaderBuffer* shader_;
};
