// The settings dialog: as the simulated host sees it built, what its buttons do with the
// settings and the roads, and how its spin box and slider keep each other in step.
#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <new>
#include <string>

#include "hostcall/host_callback_guard.h"
#include "hostcall/host_dialog.h"
#include "plugin/plugin_application.h"
#include "tests/dialog_session.h"
#include "toolkit/pro_function_types.h"
#include "toolkit/toolkit_binding.h"

namespace {

using Json = nlohmann::ordered_json;

const char kSettings[] = "Vistrel_Settings";

std::string Place(const Json& control) {
    return control["place"].dump();
}

// ---- As built -----------------------------------------------------------------------------------

class SettingsDialog : public DialogSession {};

// The script step of the user who sets the controls of set (JSON members) and presses button.
std::string SettingsStep(const std::string& button, const std::string& set = "") {
    return R"({"dialog": "Vistrel_Settings", "set": {)" + set + R"(}, "press": ")" + button + "\"}";
}

TEST_F(SettingsDialog, IsBuiltControlByControlOnTheGridWithTheMessageFileTexts) {
    ASSERT_TRUE(Run({SettingsStep("Vistrel_Cancel")}, {"Vistrel Settings"}));
    const Json& dialog = Dialog(kSettings);
    ASSERT_FALSE(dialog.is_null()) << record_.dump();
    EXPECT_EQ(dialog["resizing"], false);

    // Every control in the order added, its properties in the order set. The settings are the
    // defaults: quality 0.2, y up, automatic selection, NURBS and separate materials on, no
    // prompt (a check button not set stays as created). The mechanism help is two lines joined.
    const char kTessHelp[] = "From 0 (coarse, quick) to 1 (fine, slow)";
    const auto label = [](const char* text) { return Json{{"text", text}}; };
    const auto texts = [](const char* text, const char* help) {
        return Json{{"text", text}, {"help_text", help}};
    };
    const struct {
        const char* name;
        const char* kind;
        Json properties;
    } expected[] = {
        {"Vistrel_Tess_Level_Label", "label", label("Tessellation quality:")},
        {"stepbox", "spinbox",
         {{"input_type", 3}, {"digits", 2}, {"double", 0.2}, {"double_increment", 0.05},
          {"fast_double_increment", 0.1}, {"min_double", 0.0}, {"max_double", 1.0},
          {"help_text", kTessHelp}}},
        {"Vistrel_Tess_Level_Slider_Label", "label", label("Tessellation quality:")},
        {"Vistrel_Tess_Level_Slider", "slider",
         {{"length", 25}, {"min_integer", 0}, {"max_integer", 10000}, {"integer", 2000},
          {"orientation", 0}, {"tracking", true}, {"help_text", kTessHelp}}},
        {"Vistrel_Materials_Label", "label", label("Materials:")},
        {"Vistrel_Separate_Materials_Check", "checkbutton",
         {{"text", "Separate materials per part"},
          {"help_text", "Give each part materials of its own, named after the part"},
          {"set", true}}},
        {"Vistrel_NURBS_Label", "label", label("NURBS:")},
        {"Vistrel_NURBS_Check", "checkbutton",
         {{"text", "Export NURBS surfaces"},
          {"help_text", "Send the exact NURBS surfaces beside the triangle meshes"},
          {"set", true}}},
        {"Vistrel_Axis_Label", "label", label("Up axis:")},
        {"Vistrel_Axis_Radiogroup", "radiogroup",
         {{"names", {"xaxis", "yaxis", "zaxis", "nxaxis", "nyaxis", "nzaxis"}},
          {"labels", {"x", "y", "z", "-x", "-y", "-z"}},
          {"orientation", 0},
          {"help_text", "The model axis that points up in Vistrel"},
          {"selected_names", {"yaxis"}}}},
        {"Vistrel_Update_Label", "label", label("Update selection:")},
        {"Vistrel_Update_Radiogroup", "radiogroup",
         {{"names", {"automatic", "manual"}},
          {"labels", {"Automatic selection", "Manual selection"}},
          {"orientation", 0},
          {"help_text", "How Update chooses the components whose geometry it sends"},
          {"selected_names", {"automatic"}}}},
        {"Vistrel_Mechanism_Prompt_Label", "label", label("Animation:")},
        {"Vistrel_Mechanism_Prompt_Check", "checkbutton",
         texts("Ask for a mechanism frame file",
               "Before each export, ask for a frame file (*.fra) with the placements of a "
               "mechanism animation")},
        {"Vistrel_OK_Separator", "separator", Json::object()},
        {"Vistrel_OK_Layout", "layout", Json::object()},
        {"Vistrel_Update", "pushbutton",
         texts("Vistrel Update", "Keep the settings and update the running Vistrel")},
        {"Vistrel_Export", "pushbutton",
         texts("Vistrel Render", "Keep the settings and render in a new Vistrel")},
        {"Vistrel_OK", "pushbutton", texts("OK", "Keep the settings and close the dialog")},
        {"Vistrel_Cancel", "pushbutton",
         texts("Cancel", "Close the dialog without keeping the settings")},
    };
    const Json& controls = dialog["controls"];
    ASSERT_EQ(controls.size(), 20u);
    for (size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(controls[i]["name"], expected[i].name) << i;
        EXPECT_EQ(controls[i]["kind"], expected[i].kind) << i;
        EXPECT_EQ(controls[i]["properties"].dump(), expected[i].properties.dump()) << i;
    }
    // One setting a row: labels in column 0 let go of their left side, controls in column 1.
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(Place(controls[2 * row]), GridPlace(row, 0, false)) << row;
        EXPECT_EQ(Place(controls[2 * row + 1]), GridPlace(row, 1)) << row;
    }
    EXPECT_EQ(Place(controls[14]), GridPlace(7, 0));
    EXPECT_EQ(Place(controls[15]), GridPlace(8, 0, false, false, 2));
    for (int column = 0; column < 4; ++column) {
        const Json& button = controls[16 + column];
        EXPECT_EQ(button["layout"], "Vistrel_OK_Layout");
        EXPECT_EQ(Place(button), GridPlace(0, column)) << column;
        EXPECT_EQ(button["actions"].dump(), R"(["activate"])");
    }
    EXPECT_EQ(controls[1]["actions"].dump(), R"(["update"])");
    EXPECT_EQ(controls[3]["actions"].dump(), R"(["update"])");
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
    EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
}

