#include "simhost/model_records.h"

#include <cstring>

#include "simhost/host_memory.h"

ProSurfacedata::~ProSurfacedata() {
    if (!contours) return;
    const int count = sim::HostArraySize(contours);
    for (int i = 0; i < count; ++i) sim::FreeHostArray(contours[i].edge_ids);
    sim::FreeHostArray(contours);
}

void ProIntfData::Clear() {
    for (ProSurfacedata* surface : surfaces) delete surface;
    for (QuiltSurfaces& quilt : quilts)
        for (ProSurfacedata* surface : quilt.surfaces) delete surface;
    filled = false;
    surfaces.clear();
    quilts.clear();
    edges.clear();
    surfaceIds.clear();
}

void ProCurvedata::Clear() {
    sim::FreeHostArray(knots);
    sim::FreeHostArray(weights);
    sim::FreeHostArray(points);
    type = 0;
    degree = 0;
    knots = weights = nullptr;
    points = nullptr;
    knotCount = pointCount = 0;
}

namespace sim {

void Destroy(ProQuiltdata* record) {
    FreeHostArray(record->surfaces);
    delete record;
}

void Destroy(ProGeomitemdata* record) {
    delete record->surface_data;
    delete record;
}

LiveRecords<ProTessellationInputObject>& LiveTessellationInputs() {
    static LiveRecords<ProTessellationInputObject> live;
    return live;
}
LiveRecords<ProTessellationObject>& LiveTessellations() {
    static LiveRecords<ProTessellationObject> live;
    return live;
}
LiveRecords<ProSimprepdata>& LiveSimprepData() {
    static LiveRecords<ProSimprepdata> live;
    return live;
}
LiveRecords<ProIntfData>& LiveInterfaceData() {
    static LiveRecords<ProIntfData> live;
    return live;
}
LiveRecords<ProEdgedata>& LiveEdgeData() {
    static LiveRecords<ProEdgedata> live;
    return live;
}
LiveRecords<ProQuiltdata>& LiveQuiltData() {
    static LiveRecords<ProQuiltdata> live;
    return live;
}
LiveRecords<ProCurvedata>& LiveCurveData() {
    static LiveRecords<ProCurvedata> live;
    return live;
}
LiveRecords<ProGeomitemdata>& LiveGeomitemData() {
    static LiveRecords<ProGeomitemdata> live;
    return live;
}

size_t LiveModelRecords() {
    return LiveTessellationInputs().Size() + LiveTessellations().Size() + LiveSimprepData().Size() +
           LiveInterfaceData().Size() + LiveEdgeData().Size() + LiveQuiltData().Size() +
           LiveCurveData().Size() + LiveGeomitemData().Size();
}

void FreeModelRecords() {
    // Geometry data and interface data first: their surface records hold host arrays too.
    LiveGeomitemData().ReleaseAll();
    LiveInterfaceData().ReleaseAll();
    LiveQuiltData().ReleaseAll();
    LiveEdgeData().ReleaseAll();
    LiveCurveData().ReleaseAll();
    LiveSimprepData().ReleaseAll();
    LiveTessellations().ReleaseAll();
    LiveTessellationInputs().ReleaseAll();
}

// Surface records live inside interface data and geometry data; both are few, so a search
// through the live ones is quick enough.
bool IsLiveSurfaceRecord(const ProSurfacedata* record) {
    if (!record) return false;
    for (const ProIntfData* data : LiveInterfaceData().All()) {
        for (const ProSurfacedata* s : data->surfaces)
            if (s == record) return true;
        for (const ProIntfData::QuiltSurfaces& quilt : data->quilts)
            for (const ProSurfacedata* s : quilt.surfaces)
                if (s == record) return true;
    }
    for (const ProGeomitemdata* data : LiveGeomitemData().All())
        if (data->surface_data == record) return true;
    return false;
}

bool IsLiveShapeRecord(const ProSurfaceshapedata* shape) {
    if (!shape) return false;
    for (const ProIntfData* data : LiveInterfaceData().All()) {
        for (const ProSurfacedata* s : data->surfaces)
            if (&s->shape == shape) return true;
        for (const ProIntfData::QuiltSurfaces& quilt : data->quilts)
            for (const ProSurfacedata* s : quilt.surfaces)
                if (&s->shape == shape) return true;
    }
    for (const ProGeomitemdata* data : LiveGeomitemData().All())
        if (data->surface_data && &data->surface_data->shape == shape) return true;
    return false;
}

namespace {

// The contours of a surface as host arrays: one contour record per contour, each with a host
// array of its edge ids.
ProContourdata* NewContourArray(const Surface& surface) {
    const int count = static_cast<int>(surface.contours.size());
    auto* contours = static_cast<ProContourdata*>(NewHostArray(count, sizeof(ProContourdata)));
    for (int i = 0; i < count; ++i) {
        const Contour& contour = surface.contours[static_cast<size_t>(i)];
        const int edges = static_cast<int>(contour.edges.size());
        contours[i].traversal = contour.traversal;
        contours[i].edge_ids = static_cast<int*>(NewHostArray(edges, sizeof(int)));
        if (edges > 0) std::memcpy(contours[i].edge_ids, contour.edges.data(), edges * sizeof(int));
    }
    return contours;
}

void FillShape(const BsplineSurface& bspline, bool isBspline, ProSurfaceshapedata& shape) {
    shape.bspline = isBspline;
    shape.degrees[0] = bspline.degreeU;
    shape.degrees[1] = bspline.degreeV;
    shape.uKnots = bspline.knotsU;
    shape.vKnots = bspline.knotsV;
    shape.weights = bspline.weights;
    shape.points.clear();
    for (const Point3& p : bspline.points) shape.points.insert(shape.points.end(), {p.x, p.y, p.z});
}

}  // namespace

ProSurfacedata* NewSurfaceRecord(const Surface& surface, bool interfaceIds) {
    auto* record = new ProSurfacedata;
    record->id = interfaceIds ? surface.interfaceId : surface.id;
    record->uvMin[0] = surface.shape.UMin();
    record->uvMin[1] = surface.shape.VMin();
    record->uvMax[0] = surface.shape.UMax();
    record->uvMax[1] = surface.shape.VMax();
    FillShape(surface.shape, !surface.faults.Has(Fault::NotBspline), record->shape);
    record->contours = NewContourArray(surface);
    return record;
}

void FillCurveRecord(const BsplineCurve& bspline, ProCurvedata& curve) {
    curve.Clear();
    curve.type = PRO_ENT_B_SPLINE;
    curve.degree = bspline.degree;
    curve.knotCount = static_cast<int>(bspline.knots.size());
    curve.pointCount = static_cast<int>(bspline.points.size());
    curve.knots = static_cast<double*>(NewHostArray(curve.knotCount, sizeof(double)));
    std::memcpy(curve.knots, bspline.knots.data(), bspline.knots.size() * sizeof(double));
    if (!bspline.weights.empty()) {
        curve.weights = static_cast<double*>(NewHostArray(curve.pointCount, sizeof(double)));
        std::memcpy(curve.weights, bspline.weights.data(), bspline.weights.size() * sizeof(double));
    }
    curve.points = static_cast<ProPoint3d*>(NewHostArray(curve.pointCount, sizeof(ProPoint3d)));
    for (int i = 0; i < curve.pointCount; ++i) {
        const Point3& p = bspline.points[static_cast<size_t>(i)];
        curve.points[i][0] = p.x;
        curve.points[i][1] = p.y;
        curve.points[i][2] = p.z;
    }
}

}  // namespace sim
