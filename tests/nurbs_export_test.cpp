// Whole Export sessions of the simulated host with the real plug-in library, seen from the NURBS
// output: what a box part gives with NURBS output on and off, and whether the trim loops of faces
// as a CAD kernel makes them close and wind as their traversal asks. Each test runs in a fresh
// folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "simhost/simulated_host.h"
#include "tests/file_text.h"
#include "tests/plugin_command_line.h"
#include "tests/scoped_temp_folder.h"
#include "tests/sim_test_world.h"

namespace {

namespace fs = std::filesystem;

// Binary arrays: one loop of four curves, written as the block 01 02 03 'i', one int32 element,
// the value 4.
const char kOneLoopOfFour[] = "\"trim_nedges\" [ \x01\x02\x03i\x01\0\0\0\x04\0\0\0] ";

// Count of bytes given as a string literal, zero bytes included.
template <size_t N>
size_t CountBytes(const std::string& text, const char (&bytes)[N])
{
    return Count(text, std::string(bytes, N - 1));
}

const char* kBoxModel = R"({"current": "BOX", "models": [{"name": "BOX", "type": "part",
    "shapes": [{"box": {"min": [0, 0, 0], "max": [3, 2, 1]}}]}]})";

// The elements of the binary array block of parameter name, the first one at or after from. The
// block is little-endian, as is every machine these tests run on.
template <typename T>
std::vector<T> BinaryArray(const std::string& scene, size_t from, const std::string& name)
{
    const std::string head = "\"" + name + "\" [ \x01\x02\x03";
    const size_t at = scene.find(head, from);
    if (at == std::string::npos || at + head.size() + 5 > scene.size())
        return {};
    uint32_t count = 0;
    std::memcpy(&count, scene.data() + at + head.size() + 1, 4);
    const size_t data = at + head.size() + 5;
    if (data + count * sizeof(T) > scene.size())
        return {};
    std::vector<T> values(count);
    std::memcpy(values.data(), scene.data() + data, count * sizeof(T));
    return values;
}

// Checks every trim loop of the "nurbs" block at from: each curve's last control point meets the
// next one's first, in the order written (within 1e-7: joints of imported faces can miss by more
// than rounding), and the loop winds counter-clockwise when it is an outer one (trim_inside 1),
// clockwise for a hole.
void ExpectLoopsCloseAndWind(const std::string& scene, size_t from)
{
    SCOPED_TRACE("nurbs block at byte " + std::to_string(from));
    const auto nedges = BinaryArray<int32_t>(scene, from, "trim_nedges");
    const auto inside = BinaryArray<int32_t>(scene, from, "trim_inside");
    const auto order = BinaryArray<int32_t>(scene, from, "edge_order");
    const auto nknots = BinaryArray<int32_t>(scene, from, "edge_nknots");
    const auto uvw = BinaryArray<double>(scene, from, "edge_uvw");
    ASSERT_EQ(nedges.size(), inside.size());
    size_t curve = 0;
    size_t point = 0;
    for (size_t loop = 0; loop < nedges.size(); ++loop) {
        // The control points (u, v) of each curve of the loop.
        std::vector<std::vector<std::pair<double, double>>> curves;
        for (int32_t c = 0; c < nedges[loop]; ++c, ++curve) {
            ASSERT_LT(curve, order.size());
            curves.emplace_back();
            for (int32_t p = order[curve]; p < nknots[curve]; ++p, ++point) {
                ASSERT_LT(3 * point + 1, uvw.size());
                curves.back().push_back({uvw[3 * point], uvw[3 * point + 1]});
            }
            ASSERT_FALSE(curves.back().empty());
        }
        ASSERT_FALSE(curves.empty()) << "loop " << loop;
        for (size_t c = 0; c < curves.size(); ++c) {
            const auto& end = curves[c].back();
            const auto& start = curves[(c + 1) % curves.size()].front();
            const double miss = std::max(std::abs(end.first - start.first),
                                         std::abs(end.second - start.second));
            ASSERT_LT(miss, 1e-7) << "loop " << loop << " curve " << c;
        }
        double area = 0;  // twice the signed area of the control polygon
        const std::pair<double, double>* previous = &curves.back().back();
        for (const auto& points : curves)
            for (const auto& p : points) {
                area += previous->first * p.second - p.first * previous->second;
                previous = &p;
            }
        EXPECT_EQ(area > 0, inside[loop] == 1) << "loop " << loop << " area " << area;
    }
    EXPECT_EQ(3 * point, uvw.size());
}

// ExpectLoopsCloseAndWind for each "nurbs" block of the scene; answers how many there are.
size_t ExpectEveryLoopClosesAndWinds(const std::string& scene)
{
    const std::string block = "geometry \"nurbs\"";
    size_t count = 0;
    for (size_t at = scene.find(block); at != std::string::npos; at = scene.find(block, at + 1)) {
        ExpectLoopsCloseAndWind(scene, at);
        ++count;
    }
    return count;
}

class NurbsExport : public ::testing::Test {
protected:
    void SetUp() override { UseModel(kBoxModel); }

