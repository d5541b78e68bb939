// Chord heights from the solid's size and the quality, and the order of the retries.
#include "export/tessellation.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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

// One solid exported as the walk exports it, NURBS output off unless asked.
class TessellationOfASolid : public SimExportTest {
protected:
    void ExportBox(double from, double to) {
        ASSERT_TRUE(Start(R"({"current": "P", "models": [{"name": "P", "type": "part", "shapes": [
            {"box": {"min": [)" + Triple(from) + R"(], "max": [)" + Triple(to) + "]}}]}]}"));
        App().settings.includeNURBS = false;
        scene.Clear();
    }

    static std::string Triple(double value) {
        const std::string text = nlohmann::json(value).dump();
        return text + ", " + text + ", " + text;
    }

    void ExportCurrentSolid() {
        ProAsmcomppath path = {};
        ProMdlCurrentGet(&path.owner);
        const ProMatrix identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
        App().ExportSolidGeometry(path.owner, path, path, "P", identity, true);
    }

    // The names of the mesh arrays written, in order.
    std::vector<std::string> MeshArrays() const {
        std::vector<std::string> names;
        for (const std::string& call : Calls({"SetParameter(vertices", "SetParameter(normals",
                                              "SetParameter(uv_tex", "SetParameter(triangles"}))
            names.push_back(call.substr(13, call.find(',') - 13));
        return names;
    }
};

// A solid as large as a double's squares allow is tessellated like any other.
TEST_F(TessellationOfASolid, HugeBoxGetsItsMeshAndNurbs) {
    ExportBox(-1e154, 1e154);
    App().settings.includeNURBS = true;
    ExportCurrentSolid();
    const std::vector<std::string> geometry = Calls({"BeginGeometry"});
    ASSERT_EQ(geometry.size(), 7u);  // a NURBS surface per side, then the mesh
    EXPECT_EQ(geometry.back(), "BeginGeometry(triangles)");
    EXPECT_EQ(HostProblems(), "[]");
}

// The host hands out the tessellation, or one of its arrays, together with an error answer:
// what comes so is left out, and goes back to the host all the same.
TEST_F(TessellationOfASolid, WhatTheHostHandsOutWithAnErrorIsLeftOutAndGivenBack) {
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
        SCOPED_TRACE(c.function);
        ExportBox(0, 1);
        BindSimulatedHost(c.function, HostFailure::RefusesAfterItsWork);
        ExportCurrentSolid();
        EXPECT_EQ(MeshArrays(), c.arrays);
        EXPECT_EQ(sim::LiveHostBlocks(), 0u);
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

// The qualities tried after a refused first try, with the host refusing all tries up to
// succeedAt (counted from 1; 0: never).
std::vector<double> Retries(double quality, int succeedAt = 0) {
    std::vector<double> tried;
    RetryAtOtherQualities(quality, PRO_TK_GENERAL_ERROR, [&](double q) {
        tried.push_back(q);
        return static_cast<int>(tried.size()) == succeedAt ? PRO_TK_NO_ERROR : PRO_TK_GENERAL_ERROR;
    });
    return tried;
}

TEST(TessellationRetries, DefaultQualityTriesEightUpAndTwoDown) {
    const std::vector<double> tried = Retries(0.2);
    ASSERT_EQ(tried.size(), 10u);
    const double expected[] = {0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 0.1, 0.0};
    for (size_t i = 0; i < tried.size(); ++i) EXPECT_NEAR(tried[i], expected[i], 1e-12) << i;
    // The eighth up try is the running sum just under 1, not 1 itself.
    EXPECT_LT(tried[7], 1.0);
    EXPECT_EQ(tried[9], 0.0);
}

TEST(TessellationRetries, FirstSuccessEndsTheTriesAndASuccessAtOnceNeedsNone) {
    const std::vector<double> up = Retries(0.2, 3);
    ASSERT_EQ(up.size(), 3u);
    EXPECT_NEAR(up[2], 0.5, 1e-12);
    const std::vector<double> down = Retries(0.2, 9);
    ASSERT_EQ(down.size(), 9u);
    EXPECT_NEAR(down[8], 0.1, 1e-12);
    int tries = 0;
    const ProError status = RetryAtOtherQualities(0.2, PRO_TK_NO_ERROR, [&](double) {
        ++tries;
        return PRO_TK_GENERAL_ERROR;
    });
    EXPECT_EQ(status, PRO_TK_NO_ERROR);
    EXPECT_EQ(tries, 0);
}

TEST(TessellationRetries, HighQualityHasNoUpTriesAndLowQualityNoDownTries) {
    const std::vector<double> high = Retries(0.9);
    ASSERT_EQ(high.size(), 9u);
    EXPECT_NEAR(high[0], 0.8, 1e-12);
    EXPECT_EQ(Retries(1.0).size(), 10u);
    const std::vector<double> low = Retries(0.05);
    ASSERT_EQ(low.size(), 9u);  // 0.15 to 0.95
    EXPECT_NEAR(low[0], 0.15, 1e-12);
    EXPECT_NEAR(low.back(), 0.95, 1e-12);
}

}  // namespace
