// The three export roads against the simulated host, in this process: the scene file of an
// Export, and what each road leaves behind when it ends early or fails on the way; and a
// start-up that fails on the way.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "plugin/host_commands.h"
#include "plugin/plugin_entry.h"
#include "plugin/settings_file.h"
#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_session.h"
#include "simhost/model_functions.h"
#include "tests/allocation_failure.h"
#include "tests/expected_scene_heads.h"
#include "tests/file_text.h"
#include "tests/renderer_install.h"
#include "tests/scoped_registry.h"
#include "tests/scoped_temp_folder.h"
#include "tests/sim_export_fixture.h"
#include "tests/simhost_binding.h"
#include "tests/test_paths.h"
#include "ui/settings_dialog.h"

namespace {

namespace fs = std::filesystem;

const char* kPart = R"({"current": "BRACKET", "mode": 1, "models": [{"name": "BRACKET",
    "type": "part", "units": "in", "shapes": [{"box": {"min": [0, 0, 0], "max": [4, 1, 6]}}]}]})";

// An assembly in millimetres with two representations, so that a road asks which one.
const char* kAssembly = R"({"current": "CELL", "models": [
    {"name": "CELL", "type": "assembly", "units": "mm",
     "features": [{"id": 1, "model": "BOLT"}, {"id": 2, "model": "BOLT"}],
     "simpreps": [{"id": 7, "name": "LIGHT", "default_action": 3,
                   "items": [{"path": [2], "action": 2}]},
                  {"id": 8, "name": "FULL"}]},
    {"name": "BOLT", "type": "part", "shapes": [{"cylinder": {"radius": 5, "height": 40}}]}]})";

class ExportRoads : public SimExportTest {
protected:
    // Starts the session and puts a stamp and a metre scale there that a road may replace.
    bool StartRoad(const std::string& world, const std::string& script = "") {
        if (!Start(world, script)) return false;
        App().sceneBuilder.api = nullptr;
        App().metreScale = 7.0f;
        ProAsmcomppath path = {};
        path.table_num = 1;
        path.comp_id_table[0] = 99;
        App().componentVersionStamps[path] = ProWVerstamp{{1, 2, 3, 4}};
        return true;
    }

    void SetExportPath(const fs::path& path) {
        App().settings.exportPath = path.u16string();
    }

    size_t SimprepChoices() const {
        return sim::Session().record.Document()["simprep_choices"].size();
    }

    ScopedTempFolder folder;
};

TEST_F(ExportRoads, ExportWritesTheHeadAndTheModelGroupAroundTheModel) {
    ASSERT_TRUE(StartRoad(kPart));
    SetExportPath(folder.Path() / "bracket.vsb");
    EXPECT_EQ(App().ExportToSceneFile(), ExportOutcome::Written);

    const std::string scene = ReadFile(folder.Path() / "bracket.vsb");
    const std::string head = ExpectedExportHead("7", "1", "39.3701") + "\ngroup \"BRACKET\" {\n";
    EXPECT_EQ(scene.substr(0, head.size()), head);
    // The model group holds the cameras and the part's group, and is the last thing closed.
    EXPECT_NE(scene.find("camera \"Current Creo camera\" {\n", head.size()), std::string::npos);
    EXPECT_NE(scene.find("\n  group \"BRACKET\" {\n", head.size()), std::string::npos);
    EXPECT_EQ(scene.substr(scene.size() - 6), "  }\n}\n");
    // An Export of a model group carries no flags.
    EXPECT_EQ(scene.find("\n  flags "), std::string::npos);

    EXPECT_EQ(App().metreScale, 39.370079f);
    EXPECT_EQ(App().componentVersionStamps.size(), 0u);  // emptied; a part has no components
    EXPECT_EQ(App().sceneBuilder.api, nullptr);
    EXPECT_EQ(App().sceneBuilder.file, nullptr);
    EXPECT_EQ(SimprepChoices(), 0u);
}

