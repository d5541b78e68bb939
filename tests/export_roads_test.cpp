// The three export roads against the simulated host, in this process: the scene file of an
// Export, and what each road leaves behind when it ends early or fails on the way; and a
// start-up that fails on the way.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
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
        App().componentVersionStamps[OldStampPath()] = ProWVerstamp{{1, 2, 3, 4}};
        return true;
    }

    static ProAsmcomppath OldStampPath() {
        ProAsmcomppath path = {};
        path.table_num = 1;
        path.comp_id_table[0] = 99;
        return path;
    }

    void SetExportPath(const fs::path& path) {
        App().settings.exportPath = path.u16string();
    }

    ScopedTempFolder folder;
};

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

const char kFinished[] = "The Vistrel export has finished.";

// Exports of an assembly of two boxes in millimetres with NURBS output on, the user picking a
// frame file in the animation dialog and a representation that leaves out the first box's
// geometry. Each Export goes to file, where a previous scene lies.
class CellExport : public ExportRoads {
protected:
    void SetUp() override {
        std::ofstream(fra) << "Model: CELL\nNumber of parts: 1\nNumber of frames: 2\n"
                              "MaFrame 1\nPart: 1 (1)\n1 0 0\n0 1 0\n0 0 1\n0 0 0\n"
                              "MaFrame 2\nPart: 1 (1)\n1 0 0\n0 1 0\n0 0 1\n5 0 0\n";
        StartExport();
        ASSERT_EQ(Export(), kFinished);
        scene = ReadFile(file);
    }

    void StartExport() {
        ASSERT_TRUE(StartRoad(R"({"current": "CELL", "models": [
            {"name": "CELL", "type": "assembly", "units": "mm",
             "features": [{"id": 1, "model": "BOLT"}, {"id": 2, "model": "PLATE"}],
             "simpreps": [{"id": 7, "name": "LIGHT", "default_action": 2, "items": [
                 {"path": [1], "action": 3}, {"path": [2], "action": 2}, {"path": [3], "action": 3}]},
                 {"id": 8, "name": "FULL"}]},
            {"name": "BOLT", "type": "part",
             "shapes": [{"box": {"min": [0, 0, 0], "max": [1, 1, 4]}}]},
            {"name": "PLATE", "type": "part",
             "shapes": [{"box": {"min": [0, 0, 0], "max": [4, 1, 6]}}]}]})"));
        sim::Session().saveAs = file.u8string();
        sim::Session().textFolder = HostPath(VISTREL_SOURCE_DIR "/text");
        App().settings.promptForMechanism = true;
    }

    // Runs the Export command as the user who picks the frame file, with the plug-in's
    // allocation after failAfter others failing (-1: none); answers the text of the dialog that
    // tells how it ended, "" when it showed none.
    std::string Export(int failAfter = -1) {
        std::string error;
        EXPECT_TRUE(sim::Session().script.Parse(R"({"steps": [{"dialog": "Vistrel_Animation",
            "set": {"Vistrel_Animation_Inputpanel": )" + nlohmann::json(fra.u8string()).dump() +
            R"(}, "press": "Vistrel_Animation_Export"}, {"simprep": "LIGHT"}]})", error))
            << error;
        std::ofstream(file, std::ios::binary) << kPrevious;
        const size_t shown = Dialogs().size();
        FailAllocationAfter(failAfter);
        EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
        FailAllocationAfter(-1);
        std::string told;
        const nlohmann::ordered_json dialogs = Dialogs();
        for (size_t i = shown; i < dialogs.size(); ++i)
            for (const auto& control : dialogs[i]["controls"])
                if (dialogs[i]["name"] == "ExportFinished" && control["kind"] == "label")
                    told = control["properties"].value("text", "");
        return told;
    }

    static nlohmann::ordered_json Dialogs() {
        return sim::Session().record.Document().value("dialogs", nlohmann::ordered_json::array());
    }

    // After an Export that failed on the way: the path holds the previous scene or a whole
    // scene, told as finished (an error code that the Windows layer answered in place of an
    // allocation can leave out a part, such as a frame file that did not open). The host has all
    // its memory back, the run's state is given back, and the next Export writes the scene.
    void ExpectNothingLeftBehind(const std::string& told) {
        const std::string left = ReadFile(file);
        if (left != kPrevious) {
            EXPECT_TRUE(told == kFinished || told.empty()) << told;  // empty: the host gave no text
            EXPECT_EQ(left.substr(0, 30), scene.substr(0, 30));
            EXPECT_EQ(left.substr(left.size() - 2), "}\n");
        }
        EXPECT_EQ(App().sceneBuilder.api, nullptr);
        EXPECT_EQ(App().sceneBuilder.file, nullptr);
        EXPECT_TRUE(App().partInstanceRegistry.empty());
        EXPECT_EQ(sim::LiveModelRecords() + sim::LiveHostBlocks(), 0u);
        // The scripted user cannot go on past a dialog that lacks a control the host refused.
        if (sim::Session().Stopped()) return;
        const std::string problems = HostProblems();
        EXPECT_EQ(Export(), kFinished);
        EXPECT_TRUE(ReadFile(file) == scene);
        EXPECT_EQ(HostProblems(), problems);
    }

    static constexpr const char* kPrevious = "the previous scene";
    const fs::path file = folder.Path() / "cell.vsb";
    const fs::path fra = folder.Path() / "cell.fra";
    std::string scene;  // what an Export writes
};

