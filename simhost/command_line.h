// The options of the program simhost:
//   simhost --plugin <library> [--model <file>] [--script <file>] [--save-as <file>]
//           [--record <file>] [--text <folder>] <command>...
// Each option takes its value as the next argument or after "=" ("--plugin=lib.so"); "--" ends
// the options, so that a command may begin with a dash.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct CommandLine {
    std::string plugin;      // the plug-in library to load (required unless help)
    std::string model;       // the model file; none: the session has no model
    std::string script;      // the user script (JSON)
    std::string saveAs;      // answer of every save dialog the script does not answer itself
    std::string record;      // where the record of the session is written (JSON)
    std::string textFolder;  // the folder holding the message files
    std::vector<std::string> commands;  // host commands to run, in order
    bool help = false;
};

// Parses argv[1..argc-1]. On a bad option, a missing value or a missing --plugin answers false
// with error set.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error);

// The text of "simhost --help": options and the script format, in a few lines.
std::string UsageText();

}  // namespace sim
