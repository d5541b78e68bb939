// The settings dialog: as the simulated host sees it built, what its buttons do with the
// settings and the roads, and how its spin box and slider keep each other in step.
#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>

#include "plugin/plugin_application.h"
#include "tests/dialog_session.h"
#include "toolkit/pro_function_types.h"
#include "toolkit/toolkit_binding.h"

namespace {

using Json = nlohmann::ordered_json;

const char kSettings[] = "Vistrel_Settings";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The names of a JSON object's keys in order.
std::string Keys(const Json& object) {
    std::string keys;
    for (const auto& item : object.items()) keys += (keys.empty() ? "" : " ") + item.key();
    return keys;
}

std::string Place(const Json& control) {
    return control["place"].dump();
}

// A place on the grid: row, column, cells wide; attached on every side but those named.
std::string GridPlace(int row, int column, int cells, bool left = true, bool right = true) {
    Json place = Json::object();
    place["row"] = row;
    place["column"] = column;
    place["cells"] = {cells, 1};
    place["attach"] = {{"top", true}, {"bottom", true}, {"left", left}, {"right", right}};
    place["resize"] = {true, true};
    place["offsets"] = {-1, -1, -1, -1};
    return place.dump();
}

// ---- As built -----------------------------------------------------------------------------------

class SettingsDialog : public DialogSession {};

TEST_F(SettingsDialog, IsBuiltControlByControlOnTheGrid) {
    ASSERT_EQ(
        Run({R"({"dialog": "Vistrel_Settings", "press": "Vistrel_Cancel"})"}, {"Vistrel Settings"}),
        0)
        << errors_;
    const Json& dialog = Dialog(kSettings);
    ASSERT_FALSE(dialog.is_null()) << record_.dump();
    EXPECT_EQ(dialog["resizing"], false);

    const char* order[][2] = {
        {"Vistrel_Tess_Level_Label", "label"},
        {"stepbox", "spinbox"},
        {"Vistrel_Tess_Level_Slider_Label", "label"},
        {"Vistrel_Tess_Level_Slider", "slider"},
        {"Vistrel_Materials_Label", "label"},
        {"Vistrel_Separate_Materials_Check", "checkbutton"},
        {"Vistrel_NURBS_Label", "label"},
        {"Vistrel_NURBS_Check", "checkbutton"},
        {"Vistrel_Axis_Label", "label"},
        {"Vistrel_Axis_Radiogroup", "radiogroup"},
        {"Vistrel_Update_Label", "label"},
        {"Vistrel_Update_Radiogroup", "radiogroup"},
        {"Vistrel_Mechanism_Prompt_Label", "label"},
        {"Vistrel_Mechanism_Prompt_Check", "checkbutton"},
        {"Vistrel_OK_Separator", "separator"},
        {"Vistrel_OK_Layout", "layout"},
        {"Vistrel_Update", "pushbutton"},
        {"Vistrel_Export", "pushbutton"},
        {"Vistrel_OK", "pushbutton"},
        {"Vistrel_Cancel", "pushbutton"},
    };
    const Json& controls = dialog["controls"];
    ASSERT_EQ(controls.size(), 20u);
    for (size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(controls[i]["name"], order[i][0]) << i;
        EXPECT_EQ(controls[i]["kind"], order[i][1]) << i;
    }
    // One setting a row: labels in column 0 let go of their left side, controls in column 1.
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(Place(controls[2 * row]), GridPlace(row, 0, 1, false)) << row;
        EXPECT_EQ(Place(controls[2 * row + 1]), GridPlace(row, 1, 1)) << row;
    }
    EXPECT_EQ(Place(controls[14]), GridPlace(7, 0, 1));
    EXPECT_EQ(Place(controls[15]), GridPlace(8, 0, 2, false, false));
    for (int column = 0; column < 4; ++column) {
        const Json& button = controls[16 + column];
        EXPECT_EQ(button["layout"], "Vistrel_OK_Layout");
        EXPECT_EQ(Place(button), GridPlace(0, column, 1)) << column;
        EXPECT_EQ(button["actions"].dump(), R"(["activate"])");
    }
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
    EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
}

