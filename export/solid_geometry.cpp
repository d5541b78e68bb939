#include "export/solid_geometry.h"

#include <cstring>
#include <map>

#include "export/materials.h"
#include "export/nurbs_surfaces.h"
#include "export/tessellation.h"
#include "plugin/plugin_application.h"
#include "scene/scene_api.h"
#include "hostcall/host_callback_guard.h"

namespace {

// Features whose geometry is not exported (the host's number for them).
constexpr ProFeattype kExcludedFeatureType = 1070;
// Scene group flags: a solid whose geometry is sent, and a material group of NURBS output.
constexpr std::uint32_t kSolidGroupFlags = 0x400;
constexpr std::uint32_t kNurbsMaterialGroupFlags = 0x10400;
// ProSurfacetessellationinputUvprojectionSet: parameters as the host gives them.
constexpr ProSurfaceTessellationProjection kHostUvProjection = 0;
// The narrow model name is held in a buffer of this many bytes, its zero included.
constexpr std::size_t kModelNameSize = 32;

// Per material key, the positions in SolidVisitData::surfaces of its surfaces, ascending.
using SurfaceMaterialGroups = std::map<MaterialKey, std::vector<int>, MaterialKeyOrder>;

SolidVisitData& VisitDataOf(ProAppData data) { return *static_cast<SolidVisitData*>(data); }

bool IsTrue(ProBoolean value) { return value != PRO_B_FALSE; }

// The host's id of surface; none when the host cannot give one. Such a surface pairs with no
// NURBS surface: taken as 0, it would pair with every one whose id is 0.
std::optional<int> SurfaceId(ProSurface surface) {
    int id = 0;
    if (ProSurfaceIdGet(surface, &id) != PRO_TK_NO_ERROR) return std::nullopt;
    return id;
}

// Whether the layers hide one item of solid (a status of 0).
bool IsHiddenByLayer(ProLayerType type, int id, ProSolid solid) {
    ProLayerItem item = {};
    ProLayerItemInit(type, id, solid, &item);
    ProLayerItemStatus status = PRO_LAYER_ITEM_SHOWN;
    ProLayeritemStatusGet(&item, nullptr, &status);
    return status == PRO_LAYER_ITEM_HIDDEN;
}

// The solid's model-level appearance and texture; each is handed on only when the host gave it.
struct ModelAppearance {
    ProSurfaceAppearanceProps appearance = {};
    ProSurfaceTextureProps texture = {};
    bool hasAppearance = false;
    bool hasTexture = false;

