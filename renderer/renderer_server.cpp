#include "renderer/renderer_server.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "renderer/instance_directory.h"
#include "renderer/loopback_socket.h"
#include "renderer/session_protocol.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// How often the idle time is checked while no one connects.
constexpr int kAcceptSliceMs = 100;

class RendererServer {
public:
    explicit RendererServer(const RendererConfig& config) : config_(config), buffer_(64 * 1024) {}

    int Run()
    {
        if (!Listen()) return 1;
        if (!AnnounceInstance(config_.instanceFolder, config_.majorVersion, port_)) return 1;
        auto idleUntil = Clock::now() + std::chrono::milliseconds(config_.idleMs);
        while (Clock::now() < idleUntil) {
            LoopbackSocket client = listener_.Accept(kAcceptSliceMs);
            if (!client.IsValid()) continue;
            Serve(client);
            idleUntil = Clock::now() + std::chrono::milliseconds(config_.idleMs);
        }
        WithdrawInstance(config_.instanceFolder, port_);
        return 0;
    }

private:
    bool Listen()
    {
        for (int port = config_.firstPort; port <= config_.lastPort; ++port) {
            listener_ = LoopbackSocket::Listen(port);
            if (listener_.IsValid()) {
                port_ = port;
                return true;
            }
        }
        return false;
    }

    // The hello line, read byte by byte so that nothing of the scene is taken with it.
    bool ReadHello(LoopbackSocket& client)
    {
        std::string line;
        char c = 0;
        while (line.size() < session_protocol::kMaxHelloLength) {
            if (client.Receive(&c, 1, session_protocol::kAnswerTimeoutMs) != 1) return false;
            if (c == '\n') break;
            line += c;
        }
        return c == '\n' && line.compare(0, std::strlen(session_protocol::kHelloPrefix),
                                         session_protocol::kHelloPrefix) == 0;
    }

    void Serve(LoopbackSocket& client)
    {
        if (!ReadHello(client)) return;
        const char* accepted = session_protocol::kAccepted;
        if (!client.SendAll(accepted, std::strlen(accepted), session_protocol::kAnswerTimeoutMs)) {
            return;
        }
        const std::string name = "session_" + std::to_string(port_) + '_' +
                                 std::to_string(++sessions_) + ".vsb";
        const fs::path file = config_.outputFolder / name;
        fs::path part = file;
        part += ".part";
        std::error_code error;
        if (Receive(client, part)) {
            fs::rename(part, file, error);
            const char* received = session_protocol::kReceived;
            if (!error) client.SendAll(received, std::strlen(received), session_protocol::kAnswerTimeoutMs);
        }
        fs::remove(part, error);
    }

    // Stores the session's text in part until the library ends its stream. False when the
    // connection failed, stayed silent too long or brought more than the largest session.
    bool Receive(LoopbackSocket& client, const fs::path& part)
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        std::uint64_t total = 0;
        while (out) {
            const long got = client.Receive(buffer_.data(), buffer_.size(), config_.sessionTimeoutMs);
            if (got == 0) break;  // the end of the session
            if (got < 0) return false;
            total += static_cast<std::uint64_t>(got);
            if (total > config_.maxSessionBytes) return false;
            out.write(buffer_.data(), got);
        }
        out.close();
        return static_cast<bool>(out);
    }

    const RendererConfig& config_;
    LoopbackSocket listener_;
    int port_ = -1;
    int sessions_ = 0;
    std::vector<char> buffer_;
};

}  // namespace

int RunRenderer(const RendererConfig& config) { return RendererServer(config).Run(); }
