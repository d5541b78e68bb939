#include "renderer/live_scene.h"

#include <cstdarg>
#include <cstring>
#include <string>

#include "renderer/session_protocol.h"
#include "renderer/spool_file.h"
#include "scene/scene_api_file.h"

namespace {

// The spool is sent once this much text waits, so a large scene streams in pieces and the
// spool never grows much beyond it.
constexpr long kSendThreshold = 256 * 1024;
constexpr std::size_t kChunkSize = 64 * 1024;
// The text of one WriteRaw, cut as the file writer cuts it.
constexpr std::size_t kRawTextSize = 4096;

bool IsLoopbackHost(const char* host)
{
    return host != nullptr && std::strcmp(host, "127.0.0.1") == 0;
}

}  // namespace

LiveScene::LiveScene() : chunk_(kChunkSize) {}

LiveScene::~LiveScene() { EndSession(); }

void LiveScene::DeletingDestructor(unsigned int flags) { DestroyImplementation(this, flags); }

// ---- Session -------------------------------------------------------------------------------

bool LiveScene::Connect(const char* host, int port, int n)
{
    EndSession();
    // Loopback only: the stand-in renderer runs on this machine.
    if (!IsLoopbackHost(host) || port <= 0 || port > 65535) return false;
    connection_ = LoopbackSocket::Connect(port, session_protocol::kConnectTimeoutMs);
    if (!connection_.IsValid() || !Handshake(n)) {
        connection_.Close();
        return false;
    }
    spool_ = OpenSpoolFile();
    if (spool_ == nullptr) {
        connection_.Close();
        return false;
    }
    writer_ = std::make_unique<trvScene_api_file>(spool_, true);
    sendFailed_ = false;
    return true;
}

bool LiveScene::Handshake(int n)
{
    const std::string hello = session_protocol::kHelloPrefix + std::to_string(id_) + ' ' +
                              std::to_string(n) + '\n';
    if (!connection_.SendAll(hello.data(), hello.size(), session_protocol::kAnswerTimeoutMs)) {
        return false;
    }
    const std::size_t expected = std::strlen(session_protocol::kAccepted);
    char answer[sizeof session_protocol::kAccepted] = {};
    std::size_t got = 0;
    while (got < expected) {
        const long received = connection_.Receive(answer + got, expected - got,
                                                  session_protocol::kAnswerTimeoutMs);
        if (received <= 0) return false;
        got += static_cast<std::size_t>(received);
    }
    return std::memcmp(answer, session_protocol::kAccepted, expected) == 0;
}

bool LiveScene::Disconnect()
{
    if (!writer_) return false;
    Send(0);
    bool stored = !sendFailed_;
    if (stored) {
        connection_.ShutdownSend();
        const std::size_t expected = std::strlen(session_protocol::kReceived);
        char answer[sizeof session_protocol::kReceived] = {};
        std::size_t got = 0;
        while (got < expected) {
            const long received = connection_.Receive(answer + got, expected - got,
                                                      session_protocol::kStoreTimeoutMs);
            if (received <= 0) break;
            got += static_cast<std::size_t>(received);
        }
        stored = got == expected && std::memcmp(answer, session_protocol::kReceived, expected) == 0;
    }
    EndSession();
    return stored;
}

// Ends the session without waiting for the renderer's confirmation: the spooled text is sent
// and the connection closed, which the renderer sees as the end of the session.
void LiveScene::EndSession()
{
    if (writer_) Send(0);
    writer_.reset();  // closes the spool
    spool_ = nullptr;
    connection_.Close();
}