TEST_F(SettingsDialog, ShowsTheSettingsWithTheMessageFileTexts) {
    ASSERT_EQ(
        Run({R"({"dialog": "Vistrel_Settings", "press": "Vistrel_Cancel"})"}, {"Vistrel Settings"}),
        0)
        << errors_;
    const Json& dialog = Dialog(kSettings);
    const char kTessHelp[] = "From 0 (coarse, quick) to 1 (fine, slow)";

    EXPECT_EQ(Control(dialog, "Vistrel_Tess_Level_Label")["properties"].dump(),
              R"({"text":"Tessellation quality:"})");
    EXPECT_EQ(Control(dialog, "Vistrel_Tess_Level_Slider_Label")["properties"]["text"],
              "Tessellation quality:");
    // Properties in the order they were set; the defaults: quality 0.2, y up, automatic
    // selection, NURBS and separate materials on, no prompt.
    const Json& spinbox = Control(dialog, "stepbox");
    EXPECT_EQ(Keys(spinbox["properties"]),
              "input_type digits double double_increment fast_double_increment min_double "
              "max_double help_text");
    EXPECT_EQ(spinbox["properties"]["input_type"], 3);
    EXPECT_EQ(spinbox["properties"]["digits"], 2);
    EXPECT_EQ(spinbox["properties"]["double"], 0.2);
    EXPECT_EQ(spinbox["properties"]["double_increment"], 0.05);
    EXPECT_EQ(spinbox["properties"]["fast_double_increment"], 0.1);
    EXPECT_EQ(spinbox["properties"]["min_double"], 0.0);
    EXPECT_EQ(spinbox["properties"]["max_double"], 1.0);
    EXPECT_EQ(spinbox["properties"]["help_text"], kTessHelp);
    EXPECT_EQ(spinbox["actions"].dump(), R"(["update"])");

    const Json& slider = Control(dialog, "Vistrel_Tess_Level_Slider");
    EXPECT_EQ(slider["properties"].dump(), Json({{"length", 25},
                                                 {"min_integer", 0},
                                                 {"max_integer", 10000},
                                                 {"integer", 2000},
                                                 {"orientation", 0},
                                                 {"tracking", true},
                                                 {"help_text", kTessHelp}})
                                               .dump());
    EXPECT_EQ(slider["actions"].dump(), R"(["update"])");

    EXPECT_EQ(Control(dialog, "Vistrel_Materials_Label")["properties"]["text"], "Materials:");
    EXPECT_EQ(Control(dialog, "Vistrel_Separate_Materials_Check")["properties"].dump(),
              Json({{"text", "Separate materials per part"},
                    {"help_text", "Give each part materials of its own, named after the part"},
                    {"set", true}})
                  .dump());
    EXPECT_EQ(Control(dialog, "Vistrel_NURBS_Label")["properties"]["text"], "NURBS:");
    EXPECT_EQ(Control(dialog, "Vistrel_NURBS_Check")["properties"].dump(),
              Json({{"text", "Export NURBS surfaces"},
                    {"help_text", "Send the exact NURBS surfaces beside the triangle meshes"},
                    {"set", true}})
                  .dump());
    EXPECT_EQ(Control(dialog, "Vistrel_Axis_Label")["properties"]["text"], "Up axis:");
    EXPECT_EQ(Control(dialog, "Vistrel_Axis_Radiogroup")["properties"].dump(),
              Json({{"names", {"xaxis", "yaxis", "zaxis", "nxaxis", "nyaxis", "nzaxis"}},
                    {"labels", {"x", "y", "z", "-x", "-y", "-z"}},
                    {"orientation", 0},
                    {"help_text", "The model axis that points up in Vistrel"},
                    {"selected_names", {"yaxis"}}})
                  .dump());
    EXPECT_EQ(Control(dialog, "Vistrel_Update_Label")["properties"]["text"], "Update selection:");
    EXPECT_EQ(Control(dialog, "Vistrel_Update_Radiogroup")["properties"].dump(),
              Json({{"names", {"automatic", "manual"}},
                    {"labels", {"Automatic selection", "Manual selection"}},
                    {"orientation", 0},
                    {"help_text", "How Update chooses the components whose geometry it sends"},
                    {"selected_names", {"automatic"}}})
                  .dump());
    EXPECT_EQ(Control(dialog, "Vistrel_Mechanism_Prompt_Label")["properties"]["text"],
              "Animation:");
    // Not set: the button stays as created. Its help is two message lines joined.
    EXPECT_EQ(Control(dialog, "Vistrel_Mechanism_Prompt_Check")["properties"].dump(),
              Json({{"text", "Ask for a mechanism frame file"},
                    {"help_text",
                     "Before each export, ask for a frame file (*.fra) with the "
                     "placements of a mechanism animation"}})
                  .dump());

    const char* buttons[][3] = {
        {"Vistrel_Update", "Vistrel Update", "Keep the settings and update the running Vistrel"},
        {"Vistrel_Export", "Vistrel Render", "Keep the settings and render in a new Vistrel"},
        {"Vistrel_OK", "OK", "Keep the settings and close the dialog"},
        {"Vistrel_Cancel", "Cancel", "Close the dialog without keeping the settings"},
    };
    for (const auto& button : buttons)
        EXPECT_EQ(Control(dialog, button[0])["properties"].dump(),
                  Json({{"text", button[1]}, {"help_text", button[2]}}).dump());
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
}

