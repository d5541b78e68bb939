#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/model/bspline.h"
#include "simhost/model_records.h"
#include "sim_test_world.h"

namespace sim {
namespace {

const char* kParts = R"({
  "current": "P",
  "models": [
    {"name": "P", "type": "part",
     "shapes": [{"box": {"min": [0, 0, 0], "max": [3, 2, 1]}},
                {"cylinder": {"radius": 1, "height": 2}, "placement": {"translate": [5, 0, 0]}}],
     "quilts": [{"id": 80, "shapes": [{"rectangle": {"size": [2, 2]}}]}]},
    {"name": "FAULTY", "type": "part",
     "surfaces": [
       {"id": 1, "interface_id": 501, "faults": ["not_bspline"],
        "patch": {"degree": [1, 1], "knots_u": [0, 0, 1, 1], "knots_v": [0, 0, 1, 1],
                  "points": [[0,0,0],[0,1,0],[1,0,0],[1,1,0]]},
        "contours": [{"traversal": -1, "edges": [10, 11]}]},
       {"id": 2,
        "patch": {"degree": [1, 1], "knots_u": [0, 0, 1, 1], "knots_v": [0, 0, 1, 1],
                  "points": [[0,0,0],[0,1,0],[-1,0,0],[-1,1,0]]},
        "contours": [{"edges": [10]}]}],
     "edges": [
       {"id": 10, "sides": [
          {"surface": 1, "curve": {"degree": 1, "knots": [0, 0, 1, 1], "points": [[0, 0], [0, 1]]},
           "faults": ["not_bspline"]},
          {"surface": 2, "direction": 1, "faults": ["no_uv_curve"]}]},
       {"id": 11, "sides": [{"surface": 1, "curve": {"degree": 1, "knots": [0, 0, 1, 1],
                                                     "points": [[1, 0], [1, 1]]}}],
        "faults": ["no_edge_record"]}]},
    {"name": "NO_DATA", "type": "part", "faults": ["no_interface_data"]}
  ]
})";

class InterfaceData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UseWorld(kParts));
        blocks = LiveHostBlocks();
    }
    void TearDown() override {
        EXPECT_EQ(LiveModelRecords(), 0u);
        EXPECT_EQ(LiveHostBlocks(), blocks);
        EXPECT_EQ(ProblemCount(), 0u);
    }

    ProIntfData* Make(const char* model) {
        ProIntfData* data = nullptr;
        EXPECT_EQ(sim::ProIntfDataAlloc(&data), PRO_TK_NO_ERROR);
        ProOutputBrepRepresentation representation{1, 1, 0, 2, 2};
        EXPECT_EQ(sim::ProPartToProIntfData(Handle(model), representation, data), PRO_TK_NO_ERROR);
        return data;
    }

    size_t blocks = 0;
};

// The B-spline of an interface surface as the plug-in reads it.
BsplineSurface ShapeOf(ProSurfacedata* record) {
    ProSurfaceshapedata* shape = nullptr;
    EXPECT_EQ(sim::ProSurfacedataGet(record, nullptr, nullptr, nullptr, nullptr, &shape, nullptr),
              PRO_TK_NO_ERROR);
    int degrees[2], uCount = 0, vCount = 0, pointCount = 0;
    double *u = nullptr, *v = nullptr, *w = nullptr;
    ProPoint3d* points = nullptr;
    EXPECT_EQ(sim::ProBsplinesrfdataGet(shape, degrees, &u, &v, &w, &points, &uCount, &vCount,
                                        &pointCount),
              PRO_TK_NO_ERROR);
    BsplineSurface s;
    s.degreeU = degrees[0];
    s.degreeV = degrees[1];
    s.knotsU.assign(u, u + uCount);
    s.knotsV.assign(v, v + vCount);
    for (int i = 0; i < pointCount; ++i)
        s.points.push_back({points[i][0], points[i][1], points[i][2]});
    if (w) s.weights.assign(w, w + pointCount);
    return s;
}