TEST_F(SettingsDialog, ShowsTheSettingsFileAsItIsNow) {
    WriteText("vistrel_plugin_settings.xml",
              SettingsXml("0.3499999940395355", "5", "manual", "false", "true", "true", "", ""));
    ASSERT_TRUE(Run({SettingsStep("Vistrel_Cancel")}, {"Vistrel Settings"}));
    const Json& dialog = Dialog(kSettings);
    // The float nearest 0.35 is a little less: the slider stands at 3499.
    EXPECT_EQ(Control(dialog, "stepbox")["properties"]["double"], 0.3499999940395355);
    EXPECT_EQ(Control(dialog, "Vistrel_Tess_Level_Slider")["properties"]["integer"], 3499);
    EXPECT_EQ(Control(dialog, "Vistrel_Separate_Materials_Check")["properties"]["set"], true);
    EXPECT_FALSE(Control(dialog, "Vistrel_NURBS_Check")["properties"].contains("set"));
    EXPECT_EQ(Control(dialog, "Vistrel_Mechanism_Prompt_Check")["properties"]["set"], true);
    EXPECT_EQ(Control(dialog, "Vistrel_Axis_Radiogroup")["properties"]["selected_names"].dump(),
              R"(["nzaxis"])");
    EXPECT_EQ(Control(dialog, "Vistrel_Update_Radiogroup")["properties"]["selected_names"].dump(),
              R"(["manual"])");
}

TEST_F(SettingsDialog, AnAxisWithoutAButtonSelectsNoneAndIsKeptByOk) {
    // 6 is one past the last axis.
    WriteText("vistrel_plugin_settings.xml",
              SettingsXml("7", "6", "automatic", "true", "true", "false", "", ""));
    ASSERT_TRUE(Run({SettingsStep("Vistrel_OK")}, {"Vistrel Settings"}));
    const Json& dialog = Dialog(kSettings);
    EXPECT_FALSE(
        Control(dialog, "Vistrel_Axis_Radiogroup")["properties"].contains("selected_names"));
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
    // A quality of 7 from an edited file is shown as it is, the slider beyond its end.
    EXPECT_EQ(Control(dialog, "Vistrel_Tess_Level_Slider")["properties"]["integer"], 70000);
    EXPECT_TRUE(Contains(SettingsFile(), "<upAxis>6</upAxis>")) << SettingsFile();
    EXPECT_TRUE(Contains(SettingsFile(), "<tessellationQuality>7.000000</tessellationQuality>"));
}

