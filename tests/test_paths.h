// Where the test programs find what the build put beside them.
#pragma once

#include <filesystem>
#include <string>

// The folder of the running test program.
std::filesystem::path ExecutableFolder();

// A path baked in at build time, as the program sees it: these are POSIX paths, which under wine
// lie on drive Z:.
std::string HostPath(const std::string& path);