// The B-spline in a curve record, its arrays released as the plug-in releases them.
BsplineCurve CurveOf(ProCurvedata* record) {
    int degree = 0, knotCount = 0, pointCount = 0;
    double *knots = nullptr, *weights = nullptr;
    ProPoint3d* points = nullptr;
    EXPECT_EQ(
        sim::ProBsplinedataGet(record, &degree, &knots, &weights, &points, &knotCount, &pointCount),
        PRO_TK_NO_ERROR);
    BsplineCurve c;
    c.degree = degree;
    c.knots.assign(knots, knots + knotCount);
    for (int i = 0; i < pointCount; ++i)
        c.points.push_back({points[i][0], points[i][1], points[i][2]});
    if (weights) c.weights.assign(weights, weights + pointCount);
    for (void* array :
         {static_cast<void*>(knots), static_cast<void*>(weights), static_cast<void*>(points)}) {
        ProArray a = array;
        if (a) sim::ProArrayFree(&a);
    }
    return c;
}

// The host's tessellation of the surface with that id: vertices and their parameters.
std::vector<std::pair<Point3, std::array<double, 2>>> MeshOf(int id) {
    const Surface* surface = FindSurface(*FindModel(HostWorld(), "P"), id);
    ProSurfaceTessellationInput input = nullptr;
    sim::ProSurfacetessellationinputAlloc(&input);
    sim::ProSurfacetessellationinputChordheightSet(input, 0.05);
    ProTessellation tessellation = nullptr;
    EXPECT_EQ(sim::ProSurfaceTessellationGet(ToHandle(*surface), input, &tessellation),
              PRO_TK_NO_ERROR);
    ProVector* vertices = nullptr;
    ProUvParam* params = nullptr;
    sim::ProTessellationVerticesGet(tessellation, &vertices);
    sim::ProTessellationParamsGet(tessellation, &params);
    std::vector<std::pair<Point3, std::array<double, 2>>> mesh;
    for (int i = 0; i < HostArraySize(vertices); ++i)
        mesh.push_back(
            {{vertices[i][0], vertices[i][1], vertices[i][2]}, {params[i][0], params[i][1]}});
    ProArray a = vertices, b = params;
    sim::ProArrayFree(&a);
    sim::ProArrayFree(&b);
    sim::ProTessellationFree(tessellation);
    sim::ProSurfacetessellationinputFree(input);
    return mesh;
}

int IdOf(ProSurfacedata* record) {
    int id = 0;
    sim::ProSurfacedataGet(record, nullptr, nullptr, nullptr, nullptr, nullptr, &id);
    return id;
}

TEST_F(InterfaceData, SurfacesAreTheTessellatedPatches) {
    ProIntfData* data = Make("P");
    int surfaces = 0, quilts = 0, edges = 0;
    sim::ProIntfDataSurfaceCount(data, &surfaces);
    sim::ProIntfDataQuiltCount(data, &quilts);
    sim::ProIntfDataEdgeCount(data, &edges);
    EXPECT_EQ(surfaces, 12);
    EXPECT_EQ(quilts, 1);
    EXPECT_EQ(edges, 12 + 12 + 4);

    std::vector<ProSurfacedata*> records;
    for (int i = 0; i < surfaces; ++i) {
        ProSurfacedata* record = nullptr;
        ASSERT_EQ(sim::ProIntfDataSurfaceGet(data, i, &record), PRO_TK_NO_ERROR);
        records.push_back(record);
    }
    ProQuiltdata* quilt = nullptr;
    ASSERT_EQ(sim::ProIntfDataQuiltGet(data, 0, &quilt), PRO_TK_NO_ERROR);
    EXPECT_EQ(quilt->id, 80);
    ASSERT_EQ(HostArraySize(quilt->surfaces), 1);
    records.push_back(quilt->surfaces[0]);
    ASSERT_EQ(sim::ProQuiltdataMemoryFree(quilt), PRO_TK_NO_ERROR);

    // Every mesh vertex lies where the interface B-spline puts its parameters.
    for (ProSurfacedata* record : records) {
        const BsplineSurface shape = ShapeOf(record);
        for (const auto& [vertex, uv] : MeshOf(IdOf(record)))
            EXPECT_LT(Length(EvaluateSurface(shape, uv[0], uv[1]).point - vertex), 1e-9);
    }
    EXPECT_EQ(sim::ProIntfDataFree(data), PRO_TK_NO_ERROR);
}

