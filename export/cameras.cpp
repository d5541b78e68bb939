// Cameras of the model's views.
#include "plugin/plugin_application.h"

void PluginApplication::ExportCameras(ProMdl&) {
    // Not built yet
}
