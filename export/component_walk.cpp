#include "export/component_walk.h"

#include <cstdint>
#include <string>

#include "export/component_path.h"
#include "export/solid_geometry.h"
#include "plugin/plugin_application.h"
#include "scene/scene_api.h"
#include "hostcall/host_callback_guard.h"

namespace {

// Scene group flags of a sub-assembly component's group.
constexpr std::uint32_t kSubAssemblyGroupFlags = 0x8000;

const ProMatrix kIdentity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

void CopyMatrix(const ProMatrix from, ProMatrix to) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) to[r][c] = from[r][c];
    }
}

// Every layer that holds the feature shows it (display status 1 or -1). Each layer is asked,
// also after one has failed the test.
bool LayersDisplayed(ProLayerItem* item) {
    ProLayer* layers = nullptr;
    ProLayeritemLayersGet(nullptr, item, &layers);
    if (layers == nullptr) return true;
    int count = 0;
    ProArraySizeGet(layers, &count);
    bool displayed = true;
    for (int i = 0; i < count; ++i) {
        ProLayerDisplay status = 0;
        ProLayerDisplaystatusGet(&layers[i], &status);
        if (status != 1 && status != -1) displayed = false;
    }
    ProArray array = layers;
    ProArrayFree(&array);
    return displayed;
}

// The component's path from the top model: the enclosing assembly's identifiers and its own.
// The caller makes sure the parent's path has room for one more.
ProAsmcomppath FullPathOf(const ComponentVisitData& parent, int componentId) {
    int ids[PRO_MAX_ASSEMBLY_LEVEL] = {};
    const int parentCount = parent.assemblyPath.table_num;
    for (int i = 0; i < parentCount; ++i) ids[i] = parent.assemblyPath.comp_id_table[i];
    ids[parentCount] = componentId;
    ProAsmcomppath path = {};
    ProAsmcomppathInit(parent.assemblyPath.owner, ids, parentCount + 1, &path);
    return path;
}

bool SamePath(const ProAsmcomppath& a, const ProAsmcomppath& b) {
    return !ComponentPathLess(a, b) && !ComponentPathLess(b, a);
}

// Whether the component's model changed since the run that last recorded fullPath, recording
// the stamp it has now. A stamp that cannot be read counts as changed and leaves no entry, so
// the next run counts the component as changed too.
bool RecordStamp(ComponentVersionStamps& stamps, const ProAsmcomppath& fullPath, ProMdl model) {
    ProWVerstamp stamp = {};
    if (ProMdlVerstampGet(model, &stamp) != PRO_TK_NO_ERROR) {
        stamps.erase(fullPath);
        return true;
    }
    bool changed = true;
    const auto found = stamps.find(fullPath);
    if (found != stamps.end()) {
        changed = ProVerstampEqual(found->second, stamp) != PRO_B_TRUE;
        found->second = stamp;
    } else {
        stamps.emplace(fullPath, stamp);
    }
    return changed;
}

// Whether one of the Update's manual picks is the component itself.
bool IsPicked(const PluginApplication& app, const ProAsmcomppath& fullPath) {
    ProSelection* picks = app.GetSelectedComponents();
    if (picks == nullptr) return false;
    const int count = app.GetSelectedComponentCount();
    bool picked = false;
    for (int i = 0; i < count; ++i) {
        ProAsmcomppath path = {};
        ProSelectionAsmcomppathGet(picks[i], &path);
        if (SamePath(path, fullPath)) picked = true;
    }
    return picked;
}

// Inclusion in the chosen simplified representation: inherited (or the default action
// includes), unless the component's own item decides.
bool IsIncluded(const ComponentVisitData& parent, const ProAsmcomppath& fullPath) {
    bool included = parent.defaultAction == PRO_SIMPREP_INCLUDE || parent.includeInherited;
    if (parent.simprepItems == nullptr) return included;
    const auto item = parent.simprepItems->find(fullPath);
    if (item == parent.simprepItems->end()) return included;
    switch (item->second.type) {
        case PRO_SIMPREP_REVERSE: return !included;
        case PRO_SIMPREP_EXCLUDE: return false;
        default: return true;
    }
}