TEST_F(InterfaceData, EdgeCurvesMeetOnBothSurfacesAndBoundTheirContours) {
    ProIntfData* data = Make("P");
    std::map<int, ProSurfacedata*> byId;
    int surfaces = 0;
    sim::ProIntfDataSurfaceCount(data, &surfaces);
    for (int i = 0; i < surfaces; ++i) {
        ProSurfacedata* record = nullptr;
        sim::ProIntfDataSurfaceGet(data, i, &record);
        byId[IdOf(record)] = record;
    }
    int edges = 0, shared = 0;
    sim::ProIntfDataEdgeCount(data, &edges);
    for (int i = 0; i < edges; ++i) {
        ProEdgedata* edge = nullptr;
        ASSERT_EQ(sim::ProIntfDataEdgeGet(data, i, &edge), PRO_TK_NO_ERROR);
        ProCurvedata* curves[2] = {nullptr, nullptr};
        sim::ProCurvedataAlloc(&curves[0]);
        sim::ProCurvedataAlloc(&curves[1]);
        int id = 0, surfaceIds[2] = {0, 0};
        ProEdgeDir directions[2] = {0, 0};
        ASSERT_EQ(sim::ProEdgedataGet(edge, &id, surfaceIds, directions, nullptr, curves, nullptr),
                  PRO_TK_NO_ERROR);
        if (surfaceIds[1] >= 0 && byId.count(surfaceIds[0]) && byId.count(surfaceIds[1])) {
            ++shared;
            EXPECT_EQ(directions[0] + directions[1], 1);
            const BsplineCurve c0 = CurveOf(curves[0]), c1 = CurveOf(curves[1]);
            const BsplineSurface s0 = ShapeOf(byId[surfaceIds[0]]),
                                 s1 = ShapeOf(byId[surfaceIds[1]]);
            for (double t : {0.0, 0.3, 1.0}) {
                Point3 uv0 = EvaluateCurve(c0, t), uv1 = EvaluateCurve(c1, t);
                EXPECT_LT(Length(EvaluateSurface(s0, uv0.x, uv0.y).point -
                                 EvaluateSurface(s1, uv1.x, uv1.y).point),
                          1e-9)
                    << "edge " << id;
            }
            // The edge stands in a contour of each of its surfaces.
            for (int side = 0; side < 2; ++side) {
                ProContourdata* contours = nullptr;
                sim::ProSurfacedataContourArrayGet(byId[surfaceIds[side]], &contours);
                bool found = false;
                for (int k = 0; k < HostArraySize(contours); ++k)
                    for (int e = 0; e < HostArraySize(contours[k].edge_ids); ++e)
                        found = found || contours[k].edge_ids[e] == id;
                EXPECT_TRUE(found) << "edge " << id << " side " << side;
            }
        }
        sim::ProCurvedataMemoryFree(curves[0]);
        sim::ProCurvedataMemoryFree(curves[1]);
        ASSERT_EQ(sim::ProEdgedataMemoryFree(edge), PRO_TK_NO_ERROR);
    }
    EXPECT_EQ(shared, 24);  // the box's and the cylinder's; the quilt's four are borders
    sim::ProIntfDataFree(data);
}

