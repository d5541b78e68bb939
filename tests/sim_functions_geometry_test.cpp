#include <gtest/gtest.h>

#include <vector>

#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/model_records.h"
#include "sim_test_world.h"

namespace sim {
namespace {

const char* kGeometry = R"({
  "current": "P",
  "default_appearance": {"name": "DEFAULT", "diffuse": 1, "color": [0.5, 0.5, 0.5]},
  "models": [
    {"name": "P", "type": "part",
     "appearance": {"name": "MODEL", "diffuse": 0.5, "color": [1, 0, 0]},
     "features": [{"id": 1}, {"id": 2, "status": 1, "type": 1070}],
     "shapes": [
       {"box": {"min": [0, 0, 0], "max": [2, 2, 2]}, "feature": 1,
        "appearance": {"name": "BLUE", "diffuse": 0.8, "color": [0, 0, 1]}},
       {"cylinder": {"radius": 1, "height": 3}, "feature": 2, "chord_height_range": [0.01, 1],
        "surface_faults": ["no_normals", "no_params"]}
     ],
     "quilts": [
       {"id": 70, "feature": 1, "hidden": true, "backup": true,
        "shapes": [{"rectangle": {"size": [1, 1]},
                    "texture": {"file": "logo.png", "path": "C:\\textures\\logo.png"}}]},
       {"id": 71, "feature": 1,
        "shapes": [{"rectangle": {"size": [1, 1]}, "surface_faults": ["tessellation_refused"],
                    "texture": {"file": "lost.png", "faults": ["unresolvable"]}},
                   {"rectangle": {"size": [1, 1]}, "surface_faults": ["no_tessellation"]}]}
     ]}
  ]
})";

class GeometryFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UseWorld(kGeometry));
        solid = Handle("P");
        ASSERT_EQ(sim::ProSolidSurfaceVisit(solid, Collect<ProSurface>, nullptr, &own),
                  PRO_TK_NO_ERROR);
        std::vector<ProQuilt> quilts;
        ASSERT_EQ(sim::ProSolidQuiltVisit(solid, Collect<ProQuilt>, nullptr, &quilts),
                  PRO_TK_NO_ERROR);
        for (ProQuilt quilt : quilts) {
            std::vector<ProSurface> surfaces;
            ASSERT_EQ(sim::ProQuiltSurfaceVisit(quilt, Collect<ProSurface>, nullptr, &surfaces),
                      PRO_TK_NO_ERROR);
            quiltSurfaces.push_back(surfaces);
        }
        blocks = LiveHostBlocks();
    }
    void TearDown() override {
        EXPECT_EQ(LiveModelRecords(), 0u);
        EXPECT_EQ(LiveHostBlocks(), blocks);
        EXPECT_EQ(ProblemCount(), 0u);
    }

    // A visit's action that collects what it is given into the std::vector<T> of data.
    template <typename T>
    static ProError Collect(T item, ProError, ProAppData data) {
        static_cast<std::vector<T>*>(data)->push_back(item);
        return PRO_TK_NO_ERROR;
    }
    ProGeomitem Item(ProSurface surface) {
        ProGeomitem item{};
        EXPECT_EQ(sim::ProSurfaceToGeomitem(solid, surface, &item), PRO_TK_NO_ERROR);
        return item;
    }

    ProMdl solid = nullptr;
    std::vector<ProSurface> own;
    std::vector<std::vector<ProSurface>> quiltSurfaces;
    size_t blocks = 0;
};

TEST_F(GeometryFunctions, TextureNamesResolveUnlessMarked) {
    ProGeomitem label = Item(quiltSurfaces[0][0]);
    ProSurfaceTextureProps texture{};
    ASSERT_EQ(sim::ProSurfaceTexturepropsGet(&label, &texture), PRO_TK_NO_ERROR);
    EXPECT_STREQ(texture.color_map, "logo.png");
    EXPECT_STREQ(texture.bump_map, "");
    ProPath path;
    int info = -1;
    ASSERT_EQ(sim::ProTexturePathGet(u"logo.png", 1, &info, path), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(path), u"C:\\textures\\logo.png");
    ASSERT_EQ(sim::ProTexturePathGet(path, 1, &info, path),
              PRO_TK_NO_ERROR);  // a path resolves to itself
    EXPECT_EQ(std::u16string(path), u"C:\\textures\\logo.png");
    EXPECT_NE(sim::ProTexturePathGet(u"lost.png", 1, &info, path), PRO_TK_NO_ERROR);
    EXPECT_NE(sim::ProTexturePathGet(u"other.png", 1, &info, path), PRO_TK_NO_ERROR);
}

TEST_F(GeometryFunctions, TessellationFaultsOnDemand) {
    ProSurfaceTessellationInput input = nullptr;
    sim::ProSurfacetessellationinputAlloc(&input);
    ProTessellation tessellation = reinterpret_cast<ProTessellation>(&input);
    // Above the cylinder's chord height range, below it, and a surface that is refused.
    const std::pair<ProSurface, double> refused[] = {
        {own[6], 2.0}, {own[6], 0.001}, {quiltSurfaces[1][0], 0.1}};
    for (const auto& [surface, chordHeight] : refused) {
        sim::ProSurfacetessellationinputChordheightSet(input, chordHeight);
        EXPECT_EQ(sim::ProSurfaceTessellationGet(surface, input, &tessellation),
                  PRO_TK_GENERAL_ERROR)
            << chordHeight;
    }
    EXPECT_EQ(sim::ProSurfaceTessellationGet(quiltSurfaces[1][1], input, &tessellation),
              PRO_TK_NO_ERROR);
    EXPECT_EQ(tessellation, nullptr);  // success without a tessellation
    sim::ProSurfacetessellationinputFree(input);
    EXPECT_EQ(sim::ProSurfacetessellationinputFree(input), PRO_TK_BAD_INPUTS);  // twice
    Session().record.Clear();
}

ProError CollectEdgeId(ProEdge edge, ProError, ProAppData data) {
    int id = 0;
    sim::ProEdgeIdGet(edge, &id);
    static_cast<std::vector<int>*>(data)->push_back(id);
    return PRO_TK_NO_ERROR;
}

TEST_F(GeometryFunctions, ContoursGiveTheirEdgesInOrder) {
    std::vector<ProContour> contours;
    ASSERT_EQ(sim::ProSurfaceContourVisit(own[2], Collect<ProContour>, nullptr, &contours),
              PRO_TK_NO_ERROR);
    ASSERT_EQ(contours.size(), 1u);
    ProContourTraversal traversal = 0;
    ASSERT_EQ(sim::ProContourTraversalGet(contours[0], &traversal), PRO_TK_NO_ERROR);
    EXPECT_EQ(traversal, 1);
    std::vector<int> ids;
    ASSERT_EQ(sim::ProContourEdgeVisit(own[2], contours[0], CollectEdgeId, nullptr, &ids),
              PRO_TK_NO_ERROR);
    const Surface* surface = SurfaceOf(own[2]).surface;
    EXPECT_EQ(ids, surface->contours[0].edges);
    // The contour of one surface asked with another is refused.
    EXPECT_EQ(sim::ProContourEdgeVisit(own[3], contours[0], CollectEdgeId, nullptr, &ids),
              PRO_TK_BAD_INPUTS);
    Session().record.Clear();
}

}  // namespace
}  // namespace sim