void LiveScene::Send(long minimum)
{
    const long waiting = std::ftell(spool_);
    if (waiting <= 0 || waiting < minimum) return;
    std::fflush(spool_);
    std::rewind(spool_);
    // After a failure the text is dropped unread: the renderer has gone.
    for (long left = sendFailed_ ? 0 : waiting; left > 0;) {
        const std::size_t piece = left < static_cast<long>(chunk_.size())
                                      ? static_cast<std::size_t>(left)
                                      : chunk_.size();
        const std::size_t read = std::fread(chunk_.data(), 1, piece, spool_);
        if (read == 0) break;
        if (!connection_.SendAll(chunk_.data(), read, session_protocol::kAnswerTimeoutMs)) {
            sendFailed_ = true;
            connection_.Close();
            break;
        }
        left -= static_cast<long>(read);
    }
    // The writer goes on at the start of the spool; what lies beyond is never sent again.
    std::rewind(spool_);
}

template <typename Op, typename Answer>
Answer LiveScene::Write(Op op, Answer fallback)
{
    if (!writer_) return fallback;
    const Answer answer = op(*writer_);
    Send(kSendThreshold);
    return answer;
}

template <typename Op>
void LiveScene::Write(Op op)
{
    if (!writer_) return;
    op(*writer_);
    Send(kSendThreshold);
}

void LiveScene::SetId(std::uint32_t id) { id_ = id; }

bool LiveScene::Reserved5(std::uint32_t, std::uint32_t, std::uint32_t) { return false; }

// ---- Scene operations: the writer's, while a session is open ---------------------------------

void LiveScene::Reserved1() { Write([](trvScene_api& w) { w.Reserved1(); }); }
bool LiveScene::Render() { return Write([](trvScene_api& w) { return w.Render(); }, false); }

void LiveScene::Transform(const double m[16], bool set)
{
    Write([&](trvScene_api& w) { w.Transform(m, set); });
}
void LiveScene::Scale(const double* x, const double* y, const double* z)
{
    Write([&](trvScene_api& w) { w.Scale(x, y, z); });
}
void LiveScene::Rotate(const double* x, const double* y, const double* z)
{
    Write([&](trvScene_api& w) { w.Rotate(x, y, z); });
}
void LiveScene::Translate(const double* x, const double* y, const double* z)
{
    Write([&](trvScene_api& w) { w.Translate(x, y, z); });
}
void LiveScene::Motion(const double m[16], float time)
{
    Write([&](trvScene_api& w) { w.Motion(m, time); });
}

bool LiveScene::BeginGroup(const char* name, bool place)
{
    return Write([&](trvScene_api& w) { return w.BeginGroup(name, place); }, false);
}
void LiveScene::EndGroup() { Write([](trvScene_api& w) { w.EndGroup(); }); }
bool LiveScene::BeginFrame(int frame)
{
    return Write([&](trvScene_api& w) { return w.BeginFrame(frame); }, false);
}
void LiveScene::EndFrame() { Write([](trvScene_api& w) { w.EndFrame(); }); }
bool LiveScene::BeginMatrixDefinition(const char* name)
{
    return Write([&](trvScene_api& w) { return w.BeginMatrixDefinition(name); }, false);
}
void LiveScene::EndMatrixDefinition() { Write([](trvScene_api& w) { w.EndMatrixDefinition(); }); }
std::uint32_t LiveScene::Reserved17(std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.Reserved17(x); }, std::uint32_t{0});
}

bool LiveScene::BeginOptions() { return Write([](trvScene_api& w) { return w.BeginOptions(); }, false); }
void LiveScene::EndOptions() { Write([](trvScene_api& w) { w.EndOptions(); }); }
bool LiveScene::BeginCamera(const char* name)
{
    return Write([&](trvScene_api& w) { return w.BeginCamera(name); }, false);
}
void LiveScene::EndCamera() { Write([](trvScene_api& w) { w.EndCamera(); }); }
bool LiveScene::ModifyCamera(const char* name)
{
    return Write([&](trvScene_api& w) { return w.ModifyCamera(name); }, false);
}
bool LiveScene::BeginImage() { return Write([](trvScene_api& w) { return w.BeginImage(); }, false); }
void LiveScene::EndImage() { Write([](trvScene_api& w) { w.EndImage(); }); }
bool LiveScene::BeginOutput(const char* a, const char* b, const char* c)
{
    return Write([&](trvScene_api& w) { return w.BeginOutput(a, b, c); }, false);
}
void LiveScene::EndOutput() { Write([](trvScene_api& w) { w.EndOutput(); }); }

