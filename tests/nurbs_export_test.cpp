// Whole Export sessions of the simulated host with the real plug-in library, seen from the NURBS
// output: what a box part gives with NURBS output on and off. Each test runs in a fresh folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "simhost/simulated_host.h"
#include "tests/file_text.h"
#include "tests/plugin_command_line.h"
#include "tests/scoped_temp_folder.h"

namespace {

namespace fs = std::filesystem;

size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

const char* kBoxModel = R"({"current": "BOX", "models": [{"name": "BOX", "type": "part",
    "shapes": [{"box": {"min": [0, 0, 0], "max": [3, 2, 1]}}]}]})";

class NurbsExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream("model.json", std::ios::binary) << kBoxModel;
    }

    // Exports the box to out.vsb; answers the scene file's bytes.
    std::string Export()
    {
        sim::CommandLine options = PluginCommandLine();
        options.model = "model.json";
        options.saveAs = "out.vsb";
        options.commands = {"Vistrel Export"};
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(sim::RunSimulatedHost(options, out, err), 0) << err.str();
        summary_ = out.str();
        return ReadFile(folder_.Path() / "out.vsb");
    }

    ScopedTempFolder folder_;
    std::string summary_;
};

TEST_F(NurbsExport, BoxGivesSixTrimmedSurfacesBesideItsMesh)
{
    const std::string scene = Export();
    EXPECT_EQ(Count(scene, "geometry \"nurbs\""), 6u);
    EXPECT_EQ(Count(scene, "geometry \"triangles\""), 1u);
    // Binary arrays: one loop of four curves, written as the block 01 02 03 'i', one int32
    // element, the value 4.
    static const char oneLoopOfFour[] = "\"trim_nedges\" [ \x01\x02\x03i\x01\0\0\0\x04\0\0\0] ";
    static const char outer[] = "\"trim_inside\" [ \x01\x02\x03i\x01\0\0\0\x01\0\0\0] ";
    EXPECT_EQ(Count(scene, std::string(oneLoopOfFour, sizeof oneLoopOfFour - 1)), 6u);
    EXPECT_EQ(Count(scene, std::string(outer, sizeof outer - 1)), 6u);
    // Every interface record and curve record was given back to the host.
    EXPECT_NE(summary_.find("host memory not freed: 0 block(s)"), std::string::npos) << summary_;
}

TEST_F(NurbsExport, SurfacesWhoseIdTheHostCannotGiveGetNoNurbsObjects)
{
    // Beside a rectangle, a box whose six surface ids the host cannot give: taken as 0, each of
    // them would be paired with all six of the box's interface surfaces.
    std::ofstream("model.json", std::ios::binary) << R"({"current": "BOX", "models": [{
        "name": "BOX", "type": "part",
        "shapes": [{"box": {"min": [0, 0, 0], "max": [3, 2, 1]}, "surface_faults": ["no_id"]},
                   {"rectangle": {"size": [1, 1]}}]}]})";
    const std::string scene = Export();
    EXPECT_EQ(Count(scene, "geometry \"nurbs\""), 1u);
    EXPECT_EQ(Count(scene, "geometry \"triangles\""), 1u);  // the box's mesh is still there
    EXPECT_NE(summary_.find("host memory not freed: 0 block(s)"), std::string::npos) << summary_;
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

}  // namespace
