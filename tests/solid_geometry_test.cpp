// One solid's surfaces written as a scene group, against the simulated host in this process: the
// filters of the surface and quilt visits, grouping by material, the tessellation's chord heights
// and retries, and the group's exact text.
#include "export/solid_geometry.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/plugin_application.h"
#include "scene/scene_api_file.h"
#include "simhost/host_memory.h"
#include "simhost/model_functions.h"
#include "tests/scene_test_file.h"
#include "tests/sim_geometry_host.h"
#include "sim_test_world.h"

namespace {

using sim_geometry::InputCall;

// A part P of the given shapes (JSON list items), with model-level entries added as given.
std::string Part(const std::string& shapes, const std::string& more = "") {
    return R"({"current": "P", "models": [{"name": "P", "type": "part", )" + more +
           R"("shapes": [)" + shapes + "]}]}";
}

const char kRectangle[] = R"({"rectangle": {"size": [2, 1]}})";

std::string Rectangle(const std::string& extra) {
    return R"({"rectangle": {"size": [2, 1]}, )" + extra + "}";
}

std::string Appearance(const char* name, double diffuse, const char* colour) {
    return std::string(R"("appearance": {"name": ")") + name +
           R"(", "diffuse": )" + std::to_string(diffuse) + R"(, "color": )" + colour + "}";
}

class SolidGeometry : public ::testing::Test {
protected:
    void TearDown() override {
        DestroyPluginApplication();
        sim_geometry::UnbindGeometryHost();
        EXPECT_EQ(sim::LiveModelRecords(), 0u);
        EXPECT_EQ(sim::LiveHostBlocks(), 0u);
        EXPECT_EQ(sim::ProblemCount(), 0u);
        const sim_geometry::Log& log = sim_geometry::HostLog();
        EXPECT_EQ(log.inputsMade, log.inputsFreed);
    }

    // Binds the world and makes a fresh plug-in object with NURBS output off.
    void Start(const std::string& world) {
        ASSERT_TRUE(sim_geometry::BindGeometryHost(world));
        DestroyPluginApplication();
        app = GetPluginApplication();
        app->settings.includeNURBS = false;
    }

    // The text ExportSolidGeometry writes for the model (P unless named) as the group name.
    std::string Export(const std::string& name, bool writeGeometry, bool binary = false,
                       const std::string& model = "P") {
        SceneTestFile file;
        trvScene_api_file writer(file.get(), binary);
        app->sceneBuilder.api = &writer;
        const ProMatrix transform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {10, 20, 30, 1}};
        ProAsmcomppath path = {};
        path.owner = sim_geometry::Model(model);
        app->ExportSolidGeometry(path.owner, path, path, name, transform, writeGeometry);
        app->sceneBuilder.api = nullptr;
        return file.All();
    }

    PluginApplication* app = nullptr;
};

// The element counts of the binary array blocks named name, in order.
std::vector<uint32_t> BlockCounts(const std::string& text, const std::string& name) {
    std::vector<uint32_t> counts;
    const std::string head = "\"" + name + "\" [ ";
    for (size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
        const size_t block = at + head.size();
        uint32_t count = 0;
        for (int k = 3; k >= 0; --k) {
            count = count << 8 | static_cast<unsigned char>(text.at(block + 4 + k));
        }
        counts.push_back(count);
    }
    return counts;
}

// The int32 elements of the binary array block named name that stands at position index.
std::vector<int32_t> IntBlock(const std::string& text, const std::string& name, size_t index) {
    const std::string head = "\"" + name + "\" [ ";
    size_t at = text.find(head);
    for (size_t i = 0; i < index && at != std::string::npos; ++i) at = text.find(head, at + 1);
    const size_t block = at + head.size();
    const uint32_t count = BlockCounts(text.substr(at), name).at(0);
    std::vector<int32_t> values(count);
    std::memcpy(values.data(), text.data() + block + 8, 4 * count);
    return values;
}