TEST_F(SettingsDialog, ShowsTheSettingsFileAsItIsNow) {
    WriteText("vistrel_plugin_settings.xml",
              SettingsXml("0.3499999940395355", "5", "manual", "false", "false", "true", "", ""));
    ASSERT_EQ(
        Run({R"({"dialog": "Vistrel_Settings", "press": "Vistrel_Cancel"})"}, {"Vistrel Settings"}),
        0)
        << errors_;
    const Json& dialog = Dialog(kSettings);
    // The float nearest 0.35 is a little less: the slider stands at 3499.
    EXPECT_EQ(Control(dialog, "stepbox")["properties"]["double"], 0.3499999940395355);
    EXPECT_EQ(Control(dialog, "Vistrel_Tess_Level_Slider")["properties"]["integer"], 3499);
    EXPECT_FALSE(Control(dialog, "Vistrel_Separate_Materials_Check")["properties"].contains("set"));
    EXPECT_FALSE(Control(dialog, "Vistrel_NURBS_Check")["properties"].contains("set"));
    EXPECT_EQ(Control(dialog, "Vistrel_Mechanism_Prompt_Check")["properties"]["set"], true);
    EXPECT_EQ(Control(dialog, "Vistrel_Axis_Radiogroup")["properties"]["selected_names"].dump(),
              R"(["nzaxis"])");
    EXPECT_EQ(Control(dialog, "Vistrel_Update_Radiogroup")["properties"]["selected_names"].dump(),
              R"(["manual"])");
}

TEST_F(SettingsDialog, AnAxisWithoutAButtonSelectsNoneAndIsKeptByOk) {
    WriteText("vistrel_plugin_settings.xml",
              SettingsXml("7", "9", "automatic", "true", "true", "false", "", ""));
    ASSERT_EQ(
        Run({R"({"dialog": "Vistrel_Settings", "press": "Vistrel_OK"})"}, {"Vistrel Settings"}), 0)
        << errors_;
    const Json& dialog = Dialog(kSettings);
    EXPECT_FALSE(
        Control(dialog, "Vistrel_Axis_Radiogroup")["properties"].contains("selected_names"));
    // A quality of 7 from an edited file is shown as it is, the slider beyond its end.
    EXPECT_EQ(Control(dialog, "Vistrel_Tess_Level_Slider")["properties"]["integer"], 70000);
    EXPECT_TRUE(Contains(SettingsFile(), "<upAxis>9</upAxis>")) << SettingsFile();
    EXPECT_TRUE(Contains(SettingsFile(), "<tessellationQuality>7.000000</tessellationQuality>"));
}

TEST_F(SettingsDialog, NoCurrentModelOpensNothing) {
    WriteText("model.json", R"({"models": [{"name": "BRACKET", "type": "part"}]})");
    ASSERT_EQ(Run({}, {"Vistrel Settings"}), 0) << errors_;
    EXPECT_TRUE(record_["dialogs"].empty());
    EXPECT_EQ(record_["runs"][0]["answer"], 0);
    EXPECT_EQ(SettingsFile(), "");
}

// ---- What the buttons do ------------------------------------------------------------------------