TEST_F(ExportRoads, ExportOfAnAssemblyAsksForARepresentationAndRecordsTheStamps) {
    ASSERT_TRUE(StartRoad(kAssembly, R"({"steps": [{"simprep": "LIGHT"}]})"));
    SetExportPath(folder.Path() / "cell.vsb");
    EXPECT_EQ(App().ExportToSceneFile(), ExportOutcome::Written);

    EXPECT_EQ(SimprepChoices(), 1u);
    const std::string scene = ReadFile(folder.Path() / "cell.vsb");
    EXPECT_NE(scene.find("\"meter_scale\" 1000,\n"), std::string::npos);
    // Both bolts have their groups; only the second is in the representation.
    const std::string bolt = "\n  group \"BOLT\" {\n";
    const size_t first = scene.find(bolt);
    ASSERT_NE(first, std::string::npos);
    const size_t second = scene.find(bolt, first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_NE(scene.compare(first, bolt.size() + 15, bolt + "    flags 1024\n"), 0);
    EXPECT_EQ(scene.compare(second, bolt.size() + 15, bolt + "    flags 1024\n"), 0);
    // The old stamp is gone, the two bolts' are there.
    EXPECT_EQ(App().componentVersionStamps.size(), 2u);
    EXPECT_TRUE(App().partInstanceRegistry.empty());
}

// The early ends: no current model, no export path, the representation or the animation
// dialog cancelled. No file; the stamps stay; the metre scale is set once a model is current.
TEST_F(ExportRoads, ExportThatEndsEarlyWritesNothingAndKeepsTheStamps) {
    const struct {
        const char* world;
        const char* script;
        bool path;
        float metreScale;
    } cases[] = {
        {R"({"models": [{"name": "P", "type": "part"}]})", "", true, 7.0f},
        {kPart, "", false, 7.0f},
        {kAssembly, R"({"steps": [{"cancel": "simprep"}]})", true, 1000.0f},
        {kPart, R"({"steps": [{"dialog": "Vistrel_Animation",
                               "press": "Vistrel_Animation_Cancel"}]})", true, 7.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        ASSERT_TRUE(StartRoad(c.world, c.script));
        App().settings.promptForMechanism = std::strstr(c.script, "dialog") != nullptr;
        if (c.path) SetExportPath(folder.Path() / "none.vsb");
        EXPECT_EQ(App().ExportToSceneFile(), ExportOutcome::EndedEarly);
        EXPECT_TRUE(fs::is_empty(folder.Path()));
        EXPECT_EQ(App().metreScale, c.metreScale);
        EXPECT_EQ(App().componentVersionStamps.size(), 1u);
    }
}

TEST_F(ExportRoads, ExportToAFolderThatDoesNotExistWritesNothingAndEmptiesTheStamps) {
    ASSERT_TRUE(StartRoad(kPart));
    SetExportPath(folder.Path() / "missing" / "bracket.vsb");
    EXPECT_EQ(App().ExportToSceneFile(), ExportOutcome::FileNotWritten);
    EXPECT_FALSE(fs::exists(folder.Path() / "missing"));
    EXPECT_EQ(App().metreScale, 39.370079f);
    EXPECT_TRUE(App().componentVersionStamps.empty());
    EXPECT_EQ(App().sceneBuilder.api, nullptr);
}

// ---- Roads that fail on the way ----------------------------------------------------------------

// The simulated host's HostFunction, after which the plug-in's next allocation fails.
template <auto HostFunction>
void* ThenFail() {
    return reinterpret_cast<void*>(&ThenFailAllocation<HostFunction>::Call);
}

// The user's answer to the save dialog: path.
std::string SaveStep(const fs::path& path) {
    return R"({"save": )" + nlohmann::json(path.u8string()).dump() + "}";
}

// The text that the last dialog of the session showed on its label.
std::string LastDialogText() {
    const auto& dialog = sim::Session().record.Document()["dialogs"].back();
    return dialog["controls"][0]["properties"]["text"];
}

