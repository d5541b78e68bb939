// The model version stamp of every component path at the last export run that reached it; an
// Update compares with it to send only the geometry that changed.
#pragma once

#include <map>

#include "export/component_path.h"
#include "toolkit/pro_toolkit.h"

using ComponentVersionStamps = std::map<ProAsmcomppath, ProWVerstamp, ComponentPathOrder>;
