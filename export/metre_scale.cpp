// The model's length unit as units per metre.
#include "plugin/plugin_application.h"

float PluginApplication::MetreScaleOfModel(ProMdl) {
    // Not built yet
    return 1.0f;
}
