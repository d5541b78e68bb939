// The registry file reader of the POSIX build on arbitrary bytes: UTF-8 or UTF-16 text,
// sections, values of every form, continuation lines, deletions.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RegistryFile file =
        RegistryFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    // Ask for the keys the plug-in reads; touch every byte of their values.
    static const char* const kKeys[] = {
        "HKEY_CURRENT_USER\\SOFTWARE\\Tarvex",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel 5",
        "HKEY_CURRENT_USER\\SOFTWARE\\Tarvex\\Vistrel 4",
    };
    unsigned sum = 0;
    for (const char* key : kKeys) {
        sum += file.HasKey(key) ? 1 : 0;
        if (const RegistryFile::ValueMap* values = file.Values(key)) {
            for (const auto& value : *values) {
                for (std::uint8_t byte : value.second.data) sum += byte;
            }
        }
    }
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
