// Host wide text (char16_t) handed to the Windows functions. Their WCHAR is wchar_t on Windows,
// 16-bit there, and char16_t itself in the POSIX layer: the same code units either way, so a
// cast is all the hand-over takes.
#pragma once

#include "platform/win32.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t), "Windows wide characters are 16-bit");

inline const WCHAR* Win32Wide(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }
inline WCHAR* Win32Wide(char16_t* text) { return reinterpret_cast<WCHAR*>(text); }
