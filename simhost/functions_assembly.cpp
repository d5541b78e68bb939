// Assemblies: feature visits, components and their paths and placements, layers and visibility,
// simplified representations.
#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_world.h"
#include "simhost/model_functions.h"
#include "simhost/model_handles.h"
#include "simhost/model_records.h"

namespace sim {

namespace {

// The layer item kinds the host knows: features (components among them) and quilts.
bool LayerItemExists(Model& model, ProLayerType type, int id) {
    if (type == PRO_LAYER_ITEM_FEATURE) return FindFeature(model, id) != nullptr;
    if (type == PRO_LAYER_ITEM_QUILT) return FindQuilt(model, id) != nullptr;
    return false;
}

// The status of a layer item over all its layers, and the layers (indices into model.layers)
// that hold it; false when there is no such item.
bool LayerItemOf(const ProLayerItem* item, int& status, std::vector<int>& layers) {
    Model* model = OwnerOf(item);
    if (!model) return false;
    if (item->type == PRO_LAYER_ITEM_FEATURE) {
        const Feature* feature = FindFeature(*model, item->id);
        if (!feature) return false;
        status = feature->layerStatus;
        layers = feature->layers;
        return true;
    }
    if (item->type == PRO_LAYER_ITEM_QUILT) {
        const Quilt* quilt = FindQuilt(*model, item->id);
        if (!quilt) return false;
        status = quilt->layerStatus;
        layers.clear();
        return true;
    }
    return false;
}

// The placement of the component at the end of path in the owner's coordinates: the product of
// the placements along the path, the deepest applied first. False when a step names no
// component with a model.
bool PathPlacement(const ProAsmcomppath& path, Matrix& placement) {
    const World& world = HostWorld();
    const Model* model = ModelOf(path.owner);
    if (!model || path.table_num < 0 || path.table_num > PRO_MAX_ASSEMBLY_LEVEL) return false;
    placement = IdentityMatrix();
    for (int level = 0; level < path.table_num; ++level) {
        const Feature* component = FindFeature(*model, path.comp_id_table[level]);
        if (!component || !component->IsComponent()) return false;
        // Points of the level below reach this level's coordinates through its placement first.
        placement = Multiply(component->placement, placement);
        model = &world.models[static_cast<size_t>(component->model)];
    }
    return true;
}

const Simprep* SimprepOf(const ProSimprep* rep) {
    const Model* model = OwnerOf(rep);
    if (!model) return nullptr;
    for (const Simprep& simprep : model->simpreps)
        if (simprep.id == rep->id) return &simprep;
    return nullptr;
}

}  // namespace

ProError ProSolidFeatVisit(ProSolid solid, ProFeatureVisitAction action,
                           ProFeatureFilterAction filter, ProAppData data) {
    const Model* model = ModelOf(solid);
    if (!model) return Refuse("ProSolidFeatVisit", "needs a model of the session");
    std::vector<ProFeature> features;
    for (const Feature& feature : model->features)
        features.push_back(ProFeature{kItemFeature, feature.id, solid});
    return VisitItemsByAddress(features, action, filter, data);
}

ProError ProFeatureTypeGet(ProFeature* item, ProFeattype* type) {
    const Feature* feature = FeatureOf(item);
    if (!feature || !type) return Refuse("ProFeatureTypeGet", "needs a feature of a model");
    *type = feature->type;
    return PRO_TK_NO_ERROR;
}

ProError ProFeatureStatusGet(ProFeature* item, ProFeatStatus* status) {
    const Feature* feature = FeatureOf(item);
    if (!feature || !status) return Refuse("ProFeatureStatusGet", "needs a feature of a model");
    *status = feature->status;
    return PRO_TK_NO_ERROR;
}

// A feature without a model (not a component, or a component whose model is missing) is
// not found.
ProError ProAsmcompMdlGet(ProAsmcomp* item, ProMdl* model) {
    const Feature* feature = FeatureOf(item);
    if (!feature || !model) return Refuse("ProAsmcompMdlGet", "needs a feature of a model");
    if (!feature->IsComponent()) return PRO_TK_E_NOT_FOUND;
    *model = ToHandle(HostWorld().models[static_cast<size_t>(feature->model)]);
    return PRO_TK_NO_ERROR;
}

// Features and quilts carry a hidden flag; other items are never hidden.
ProError ProModelitemIsHidden(ProModelitem* item, ProBoolean* hidden) {
    Model* model = OwnerOf(item);
    if (!model || !hidden) return Refuse("ProModelitemIsHidden", "needs an item of a model");
    bool flag = false;
    if (item->type == kItemFeature) {
        const Feature* feature = FindFeature(*model, item->id);
        if (!feature) return PRO_TK_E_NOT_FOUND;
        flag = feature->hidden;
    } else if (item->type == kItemQuilt) {
        const Quilt* quilt = FindQuilt(*model, item->id);
        if (!quilt) return PRO_TK_E_NOT_FOUND;
        flag = quilt->hidden;
    }
    *hidden = flag ? PRO_B_TRUE : PRO_B_FALSE;
    return PRO_TK_NO_ERROR;
}

// The path is made as given; whether its identifiers name components is asked only when it is
// used.
ProError ProAsmcomppathInit(ProSolid owner, const int* ids, int count, ProAsmcomppath* path) {
    if (!ModelOf(owner) || !path)
        return Refuse("ProAsmcomppathInit", "needs a model of the session and a path");
    if (count < 0 || count > PRO_MAX_ASSEMBLY_LEVEL || (count > 0 && !ids))
        return PRO_TK_BAD_INPUTS;
    ProAsmcomppath made{};
    made.owner = owner;
    for (int i = 0; i < count; ++i) made.comp_id_table[i] = ids[i];
    made.table_num = count;
    *path = made;
    return PRO_TK_NO_ERROR;
}

// bottom_up: from the component's coordinates to the owner's; otherwise the other way.
ProError ProAsmcomppathTrfGet(ProAsmcomppath* path, ProBoolean bottom_up, ProMatrix transform) {
    if (!path || !transform) return Refuse("ProAsmcomppathTrfGet", "needs a path and a matrix");
    Matrix placement;
    if (!PathPlacement(*path, placement)) return PRO_TK_E_NOT_FOUND;
    if (bottom_up == PRO_B_FALSE) {
        Matrix inverse;
        if (!Invert(placement, inverse)) return PRO_TK_GENERAL_ERROR;
        placement = inverse;
    }
    CopyMatrix(placement, transform);
    return PRO_TK_NO_ERROR;
}

ProError ProLayerItemInit(ProLayerType type, int item_id, ProMdl owner, ProLayerItem* item) {
    Model* model = ModelOf(owner);
    if (!model || !item) return Refuse("ProLayerItemInit", "needs a model of the session");
    if (!LayerItemExists(*model, type, item_id)) return PRO_TK_E_NOT_FOUND;
    *item = ProLayerItem{type, item_id, owner};
    return PRO_TK_NO_ERROR;
}

// With a layer: the item's status on that layer, when the layer holds it.
ProError ProLayeritemStatusGet(ProLayerItem* item, ProLayer* layer, ProLayerItemStatus* status) {
    int itemStatus = 0;
    std::vector<int> layers;
    if (!status || !LayerItemOf(item, itemStatus, layers))
        return Refuse("ProLayeritemStatusGet", "needs a layer item of a model");
    if (layer) {
        const Model* model = OwnerOf(item);
        bool holds = false;
        for (int index : layers)
            holds = holds || (layer->owner == item->owner &&
                              model->layers[static_cast<size_t>(index)].id == layer->id);
        if (!holds) return PRO_TK_E_NOT_FOUND;
    }
    *status = itemStatus;
    return PRO_TK_NO_ERROR;
}

ProError ProLayeritemLayersGet(ProMdl layer_owner, ProLayerItem* item, ProLayer** layers) {
    int itemStatus = 0;
    std::vector<int> indices;
    if (!layers || !LayerItemOf(item, itemStatus, indices))
        return Refuse("ProLayeritemLayersGet", "needs a layer item of a model");
    if (layer_owner && layer_owner != item->owner) indices.clear();  // its layers are its owner's
    const Model* model = OwnerOf(item);
    auto* array =
        static_cast<ProLayer*>(NewHostArray(static_cast<int>(indices.size()), sizeof(ProLayer)));
    for (size_t i = 0; i < indices.size(); ++i)
        array[i] =
            ProLayer{kItemLayer, model->layers[static_cast<size_t>(indices[i])].id, item->owner};
    *layers = array;
    return PRO_TK_NO_ERROR;
}

ProError ProLayerDisplaystatusGet(ProLayer* layer, ProLayerDisplay* status) {
    const Model* model = OwnerOf(layer);
    if (!model || !status) return Refuse("ProLayerDisplaystatusGet", "needs a layer of a model");
    for (const Layer& candidate : model->layers) {
        if (candidate.id == layer->id) {
            *status = candidate.display;
            return PRO_TK_NO_ERROR;
        }
    }
    return PRO_TK_E_NOT_FOUND;
}

ProError ProSolidSimprepVisit(ProSolid solid, ProSimprepFilterAction filter,
                              ProSimprepVisitAction action, ProAppData data) {
    const Model* model = ModelOf(solid);
    if (!model) return Refuse("ProSolidSimprepVisit", "needs a model of the session");
    std::vector<ProSimprep> reps;
    for (const Simprep& rep : model->simpreps)
        reps.push_back(ProSimprep{kItemSimprep, rep.id, solid});
    return VisitItemsByAddress(reps, action, filter, data);
}

ProError ProSimprepdataGet(ProSimprep* rep, ProSimprepdata** data) {
    if (!rep || !data) return Refuse("ProSimprepdataGet", "needs a representation");
    const Simprep* simprep = SimprepOf(rep);
    if (!simprep) return PRO_TK_E_NOT_FOUND;
    if (simprep->faults.Has(Fault::DataUnreadable)) return PRO_TK_GENERAL_ERROR;
    auto* made = new ProSimprepdata;
    made->defaultAction = simprep->defaultAction;
    for (const SimprepItem& item : simprep->items) {
        ProSimprepitem record{};
        record.path_size = item.isComponent ? static_cast<int>(item.path.size()) : -1;
        for (size_t i = 0; item.isComponent && i < item.path.size(); ++i)
            record.item_path[i] = item.path[i];
        record.action.type = item.action[0];
        for (size_t i = 1; i < item.action.size(); ++i) record.action.data[i - 1] = item.action[i];
        made->items.push_back(record);
    }
    *data = LiveSimprepData().Add(made);
    return PRO_TK_NO_ERROR;
}

ProError ProSimprepdataDefaultGet(ProSimprepdata* data, ProSimprepActionType* action) {
    if (!LiveSimprepData().Contains(data) || !action)
        return Refuse("ProSimprepdataDefaultGet", "not representation data of the host");
    *action = data->defaultAction;
    return PRO_TK_NO_ERROR;
}

ProError ProSimprepdataitemsVisit(ProSimprepdata* data, ProSimprepitemFilterAction filter,
                                  ProSimprepitemVisitAction action, ProAppData app_data) {
    if (!LiveSimprepData().Contains(data))
        return Refuse("ProSimprepdataitemsVisit", "not representation data of the host");
    const std::vector<ProSimprepitem> items = data->items;  // the data may be freed inside
    return VisitItemsByAddress(items, action, filter, app_data);
}

ProError ProSimprepdataFree(ProSimprepdata** data) {
    if (!data || !LiveSimprepData().Release(*data))
        return Refuse("ProSimprepdataFree", "not representation data of the host");
    *data = nullptr;
    return PRO_TK_NO_ERROR;
}

void RegisterAssemblyFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProSolidFeatVisit);
    SIM_ADD_FUNCTION(table, ProFeatureTypeGet);
    SIM_ADD_FUNCTION(table, ProFeatureStatusGet);
    SIM_ADD_FUNCTION(table, ProAsmcompMdlGet);
    SIM_ADD_FUNCTION(table, ProModelitemIsHidden);
    SIM_ADD_FUNCTION(table, ProAsmcomppathInit);
    SIM_ADD_FUNCTION(table, ProAsmcomppathTrfGet);
    SIM_ADD_FUNCTION(table, ProLayerItemInit);
    SIM_ADD_FUNCTION(table, ProLayeritemStatusGet);
    SIM_ADD_FUNCTION(table, ProLayeritemLayersGet);
    SIM_ADD_FUNCTION(table, ProLayerDisplaystatusGet);
    SIM_ADD_FUNCTION(table, ProSolidSimprepVisit);
    SIM_ADD_FUNCTION(table, ProSimprepdataGet);
    SIM_ADD_FUNCTION(table, ProSimprepdataDefaultGet);
    SIM_ADD_FUNCTION(table, ProSimprepdataitemsVisit);
    SIM_ADD_FUNCTION(table, ProSimprepdataFree);
}

}  // namespace sim
