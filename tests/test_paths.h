// Where the test programs find what the build put beside them.
#pragma once

#include <filesystem>

// The folder of the running test program.
std::filesystem::path ExecutableFolder();
