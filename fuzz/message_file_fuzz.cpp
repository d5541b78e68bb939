// The host's message-file reader: any bytes give entries and problems, never a crash or overrun.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "simhost/message_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    sim::MessageFile file;
    file.Read(in);
    file.Find("vistrelOK");
    return 0;
}
