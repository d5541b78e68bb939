#include "ui/animation_dialog.h"

#include "plugin/plugin_application.h"

bool PluginApplication::ShowAnimationDialog() {
    // Not built yet
    return false;
}