    const ProSurfaceAppearanceProps* Appearance() const {
        return hasAppearance ? &appearance : nullptr;
    }
    const ProSurfaceTextureProps* Texture() const { return hasTexture ? &texture : nullptr; }
};

void GetModelAppearance(ProSolid solid, ModelAppearance& model) {
    ProModelitem item = {};
    ProMdlToModelitem(solid, &item);
    model.hasAppearance = ProSurfaceAppearancepropsGet(&item, &model.appearance) == PRO_TK_NO_ERROR;
    model.hasTexture = ProSurfaceTexturepropsGet(&item, &model.texture) == PRO_TK_NO_ERROR;
}

// The shared tessellation input of one solid, released on every way out.
class TessellationInput {
public:
    TessellationInput() { ProSurfacetessellationinputAlloc(&handle_); }
    ~TessellationInput() {
        if (handle_ != nullptr) ProSurfacetessellationinputFree(handle_);
    }
    TessellationInput(const TessellationInput&) = delete;
    TessellationInput& operator=(const TessellationInput&) = delete;
    ProSurfaceTessellationInput get() const { return handle_; }

private:
    ProSurfaceTessellationInput handle_ = nullptr;
};

// The solid's own surfaces, then those of each quilt, through the filters.
void CollectSolidSurfaces(SolidVisitData& visit) {
    CallRunningCallbacks(ProSolidSurfaceVisit, visit.solid, CollectSurfaceId, SurfaceFeatureFilter,
                         &visit);
    CallRunningCallbacks(ProSolidQuiltVisit, visit.solid, CollectQuiltSurfaceIds,
                         QuiltVisibilityFilter, &visit);
}

// Groups the collected surfaces by their material key.
void GroupSurfacesByMaterial(const SolidVisitData& visit, const std::string& modelName,
                             const ProAsmcomppath& fullPath, const ModelAppearance& model,
                             SurfaceMaterialGroups& groups) {
    for (std::size_t i = 0; i < visit.surfaces.size(); ++i) {
        const ProSurface surface = visit.surfaces[i];
        ProGeomitem item = {};
        ProSurfaceToGeomitem(visit.solid, surface, &item);
        const MaterialKey key = GetSurfaceMaterialKey(modelName.c_str(), &item, fullPath,
                                                      model.Appearance(), model.Texture());
        groups[key].push_back(static_cast<int>(i));
    }
}

// What the material groups of one solid share while they are written.
struct SolidOutput {
    const SolidVisitData& visit;
    const std::string& modelName;
    const ChordHeights& heights;
    ProSurfaceTessellationInput input;
    bool nurbs;                       // NURBS objects beside the meshes
    const InterfacePairing& pairing;  // empty without NURBS output
};

// The object of a material group's merged mesh, with the group's material.
void WriteMeshObject(PluginApplication& app, const std::string& modelName, const MaterialKey& key) {
    trvScene_api& api = *app.sceneBuilder.GetSceneApi();
    api.BeginObject(modelName.c_str(), true);
    WriteMeshGeometry(api, app.meshBuffers);
    app.WriteMaterial(modelName.c_str(), key);
    api.EndObject();
}

// One material group: its surfaces merged into one mesh object, and with NURBS output each
// tessellated surface's NURBS objects before it, all in a wrapper group. A surface the host
// gives no tessellation for is left out of both.
void WriteMaterialGroup(PluginApplication& app, const SolidOutput& solid, const MaterialKey& key,
                        const std::vector<int>& positions) {
    trvScene_api& api = *app.sceneBuilder.GetSceneApi();
    if (solid.nurbs) {
        api.BeginGroup(solid.modelName.c_str(), true);
        api.SetFlags(kNurbsMaterialGroupFlags);
    }
    MeshBuffers& mesh = app.meshBuffers;
    mesh.Clear();
    int32_t vertexBase = 0;
    for (const int position : positions) {
        const ProSurface surface = solid.visit.surfaces[position];
        const std::optional<int> id = solid.visit.surfaceIdAt[position];
        const double quality = UsableQuality(app.settings.tessellationQuality);
        const ProTessellation tessellation =
            TessellateSurface(surface, solid.input, solid.heights, quality);
        if (tessellation == nullptr) continue;
        AppendHostTessellation(tessellation, mesh, vertexBase);
        if (solid.nurbs && id) {
            app.WriteNurbsObjects(solid.pairing, solid.visit.surfaceIds, solid.modelName.c_str(),
                                  surface, *id, key);
        }
    }
    if (!mesh.vertices.empty() && !mesh.indices.empty()) WriteMeshObject(app, solid.modelName, key);
    if (solid.nurbs) api.EndGroup();
}

// The geometry of a solid's group: its flags, then its material groups in key order.
void WriteSolidMaterialGroups(PluginApplication& app, const SolidVisitData& visit,
                              const std::string& modelName, const ProAsmcomppath& fullPath,
                              const ModelAppearance& model, const ChordHeights& heights,
                              ProSurfaceTessellationInput input) {
    app.sceneBuilder.GetSceneApi()->SetFlags(kSolidGroupFlags);
    const bool nurbs = app.settings.includeNURBS;
    InterfacePairing pairing;
    if (nurbs) pairing = PairInterfaceSurfaces(visit.solid, visit.surfaceIds, visit.surfaces);

    SurfaceMaterialGroups groups;
    GroupSurfacesByMaterial(visit, modelName, fullPath, model, groups);
    const SolidOutput solid = {visit, modelName, heights, input, nurbs, pairing};
    for (const auto& group : groups) WriteMaterialGroup(app, solid, group.first, group.second);
}

}  // namespace

// The host writes the whole narrow text, which in a multi-byte code page takes more than a byte
// per character, so it gets room for the longest first (31 wide characters, at most 3 bytes each);
// the name is then cut to 31 bytes.
std::string NarrowModelName(ProMdl model) {
    ProName wide = {};
    ProMdlNameGet(model, wide);
    wide[PRO_NAME_SIZE - 1] = 0;
    char narrow[4 * PRO_NAME_SIZE] = {};
    ProWstringToString(narrow, wide);
    narrow[sizeof narrow - 1] = 0;
    return std::string(narrow, strnlen(narrow, kModelNameSize - 1));
}

// ---- Visit callbacks ----------------------------------------------------------------------------

namespace {

// What both filters read of a geometry item and its feature, in this order of host calls.
struct ItemFeature {
    ProFeature feature = {};
    ProFeatStatus status = PRO_FEAT_ACTIVE;
    ProFeattype type = 0;
    ProBoolean inactive = PRO_B_FALSE;

