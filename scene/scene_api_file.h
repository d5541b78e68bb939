// trvScene_api_file: the scene interface written into a C file as the scene description
// language, text with binary array blocks for arrays of float triples, floats, doubles and int32
// when binary arrays are on.
//
// Ownership: the writer owns the file from construction on and closes it when it is destroyed;
// the caller must not close it again. It owns every ShaderBuffer that an anonymous BeginShader
// makes; they stay valid until the writer is destroyed.
//
// While a writer exists the numeric locale of the whole process is "C"; its destruction puts
// back the locale that was in force when it was made. Output errors of the C runtime are
// reported once, by CloseFile. Connect, Disconnect and Reserved5 keep the interface's own
// versions (false): a file has no connection to a renderer.
#pragma once

#include <cstdint>
#include <cstdio>

#include "scene/scene_api.h"
#include "scene/scene_writer_state.h"

class trvScene_api_file final : public trvScene_api {
public:
    // file may be null: nothing is then written, while every operation still changes the state.
    trvScene_api_file(FILE* file, bool binaryArrays);
    ~trvScene_api_file();

    trvScene_api_file(const trvScene_api_file&) = delete;
    trvScene_api_file& operator=(const trvScene_api_file&) = delete;

    // Closes the file before the writer goes and answers whether all output reached it whole:
    // no write failed and the close succeeded. The operations answer as they always do, whatever
    // became of their text; this is where the caller learns it. Afterwards nothing is written
    // and the destructor closes nothing. False when there is no file.
    bool CloseFile() { return state_.CloseFile(); }

    // The writer's state, for inspection.
    const SceneWriterState& State() const { return state_; }

    void DeletingDestructor(unsigned int flags) override;
    void Reserved1() override;
    bool Render() override;

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
    VISTREL_PRINTF_FORMAT(2, 3) void WriteRaw(const char* format, ...) override;
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
    // The shared steps of the blocks.
    bool OpenTopBlock(TopBlock block, const char* head, const char* name);
    void CloseTopBlock(TopBlock block);
    void OpenStyledBlock(std::uint8_t style);
    void CloseStyledBlock();
    void CloseBlock();

    SceneWriterState state_;
};
