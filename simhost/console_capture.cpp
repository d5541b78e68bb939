#include "simhost/console_capture.h"

#ifdef _WIN32
#include <io.h>
#define SIM_DUP _dup
#define SIM_DUP2 _dup2
#define SIM_CLOSE _close
#define SIM_FILENO _fileno
#else
#include <unistd.h>
#define SIM_DUP dup
#define SIM_DUP2 dup2
#define SIM_CLOSE close
#define SIM_FILENO fileno
#endif

namespace sim {

ConsoleCapture::~ConsoleCapture() { End(); }

bool ConsoleCapture::Begin() {
    End();
    std::fflush(nullptr);
    file_ = std::tmpfile();
    if (!file_) return false;
    savedOutput_ = SIM_DUP(1);
    if (savedOutput_ < 0 || SIM_DUP2(SIM_FILENO(file_), 1) < 0) {
        if (savedOutput_ >= 0) SIM_CLOSE(savedOutput_);
        savedOutput_ = -1;
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

std::string ConsoleCapture::End() {
    if (!file_) return "";
    std::fflush(nullptr);
    SIM_DUP2(savedOutput_, 1);
    SIM_CLOSE(savedOutput_);
    savedOutput_ = -1;
    std::string text;
    std::rewind(file_);
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text.append(buffer, got);
    std::fclose(file_);
    file_ = nullptr;
    return text;
}

}  // namespace sim