TEST_F(SettingsDialog, OkSavesEveryControlAndShowsTheSelectionModeOnTheIcons) {
    ASSERT_EQ(Run({R"({"dialog": "Vistrel_Settings",
                       "set": {"Vistrel_Tess_Level_Slider": 3500,
                               "Vistrel_Axis_Radiogroup": "zaxis",
                               "Vistrel_Update_Radiogroup": "manual", "Vistrel_NURBS_Check": false,
                               "Vistrel_Separate_Materials_Check": false,
                               "Vistrel_Mechanism_Prompt_Check": true},
                       "press": "Vistrel_OK"})"},
                  {"Vistrel Settings"}),
              0)
        << errors_;
    EXPECT_EQ(Dialog(kSettings)["exit_status"], 0);
    // Written in text mode: Windows ends its lines with CR LF.
    std::string settings = SettingsFile();
    settings.erase(std::remove(settings.begin(), settings.end(), '\r'), settings.end());
    EXPECT_EQ(settings,
              "<?xml version=\"1.0\" ?>\n"
              "<vistrel_plugin_settings>\n"
              "    <tessellationQuality>0.350000</tessellationQuality>\n"
              "    <upAxis>2</upAxis>\n"
              "    <selectionMode>manual</selectionMode>\n"
              "    <includeNURBS>false</includeNURBS>\n"
              "    <separateMaterials>false</separateMaterials>\n"
              "    <promptForMechanism>true</promptForMechanism>\n"
              "    <exportPath></exportPath>\n"
              "    <fraPath></fraPath>\n"
              "</vistrel_plugin_settings>\n");
    const Json& commands = record_["commands"];
    EXPECT_EQ(commands[0]["name"], "Manual selection");
    EXPECT_EQ(commands[0]["icon"], "vs_update_checked.png");
    EXPECT_EQ(commands[1]["icon"], "vs_update_unchecked.png");
    EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
}

TEST_F(SettingsDialog, OkKeepsTheSpinboxValueAfterTheSliderMoved) {
    // Only the spin box is read back: it follows the slider, so the slider's 1234 is kept.
    ASSERT_EQ(Run({R"({"dialog": "Vistrel_Settings", "set": {"Vistrel_Tess_Level_Slider": 1234},
                       "press": "Vistrel_OK"})"},
                  {"Vistrel Settings"}),
              0)
        << errors_;
    EXPECT_TRUE(Contains(SettingsFile(), "<tessellationQuality>0.123400</tessellationQuality>"))
        << SettingsFile();
}

TEST_F(SettingsDialog, CancelSavesNothingAndPutsTheQualityBack) {
    const std::string cancel = R"({"dialog": "Vistrel_Settings",
        "set": {"stepbox": 0.3, "Vistrel_Tess_Level_Slider": 4000,
                "Vistrel_Axis_Radiogroup": "xaxis"},
        "press": "Vistrel_Cancel"})";
    ASSERT_EQ(Run({cancel}, {"Vistrel Settings"}), 0) << errors_;
    EXPECT_EQ(Dialog(kSettings)["exit_status"], PRO_TK_USER_ABORT);
    EXPECT_EQ(SettingsFile(), "");

    // The moves went into the settings as they were made; after Cancel a later save (here the
    // selection command's) writes the quality the dialog opened with, not the one before the
    // last move.
    ASSERT_EQ(Run({cancel}, {"Vistrel Settings", "Automatic selection"}), 0) << errors_;
    EXPECT_TRUE(Contains(SettingsFile(), "<tessellationQuality>0.200000</tessellationQuality>"))
        << SettingsFile();
    EXPECT_TRUE(Contains(SettingsFile(), "<upAxis>1</upAxis>"));
}

