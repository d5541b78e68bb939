// Test support: how many files, registry keys and process handles this process holds open, so
// that a test can check that an operation closes whatever it opens. The POSIX build counts its
// open file descriptors and the keys and process handles of its stand-ins of the Windows
// functions. The Windows build answers 0: its tests run under wine, whose handle count is 0
// whatever is open, so there the checks hold trivially and the POSIX builds carry them.
#pragma once

#include <cstddef>

#ifdef _WIN32
inline std::size_t OpenFileCount() { return 0; }
inline std::size_t OpenKeyAndProcessCount() { return 0; }
#else
#include <filesystem>

#include "platform/win32.h"

inline std::size_t OpenFileCount() {
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd");
         it != std::filesystem::directory_iterator(); ++it)
        ++count;
    return count;
}
inline std::size_t OpenKeyAndProcessCount() {
    return OpenRegistryKeyCount() + OpenProcessHandleCount();
}
#endif