std::vector<std::string> Lines(const std::string& text, const std::vector<std::string>& starts) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(from, end - from);
        line.erase(0, line.find_first_not_of(' '));
        for (const std::string& start : starts) {
            if (line.compare(0, start.size(), start) == 0) {
                lines.push_back(line);
                break;
            }
        }
        from = end + 1;
    }
    return lines;
}

// ---- The group ---------------------------------------------------------------------------------

TEST_F(SolidGeometry, RectangleGivesItsGroupWithMeshMaterialAndTransform) {
    Start(Part(kRectangle));
    // The host tessellates the flat 2 x 1 patch on a grid of 2 x 2 vertices, u outer and v inner,
    // two facets per cell; no appearance anywhere gives the grey default.
    EXPECT_EQ(Export("plate-group", true),
              "\n"
              "group \"plate-group\" {\n"
              "  flags 1024\n"
              "\n"
              "  object \"P\" {\n"
              "    geometry \"triangles\" {\n"
              "      \"vertices\" [ 0 0 0,0 1 0,2 0 0,2 1 0 ] ,\n"
              "      \"normals\" [ 0 0 1,0 0 1,0 0 1,0 0 1 ] ,\n"
              "      \"uv_tex\" [ 0,0,0,1,1,0,1,1 ] ,\n"
              "      \"triangles\" [ 0,2,3,0,3,1 ] ,\n"
              "    }\n"
              "    material \"p:color:128:128:128\" {\n"
              "      surface       \"trv_diffuse\" {\n"
              "        \"diffuse\" 0.5 0.5 0.5,\n"
              "      }      \n"
              "    }\n"
              "  }\n"
              "  transform 1 0 0 0 0 1 0 0 0 0 1 0 10 20 30 1\n"
              "}\n");
    EXPECT_TRUE(app->meshBuffers.vertices.empty());
    EXPECT_TRUE(app->meshBuffers.indices.empty());
}

TEST_F(SolidGeometry, WithoutGeometryTheGroupHoldsOnlyItsTransform) {
    Start(Part(kRectangle));
    EXPECT_EQ(Export("plate-group", false),
              "\n"
              "group \"plate-group\" {\n"
              "  transform 1 0 0 0 0 1 0 0 0 0 1 0 10 20 30 1\n"
              "}\n");
    EXPECT_TRUE(sim_geometry::Tries().empty());
}

TEST_F(SolidGeometry, SolidWhoseSurfacesAllFailTheFiltersWritesNothing) {
    Start(R"({"current": "P", "models": [{"name": "P", "type": "part",
              "features": [{"id": 1, "status": 1}, {"id": 2, "type": 1070}],
              "shapes": [{"box": {"min": [0, 0, 0], "max": [1, 1, 1]}, "feature": 1},
                         {"rectangle": {"size": [1, 1]}, "feature": 2}],
              "quilts": [{"id": 9, "hidden": true, "shapes": [{"rectangle": {"size": [1, 1]}}]}]
             }]})");
    EXPECT_EQ(Export("g", true), "");
}

TEST_F(SolidGeometry, LongModelNameIsCutToThirtyOneCharacters) {
    const std::string name(40, 'N');
    Start(R"({"current": ")" + name + R"(", "models": [{"name": ")" + name +
          R"(", "type": "part", "shapes": [{"rectangle": {"size": [1, 1]}}]}]})");
    const std::string text = Export("g", true, false, name);
    EXPECT_NE(text.find("object \"" + std::string(31, 'N') + "\" {"), std::string::npos) << text;
    EXPECT_NE(text.find("material \"" + std::string(31, 'n') + ":color:"), std::string::npos);
}

// ---- Grouping by material ----------------------------------------------------------------------

