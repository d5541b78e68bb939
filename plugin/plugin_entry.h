// Start-up and shut-down of the plug-in, called by the toolkit's link library from the host's
// entries user_initialize_plus and user_terminate_plus (toolkit/plugin_entry.cpp stands in for
// it here). Neither lets a failure out: the host is C and cannot unwind.
#pragma once

#include "toolkit/pro_toolkit.h"

// Creates the plug-in object when there is none and registers the commands; answers 0. A
// start-up that fails on the way (memory ran out) destroys the object again and answers
// PRO_TK_GENERAL_ERROR; the host then does not keep the plug-in.
int PluginInitialize(int argc, char* argv[], char* version, char* build,
                     ProWchar errbuf[80]) noexcept;

// Destroys the plug-in object when there is one; saves nothing.
void PluginTerminate() noexcept;
