#include "plugin/plugin_entry.h"

#include "hostcall/host_callback_guard.h"
#include "plugin/plugin_application.h"

int PluginInitialize(int, char*[], char*, char*, ProWchar[80]) noexcept {
    if (RunsToItsEnd([] { GetPluginApplication()->RegisterCommands(); })) return 0;
    // The commands registered before the failure stay the host's: its interface has no way to
    // take one back. Their actions create the plug-in object anew should they ever run.
    DestroyPluginApplication();
    return PRO_TK_GENERAL_ERROR;
}

void PluginTerminate() noexcept { DestroyPluginApplication(); }
