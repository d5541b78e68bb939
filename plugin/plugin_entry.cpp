#include "plugin/plugin_entry.h"

#include "plugin/plugin_application.h"

int PluginInitialize(int, char*[], char*, char*, ProWchar[80]) {
    GetPluginApplication()->RegisterCommands();
    return 0;
}

void PluginTerminate() { DestroyPluginApplication(); }
