// TCP on the loopback address 127.0.0.1, for the stand-in renderer and its live-link library.
// Every wait is bounded by a timeout, and writing to a connection that the other side has
// closed fails instead of raising SIGPIPE, so neither a stuck nor a vanished peer can hang or
// kill the process that holds the socket.
#pragma once

#include <cstddef>
#include <cstdint>

// The system's socket library, started while an object of this class exists (Winsock needs
// it; on POSIX it does nothing). Objects may nest.
class SocketLibrary {
public:
    SocketLibrary();
    ~SocketLibrary();
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;
};

class LoopbackSocket {
public:
    LoopbackSocket() = default;
    ~LoopbackSocket();
    LoopbackSocket(LoopbackSocket&& other) noexcept;
    LoopbackSocket& operator=(LoopbackSocket&& other) noexcept;
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    // A connection to 127.0.0.1:port, or an invalid socket when none was made in timeoutMs.
    static LoopbackSocket Connect(int port, int timeoutMs);
    // A socket listening on 127.0.0.1:port (0: a free port the system picks), or an invalid
    // socket when the port is taken.
    static LoopbackSocket Listen(int port);

    bool IsValid() const;
    // The local port of a bound socket, or -1.
    int LocalPort() const;

    // The next connection, or an invalid socket when none came within timeoutMs.
    LoopbackSocket Accept(int timeoutMs);
    // Sends all size bytes; false when the connection failed or the peer took nothing for
    // timeoutMs.
    bool SendAll(const void* data, std::size_t size, int timeoutMs);
    // Receives up to size bytes: the count received, 0 when the peer ended the connection, -1
    // on an error or when nothing came within timeoutMs.
    long Receive(void* data, std::size_t size, int timeoutMs);
    // No more sending: the peer receives the end of the stream.
    void ShutdownSend();
    void Close();

private:
    explicit LoopbackSocket(std::uintptr_t handle) : handle_(handle) {}
    bool Wait(bool forWriting, int timeoutMs) const;

    static constexpr std::uintptr_t kInvalid = ~static_cast<std::uintptr_t>(0);
    std::uintptr_t handle_ = kInvalid;  // a file descriptor, or a Winsock SOCKET
};