TEST_F(SettingsDialog, NoCurrentModelOpensNothing) {
    WriteText("model.json", R"({"models": [{"name": "BRACKET", "type": "part"}]})");
    ASSERT_TRUE(Run({}, {"Vistrel Settings"}));
    EXPECT_TRUE(record_["dialogs"].empty());
    EXPECT_EQ(record_["runs"][0]["answer"], 0);
    EXPECT_EQ(SettingsFile(), "");
}

// ---- What the buttons do ------------------------------------------------------------------------

TEST_F(SettingsDialog, OkSavesEveryControlAndShowsTheSelectionModeOnTheIcons) {
    // Every check button differs from each other one in some run, so a setting read from the
    // wrong control shows; the second run starts from what the first saved. Only the spin box is
    // read back: it follows the slider. The first run starts from a file that is not read (cut
    // short): OK, where the user confirmed every value, writes over it all the same.
    const struct {
        const char* set;
        std::string saved;
        const char* manualIcon;
    } runs[] = {
        {R"("Vistrel_Tess_Level_Slider": 3500, "Vistrel_Axis_Radiogroup": "zaxis",
            "Vistrel_Update_Radiogroup": "manual", "Vistrel_NURBS_Check": false,
            "Vistrel_Separate_Materials_Check": true, "Vistrel_Mechanism_Prompt_Check": true)",
         SettingsXml("0.350000", "2", "manual", "false", "true", "true", "", ""),
         "vs_update_checked.png"},
        {R"("stepbox": 0.6, "Vistrel_Axis_Radiogroup": "nxaxis",
            "Vistrel_Update_Radiogroup": "automatic", "Vistrel_NURBS_Check": true,
            "Vistrel_Separate_Materials_Check": false, "Vistrel_Mechanism_Prompt_Check": true)",
         SettingsXml("0.600000", "3", "automatic", "true", "false", "true", "", ""),
         "vs_update_unchecked.png"},
    };
    WriteText("vistrel_plugin_settings.xml", "<vistrel_plugin_settings><upAxis>4</upAxis>");
    for (const auto& run : runs) {
        ASSERT_TRUE(Run({SettingsStep("Vistrel_OK", run.set)}, {"Vistrel Settings"}));
        EXPECT_EQ(Dialog(kSettings)["exit_status"], 0);
        // Written in text mode: Windows ends its lines with CR LF.
        std::string settings = SettingsFile();
        settings.erase(std::remove(settings.begin(), settings.end(), '\r'), settings.end());
        EXPECT_EQ(settings, run.saved);
        const Json& commands = record_["commands"];
        EXPECT_EQ(commands[0]["name"], "Manual selection");
        EXPECT_EQ(commands[0]["icon"], run.manualIcon);
        EXPECT_NE(commands[1]["icon"], run.manualIcon);
        EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
    }
}

TEST_F(SettingsDialog, CancelSavesNothingAndPutsTheQualityBack) {
    const std::string cancel = SettingsStep(
        "Vistrel_Cancel",
        R"("stepbox": 0.3, "Vistrel_Tess_Level_Slider": 4000, "Vistrel_Axis_Radiogroup": "xaxis")");
    ASSERT_TRUE(Run({cancel}, {"Vistrel Settings"}));
    EXPECT_EQ(Dialog(kSettings)["exit_status"], PRO_TK_USER_ABORT);
    EXPECT_EQ(SettingsFile(), "");

    // The moves went into the settings as they were made; after Cancel a later save (here the
    // selection command's) writes the quality the dialog opened with, not the one before the
    // last move.
    ASSERT_TRUE(Run({cancel}, {"Vistrel Settings", "Automatic selection"}));
    EXPECT_TRUE(Contains(SettingsFile(), "<tessellationQuality>0.200000</tessellationQuality>"))
        << SettingsFile();
    EXPECT_TRUE(Contains(SettingsFile(), "<upAxis>1</upAxis>"));
}

