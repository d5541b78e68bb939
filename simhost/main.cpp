// The program simhost: the simulated host on the command line (simhost --help).
#include <fstream>
#include <iostream>
#include <string>

#include "simhost/command_line.h"
#include "simhost/simulated_host.h"

namespace {

bool HasMessageFile(const std::string& folder) {
    return std::ifstream(folder + "/vistrel_msg.txt").good();
}

// The text folder shipped beside the program (text/ next to it or one level up), else the one of
// the source tree this program was built from.
std::string DefaultTextFolder(const std::string& program) {
    const size_t slash = program.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "." : program.substr(0, slash);
    for (const std::string& candidate : {folder + "/text", folder + "/../text"})
        if (HasMessageFile(candidate)) return candidate;
    return VISTREL_SOURCE_DIR "/text";
}

}  // namespace

int main(int argc, char** argv) {
    sim::CommandLine options;
    std::string error;
    if (!sim::ParseCommandLine(argc, argv, options, error)) {
        std::cerr << "simhost: " << error << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << sim::UsageText();
        return 0;
    }
    if (options.textFolder.empty()) options.textFolder = DefaultTextFolder(argc > 0 ? argv[0] : "");
    return sim::RunSimulatedHost(options, std::cout, std::cerr);
}