// One component met by the walk, with everything decided about it.
struct ComponentVisit {
    ProMdl model = nullptr;
    std::string name;
    ProAsmcomppath fullPath = {};
    ProAsmcomppath localPath = {};
    ProMatrix placementInTop = {};  // T: the component's placement in top-model coordinates
    ProMatrix placement = {};       // M: its placement in the enclosing assembly's coordinates
    bool included = false;
    bool selected = false;
    bool writeGeometry = false;
};

// A part, or a sub-assembly's own surfaces: as instances when registered, else its geometry.
void ExportSolid(PluginApplication& app, const ComponentVisit& visit, ProMdlType type) {
    const std::string key = visit.name + (type == PRO_MDL_ASSEMBLY ? ".asm" : ".prt");
    if (app.HasPartInstances(key)) {
        app.ExportSolidInstances(key, visit.name);
    } else {
        app.ExportSolidGeometry(visit.model, visit.fullPath, visit.localPath, visit.name,
                                visit.placement, visit.writeGeometry);
    }
}

// A sub-assembly: its group with the groups of its own components inside, its animation block
// and its placement; then its own surfaces in a group of their own after it.
void ExportSubAssembly(PluginApplication& app, const ComponentVisitData& parent,
                       const ComponentVisit& visit) {
    SceneBuilder& builder = *app.GetSceneBuilder();
    builder.OpenGroup(visit.name.c_str());
    builder.GetSceneApi()->SetFlags(kSubAssemblyGroupFlags);

    ComponentVisitData child;
    ProAsmcomppathInit(visit.fullPath.owner, visit.fullPath.comp_id_table,
                       visit.fullPath.table_num, &child.assemblyPath);
    child.assemblyModel = visit.model;
    child.versionStamps = parent.versionStamps;
    child.includeInherited = visit.included;
    child.selectedInherited = visit.selected;
    child.defaultAction = parent.defaultAction;
    child.simprepItems = parent.simprepItems;
    // A placement without a usable scale has no inverse: the child record then keeps the
    // identity, and its components are placed in top-model coordinates.
    InvertTransform(&visit.placementInTop, child.parentTransform);
    CallRunningCallbacks(ProSolidFeatVisit, visit.model, VisitComponent, ComponentFeatureFilter,
                         &child);

    app.WriteComponentAnimation(visit.fullPath, visit.localPath, visit.name.c_str());
    builder.GetSceneApi()->Transform(&visit.placement[0][0], false);
    builder.CloseGroup();

    ExportSolid(app, visit, PRO_MDL_ASSEMBLY);
}

}  // namespace

void PluginApplication::ExportModel(ProSolid* model, int mode, ComponentVisitData* root,
                                    std::string name) {
    ExportCameras(*model);

    root->assemblyModel = *model;
    CopyMatrix(kIdentity, root->parentTransform);
    root->versionStamps = &componentVersionStamps;
    root->assemblyPath = ProAsmcomppath{};
    ProAsmcomppathInit(*model, nullptr, 0, &root->assemblyPath);

    if (mode == PRO_MODE_ASSEMBLY) {
        CallRunningCallbacks(ProSolidFeatVisit, *model, VisitComponent, ComponentFeatureFilter, root);
    } else if (mode != 1 && mode != 2) {
        return;  // no part or assembly mode: the cameras alone
    }
    // The top model's own surfaces, always with their geometry, also during an Update.
    ExportSolidGeometry(*model, root->assemblyPath, root->assemblyPath, name, kIdentity, true);
}

