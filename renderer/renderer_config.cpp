#include "renderer/renderer_config.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/win32.h"
#include "platform/win32_wide.h"
#include "renderer/instance_directory.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultPort = 4000;
constexpr int kMaxPorts = 1000;

// A registry key that closes itself.
class Key {
public:
    Key(HKEY root, const std::u16string& path)
    {
        if (RegOpenKeyExW(root, Win32Wide(path.c_str()), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~Key()
    {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Number(const char16_t* name, std::uint32_t& value) const
    {
        DWORD data = 0;
        DWORD size = sizeof data;
        if (key_ == nullptr ||
            RegQueryValueExW(key_, Win32Wide(name), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
            size != sizeof data) {
            return false;
        }
        value = data;
        return true;
    }

    bool Text(const char16_t* name, std::u16string& text) const
    {
        char16_t buffer[128] = {};
        DWORD size = sizeof buffer - sizeof(char16_t);  // room for a zero of our own
        if (key_ == nullptr ||
            RegQueryValueExW(key_, Win32Wide(name), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
            return false;
        }
        text = buffer;
        return true;
    }

private:
    HKEY key_ = nullptr;
};

std::u16string UserKeyPath()
{
    std::u16string version;
    if (Key(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Tarvex").Text(u"VistrelVersion", version)) {
        return u"SOFTWARE\\Tarvex\\" + version;
    }
    return u"SOFTWARE\\Tarvex\\Vistrel 4";
}

// The environment variable as a number from minimum to maximum, else fallback.
long long EnvironmentNumber(const char* name, long long fallback, long long minimum, long long maximum)
{
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum) return fallback;
    return value;
}

fs::path EnvironmentFolder(const char* name, const fs::path& fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? fs::u8path(text) : fallback;
}

}  // namespace

void ChoosePortRange(const std::uint32_t* port, const std::uint32_t* maxPort, int& first, int& last)
{
    const bool usablePort = port != nullptr && *port >= 1 && *port <= 65535;
    first = usablePort ? static_cast<int>(*port) : kDefaultPort;
    last = first;
    if (usablePort && maxPort != nullptr && *maxPort > *port && *maxPort <= 65535) {
        last = static_cast<int>(*maxPort);
    }
    if (last - first >= kMaxPorts) last = first + kMaxPorts - 1;
}

RendererConfig ReadRendererConfig()
{
    RendererConfig config;
    const Key user(HKEY_CURRENT_USER, UserKeyPath());
    std::uint32_t port = 0;
    std::uint32_t maxPort = 0;
    const bool hasPort = user.Number(u"LiveLinkPort", port);
    const bool hasMax = user.Number(u"LiveLinkMaxPort", maxPort);
    ChoosePortRange(hasPort ? &port : nullptr, hasMax ? &maxPort : nullptr, config.firstPort,
                    config.lastPort);

    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    config.instanceFolder = InstanceFolder();
    config.outputFolder = EnvironmentFolder("VISTREL_RENDERER_OUTPUT", error ? fs::path(".") : temp);
    config.idleMs = static_cast<int>(
        EnvironmentNumber("VISTREL_RENDERER_IDLE_MS", config.idleMs, 50, 3600000));
    config.sessionTimeoutMs = static_cast<int>(EnvironmentNumber(
        "VISTREL_RENDERER_SESSION_TIMEOUT_MS", config.sessionTimeoutMs, 50, 3600000));
    config.maxSessionBytes = static_cast<std::uint64_t>(EnvironmentNumber(
        "VISTREL_RENDERER_MAX_SESSION_BYTES", static_cast<long long>(config.maxSessionBytes), 0,
        static_cast<long long>(config.maxSessionBytes)));
    return config;
}
