#include "simhost/command_line.h"

#include <cstring>

namespace sim {
namespace {

struct OptionSlot {
    const char* name;
    std::string CommandLine::*field;
};

constexpr OptionSlot kOptions[] = {
    {"--plugin", &CommandLine::plugin}, {"--model", &CommandLine::model},
    {"--script", &CommandLine::script}, {"--save-as", &CommandLine::saveAs},
    {"--record", &CommandLine::record}, {"--text", &CommandLine::textFolder},
};

const OptionSlot* FindOption(const std::string& name) {
    for (const OptionSlot& option : kOptions)
        if (name == option.name) return &option;
    return nullptr;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error) {
    out = CommandLine{};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] ? argv[i] : "";
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            out.commands.push_back(argument);
            continue;
        }
        if (argument == "--") { optionsEnded = true; continue; }
        if (argument == "--help" || argument == "-h") { out.help = true; continue; }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const OptionSlot* option = FindOption(name);
        if (!option) {
            error = "unknown option \"" + argument + "\" (see simhost --help)";
            return false;
        }
        if (equals != std::string::npos) {
            out.*(option->field) = argument.substr(equals + 1);
        } else if (i + 1 < argc && argv[i + 1]) {
            out.*(option->field) = argv[++i];
        } else {
            error = "option " + name + " needs a value";
            return false;
        }
        if ((out.*(option->field)).empty()) {
            error = "option " + name + " needs a value";
            return false;
        }
    }
    if (!out.help && out.plugin.empty()) {
        error = "no plug-in library given: use --plugin <library> (see simhost --help)";
        return false;
    }
    return true;
}

std::string UsageText() {
    return R"(usage: simhost --plugin <library> [options] <command>...
Loads the plug-in library, runs the named host commands in order through the actions the
plug-in registered (e.g. "Vistrel Export"), unloads it and reports what it did.
  --plugin <library>  the plug-in library (libvistrel_plugin.so, vistrel_plugin.dll)
  --model <file>      the model file (JSON) that the host shows as its session
  --script <file>     the scripted user (JSON), below
  --save-as <file>    answer of every save dialog that the script does not answer
  --record <file>     write the record of the session (JSON) there
  --text <folder>     folder of the message files (default: text/ beside the program)
  --help              this text
The settings file lands in the current directory. Exit status: 0 when every command ran and
every question was answered, 1 when not, 2 for bad options.
Script: {"steps": [...]}, answered in order; each question of the host takes the next step:
  {"save": "<path>"} {"open": "<path>"} {"simprep": "<name>"} {"select": [[], [3, 7]]}
      (picks as component paths, [] is the top model) {"cancel": "save|open|simprep|select"}
  {"dialog": "<name>", "set": {"<control>": value, ...}, "press": "<button>" or [...]}
      (set order is kept; spin box: number, slider: integer, check button: true/false,
      radio group: button name, input panel: text)
  {"model": {...}}  a change of the model, applied before the next command starts
A dialog with a single push button that the script does not answer is confirmed with it; any
other question left unanswered stops the command.
)";
}

}  // namespace sim
