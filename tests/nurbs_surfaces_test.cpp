#include "export/nurbs_surfaces.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugin/plugin_application.h"
#include "scene/scene_api_file.h"
#include "scene_test_file.h"
#include "tests/file_text.h"
#include "sim_test_world.h"
#include "simhost/host_memory.h"
#include "simhost_binding.h"
#include "toolkit/toolkit_binding.h"

namespace {

// ---- Values read back from scene text ----------------------------------------------------------

// The numbers of the parameter name in scene text written without binary arrays: a single value,
// or every element of an array. Empty when the parameter is not there.
std::vector<double> Numbers(const std::string& text, const std::string& name)
{
    std::vector<double> numbers;
    size_t at = text.find("\"" + name + "\" ");
    if (at == std::string::npos)
        return numbers;
    at += name.size() + 3;
    const bool array = text.compare(at, 2, "[ ") == 0;
    const char* p = text.c_str() + at + (array ? 2 : 0);
    while (true) {
        char* end = nullptr;
        const double value = std::strtod(p, &end);
        if (end == p)
            break;
        numbers.push_back(value);
        p = end;
        while (*p == ',' || *p == '\n' || *p == ' ')
            ++p;
        if (!array || *p == ']')
            break;
    }
    return numbers;
}

// ---- The fixture: a model of the simulated host, a scene file writer without binary arrays ------

class NurbsSurfaces : public ::testing::Test {
protected:
    bool Start(const std::string& model)
    {
        if (!sim::UseWorld(model))
            return false;
        BindSimulatedHost();
        blocks = sim::LiveHostBlocks();
        app = GetPluginApplication();
        writer = new trvScene_api_file(file.get(), false);
        app->sceneBuilder.api = writer;
        return true;
    }

    void TearDown() override
    {
        if (pairing.interfaceData != nullptr) {
            EXPECT_EQ(ProIntfDataFree(pairing.interfaceData.release()), PRO_TK_NO_ERROR);
        }
        EXPECT_EQ(sim::LiveModelRecords(), 0u);
        EXPECT_EQ(sim::LiveHostBlocks(), blocks);
        EXPECT_EQ(sim::ProblemCount(), 0u);
        if (app != nullptr)
            app->sceneBuilder.api = nullptr;
        delete writer;  // closes the file
        DestroyPluginApplication();
        ToolkitUnbind();
    }

    sim::Model& Model() { return *sim::FindModel(sim::HostWorld(), "N"); }

    ProSurface Surface(int id) { return sim::ToHandle(*sim::FindSurface(Model(), id)); }

    void Pair() { pairing = PairInterfaceSurfaces(sim::Handle("N"), surfaceIds, surfaces); }

    // Keeps the host surfaces of ids, in that order, as the surface visits give them, and pairs
    // them. No ids: all of the model's, its own, then its quilts'.
    void VisitAndPair(std::vector<int> ids = {})
    {
        if (ids.empty()) {
            for (const sim::Surface& surface : Model().surfaces)
                ids.push_back(surface.id);
            for (const sim::Quilt& quilt : Model().quilts)
                for (const sim::Surface& surface : quilt.surfaces)
                    ids.push_back(surface.id);
        }
        for (int id : ids) {
            surfaces.push_back(Surface(id));
            surfaceIds.insert(id);
        }
        Pair();
    }

    // The ids of the interface surfaces paired with each host surface, in pairing order.
    std::map<int, std::vector<int>> Pairs()
    {
        std::map<int, std::vector<int>> pairs;
        for (const auto& [id, records] : pairing.surfaceMap) {
            std::vector<int>& ids = pairs[id];
            for (ProSurfacedata* record : records) {
                int interfaceId = 0;
                ProSurfacedataGet(record, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  &interfaceId);
                ids.push_back(interfaceId);
            }
        }
        return pairs;
    }

    void WriteObjects(int id)
    {
        app->WriteNurbsObjects(pairing, surfaceIds, "N", Surface(id), id,
                               MaterialKey{"color", {}, 0.5, 0.5, 0.5});
    }

