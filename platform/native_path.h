// Windows paths as the POSIX build hands them to the system: UTF-8, with "\" turned into "/"
// (both separate folders in a Windows path).
#pragma once

#include <string>
#include <string_view>

// False for a path holding a lone surrogate, which has no UTF-8 form: better no file than the
// name of some other file.
bool NativePath(std::u16string_view windowsPath, std::string& out);
