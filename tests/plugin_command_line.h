// Test support: the simulated host's command line for a whole session with the real plug-in
// library. The test program's build names the library and the source tree (VISTREL_PLUGIN_PATH,
// VISTREL_SOURCE_DIR); a target that compiles plugin_command_line.cpp must define both.
#pragma once

#include "simhost/simulated_host.h"

// The plug-in library this build made and the message files of the source tree, both as the
// running program sees them; the caller adds the model, the script, the record, the answers and
// the commands.
sim::CommandLine PluginCommandLine();
