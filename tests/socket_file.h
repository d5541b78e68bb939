// A socket file that a test makes for itself, POSIX only: a file that is neither a regular file
// nor a folder, nor a FIFO, and that no open for reading or writing gets through.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

// Binds a socket to path (short enough for a socket address) and closes it: the file stays.
inline bool MakeSocket(const char* path) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool made =
        fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) close(fd);
    return made;
}