TEST_F(SolidGeometry, SurfacesAreMergedPerMaterialInKeyOrder) {
    // Red box (diffuse 1), two blue rectangles (diffuse 0.5: blue 0.5), one without appearance.
    Start(Part(R"({"box": {"min": [0, 0, 0], "max": [1, 1, 1]}, )" +
               Appearance("RED", 1, "[1, 0, 0]") + "}, " +
               Rectangle(Appearance("BLUE", 0.5, "[0, 0, 1]")) + ", " + kRectangle + ", " +
               Rectangle(Appearance("DEEP", 0.5, "[0, 0, 1]"))));
    const std::string text = Export("g", true, true);
    // Red 0 before 0.5 before 1: blue, grey, red. BLUE and DEEP differ only in name: one group.
    EXPECT_EQ(Lines(text, {"material"}),
              (std::vector<std::string>{"material \"p:color:0:0:128\" {",
                                        "material \"p:color:128:128:128\" {",
                                        "material \"p:color:255:0:0\" {"}));
    EXPECT_EQ(BlockCounts(text, "vertices"), (std::vector<uint32_t>{3 * 8, 3 * 4, 3 * 24}));
    EXPECT_EQ(BlockCounts(text, "triangles"), (std::vector<uint32_t>{3 * 4, 3 * 2, 3 * 12}));
    // The second rectangle's vertex numbers follow the first one's four vertices.
    EXPECT_EQ(IntBlock(text, "triangles", 0),
              (std::vector<int32_t>{0, 2, 3, 0, 3, 1, 4, 6, 7, 4, 7, 5}));
    EXPECT_EQ(Lines(text, {"flags"}), (std::vector<std::string>{"flags 1024"}));
}

TEST_F(SolidGeometry, KeysThatDifferOnlyInTextureAreSeparateObjectsUnderOneName) {
    const std::string white = Appearance("W", 1, "[1, 1, 1]");
    Start(Part(Rectangle(white + R"(, "texture": {"file": "b.png", "path": "C:\\b.png"})") + ", " +
               Rectangle(white + R"(, "texture": {"file": "a.png", "path": "C:\\a.png"})") + ", " +
               Rectangle(white)));
    const std::string text = Export("g", true);
    // No texture, then "C:\a.png" before "C:\b.png".
    EXPECT_EQ(Lines(text, {"material", "\"texture\""}),
              (std::vector<std::string>{"material \"p:color:255:255:255\" {",
                                        "material \"p:color:255:255:255\" {",
                                        "\"texture\" \"C:\\a.png\",",
                                        "material \"p:color:255:255:255\" {",
                                        "\"texture\" \"C:\\b.png\","}))
        << text;
}

// ---- Tessellation ------------------------------------------------------------------------------

// The shared input carries the chord height of the quality 0.2, whose factor is
// ln(0.2) x 0.2 + 1 = 0.67811242: from the diagonal sqrt(5) base 0.00111803399 and span
// 0.00111781038; without an outline from diagonal 1, base 0.0005 and span 0.0004999.
TEST_F(SolidGeometry, SharedInputCarriesTheChordHeightOfTheQuality) {
    const std::pair<const char*, double> cases[] = {
        {"", 0.000360032888}, {R"("faults": ["no_outline"], )", 0.000161011602}};
    for (const auto& [faults, chordHeight] : cases) {
        Start(Part(kRectangle, faults));
        Export("g", true);
        const std::vector<InputCall>& calls = sim_geometry::HostLog().calls;
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].kind, InputCall::ChordHeight);
        EXPECT_EQ(calls[0].input, 1);
        EXPECT_NEAR(calls[0].chordHeight, chordHeight, 1e-12);
        EXPECT_EQ(calls[1].kind, InputCall::UvProjection);
        EXPECT_EQ(calls[2].kind, InputCall::Tessellate);
        EXPECT_EQ(calls[2].input, 1);
    }
}