    size_t blocks = 0;
    PluginApplication* app = nullptr;
    SceneTestFile file;
    trvScene_api_file* writer = nullptr;
    std::vector<ProSurface> surfaces;
    std::set<int> surfaceIds;
    InterfacePairing pairing;
};

// ---- Pairing ------------------------------------------------------------------------------------

// Surface 1 keeps its id in the interface data. Surfaces 2 and 5 have interface ids of their
// own (502, 505): 502 must be paired by its edges 21 and 22, which bound host surface 3 as well
// as 2; 505 only by edge 51 of host surface 5. Surface 6 has no contours. Quilt 80 holds
// surface 8. Edge 99 has no record.
const std::string kPairingModel = R"({"current": "N", "models": [{"name": "N", "type": "part",
    "surfaces": [
      {"id": 1, "patch": )" + sim::FlatPatch(0) + R"(},
      {"id": 2, "interface_id": 502, "patch": )" + sim::FlatPatch(1) + R"(,
       "contours": [{"edges": [21, 22]}]},
      {"id": 3, "patch": )" + sim::FlatPatch(2) + R"(,
       "contours": [{"edges": [23]}, {"edges": [22, 23, 21]}]},
      {"id": 5, "interface_id": 505, "patch": )" + sim::FlatPatch(3) + R"(,
       "contours": [{"edges": [51]}]},
      {"id": 6, "interface_id": 506, "patch": )" + sim::FlatPatch(4) + R"(}],
    "quilts": [{"id": 80, "surfaces": [{"id": 8, "patch": )" + sim::FlatPatch(5) + R"(}]}],
    "edges": [
      {"id": 21, "sides": [{"surface": 2}, {"surface": 3}]},
      {"id": 22, "sides": [{"surface": 2}, {"surface": 3}]},
      {"id": 23, "sides": [{"surface": 3}]},
      {"id": 99, "sides": [{"surface": 3}], "faults": ["no_edge_record"]},
      {"id": 51, "sides": [{"surface": 5}]}]
  }]})";

TEST_F(NurbsSurfaces, InterfaceSurfacesPairByIdOrWithTheFirstVisitedSurfaceBoundingTheirEdges)
{
    ASSERT_TRUE(Start(kPairingModel));
    const struct {
        std::vector<int> visits;
        std::map<int, std::vector<int>> pairs;
    } cases[] = {
        // 506 has no contours: paired with nothing, so never written. 8 is the quilt's.
        {{1, 2, 3, 5, 6, 8}, {{1, {1}}, {2, {502}}, {3, {3}}, {5, {505}}, {8, {8}}}},
        // Surface 3 visited before 2 holds 502's edges; its own interface surface comes first.
        {{1, 3, 2, 5, 6, 8}, {{1, {1}}, {3, {3, 502}}, {5, {505}}, {8, {8}}}},
        // 505 and the quilt's 8 bound no visited surface.
        {{1, 2}, {{1, {1}}, {2, {502}}}},
    };
    for (const auto& c : cases) {
        VisitAndPair(c.visits);
        ASSERT_NE(pairing.interfaceData, nullptr);
        EXPECT_EQ(Pairs(), c.pairs) << "visits " << ::testing::PrintToString(c.visits);
        // Edge 99's record cannot be had.
        EXPECT_EQ(pairing.edgeIndexMap, (EdgeIndexMap{{21, 0}, {22, 1}, {23, 2}, {51, 4}}));
        EXPECT_EQ(ProIntfDataFree(pairing.interfaceData.release()), PRO_TK_NO_ERROR);
        pairing = {};
        surfaces.clear();
        surfaceIds.clear();
    }
}

TEST_F(NurbsSurfaces, AnEdgeTwiceInAContourNeedsToBoundTheHostSurfaceOnlyOnce)
{
    // 502's contour runs along edge 21 twice (a seam); host surface 3 holds 21 once.
    std::string model = kPairingModel;
    const std::string contour = R"("contours": [{"edges": [21, 22]}]},)";
    model.replace(model.find(contour), contour.size(),
                  R"("contours": [{"edges": [21, 22, 21]}]},)");
    ASSERT_TRUE(Start(model));
    VisitAndPair({3, 2});
    EXPECT_EQ(Pairs(), (std::map<int, std::vector<int>>{{3, {3, 502}}}));
}

TEST_F(NurbsSurfaces, InterfaceSurfaceWhoseHostSurfaceHasNoIdIsDropped)
{
    // Host surface 5, which alone bounds 505's edge, has no id the host can give.
    std::string model = kPairingModel;
    const std::string surface = R"("id": 5, "interface_id": 505,)";
    model.replace(model.find(surface), surface.size(), surface + R"( "faults": ["no_id"],)");
    ASSERT_TRUE(Start(model));
    VisitAndPair();
    EXPECT_EQ(Pairs(), (std::map<int, std::vector<int>>{{1, {1}}, {2, {502}}, {3, {3}}, {8, {8}}}));
}

