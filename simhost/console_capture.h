// Catches what the plug-in prints on the process's standard output while a command runs, so the
// record can hold it. The plug-in shares the process's C runtime, so its printf lands on file
// descriptor 1, which is pointed at a temporary file for the length of the capture.
#pragma once

#include <cstdio>
#include <string>

namespace sim {

class ConsoleCapture {
public:
    ConsoleCapture() = default;
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Starts catching; false when the output cannot be redirected (it then goes on as before).
    bool Begin();
    // Stops catching, puts the output back and answers what was printed meanwhile.
    std::string End();

private:
    std::FILE* file_ = nullptr;
    int savedOutput_ = -1;
};

}  // namespace sim