// An allocation fails inside a function the host called: in the surface visit of a part and of
// a part inside the assembly's component visit, in the representation's item visit, in the
// animation dialog's Export button and its panel text; and in the NURBS and mesh output while
// host records are held: in the edge index map, an edge's curve, a loop's chaining, a curve's
// reversal and a tessellation. Nothing reaches the host and the host gets all its memory back:
// the Export command tells that its file could not be written (a plain failure when it failed
// before it set out to write it, in the animation dialog), and the next Export works.
TEST_F(ExportRoads, ExportThatFailsOnTheWayLeavesNoFileAndWorksAgain) {
    const std::string simprep = R"(, {"simprep": "LIGHT"})";
    const std::string dialog = R"(, {"dialog": "Vistrel_Animation",
        "set": {"Vistrel_Animation_Inputpanel": "no/such/file.fra"},
        "press": "Vistrel_Animation_Export"})";
    const struct {
        const char* world;
        std::string step;  // the user's answer after the save dialog's, asked by both runs
        const char* hostFunction;
        void* replacement;
        bool beforeFile;  // fails before the road sets out to write the file
    } cases[] = {
        {kPart, "", "ProSurfaceIdGet", ThenFail<&sim::ProSurfaceIdGet>(), false},
        {kAssembly, simprep, "ProSurfaceIdGet", ThenFail<&sim::ProSurfaceIdGet>(), false},
        {kAssembly, simprep, "ProAsmcomppathInit", ThenFail<&sim::ProAsmcomppathInit>(), true},
        {kPart, dialog, "ProWstringFree", ThenFail<&sim::ProWstringFree>(), true},
        {kPart, dialog, "ProUIInputpanelWidestringGet",
         ThenFail<&sim::ProUIInputpanelWidestringGet>(), true},
        {kPart, "", "ProIntfDataEdgeGet", ThenFail<&sim::ProIntfDataEdgeGet>(), false},
        {kPart, "", "ProBsplinedataGet", ThenFail<&sim::ProBsplinedataGet>(), false},
        {kPart, "", "ProContourEdgeVisit", ThenFail<&sim::ProContourEdgeVisit>(), false},
        {kPart, "", "ProArrayAlloc", ThenFail<&sim::ProArrayAlloc>(), false},
        {kPart, "", "ProTessellationFacetsGet", ThenFail<&sim::ProTessellationFacetsGet>(),
         false},
    };
    const fs::path file = folder.Path() / "out.vsb";
    const std::string run = SaveStep(file);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.hostFunction) + c.step);
        const std::string steps = run + c.step + ", " + run + c.step;  // two Exports
        ASSERT_TRUE(StartRoad(c.world, R"({"steps": [)" + steps + "]}"));
        sim::Session().textFolder = HostPath(VISTREL_SOURCE_DIR "/text");
        App().settings.promptForMechanism = c.step == dialog;
        const int failed = FailedAllocations();
        BindSimulatedHost(c.hostFunction, c.replacement);
        EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
        EXPECT_EQ(FailedAllocations(), failed + 1);
        EXPECT_EQ(LastDialogText(),
                  c.beforeFile ? "The Vistrel export failed; no scene file was written."
                                   : "The Vistrel scene file could not be written: " +
                                         file.u8string());
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(App().sceneBuilder.api, nullptr);
        EXPECT_TRUE(App().componentVersionStamps.empty());
        EXPECT_TRUE(App().partInstanceRegistry.empty());
        EXPECT_EQ(sim::LiveModelRecords() + sim::LiveHostBlocks(), 0u);

        BindSimulatedHost();
        EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
        EXPECT_EQ(LastDialogText(), "The Vistrel export has finished.");
        EXPECT_EQ(HostProblems(), "[]");
        fs::remove(file);
    }
}

// The same frame file chosen for two Exports in one session: the second scene is the first
// again, each animation block holding one placement per frame, not the frames of both reads.
TEST_F(ExportRoads, SecondExportWithTheSameFrameFileWritesTheSameAnimation) {
    const fs::path file = folder.Path() / "cell.vsb";
    const std::string fra = VISTREL_SOURCE_DIR "/examples/sample_assembly.fra";
    const std::string run = SaveStep(file) + R"(, {"dialog": "Vistrel_Animation", "set": {
        "Vistrel_Animation_Inputpanel": )" + nlohmann::json(fra).dump() +
                            R"(}, "press": "Vistrel_Animation_Export"})";
    ASSERT_TRUE(StartRoad(ReadFile(VISTREL_SOURCE_DIR "/examples/sample_assembly.json"),
                          R"({"steps": [)" + run + ", " + run + "]}"));
    App().settings.promptForMechanism = true;
    EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
    const std::string first = ReadFile(file);
    EXPECT_NE(first.find("fbx_animation"), std::string::npos);
    EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
    EXPECT_EQ(ReadFile(file), first);
}

