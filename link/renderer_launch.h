// Finding the renderer's executable in the registry and starting it.
//
// The renderer's installation writes, under HKEY_LOCAL_MACHINE "SOFTWARE\Tarvex", the value
// "VistrelVersion": the name of the installed version's key below it. That key holds
// "CurrentVersion" (a text that begins with the installed major version) and "BinName" (the
// executable's path). When the installed major version is older than the one required, the
// executable is looked for under the key "Vistrel <required major>" instead, where an
// installation of that version keeps it. Nothing here reports to the user.
#pragma once

#include <string>

// The path of the renderer's executable, or empty when a key or value on the way is missing.
std::u16string FindRendererExecutable(int requiredMajor);

// Starts the executable that FindRendererExecutable finds, by path with no command line, in the
// host's environment and current directory, and does not wait for it. True when the process
// was created; false, starting nothing, when no executable was found or it did not start.
bool LaunchRenderer(int requiredMajor);
