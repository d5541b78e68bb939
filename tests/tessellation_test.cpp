// Chord heights from the solid's size and the quality, and the order of the retries.
#include "export/tessellation.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "simhost/host_memory.h"
#include "tests/sim_export_fixture.h"
#include "tests/simhost_binding.h"

namespace {

TEST(ChordHeights, FollowFromTheOutlineDiagonalOrOneWithoutOutline) {
    const ChordHeights heights = ChordHeightsForDiagonal(13.0);
    EXPECT_DOUBLE_EQ(heights.base, 0.0065);
    EXPECT_DOUBLE_EQ(heights.fine, 0.0000013);
    EXPECT_DOUBLE_EQ(heights.span, 0.0064987);
    EXPECT_DOUBLE_EQ(ChordHeightsForDiagonal(1.0).base, 0.0005);
    EXPECT_DOUBLE_EQ(ChordHeightsForDiagonal(1.0).fine, 0.0000001);
}

TEST(ChordHeights, OutlinesOfEveryFiniteSizeGiveTheirDiagonal) {
    const struct {
        ProOutline outline;
        double diagonal;
    } cases[] = {
        {{{1, 1, 1}, {4, 5, 13}}, 13.0},  // sides 3, 4 and 12
        // Sides whose squares overflow, or sink below the normal doubles.
        {{{-1e154, -1e154, -1e154}, {1e154, 1e154, 1e154}}, 2e154 * std::sqrt(3.0)},
        {{{0, 0, 0}, {3e-160, 4e-160, 12e-160}}, 13e-160},
        // A diagonal beyond the largest double, up to twice it, is held there, so that chord
        // heights stay numbers.
        {{{-0.75 * DBL_MAX, 0, 0}, {0.75 * DBL_MAX, 0, 0}}, DBL_MAX},
        {{{-DBL_MAX, 0, 0}, {DBL_MAX, 0, 0}}, DBL_MAX},
    };
    for (const auto& c : cases) {
        const double diagonal = OutlineDiagonal(c.outline);
        EXPECT_DOUBLE_EQ(diagonal, c.diagonal) << c.outline[1][0];
        EXPECT_TRUE(std::isfinite(ChordHeightForQuality(ChordHeightsForDiagonal(diagonal), 1e-6)))
            << c.outline[1][0];
    }
}

// The host hands out the tessellation, or one of its arrays, with an error answer, or answers
// an error and hands out nothing: that part is left out of the mesh of a box, and what came goes
// back to the host all the same.
class TessellationOfABox : public SimExportTest {};

TEST_F(TessellationOfABox, WhatTheHostHandsOutWithAnErrorIsLeftOutAndGivenBack) {
    const struct {
        const char* function;
        std::vector<std::string> arrays;
    } cases[] = {
        {"ProSurfaceTessellationGet", {}},
        {"ProTessellationVerticesGet", {}},
        {"ProTessellationNormalsGet", {"vertices", "uv_tex", "triangles"}},
        {"ProTessellationParamsGet", {"vertices", "normals", "triangles"}},
        {"ProTessellationFacetsGet", {}},
    };
    for (const auto& c : cases) {
        for (const HostFailure failure : {HostFailure::Refuses, HostFailure::RefusesAfterItsWork}) {
            SCOPED_TRACE(c.function);
            ASSERT_TRUE(Start(R"({"current": "P", "models": [{"name": "P", "type": "part",
                "shapes": [{"box": {"min": [0, 0, 0], "max": [1, 1, 1]}}]}]})"));
            App().settings.includeNURBS = false;
            scene.Clear();
            BindSimulatedHost(c.function, failure);
            ProAsmcomppath path = {};
            ProMdlCurrentGet(&path.owner);
            const ProMatrix identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
            App().ExportSolidGeometry(path.owner, path, path, "P", identity, true);
            std::vector<std::string> arrays;
            for (const std::string& call : Calls({"SetParameter(vertices", "SetParameter(normals",
                                                  "SetParameter(uv_tex", "SetParameter(triangles"}))
                arrays.push_back(call.substr(13, call.find(',') - 13));
            EXPECT_EQ(arrays, c.arrays);
            EXPECT_EQ(sim::LiveHostBlocks(), 0u);
        }
    }
}

