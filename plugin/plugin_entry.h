// Start-up and shut-down of the plug-in, called by the host's entries user_initialize_plus and
// user_terminate_plus (toolkit/plugin_entry.cpp).
#pragma once

#include "toolkit/pro_toolkit.h"

// Creates the plug-in object when there is none and registers the commands; answers 0.
int PluginInitialize(int argc, char* argv[], char* version, char* build, ProWchar errbuf[80]);

// Destroys the plug-in object when there is one; saves nothing.
void PluginTerminate();
