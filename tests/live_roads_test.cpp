// The live roads end to end: the simulated host runs the real plug-in library, which finds the
// stand-in renderer and its live-link library through a registry file, starts the renderer and
// streams the model to it on loopback; the renderer stores each session as a file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "simhost/simulated_host.h"
#include "tests/expected_scene_heads.h"
#include "tests/file_text.h"
#include "tests/plugin_command_line.h"
#include "tests/renderer_install.h"
#include "tests/test_paths.h"

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

// The scene heads of the sample assembly (millimetres, so 1000 units a metre) with the settings'
// defaults (NURBS on, up axis 1), up to the model group's line. A live run's model group carries
// the flags 0x8000.
const std::string kModelGroup = "\ngroup \"ROBOT_CELL\" {\n";
const std::string kLiveModelGroup = kModelGroup + "  flags 32768\n";
const std::string kExportHead = ExpectedExportHead("7", "1", "1000") + kModelGroup;
const std::string kRenderHead = ExpectedRenderHead("7", "1", "1000") + kLiveModelGroup;
const std::string kUpdateHead = ExpectedUpdateHead("1", "1000") + kLiveModelGroup;

bool BeginsWith(const std::string& text, const std::string& head)
{
    return text.compare(0, head.size(), head) == 0;
}

// The text after head, or a note that the text does not begin with it.
std::string AfterHead(const std::string& text, const std::string& head)
{
    if (!BeginsWith(text, head)) return "<head differs>\n" + text.substr(0, 2000);
    return text.substr(head.size());
}

class LiveRoads : public testing::Test {
protected:
    // idleMs: how long a started renderer waits for a session, and after one, before it ends.
    explicit LiveRoads(const char* idleMs = "5000") : renderer_{idleMs}
    {
        work_ = renderer_.Root() / "work";
        fs::create_directories(work_);
        previous_ = fs::current_path();
        fs::current_path(work_);
    }

    ~LiveRoads() override { fs::current_path(previous_); }

    // Runs the simulated host on the sample assembly with the commands given.
    int Run(const std::vector<std::string>& commands, const std::string& script = "")
    {
        sim::CommandLine options = PluginCommandLine();
        options.model = HostPath(VISTREL_SOURCE_DIR "/examples/sample_assembly.json");
        options.record = "record.json";
        options.saveAs = "export.vsb";
        if (!script.empty()) {
            std::ofstream(work_ / "script.json", std::ios::binary) << script;
            options.script = "script.json";
        }
        options.commands = commands;
        std::ostringstream out;
        std::ostringstream err;
        const int status = sim::RunSimulatedHost(options, out, err);
        errors_ = err.str();
        record_ = Json::parse(ReadFile(work_ / "record.json"), nullptr, false);
        return status;
    }

    // Waits up to ten seconds for a renderer to announce itself on port.
    bool WaitForInstance(int port) const
    {
        const fs::path file =
            renderer_.Root() / "instances" / ("renderer_" + std::to_string(port) + ".instance");
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(file)) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // By default long enough that a renderer started under load is still listed at the first
    // poll, a second after its start.
    RendererInstall renderer_;
    fs::path work_;
    fs::path previous_;
    std::string errors_;
    Json record_;
};

TEST_F(LiveRoads, RenderStreamsWhatExportWritesAndUpdateSendsNoUnchangedGeometry)
{
    renderer_.Register();
    ASSERT_EQ(Run({"Vistrel Export", "Vistrel Render", "Vistrel Update"}), 0) << errors_;
    EXPECT_EQ(record_["console"], "");

    const std::string exported = ReadFile(work_ / "export.vsb");
    const std::string rendered = ReadFile(renderer_.SessionFile(renderer_.FirstPort(), 1));
    const std::string updated = ReadFile(renderer_.SessionFile(renderer_.FirstPort(), 2));
    const std::string model = AfterHead(exported, kExportHead);
    ASSERT_GT(Count(model, "geometry \"triangles\""), 0u) << model.substr(0, 2000);
    EXPECT_TRUE(AfterHead(rendered, kRenderHead) == model) << rendered.substr(0, 2000);

    // Update reuses the renderer that Render started, with the whole structure again but no
    // geometry of the parts, none of which changed.
    const std::string structure = AfterHead(updated, kUpdateHead);
    EXPECT_EQ(Count(structure, "geometry "), 0u) << structure;
    EXPECT_EQ(Count(structure, "\ngroup "), Count(model, "\ngroup "));
    EXPECT_EQ(Count(structure, "transform "), Count(model, "transform "));
    EXPECT_FALSE(fs::exists(renderer_.SessionFile(renderer_.FirstPort() + 1, 1)));
}

