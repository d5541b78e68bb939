#include <gtest/gtest.h>

#include <vector>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/model_records.h"
#include "sim_test_world.h"

namespace sim {
namespace {

// A0 holds A1 (id 1) holds A2 (id 2) ... A4 holds P (id 5); each placement turns a quarter about
// z, then moves by (k, 0, 0) for the component of id k. A0 also holds a datum (id 9) and a
// component (id 10).
std::string DeepWorld() {
    std::string text = R"({"current": "A0", "models": [)";
    for (int k = 0; k < 5; ++k) {
        const std::string child = k < 4 ? "A" + std::to_string(k + 1) : "P";
        text += R"({"name": "A)" + std::to_string(k) + R"(", "type": "assembly", "features": [)";
        text += R"({"id": )" + std::to_string(k + 1) + R"(, "model": ")" + child +
                R"(", "placement": {"rotate": {"axis": [0, 0, 1], "degrees": 90}, "translate": [)" +
                std::to_string(k + 1) + ", 0, 0]}}";
        if (k == 0) text += R"(, {"id": 9, "type": 923}, {"id": 10, "model": "P"})";
        text += "]},";
    }
    text += R"({"name": "P", "type": "part"}]})";
    return text;
}

class AssemblyFunctions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseWorld(DeepWorld())); }
};

// ---- Visits ------------------------------------------------------------------------------------

// The visit's action: notes the feature and ends the visit at the feature stopAt.
struct VisitLog {
    std::vector<int> visited;
    int stopAt = -1;
};

ProError Record(ProFeature* feature, ProError, ProAppData data) {
    auto* log = static_cast<VisitLog*>(data);
    log->visited.push_back(feature->id);
    return feature->id == log->stopAt ? PRO_TK_E_NOT_FOUND : PRO_TK_NO_ERROR;
}

TEST_F(AssemblyFunctions, ActionAnsweringOtherThanNoErrorEndsTheVisitWithThatAnswer) {
    VisitLog log;
    log.stopAt = 9;
    EXPECT_EQ(sim::ProSolidFeatVisit(Handle("A0"), Record, nullptr, &log), PRO_TK_E_NOT_FOUND);
    EXPECT_EQ(log.visited, (std::vector<int>{1, 9}));
    EXPECT_EQ(sim::ProSolidFeatVisit(Handle("A0"), nullptr, nullptr, &log), PRO_TK_BAD_INPUTS);
}

TEST_F(AssemblyFunctions, OnlyComponentsHaveAModel) {
    ProMdl model = nullptr;
    ProFeature component{kItemFeature, 10, Handle("A0")};
    ASSERT_EQ(sim::ProAsmcompMdlGet(&component, &model), PRO_TK_NO_ERROR);
    EXPECT_EQ(model, Handle("P"));
    ProFeature datum{kItemFeature, 9, Handle("A0")};
    EXPECT_EQ(sim::ProAsmcompMdlGet(&datum, &model), PRO_TK_E_NOT_FOUND);
}

// ---- Paths -------------------------------------------------------------------------------------

TEST_F(AssemblyFunctions, DeepPathPlacementIsTheProductAlongThePath) {
    const int ids[] = {1, 2, 3, 4, 5};
    ProAsmcomppath path{};
    ASSERT_EQ(sim::ProAsmcomppathInit(Handle("A0"), ids, 5, &path), PRO_TK_NO_ERROR);
    ProMatrix m;
    ASSERT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_TRUE, m), PRO_TK_NO_ERROR);
    // Worked by hand, one level at a time from P outward: the origin of P lands on (3, -2, 0)
    // and its x axis, turned five quarters, points along y.
    const double expected[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {3, -2, 0, 1}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(m[r][c], expected[r][c], 1e-12) << r << "," << c;

    ProMatrix inverse;
    ASSERT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_FALSE, inverse), PRO_TK_NO_ERROR);
    Matrix product = Multiply(ToMatrix(m), ToMatrix(inverse));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(product[r][c], r == c ? 1 : 0, 1e-12);
}

TEST_F(AssemblyFunctions, PathsThatLeadNowhereOrAreTooLong) {
    ProAsmcomppath path{};
    const int wrong[] = {1, 9};
    ASSERT_EQ(sim::ProAsmcomppathInit(Handle("A0"), wrong, 2, &path), PRO_TK_NO_ERROR);
    ProMatrix m;
    EXPECT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_TRUE, m), PRO_TK_E_NOT_FOUND);
    std::vector<int> tooMany(PRO_MAX_ASSEMBLY_LEVEL + 1, 1);
    EXPECT_EQ(
        sim::ProAsmcomppathInit(Handle("A0"), tooMany.data(), PRO_MAX_ASSEMBLY_LEVEL + 1, &path),
        PRO_TK_BAD_INPUTS);
    ASSERT_EQ(sim::ProAsmcomppathInit(Handle("A0"), nullptr, 0, &path), PRO_TK_NO_ERROR);
    ASSERT_EQ(sim::ProAsmcomppathTrfGet(&path, PRO_B_TRUE, m), PRO_TK_NO_ERROR);
    EXPECT_EQ(m[3][0], 0);
    EXPECT_EQ(m[0][0], 1);
}

}  // namespace
}  // namespace sim
