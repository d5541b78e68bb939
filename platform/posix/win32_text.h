// Windows text conversions and wide-path file opens for the POSIX build.
//
// The ANSI code page is Windows-1252, converted as Windows converts it: the five bytes it leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same value, both
// ways. Answers, error codes and buffer rules are those of the Win32 functions of these names.
#pragma once

#include <cstdio>

#include "platform/posix/win32_types.h"

#define CP_ACP 0

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_INSUFFICIENT_BUFFER
#define ERROR_INSUFFICIENT_BUFFER 122L
#endif
#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif

// The calling thread's last error, as the Win32 functions of this layer leave it.
DWORD GetLastError();
void SetLastError(DWORD error);

// Wide (16-bit) text to the code page. cchWideChar -1 converts up to and including the
// terminating zero; cbMultiByte 0 asks for the size only. Answers the number of bytes written
// (or needed), or 0 with the last error set: ERROR_INSUFFICIENT_BUFFER when the output does not
// fit (the buffer then holds the part that did), ERROR_INVALID_PARAMETER for a code page other
// than CP_ACP (or 1252) or bad arguments, ERROR_INVALID_FLAGS for flags it does not know.
// A character the code page lacks becomes lpDefaultChar's first byte (default "?") under
// WC_NO_BEST_FIT_CHARS, else its best-fit byte when it has one; *lpUsedDefaultChar tells.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);

// Code-page text to wide text, one wide character per byte; same length and buffer rules.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);

// fopen with a wide path and mode. The path is stored UTF-8 on disk and both "\" and "/"
// separate its folders. As on Windows, the open itself never waits: a FIFO opens at once (for
// writing only while it has a reader), and its reads and writes then block as usual. Answers
// null with errno set on failure (EINVAL for a path or mode that has no UTF-8 form).
FILE* _wfopen(const WCHAR* filename, const WCHAR* mode);

// As _wfopen; *pFile gets the file or null. Answers 0 or the errno value of the failure.
errno_t _wfopen_s(FILE** pFile, const WCHAR* filename, const WCHAR* mode);

// The C runtime's descriptor of a stream, and the system handle behind a descriptor
// (INVALID_HANDLE_VALUE's value, -1, for one that is not open).
int _fileno(FILE* stream);
intptr_t _get_osfhandle(int fd);

// What kind of file a handle of _get_osfhandle is: FILE_TYPE_DISK for a regular file,
// FILE_TYPE_CHAR for a character device, FILE_TYPE_PIPE for a FIFO or socket, FILE_TYPE_UNKNOWN
// for anything else (a folder, a block device) or a handle that is not open.
#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003
DWORD GetFileType(HANDLE hFile);

// Removes the file at a wide path, read as _wfopen reads it. Answers 0, or -1 with errno set.
int _wremove(const WCHAR* filename);