    // A suppressed or otherwise inactive feature, an inactive item, or the excluded type.
    bool IsLeftOut() const {
        return status != PRO_FEAT_ACTIVE || IsTrue(inactive) || type == kExcludedFeatureType;
    }
};

ItemFeature ReadItemFeature(ProGeomitem& item) {
    ItemFeature read;
    ProGeomitemFeatureGet(&item, &read.feature);
    ProFeatureStatusGet(&read.feature, &read.status);
    ProFeatureTypeGet(&read.feature, &read.type);
    ProGeomitemIsInactive(&item, &read.inactive);
    return read;
}

ProError FilterSurface(ProSurface surface, ProAppData data) {
    const SolidVisitData& visit = VisitDataOf(data);
    ProGeomitem item = {};
    ProSurfaceToGeomitem(visit.solid, surface, &item);
    return ReadItemFeature(item).IsLeftOut() ? PRO_TK_CONTINUE : PRO_TK_NO_ERROR;
}

ProError FilterQuilt(ProQuilt quilt, ProAppData data) {
    const SolidVisitData& visit = VisitDataOf(data);
    ProGeomitem item = {};
    ProQuiltToGeomitem(visit.solid, quilt, &item);
    ItemFeature read = ReadItemFeature(item);
    ProFeature& feature = read.feature;
    ProBoolean quiltHidden = PRO_B_FALSE;
    ProModelitemIsHidden(&item, &quiltHidden);
    ProBoolean featureHidden = PRO_B_FALSE;
    ProModelitemIsHidden(&feature, &featureHidden);
    ProBoolean backup = PRO_B_FALSE;
    ProQuiltIsBackupgeometry(quilt, &backup);
    int quiltId = 0;
    ProQuiltIdGet(quilt, &quiltId);

    if (IsHiddenByLayer(PRO_LAYER_ITEM_QUILT, quiltId, visit.solid)) return PRO_TK_CONTINUE;
    if (IsHiddenByLayer(PRO_LAYER_ITEM_FEATURE, feature.id, visit.solid)) return PRO_TK_CONTINUE;
    const bool skip =
        read.IsLeftOut() || IsTrue(quiltHidden) || IsTrue(featureHidden) || IsTrue(backup);
    return skip ? PRO_TK_CONTINUE : PRO_TK_NO_ERROR;
}

ProError CollectSurface(ProSurface surface, ProAppData data) {
    SolidVisitData& visit = VisitDataOf(data);
    visit.surfaces.push_back(surface);
    const std::optional<int> id = SurfaceId(surface);
    visit.surfaceIdAt.push_back(id);
    if (id) visit.surfaceIds.insert(*id);
    return PRO_TK_NO_ERROR;
}

ProError CollectQuiltSurfaces(ProQuilt quilt, ProAppData data) {
    CallRunningCallbacks(ProQuiltSurfaceVisit, quilt, CollectSurfaceId, SurfaceFeatureFilter, data);
    return PRO_TK_NO_ERROR;
}

}  // namespace

ProError SurfaceFeatureFilter(ProSurface surface, ProAppData data) {
    return GuardVisitCallback([&] { return FilterSurface(surface, data); });
}

ProError QuiltVisibilityFilter(ProQuilt quilt, ProAppData data) {
    return GuardVisitCallback([&] { return FilterQuilt(quilt, data); });
}

ProError CollectSurfaceId(ProSurface surface, ProError /*status*/, ProAppData data) {
    return GuardVisitCallback([&] { return CollectSurface(surface, data); });
}

ProError CollectQuiltSurfaceIds(ProQuilt quilt, ProError /*status*/, ProAppData data) {
    return GuardVisitCallback([&] { return CollectQuiltSurfaces(quilt, data); });
}

// ---- The solid's group --------------------------------------------------------------------------

void PluginApplication::ExportSolidGeometry(ProSolid solid, const ProAsmcomppath& fullPath,
                                            const ProAsmcomppath& localPath,
                                            const std::string& name, const ProMatrix transform,
                                            bool writeGeometry) {
    const ChordHeights heights = SolidChordHeights(solid);
    const std::string modelName = NarrowModelName(solid);
    TessellationInput input;
    ModelAppearance model;
    GetModelAppearance(solid, model);
    const double quality = UsableQuality(settings.tessellationQuality);
    ProSurfacetessellationinputChordheightSet(input.get(), ChordHeightForQuality(heights, quality));
    ProSurfacetessellationinputUvprojectionSet(input.get(), kHostUvProjection, nullptr);

    SolidVisitData visit;
    visit.solid = solid;
    CollectSolidSurfaces(visit);
    if (!visit.surfaces.empty()) {
        sceneBuilder.OpenGroup(name.c_str());
        if (writeGeometry) {
            WriteSolidMaterialGroups(*this, visit, modelName, fullPath, model, heights,
                                     input.get());
        }
        WriteComponentAnimation(fullPath, localPath, name.c_str());
        sceneBuilder.GetSceneApi()->Transform(&transform[0][0], false);
        sceneBuilder.CloseGroup();
    }
    // Emptied, their storage kept for the next solid.
    meshBuffers.Clear();
    trimBuffers.Clear();
}
