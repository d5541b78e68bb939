// The registry as a registry file in the text format of the Windows registry editor describes
// it. The POSIX build reads its registry from such a file; the parser is plain C++ so that it
// can be tested and fuzzed in every build.
//
// Format: the first line is "Windows Registry Editor Version 5.00" (UTF-8, optionally with a
// byte order mark, or UTF-16LE with its byte order mark). Then sections "[ROOT\Key\Sub]" (and
// "[-ROOT\Key]" deleting a key with everything below it), each followed by value lines:
//   "Name"="text"          REG_SZ; "\\" and "\"" stand for a backslash and a quote
//   "Name"=dword:00000fa0  REG_DWORD, one to eight hexadecimal digits
//   "Name"=hex:0a,ff       REG_BINARY; hex(N): gives the type N; a line ending in "\" goes on
//                          on the next line
//   "Name"=-               deletes the value
//   @=...                  the key's default value
// Blank lines and lines beginning with ";" are skipped. A line that does not follow these rules
// is skipped too, so a malformed value reads as a missing one. A file without the header line
// holds no keys. Key and value names compare without regard to ASCII case.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct RegistryValue {
    std::uint32_t type = 0;          // REG_SZ, REG_DWORD, ...
    std::vector<std::uint8_t> data;  // as RegQueryValueExW answers it (strings: UTF-16LE + zero)
};

class RegistryFile {
public:
    using ValueMap = std::map<std::string, RegistryValue>;  // by folded name; "" is the default

    // Parses the bytes of a registry file. Never fails: what cannot be read is left out.
    static RegistryFile Parse(std::string_view bytes);

    // Reads and parses the file at path; a file that cannot be read (missing, a folder, a read
    // error) holds no keys.
    static RegistryFile Load(const std::string& path);

    // Whether the key exists: a section names it or a key below it. path is
    // "HKEY_CURRENT_USER\SOFTWARE\..." in any case; the roots themselves always exist.
    bool HasKey(std::string_view path) const;

    // The values of the key at path, or null when the file gives it none.
    const ValueMap* Values(std::string_view path) const;

    // Folds a key or value name for comparison (ASCII upper case).
    static std::string Fold(std::string_view name);

private:
    std::map<std::string, ValueMap> keys_;  // by folded full path

    friend class RegistryFileParser;
};
