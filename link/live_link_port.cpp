#include "link/live_link_port.h"

#include <string>

#include "link/registry_value.h"
#include "platform/win32.h"

namespace {

// The current user's key of the renderer version the machine names.
std::u16string UserVersionKey()
{
    const RegistryKey tarvex(HKEY_LOCAL_MACHINE, kTarvexKey, kRegistryRead);
    std::u16string version;
    if (ReadRegistryText(tarvex, u"VistrelVersion", 256, version)) {
        return kTarvexKey + (u'\\' + version);
    }
    return kTarvexKey + std::u16string(u"\\Vistrel 4");
}

}  // namespace

int ReadLiveLinkPortRange(int* port, int* maxPort)
{
    const RegistryKey user(HKEY_CURRENT_USER, UserVersionKey(), kRegistryRead);
    if (!user.IsOpen()) return -3;
    DWORD number = 0;
    if (!ReadRegistryNumber(user, u"LiveLinkPort", number)) return -2;
    if (port != nullptr) *port = static_cast<int>(number);
    if (!ReadRegistryNumber(user, u"LiveLinkMaxPort", number)) return -1;
    if (maxPort != nullptr) *maxPort = static_cast<int>(number);
    return 0;
}
