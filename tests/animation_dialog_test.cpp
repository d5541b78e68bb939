// The animation dialog, asked for by the export roads when the prompt for a mechanism is on: as
// the simulated host sees it built, its Browse, Export and Cancel buttons, and a frame file read
// through it reaching the scene file.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <array>
#include <filesystem>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "tests/dialog_session.h"
#include "tests/file_text.h"
#ifndef _WIN32
#include "tests/socket_file.h"
#endif
#include "toolkit/pro_toolkit.h"

namespace {

using Json = nlohmann::ordered_json;

const char kAnimation[] = "Vistrel_Animation";

// Settings with the prompt on and fraPath as given; the rest the defaults.
std::string PromptingSettings(const std::string& fraPath) {
    return SettingsXml("0.200000", "1", "automatic", "true", "true", "true", "", fraPath);
}

const char kSave[] = R"({"save": "out.vsb"})";

// The user sets the panel to panel (leaves it as it is when null) and presses.
std::string AnimationStep(const std::string& presses, const char* panel = nullptr) {
    std::string step = R"({"dialog": "Vistrel_Animation", )";
    if (panel != nullptr)
        step += R"("set": {"Vistrel_Animation_Inputpanel": ")" + std::string(panel) + R"("}, )";
    return step + R"("press": )" + presses + "}";
}

class AnimationDialog : public DialogSession {};

// ---- As built -----------------------------------------------------------------------------------

TEST_F(AnimationDialog, IsBuiltWithThePathPanelAndItsButtons) {
    WriteText("vistrel_plugin_settings.xml", PromptingSettings(""));
    ASSERT_TRUE(Run({kSave, AnimationStep(R"("Vistrel_Animation_Cancel")")}, {"Vistrel Export"}));
    const Json& dialog = Dialog(kAnimation);
    ASSERT_FALSE(dialog.is_null()) << record_.dump();
    EXPECT_EQ(dialog["resizing"], false);

    // Each control in the order added, with its layout and its place on the grid.
    const std::tuple<const char*, const char*, const char*, std::string> expected[] = {
        {"Vistrel_Animation_Label", "label", "", GridPlace(0, 0, false, false)},
        {"Vistrel_Animation_Layout", "layout", "", GridPlace(1, 0)},
        {"Vistrel_Animation_Inputpanel", "inputpanel", "Vistrel_Animation_Layout", GridPlace(0, 0)},
        {"Vistrel_Animation_Browse", "pushbutton", "Vistrel_Animation_Layout", GridPlace(0, 1)},
        {"Vistrel_OK_Separator", "separator", "", GridPlace(2, 0)},
        {"Vistrel_Animation_OK_Layout", "layout", "", GridPlace(3, 0, false, false)},
        {"Vistrel_Animation_Export", "pushbutton", "Vistrel_Animation_OK_Layout", GridPlace(0, 0)},
        {"Vistrel_Animation_Cancel", "pushbutton", "Vistrel_Animation_OK_Layout", GridPlace(0, 1)},
    };
    const Json& controls = dialog["controls"];
    ASSERT_EQ(controls.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const auto& [name, kind, layout, place] = expected[i];
        EXPECT_EQ(controls[i]["name"], name) << i;
        EXPECT_EQ(controls[i]["kind"], kind) << i;
        EXPECT_EQ(controls[i].value("layout", ""), layout) << i;
        EXPECT_EQ(controls[i]["place"].dump(), place) << i;
    }

    EXPECT_EQ(controls[0]["properties"].dump(),
              R"({"text":"Frame file of the mechanism animation (*.fra):"})");
    // An empty fraPath leaves the panel empty.
    EXPECT_EQ(controls[2]["properties"].dump(), R"({"input_type":1,"max_length":260})");
    EXPECT_EQ(controls[3]["properties"].dump(), R"({"text":"Browse..."})");
    EXPECT_EQ(controls[6]["properties"].dump(),
              R"({"text":"OK","help_text":"Read the frame file and go on with the export"})");
    EXPECT_EQ(controls[7]["properties"].dump(), R"({"text":"Cancel","help_text":"Cancel"})");
    for (size_t button : {3, 6, 7})
        EXPECT_EQ(controls[button]["actions"].dump(), R"(["activate"])");

    // Cancel ends the road: no scene file; the Export command still reports its end.
    EXPECT_EQ(dialog["exit_status"], PRO_TK_USER_ABORT);
    EXPECT_EQ(ReadText("out.vsb"), "");
    EXPECT_FALSE(Dialog("ExportFinished").is_null());
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
    EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
}

// ---- Browse -------------------------------------------------------------------------------------

TEST_F(AnimationDialog, BrowseStartsAtTheStoredFileAndPutsTheChosenOneInThePanel) {
    WriteText("vistrel_plugin_settings.xml", PromptingSettings("C:\\anims\\run.fra"));
    ASSERT_TRUE(
        Run({kSave, AnimationStep(R"(["Vistrel_Animation_Browse", "Vistrel_Animation_Export"])"),
             R"({"open": "D:\\cells\\walk.fra"})"},
            {"Vistrel Export"}));
    EXPECT_EQ(Control(Dialog(kAnimation), "Vistrel_Animation_Inputpanel")["properties"]["value"],
              "C:\\anims\\run.fra");
    const Json& open = record_["file_dialogs"][1];
    EXPECT_EQ(open["dialog"], "open");
    EXPECT_EQ(open["title"], "Locate .fra animation");
    EXPECT_EQ(open["filter"], "*.fra");
    EXPECT_EQ(open["default_folder"], "C:\\anims");
    EXPECT_EQ(open["default_name"], "run.fra");
    // Export took the chosen path from the panel; the file is not there, and the road goes on.
    EXPECT_TRUE(Contains(SettingsFile(), "<fraPath>D:\\cells\\walk.fra</fraPath>"))
        << SettingsFile();
    EXPECT_EQ(Dialog(kAnimation)["exit_status"], 0);
    EXPECT_NE(ReadText("out.vsb"), "");
    EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
}

TEST_F(AnimationDialog, BrowseOffersNoDefaultThatDoesNotFitItsBufferAndACancelKeepsThePanel) {
    // A folder of 260 characters or more, or a name of 40 or more, is not offered rather than
    // offered cut short; a path without a separator is offered as the folder and the name. The
    // file-open dialog's cancel leaves the panel with what the user typed.
    const std::string longFolder = "C:\\" + std::string(300, 'f');
    const std::string longName = std::string(45, 'n') + ".fra";
    const std::vector<std::array<std::string, 3>> cases = {
        {"", "", ""},
        {"run.fra", "run.fra", "run.fra"},
        {longFolder + "\\a.fra", "", "a.fra"},
        {"C:\\anims\\" + longName, "C:\\anims", ""},
    };
    for (const auto& c : cases) {
        WriteText("vistrel_plugin_settings.xml", PromptingSettings(c[0]));
        const char* presses = R"(["Vistrel_Animation_Browse", "Vistrel_Animation_Export"])";
        ASSERT_TRUE(Run({kSave, AnimationStep(presses, "typed.fra"), R"({"cancel": "open"})"},
                        {"Vistrel Export"}));
        const Json& open = record_["file_dialogs"][1];
        EXPECT_EQ(open["default_folder"], c[1]) << c[0];
        EXPECT_EQ(open["default_name"], c[2]) << c[0];
        EXPECT_TRUE(open["answer"].is_null());
        EXPECT_TRUE(Contains(SettingsFile(), "<fraPath>typed.fra</fraPath>")) << SettingsFile();
    }
}

// ---- Export and Cancel --------------------------------------------------------------------------

TEST_F(AnimationDialog, ExportStoresWhateverThePanelHolds) {
    // Emptied: fraPath becomes empty, nothing is read, the road goes on.
    WriteText("vistrel_plugin_settings.xml", PromptingSettings("C:\\anims\\run.fra"));
    ASSERT_TRUE(
        Run({kSave, AnimationStep(R"("Vistrel_Animation_Export")", "")}, {"Vistrel Export"}));
    EXPECT_TRUE(Contains(SettingsFile(), "<fraPath></fraPath>")) << SettingsFile();
    EXPECT_NE(ReadText("out.vsb"), "");

    // Typed by hand, naming no file, a folder, or a file that is no regular file (a FIFO nobody
    // writes would hold the host for ever; a socket opens not at all): stored all the same, read as
    // no file, and saved by the dialog itself on a road that saves nothing of its own (a Render
    // that ends at the choice of a representation).
    std::filesystem::create_directory("frames");
    WriteText("model.json", R"({"current": "CELL", "models": [{"name": "CELL", "type": "assembly",
        "simpreps": [{"id": 1, "name": "LIGHT"}, {"id": 2, "name": "HEAVY"}]}]})");
    std::vector<const char*> paths = {"no such file.fra", "frames"};