struct ShortLivedRenderers : LiveRoads {
    ShortLivedRenderers() : LiveRoads("3000") {}
};

// Renderers end three seconds after their last session, long after the first poll: the one
// that Render started ends before a part changes and Update runs. Update finds none
// (nothing listens on the registry's port either) and starts one, which holds nothing of the
// model: it gets the whole model, as from a Render, not just the changed part.
TEST_F(ShortLivedRenderers, UpdateThatStartsARendererSendsItTheWholeModel)
{
    renderer_.Register();
    ASSERT_EQ(Run({"Vistrel Render", "Vistrel Export", "Vistrel Update"},
                  R"({"steps": [{"save": "export.vsb"}, {"pause": 5000},
                                {"model": {"bump": "BOLT"}}]})"),
              0)
        << errors_;
    const std::string model = AfterHead(ReadFile(work_ / "export.vsb"), kExportHead);
    // The new renderer took the port of the one that ended, and counts its sessions anew.
    const std::string updated = ReadFile(renderer_.SessionFile(renderer_.FirstPort(), 1));
    EXPECT_TRUE(AfterHead(updated, kUpdateHead) == model) << updated.substr(0, 2000);
}

TEST_F(LiveRoads, EachRenderStartsARendererOfItsOwn)
{
    renderer_.Register();
    ASSERT_EQ(Run({"Vistrel Render", "Vistrel Render"}), 0) << errors_;
    const std::string first = ReadFile(renderer_.SessionFile(renderer_.FirstPort(), 1));
    const std::string second = ReadFile(renderer_.SessionFile(renderer_.FirstPort() + 1, 1));
    EXPECT_TRUE(BeginsWith(first, kRenderHead)) << first.substr(0, 2000);
    EXPECT_TRUE(first == second);
    EXPECT_FALSE(fs::exists(renderer_.SessionFile(renderer_.FirstPort(), 2)));
}

TEST_F(LiveRoads, RendererGoingAwayMidSessionLeavesTheHostRunning)
{
    renderer_.SetVariable("VISTREL_RENDERER_MAX_SESSION_BYTES", "4096");
    renderer_.Register();
    ASSERT_EQ(Run({"Vistrel Render", "Vistrel Update", "Manual selection"}), 0) << errors_;
    ASSERT_EQ(record_["runs"].size(), 3u);
    EXPECT_EQ(record_["console"], "");
    // The renderer dropped the large Render session, stayed, and took the Update, which sent
    // no geometry and was small enough.
    EXPECT_FALSE(fs::exists(renderer_.SessionFile(renderer_.FirstPort(), 1)));
    const std::string updated = ReadFile(renderer_.SessionFile(renderer_.FirstPort(), 2));
    EXPECT_TRUE(BeginsWith(updated, kUpdateHead)) << updated.substr(0, 2000);
    EXPECT_FALSE(fs::exists(renderer_.SessionFile(renderer_.FirstPort() + 1, 1)));
}

TEST_F(LiveRoads, FailedRenderPrintsFailedAndUpdateStillReusesARunningRenderer)
{
    renderer_.Register(false);
    // A renderer the user started: Render, which always starts one of its own, finds nothing
    // to start; Update reuses this one through the library that Render left loaded.
    renderer_.StartRenderer();
    ASSERT_TRUE(WaitForInstance(renderer_.FirstPort()));
    ASSERT_EQ(Run({"Vistrel Render", "Vistrel Update"}), 0) << errors_;
    EXPECT_EQ(record_["console"], "Failed");
    const std::string updated = ReadFile(renderer_.SessionFile(renderer_.FirstPort(), 1));
    EXPECT_TRUE(BeginsWith(updated, kUpdateHead)) << updated.substr(0, 2000);
    // The session closed, the library went with it.
    EXPECT_FALSE(renderer_.LibraryIsLoaded());
}

}  // namespace