TEST_F(SettingsDialog, RenderAndUpdateSaveBeforeTheirRoadAsksForTheFrameFile) {
    // With the prompt switched on in this dialog, the road opens the animation dialog from
    // inside the button's action; its Cancel ends the road, and the settings dialog still ends
    // with 0, its settings saved before.
    for (const char* button : {"Vistrel_Export", "Vistrel_Update"}) {
        ASSERT_EQ(Run({std::string(R"({"dialog": "Vistrel_Settings",
                         "set": {"Vistrel_Mechanism_Prompt_Check": true, "stepbox": 0.75},
                         "press": ")") +
                           button + "\"}",
                       R"({"dialog": "Vistrel_Animation", "press": "Vistrel_Animation_Cancel"})"},
                      {"Vistrel Settings"}),
                  0)
            << button << ": " << errors_;
        ASSERT_EQ(record_["dialogs"].size(), 2u) << button;
        EXPECT_EQ(record_["dialogs"][1]["name"], "Vistrel_Animation");
        EXPECT_EQ(record_["dialogs"][1]["exit_status"], PRO_TK_USER_ABORT);
        EXPECT_EQ(Dialog(kSettings)["exit_status"], 0);
        EXPECT_TRUE(Contains(SettingsFile(), "<promptForMechanism>true</promptForMechanism>"));
        EXPECT_TRUE(
            Contains(SettingsFile(), "<tessellationQuality>0.750000</tessellationQuality>"));
        WriteText("vistrel_plugin_settings.xml", "");
    }
}

// ---- The tessellation controls, with the actions called in this process -------------------------

// A dialog host just large enough for the tessellation controls: it holds their values, keeps the
// actions the dialog sets, and runs user() as the user in front of the running dialog.
struct SmallHost {
    double spinbox = 0.0;
    int slider = 0;
    int spinboxSets = 0;
    int sliderSets = 0;
    std::map<std::string, ProUIAction> actions;  // by control
    ProAppData data = nullptr;
    std::function<void()> user;
    bool exited = false;
    int exitStatus = 0;
};
SmallHost host;

ProError MdlCurrentGet(ProMdl* model) {
    *model = reinterpret_cast<ProMdl>(&host);
    return PRO_TK_NO_ERROR;
}
ProError SpinboxDoubleGet(const char*, const char*, double* value) {
    *value = host.spinbox;
    return PRO_TK_NO_ERROR;
}
ProError SpinboxDoubleSet(const char*, const char*, double value) {
    host.spinbox = value;
    ++host.spinboxSets;
    return PRO_TK_NO_ERROR;
}
ProError SliderIntegerGet(const char*, const char*, int* value) {
    *value = host.slider;
    return PRO_TK_NO_ERROR;
}
ProError SliderIntegerSet(const char*, const char*, int value) {
    host.slider = value;
    ++host.sliderSets;
    return PRO_TK_NO_ERROR;
}
ProError ActionSet(const char*, const char* control, ProUIAction action, ProAppData data) {
    host.actions[control] = action;
    host.data = data;
    return PRO_TK_NO_ERROR;
}
ProError DialogActivate(const char*, int* status) {
    host.exited = false;
    if (host.user) host.user();
    // Closed by the host when no button ended it, as a window's close box would.
    *status = host.exited ? host.exitStatus : PRO_TK_USER_ABORT;
    return PRO_TK_NO_ERROR;
}
ProError DialogExit(const char*, int status) {
    host.exited = true;
    host.exitStatus = status;
    return PRO_TK_NO_ERROR;
}

void* Lookup(const char* name) {
    static const std::map<std::string, void*> functions = {
        {"ProMdlCurrentGet",
         reinterpret_cast<void*>(static_cast<ProMdlCurrentGet_fn>(MdlCurrentGet))},
        {"ProUISpinboxDoubleGet",
         reinterpret_cast<void*>(static_cast<ProUISpinboxDoubleGet_fn>(SpinboxDoubleGet))},
        {"ProUISpinboxDoubleSet",
         reinterpret_cast<void*>(static_cast<ProUISpinboxDoubleSet_fn>(SpinboxDoubleSet))},
        {"ProUISliderIntegerGet",
         reinterpret_cast<void*>(static_cast<ProUISliderIntegerGet_fn>(SliderIntegerGet))},
        {"ProUISliderIntegerSet",
         reinterpret_cast<void*>(static_cast<ProUISliderIntegerSet_fn>(SliderIntegerSet))},
        {"ProUISpinboxUpdateActionSet",
         reinterpret_cast<void*>(static_cast<ProUISpinboxUpdateActionSet_fn>(ActionSet))},
        {"ProUISliderUpdateActionSet",
         reinterpret_cast<void*>(static_cast<ProUISliderUpdateActionSet_fn>(ActionSet))},
        {"ProUIPushbuttonActivateActionSet",
         reinterpret_cast<void*>(static_cast<ProUIPushbuttonActivateActionSet_fn>(ActionSet))},
        {"ProUIDialogActivate",
         reinterpret_cast<void*>(static_cast<ProUIDialogActivate_fn>(DialogActivate))},
        {"ProUIDialogExit", reinterpret_cast<void*>(static_cast<ProUIDialogExit_fn>(DialogExit))},
    };
    const auto found = functions.find(name);
    return found != functions.end() ? found->second : nullptr;
}

