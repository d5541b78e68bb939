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
        ASSERT_EQ(sim::ProSolidSurfaceVisit(solid, Collect, nullptr, &own), PRO_TK_NO_ERROR);
        std::vector<ProQuilt> quilts;
        ASSERT_EQ(sim::ProSolidQuiltVisit(solid, CollectQuilt, nullptr, &quilts), PRO_TK_NO_ERROR);
        for (ProQuilt quilt : quilts) {
            std::vector<ProSurface> surfaces;
            ASSERT_EQ(sim::ProQuiltSurfaceVisit(quilt, Collect, nullptr, &surfaces),
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

    static ProError Collect(ProSurface surface, ProError, ProAppData data) {
        static_cast<std::vector<ProSurface>*>(data)->push_back(surface);
        return PRO_TK_NO_ERROR;
    }
    static ProError CollectQuilt(ProQuilt quilt, ProError, ProAppData data) {
        static_cast<std::vector<ProQuilt>*>(data)->push_back(quilt);
        return PRO_TK_NO_ERROR;
    }
    ProModelitem Item(ProSurface surface) {
        ProGeomitem item{};
        EXPECT_EQ(sim::ProSurfaceToGeomitem(solid, surface, &item), PRO_TK_NO_ERROR);
        return item;
    }

    ProMdl solid = nullptr;
    std::vector<ProSurface> own;
    std::vector<std::vector<ProSurface>> quiltSurfaces;
    size_t blocks = 0;
};

TEST_F(GeometryFunctions, SurfacesQuiltsAndTheirFeatures) {
    ASSERT_EQ(own.size(), 12u);
    ASSERT_EQ(quiltSurfaces.size(), 2u);
    EXPECT_EQ(quiltSurfaces[0].size(), 1u);
    EXPECT_EQ(quiltSurfaces[1].size(), 2u);

    ProGeomitem item = Item(own[6]);  // the cylinder's first quarter
    ProFeature feature{};
    ASSERT_EQ(sim::ProGeomitemFeatureGet(&item, &feature), PRO_TK_NO_ERROR);
    EXPECT_EQ(feature.id, 2);
    ProFeatStatus status = 0;
    ASSERT_EQ(sim::ProFeatureStatusGet(&feature, &status), PRO_TK_NO_ERROR);
    EXPECT_EQ(status, 1);
    ProBoolean inactive = PRO_B_TRUE;
    ASSERT_EQ(sim::ProGeomitemIsInactive(&item, &inactive), PRO_TK_NO_ERROR);
    EXPECT_EQ(inactive, PRO_B_FALSE);

    std::vector<ProQuilt> quilts;
    ASSERT_EQ(sim::ProSolidQuiltVisit(solid, CollectQuilt, nullptr, &quilts), PRO_TK_NO_ERROR);
    ProGeomitem quiltItem{};
    ASSERT_EQ(sim::ProQuiltToGeomitem(solid, quilts[0], &quiltItem), PRO_TK_NO_ERROR);
    ProBoolean hidden = PRO_B_FALSE, backup = PRO_B_FALSE;
    ASSERT_EQ(sim::ProModelitemIsHidden(&quiltItem, &hidden), PRO_TK_NO_ERROR);
    ASSERT_EQ(sim::ProQuiltIsBackupgeometry(quilts[0], &backup), PRO_TK_NO_ERROR);
    EXPECT_EQ(hidden, PRO_B_TRUE);
    EXPECT_EQ(backup, PRO_B_TRUE);
    int id = 0;
    ASSERT_EQ(sim::ProQuiltIdGet(quilts[1], &id), PRO_TK_NO_ERROR);
    EXPECT_EQ(id, 71);
}

TEST_F(GeometryFunctions, AppearanceOfSurfaceModelAndDefault) {
    ProSurfaceAppearanceProps props{};
    ProGeomitem box = Item(own[0]);
    ASSERT_EQ(sim::ProSurfaceAppearancepropsGet(&box, &props), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(props.name), u"BLUE");
    EXPECT_EQ(props.diffuse, 0.8);
    EXPECT_EQ(props.color[2], 1.0);
    ProGeomitem cylinder = Item(own[6]);
    EXPECT_NE(sim::ProSurfaceAppearancepropsGet(&cylinder, &props), PRO_TK_NO_ERROR);

    ProModelitem model{};
    ASSERT_EQ(sim::ProMdlToModelitem(solid, &model), PRO_TK_NO_ERROR);
    ASSERT_EQ(sim::ProSurfaceAppearancepropsGet(&model, &props), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(props.name), u"MODEL");
    ASSERT_EQ(sim::ProSurfaceAppearancepropsGet(nullptr, &props), PRO_TK_NO_ERROR);
    EXPECT_EQ(std::u16string(props.name), u"DEFAULT");
    ProSurfaceTextureProps texture{};
    EXPECT_NE(sim::ProSurfaceTexturepropsGet(nullptr, &texture), PRO_TK_NO_ERROR);
}

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

// Tessellates surface at chord height h; the facet count, or -1 when the host gives nothing.
int FacetCount(ProSurface surface, double h, bool* withNormals = nullptr) {
    ProSurfaceTessellationInput input = nullptr;
    sim::ProSurfacetessellationinputAlloc(&input);
    sim::ProSurfacetessellationinputChordheightSet(input, h);
    ProTessellation tessellation = nullptr;
    ProError status = sim::ProSurfaceTessellationGet(surface, input, &tessellation);
    sim::ProSurfacetessellationinputFree(input);
    if (status != PRO_TK_NO_ERROR || !tessellation) return -1;
    ProVector *vertices = nullptr, *normals = nullptr;
    ProUvParam* params = nullptr;
    ProTriangle* facets = nullptr;
    EXPECT_EQ(sim::ProTessellationVerticesGet(tessellation, &vertices), PRO_TK_NO_ERROR);
    EXPECT_EQ(sim::ProTessellationFacetsGet(tessellation, &facets), PRO_TK_NO_ERROR);
    bool hasNormals = sim::ProTessellationNormalsGet(tessellation, &normals) == PRO_TK_NO_ERROR;
    bool hasParams = sim::ProTessellationParamsGet(tessellation, &params) == PRO_TK_NO_ERROR;
    EXPECT_EQ(hasNormals, hasParams);
    if (withNormals) *withNormals = hasNormals;
    int vertexCount = 0, facetCount = 0;
    sim::ProArraySizeGet(vertices, &vertexCount);
    sim::ProArraySizeGet(facets, &facetCount);
    for (int f = 0; f < facetCount; ++f)
        for (int k = 0; k < 3; ++k) EXPECT_LT(facets[f][k], vertexCount);
    if (hasNormals) {
        EXPECT_EQ(HostArraySize(normals), vertexCount);
    }
    for (void* array : {static_cast<void*>(vertices), static_cast<void*>(normals),
                        static_cast<void*>(params), static_cast<void*>(facets)}) {
        ProArray a = array;
        if (a) sim::ProArrayFree(&a);
    }
    sim::ProTessellationFree(tessellation);
    return facetCount;
}

TEST_F(GeometryFunctions, TessellationGrowsAsTheChordHeightShrinks) {
    bool withNormals = false;
    EXPECT_EQ(FacetCount(own[0], 0.01, &withNormals), 2);  // a plane
    EXPECT_TRUE(withNormals);
    const int coarse = FacetCount(own[6], 0.5, &withNormals);
    EXPECT_FALSE(withNormals);  // this cylinder withholds normals and parameters
    EXPECT_GT(FacetCount(own[6], 0.02), coarse);
    EXPECT_GT(coarse, 0);
}

TEST_F(GeometryFunctions, TessellationFaultsOnDemand) {
    EXPECT_EQ(FacetCount(own[6], 2.0), -1);               // above its chord height range
    EXPECT_EQ(FacetCount(own[6], 0.001), -1);             // below it
    EXPECT_EQ(FacetCount(quiltSurfaces[1][0], 0.1), -1);  // refused

    ProSurfaceTessellationInput input = nullptr;
    sim::ProSurfacetessellationinputAlloc(&input);
    ProTessellation tessellation = reinterpret_cast<ProTessellation>(&input);
    EXPECT_EQ(sim::ProSurfaceTessellationGet(quiltSurfaces[1][1], input, &tessellation),
              PRO_TK_NO_ERROR);
    EXPECT_EQ(tessellation, nullptr);  // success without a tessellation
    sim::ProSurfacetessellationinputFree(input);
    EXPECT_EQ(sim::ProSurfacetessellationinputFree(input), PRO_TK_BAD_INPUTS);  // twice
    Session().record.Clear();
}

ProError CollectContour(ProContour contour, ProError, ProAppData data) {
    static_cast<std::vector<ProContour>*>(data)->push_back(contour);
    return PRO_TK_NO_ERROR;
}

ProError CollectEdgeId(ProEdge edge, ProError, ProAppData data) {
    int id = 0;
    sim::ProEdgeIdGet(edge, &id);
    static_cast<std::vector<int>*>(data)->push_back(id);
    return PRO_TK_NO_ERROR;
}

TEST_F(GeometryFunctions, ContoursGiveTheirEdgesInOrder) {
    std::vector<ProContour> contours;
    ASSERT_EQ(sim::ProSurfaceContourVisit(own[2], CollectContour, nullptr, &contours),
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

TEST_F(GeometryFunctions, SurfaceGeometryDataHoldsTheHostIdsAndContours) {
    ProGeomitemdata* data = nullptr;
    ASSERT_EQ(sim::ProSurfaceDataGet(own[0], &data), PRO_TK_NO_ERROR);
    int id = 0;
    ASSERT_EQ(sim::ProSurfacedataGet(data->surface_data, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, &id),
              PRO_TK_NO_ERROR);
    EXPECT_EQ(id, SurfaceOf(own[0]).surface->id);
    ProContourdata* contours = nullptr;
    ASSERT_EQ(sim::ProSurfacedataContourArrayGet(data->surface_data, &contours), PRO_TK_NO_ERROR);
    ASSERT_EQ(HostArraySize(contours), 1);
    EXPECT_EQ(HostArraySize(contours[0].edge_ids), 4);
    ASSERT_EQ(sim::ProGeomitemdataFree(&data), PRO_TK_NO_ERROR);
    EXPECT_EQ(data, nullptr);
}

}  // namespace
}  // namespace sim