bool LiveScene::BeginObject(const char* name, bool place)
{
    return Write([&](trvScene_api& w) { return w.BeginObject(name, place); }, false);
}
void LiveScene::EndObject() { Write([](trvScene_api& w) { w.EndObject(); }); }
void LiveScene::SetObjectFlag(std::uint32_t mask, bool on)
{
    Write([&](trvScene_api& w) { w.SetObjectFlag(mask, on); });
}
std::uint32_t LiveScene::Reserved30(std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.Reserved30(x); }, std::uint32_t{0});
}
bool LiveScene::ModifyObject(const char* name)
{
    return Write([&](trvScene_api& w) { return w.ModifyObject(name); }, false);
}
void LiveScene::Reserved32(std::uint32_t a, std::uint32_t b)
{
    Write([&](trvScene_api& w) { w.Reserved32(a, b); });
}
bool LiveScene::BeginLight(const char* name, std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.BeginLight(name, x); }, false);
}
bool LiveScene::ModifyLight(const char* name)
{
    return Write([&](trvScene_api& w) { return w.ModifyLight(name); }, false);
}
void LiveScene::EndLight() { Write([](trvScene_api& w) { w.EndLight(); }); }
void LiveScene::SetGlobalPhotons(int count)
{
    Write([&](trvScene_api& w) { w.SetGlobalPhotons(count); });
}
void LiveScene::SetCausticPhotons(int count)
{
    Write([&](trvScene_api& w) { w.SetCausticPhotons(count); });
}
void LiveScene::SetVolumePhotons(int count)
{
    Write([&](trvScene_api& w) { w.SetVolumePhotons(count); });
}

bool LiveScene::BeginGeometryDefinition(const char* name, const char* type)
{
    return Write([&](trvScene_api& w) { return w.BeginGeometryDefinition(name, type); }, false);
}
bool LiveScene::BeginGeometry(const char* type)
{
    return Write([&](trvScene_api& w) { return w.BeginGeometry(type); }, false);
}
void LiveScene::EndGeometry() { Write([](trvScene_api& w) { w.EndGeometry(); }); }
std::uint32_t LiveScene::Reserved42()
{
    return Write([](trvScene_api& w) { return w.Reserved42(); }, std::uint32_t{0});
}
bool LiveScene::BeginAccel(const char* name)
{
    return Write([&](trvScene_api& w) { return w.BeginAccel(name); }, false);
}
void LiveScene::EndAccel() { Write([](trvScene_api& w) { w.EndAccel(); }); }
bool LiveScene::Reserved45(std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.Reserved45(x); }, false);
}
void LiveScene::Reserved46() { Write([](trvScene_api& w) { w.Reserved46(); }); }
bool LiveScene::PlaceInstance(const char* name)
{
    return Write([&](trvScene_api& w) { return w.PlaceInstance(name); }, false);
}
bool LiveScene::BeginAnimation(const char* type, const char* name)
{
    return Write([&](trvScene_api& w) { return w.BeginAnimation(type, name); }, false);
}
void LiveScene::EndAnimation() { Write([](trvScene_api& w) { w.EndAnimation(); }); }