class TessellationControls : public ::testing::Test {
protected:
    void SetUp() override {
        host = SmallHost{};
        ToolkitBind(Lookup);
    }
    void TearDown() override { ToolkitUnbind(); }

    // The user's moves, each followed by the control's update action as the host calls it.
    void MoveSpinbox(double value) {
        host.spinbox = value;
        OnTessellationSpinboxUpdate("Vistrel_Settings", "stepbox", &app);
    }
    void MoveSlider(int value) {
        host.slider = value;
        OnTessellationSliderUpdate("Vistrel_Settings", "Vistrel_Tess_Level_Slider", &app);
    }
    void Press(const std::string& button) {
        host.actions.at(button)("Vistrel_Settings", button.c_str(), host.data);
    }

    ScopedTempFolder folder;  // no settings file: the defaults
    PluginApplication app;
};

TEST_F(TessellationControls, TheSpinboxMovesTheSliderAndTheQuality) {
    MoveSpinbox(0.35);
    EXPECT_EQ(host.slider, 3500);
    EXPECT_EQ(host.spinboxSets, 0);
    EXPECT_EQ(app.settings.tessellationQuality, 0.3499999940395355);
    EXPECT_EQ(app.previousTessellationQuality, 0.2);
    MoveSpinbox(0.99999);
    EXPECT_EQ(host.slider, 9999);  // truncated toward zero
}

TEST_F(TessellationControls, TheSliderMovesTheSpinboxAndTheQuality) {
    MoveSlider(1234);
    EXPECT_EQ(host.spinbox, 0.1234);
    EXPECT_EQ(host.sliderSets, 0);
    EXPECT_EQ(app.settings.tessellationQuality, static_cast<double>(0.1234f));
    MoveSlider(10000);
    EXPECT_EQ(host.spinbox, 1.0);
    EXPECT_EQ(app.previousTessellationQuality, static_cast<double>(0.1234f));
}

TEST_F(TessellationControls, ValuesBeyondEveryRangeAreHeldAtItsEnds) {
    // Only an edited settings file brings such values into the spin box.
    MoveSpinbox(1e300);
    EXPECT_EQ(host.slider, INT32_MAX);
    EXPECT_EQ(app.settings.tessellationQuality, std::numeric_limits<double>::infinity());
    MoveSpinbox(-1e300);
    EXPECT_EQ(host.slider, INT32_MIN);
    EXPECT_EQ(app.settings.tessellationQuality, -std::numeric_limits<double>::infinity());
    MoveSpinbox(std::nan(""));
    EXPECT_EQ(host.slider, 0);
    EXPECT_TRUE(std::isnan(app.settings.tessellationQuality));
}

TEST_F(TessellationControls, ADialogNotConfirmedLeavesTheQualityItFound) {
    host.user = [&] {
        MoveSpinbox(0.3);
        MoveSlider(4000);
        MoveSpinbox(0.5);
        Press("Vistrel_Cancel");
    };
    EXPECT_FALSE(app.ShowSettingsDialog());
    EXPECT_EQ(host.exitStatus, PRO_TK_USER_ABORT);
    EXPECT_EQ(app.settings.tessellationQuality, 0.2);

    // Closed without any button: no action ran to put the quality back.
    host.user = [&] { MoveSlider(9000); };
    EXPECT_FALSE(app.ShowSettingsDialog());
    EXPECT_EQ(app.settings.tessellationQuality, 0.2);

    host.user = [&] {
        MoveSlider(9000);
        Press("Vistrel_OK");
    };
    EXPECT_TRUE(app.ShowSettingsDialog());
    EXPECT_EQ(app.settings.tessellationQuality, static_cast<double>(0.9f));
}

}  // namespace
