// One session of the simulated host, as the program simhost runs it: load the model file and the
// script, load the plug-in library and start it with the host's function lookup, run the
// commands by name through the actions it registered (applying the script's model changes
// before each), shut it down, and report: the record file, a short summary, and the exit status.
#pragma once

#include <ostream>

#include "simhost/command_line.h"

namespace sim {

// Runs the session that options describe. Messages and the summary go to out, errors to err.
// Answers the exit status: 0 when every command ran and the script answered every question and
// was used up, 1 otherwise.
int RunSimulatedHost(const CommandLine& options, std::ostream& out, std::ostream& err);

}  // namespace sim
