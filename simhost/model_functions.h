// The simulated host's model side: the toolkit functions that answer from the session's world
// (simhost/model/world.h, loaded from the model file). Each file registers its group; the
// runtime side calls RegisterModelFunctions once for all of them.
#pragma once

#include <cstddef>

#include "simhost/function_table.h"

namespace sim {

// Every group below.
void RegisterModelFunctions(FunctionTable& table);

// Models: the current model and mode, names, types, version stamps, units, outline, views
// (functions_models.cpp).
void RegisterModelInfoFunctions(FunctionTable& table);
// Feature visits, component paths and their placements, layers and visibility, simplified
// representations (functions_assembly.cpp).
void RegisterAssemblyFunctions(FunctionTable& table);
// Surface and quilt visits, geometry items, appearances and textures, tessellation, contours and
// edges (functions_geometry.cpp).
void RegisterGeometryFunctions(FunctionTable& table);
// Interface data and its records, B-spline surfaces and curves (functions_interface_data.cpp).
void RegisterInterfaceDataFunctions(FunctionTable& table);

// Host records of the model side (tessellations, interface data, curve records, ...) that the
// plug-in has not released yet; for the host's report at the end of a session.
size_t LiveModelRecords();
// Releases every such record (and the host arrays they hold). Call it before the host memory is
// freed wholesale, so that no record is left pointing at freed arrays.
void FreeModelRecords();

}  // namespace sim