// An allocation fails right after each of the three dialogs was created. The dialog is
// destroyed all the same, so the same command opens it again; the Export command still saves
// the path that was chosen.
TEST_F(ExportRoads, DialogThatFailsWhileBuiltOpensAgainTheNextTime) {
    const fs::path file = folder.Path() / "out.vsb";
    const std::string save = SaveStep(file);
    const struct {
        std::string steps;  // of the second run; the first fails before it asks anything more
        bool prompt;
        uiCmdCmdActFn command;
    } cases[] = {
        {save + ", " + save, false, OnExport},  // "ExportFinished"
        {save + ", " + save + R"(, {"dialog": "Vistrel_Animation",
            "press": "Vistrel_Animation_Cancel"})", true, OnExport},
        {R"({"dialog": "Vistrel_Settings", "press": "Vistrel_Cancel"})", false,
         OnSettings},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        ASSERT_TRUE(StartRoad(kPart, R"({"steps": [)" + c.steps + "]}"));
        sim::Session().textFolder = HostPath(VISTREL_SOURCE_DIR "/text");
        App().settings.promptForMechanism = c.prompt;
        fs::remove(kSettingsFileName);
        const int failed = FailedAllocations();
        BindSimulatedHost("ProUIDialogCreate", ThenFail<&sim::ProUIDialogCreate>());
        EXPECT_EQ(c.command(0, nullptr, nullptr), 0);
        EXPECT_GT(FailedAllocations(), failed);
        EXPECT_EQ(fs::exists(kSettingsFileName), c.command == OnExport);

        BindSimulatedHost();
        EXPECT_EQ(c.command(0, nullptr, nullptr), 0);
        EXPECT_EQ(HostProblems(), "[]");
        EXPECT_EQ(sim::Session().record.Document()["dialogs"].back()["exit_status"],
                  c.command == OnExport ? 0 : PRO_TK_USER_ABORT);
        fs::remove(file);
    }
}

// The start-up called as the host's link library calls it, with an allocation failing while
// the commands are registered: nothing reaches the host, the start-up answers a failure and
// leaves no plug-in object, and a later start-up works.
TEST_F(ExportRoads, StartUpThatFailsOnTheWayLeavesNoObjectAndStartsAgain) {
    ASSERT_TRUE(StartRoad(kPart));
    PluginTerminate();
    ProWchar errors[80] = {};
    const int failed = FailedAllocations();
    BindSimulatedHost("ProCmdActionAdd", ThenFail<&sim::ProCmdActionAdd>());
    EXPECT_EQ(PluginInitialize(0, nullptr, nullptr, nullptr, errors), PRO_TK_GENERAL_ERROR);
    EXPECT_EQ(FailedAllocations(), failed + 1);
    EXPECT_EQ(FindPluginApplication(), nullptr);

    // The host drops the commands of a plug-in that did not start.
    sim::Session().commands.Clear();
    BindSimulatedHost();
    EXPECT_EQ(PluginInitialize(0, nullptr, nullptr, nullptr, errors), 0);
    EXPECT_NE(FindPluginApplication(), nullptr);
    EXPECT_EQ(sim::Session().commands.All().size(), 6u);
    EXPECT_EQ(HostProblems(), "[]");
}

// ---- Live roads that end before they stream ------------------------------------------------

class LiveRoads : public ExportRoads {
protected:
    // No renderer installed: the live-link library cannot be found, so no link is made.
    ScopedRegistry registry{""};
};

// Render empties the animation frames first. On a model it then sets the metre scale, forgets
// the stamps and says that it made no link; without a current model it does nothing more.
TEST_F(LiveRoads, RenderEmptiesTheAnimationFramesFirstAndSaysWhenItMakesNoLink) {
    const struct {
        const char* world;
        const char* said;
        float metreScale;
        size_t stamps;
    } cases[] = {{kPart, "Failed", 39.370079f, 0},
                 {R"({"models": [{"name": "P", "type": "part"}]})", "", 7.0f, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.world);
        ASSERT_TRUE(StartRoad(c.world));
        App().animationFrames[ProAsmcomppath{}].push_back(FramePlacement{});
        testing::internal::CaptureStdout();
        App().RenderOverLiveLink();
        std::fflush(stdout);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said);
        EXPECT_TRUE(App().animationFrames.empty());
        EXPECT_EQ(App().metreScale, c.metreScale);
        EXPECT_EQ(App().componentVersionStamps.size(), c.stamps);
    }
}

TEST_F(LiveRoads, UpdateKeepsTheStampsAndReplacesThePickWhenItMakesNoLink) {
    ASSERT_TRUE(StartRoad(kAssembly, R"({"steps": [{"select": [[2], []]}, {"simprep": "FULL"}]})"));
    App().settings.selectionMode = 1;
    App().UpdateOverLiveLink();
    EXPECT_EQ(App().GetSelectedComponentCount(), 2);
    EXPECT_NE(App().GetSelectedComponents(), nullptr);
    EXPECT_EQ(App().componentVersionStamps.size(), 1u);
    EXPECT_EQ(App().metreScale, 1000.0f);
    EXPECT_FALSE(App().IsUpdateInProgress());
}