TEST_F(SettingsDialog, RenderAndUpdateSaveBeforeTheirRoadAsksForTheFrameFile) {
    // With the prompt switched on in this dialog, the road opens the animation dialog from
    // inside the button's action; its Cancel ends the road, and the settings dialog still ends
    // with 0, its settings saved before.
    for (const char* button : {"Vistrel_Export", "Vistrel_Update"}) {
        ASSERT_TRUE(
            Run({SettingsStep(button, R"("Vistrel_Mechanism_Prompt_Check": true, "stepbox": 0.75)"),
                 R"({"dialog": "Vistrel_Animation", "press": "Vistrel_Animation_Cancel"})"},
                {"Vistrel Settings"}))
            << button;
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
    ProError createAnswer = PRO_TK_NO_ERROR;
};
SmallHost host;

ProError ActionSet(const char*, const char* control, ProUIAction action, ProAppData data) {
    host.actions[control] = action;
    host.data = data;
    return PRO_TK_NO_ERROR;
}

// A control's value read, and set and counted.
template <typename T, T SmallHost::*value>
ProError ValueGet(const char*, const char*, T* out) {
    *out = host.*value;
    return PRO_TK_NO_ERROR;
}
template <typename T, T SmallHost::*value, int SmallHost::*sets>
ProError ValueSet(const char*, const char*, T in) {
    host.*value = in;
    ++(host.*sets);
    return PRO_TK_NO_ERROR;
}

// Each address converted from the function type the plug-in calls through.
#define FAKE(Name, ...) {#Name, reinterpret_cast<void*>(static_cast<Name##_fn>(__VA_ARGS__))}

void* Lookup(const char* name) {
    static const std::map<std::string, void*> functions = {
        FAKE(ProMdlCurrentGet, [](ProMdl* model) {
            *model = reinterpret_cast<ProMdl>(&host);
            return PRO_TK_NO_ERROR;
        }),
        FAKE(ProUISpinboxDoubleGet, ValueGet<double, &SmallHost::spinbox>),
        FAKE(ProUISpinboxDoubleSet, ValueSet<double, &SmallHost::spinbox, &SmallHost::spinboxSets>),
        FAKE(ProUISliderIntegerGet, ValueGet<int, &SmallHost::slider>),
        FAKE(ProUISliderIntegerSet, ValueSet<int, &SmallHost::slider, &SmallHost::sliderSets>),
        FAKE(ProUISpinboxUpdateActionSet, ActionSet),
        FAKE(ProUISliderUpdateActionSet, ActionSet),
        FAKE(ProUIPushbuttonActivateActionSet, ActionSet),
        FAKE(ProUIDialogCreate, [](const char*, const char*) { return host.createAnswer; }),
        FAKE(ProUIDialogActivate, [](const char*, int* status) {
            host.exited = false;
            if (host.user) host.user();
            // Closed by the host when no button ended it, as a window's close box would.
            *status = host.exited ? host.exitStatus : PRO_TK_USER_ABORT;
            return PRO_TK_NO_ERROR;
        }),
        FAKE(ProUIDialogExit, [](const char*, int status) {
            host.exited = true;
            host.exitStatus = status;
            return PRO_TK_NO_ERROR;
        }),
    };
    const auto found = functions.find(name);
    return found != functions.end() ? found->second : nullptr;
}

#undef FAKE

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

TEST_F(TessellationControls, EachOfSpinboxAndSliderMovesTheOtherAndTheQuality) {
    MoveSpinbox(0.35);
    EXPECT_EQ(host.slider, 3500);
    EXPECT_EQ(host.spinboxSets, 0);
    EXPECT_EQ(app.settings.tessellationQuality, 0.3499999940395355);
    EXPECT_EQ(app.previousTessellationQuality, 0.2);
    MoveSpinbox(0.99999);
    EXPECT_EQ(host.slider, 9999);  // truncated toward zero
    MoveSlider(1234);
    EXPECT_EQ(host.spinbox, 0.1234);
    EXPECT_EQ(host.sliderSets, 2);  // by the spin box's two moves only
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

TEST_F(TessellationControls, ADialogNotConfirmedOrFailedLeavesTheQualityItFound) {
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

    // After an action of the dialog failed, no other action's body runs: OK neither takes the
    // values nor saves them, and the dialog fails with the quality it found.
    host.user = [&] {
        MoveSlider(9000);
        GuardDialogAction("Vistrel_Settings", [] { throw std::bad_alloc(); });
        Press("Vistrel_OK");
    };
    EXPECT_THROW(app.ShowSettingsDialog(), std::bad_alloc);
    EXPECT_EQ(app.settings.tessellationQuality, 0.2);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));

    host.user = [&] {
        MoveSlider(9000);
        Press("Vistrel_OK");
    };
    EXPECT_TRUE(app.ShowSettingsDialog());
    EXPECT_EQ(app.settings.tessellationQuality, static_cast<double>(0.9f));
    // A dialog the host does not make fails before anything is added to it.
    host.createAnswer = PRO_TK_GENERAL_ERROR;
    host.actions.clear();
    EXPECT_THROW(app.ShowSettingsDialog(), DialogNotShown);
    EXPECT_TRUE(host.actions.empty());
}

}  // namespace
