// Test support for the surface export: the simulated host's toolkit functions bound in this
// process, with the tessellation calls recorded (which input, at which chord height) and with
// chosen functions missing, as from a host that lacks them. The world comes from model-file text
// (tests/sim_test_world.h).
#pragma once

#include <set>
#include <string>
#include <vector>

#include "toolkit/pro_toolkit.h"

namespace sim_geometry {

// One call on a tessellation input.
struct InputCall {
    enum Kind { ChordHeight, UvProjection, Tessellate } kind;
    int input;           // the input's number: 1 for the first one the host made, ...
    double chordHeight;  // set (ChordHeight), or in force for the try (Tessellate)
    ProError answer;     // of the try (Tessellate)
};

struct Log {
    std::vector<InputCall> calls;
    int inputsMade = 0;
    int inputsFreed = 0;
    // Added to every vertex number of the facets the host gives: a shift by the vertex count
    // makes every facet name a vertex the tessellation lacks.
    int facetShift = 0;
};

Log& HostLog();

// Empties the log, loads the world (a test failure when it does not load) and binds the host,
// without the functions named in missing.
bool BindGeometryHost(const std::string& world, const std::set<std::string>& missing = {});
void UnbindGeometryHost();

// The model of that name in the world.
ProMdl Model(const std::string& name);

// The tries of ProSurfaceTessellationGet, in order.
std::vector<InputCall> Tries();

}  // namespace sim_geometry
