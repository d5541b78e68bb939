// Fuzz target: the settings file reader, on any bytes that may lie in the settings file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plugin/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PluginSettings settings;
    ReadSettingsText(std::string(reinterpret_cast<const char*>(data), size), settings);
    return 0;
}
