#include "ui/settings_dialog.h"

#include "plugin/plugin_application.h"

int OnSettings(uiCmdCmdId, uiCmdValue*, void*) {
    GetPluginApplication()->ShowSettingsDialog();
    return 0;
}

bool PluginApplication::ShowSettingsDialog() {
    // Not built yet: the dialog comes with the settings and animation dialogs.
    return false;
}
