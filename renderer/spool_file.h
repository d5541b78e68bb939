// A temporary file for the live scene's text on its way to the renderer: read and written
// through one FILE, deleted when it is closed (also when the process ends). Null when none can
// be made.
#pragma once

#include <cstdio>

FILE* OpenSpoolFile();
