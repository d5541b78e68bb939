#include "export/nurbs_surfaces.h"

#include <algorithm>
#include <cstdint>

#include "plugin/plugin_application.h"
#include "scene/scene_api.h"
#include "hostcall/host_callback_guard.h"
#include "hostcall/host_held.h"

namespace {

// The edge ids of each contour of a surface record, each list sorted and without repeats: an
// edge that a contour runs along twice (a seam) counts once.
typedef std::vector<std::vector<int>> ContourEdgeIds;

ContourEdgeIds ContoursOf(ProSurfacedata* surface)
{
    ContourEdgeIds contours;
    ProContourdata* array = nullptr;
    if (surface == nullptr ||
        ProSurfacedataContourArrayGet(surface, &array) != PRO_TK_NO_ERROR || array == nullptr)
        return contours;
    int count = 0;
    ProArraySizeGet(array, &count);
    for (int i = 0; i < count; ++i) {
        std::vector<int> ids;
        if (int* edgeIds = array[i].edge_ids) {
            int idCount = 0;
            ProArraySizeGet(edgeIds, &idCount);
            ids.assign(edgeIds, edgeIds + std::max(idCount, 0));
            std::sort(ids.begin(), ids.end());
            ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        }
        contours.push_back(std::move(ids));
    }
    return contours;
}

// Whether some contour of the interface surface has all its edges on some contour of the host
// surface. A contour without edges matches any contour; no contours on either side, none.
bool SharesContour(const ContourEdgeIds& interfaceContours, const ContourEdgeIds& hostContours)
{
    for (const std::vector<int>& part : interfaceContours)
        for (const std::vector<int>& whole : hostContours)
            if (std::includes(whole.begin(), whole.end(), part.begin(), part.end()))
                return true;
    return false;
}

// The host surfaces of the solid with their contours, fetched on first need and kept for the
// rest of the pairing: every interface surface without a host id of its own is tried on them.
class HostContours {
public:
    explicit HostContours(const std::vector<ProSurface>& surfaces) : surfaces_(surfaces) {}

    // The id of the first host surface, in visit order, that shares a contour with contours;
    // false when none does, or when the host cannot give that surface's id.
    bool FindSharing(const ContourEdgeIds& contours, int& id)
    {
        Load();
        for (size_t i = 0; i < surfaces_.size(); ++i) {
            if (SharesContour(contours, contours_[i])) {
                id = 0;
                return ProSurfaceIdGet(surfaces_[i], &id) == PRO_TK_NO_ERROR;
            }
        }
        return false;
    }

private:
    void Load()
    {
        if (loaded_)
            return;
        loaded_ = true;
        for (ProSurface surface : surfaces_) {
            ProGeomitemdata* data = nullptr;
            if (ProSurfaceDataGet(surface, &data) == PRO_TK_NO_ERROR && data != nullptr) {
                const HeldGeomitemdata held(data);
                contours_.push_back(ContoursOf(data->surface_data));
            } else {
                contours_.emplace_back();
            }
        }
    }