bool PicksTopModel(ProSelection* picks, int count) {
    bool picked = false;
    for (int i = 0; picks != nullptr && i < count; ++i) {
        ProAsmcomppath path = {};
        ProSelectionAsmcomppathGet(picks[i], &path);
        if (path.table_num == 0) picked = true;
    }
    return picked;
}

namespace {

ProError FilterComponent(ProAsmcomp* component, ProAppData data) {
    const auto* parent = static_cast<const ComponentVisitData*>(data);

    ProFeattype type = 0;
    ProFeatureTypeGet(component, &type);
    if (type != PRO_FEAT_COMPONENT) return PRO_TK_CONTINUE;
    ProMdl model = nullptr;
    if (ProAsmcompMdlGet(component, &model) != PRO_TK_NO_ERROR) return PRO_TK_CONTINUE;

    ProFeatStatus status = PRO_FEAT_ACTIVE;
    ProFeatureStatusGet(component, &status);

    ProLayerItem item = {};
    ProLayerItemInit(PRO_LAYER_ITEM_FEATURE, component->id, parent->assemblyModel, &item);
    ProLayerItemStatus layerStatus = PRO_LAYER_ITEM_SHOWN;
    ProLayeritemStatusGet(&item, nullptr, &layerStatus);
    const bool displayed = LayersDisplayed(&item);

    ProBoolean hidden = PRO_B_FALSE;
    ProModelitemIsHidden(component, &hidden);

    const bool shown = status == PRO_FEAT_ACTIVE && layerStatus == PRO_LAYER_ITEM_SHOWN &&
                       displayed && hidden != PRO_B_TRUE;
    return shown ? PRO_TK_NO_ERROR : PRO_TK_CONTINUE;
}

ProError WalkComponent(ProAsmcomp* component, ProAppData data) {
    PluginApplication& app = *GetPluginApplication();
    const auto& parent = *static_cast<const ComponentVisitData*>(data);
    // A component path holds at most 25 identifiers: a component deeper down cannot be named,
    // so it is left out with everything below it.
    if (parent.assemblyPath.table_num < 0 ||
        parent.assemblyPath.table_num >= PRO_MAX_ASSEMBLY_LEVEL) {
        return PRO_TK_NO_ERROR;
    }

    ComponentVisit visit;
    ProAsmcompMdlGet(component, &visit.model);
    visit.name = NarrowModelName(visit.model);
    visit.fullPath = FullPathOf(parent, component->id);
    ProAsmcomppathInit(parent.assemblyModel, &component->id, 1, &visit.localPath);

    CopyMatrix(kIdentity, visit.placementInTop);
    ProAsmcomppathTrfGet(&visit.fullPath, PRO_B_TRUE, visit.placementInTop);
    MultiplyMatrix(visit.placementInTop, visit.placement, parent.parentTransform);

    const bool changed = parent.versionStamps == nullptr ||
                         RecordStamp(*parent.versionStamps, visit.fullPath, visit.model);
    const bool update = app.IsUpdateInProgress();
    visit.selected = parent.selectedInherited ||
                     (update && app.IsManualSelection() && app.GetSelectedComponentCount() > 0 &&
                      IsPicked(app, visit.fullPath));
    visit.included = IsIncluded(parent, visit.fullPath);
    visit.writeGeometry = visit.included && (!update || changed || visit.selected);

    ProMdlType type = 0;
    ProMdlTypeGet(visit.model, &type);
    if (type == PRO_MDL_ASSEMBLY) {
        ExportSubAssembly(app, parent, visit);
    } else if (type == PRO_MDL_PART) {
        ExportSolid(app, visit, PRO_MDL_PART);
    }
    return PRO_TK_NO_ERROR;
}

}  // namespace

ProError ComponentFeatureFilter(ProAsmcomp* component, ProAppData data) {
    return GuardVisitCallback([&] { return FilterComponent(component, data); });
}

ProError VisitComponent(ProAsmcomp* component, ProError /*status*/, ProAppData data) {
    return GuardVisitCallback([&] { return WalkComponent(component, data); });
}
