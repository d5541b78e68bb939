// Interface data: a copy of a solid's exact geometry (surfaces, quilts, edges with their UV
// curves) taken from the same patches and edges that the tessellation and the contours use, so
// that meshes, NURBS surfaces and trim loops of one surface agree; and the B-spline readers of
// its records and of curve records.
#include <cstring>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_world.h"
#include "simhost/model_functions.h"
#include "simhost/model_handles.h"
#include "simhost/model_records.h"

namespace sim {

namespace {

int InterfaceIdOf(const ProIntfData& data, int surfaceId) {
    for (const auto& [hostId, interfaceId] : data.surfaceIds)
        if (hostId == surfaceId) return interfaceId;
    return -1;
}

// Takes a copy of model's geometry into data (emptied first).
void FillInterfaceData(const Model& model, ProIntfData& data) {
    data.Clear();
    auto note = [&](const Surface& surface) {
        data.surfaceIds.push_back({surface.id, surface.interfaceId});
        return NewSurfaceRecord(surface, true);
    };
    for (const Surface& surface : model.surfaces) data.surfaces.push_back(note(surface));
    for (const Quilt& quilt : model.quilts) {
        ProIntfData::QuiltSurfaces copy;
        copy.id = quilt.id;
        for (const Surface& surface : quilt.surfaces) copy.surfaces.push_back(note(surface));
        data.quilts.push_back(std::move(copy));
    }
    for (const Edge& edge : model.edges) data.edges.push_back(&edge);
    data.filled = true;
}

// Copies count elements into a new host array.
template <typename T>
T* HostCopy(const T* from, int count) {
    auto* array = static_cast<T*>(NewHostArray(count, sizeof(T)));
    if (array && count > 0) std::memcpy(array, from, static_cast<size_t>(count) * sizeof(T));
    return array;
}

bool IsHostArrayOf(const void* array, int count, int elementSize) {
    return IsHostArray(array) && HostArraySize(array) >= count &&
           HostArrayElementSize(array) == elementSize;
}

}  // namespace

// ---- Interface data ----------------------------------------------------------------------------

ProError ProIntfDataAlloc(ProIntfData** data) {
    if (!data) return Refuse("ProIntfDataAlloc", "no place for the data");
    *data = LiveInterfaceData().Add(new ProIntfData);
    return PRO_TK_NO_ERROR;
}

// The representation is taken as the plug-in asks for it: faces as B-splines with their edges.
ProError ProPartToProIntfData(ProPart part, ProOutputBrepRepresentation /*representation*/,
                              ProIntfData* data) {
    const Model* model = ModelOf(part);
    if (!model || !LiveInterfaceData().Contains(data))
        return Refuse("ProPartToProIntfData", "needs a model of the session and interface data");
    if (model->faults.Has(Fault::NoInterfaceData)) return PRO_TK_GENERAL_ERROR;
    FillInterfaceData(*model, *data);
    return PRO_TK_NO_ERROR;
}

ProError ProIntfDataFree(ProIntfData* data) {
    if (!LiveInterfaceData().Release(data))
        return Refuse("ProIntfDataFree", "not interface data of the host");
    return PRO_TK_NO_ERROR;
}

ProError ProIntfDataEdgeCount(ProIntfData* data, int* count) {
    if (!LiveInterfaceData().Contains(data) || !count)
        return Refuse("ProIntfDataEdgeCount", "not interface data");
    *count = static_cast<int>(data->edges.size());
    return PRO_TK_NO_ERROR;
}

ProError ProIntfDataSurfaceCount(ProIntfData* data, int* count) {
    if (!LiveInterfaceData().Contains(data) || !count)
        return Refuse("ProIntfDataSurfaceCount", "not interface data");
    *count = static_cast<int>(data->surfaces.size());
    return PRO_TK_NO_ERROR;
}

ProError ProIntfDataQuiltCount(ProIntfData* data, int* count) {
    if (!LiveInterfaceData().Contains(data) || !count)
        return Refuse("ProIntfDataQuiltCount", "not interface data");
    *count = static_cast<int>(data->quilts.size());
    return PRO_TK_NO_ERROR;
}

ProError ProIntfDataEdgeGet(ProIntfData* data, int index, ProEdgedata** edge) {
    if (!LiveInterfaceData().Contains(data) || !edge)
        return Refuse("ProIntfDataEdgeGet", "not interface data");
    if (index < 0 || static_cast<size_t>(index) >= data->edges.size()) return PRO_TK_BAD_INPUTS;
    const Edge* source = data->edges[static_cast<size_t>(index)];
    if (source->faults.Has(Fault::NoEdgeRecord)) return PRO_TK_GENERAL_ERROR;
    auto* copy = new ProEdgedata;
    copy->edge = source;
    for (int side = 0; side < 2; ++side)
        copy->surfaceIds[side] =
            InterfaceIdOf(*data, source->sides[static_cast<size_t>(side)].surface);
    *edge = LiveEdgeData().Add(copy);
    return PRO_TK_NO_ERROR;
}

ProError ProIntfDataSurfaceGet(ProIntfData* data, int index, ProSurfacedata** surface) {
    if (!LiveInterfaceData().Contains(data) || !surface)
        return Refuse("ProIntfDataSurfaceGet", "not interface data");
    if (index < 0 || static_cast<size_t>(index) >= data->surfaces.size()) return PRO_TK_BAD_INPUTS;
    *surface = data->surfaces[static_cast<size_t>(index)];
    return PRO_TK_NO_ERROR;
}

// A copy of the quilt record; its surface records stay those of the interface data.
ProError ProIntfDataQuiltGet(ProIntfData* data, int index, ProQuiltdata** quilt) {
    if (!LiveInterfaceData().Contains(data) || !quilt)
        return Refuse("ProIntfDataQuiltGet", "not interface data");
    if (index < 0 || static_cast<size_t>(index) >= data->quilts.size()) return PRO_TK_BAD_INPUTS;
    const ProIntfData::QuiltSurfaces& source = data->quilts[static_cast<size_t>(index)];
    auto* copy = new ProQuiltdata{source.id, nullptr};
    copy->surfaces = HostCopy(source.surfaces.data(), static_cast<int>(source.surfaces.size()));
    *quilt = LiveQuiltData().Add(copy);
    return PRO_TK_NO_ERROR;
}

ProError ProQuiltdataMemoryFree(ProQuiltdata* quilt) {
    if (!LiveQuiltData().Release(quilt))
        return Refuse("ProQuiltdataMemoryFree", "not a quilt record of the host");
    return PRO_TK_NO_ERROR;
}

// ---- Edge records ------------------------------------------------------------------------------

// A side without a surface, marked "no_uv_curve", or whose record was not given leaves its
// curve record empty; one marked "not_bspline" gets a curve of another kind.
ProError ProEdgedataGet(ProEdgedata* edge, int* id, int* surface_ids, ProEdgeDir* directions,
                        ProCurvedata* /*xyz_curve*/, ProCurvedata** uv_curves, int* edge_type) {
    if (!LiveEdgeData().Contains(edge))
        return Refuse("ProEdgedataGet", "not an edge record of the host");
    for (int side = 0; uv_curves && side < 2; ++side)
        if (uv_curves[side] && !LiveCurveData().Contains(uv_curves[side]))
            return Refuse("ProEdgedataGet", "a UV curve record the host did not make");
    if (id) *id = edge->edge->id;
    if (edge_type) *edge_type = 0;
    for (int side = 0; side < 2; ++side) {
        const EdgeSide& from = edge->edge->sides[static_cast<size_t>(side)];
        if (surface_ids) surface_ids[side] = edge->surfaceIds[side];
        if (directions) directions[side] = from.direction;
        ProCurvedata* curve = uv_curves ? uv_curves[side] : nullptr;
        if (!curve) continue;
        curve->Clear();
        if (from.surface < 0 || from.faults.Has(Fault::NoUvCurve)) continue;
        if (from.faults.Has(Fault::NotBspline)) {
            curve->type = kCurveLine;
            continue;
        }
        FillCurveRecord(from.curve, *curve);
    }
    return PRO_TK_NO_ERROR;
}

ProError ProEdgedataMemoryFree(ProEdgedata* edge) {
    if (!LiveEdgeData().Release(edge))
        return Refuse("ProEdgedataMemoryFree", "not an edge record of the host");
    return PRO_TK_NO_ERROR;
}

// ---- Surface records ---------------------------------------------------------------------------

ProError ProSurfacedataGet(ProSurfacedata* surface, ProSrftype* type, ProUvParam uv_min,
                           ProUvParam uv_max, ProSurfaceOrient* orientation,
                           ProSurfaceshapedata** shape, int* id) {
    if (!IsLiveSurfaceRecord(surface))
        return Refuse("ProSurfacedataGet", "not a surface record of the host");
    if (type) *type = surface->shape.bspline ? kSurfaceBspline : kSurfacePlane;
    for (int i = 0; i < 2; ++i) {
        if (uv_min) uv_min[i] = surface->uvMin[i];
        if (uv_max) uv_max[i] = surface->uvMax[i];
    }
    if (orientation) *orientation = 1;
    if (shape) *shape = &surface->shape;
    if (id) *id = surface->id;
    return PRO_TK_NO_ERROR;
}

ProError ProSurfacedataContourArrayGet(ProSurfacedata* surface, ProContourdata** contours) {
    if (!IsLiveSurfaceRecord(surface) || !contours)
        return Refuse("ProSurfacedataContourArrayGet", "not a surface record of the host");
    *contours = surface->contours;
    return PRO_TK_NO_ERROR;
}

ProError ProBsplinesrfdataGet(ProSurfaceshapedata* shape, int* degrees, double** u_knots,
                              double** v_knots, double** weights, ProPoint3d** control_points,
                              int* u_knot_count, int* v_knot_count, int* point_count) {
    if (!IsLiveShapeRecord(shape))
        return Refuse("ProBsplinesrfdataGet", "not a shape of a surface record");
    if (!shape->bspline) return PRO_TK_GENERAL_ERROR;
    if (degrees) degrees[0] = shape->degrees[0], degrees[1] = shape->degrees[1];
    if (u_knots) *u_knots = shape->uKnots.data();
    if (v_knots) *v_knots = shape->vKnots.data();
    if (weights) *weights = shape->weights.empty() ? nullptr : shape->weights.data();
    if (control_points) *control_points = reinterpret_cast<ProPoint3d*>(shape->points.data());
    if (u_knot_count) *u_knot_count = static_cast<int>(shape->uKnots.size());
    if (v_knot_count) *v_knot_count = static_cast<int>(shape->vKnots.size());
    if (point_count) *point_count = static_cast<int>(shape->points.size() / 3);
    return PRO_TK_NO_ERROR;
}

// ---- Curve records -----------------------------------------------------------------------------

ProError ProCurvedataAlloc(ProCurvedata** curve) {
    if (!curve) return Refuse("ProCurvedataAlloc", "no place for the record");
    *curve = LiveCurveData().Add(new ProCurvedata);
    return PRO_TK_NO_ERROR;
}

ProError ProCurvedataMemoryFree(ProCurvedata* curve) {
    if (!LiveCurveData().Release(curve))
        return Refuse("ProCurvedataMemoryFree", "not a curve record of the host");
    return PRO_TK_NO_ERROR;
}

ProError ProCurvedataTypeGet(ProCurvedata* curve, ProEnttype* type) {
    if (!LiveCurveData().Contains(curve) || !type)
        return Refuse("ProCurvedataTypeGet", "not a curve record of the host");
    if (curve->type == 0) return PRO_TK_E_NOT_FOUND;
    *type = curve->type;
    return PRO_TK_NO_ERROR;
}

// Each array asked for is a host copy that the caller releases with ProArrayFree.
ProError ProBsplinedataGet(ProCurvedata* curve, int* degree, double** knots, double** weights,
                           ProPoint3d** points, int* knot_count, int* point_count) {
    if (!LiveCurveData().Contains(curve))
        return Refuse("ProBsplinedataGet", "not a curve record of the host");
    if (curve->type != PRO_ENT_B_SPLINE) return PRO_TK_GENERAL_ERROR;
    if (degree) *degree = curve->degree;
    if (knots) *knots = HostCopy(curve->knots, curve->knotCount);
    if (weights) *weights = curve->weights ? HostCopy(curve->weights, curve->pointCount) : nullptr;
    if (points) *points = HostCopy(curve->points, curve->pointCount);
    if (knot_count) *knot_count = curve->knotCount;
    if (point_count) *point_count = curve->pointCount;
    return PRO_TK_NO_ERROR;
}

// The arrays must be host arrays of at least the counts given; they pass to the record, which
// releases them with itself. Refused arrays stay the caller's.
ProError ProBsplinedataInit(int degree, double* knots, double* weights, ProPoint3d* points,
                            int knot_count, int point_count, ProCurvedata* curve) {
    if (!LiveCurveData().Contains(curve))
        return Refuse("ProBsplinedataInit", "not a curve record of the host");
    if (degree < 1 || point_count < degree + 1 || knot_count != point_count + degree + 1 ||
        !IsHostArrayOf(knots, knot_count, sizeof(double)) ||
        !IsHostArrayOf(points, point_count, sizeof(ProPoint3d)) ||
        (weights && !IsHostArrayOf(weights, point_count, sizeof(double))))
        return Refuse("ProBsplinedataInit", "needs a degree, counts that agree and host arrays");
    curve->Clear();
    curve->type = PRO_ENT_B_SPLINE;
    curve->degree = degree;
    curve->knots = knots;
    curve->weights = weights;
    curve->points = points;
    curve->knotCount = knot_count;
    curve->pointCount = point_count;
    return PRO_TK_NO_ERROR;
}

void RegisterInterfaceDataFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProIntfDataAlloc);
    SIM_ADD_FUNCTION(table, ProPartToProIntfData);
    SIM_ADD_FUNCTION(table, ProIntfDataFree);
    SIM_ADD_FUNCTION(table, ProIntfDataEdgeCount);
    SIM_ADD_FUNCTION(table, ProIntfDataSurfaceCount);
    SIM_ADD_FUNCTION(table, ProIntfDataQuiltCount);
    SIM_ADD_FUNCTION(table, ProIntfDataEdgeGet);
    SIM_ADD_FUNCTION(table, ProIntfDataSurfaceGet);
    SIM_ADD_FUNCTION(table, ProIntfDataQuiltGet);
    SIM_ADD_FUNCTION(table, ProQuiltdataMemoryFree);
    SIM_ADD_FUNCTION(table, ProEdgedataGet);
    SIM_ADD_FUNCTION(table, ProEdgedataMemoryFree);
    SIM_ADD_FUNCTION(table, ProSurfacedataGet);
    SIM_ADD_FUNCTION(table, ProSurfacedataContourArrayGet);
    SIM_ADD_FUNCTION(table, ProBsplinesrfdataGet);
    SIM_ADD_FUNCTION(table, ProCurvedataAlloc);
    SIM_ADD_FUNCTION(table, ProCurvedataMemoryFree);
    SIM_ADD_FUNCTION(table, ProCurvedataTypeGet);
    SIM_ADD_FUNCTION(table, ProBsplinedataGet);
    SIM_ADD_FUNCTION(table, ProBsplinedataInit);
}

}  // namespace sim
