// Fuzz target: the frame-file reader, on any bytes that may lie in a "*.fra" file, read into a
// map that already holds an entry, as a second read in one session would.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "export/frame_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AnimationFrames frames;
    ProAsmcomppath earlier{};
    earlier.table_num = 1;
    earlier.comp_id_table[0] = 2;
    frames[earlier].resize(2);
    frames[earlier][1].matrix[3][0] = 1.0;
    int32_t frameCount = 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ReadFrames(in, frames, frameCount);
    return 0;
}