TEST_F(NurbsSurfaces, NoInterfaceDataMeansNoPairs)
{
    ASSERT_TRUE(Start(R"({"current": "N", "models": [{"name": "N", "type": "part",
        "faults": ["no_interface_data"],
        "shapes": [{"rectangle": {"size": [1, 1]}}]}]})"));
    VisitAndPair();
    // The handle still comes back, for the caller to release.
    EXPECT_NE(pairing.interfaceData, nullptr);
    EXPECT_TRUE(pairing.surfaceMap.empty());
    EXPECT_TRUE(pairing.edgeIndexMap.empty());
    WriteObjects(Model().surfaces[0].id);
    EXPECT_EQ(file.All(), "");
}

TEST(NurbsRepresentation, SwitchesOnOnOffThenTwoAndTwo)
{
    const ProOutputBrepRepresentation representation = InterfaceRepresentation();
    uint32_t words[3];
    static_assert(sizeof(words) == sizeof(representation), "three words");
    std::memcpy(words, &representation, sizeof(words));
    EXPECT_EQ(words[0] & 7u, 3u);
    EXPECT_EQ(words[1], 2u);
    EXPECT_EQ(words[2], 2u);
}

// ---- The "nurbs" block --------------------------------------------------------------------------

// A rational bilinear patch over u 0..1, v 0..2, trimmed by its border: four straight edges.
const std::string kPatchModel = R"({"current": "N", "models": [{"name": "N", "type": "part",
    "surfaces": [
      {"id": 1, "patch": {"degree": [1, 1], "knots_u": [0, 0, 1, 1], "knots_v": [0, 0, 2, 2],
                          "points": [[0,0,0],[0,2,0],[1,0,0],[1,2,1]],
                          "weights": [1, 0.5, 1, 0.25]},
       "contours": [{"traversal": 1, "edges": [11, 12, 13, 14]}]},
      {"id": 2, "faults": ["not_bspline"], "patch": )" + sim::FlatPatch(1) + R"(,
       "contours": [{"traversal": 1, "edges": [11]}]},
      {"id": 3, "patch": {"degree": [3, 2], "knots_u": [-1, -0.5, 0, 0.5, 1.5, 2, 2.5, 3],
                          "knots_v": [0, 0, 0.25, 0.75, 1, 1],
                          "points": [[0,10,20],[1,11,21],[2,12,22],[3,13,23],[4,14,24],
                                     [5,15,25],[6,16,26],[7,17,27],[8,18,28],[9,19,29],
                                     [10,20,30],[11,21,31]]}}],
    "edges": [
      {"id": 11, "sides": [)" + sim::LineSide(1, 0, 0, 1, 0) + ", " +
           sim::LineSide(2, 0, 0, 1, 0) + R"(]},
      {"id": 12, "sides": [)" + sim::LineSide(1, 1, 0, 1, 2) + R"(]},
      {"id": 13, "sides": [)" + sim::LineSide(1, 1, 2, 0, 2) + R"(]},
      {"id": 14, "sides": [)" + sim::LineSide(1, 0, 2, 0, 0) + R"(]}]
  }]})";

TEST_F(NurbsSurfaces, PatchWithItsTrimLoopIsWrittenExactly)
{
    ASSERT_TRUE(Start(kPatchModel));
    VisitAndPair();
    WriteObjects(1);

    // Doubles as "%16.16f".
    const std::string Z = "0.0000000000000000", O = "1.0000000000000000",
                      T = "2.0000000000000000", H = "0.5000000000000000",
                      Q = "0.2500000000000000";
    const std::string expected =
        "\n"
        "object \"N\" {\n"
        "  geometry \"nurbs\" {\n"
        "    \"umin\" " + Z + ",\n"
        "    \"umax\" " + O + ",\n"
        "    \"vmin\" " + Z + ",\n"
        "    \"vmax\" " + T + ",\n"
        "    \"uorder\" 2,\n"
        "    \"vorder\" 2,\n"
        "    \"uknot\" [ " + Z + "," + Z + "," + O + "," + O + " ] ,\n"
        "    \"vknot\" [ " + Z + "," + Z + "," + T + "," + T + " ] ,\n"
        // u runs fastest: points 0, 2, then 1, 3 of the host's; x, y, z and the weight each.
        "    \"Pw\" [ " + Z + "," + Z + "," + Z + "," + O + "," + O + "," + Z + "," + Z + "," +
        O + "," + Z + ",\n"
        "    " + T + "," + Z + "," + H + "," + O + "," + T + "," + O + "," + Q + " ] ,\n"
        "    \"trim_nedges\" [ 4 ] ,\n"
        "    \"trim_inside\" [ 1 ] ,\n"
        "    \"edge_order\" [ 2,2,2,2 ] ,\n"
        "    \"edge_nknots\" [ 4,4,4,4 ] ,\n"
        "    \"edge_min\" [ " + Z + "," + Z + "," + Z + "," + Z + " ] ,\n"
        "    \"edge_max\" [ " + O + "," + O + "," + O + "," + O + " ] ,\n"
        "    \"edge_knot\" [ " + Z + "," + Z + "," + O + "," + O + "," + Z + "," + Z + "," + O +
        "," + O + "," + Z + ",\n"
        "    " + Z + "," + O + "," + O + "," + Z + "," + Z + "," + O + "," + O + " ] ,\n"
        // Left edge (placed before the bottom one), bottom, right, top: u, v, weight 1.
        "    \"edge_uvw\" [ " + Z + "," + T + "," + O + "," + Z + "," + Z + "," + O + "," + Z +
        "," + Z + "," + O + ",\n"
        "    " + O + "," + Z + "," + O + "," + O + "," + Z + "," + O + "," + O + "," + T + ",\n"
        "    " + O + "," + O + "," + T + "," + O + "," + Z + "," + T + "," + O + " ] ,\n"
        "  }\n"
        "  material ";
    const std::string text = file.All();
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    // The material of the group closes the object.
    EXPECT_EQ(Count(text, "\nobject "), 1u);
    EXPECT_EQ(text.substr(text.size() - 2), "}\n");
}

