// The Windows registry functions over the registry file named by VISTREL_REGISTRY_FILE.
#include <sys/stat.h>
#include <time.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/registry_file.h"
#include "platform/utf8.h"
#include "platform/win32.h"

// An open key: its full path and the values it had when it was opened.
struct HKEY__ {
    std::string path;
    REGSAM access = 0;
    RegistryFile::ValueMap values;
};

namespace {

constexpr const char* kRegistryFileVariable = "VISTREL_REGISTRY_FILE";

// Handles that RegOpenKeyExW gave out and that are not closed yet; anything else passed as a
// key is rejected instead of being dereferenced.
std::mutex openKeysMutex;
std::set<HKEY> openKeys;

// What tells one state of the registry file from another: the file in place, its size, the time
// it was last modified and the time its inode last changed (a missing file has none). A tool can
// set the modification time back (cp -p, tar), but every write and every such setting moves the
// change time to the present.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};
    timespec changed = {};

    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && SameTime(modified, other.modified) &&
               SameTime(changed, other.changed);
    }

    static bool SameTime(const timespec& a, const timespec& b)
    {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    }
};

FileStamp StampOf(const std::string& path)
{
    FileStamp stamp;
    struct stat status = {};
    if (path.empty() || stat(path.c_str(), &status) != 0) return stamp;
    stamp.exists = true;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
    stamp.modified = status.st_mtim;
    stamp.changed = status.st_ctim;
    return stamp;
}

// File systems take their times from a coarse clock (a few milliseconds on Linux, as coarse as
// two seconds on FAT), so two writes of the same size within one of its ticks leave the same
// stamp. A stamp whose change time lies this close to the moment it was taken, or after it, may
// hide such a write, and so does not stand for the content read.
constexpr time_t kFileClockTickSeconds = 2;

bool StampMayHideAWrite(const FileStamp& stamp, const timespec& takenAt)
{
    return stamp.exists && stamp.changed.tv_sec >= takenAt.tv_sec - kFileClockTickSeconds;
}

// The registry as last read, and what it was read from. Every registry call needs it, and a
// registry file may be large, so it is parsed again only when the variable names another file
// or the file has changed, or may have changed unseen.
struct LoadedRegistry {
    std::string path;
    FileStamp stamp;
    bool stampStands = false;
    std::shared_ptr<const RegistryFile> registry;
};

std::mutex loadedMutex;
LoadedRegistry loaded;

std::shared_ptr<const RegistryFile> CurrentRegistry()
{
    const char* variable = std::getenv(kRegistryFileVariable);
    const std::string path = variable != nullptr ? variable : "";
    // Taken before the file is read: a change made while it is read is seen by the next call.
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    const FileStamp stamp = StampOf(path);
    std::lock_guard<std::mutex> lock(loadedMutex);
    if (loaded.registry == nullptr || path != loaded.path || !loaded.stampStands ||
        !(stamp == loaded.stamp)) {
        loaded.registry = std::make_shared<const RegistryFile>(
            path.empty() ? RegistryFile() : RegistryFile::Load(path));
        loaded.path = path;
        loaded.stamp = stamp;
        loaded.stampStands = !StampMayHideAWrite(stamp, now);
    }
    return loaded.registry;
}

const char* RootName(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (key == HKEY_USERS) return "HKEY_USERS";
    return nullptr;
}

std::string WideToUtf8(LPCWSTR text)
{
    if (text == nullptr) return std::string();
    return Utf16ToUtf8(std::u16string_view(text));
}

// The path and access of hKey, a root or an open key; false for an unknown handle.
bool Resolve(HKEY key, std::string& path, REGSAM& access)
{
    if (const char* root = RootName(key)) {
        path = root;
        access = KEY_READ;
        return true;
    }
    std::lock_guard<std::mutex> lock(openKeysMutex);
    if (openKeys.count(key) == 0) return false;
    path = key->path;
    access = key->access;
    return true;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                      PHKEY phkResult)
{
    (void)ulOptions;
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::string path;
    REGSAM parentAccess = 0;
    if (!Resolve(hKey, path, parentAccess)) return ERROR_INVALID_HANDLE;
    std::string subKey = WideToUtf8(lpSubKey);
    if (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
    if (!subKey.empty()) path += '\\' + subKey;

    const std::shared_ptr<const RegistryFile> registry = CurrentRegistry();
    if (!registry->HasKey(path)) return ERROR_FILE_NOT_FOUND;
    auto key = new HKEY__;
    key->path = RegistryFile::Fold(path);
    key->access = samDesired;
    if (const RegistryFile::ValueMap* values = registry->Values(path)) key->values = *values;
    {
        std::lock_guard<std::mutex> lock(openKeysMutex);
        openKeys.insert(key);
    }
    *phkResult = key;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string path;
    REGSAM access = 0;
    if (!Resolve(hKey, path, access)) return ERROR_INVALID_HANDLE;
    if ((access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;

    // A root's values are read where they lie in the registry, which is held for the query.
    std::shared_ptr<const RegistryFile> registry;
    const RegistryFile::ValueMap* values = nullptr;
    if (RootName(hKey) != nullptr) {
        registry = CurrentRegistry();
        values = registry->Values(path);
        if (values == nullptr) return ERROR_FILE_NOT_FOUND;
    } else {
        values = &hKey->values;
    }
    const auto it = values->find(RegistryFile::Fold(WideToUtf8(lpValueName)));
    if (it == values->end()) return ERROR_FILE_NOT_FOUND;

    const RegistryValue& value = it->second;
    const auto size = static_cast<DWORD>(value.data.size());
    if (lpType != nullptr) *lpType = value.type;
    if (lpcbData == nullptr) return ERROR_SUCCESS;
    if (lpData != nullptr && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData != nullptr && size != 0) std::memcpy(lpData, value.data.data(), size);
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey)
{
    if (RootName(hKey) != nullptr) return ERROR_SUCCESS;
    {
        std::lock_guard<std::mutex> lock(openKeysMutex);
        if (openKeys.erase(hKey) == 0) return ERROR_INVALID_HANDLE;
    }
    delete hKey;
    return ERROR_SUCCESS;
}

std::size_t OpenRegistryKeyCount()
{
    std::lock_guard<std::mutex> lock(openKeysMutex);
    return openKeys.size();
}
