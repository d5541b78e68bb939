// The items of the chosen simplified representation, by component path from the top model.
#pragma once

#include <map>

#include "export/component_path.h"
#include "toolkit/pro_toolkit.h"

// The host's action record of one item, copied whole; only its action type is read.
using SimprepItemRecord = ProSimprepAction;

using SimprepItemMap = std::map<ProAsmcomppath, SimprepItemRecord, ComponentPathOrder>;