TEST_F(LiveRoads, UpdateCancelledAtTheRepresentationIsNoLongerInProgress) {
    ASSERT_TRUE(StartRoad(kAssembly, R"({"steps": [{"cancel": "simprep"}]})"));
    App().UpdateOverLiveLink();  // automatic mode: no pick asked
    EXPECT_FALSE(App().IsUpdateInProgress());
    EXPECT_EQ(App().GetSelectedComponentCount(), 0);
    EXPECT_EQ(sim::Session().record.Document()["selections"].size(), 0u);
    EXPECT_EQ(App().metreScale, 1000.0f);
}

TEST_F(LiveRoads, UpdateThatFailsOnTheWaySaysSoAndForgetsTheStamps) {
    ASSERT_TRUE(StartRoad(kAssembly, R"({"steps": [{"simprep": "LIGHT"}]})"));
    BindSimulatedHost("ProAsmcomppathInit", ThenFail<&sim::ProAsmcomppathInit>());
    testing::internal::CaptureStdout();
    App().UpdateOverLiveLink();
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed");
    EXPECT_FALSE(App().IsUpdateInProgress());
    EXPECT_TRUE(App().componentVersionStamps.empty());
}

TEST_F(LiveRoads, UpdateOnAPartAsksNoPickAndDropsThePreviousOne) {
    ASSERT_TRUE(StartRoad(kPart));
    App().settings.selectionMode = 1;
    ProSelection stale = nullptr;
    App().selectedComponents = &stale;
    App().selectedComponentCount = 1;
    App().UpdateOverLiveLink();
    EXPECT_EQ(App().GetSelectedComponents(), nullptr);
    EXPECT_EQ(App().GetSelectedComponentCount(), 0);
    EXPECT_EQ(sim::Session().record.Document()["selections"].size(), 0u);
    EXPECT_FALSE(App().IsUpdateInProgress());
}

TEST_F(LiveRoads, UpdateWithoutAModelChangesNothing) {
    ASSERT_TRUE(StartRoad(R"({"models": [{"name": "P", "type": "part"}]})"));
    App().UpdateOverLiveLink();
    EXPECT_FALSE(App().IsUpdateInProgress());
    EXPECT_EQ(App().metreScale, 7.0f);
}


// An allocation fails at each step of a start-up while the user's settings file is there. The
// start-up fails, or goes on without the file's values; either way nothing writes the defaults
// over the file: a selection command that saves what was read (the file's own mode) leaves it as
// it was.
TEST_F(ExportRoads, StartUpThatRunsOutOfMemoryNeverWritesOverTheSettingsFile) {
    ASSERT_TRUE(StartRoad(kPart));
    PluginSettings user;
    user.tessellationQuality = 0.5;
    WriteSettingsFile(user, kSettingsFileName);
    const std::string original = ReadFile(kSettingsFileName);
    ProWchar errors[80] = {};
    for (int step = 0;; ++step) {
        SCOPED_TRACE(step);
        PluginTerminate();
        sim::Session().commands.Clear();
        const int failed = FailedAllocations();
        FailAllocationAfter(step);
        const int answer = PluginInitialize(0, nullptr, nullptr, nullptr, errors);
        FailAllocationAfter(-1);
        EXPECT_EQ(answer == 0, FindPluginApplication() != nullptr);
        EXPECT_EQ(OnAutomaticSelection(0, nullptr, nullptr), 0);
        EXPECT_EQ(ReadFile(kSettingsFileName), original);
        if (FailedAllocations() == failed) break;  // the start-up ran through
    }
}

// A Render whose walk fails on the way still ends its session: its library does not stay loaded.
TEST_F(ExportRoads, RenderThatFailsInTheWalkEndsItsSession) {
    RendererInstall renderer("5000");
    renderer.Register();
    ASSERT_TRUE(StartRoad(kPart));
    BindSimulatedHost("ProSurfaceIdGet", ThenFail<&sim::ProSurfaceIdGet>());
    testing::internal::CaptureStdout();
    App().RenderOverLiveLink();
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed");
    EXPECT_FALSE(renderer.LibraryIsLoaded());
}

}  // namespace
