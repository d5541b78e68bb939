// Windows registry, processes, dynamic libraries and Sleep for the POSIX build.
//
// The registry is read from a registry file in the text format of the Windows registry editor
// ("Windows Registry Editor Version 5.00"); the environment variable VISTREL_REGISTRY_FILE names
// it. Without that variable, or with a file that cannot be read or does not begin with that
// header line, the registry holds no keys at all. The file is parsed again when it has changed
// since it was last read (its path, identity, size or times differ), so a key handle sees the
// values as they stood when it was opened. There is one registry view:
// KEY_WOW64_32KEY and KEY_WOW64_64KEY change nothing.
//
// Answers and error codes are those of the Win32 functions of these names (the last error is
// not set). Paths are UTF-8 on
// disk, and both "\" and "/" separate their folders.
#pragma once

#include "platform/posix/win32_errors.h"
#include "platform/posix/win32_types.h"

typedef uint16_t WORD;
typedef LONG LSTATUS;
typedef DWORD ACCESS_MASK;
typedef ACCESS_MASK REGSAM;

// ---- Registry ----------------------------------------------------------------------------------
struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define HKEY_USERS ((HKEY)(uintptr_t)0x80000003u)

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define READ_CONTROL 0x00020000
#define STANDARD_RIGHTS_READ READ_CONTROL
#define KEY_READ (STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY)

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

// Opens lpSubKey below hKey (a root or an open key; an empty or null sub-key opens hKey again).
// ERROR_FILE_NOT_FOUND when the key does not exist, ERROR_INVALID_HANDLE for an unknown hKey,
// ERROR_INVALID_PARAMETER without phkResult. A key exists when the registry file names it or a
// key below it. The handle must be closed with RegCloseKey.
LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                      PHKEY phkResult);

// Reads the value lpValueName (null or empty: the key's default value "@"). lpType gets its type
// when not null. With lpData null, *lpcbData gets the size of the value. ERROR_MORE_DATA when
// *lpcbData is smaller than the value (*lpcbData then gets the size needed and lpData is left as
// it was), ERROR_FILE_NOT_FOUND when the value is missing, ERROR_ACCESS_DENIED when the key was
// opened without KEY_QUERY_VALUE. A string value holds UTF-16 text with its terminating zero.
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData);

// Closes a key opened by RegOpenKeyExW; closing a root key does nothing and succeeds.
LSTATUS RegCloseKey(HKEY hKey);

// ---- Dynamic libraries -------------------------------------------------------------------------
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef intptr_t(WINAPI* FARPROC)();

// dlopen of the path (a bare name goes through the system's library search). Null when the
// library cannot be loaded, also for an empty name.
HMODULE LoadLibraryW(LPCWSTR lpLibFileName);

// dlsym of the exported name; null when the module or the name is unknown.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// dlclose; FALSE for a null module or when dlclose fails.
BOOL FreeLibrary(HMODULE hLibModule);

// ---- Processes ---------------------------------------------------------------------------------
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Starts the executable lpApplicationName with posix_spawn, with the caller's environment and
// current directory; its argument vector is the path alone. Without bInheritHandles the child
// keeps only its standard input, output and error. Only what the plug-in uses is supported:
// an application name, no command line, no environment block, no directory (any of those
// answers FALSE). lpProcessInformation gets two handles (process and
// thread) that the caller closes with CloseHandle. FALSE when the process cannot be started.
BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                    LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                    DWORD dwCreationFlags, LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory,
                    LPSTARTUPINFOW lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation);

// The calling process's id (getpid).
DWORD GetCurrentProcessId();

// Closes a handle from CreateProcessW; FALSE for a handle that is not open. Closing a process
// handle does not wait for the process: every child these functions started is reaped at their
// next call once it has ended, its handles open or not.
BOOL CloseHandle(HANDLE hObject);

// ---- Time --------------------------------------------------------------------------------------
// Waits dwMilliseconds.
void Sleep(DWORD dwMilliseconds);

// ---- Open handles ------------------------------------------------------------------------------
// Not Windows functions: how many keys of RegOpenKeyExW and handles of CreateProcessW are open
// now, so that tests can check that an operation closes every one it opened.
std::size_t OpenRegistryKeyCount();
std::size_t OpenProcessHandleCount();