    const std::vector<ProSurface>& surfaces_;
    std::vector<ContourEdgeIds> contours_;
    bool loaded_ = false;
};

void MapInterfaceEdges(ProIntfData* data, EdgeIndexMap& edges)
{
    int count = 0;
    ProIntfDataEdgeCount(data, &count);
    for (int i = 0; i < count; ++i) {
        ProEdgedata* edge = nullptr;
        if (ProIntfDataEdgeGet(data, i, &edge) != PRO_TK_NO_ERROR || edge == nullptr)
            continue;
        const HeldEdgedata held(edge);
        int id = 0;
        if (ProEdgedataGet(edge, &id, nullptr, nullptr, nullptr, nullptr, nullptr) ==
            PRO_TK_NO_ERROR)
            edges[id] = i;
    }
}

// First pass: an interface surface whose id is a host surface's id pairs with it at once.
void PairById(ProSurfacedata* surface, const std::set<int>& surfaceIds, InterfaceSurfaceMap& map,
              std::vector<ProSurfacedata*>& unmatched)
{
    int id = 0;
    ProSurfacedataGet(surface, nullptr, nullptr, nullptr, nullptr, nullptr, &id);
    if (surfaceIds.count(id) != 0)
        map[id].push_back(surface);
    else
        unmatched.push_back(surface);
}

// The NURBS form of one interface surface's shape, ready for the scene.
struct NurbsSurfaceValues {
    double umin, umax, vmin, vmax;
    int32_t uorder, vorder;
    const double* uKnots;
    const double* vKnots;
    int uKnotCount, vKnotCount;
    std::vector<double> pw;  // x, y, z, weight per control point, u running fastest
};

// Reads the B-spline shape of surface; false when the host cannot give it as one, or gives
// counts that do not agree (the points must fill the grid that the knots and degrees span).
bool ReadNurbsSurface(ProSurfacedata* surface, NurbsSurfaceValues& values)
{
    ProSurfaceshapedata* shape = nullptr;
    if (ProSurfacedataGet(surface, nullptr, nullptr, nullptr, nullptr, &shape, nullptr) !=
            PRO_TK_NO_ERROR ||
        shape == nullptr)
        return false;
    int degrees[2] = {0, 0};
    double* uKnots = nullptr;
    double* vKnots = nullptr;
    double* weights = nullptr;
    ProPoint3d* points = nullptr;
    int uCount = 0, vCount = 0, pointCount = 0;
    if (ProBsplinesrfdataGet(shape, degrees, &uKnots, &vKnots, &weights, &points, &uCount,
                             &vCount, &pointCount) != PRO_TK_NO_ERROR)
        return false;
    const int du = degrees[0], dv = degrees[1];
    const int64_t cu = int64_t{uCount} - du - 1;
    const int64_t cv = int64_t{vCount} - dv - 1;
    if (du < 0 || dv < 0 || cu < 1 || cv < 1 || cu * cv != pointCount || uKnots == nullptr ||
        vKnots == nullptr || points == nullptr)
        return false;

    values.umin = uKnots[du];
    values.umax = uKnots[uCount - du - 1];
    values.vmin = vKnots[dv];
    values.vmax = vKnots[vCount - dv - 1];
    values.uorder = du + 1;
    values.vorder = dv + 1;
    values.uKnots = uKnots;
    values.vKnots = vKnots;
    values.uKnotCount = uCount;
    values.vKnotCount = vCount;
    // The host's points run v fastest; the renderer's u fastest.
    values.pw.resize(static_cast<size_t>(4 * cu * cv));
    double* out = values.pw.data();
    for (int64_t j = 0; j < cv; ++j) {
        for (int64_t i = 0; i < cu; ++i) {
            const int64_t k = i * cv + j;
            *out++ = points[k][0];
            *out++ = points[k][1];
            *out++ = points[k][2];
            *out++ = weights != nullptr ? weights[k] : 1.0;
        }
    }
    return true;
}

template <typename T>
SceneArray ArrayOf(const std::vector<T>& values)
{
    return {values.data(), static_cast<uint32_t>(values.size())};
}

constexpr SceneValueType kDoubleArray = SceneValueType::Double | SceneValueType::Array;
constexpr SceneValueType kIntArray = SceneValueType::Int | SceneValueType::Array;

}  // namespace

ProOutputBrepRepresentation InterfaceRepresentation()
{
    ProOutputBrepRepresentation representation{};
    representation.switch_0 = 1;
    representation.switch_1 = 1;
    representation.switch_2 = 0;
    representation.word_1 = 2;
    representation.word_2 = 2;
    return representation;
}

namespace {

// The pairing of every surface of data (quilt surfaces included), with the edge index map.
void PairSurfacesOf(ProIntfData* data, const std::set<int>& surfaceIds,
                    const std::vector<ProSurface>& surfaces, InterfacePairing& pairing)
{
    MapInterfaceEdges(data, pairing.edgeIndexMap);

    std::vector<ProSurfacedata*> unmatched;
    int surfaceCount = 0;
    ProIntfDataSurfaceCount(data, &surfaceCount);
    for (int i = 0; i < surfaceCount; ++i) {
        ProSurfacedata* surface = nullptr;
        if (ProIntfDataSurfaceGet(data, i, &surface) == PRO_TK_NO_ERROR && surface != nullptr)
            PairById(surface, surfaceIds, pairing.surfaceMap, unmatched);
    }

    // A quilt's surface records belong to the interface data, so the quilt record can go as
    // soon as they have been taken.
    int quiltCount = 0;
    ProIntfDataQuiltCount(data, &quiltCount);
    for (int q = 0; q < quiltCount; ++q) {
        ProQuiltdata* quilt = nullptr;
        if (ProIntfDataQuiltGet(data, q, &quilt) != PRO_TK_NO_ERROR || quilt == nullptr)
            continue;
        const HeldQuiltdata held(quilt);
        if (quilt->surfaces != nullptr) {
            int count = 0;
            ProArraySizeGet(quilt->surfaces, &count);
            for (int i = 0; i < count; ++i)
                if (quilt->surfaces[i] != nullptr)
                    PairById(quilt->surfaces[i], surfaceIds, pairing.surfaceMap, unmatched);
        }
    }

    // Second pass: the rest pair with the first host surface that shares a contour's edges.
    HostContours hostContours(surfaces);
    for (ProSurfacedata* surface : unmatched) {
        const ContourEdgeIds contours = ContoursOf(surface);
        int id = 0;
        if (!contours.empty() && hostContours.FindSharing(contours, id))
            pairing.surfaceMap[id].push_back(surface);
    }
}

}  // namespace

