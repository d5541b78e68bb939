// FlushFileBuffers of the POSIX build, over fsync. In a file of its own, so that a test program
// may stand in for the disk with a FlushFileBuffers of its own.
#include <unistd.h>

#include <cerrno>

#include "platform/posix/win32_file.h"

BOOL FlushFileBuffers(HANDLE hFile) {
    const intptr_t fd = reinterpret_cast<intptr_t>(hFile);
    errno = EBADF;  // a value no descriptor has
    if (fd >= 0 && fd <= INT32_MAX && fsync(static_cast<int>(fd)) == 0) return TRUE;
    SetLastError(errno == EBADF || errno == EINVAL ? ERROR_INVALID_HANDLE
                 : errno == ENOSPC || errno == EDQUOT    ? ERROR_DISK_FULL
                                                        : ERROR_WRITE_FAULT);
    return FALSE;
}
