// Registry reads of the renderer link: a key that closes itself, and values read into buffers
// of a fixed size. A value that is missing or does not fit its buffer counts as missing; its
// registry type is not checked.
#pragma once

#include <string>

#include "platform/win32.h"

// KEY_READ with KEY_WOW64_32KEY: the renderer's keys in the 32-bit view, as the renderer's
// installation writes them.
constexpr REGSAM kRegistryRead32 = 0x20219;
// KEY_READ alone.
constexpr REGSAM kRegistryRead = 0x20019;

// The renderer's keys lie below this one, under the machine and under the current user.
constexpr char16_t kTarvexKey[] = u"SOFTWARE\\Tarvex";

class RegistryKey {
public:
    // Opens path under root; IsOpen() tells whether that worked.
    RegistryKey(HKEY root, const std::u16string& path, REGSAM access);
    ~RegistryKey();

    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return key_ != nullptr; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Reads the value name of an open key into a buffer of bufferBytes and answers it as wide
// text: up to its terminating zero, or up to the end of the buffer when there is none. False
// when the key is not open or the value is missing or does not fit.
bool ReadRegistryText(const RegistryKey& key, const char16_t* name, DWORD bufferBytes,
                      std::u16string& text);

// Reads the value name into 4 bytes, as a number. False as for ReadRegistryText.
bool ReadRegistryNumber(const RegistryKey& key, const char16_t* name, DWORD& number);