InterfacePairing PairInterfaceSurfaces(ProSolid solid, const std::set<int>& surfaceIds,
                                       const std::vector<ProSurface>& surfaces)
{
    InterfacePairing pairing;
    pairing.solid = solid;
    ProIntfData* data = nullptr;
    ProIntfDataAlloc(&data);
    // The pairing holds it from here on: it goes with the pairing also when this fails on the way.
    pairing.interfaceData.reset(data);
    if (data != nullptr &&
        ProPartToProIntfData(solid, InterfaceRepresentation(), data) == PRO_TK_NO_ERROR)
        PairSurfacesOf(data, surfaceIds, surfaces, pairing);
    return pairing;
}

void PluginApplication::WriteNurbsObjects(const InterfacePairing& pairing,
                                          const std::set<int>& exportedSurfaceIds,
                                          const char* modelName, ProSurface hostSurface,
                                          int hostSurfaceId, const MaterialKey& key)
{
    trvScene_api* api = sceneBuilder.GetSceneApi();
    const auto found = pairing.surfaceMap.find(hostSurfaceId);
    if (api == nullptr || found == pairing.surfaceMap.end())
        return;
    for (ProSurfacedata* surface : found->second) {
        trimBuffers.Clear();
        if (surface == nullptr)
            continue;
        // The trims come from the host surface's own contours, whichever interface surface is
        // written with them.
        ContourVisitData visit;
        visit.solid = pairing.solid;
        visit.currentSurface = &hostSurface;
        visit.currentSurfaceId = hostSurfaceId;
        visit.interfaceData = pairing.interfaceData.get();
        visit.edgeIndexMap = &pairing.edgeIndexMap;
        visit.exportedSurfaceIds = &exportedSurfaceIds;
        CallRunningCallbacks(ProSurfaceContourVisit, hostSurface, CollectSurfaceTrimLoop, nullptr,
                             &visit);

        api->BeginObject(modelName, true);
        api->BeginGeometry("nurbs");
        WriteNurbsSurface(surface);
        WriteNurbsTrims();
        api->EndGeometry();
        WriteMaterial(modelName, key);
        api->EndObject();
    }
}

void PluginApplication::WriteNurbsSurface(ProSurfacedata* interfaceSurface)
{
    trvScene_api* api = sceneBuilder.GetSceneApi();
    NurbsSurfaceValues values;
    if (api == nullptr || !ReadNurbsSurface(interfaceSurface, values))
        return;
    const SceneArray uKnots{values.uKnots, static_cast<uint32_t>(values.uKnotCount)};
    const SceneArray vKnots{values.vKnots, static_cast<uint32_t>(values.vKnotCount)};
    const SceneArray pw = ArrayOf(values.pw);
    api->SetParameter("umin", SceneValueType::Double, &values.umin);
    api->SetParameter("umax", SceneValueType::Double, &values.umax);
    api->SetParameter("vmin", SceneValueType::Double, &values.vmin);
    api->SetParameter("vmax", SceneValueType::Double, &values.vmax);
    api->SetParameter("uorder", SceneValueType::Int, &values.uorder);
    api->SetParameter("vorder", SceneValueType::Int, &values.vorder);
    api->SetParameter("uknot", kDoubleArray, &uKnots);
    api->SetParameter("vknot", kDoubleArray, &vKnots);
    api->SetParameter("Pw", kDoubleArray, &pw);
}

void PluginApplication::WriteNurbsTrims()
{
    trvScene_api* api = sceneBuilder.GetSceneApi();
    const NurbsTrimBuffers& trims = trimBuffers;
    if (api == nullptr || trims.trim_nedges.empty() || trims.trim_inside.empty() ||
        trims.edge_order.empty() || trims.edge_nknots.empty())
        return;
    const SceneArray arrays[] = {
        ArrayOf(trims.trim_nedges), ArrayOf(trims.trim_inside), ArrayOf(trims.edge_order),
        ArrayOf(trims.edge_nknots), ArrayOf(trims.edge_min),    ArrayOf(trims.edge_max),
        ArrayOf(trims.edge_knot),   ArrayOf(trims.edge_uvw)};
    api->SetParameter("trim_nedges", kIntArray, &arrays[0]);
    api->SetParameter("trim_inside", kIntArray, &arrays[1]);
    api->SetParameter("edge_order", kIntArray, &arrays[2]);
    api->SetParameter("edge_nknots", kIntArray, &arrays[3]);
    api->SetParameter("edge_min", kDoubleArray, &arrays[4]);
    api->SetParameter("edge_max", kDoubleArray, &arrays[5]);
    api->SetParameter("edge_knot", kDoubleArray, &arrays[6]);
    api->SetParameter("edge_uvw", kDoubleArray, &arrays[7]);
}
