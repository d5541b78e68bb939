// Opening the files that the plug-in reads, or rewrites in place, at a path the user or the
// process's folder named: only a regular file is used. A folder, a device (/dev/zero, CON), a
// FIFO or a pipe would block the host or never end, and is not a file of the plug-in's anyway.
#pragma once

#include <cstdio>
#include <memory>

// Closes the file it is given.
struct CloseFile {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};

// An open file, closed when its holder goes: on every way out, a failure on the way included.
using HeldFile = std::unique_ptr<FILE, CloseFile>;

// Whether the open file is a regular file (FILE_TYPE_DISK).
bool IsRegularFile(FILE* file);

// _wfopen(path, mode) when path names a regular file; null (with nothing read or written) for
// any other kind of file, and when the open fails. The open never waits for the other side of
// a FIFO. A mode that creates ("w", "a") creates a regular file where none exists.
HeldFile OpenRegularFile(const char16_t* path, const char16_t* mode);
