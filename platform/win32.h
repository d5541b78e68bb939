// The Windows functions the plug-in calls. On Windows this is <windows.h> itself; elsewhere the
// same names are declared here and implemented over POSIX, so the plug-in's code calls the
// Windows names and never sees which build it is in.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#else
#include "platform/posix/win32_types.h"    // basic types (BOOL, DWORD, HANDLE, ...)
#include "platform/posix/win32_errors.h"   // error codes, the last error
#include "platform/posix/win32_text.h"     // ANSI code page conversions
#include "platform/posix/win32_file.h"     // wide-path file opens, file handles, moves
#include "platform/posix/win32_system.h"   // registry, processes, dynamic libraries, Sleep
#endif