TEST_F(NurbsSurfaces, SurfaceOfDegreesThreeAndTwoTakesItsDomainFromTheKnots)
{
    ASSERT_TRUE(Start(kPatchModel));
    VisitAndPair();
    WriteObjects(3);
    const std::string text = file.All();
    EXPECT_EQ(Numbers(text, "uorder"), std::vector<double>{4});
    EXPECT_EQ(Numbers(text, "vorder"), std::vector<double>{3});
    EXPECT_EQ(Numbers(text, "umin"), std::vector<double>{0.5});   // u knot 3
    EXPECT_EQ(Numbers(text, "umax"), std::vector<double>{1.5});   // u knot 4
    EXPECT_EQ(Numbers(text, "vmin"), std::vector<double>{0.25});  // v knot 2
    EXPECT_EQ(Numbers(text, "vmax"), std::vector<double>{0.75});  // v knot 3
    EXPECT_EQ(Numbers(text, "uknot"), (std::vector<double>{-1, -0.5, 0, 0.5, 1.5, 2, 2.5, 3}));
    EXPECT_EQ(Numbers(text, "vknot"), (std::vector<double>{0, 0, 0.25, 0.75, 1, 1}));
    // 4 x 3 points. The host's point k = 3i + j is (k, 10 + k, 20 + k); j outer, i inner.
    EXPECT_EQ(Numbers(text, "Pw"),
              (std::vector<double>{0, 10, 20, 1, 3, 13, 23, 1, 6, 16, 26, 1, 9, 19, 29, 1,
                                   1, 11, 21, 1, 4, 14, 24, 1, 7, 17, 27, 1, 10, 20, 30, 1,
                                   2, 12, 22, 1, 5, 15, 25, 1, 8, 18, 28, 1, 11, 21, 31, 1}));
    // No contours: no trim parameters.
    EXPECT_EQ(Count(text, "trim_"), 0u);
    EXPECT_EQ(Count(text, "edge_"), 0u);
}

TEST_F(NurbsSurfaces, SurfaceThatIsNoBsplineKeepsOnlyItsTrims)
{
    ASSERT_TRUE(Start(kPatchModel));
    VisitAndPair();
    WriteObjects(2);
    const std::string text = file.All();
    EXPECT_EQ(Count(text, "geometry \"nurbs\" {\n    \"trim_nedges\" [ 1 ] ,\n"), 1u);
    EXPECT_EQ(Count(text, "\"umin\""), 0u);
    EXPECT_EQ(Count(text, "\"Pw\""), 0u);
    EXPECT_EQ(Numbers(text, "edge_uvw"), (std::vector<double>{1, 0, 1, 0, 0, 1}));
}

TEST_F(NurbsSurfaces, HostSurfacePairedTwiceWritesTwoObjectsWithTheSameTrims)
{
    ASSERT_TRUE(Start(kPatchModel));
    VisitAndPair();
    pairing.surfaceMap[1].push_back(pairing.surfaceMap[3].front());
    WriteObjects(1);
    const std::string text = file.All();
    EXPECT_EQ(Count(text, "geometry \"nurbs\""), 2u);
    EXPECT_EQ(Count(text, "\"trim_nedges\" [ 4 ] ,\n"), 2u);
    EXPECT_EQ(Count(text, "\"uorder\" 2,"), 1u);
    EXPECT_EQ(Count(text, "\"uorder\" 4,"), 1u);
}

}  // namespace
