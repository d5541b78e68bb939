// Windows file functions for the POSIX build: the C runtime's wide-path opens and the system's
// file handles, flushes, moves and replacements.
//
// Paths are stored UTF-8 on disk and both "\" and "/" separate their folders. A handle is the
// file descriptor itself. Answers, error codes (errno for the C runtime's functions, the last
// error for the system's) and buffer rules are those of the Windows functions of these names;
// an allocation that fails inside one of them is a failure of the call (ENOMEM, or
// ERROR_NOT_ENOUGH_MEMORY), never an exception.
#pragma once

#include <cstdio>

#include "platform/posix/win32_errors.h"
#include "platform/posix/win32_types.h"

// The length of a path that Windows' fixed buffers hold, terminating zero included.
#define MAX_PATH 260

// ---- The C runtime -----------------------------------------------------------------------------
// fopen with a wide path and mode. As on Windows, the open itself never waits: a FIFO opens at
// once (for writing only while it has a reader), and its reads and writes then block as usual.
// Answers null with errno set on failure (EINVAL for a path or mode that has no UTF-8 form).
FILE* _wfopen(const WCHAR* filename, const WCHAR* mode);

// open with a wide path, never waiting, as _wfopen. oflag: one of _O_RDONLY, _O_WRONLY and
// _O_RDWR, with any of the flags below; with _O_CREAT a third argument, _S_IREAD with or
// without _S_IWRITE, tells whether a file it creates may be written (without _S_IWRITE it is
// read-only). Answers the descriptor, or -1 with errno set (EEXIST when _O_CREAT | _O_EXCL
// finds the file there; EINVAL for a flag it does not know).
#define _O_RDONLY 0x0000
#define _O_WRONLY 0x0001
#define _O_RDWR 0x0002
#define _O_APPEND 0x0008
#define _O_NOINHERIT 0x0080
#define _O_CREAT 0x0100
#define _O_TRUNC 0x0200
#define _O_EXCL 0x0400
#define _O_TEXT 0x4000
#define _O_BINARY 0x8000
#define _S_IWRITE 0x0080
#define _S_IREAD 0x0100
int _wopen(const WCHAR* filename, int oflag, ...);

// A stream on an open descriptor, with the mode letters of _wfopen; null with errno set when it
// cannot be made (the descriptor stays open then). _close closes a descriptor: 0, or -1.
FILE* _fdopen(int fd, const char* mode);
int _close(int fd);

// The C runtime's descriptor of a stream, and the system handle behind a descriptor
// (INVALID_HANDLE_VALUE's value, -1, for one that is not open).
int _fileno(FILE* stream);
intptr_t _get_osfhandle(int fd);

// Removes the file at a wide path. Answers 0, or -1 with errno set.
int _wremove(const WCHAR* filename);

// ---- The system --------------------------------------------------------------------------------
// What kind of file a handle of _get_osfhandle is: FILE_TYPE_DISK for a regular file,
// FILE_TYPE_CHAR for a character device, FILE_TYPE_PIPE for a FIFO or socket, FILE_TYPE_UNKNOWN
// for anything else (a folder, a block device) or a handle that is not open.
#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003
DWORD GetFileType(HANDLE hFile);

// Writes the system's buffers of the file a handle is open on to the disk (fsync). FALSE with
// the last error set when that fails (ERROR_INVALID_HANDLE, ERROR_DISK_FULL, ERROR_WRITE_FAULT).
BOOL FlushFileBuffers(HANDLE hFile);

// Moves a file or folder to a new path in the same file system (rename). Only
// MOVEFILE_REPLACE_EXISTING is supported as dwFlags (else ERROR_NOT_SUPPORTED): a file at the new
// path is then replaced in one step, unless it is a folder or a read-only file: one the caller
// may not write, or one without any write permission, which even the superuser may not replace
// (Windows will not replace a read-only file, not for an administrator either); both answer
// ERROR_ACCESS_DENIED. A symbolic
// link at the new path is itself replaced, as on Windows. FALSE with the last error set on
// failure (ERROR_FILE_NOT_FOUND, ERROR_NOT_SAME_DEVICE, ERROR_DISK_FULL, ERROR_INVALID_NAME for
// a path with no UTF-8 form, ...).
#define MOVEFILE_REPLACE_EXISTING 0x00000001
BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);

// Puts the file lpReplacementFileName in the place of lpReplacedFileName in one step (rename),
// after giving it the replaced file's mode and, where the caller may set them, its owner and
// group (else the group alone, else neither): what stands for Windows keeping the replaced
// file's ACL and attributes. No backup: lpBackupFileName, lpExclude and lpReserved must be null,
// and dwReplaceFlags 0 or REPLACEFILE_IGNORE_MERGE_ERRORS (else ERROR_INVALID_PARAMETER). FALSE
// with the last error set on failure, the replaced file left as it was: ERROR_FILE_NOT_FOUND when
// no file is to be replaced, ERROR_ACCESS_DENIED for a folder or a read-only file as with
// MoveFileExW, and the errors of MoveFileExW.
#define REPLACEFILE_IGNORE_MERGE_ERRORS 0x00000002
BOOL ReplaceFileW(LPCWSTR lpReplacedFileName, LPCWSTR lpReplacementFileName,
                  LPCWSTR lpBackupFileName, DWORD dwReplaceFlags, LPVOID lpExclude,
                  LPVOID lpReserved);
