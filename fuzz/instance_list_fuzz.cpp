// The instance-list reader on arbitrary text, as a live-link library might answer it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/instance_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The lister's text ends at its first zero.
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(text.find('\0') != std::string::npos ? text.find('\0') : text.size());
    for (int requiredMajor : {5, 0, INT32_MIN, INT32_MAX}) {
        // Every port comes from a port tag of its own, 15 characters long.
        if (ParseInstanceList(text, requiredMajor).size() > text.size() / 15) __builtin_trap();
    }
    return 0;
}
