// The Windows functions the plug-in calls. On Windows this is <windows.h> itself; elsewhere the
// same names are declared here and implemented over POSIX, so the plug-in's code calls the
// Windows names and never sees which build it is in.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <stdio.h>
#else
#include "platform/posix/win32_types.h"    // basic types (BOOL, DWORD, HANDLE, ...)
#include "platform/posix/win32_text.h"     // ANSI code page conversions, wide-path file opens
#include "platform/posix/win32_system.h"   // registry, processes, dynamic libraries, Sleep
#endif