TEST_F(InterfaceData, FaultsOnDemand) {
    ProIntfData* none = nullptr;
    sim::ProIntfDataAlloc(&none);
    EXPECT_EQ(sim::ProPartToProIntfData(Handle("NO_DATA"),
                                        ProOutputBrepRepresentation{1, 1, 0, 2, 2}, none),
              PRO_TK_GENERAL_ERROR);
    sim::ProIntfDataFree(none);

    ProIntfData* data = Make("FAULTY");
    ProSurfacedata* record = nullptr;
    ASSERT_EQ(sim::ProIntfDataSurfaceGet(data, 0, &record), PRO_TK_NO_ERROR);
    ProSrftype type = 0;
    int id = 0;
    ProSurfaceshapedata* shape = nullptr;
    ASSERT_EQ(sim::ProSurfacedataGet(record, &type, nullptr, nullptr, nullptr, &shape, &id),
              PRO_TK_NO_ERROR);
    EXPECT_EQ(id, 501);  // its interface id
    EXPECT_NE(type, kSurfaceBspline);
    EXPECT_NE(sim::ProBsplinesrfdataGet(shape, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr),
              PRO_TK_NO_ERROR);
    ProContourdata* contours = nullptr;
    ASSERT_EQ(sim::ProSurfacedataContourArrayGet(record, &contours), PRO_TK_NO_ERROR);
    EXPECT_EQ(contours[0].traversal, -1);

    ProEdgedata* edge = nullptr;
    EXPECT_NE(sim::ProIntfDataEdgeGet(data, 1, &edge), PRO_TK_NO_ERROR);  // no record for edge 11
    ASSERT_EQ(sim::ProIntfDataEdgeGet(data, 0, &edge), PRO_TK_NO_ERROR);
    ProCurvedata* curves[2] = {nullptr, nullptr};
    sim::ProCurvedataAlloc(&curves[0]);
    sim::ProCurvedataAlloc(&curves[1]);
    int surfaceIds[2];
    ASSERT_EQ(sim::ProEdgedataGet(edge, nullptr, surfaceIds, nullptr, nullptr, curves, nullptr),
              PRO_TK_NO_ERROR);
    EXPECT_EQ(surfaceIds[0], 501);
    EXPECT_EQ(surfaceIds[1], 2);
    ProEnttype kind = 0;
    ASSERT_EQ(sim::ProCurvedataTypeGet(curves[0], &kind), PRO_TK_NO_ERROR);
    EXPECT_NE(kind, PRO_ENT_B_SPLINE);
    EXPECT_NE(
        sim::ProBsplinedataGet(curves[0], nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
        PRO_TK_NO_ERROR);
    EXPECT_NE(sim::ProCurvedataTypeGet(curves[1], &kind), PRO_TK_NO_ERROR);  // no UV curve
    sim::ProCurvedataMemoryFree(curves[0]);
    sim::ProCurvedataMemoryFree(curves[1]);
    sim::ProEdgedataMemoryFree(edge);
    sim::ProIntfDataFree(data);
}

TEST_F(InterfaceData, CurveRecordsTakeHostArraysAndNothingElse) {
    ProCurvedata* curve = nullptr;
    ASSERT_EQ(sim::ProCurvedataAlloc(&curve), PRO_TK_NO_ERROR);
    ProArray knots = nullptr, points = nullptr;
    sim::ProArrayAlloc(4, sizeof(double), 1, &knots);
    sim::ProArrayAlloc(2, sizeof(ProPoint3d), 1, &points);
    double* k = static_cast<double*>(knots);
    k[0] = k[1] = 0;
    k[2] = k[3] = 2;
    ASSERT_EQ(sim::ProBsplinedataInit(1, k, nullptr, static_cast<ProPoint3d*>(points), 4, 2, curve),
              PRO_TK_NO_ERROR);
    const BsplineCurve read = CurveOf(curve);
    EXPECT_EQ(read.knots, (std::vector<double>{0, 0, 2, 2}));
    EXPECT_TRUE(read.weights.empty());

    double own[4] = {0, 0, 1, 1};
    EXPECT_EQ(
        sim::ProBsplinedataInit(1, own, nullptr, static_cast<ProPoint3d*>(points), 4, 2, curve),
        PRO_TK_BAD_INPUTS);
    EXPECT_EQ(sim::ProCurvedataMemoryFree(curve), PRO_TK_NO_ERROR);  // releases knots and points
    EXPECT_EQ(sim::ProCurvedataMemoryFree(curve), PRO_TK_BAD_INPUTS);
    Session().record.Clear();
}

}  // namespace
}  // namespace sim
