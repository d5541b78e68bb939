#include "export/metre_scale.h"

#include "plugin/plugin_application.h"

namespace {

struct UnitFactor {
    const char16_t* name;
    float unitsPerMetre;
};

// In the order compared; the factors of the imperial units are the floats nearest to the exact
// quotients (1 / 0.3048, 1 / 0.0254, 1 / 0.0000254).
const UnitFactor kUnitFactors[] = {
    {u"cm", 100.0f},       {u"ft", 3.2808399f},      {u"in", 39.370079f}, {u"mm", 1000.0f},
    {u"mil", 39370.078f},  {u"micron", 1000000.0f},  {u"m", 1.0f},
};

}  // namespace

float MetreScaleOfUnit(const std::u16string& unitName) {
    for (const UnitFactor& unit : kUnitFactors) {
        if (unitName == unit.name) return unit.unitsPerMetre;
    }
    return 1.0f;
}

float PluginApplication::MetreScaleOfModel(ProMdl model) {
    // A unit system or unit the host cannot give answers the factor of metres.
    ProUnitsystem system = {};
    if (ProMdlPrincipalunitsystemGet(model, &system) != PRO_TK_NO_ERROR) return 1.0f;
    ProUnititem unit = {};
    ProUnitsystemUnitGet(&system, PRO_UNITTYPE_LENGTH, &unit);
    std::u16string name;
    for (int i = 0; i < PRO_NAME_SIZE && unit.name[i] != 0; ++i) name += unit.name[i];
    return MetreScaleOfUnit(name);
}
