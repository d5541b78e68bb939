// The plug-in library's two exports, the host's entry into it. The host finds them by name in
// the loaded library ("user_initialize_plus", "user_terminate_plus") and calls them through
// these types; toolkit/plugin_entry.cpp defines them.
#pragma once

#include "toolkit/pro_toolkit.h"
#include "toolkit/toolkit_binding.h"

// Binds the host's functions through lookup, then starts the plug-in with the host's arguments
// and answers its status: 0 when the plug-in started, non-zero when it did not (the host then
// does not keep it). errbuf is the host's wide buffer of 80 characters for an error text.
typedef int (*UserInitializePlusFn)(ProToolkitLookup lookup, int argc, char* argv[],
                                    char* version, char* build, ProWchar errbuf[80]);

// Shuts the plug-in down and forgets the host's functions.
typedef void (*UserTerminatePlusFn)();
