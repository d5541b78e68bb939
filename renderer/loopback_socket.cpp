#include "renderer/loopback_socket.h"

#include <cstring>

#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

#ifdef _WIN32
using Native = SOCKET;
constexpr int kSendFlags = 0;  // Winsock raises no signal on a closed connection
bool WouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
void CloseNative(Native s) { closesocket(s); }
bool SetNonBlocking(Native s)
{
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}
Native NewSocket() { return socket(AF_INET, SOCK_STREAM, IPPROTO_TCP); }
#else
using Native = int;
// MSG_NOSIGNAL: a write to a closed connection answers EPIPE instead of killing the process.
constexpr int kSendFlags = MSG_NOSIGNAL;
bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINPROGRESS; }
void CloseNative(Native s) { close(s); }
bool SetNonBlocking(Native s)
{
    const int flags = fcntl(s, F_GETFL, 0);
    return flags >= 0 && fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
Native NewSocket()
{
    const Native s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
#ifdef SO_NOSIGPIPE
    if (s >= 0) {
        const int on = 1;
        setsockopt(s, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
    }
#endif
    return s;
}
#endif

Native AsNative(std::uintptr_t handle) { return static_cast<Native>(handle); }

sockaddr_in LoopbackAddress(int port)
{
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<unsigned short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

#ifdef _WIN32
SocketLibrary::SocketLibrary()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}
SocketLibrary::~SocketLibrary() { WSACleanup(); }
#else
SocketLibrary::SocketLibrary() = default;
SocketLibrary::~SocketLibrary() = default;
#endif

LoopbackSocket::~LoopbackSocket() { Close(); }

LoopbackSocket::LoopbackSocket(LoopbackSocket&& other) noexcept : handle_(other.handle_)
{
    other.handle_ = kInvalid;
}

LoopbackSocket& LoopbackSocket::operator=(LoopbackSocket&& other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = kInvalid;
    }
    return *this;
}

bool LoopbackSocket::IsValid() const { return handle_ != kInvalid; }

void LoopbackSocket::Close()
{
    if (IsValid()) CloseNative(AsNative(handle_));
    handle_ = kInvalid;
}

bool LoopbackSocket::Wait(bool forWriting, int timeoutMs) const
{
#ifdef _WIN32
    // select, not WSAPoll: WSAPoll misses a refused connection on some Windows versions.
    fd_set set;
    FD_ZERO(&set);
    FD_SET(AsNative(handle_), &set);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(AsNative(handle_), &failed);
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = forWriting ? select(0, nullptr, &set, &failed, &timeout)
                                 : select(0, &set, nullptr, &failed, &timeout);
    return ready > 0 && FD_ISSET(AsNative(handle_), &set);
#else
    pollfd entry{AsNative(handle_), static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    int ready;
    do {
        ready = poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
#endif
}

LoopbackSocket LoopbackSocket::Connect(int port, int timeoutMs)
{
    LoopbackSocket s(static_cast<std::uintptr_t>(NewSocket()));
    if (!s.IsValid() || !SetNonBlocking(AsNative(s.handle_))) return LoopbackSocket();
    const sockaddr_in address = LoopbackAddress(port);
    if (connect(AsNative(s.handle_), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        return s;
    }
    if (!WouldBlock() || !s.Wait(true, timeoutMs)) return LoopbackSocket();
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(AsNative(s.handle_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                   &length) != 0 ||
        error != 0) {
        return LoopbackSocket();
    }
    return s;
}

LoopbackSocket LoopbackSocket::Listen(int port)
{
    LoopbackSocket s(static_cast<std::uintptr_t>(NewSocket()));
    if (!s.IsValid() || !SetNonBlocking(AsNative(s.handle_))) return LoopbackSocket();
    const int on = 1;
#ifdef _WIN32
    // Nobody else may bind the port while it is ours.
    setsockopt(AsNative(s.handle_), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&on), sizeof on);
#else
    // A port left in TIME_WAIT by an earlier renderer may be taken again.
    setsockopt(AsNative(s.handle_), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
    const sockaddr_in address = LoopbackAddress(port);
    if (bind(AsNative(s.handle_), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(AsNative(s.handle_), 4) != 0) {
        return LoopbackSocket();
    }
    return s;
}

int LoopbackSocket::LocalPort() const
{
    if (!IsValid()) return -1;
    sockaddr_in address;
    socklen_t length = sizeof address;
    if (getsockname(AsNative(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    return ntohs(address.sin_port);
}

LoopbackSocket LoopbackSocket::Accept(int timeoutMs)
{
    if (!IsValid() || !Wait(false, timeoutMs)) return LoopbackSocket();
#ifdef _WIN32
    LoopbackSocket client(static_cast<std::uintptr_t>(accept(AsNative(handle_), nullptr, nullptr)));
#else
    LoopbackSocket client(
        static_cast<std::uintptr_t>(accept4(AsNative(handle_), nullptr, nullptr, SOCK_CLOEXEC)));
#endif
    if (!client.IsValid() || !SetNonBlocking(AsNative(client.handle_))) return LoopbackSocket();
    return client;
}

bool LoopbackSocket::SendAll(const void* data, std::size_t size, int timeoutMs)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0 && IsValid()) {
        const int chunk = static_cast<int>(size < (1u << 20) ? size : (1u << 20));
        const auto sent = send(AsNative(handle_), bytes, chunk, kSendFlags);
        if (sent > 0) {
            bytes += sent;
            size -= static_cast<std::size_t>(sent);
        } else if (sent < 0 && WouldBlock()) {
            if (!Wait(true, timeoutMs)) return false;
        } else {
            return false;
        }
    }
    return size == 0;
}

long LoopbackSocket::Receive(void* data, std::size_t size, int timeoutMs)
{
    if (!IsValid()) return -1;
    const int chunk = static_cast<int>(size < (1u << 20) ? size : (1u << 20));
    while (true) {
        const auto received = recv(AsNative(handle_), static_cast<char*>(data), chunk, 0);
        if (received >= 0) return static_cast<long>(received);
        if (!WouldBlock() || !Wait(false, timeoutMs)) return -1;
    }
}

void LoopbackSocket::ShutdownSend()
{
#ifdef _WIN32
    if (IsValid()) shutdown(AsNative(handle_), SD_SEND);
#else
    if (IsValid()) shutdown(AsNative(handle_), SHUT_WR);
#endif
}