TEST(ChordHeights, QualityOneIsFineAndTheCoarsestQualitiesAreBase) {
    const ChordHeights h = ChordHeightsForDiagonal(100.0);  // base 0.05, fine 0.00001
    EXPECT_NEAR(ChordHeightForQuality(h, 1.0), 0.00001, 1e-15);
    EXPECT_NEAR(ChordHeightForQuality(h, std::exp(-5.0)), 0.05, 1e-15);
    EXPECT_DOUBLE_EQ(ChordHeightForQuality(h, 0.0), 0.05);
    EXPECT_DOUBLE_EQ(ChordHeightForQuality(h, 0.00000099), 0.05);
    // ln(1e-6) x 0.2 + 1 = -1.76310211...: the chord height grows beyond base.
    EXPECT_NEAR(ChordHeightForQuality(h, 0.000001), 0.05 + 1.7631021115928548 * 0.04999, 1e-12);
    EXPECT_NEAR(ChordHeightForQuality(h, 0.000001) / h.base, 2.7627, 1e-4);
    // The default quality 0.2: ln(0.2) x 0.2 + 1 = 0.678112417...
    EXPECT_NEAR(ChordHeightForQuality(h, 0.2), 0.05 - 0.6781124175 * 0.04999, 1e-12);
}

TEST(ChordHeights, QualityOutsideItsRangeIsHeldWithinIt) {
    const double infinity = std::numeric_limits<double>::infinity();
    const double pairs[][2] = {{0.2, 0.2},   {1.0, 1.0},      {0.0, 0.0},  {7.5, 1.0},
                               {1e300, 1.0}, {infinity, 1.0}, {-0.5, 0.0}, {NAN, 0.0}};
    for (const auto& pair : pairs) EXPECT_EQ(UsableQuality(pair[0]), pair[1]) << pair[0];
    // Within the range no chord height falls below fine.
    const ChordHeights h = ChordHeightsForDiagonal(100.0);
    EXPECT_GT(ChordHeightForQuality(h, UsableQuality(1e300)), 0.0);
}

// The qualities tried after a refused first try, the host refusing each before the try numbered
// succeedAt (from 1; 0: all of them): up by 0.1 while below 1, then down while not below 0, as
// one running sum (the eighth from 0.2 is just under 1), until the first success.
TEST(TessellationRetries, GoUpThenDownUntilTheFirstSuccess) {
    const struct {
        double quality;
        int succeedAt;
        std::vector<double> tried;
    } cases[] = {
        {0.2, 0, {0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 0.1, 0.0}},
        {0.2, 3, {0.3, 0.4, 0.5}},
        {0.2, 9, {0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 0.1}},
        {0.9, 0, {0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1, 0.0}},
        {1.0, 0, {0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1, 0.0}},
        {0.05, 0, {0.15, 0.25, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95}},
    };
    for (const auto& c : cases) {
        std::vector<double> tried;
        RetryAtOtherQualities(c.quality, PRO_TK_GENERAL_ERROR, [&](double q) {
            tried.push_back(q);
            return static_cast<int>(tried.size()) == c.succeedAt ? PRO_TK_NO_ERROR
                                                                  : PRO_TK_GENERAL_ERROR;
        });
        ASSERT_EQ(tried.size(), c.tried.size()) << c.quality << " " << c.succeedAt;
        for (size_t i = 0; i < tried.size(); ++i) {
            EXPECT_NEAR(tried[i], c.tried[i], 1e-12) << c.quality << " " << i;
            EXPECT_TRUE(tried[i] < 1.0 && tried[i] >= 0.0) << c.quality << " " << i;
        }
    }
    // A first try that succeeded needs no retry.
    EXPECT_EQ(RetryAtOtherQualities(0.2, PRO_TK_NO_ERROR, [](double) -> ProError { throw 0; }),
              PRO_TK_NO_ERROR);
}

}  // namespace
