// Windows text conversions for the POSIX build.
//
// The ANSI code page is Windows-1252, converted as Windows converts it: the five bytes it leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same value, both
// ways. Answers, error codes and buffer rules are those of the Win32 functions of these names.
#pragma once

#include "platform/posix/win32_errors.h"
#include "platform/posix/win32_types.h"

#define CP_ACP 0

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

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
