// The export roads: the current model to a scene file, a new renderer or a running renderer.
#include "plugin/plugin_application.h"

void PluginApplication::ExportToSceneFile() {
    // Not built yet: the scene file road comes with the model export.
}

void PluginApplication::RenderOverLiveLink() {
    // Not built yet: the live road comes with the renderer link.
}

void PluginApplication::UpdateOverLiveLink() {
    // Not built yet: the live road comes with the renderer link.
}
