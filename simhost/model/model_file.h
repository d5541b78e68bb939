// The model file: a JSON description of the simulated host's session (examples/*.json).
//
//   {
//     "current": "ASM",              model current in the host; absent: no current model
//     "mode": 5,                     ProModeCurrentGet; default 5 for an assembly, 1 for a part
//     "default_appearance": {...},   what the appearance and texture calls answer for no item
//     "default_texture": {...},
//     "models": [ {
//       "name": "ASM", "type": "assembly" | "part",
//       "units": "mm",               name of the length unit (default "mm")
//       "verstamp": 1,               version stamp (default 1)
//       "view": matrix,              current view (default identity)
//       "views": [ {"name": "FRONT", "matrix": matrix} ],
//       "appearance": appearance, "texture": texture,          model-level
//       "layers": [ {"name": "L1", "display": 1, "id": 1} ],
//       "features": [ {"id": 3, "type": 1000, "status": 0, "hidden": false, "layer_status": 1,
//                      "layers": ["L1"], "model": "BOLT", "placement": matrix} ],
//       "simpreps": [ {"id": 1, "name": "LIGHT", "default_action": 2,
//                      "items": [ {"path": [3, 7] | null, "action": 3} ], "faults": [...]} ],
//       "surfaces": [ surface ], "quilts": [ quilt ], "edges": [ edge ], "shapes": [ shape ],
//       "faults": [...]
//     } ]
//   }
//
//   matrix      [[4 numbers] x 4], rows, points as row vectors; or
//               {"translate": [x, y, z], "rotate": {"axis": [x, y, z], "degrees": a}}
//   appearance  {"name": "steel", "diffuse": 0.8, "color": [r, g, b]}
//   texture     {"file": "wood.png", "path": "C:\\textures\\wood.png", "faults": ["unresolvable"]}
//   surface     {"id": 5, "interface_id": 5, "feature": 2, "inactive": false,
//                "appearance": ..., "texture": ..., "patch": patch,
//                "contours": [ {"traversal": 1, "edges": [11, 12, 13]} ],
//                "chord_height_range": [min, max], "faults": [...]}
//   patch       {"degree": [du, dv], "knots_u": [...], "knots_v": [...],
//                "points": [[x, y, z], ...] (v fastest), "weights": [...]}
//   quilt       {"id": 9, "feature": 2, "inactive": false, "hidden": false, "backup": false,
//                "layer_status": 1, "surfaces": [ surface ], "shapes": [ shape ]}
//   edge        {"id": 11, "sides": [side, side], "faults": [...]}
//   side        {"surface": 5, "direction": 0, "curve": curve, "faults": [...]}
//   curve       {"degree": 1, "knots": [...], "points": [[u, v], ...], "weights": [...]}
//   shape       {"box": {"min": [x, y, z], "max": [x, y, z]}} | {"cylinder": {"radius": r,
//                "height": h}} | {"rectangle": {"size": [w, h]}}, with optional "placement",
//                "feature", "appearance", "texture", "chord_height_range", "surface_faults"
//
// Features are listed in the host's feature order; one with a "model" is a component (type 1000
// unless given). Surfaces and shapes without a "feature" belong to a feature the loader adds.
// Items without an id get one above every id the file gives. The fault names are those of
// simhost/model/world.h. Comments (// and /* */) are allowed.
#pragma once

#include <string>

#include "simhost/model/world.h"

namespace sim {

// Most control points along one direction of a patch, and of a curve.
constexpr int kMaxPatchPoints = 256;
constexpr int kMaxCurvePoints = 4096;
// Deepest nesting of assemblies.
constexpr int kMaxAssemblyDepth = 64;

// Reads a model file's text; fileName names it in messages. On failure answers false, leaves
// world unchanged and says in error "<file>: <place>: <what>", the place being a JSON pointer
// ("/models/2/features/0/model") or, for malformed JSON, a line and column.
bool ParseModelFile(const std::string& text, const std::string& fileName, World& world,
                    std::string& error);

// Reads the model file at path (UTF-8) as above; a file that cannot be read is an error too.
bool LoadModelFile(const std::string& path, World& world, std::string& error);

}  // namespace sim
