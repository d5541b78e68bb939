// The stand-in live-link library's live scene object: the scene interface streamed to a
// stand-in renderer over a loopback connection.
//
// Connect opens a session with the renderer listening on 127.0.0.1:port and answers true only
// when that renderer accepted it. While the session is open every operation goes to a scene
// file writer (binary arrays on) whose text is spooled to a temporary file and sent to the
// renderer in pieces; the renderer therefore stores exactly the text that trvScene_api_file
// writes for the same calls. Disconnect sends the rest, ends the stream and answers true when
// the renderer confirmed that it stored the whole session.
//
// A renderer that goes away mid-session costs the rest of the session, nothing more: sending
// fails quietly, the operations still answer as the writer does, and Disconnect answers false.
// Without an open session the operations write nothing and answer false, 0 or null. SetId only
// records the id, which goes to the renderer with the next Connect.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "renderer/loopback_socket.h"
#include "scene/scene_api.h"

class trvScene_api_file;

class LiveScene final : public trvScene_api {
public:
    LiveScene();
    ~LiveScene();
    LiveScene(const LiveScene&) = delete;
    LiveScene& operator=(const LiveScene&) = delete;

    void DeletingDestructor(unsigned int flags) override;
    void Reserved1() override;
    bool Render() override;
    bool Connect(const char* host, int port, int n) override;
    bool Disconnect() override;
    bool Reserved5(std::uint32_t a, std::uint32_t b, std::uint32_t c) override;

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

    // WriteRaw with its arguments as a list.
    void WriteRawList(const char* format, va_list args);

private:
    // Runs op on the writer of the open session and sends what has piled up; answers
    // fallback without a session.
    template <typename Op, typename Answer>
    Answer Write(Op op, Answer fallback);
    template <typename Op>
    void Write(Op op);

    bool Handshake(int n);
    // Sends the spooled text when at least minimum bytes wait (0: whatever waits).
    void Send(long minimum);
    void EndSession();

    SocketLibrary sockets_;
    LoopbackSocket connection_;
    std::unique_ptr<trvScene_api_file> writer_;  // owns spool_
    FILE* spool_ = nullptr;
    bool sendFailed_ = false;
    std::uint32_t id_ = 0;
    std::vector<char> chunk_;  // the piece of the spool being sent
};
