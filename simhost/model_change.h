// The changes of the model that a script makes between commands, so that an Update has something
// to detect:
//   {"bump": "<model>"}                                      the model changed: new version stamp
//   {"move": {"assembly": "<model>", "component": <id>,
//             "placement": [[4 numbers] x 4]}}               a component gets a new placement
//   {"current": "<model>", "mode": <int>}                    another model becomes current
//                                                           ("" for none; mode defaults by type)
// One change per step; the step's object holds exactly one of the three keys.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace sim {

struct World;

// Applies change to world; false with error set, world unchanged, when the change is malformed or
// names a model or component that world lacks.
bool ApplyModelChange(World& world, const nlohmann::ordered_json& change, std::string& error);

}  // namespace sim