#ifndef _WIN32
    std::filesystem::remove("fifo.fra");
    std::filesystem::remove("socket.fra");
    ASSERT_EQ(mkfifo("fifo.fra", 0600), 0);
    ASSERT_TRUE(MakeSocket("socket.fra"));
    paths.insert(paths.end(), {"fifo.fra", "socket.fra"});
#endif
    for (const char* path : paths) {
        ASSERT_TRUE(Run({AnimationStep(R"("Vistrel_Animation_Export")", path),
                         R"({"cancel": "simprep"})"},
                        {"Vistrel Render"}));
        EXPECT_TRUE(Contains(SettingsFile(), std::string("<fraPath>") + path + "</fraPath>"))
            << SettingsFile();
        EXPECT_EQ(Dialog(kAnimation)["exit_status"], 0);
    }
}

TEST_F(AnimationDialog, CancelEndsTheRoadAndChangesNothingAndWithoutAModelItIsNotShown) {
    const std::string settings = PromptingSettings("C:\\anims\\run.fra");
    WriteText("vistrel_plugin_settings.xml", settings);
    ASSERT_TRUE(
        Run({AnimationStep(R"("Vistrel_Animation_Cancel")", "other.fra")}, {"Vistrel Render"}));
    EXPECT_EQ(Dialog(kAnimation)["exit_status"], PRO_TK_USER_ABORT);
    EXPECT_EQ(SettingsFile(), settings);
    // The road ended before it looked for a renderer.
    EXPECT_FALSE(Contains(record_.dump(), "Failed"));
    // Without a current model the dialog does not open at all.
    WriteText("model.json", R"({"models": [{"name": "BRACKET", "type": "part"}]})");
    ASSERT_TRUE(Run({}, {"Vistrel Render"}));
    EXPECT_TRUE(record_["dialogs"].empty());
}

