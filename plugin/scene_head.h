// The head of a scene that an export road writes before the model group: the header lines, the
// load blocks and the renderer's import options. Each road writes its own.
#pragma once

#include <cstdint>

class trvScene_api;

enum class ExportRoad { Export, Render, Update };

// Writes the road's header lines (the first names the scene dialect: 7 with NURBS output, which
// Update always claims), the load block of the NURBS geometry (Export only, whatever
// includeNURBS says) and the load block of "trvrtopt.so" with the road's import options, upAxis
// (0 to 5, sent unchanged) and metreScale among them.
void WriteSceneHead(trvScene_api& api, ExportRoad road, bool includeNURBS, std::int32_t upAxis,
                    float metreScale);
