#include <gtest/gtest.h>

#include <vector>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/model/bspline.h"
#include "simhost/model_records.h"
#include "sim_test_world.h"

namespace sim {
namespace {

const std::string kParts = R"({
  "models": [
    {"name": "FAULTY", "type": "part",
     "surfaces": [
       {"id": 1, "interface_id": 501, "faults": ["not_bspline"], "patch": )" + FlatPatch(0) + R"(,
        "contours": [{"traversal": -1, "edges": [10, 11]}]},
       {"id": 2,
        "patch": {"degree": [1, 1], "knots_u": [0, 0, 1, 1], "knots_v": [0, 0, 1, 1],
                  "points": [[0,0,0],[0,1,0],[-1,0,0],[-1,1,0]]},
        "contours": [{"edges": [10]}]}],
     "edges": [
       {"id": 10, "sides": [
          {"surface": 1, "curve": )" + LineCurve(0, 0, 0, 1) + R"(, "faults": ["not_bspline"]},
          {"surface": 2, "direction": 1, "faults": ["no_uv_curve"]}]},
       {"id": 11, "sides": [)" + LineSide(1, 1, 0, 1, 1) + R"(], "faults": ["no_edge_record"]}]},
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
