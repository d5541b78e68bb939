// The stand-in live-link library's objects in the Windows build, laid out as the renderer's
// compiler lays them out: each object begins with a pointer to its explicit table of function
// pointers (renderer/live_link_tables.h), and each entry forwards to the C++ object behind it
// by the operation's name. The plug-in thus reaches an operation only through the place that
// the renderer's library gives it: an interface header that moved an operation by one place
// makes the plug-in call its neighbour.
#pragma once

#include "link/live_link_interface.h"

// A new factory, or null when it cannot be made. The plug-in destroys it through place 0.
LiveLinkFactory* NewTabledFactory();

// The table objects made and not yet freed, and the frees of an address that was never made
// (each kept from the heap).
struct TabledObjectCount {
    int live = 0;
    int strayFrees = 0;
};
TabledObjectCount CountTabledObjects();
