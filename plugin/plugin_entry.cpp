#include "plugin/plugin_entry.h"

#include "hostcall/host_callback_guard.h"
#include "plugin/plugin_application.h"

int PluginInitialize(int, char*[], char*, char*, ProWchar[80]) noexcept {
    if (RunsToItsEnd([] { GetPluginApplication()->RegisterCommands(); })) return 0;
    // The commands registered before the failure stay the host's: its interface has no way to
    // take one back, and a host that refuses the plug-in drops them with it.
    DestroyPluginApplication();
    return PRO_TK_GENERAL_ERROR;
}

void PluginTerminate() noexcept { DestroyPluginApplication(); }
