#include "tests/plugin_command_line.h"

#include "tests/test_paths.h"

sim::CommandLine PluginCommandLine()
{
    sim::CommandLine options;
    options.plugin = HostPath(VISTREL_PLUGIN_PATH);
    options.textFolder = HostPath(VISTREL_SOURCE_DIR "/text");
    return options;
}
