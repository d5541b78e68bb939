// Models: what is current, names, types, version stamps, units, outline and views.
#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_world.h"
#include "simhost/model/outline.h"
#include "simhost/model_functions.h"
#include "simhost/model_handles.h"
#include "simhost/wide_text.h"

namespace sim {

namespace {

// A model's own item id: its place in the model file, from 1.
int ModelItemId(const Model& model) { return ModelIndex(HostWorld(), &model) + 1; }

}  // namespace

ProError ProMdlCurrentGet(ProMdl* model) {
    if (!model) return Refuse("ProMdlCurrentGet", "no place for the model");
    World& world = HostWorld();
    if (world.current < 0 || static_cast<size_t>(world.current) >= world.models.size())
        return PRO_TK_E_NOT_FOUND;
    *model = ToHandle(world.models[static_cast<size_t>(world.current)]);
    return PRO_TK_NO_ERROR;
}

ProError ProModeCurrentGet(ProMode* mode) {
    if (!mode) return Refuse("ProModeCurrentGet", "no place for the mode");
    *mode = HostWorld().mode;
    return PRO_TK_NO_ERROR;
}

ProError ProMdlNameGet(ProMdl handle, ProName name) {
    const Model* model = ModelOf(handle);
    if (!model || !name) return Refuse("ProMdlNameGet", "needs a model of the session and a name");
    CopyWide(model->name, name, PRO_NAME_SIZE);
    return PRO_TK_NO_ERROR;
}

ProError ProMdlTypeGet(ProMdl handle, ProMdlType* type) {
    const Model* model = ModelOf(handle);
    if (!model || !type) return Refuse("ProMdlTypeGet", "needs a model of the session");
    *type = static_cast<ProMdlType>(model->type);
    return PRO_TK_NO_ERROR;
}

ProError ProMdlToModelitem(ProMdl handle, ProModelitem* item) {
    const Model* model = ModelOf(handle);
    if (!model || !item) return Refuse("ProMdlToModelitem", "needs a model of the session");
    *item = ProModelitem{static_cast<ProType>(model->type), ModelItemId(*model), handle};
    return PRO_TK_NO_ERROR;
}

// A stamp names the model and its version, so stamps of two models never compare equal.
ProError ProMdlVerstampGet(ProMdl handle, ProWVerstamp* stamp) {
    const Model* model = ModelOf(handle);
    if (!model || !stamp) return Refuse("ProMdlVerstampGet", "needs a model of the session");
    if (model->faults.Has(Fault::NoVerstamp)) return PRO_TK_GENERAL_ERROR;
    *stamp = ProWVerstamp{{model->verstamp, ModelItemId(*model), 0, 0}};
    return PRO_TK_NO_ERROR;
}

ProBoolean ProVerstampEqual(ProWVerstamp first, ProWVerstamp second) {
    for (int i = 0; i < 4; ++i)
        if (first.words[i] != second.words[i]) return PRO_B_FALSE;
    return PRO_B_TRUE;
}

ProError ProMdlPrincipalunitsystemGet(ProMdl handle, ProUnitsystem* system) {
    const Model* model = ModelOf(handle);
    if (!model || !system)
        return Refuse("ProMdlPrincipalunitsystemGet", "needs a model of the session");
    if (model->faults.Has(Fault::NoUnits)) return PRO_TK_GENERAL_ERROR;
    system->owner = handle;
    CopyWide("Unit system (" + model->lengthUnit + ")", system->name, PRO_NAME_SIZE);
    return PRO_TK_NO_ERROR;
}

// Only the length unit is kept; other unit types are not found.
ProError ProUnitsystemUnitGet(ProUnitsystem* system, ProUnitType type, ProUnititem* unit) {
    const Model* model = system ? ModelOf(system->owner) : nullptr;
    if (!model || !unit) return Refuse("ProUnitsystemUnitGet", "needs a unit system of a model");
    if (type != PRO_UNITTYPE_LENGTH) return PRO_TK_E_NOT_FOUND;
    unit->owner = system->owner;
    CopyWide(model->lengthUnit, unit->name, PRO_NAME_SIZE);
    return PRO_TK_NO_ERROR;
}

// The box of the model's geometry, components placed; a model without geometry has the box of
// the origin alone.
ProError ProSolidOutlineGet(ProSolid solid, ProOutline outline) {
    const Model* model = ModelOf(solid);
    if (!model || !outline) return Refuse("ProSolidOutlineGet", "needs a model of the session");
    if (model->faults.Has(Fault::NoOutline)) return PRO_TK_GENERAL_ERROR;
    const Box box = SolidOutline(HostWorld(), *model);
    const Point3 corners[2] = {box.empty ? Point3{} : box.min, box.empty ? Point3{} : box.max};
    for (int k = 0; k < 2; ++k) {
        outline[k][0] = corners[k].x;
        outline[k][1] = corners[k].y;
        outline[k][2] = corners[k].z;
    }
    return PRO_TK_NO_ERROR;
}

ProError ProViewMatrixGet(ProMdl handle, ProView view, ProMatrix matrix) {
    const Model* model = ModelOf(handle);
    if (!model || !matrix) return Refuse("ProViewMatrixGet", "needs a model of the session");
    if (!view) {
        CopyMatrix(model->currentView, matrix);
        return PRO_TK_NO_ERROR;
    }
    const View* saved = ViewOf(*model, view);
    if (!saved) return Refuse("ProViewMatrixGet", "no view of \"" + model->name + "\"");
    CopyMatrix(saved->matrix, matrix);
    return PRO_TK_NO_ERROR;
}

// The names come as host arrays of ProLine; the alternate names are the same names.
ProError ProViewNamesGet(ProMdl handle, ProLine** names, ProLine** alt_names, int* count) {
    const Model* model = ModelOf(handle);
    if (!model) return Refuse("ProViewNamesGet", "needs a model of the session");
    const int size = static_cast<int>(model->views.size());
    for (ProLine** out : {names, alt_names}) {
        if (!out) continue;
        *out = static_cast<ProLine*>(NewHostArray(size, sizeof(ProLine)));
        for (int i = 0; i < size; ++i)
            CopyWide(model->views[static_cast<size_t>(i)].name, (*out)[i], PRO_LINE_SIZE);
    }
    if (count) *count = size;
    return PRO_TK_NO_ERROR;
}

// A view is found by its name as ProViewNamesGet gives it (cut to a ProLine).
ProError ProViewNameToView(ProMdl handle, const ProWchar* name, ProView* view) {
    const Model* model = ModelOf(handle);
    if (!model || !name || !view)
        return Refuse("ProViewNameToView", "needs a model, a name and a view");
    const std::u16string wanted = WideFromBuffer(name, PRO_LINE_SIZE);
    for (const View& saved : model->views) {
        ProLine shown = {};
        CopyWide(saved.name, shown, PRO_LINE_SIZE);
        if (WideFromBuffer(shown, PRO_LINE_SIZE) == wanted) {
            *view = ToHandle(saved);
            return PRO_TK_NO_ERROR;
        }
    }
    return PRO_TK_E_NOT_FOUND;
}

void RegisterModelInfoFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProMdlCurrentGet);
    SIM_ADD_FUNCTION(table, ProModeCurrentGet);
    SIM_ADD_FUNCTION(table, ProMdlNameGet);
    SIM_ADD_FUNCTION(table, ProMdlTypeGet);
    SIM_ADD_FUNCTION(table, ProMdlToModelitem);
    SIM_ADD_FUNCTION(table, ProMdlVerstampGet);
    SIM_ADD_FUNCTION(table, ProVerstampEqual);
    SIM_ADD_FUNCTION(table, ProMdlPrincipalunitsystemGet);
    SIM_ADD_FUNCTION(table, ProUnitsystemUnitGet);
    SIM_ADD_FUNCTION(table, ProSolidOutlineGet);
    SIM_ADD_FUNCTION(table, ProViewMatrixGet);
    SIM_ADD_FUNCTION(table, ProViewNamesGet);
    SIM_ADD_FUNCTION(table, ProViewNameToView);
}

void RegisterModelFunctions(FunctionTable& table) {
    RegisterModelInfoFunctions(table);
    RegisterAssemblyFunctions(table);
    RegisterGeometryFunctions(table);
    RegisterInterfaceDataFunctions(table);
}

}  // namespace sim