// ---- A frame file on the whole road -------------------------------------------------------------

// The "matrices" of the bolt 12 of the second arm in the first frames of the sample: it moves
// along z from its place at (20, 0, -5), relative to that place by 0, 5, 10, 15 and 20.
std::string BoltMatrices(int frames) {
    std::string text;
    for (int i = 0; i < frames; ++i)
        text += std::string(i > 0 ? ", " : "") + "1 0 0 0 0 1 0 0 0 0 1 0 0 0 " +
                std::to_string(5 * i) + " 1";
    return text + " ],\n";
}

// The "timestamps" of frames 40 ms apart, as the scene file holds them in binary.
std::string Timestamps(int frames) {
    std::string block("\x01\x02\x03i\0\0\0\0", 8);
    block[4] = static_cast<char>(frames);
    for (int i = 0; i < frames; ++i) block += std::string{static_cast<char>(40 * i), 0, 0, 0};
    return block + " ],\n";
}

// Two Exports in one session, the first naming the sample's frame file: the second scene holds
// the animation of the file its own dialog names, none when that names no frame file at all.
TEST_F(AnimationDialog, EachExportAnimatesWithTheFramesOfTheFileItsDialogNamed) {
    WriteText("model.json", ReadFile(VISTREL_SOURCE_DIR "/examples/sample_assembly.json"));
    const std::string sample = ReadFile(VISTREL_SOURCE_DIR "/examples/sample_assembly.fra");
    WriteText(u8"bewegung_\u00e4.fra", sample);
    // Three of the five frames, with a count that is no number: the three read count.
    std::string uncounted = sample.substr(0, sample.find("MaFrame 4"));
    WriteText("uncounted.fra", uncounted.replace(uncounted.find("frames: 5"), 9, "frames: all"));
    std::filesystem::create_directory("frames");
    const struct {
        const char* panel;
        int frames;  // 0: no animation
    } seconds[] = {{"", 0}, {"missing.fra", 0}, {"frames", 0}, {"model.json", 0},
                   {"uncounted.fra", 3}};
    for (const auto& second : seconds) {
        SCOPED_TRACE(second.panel);
        WriteText("vistrel_plugin_settings.xml", PromptingSettings(""));
        ASSERT_TRUE(Run({R"({"save": "first.vsb"})",
                         AnimationStep(R"("Vistrel_Animation_Export")", u8"bewegung_\u00e4.fra"),
                         R"({"save": "second.vsb"})",
                         AnimationStep(R"("Vistrel_Animation_Export")", second.panel)},
                        {"Vistrel Export", "Vistrel Export"}));
        const std::string first = ReadText("first.vsb");
        EXPECT_TRUE(Contains(first, BoltMatrices(5))) << first.substr(0, 2000);
        EXPECT_TRUE(Contains(first, Timestamps(5)));
        EXPECT_TRUE(Contains(first, "\"duration\" 0.2,\n"));
        // The base plate (component 1) never moves: no block names it.
        EXPECT_FALSE(std::regex_search(first, std::regex("\"fbx_animation\" +\"BASE_PLATE\"")));
        EXPECT_TRUE(std::regex_search(first, std::regex("\"fbx_animation\" +\"BOLT\"")));

        const std::string scene = ReadText("second.vsb");
        EXPECT_EQ(Contains(scene, "fbx_animation"), second.frames > 0) << scene.substr(0, 2000);
        if (second.frames > 0) {
            EXPECT_TRUE(Contains(scene, BoltMatrices(second.frames)));
            EXPECT_TRUE(Contains(scene, Timestamps(second.frames)));
        }
    }
}

// A dialog that the host cannot make is no answer of the user's: the road ends as failed and the
// user is told so, as for any failure of the road.
TEST_F(AnimationDialog, ThatTheHostCannotMakeEndsTheRoadAsFailed) {
    const char refuse[] = R"({"refuse": "Vistrel_Animation"})";
    WriteText("vistrel_plugin_settings.xml", PromptingSettings(""));
    ASSERT_TRUE(Run({kSave, refuse}, {"Vistrel Export"}));
    EXPECT_EQ(Control(Dialog("ExportFinished"), "ExportFinishedLabel")["properties"]["text"],
              "The Vistrel export failed; no scene file was written.");
    EXPECT_EQ(ReadText("out.vsb"), "");
    for (const char* command : {"Vistrel Render", "Vistrel Update"}) {
        ASSERT_TRUE(Run({refuse}, {command}));
        EXPECT_EQ(record_["console"], "Failed") << command;
        EXPECT_TRUE(record_["dialogs"].empty() && record_["problems"].empty()) << record_.dump();
    }
}

}  // namespace