TEST_F(SolidGeometry, RefusedSurfaceIsRetriedAtFinerQualitiesOnItsOwnInput) {
    // The host tessellates only at chord heights up to 0.00018: quality 0.5 (0.000155) is the
    // first that passes; 0.3 gives 0.000269 and 0.4 gives 0.000205.
    Start(Part(Rectangle(R"("chord_height_range": [0, 0.00018])")));
    const std::string text = Export("g", true);
    const std::vector<InputCall> tries = sim_geometry::Tries();
    ASSERT_EQ(tries.size(), 4u);
    EXPECT_EQ(tries[0].input, 1);
    EXPECT_NE(tries[0].answer, PRO_TK_NO_ERROR);
    const double expected[] = {0.000269386267, 0.000205071465, 0.000155185030};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(tries[i].input, 2) << i;
        EXPECT_NEAR(tries[i].chordHeight, expected[i - 1], 1e-12) << i;
    }
    EXPECT_EQ(tries[3].answer, PRO_TK_NO_ERROR);
    EXPECT_NE(text.find("\"vertices\" [ 0 0 0,0 1 0,2 0 0,2 1 0 ] ,"), std::string::npos);
    // The retry input gets chord heights only.
    for (const InputCall& call : sim_geometry::HostLog().calls) {
        if (call.kind == InputCall::UvProjection) {
            EXPECT_EQ(call.input, 1);
        }
    }
}

// A surface the host refuses at every quality is left out of its group after the first try,
// eight up (0.3 to just under 1) and two down (0.1 and 0) on a retry input of its own; at a
// quality far above one, held at one (chord height fine), after the first and ten down.
TEST_F(SolidGeometry, SurfaceRefusedAtEveryQualityIsLeftOutOfItsGroup) {
    Start(Part(std::string(kRectangle) + ", " +
               Rectangle(R"("surface_faults": ["tessellation_refused"])")));
    const std::string text = Export("g", true, true);
    std::vector<InputCall> tries = sim_geometry::Tries();
    ASSERT_EQ(tries.size(), 12u);  // one for the good rectangle, eleven for the refused one
    EXPECT_EQ(tries[1].input, 1);
    for (size_t i = 2; i < tries.size(); ++i) EXPECT_EQ(tries[i].input, 2) << i;
    EXPECT_EQ(sim_geometry::HostLog().inputsMade, 2);
    EXPECT_EQ(BlockCounts(text, "vertices"), (std::vector<uint32_t>{3 * 4}));

    Start(Part(Rectangle(R"("surface_faults": ["tessellation_refused"])")));
    app->settings.tessellationQuality = 1e300;
    Export("g", true);
    tries = sim_geometry::Tries();
    ASSERT_EQ(tries.size(), 11u);
    EXPECT_NEAR(tries[0].chordHeight, 0.000000223607, 1e-12);
    for (const InputCall& call : tries) EXPECT_GT(call.chordHeight, 0.0);
}

TEST_F(SolidGeometry, SuccessWithoutTessellationIsNotRetried) {
    const std::string emptyGroup = "\n"
                                   "group \"g\" {\n"
                                   "  flags 1024\n"
                                   "  transform 1 0 0 0 0 1 0 0 0 0 1 0 10 20 30 1\n"
                                   "}\n";
    Start(Part(Rectangle(R"("surface_faults": ["no_tessellation"])")));
    EXPECT_EQ(Export("g", true), emptyGroup);
    EXPECT_EQ(sim_geometry::Tries().size(), 1u);
    EXPECT_EQ(sim_geometry::HostLog().inputsMade, 1);
    // Vertices whose every facet names a vertex the tessellation lacks give no object either.
    DestroyPluginApplication();
    Start(Part(kRectangle));
    sim_geometry::HostLog().facetShift = 4;
    EXPECT_EQ(Export("g", true), emptyGroup);
}

// ---- NURBS output ------------------------------------------------------------------------------

