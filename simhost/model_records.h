// The host records the model functions hand to the plug-in and take back: tessellation inputs
// and tessellations, simplified-representation data, interface data with its surface, quilt and
// edge records, curve records, and surface geometry data. Each record the plug-in is to release
// is counted from creation to release, so a release of something the host never made (or made
// and already released) is refused, and what the plug-in never released can be reported.
#pragma once

#include <cstddef>
#include <set>
#include <vector>

#include "simhost/model/tessellation.h"
#include "simhost/model/world.h"
#include "simhost/model_functions.h"
#include "toolkit/pro_toolkit.h"

// ---- The records (the toolkit declares their names; the host defines them) ---------------------

struct ProTessellationInputObject {
    double chordHeight = 0.1;  // the host's default, until the plug-in sets one
};

struct ProTessellationObject {
    sim::Tessellation mesh;
    sim::FaultSet faults;  // the arrays a faulty surface withholds
};

struct ProSimprepdata {
    int defaultAction = 2;
    std::vector<ProSimprepitem> items;
};

// The exact shape of a surface record. The arrays belong to the record (ProBsplinesrfdataGet
// hands out pointers into them).
struct ProSurfaceshapedata {
    bool bspline = true;
    int degrees[2] = {1, 1};
    std::vector<double> uKnots, vKnots, weights;
    std::vector<double> points;  // x, y, z of each control point, v running fastest
};

// A surface of the interface data, or of a host surface's geometry data: its id, domain, shape
// and contours. contours is a host array of contour records, each with a host array of edge ids;
// they belong to the record.
struct ProSurfacedata {
    int id = 0;
    double uvMin[2] = {0, 0}, uvMax[2] = {1, 1};
    ProSurfaceshapedata shape;
    ProContourdata* contours = nullptr;

    ProSurfacedata() = default;
    ProSurfacedata(const ProSurfacedata&) = delete;
    ProSurfacedata& operator=(const ProSurfacedata&) = delete;
    ~ProSurfacedata();
};

// The interface data of a solid, a copy taken by ProPartToProIntfData. It owns its surface
// records; its edges point into the world, which outlives it.
struct ProIntfData {
    bool filled = false;
    std::vector<ProSurfacedata*> surfaces;
    struct QuiltSurfaces {
        int id = 0;
        std::vector<ProSurfacedata*> surfaces;
    };
    std::vector<QuiltSurfaces> quilts;
    std::vector<const sim::Edge*> edges;
    std::vector<std::pair<int, int>> surfaceIds;  // host surface id -> interface id

    ProIntfData() = default;
    ProIntfData(const ProIntfData&) = delete;
    ProIntfData& operator=(const ProIntfData&) = delete;
    ~ProIntfData() { Clear(); }
    void Clear();  // releases the surface records; empty again
};

// A copy of one edge of the interface data.
struct ProEdgedata {
    const sim::Edge* edge = nullptr;
    int surfaceIds[2] = {-1, -1};  // interface ids of the two sides' surfaces
};

// A curve record: empty until filled; a B-spline holds host arrays, which belong to it.
struct ProCurvedata {
    ProEnttype type = 0;  // 0: empty
    int degree = 0;
    double* knots = nullptr;
    double* weights = nullptr;  // null for a curve without weights
    ProPoint3d* points = nullptr;
    int knotCount = 0, pointCount = 0;

    ProCurvedata() = default;
    ProCurvedata(const ProCurvedata&) = delete;
    ProCurvedata& operator=(const ProCurvedata&) = delete;
    ~ProCurvedata() { Clear(); }
    void Clear();  // releases the arrays; the record is empty again
};

namespace sim {

// How each kind of record is destroyed: most by delete; a quilt record and a geometry data
// record also release what they hold.
template <typename T>
void Destroy(T* record) {
    delete record;
}
void Destroy(ProQuiltdata* record);
void Destroy(ProGeomitemdata* record);

// The records of one kind that are alive: made by the host and not yet released.
template <typename T>
class LiveRecords {
public:
    T* Add(T* record) {
        live_.insert(record);
        return record;
    }
    bool Contains(const T* record) const { return record && live_.count(const_cast<T*>(record)); }
    // Destroys a live record; false (nothing done) for anything else.
    bool Release(T* record) {
        if (!Contains(record)) return false;
        live_.erase(record);
        Destroy(record);
        return true;
    }
    size_t Size() const { return live_.size(); }
    const std::set<T*>& All() const { return live_; }
    void ReleaseAll() {
        for (T* record : live_) Destroy(record);
        live_.clear();
    }

private:
    std::set<T*> live_;
};

LiveRecords<ProTessellationInputObject>& LiveTessellationInputs();
LiveRecords<ProTessellationObject>& LiveTessellations();
LiveRecords<ProSimprepdata>& LiveSimprepData();
LiveRecords<ProIntfData>& LiveInterfaceData();
LiveRecords<ProEdgedata>& LiveEdgeData();
LiveRecords<ProQuiltdata>& LiveQuiltData();
LiveRecords<ProCurvedata>& LiveCurveData();
LiveRecords<ProGeomitemdata>& LiveGeomitemData();

// Whether record is a surface record of live interface data or live geometry data.
bool IsLiveSurfaceRecord(const ProSurfacedata* record);
// Whether shape is the shape of such a record.
bool IsLiveShapeRecord(const ProSurfaceshapedata* shape);

// A surface record for surface: its interface id (or host id), domain, shape and contours.
ProSurfacedata* NewSurfaceRecord(const Surface& surface, bool interfaceIds);

// Fills curve (emptied first) with the B-spline, its arrays new host arrays.
void FillCurveRecord(const BsplineCurve& bspline, ProCurvedata& curve);

}  // namespace sim
