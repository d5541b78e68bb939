// The stand-in renderer's work: listen on the first free loopback port of its range, announce
// itself in the instance folder, store each live-link session it receives as a file of its own
// ("session_<port>_<n>.vsb" in the output folder, n counting from 1), and end by itself once no
// session came for the idle time. Sessions are taken one at a time.
#pragma once

#include "renderer/renderer_config.h"

// Runs the renderer; answers the process's exit code (0, or 1 when no port of the range was
// free).
int RunRenderer(const RendererConfig& config);