TEST_F(CellExport, WritesTheModelGroupAfterTheHeadAndRecordsTheStamps) {
    const std::string head = ExpectedExportHead("7", "1", "1000") + "\ngroup \"CELL\" {\n";
    EXPECT_EQ(scene.substr(0, head.size()), head);
    // The model group, closed last, carries no flags; it holds the cameras, then both boxes'
    // groups, the first without its geometry, with its animation.
    EXPECT_EQ(scene.substr(scene.size() - 6), "  }\n}\n");
    EXPECT_EQ(scene.find("\n  flags "), std::string::npos);
    EXPECT_LT(scene.find("camera \"Current Creo camera\""), scene.find("group \"BOLT\""));
    EXPECT_NE(scene.find("group \"BOLT\" {\n    animation \"fbx_animation\""), std::string::npos);
    EXPECT_NE(scene.find("group \"PLATE\" {\n    flags 1024\n"), std::string::npos);
    EXPECT_EQ(sim::Session().record.Document()["simprep_choices"].size(), 1u);
    EXPECT_EQ(App().metreScale, 1000.0f);
    EXPECT_EQ(App().componentVersionStamps.size(), 2u);  // the old one is gone
    EXPECT_EQ(App().sceneBuilder.api, nullptr);
    EXPECT_EQ(App().sceneBuilder.file, nullptr);
    EXPECT_TRUE(App().partInstanceRegistry.empty());
}

// Each allocation of the plug-in's own fails in turn, from the first until the Export runs to
// its end: in the file dialog's defaults, the animation dialog and its frame file, the
// representation's items, the component walk, the surface visits, the NURBS output with the
// chaining and the reversal of its trim curves, the mesh merge, the scene file, the dialog that
// tells the end and the settings file. Every allocation is a few milliseconds of Export, so
// every kStride-th is failed.
TEST_F(CellExport, ExportThatFailsAtAnyAllocationLeavesNothingBehindAndWorksAgain) {
    constexpr int kStride = 3;
    for (int allocation = 0;; allocation += kStride) {
        SCOPED_TRACE(allocation);
        StartExport();
        const int failed = FailedAllocations();
        const std::string told = Export(allocation);
        if (FailedAllocations() == failed) {
            EXPECT_EQ(told, kFinished);
            EXPECT_TRUE(ReadFile(file) == scene);
            break;
        }
        // A failure is told as one when the command gets as far as telling anything, and a
        // road that failed in its walk forgets the stamps it recorded.
        if (ReadFile(file) == kPrevious) {
            EXPECT_NE(told, kFinished);
            const ComponentVersionStamps& stamps = App().componentVersionStamps;
            EXPECT_TRUE(stamps.size() == 2 || stamps.count(OldStampPath()) == stamps.size());
        }
        ExpectNothingLeftBehind(told);
        if (HasFailure()) break;
    }
}

// Each host function that an Export calls answers an error in turn, but those that end or
// take back something: what they keep is the host's own doing.
TEST_F(CellExport, ExportWhoseHostFunctionFailsLeavesNothingBehindAndWorksAgain) {
    for (const std::string& function : StatusFunctionsCalled()) {
        if (function.find("Free") != std::string::npos ||
            function.find("Destroy") != std::string::npos || function == "ProUIDialogExit") {
            continue;
        }
        SCOPED_TRACE(function);
        StartExport();
        BindSimulatedHost(function.c_str(), HostFailure::Refuses);
        const std::string told = Export();
        BindSimulatedHost();
        ExpectNothingLeftBehind(told);
        if (HasFailure()) break;
    }
}

// An allocation fails right after the settings dialog was created. The dialog is destroyed all
// the same, so the command opens it again. (The Export's dialogs are among the allocations of
// CellExport.)
TEST_F(ExportRoads, DialogThatFailsWhileBuiltOpensAgainTheNextTime) {
    ASSERT_TRUE(StartRoad(kPart, R"({"steps": [{"dialog": "Vistrel_Settings",
                                                "press": "Vistrel_Cancel"}]})"));
    sim::Session().textFolder = HostPath(VISTREL_SOURCE_DIR "/text");
    const int failed = FailedAllocations();
    BindSimulatedHost("ProUIDialogCreate", ThenFail<&sim::ProUIDialogCreate>());
    EXPECT_EQ(OnSettings(0, nullptr, nullptr), 0);
    EXPECT_EQ(FailedAllocations(), failed + 1);

    BindSimulatedHost();
    EXPECT_EQ(OnSettings(0, nullptr, nullptr), 0);
    EXPECT_EQ(HostProblems(), "[]");
    EXPECT_EQ(sim::Session().record.Document()["dialogs"].back()["exit_status"],
              PRO_TK_USER_ABORT);
}

// The start-up called as the host's link library calls it, each of its allocations failing in
// turn: nothing reaches the host, the start-up answers a failure and leaves no plug-in object,
// and the next start-up works.
TEST_F(ExportRoads, StartUpThatFailsOnTheWayLeavesNoObjectAndStartsAgain) {
    ASSERT_TRUE(StartRoad(kPart));
    PluginTerminate();
    ProWchar errors[80] = {};
    for (int allocation = 0;; ++allocation) {
        // The host drops the commands of a plug-in that did not start.
        sim::Session().commands.Clear();
        const int failed = FailedAllocations();
        FailAllocationAfter(allocation);
        const int answer = PluginInitialize(0, nullptr, nullptr, nullptr, errors);
        FailAllocationAfter(-1);
        if (FailedAllocations() == failed) {
            EXPECT_EQ(answer, 0);
            break;
        }
        // Or the file layer answered the failure with an error code, and the settings file was
        // taken as missing.
        EXPECT_EQ(FindPluginApplication() != nullptr, answer == 0) << allocation;
        if (answer == 0) PluginTerminate();
    }
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
