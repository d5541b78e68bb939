// Solids to be written as instances instead of geometry: per registry key (the model's name and
// ".prt" or ".asm") the identifiers to write for each of its material groups, in writing order.
// Keys compare as byte strings.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "export/material_key.h"

using PartInstanceRegistry =
    std::map<std::string, std::map<MaterialKey, std::vector<int>, MaterialKeyOrder>>;
