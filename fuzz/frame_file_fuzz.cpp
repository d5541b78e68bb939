// Fuzz target: the frame-file reader, on any bytes that may lie in a "*.fra" file.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "export/frame_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t frameCount = 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ReadFrames(in, frameCount);
    return 0;
}