    void UseModel(const std::string& model)
    {
        std::ofstream("model.json", std::ios::binary) << model;
    }

    // Exports the model to out.vsb; answers the scene file's bytes. Every interface record and
    // curve record must have been given back to the host.
    std::string Export()
    {
        sim::CommandLine options = PluginCommandLine();
        options.model = "model.json";
        options.saveAs = "out.vsb";
        options.commands = {"Vistrel Export"};
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(sim::RunSimulatedHost(options, out, err), 0) << err.str();
        const std::string summary = out.str();
        EXPECT_NE(summary.find("host memory not freed: 0 block(s)"), std::string::npos) << summary;
        return ReadFile(folder_.Path() / "out.vsb");
    }

    ScopedTempFolder folder_;
};

TEST_F(NurbsExport, BoxGivesSixTrimmedSurfacesBesideItsMesh)
{
    const std::string scene = Export();
    EXPECT_EQ(ExpectEveryLoopClosesAndWinds(scene), 6u);
    EXPECT_EQ(Count(scene, "geometry \"triangles\""), 1u);
    EXPECT_EQ(CountBytes(scene, kOneLoopOfFour), 6u);
    EXPECT_EQ(CountBytes(scene, "\"trim_inside\" [ \x01\x02\x03i\x01\0\0\0\x01\0\0\0] "), 6u);
}

TEST_F(NurbsExport, SurfacesWhoseIdTheHostCannotGiveGetNoNurbsObjects)
{
    // Beside a rectangle, a box whose six surface ids the host cannot give: taken as 0, each of
    // them would be paired with all six of the box's interface surfaces.
    UseModel(R"({"current": "BOX", "models": [{
        "name": "BOX", "type": "part",
        "shapes": [{"box": {"min": [0, 0, 0], "max": [3, 2, 1]}, "surface_faults": ["no_id"]},
                   {"rectangle": {"size": [1, 1]}}]}]})");
    const std::string scene = Export();
    EXPECT_EQ(Count(scene, "geometry \"nurbs\""), 1u);
    EXPECT_EQ(Count(scene, "geometry \"triangles\""), 1u);  // the box's mesh is still there
}

TEST_F(NurbsExport, NurbsOutputOffWritesMeshesOnly)
{
    std::ofstream("vistrel_plugin_settings.xml", std::ios::binary)
        << "<?xml version=\"1.0\" ?>\n<vistrel_plugin_settings>\n"
           "    <includeNURBS>false</includeNURBS>\n</vistrel_plugin_settings>\n";
    const std::string scene = Export();
    EXPECT_EQ(Count(scene, "\"nurbs\""), 0u);
    EXPECT_EQ(Count(scene, "flags 66560"), 0u);
    EXPECT_EQ(Count(scene, "geometry \"triangles\""), 1u);
}

TEST_F(NurbsExport, LoopsOfSeamFacesAndNearStraightOrMissingJointsCloseAndWindAsTheirTraversal)
{
    UseModel(ReadFile(VISTREL_SOURCE_DIR "/examples/kernel_faces.json"));
    const std::string scene = Export();
    EXPECT_EQ(ExpectEveryLoopClosesAndWinds(scene), 4u);
    EXPECT_EQ(CountBytes(scene, kOneLoopOfFour), 2u);  // the seam faces
    EXPECT_EQ(CountBytes(scene, "\"trim_nedges\" [ \x01\x02\x03i\x02\0\0\0\x04\0\0\0\x04\0\0\0] "),
              1u);
    EXPECT_EQ(CountBytes(scene, "\"trim_nedges\" [ \x01\x02\x03i\x01\0\0\0\x07\0\0\0] "), 1u);
}

TEST_F(NurbsExport, LoopsGivenAgainstTheirTraversalAreWrittenBackwardsHeadToTail)
{
    // An outer square listed clockwise and a triangular hole listed counter-clockwise.
    using sim::LineSide;
    UseModel(R"({"current": "P", "models": [{"name": "P", "type": "part", "surfaces": [
        {"id": 1, "patch": )" + sim::FlatPatch(0) + R"(, "contours": [
          {"traversal": 1, "edges": [1, 2, 3, 4]}, {"traversal": -1, "edges": [5, 6, 7]}]}],
      "edges": [{"id": 1, "sides": [)" + LineSide(1, 0, 0, 0, 4) + R"(]},
                {"id": 2, "sides": [)" + LineSide(1, 0, 4, 4, 4) + R"(]},
                {"id": 3, "sides": [)" + LineSide(1, 4, 4, 4, 0) + R"(]},
                {"id": 4, "sides": [)" + LineSide(1, 4, 0, 0, 0) + R"(]},
                {"id": 5, "sides": [)" + LineSide(1, 1, 1, 3, 1) + R"(]},
                {"id": 6, "sides": [)" + LineSide(1, 3, 1, 2, 3) + R"(]},
                {"id": 7, "sides": [)" + LineSide(1, 2, 3, 1, 1) + R"(]}]}]})");
    EXPECT_EQ(ExpectEveryLoopClosesAndWinds(Export()), 1u);
}

}  // namespace