TEST_F(SolidGeometry, WithNurbsEachMaterialGroupIsWrappedInAGroupNamedAfterTheModel) {
    Start(Part(Rectangle(Appearance("BLUE", 1, "[0, 0, 1]")) + ", " +
               Rectangle(R"("surface_faults": ["no_tessellation"])")));
    app->settings.includeNURBS = true;
    const std::string text = Export("g", true);
    // The grey group's only surface gets no tessellation: its wrapper stays, without objects.
    EXPECT_EQ(Lines(text, {"group", "flags", "geometry \"triangles\""}),
              (std::vector<std::string>{"group \"g\" {", "flags 1024", "group \"P\" {",
                                        "flags 66560", "geometry \"triangles\" {", "group \"P\" {",
                                        "flags 66560"}))
        << text;
    const size_t mesh = text.find("geometry \"triangles\"");
    const size_t nurbs = text.find("geometry \"nurbs\"");
    if (nurbs != std::string::npos) {
        EXPECT_LT(nurbs, mesh);  // the group's NURBS objects come before its mesh object
    }
    const size_t emptyGroup = text.rfind("group \"P\"");
    EXPECT_EQ(text.find("object", emptyGroup), std::string::npos);
}

// ---- Visits ------------------------------------------------------------------------------------

// A planar patch surface of the given id, on a feature.
std::string Surface(int id, int feature, const std::string& extra = "") {
    return R"({"id": )" + std::to_string(id) + R"(, "feature": )" + std::to_string(feature) +
           R"(, "patch": {"degree": [1, 1], "knots_u": [0, 0, 1, 1], "knots_v": [0, 0, 1, 1],
              "points": [[0, 0, 0], [0, 1, 0], [1, 0, 0], [1, 1, 0]]})" + extra + "}";
}

std::string Quilt(int id, int feature, const std::string& surfaces, const std::string& extra = "") {
    return R"({"id": )" + std::to_string(id) + R"(, "feature": )" + std::to_string(feature) +
           R"(, "surfaces": [)" + surfaces + "]" + extra + "}";
}

TEST_F(SolidGeometry, VisitsKeepOwnSurfacesThenQuiltSurfacesThatPassTheFilters) {
    Start(R"({"current": "P", "models": [{"name": "P", "type": "part",
        "features": [{"id": 1}, {"id": 2, "status": 1}, {"id": 3, "type": 1070},
                     {"id": 4, "hidden": true}, {"id": 5, "layer_status": 0}],
        "surfaces": [)" +
          Surface(10, 1) + "," + Surface(11, 2) + "," + Surface(12, 3) + "," +
          Surface(13, 1, R"(, "inactive": true)") + "," + Surface(14, 4) + "," + Surface(15, 5) +
          R"(], "quilts": [)" +
          Quilt(20, 1, Surface(21, 1) + "," + Surface(22, 2)) + "," +
          Quilt(30, 1, Surface(31, 1), R"(, "hidden": true)") + "," +
          Quilt(40, 1, Surface(41, 1), R"(, "backup": true)") + "," +
          Quilt(50, 1, Surface(51, 1), R"(, "layer_status": 0)") + "," +
          Quilt(60, 5, Surface(61, 1)) + "," + Quilt(70, 4, Surface(71, 1)) + "," +
          Quilt(80, 2, Surface(81, 1)) + "," + Quilt(90, 3, Surface(91, 1)) + "," +
          Quilt(100, 1, Surface(101, 1), R"(, "inactive": true)") + "," +
          Quilt(110, 1, Surface(111, 1)) + "]}]}");
    SolidVisitData visit;
    visit.solid = sim_geometry::Model("P");
    ProSolidSurfaceVisit(visit.solid, CollectSurfaceId, SurfaceFeatureFilter, &visit);
    ProSolidQuiltVisit(visit.solid, CollectQuiltSurfaceIds, QuiltVisibilityFilter, &visit);
    std::vector<int> ids;
    for (ProSurface surface : visit.surfaces) {
        int id = 0;
        ProSurfaceIdGet(surface, &id);
        ids.push_back(id);
    }
    // A surface's filter asks neither the hidden flags nor the layers; a quilt's asks both.
    EXPECT_EQ(ids, (std::vector<int>{10, 14, 15, 21, 111}));
    EXPECT_EQ(visit.surfaceIds, (std::set<int>{10, 14, 15, 21, 111}));
}

}  // namespace