bool LiveScene::BeginMaterial(const char* name, bool place)
{
    return Write([&](trvScene_api& w) { return w.BeginMaterial(name, place); }, false);
}
bool LiveScene::UseMaterial(const char* name, std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.UseMaterial(name, x); }, false);
}
void LiveScene::EndMaterial() { Write([](trvScene_api& w) { w.EndMaterial(); }); }
void LiveScene::BindShader(int kind, ShaderBuffer* buffer)
{
    Write([&](trvScene_api& w) { w.BindShader(kind, buffer); });
}
bool LiveScene::ModifyMaterial(const char* name)
{
    return Write([&](trvScene_api& w) { return w.ModifyMaterial(name); }, false);
}
bool LiveScene::BeginShader(const char* name, const char* type)
{
    return Write([&](trvScene_api& w) { return w.BeginShader(name, type); }, false);
}
void LiveScene::EndShader(std::uint32_t x) { Write([&](trvScene_api& w) { w.EndShader(x); }); }
bool LiveScene::Reserved57(std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.Reserved57(x); }, false);
}
ShaderBuffer* LiveScene::CurrentShaderBuffer()
{
    return Write([](trvScene_api& w) { return w.CurrentShaderBuffer(); },
                 static_cast<ShaderBuffer*>(nullptr));
}
void LiveScene::PushShaderBuffer() { Write([](trvScene_api& w) { w.PushShaderBuffer(); }); }
void LiveScene::PopShaderBuffer() { Write([](trvScene_api& w) { w.PopShaderBuffer(); }); }

bool LiveScene::BeginLoad(const char* name)
{
    return Write([&](trvScene_api& w) { return w.BeginLoad(name); }, false);
}
void LiveScene::EndLoad() { Write([](trvScene_api& w) { w.EndLoad(); }); }
void LiveScene::SetAttribute(const char* name, const char* value)
{
    Write([&](trvScene_api& w) { w.SetAttribute(name, value); });
}
void LiveScene::WriteRaw(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteRawList(format, args);
    va_end(args);
}
void LiveScene::WriteRawList(const char* format, va_list args)
{
    if (!writer_) return;
    char text[kRawTextSize];
    if (std::vsnprintf(text, sizeof text, format, args) < 0) text[0] = '\0';
    Write([&](trvScene_api& w) { w.WriteRaw("%s", text); });
}
std::uint32_t LiveScene::SetOutputMode(std::uint32_t flags, std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.SetOutputMode(flags, x); }, std::uint32_t{0});
}
void LiveScene::Reserved66(std::uint32_t x) { Write([&](trvScene_api& w) { w.Reserved66(x); }); }
void LiveScene::ReportProgress(const char* name, float value)
{
    Write([&](trvScene_api& w) { w.ReportProgress(name, value); });
}
void LiveScene::SetIcon(const void* data, int length)
{
    Write([&](trvScene_api& w) { w.SetIcon(data, length); });
}
void LiveScene::SetBinaryValue(const char* key, const void* data, int length)
{
    Write([&](trvScene_api& w) { w.SetBinaryValue(key, data, length); });
}
void LiveScene::SetFlags(std::uint32_t flags) { Write([&](trvScene_api& w) { w.SetFlags(flags); }); }

bool LiveScene::SetParameter(const char* name, SceneValueType type, const void* value)
{
    return Write([&](trvScene_api& w) { return w.SetParameter(name, type, value); }, false);
}
bool LiveScene::SetShaderParameter(const char* name, ShaderBuffer* buffer)
{
    return Write([&](trvScene_api& w) { return w.SetShaderParameter(name, buffer); }, false);
}
void LiveScene::AddArrayElement(SceneValueType type, const void* value)
{
    Write([&](trvScene_api& w) { w.AddArrayElement(type, value); });
}
std::uint32_t LiveScene::Reserved75()
{
    return Write([](trvScene_api& w) { return w.Reserved75(); }, std::uint32_t{0});
}
bool LiveScene::BeginArray(const char* name)
{
    return Write([&](trvScene_api& w) { return w.BeginArray(name); }, false);
}
void LiveScene::EndArray() { Write([](trvScene_api& w) { w.EndArray(); }); }
std::uint32_t LiveScene::Reserved78(std::uint32_t x)
{
    return Write([&](trvScene_api& w) { return w.Reserved78(x); }, std::uint32_t{0});
}
