#include "plugin/plugin_application.h"

bool PluginApplication::HasPartInstances(const std::string& key) const {
    return partInstanceRegistry.count(key) != 0;
}

void PluginApplication::ExportSolidInstances(const std::string&, const std::string&) {
    // Not built yet
}
