#include "link/registry_value.h"

#include <vector>

#include "platform/win32_wide.h"

RegistryKey::RegistryKey(HKEY root, const std::u16string& path, REGSAM access)
{
    if (RegOpenKeyExW(root, Win32Wide(path.c_str()), 0, access, &key_) != ERROR_SUCCESS) {
        key_ = nullptr;
    }
}

RegistryKey::~RegistryKey()
{
    if (key_ != nullptr) RegCloseKey(key_);
}

bool ReadRegistryText(const RegistryKey& key, const char16_t* name, DWORD bufferBytes,
                      std::u16string& text)
{
    if (!key.IsOpen()) return false;
    std::vector<char16_t> buffer(bufferBytes / sizeof(char16_t) + 1, u'\0');
    DWORD size = bufferBytes;
    if (RegQueryValueExW(key.Get(), Win32Wide(name), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        return false;
    }
    // The buffer holds one zero more than bufferBytes allows, so a text that fills the buffer
    // without a zero of its own still ends inside it.
    const std::size_t units = (size < bufferBytes ? size : bufferBytes) / sizeof(char16_t);
    std::size_t length = 0;
    while (length < units && buffer[length] != u'\0') ++length;
    text.assign(buffer.data(), length);
    return true;
}

bool ReadRegistryNumber(const RegistryKey& key, const char16_t* name, DWORD& number)
{
    if (!key.IsOpen()) return false;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.Get(), Win32Wide(name), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return false;
    }
    number = value;
    return true;
}
