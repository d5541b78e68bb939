// Geometry of a solid: surface and quilt visits, geometry items, appearances and textures,
// tessellation, contours and edges, and a surface's geometry data.
#include <cstring>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_world.h"
#include "simhost/model_functions.h"
#include "simhost/model_handles.h"
#include "simhost/model_records.h"
#include "simhost/wide_text.h"

namespace sim {

namespace {

// What an appearance or texture question is about: the host's default (no item), a model, or
// one of its surfaces.
struct AppearanceSource {
    const std::optional<Appearance>* appearance = nullptr;
    const std::optional<Texture>* texture = nullptr;
};

bool SourceOf(const ProModelitem* item, AppearanceSource& source) {
    if (!item) {
        source = {&HostWorld().defaultAppearance, &HostWorld().defaultTexture};
        return true;
    }
    Model* model = OwnerOf(item);
    if (!model) return false;
    if (item->type == kItemSurface) {
        const Surface* surface = FindSurface(*model, item->id);
        if (!surface) return false;
        source = {&surface->appearance, &surface->texture};
        return true;
    }
    if (item->type == kItemAssembly || item->type == kItemPart) {
        source = {&model->appearance, &model->texture};
        return true;
    }
    return false;
}

// Whether some texture of the world is known by this name or path and can be resolved; its
// path then.
bool ResolveTexture(const std::u16string& name, std::string& path) {
    auto matches = [&](const std::optional<Texture>& texture) {
        if (!texture || texture->faults.Has(Fault::Unresolvable)) return false;
        if (Utf8ToUtf16(texture->file) != name && Utf8ToUtf16(texture->path) != name) return false;
        path = texture->path;
        return true;
    };
    const World& world = HostWorld();
    if (matches(world.defaultTexture)) return true;
    for (const Model& model : world.models) {
        if (matches(model.texture)) return true;
        for (const Surface& surface : model.surfaces)
            if (matches(surface.texture)) return true;
        for (const Quilt& quilt : model.quilts)
            for (const Surface& surface : quilt.surfaces)
                if (matches(surface.texture)) return true;
    }
    return false;
}

// A geometry item's surface or quilt in its owner.
const Surface* ItemSurface(const ProGeomitem* item) {
    Model* model = OwnerOf(item);
    return model && item->type == kItemSurface ? FindSurface(*model, item->id) : nullptr;
}
const Quilt* ItemQuilt(const ProGeomitem* item) {
    Model* model = OwnerOf(item);
    return model && item->type == kItemQuilt ? FindQuilt(*model, item->id) : nullptr;
}

// A host array copy of count elements of T made by make(i, element).
template <typename T, typename Make>
T* HostArrayOf(size_t count, Make make) {
    auto* array = static_cast<T*>(NewHostArray(static_cast<int>(count), sizeof(T)));
    for (size_t i = 0; array && i < count; ++i) make(i, array[i]);
    return array;
}

// The reader of one array of a tessellation: refused for a stray handle, failing when the
// surface withholds it.
bool TessellationArray(ProTessellation tessellation, void* out, Fault withheld, const char* who,
                       ProError& answer) {
    if (!LiveTessellations().Contains(tessellation) || !out) {
        answer = Refuse(who, "not a tessellation of the host");
        return false;
    }
    if (tessellation->faults.Has(withheld)) {
        answer = PRO_TK_E_NOT_FOUND;
        return false;
    }
    answer = PRO_TK_NO_ERROR;
    return true;
}

}  // namespace

// ---- Surfaces and quilts -----------------------------------------------------------------------

ProError ProSolidSurfaceVisit(ProSolid solid, ProSurfaceVisitAction action,
                              ProSurfaceFilterAction filter, ProAppData data) {
    const Model* model = ModelOf(solid);
    if (!model) return Refuse("ProSolidSurfaceVisit", "needs a model of the session");
    std::vector<ProSurface> surfaces;
    for (const Surface& surface : model->surfaces) surfaces.push_back(ToHandle(surface));
    return VisitItems(surfaces, action, filter, data);
}

ProError ProSolidQuiltVisit(ProSolid solid, ProQuiltVisitAction action, ProQuiltFilterAction filter,
                            ProAppData data) {
    const Model* model = ModelOf(solid);
    if (!model) return Refuse("ProSolidQuiltVisit", "needs a model of the session");
    std::vector<ProQuilt> quilts;
    for (const Quilt& quilt : model->quilts) quilts.push_back(ToHandle(quilt));
    return VisitItems(quilts, action, filter, data);
}

ProError ProQuiltSurfaceVisit(ProQuilt handle, ProSurfaceVisitAction action,
                              ProSurfaceFilterAction filter, ProAppData data) {
    const Quilt* quilt = QuiltOf(handle).quilt;
    if (!quilt) return Refuse("ProQuiltSurfaceVisit", "needs a quilt of a model");
    std::vector<ProSurface> surfaces;
    for (const Surface& surface : quilt->surfaces) surfaces.push_back(ToHandle(surface));
    return VisitItems(surfaces, action, filter, data);
}

ProError ProSurfaceIdGet(ProSurface handle, int* id) {
    const Surface* surface = SurfaceOf(handle).surface;
    if (!surface || !id) return Refuse("ProSurfaceIdGet", "needs a surface of a model");
    if (surface->faults.Has(Fault::NoId)) return PRO_TK_GENERAL_ERROR;
    *id = surface->id;
    return PRO_TK_NO_ERROR;
}

ProError ProSurfaceToGeomitem(ProSolid solid, ProSurface handle, ProGeomitem* item) {
    SurfaceRef ref = SurfaceOf(handle);
    if (!ref.surface || !item || ref.model != ModelOf(solid))
        return Refuse("ProSurfaceToGeomitem", "needs a surface of the solid");
    *item = ProGeomitem{kItemSurface, ref.surface->id, solid};
    return PRO_TK_NO_ERROR;
}

ProError ProQuiltToGeomitem(ProSolid solid, ProQuilt handle, ProGeomitem* item) {
    QuiltRef ref = QuiltOf(handle);
    if (!ref.quilt || !item || ref.model != ModelOf(solid))
        return Refuse("ProQuiltToGeomitem", "needs a quilt of the solid");
    *item = ProGeomitem{kItemQuilt, ref.quilt->id, solid};
    return PRO_TK_NO_ERROR;
}

ProError ProQuiltIdGet(ProQuilt handle, int* id) {
    const Quilt* quilt = QuiltOf(handle).quilt;
    if (!quilt || !id) return Refuse("ProQuiltIdGet", "needs a quilt of a model");
    *id = quilt->id;
    return PRO_TK_NO_ERROR;
}

ProError ProQuiltIsBackupgeometry(ProQuilt handle, ProBoolean* is_backup) {
    const Quilt* quilt = QuiltOf(handle).quilt;
    if (!quilt || !is_backup) return Refuse("ProQuiltIsBackupgeometry", "needs a quilt of a model");
    *is_backup = quilt->backup ? PRO_B_TRUE : PRO_B_FALSE;
    return PRO_TK_NO_ERROR;
}

ProError ProGeomitemFeatureGet(ProGeomitem* item, ProFeature* feature) {
    const Surface* surface = ItemSurface(item);
    const Quilt* quilt = ItemQuilt(item);
    if ((!surface && !quilt) || !feature)
        return Refuse("ProGeomitemFeatureGet", "needs a surface or quilt item of a model");
    *feature = ProFeature{kItemFeature, surface ? surface->feature : quilt->feature, item->owner};
    return PRO_TK_NO_ERROR;
}

ProError ProGeomitemIsInactive(ProGeomitem* item, ProBoolean* inactive) {
    const Surface* surface = ItemSurface(item);
    const Quilt* quilt = ItemQuilt(item);
    if ((!surface && !quilt) || !inactive)
        return Refuse("ProGeomitemIsInactive", "needs a surface or quilt item of a model");
    *inactive = (surface ? surface->inactive : quilt->inactive) ? PRO_B_TRUE : PRO_B_FALSE;
    return PRO_TK_NO_ERROR;
}

// ---- Appearances and textures ------------------------------------------------------------------

ProError ProSurfaceAppearancepropsGet(ProModelitem* item, ProSurfaceAppearanceProps* props) {
    AppearanceSource source;
    if (!props || !SourceOf(item, source))
        return Refuse("ProSurfaceAppearancepropsGet", "needs a surface or model item");
    if (!*source.appearance) return PRO_TK_E_NOT_FOUND;
    const Appearance& appearance = **source.appearance;
    *props = ProSurfaceAppearanceProps{};
    CopyWide(appearance.name, props->name, PRO_NAME_SIZE);
    props->diffuse = appearance.diffuse;
    for (int i = 0; i < 3; ++i) props->color[i] = appearance.color[static_cast<size_t>(i)];
    return PRO_TK_NO_ERROR;
}

// The colour image's file name in the host's narrow text (the ANSI code page), cut to fit.
ProError ProSurfaceTexturepropsGet(ProModelitem* item, ProSurfaceTextureProps* props) {
    AppearanceSource source;
    if (!props || !SourceOf(item, source))
        return Refuse("ProSurfaceTexturepropsGet", "needs a surface or model item");
    if (!*source.texture) return PRO_TK_E_NOT_FOUND;
    *props = ProSurfaceTextureProps{};
    CopyNarrow(WideToAnsi(Utf8ToUtf16((*source.texture)->file)), props->color_map, PRO_PATH_SIZE);
    return PRO_TK_NO_ERROR;
}

ProError ProTexturePathGet(const ProWchar* texture_name, int /*mode*/, int* info, ProWchar* path) {
    if (!texture_name || !path) return Refuse("ProTexturePathGet", "needs a name and a path");
    std::string resolved;
    if (!ResolveTexture(WideFromBuffer(texture_name, PRO_PATH_SIZE), resolved))
        return PRO_TK_E_NOT_FOUND;
    CopyWide(resolved, path, PRO_PATH_SIZE);
    if (info) *info = 0;
    return PRO_TK_NO_ERROR;
}

// ---- Tessellation ------------------------------------------------------------------------------

ProError ProSurfacetessellationinputAlloc(ProSurfaceTessellationInput* input) {
    if (!input) return Refuse("ProSurfacetessellationinputAlloc", "no place for the input");
    *input = LiveTessellationInputs().Add(new ProTessellationInputObject);
    return PRO_TK_NO_ERROR;
}

ProError ProSurfacetessellationinputFree(ProSurfaceTessellationInput input) {
    if (!LiveTessellationInputs().Release(input))
        return Refuse("ProSurfacetessellationinputFree", "not a tessellation input of the host");
    return PRO_TK_NO_ERROR;
}

ProError ProSurfacetessellationinputChordheightSet(ProSurfaceTessellationInput input,
                                                   double chord_height) {
    if (!LiveTessellationInputs().Contains(input))
        return Refuse("ProSurfacetessellationinputChordheightSet", "not a tessellation input");
    input->chordHeight = chord_height;
    return PRO_TK_NO_ERROR;
}

// The host tessellates in (u, v) whatever projection is asked for.
ProError ProSurfacetessellationinputUvprojectionSet(ProSurfaceTessellationInput input,
                                                    ProSurfaceTessellationProjection /*projection*/,
                                                    ProUvProjectionData* /*projection_data*/) {
    if (!LiveTessellationInputs().Contains(input))
        return Refuse("ProSurfacetessellationinputUvprojectionSet", "not a tessellation input");
    return PRO_TK_NO_ERROR;
}

ProError ProSurfaceTessellationGet(ProSurface handle, ProSurfaceTessellationInput input,
                                   ProTessellation* tessellation) {
    const Surface* surface = SurfaceOf(handle).surface;
    if (!surface || !LiveTessellationInputs().Contains(input) || !tessellation)
        return Refuse("ProSurfaceTessellationGet", "needs a surface and a tessellation input");
    const double chordHeight = input->chordHeight;
    if (surface->faults.Has(Fault::TessellationRefused) || !(chordHeight >= surface->chordMin) ||
        !(chordHeight <= surface->chordMax))
        return PRO_TK_GENERAL_ERROR;
    if (surface->faults.Has(Fault::NoTessellation)) {
        *tessellation = nullptr;
        return PRO_TK_NO_ERROR;
    }
    auto* made = new ProTessellationObject;
    made->mesh = TessellateSurface(surface->shape, chordHeight);
    made->faults = surface->faults;
    *tessellation = LiveTessellations().Add(made);
    return PRO_TK_NO_ERROR;
}

ProError ProTessellationVerticesGet(ProTessellation tessellation, ProVector** vertices) {
    ProError answer;
    if (!TessellationArray(tessellation, vertices, Fault::NoVertices, "ProTessellationVerticesGet",
                           answer))
        return answer;
    const std::vector<Point3>& from = tessellation->mesh.vertices;
    *vertices = HostArrayOf<ProVector>(from.size(), [&](size_t i, ProVector& v) {
        v[0] = from[i].x, v[1] = from[i].y, v[2] = from[i].z;
    });
    return PRO_TK_NO_ERROR;
}

ProError ProTessellationNormalsGet(ProTessellation tessellation, ProVector** normals) {
    ProError answer;
    if (!TessellationArray(tessellation, normals, Fault::NoNormals, "ProTessellationNormalsGet",
                           answer))
        return answer;
    const std::vector<Point3>& from = tessellation->mesh.normals;
    *normals = HostArrayOf<ProVector>(from.size(), [&](size_t i, ProVector& n) {
        n[0] = from[i].x, n[1] = from[i].y, n[2] = from[i].z;
    });
    return PRO_TK_NO_ERROR;
}

ProError ProTessellationParamsGet(ProTessellation tessellation, ProUvParam** params) {
    ProError answer;
    if (!TessellationArray(tessellation, params, Fault::NoParams, "ProTessellationParamsGet",
                           answer))
        return answer;
    const auto& from = tessellation->mesh.params;
    *params = HostArrayOf<ProUvParam>(
        from.size(), [&](size_t i, ProUvParam& p) { p[0] = from[i][0], p[1] = from[i][1]; });
    return PRO_TK_NO_ERROR;
}

ProError ProTessellationFacetsGet(ProTessellation tessellation, ProTriangle** facets) {
    ProError answer;
    if (!TessellationArray(tessellation, facets, Fault::NoFacets, "ProTessellationFacetsGet",
                           answer))
        return answer;
    const auto& from = tessellation->mesh.facets;
    *facets = HostArrayOf<ProTriangle>(from.size(), [&](size_t i, ProTriangle& f) {
        f[0] = from[i][0], f[1] = from[i][1], f[2] = from[i][2];
    });
    return PRO_TK_NO_ERROR;
}

ProError ProTessellationFree(ProTessellation tessellation) {
    if (!LiveTessellations().Release(tessellation))
        return Refuse("ProTessellationFree", "not a tessellation of the host");
    return PRO_TK_NO_ERROR;
}

// ---- Contours and edges ------------------------------------------------------------------------

ProError ProSurfaceContourVisit(ProSurface handle, ProContourVisitAction action,
                                ProContourFilterAction filter, ProAppData data) {
    const Surface* surface = SurfaceOf(handle).surface;
    if (!surface) return Refuse("ProSurfaceContourVisit", "needs a surface of a model");
    std::vector<ProContour> contours;
    for (const Contour& contour : surface->contours) contours.push_back(ToHandle(contour));
    return VisitItems(contours, action, filter, data);
}

ProError ProContourTraversalGet(ProContour handle, ProContourTraversal* traversal) {
    const Contour* contour = ContourOf(handle).contour;
    if (!contour || !traversal)
        return Refuse("ProContourTraversalGet", "needs a contour of a surface");
    *traversal = contour->traversal;
    return PRO_TK_NO_ERROR;
}

// The contour's edges in its order.
ProError ProContourEdgeVisit(ProSurface surface, ProContour handle, ProEdgeVisitAction action,
                             ProEdgeFilterAction filter, ProAppData data) {
    ContourRef ref = ContourOf(handle);
    if (!ref.contour || ToHandle(*ref.surface) != surface)
        return Refuse("ProContourEdgeVisit", "needs a contour of the surface");
    std::vector<ProEdge> edges;
    for (int id : ref.contour->edges)
        if (const Edge* edge = FindEdge(*ref.model, id)) edges.push_back(ToHandle(*edge));
    return VisitItems(edges, action, filter, data);
}

ProError ProEdgeIdGet(ProEdge handle, int* id) {
    const Edge* edge = EdgeOf(handle);
    if (!edge || !id) return Refuse("ProEdgeIdGet", "needs an edge of a model");
    *id = edge->id;
    return PRO_TK_NO_ERROR;
}

// ---- Geometry data -----------------------------------------------------------------------------

ProError ProSurfaceDataGet(ProSurface handle, ProGeomitemdata** data) {
    const Surface* surface = SurfaceOf(handle).surface;
    if (!surface || !data) return Refuse("ProSurfaceDataGet", "needs a surface of a model");
    auto* made = new ProGeomitemdata{kItemSurface, NewSurfaceRecord(*surface, false)};
    *data = LiveGeomitemData().Add(made);
    return PRO_TK_NO_ERROR;
}

ProError ProGeomitemdataFree(ProGeomitemdata** data) {
    if (!data || !LiveGeomitemData().Release(*data))
        return Refuse("ProGeomitemdataFree", "not geometry data of the host");
    *data = nullptr;
    return PRO_TK_NO_ERROR;
}

void RegisterGeometryFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProSolidSurfaceVisit);
    SIM_ADD_FUNCTION(table, ProSolidQuiltVisit);
    SIM_ADD_FUNCTION(table, ProQuiltSurfaceVisit);
    SIM_ADD_FUNCTION(table, ProSurfaceIdGet);
    SIM_ADD_FUNCTION(table, ProSurfaceToGeomitem);
    SIM_ADD_FUNCTION(table, ProQuiltToGeomitem);
    SIM_ADD_FUNCTION(table, ProQuiltIdGet);
    SIM_ADD_FUNCTION(table, ProQuiltIsBackupgeometry);
    SIM_ADD_FUNCTION(table, ProGeomitemFeatureGet);
    SIM_ADD_FUNCTION(table, ProGeomitemIsInactive);
    SIM_ADD_FUNCTION(table, ProSurfaceAppearancepropsGet);
    SIM_ADD_FUNCTION(table, ProSurfaceTexturepropsGet);
    SIM_ADD_FUNCTION(table, ProTexturePathGet);
    SIM_ADD_FUNCTION(table, ProSurfacetessellationinputAlloc);
    SIM_ADD_FUNCTION(table, ProSurfacetessellationinputFree);
    SIM_ADD_FUNCTION(table, ProSurfacetessellationinputChordheightSet);
    SIM_ADD_FUNCTION(table, ProSurfacetessellationinputUvprojectionSet);
    SIM_ADD_FUNCTION(table, ProSurfaceTessellationGet);
    SIM_ADD_FUNCTION(table, ProTessellationVerticesGet);
    SIM_ADD_FUNCTION(table, ProTessellationNormalsGet);
    SIM_ADD_FUNCTION(table, ProTessellationParamsGet);
    SIM_ADD_FUNCTION(table, ProTessellationFacetsGet);
    SIM_ADD_FUNCTION(table, ProTessellationFree);
    SIM_ADD_FUNCTION(table, ProSurfaceContourVisit);
    SIM_ADD_FUNCTION(table, ProContourTraversalGet);
    SIM_ADD_FUNCTION(table, ProContourEdgeVisit);
    SIM_ADD_FUNCTION(table, ProEdgeIdGet);
    SIM_ADD_FUNCTION(table, ProSurfaceDataGet);
    SIM_ADD_FUNCTION(table, ProGeomitemdataFree);
}

}  // namespace sim
