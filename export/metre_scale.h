// The model's length unit as units per metre, the "meter_scale" import option of every road.
// PluginApplication::MetreScaleOfModel (export/metre_scale.cpp) asks the host for the unit.
#pragma once

#include <string>

// Units per metre of a length unit named as the host names it: "cm", "ft", "in", "mm", "mil",
// "micron" or "m", compared exactly (case included). Any other name gives 1, the factor of metres.
float MetreScaleOfUnit(const std::u16string& unitName);
