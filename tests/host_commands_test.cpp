// The six host commands against the simulated host, in this process: their registration, the
// selection commands and the Export command.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "plugin/export_finished_dialog.h"
#include "plugin/host_commands.h"
#include "plugin/plugin_entry.h"
#include "plugin/settings_file.h"
#include "simhost/host_session.h"
#include "tests/file_text.h"
#include "tests/scoped_temp_folder.h"
#include "tests/sim_export_fixture.h"
#include "tests/simhost_binding.h"
#include "tests/test_paths.h"
#include "ui/settings_dialog.h"

namespace {

using Json = nlohmann::ordered_json;
using Icons = std::vector<std::string>;

// A world without a current model: an Export that gets a file ends early, without writing it.
const char kNoCurrentModel[] = R"({"models": [{"name": "P", "type": "part"}]})";

class HostCommands : public SimExportTest {
protected:
    // A fresh host session with the message texts and the script, with the function named
    // replaced (missing when replacement is null); the plug-in started as the host starts it.
    PluginApplication* StartPlugin(const std::string& script = "", const char* replaced = nullptr,
                                   void* replacement = nullptr) {
        if (!Start(kNoCurrentModel, script)) return nullptr;
        DestroyPluginApplication();
        sim::Session().textFolder = HostPath(VISTREL_SOURCE_DIR "/text");
        BindSimulatedHost(replaced, replacement);
        ProWchar errors[80] = {};
        EXPECT_EQ(PluginInitialize(0, nullptr, nullptr, nullptr, errors), 0);
        return FindPluginApplication();
    }

    static const Icons& IconsSet(const char* command) {
        return sim::Session().commands.Find(command)->iconHistory;
    }
    static const Json& Recorded(const char* list) {
        static const Json none = Json::array();
        const Json& document = sim::Session().record.Document();
        return document.contains(list) ? document[list] : none;
    }
    static std::string SettingsFile() { return ReadFile(kSettingsFileName); }

    ScopedTempFolder folder;
};

size_t g_wcharSize = 0;
ProError KeepWcharSize(size_t size) {
    g_wcharSize = size;
    return PRO_TK_NO_ERROR;
}

}  // namespace

// ---- Registration --------------------------------------------------------------------------------

TEST_F(HostCommands, StartUpRegistersSixCommandsInOrderWithKeysAndIcons) {
    const struct {
        const char* name;
        uiCmdCmdActFn action;
        const char *label, *help, *description;
        Icons icons;  // registered in automatic mode: no settings file
    } expected[] = {
        {"Manual selection", OnManualSelection, "vistrelSettingsManual",
         "vistrelSettingsManualHelp", "vistrelSettingsManualHelp", {"vs_update_unchecked.png"}},
        {"Automatic selection", OnAutomaticSelection, "vistrelSettingsAutomatic",
         "vistrelSettingsAutomaticHelp", "vistrelSettingsAutomaticHelp", {"vs_update_checked.png"}},
        {"Vistrel Settings", OnSettings, "vistrelSettings", "vistrelSettingsHelp",
         "Vistrel settings", {"vs_settings.png"}},
        {"Vistrel Render", OnRender, "vistrelRender", "vistrelRenderHelp", "Vistrel render",
         {"vs_render.png"}},
        {"Vistrel Export", OnExport, "vistrelExport", "vistrelExportHelp", "Vistrel export",
         {"vs_export.png"}},
        {"Vistrel Update", OnUpdate, "vistrelUpdate", "vistrelUpdateHelp", "Vistrel update",
         {"vs_update.png"}},
    };
    const PluginApplication* app =
        StartPlugin("", "ProWcharSizeVerify", reinterpret_cast<void*>(&KeepWcharSize));
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(g_wcharSize, 2u);
    const std::vector<sim::HostCommand>& commands = sim::Session().commands.All();
    ASSERT_EQ(commands.size(), 6u);
    const uiCmdCmdId ids[] = {app->manualCommandId, app->automaticCommandId,
                              app->settingsCommandId, app->renderCommandId,
                              app->exportCommandId, app->updateCommandId};
    for (size_t i = 0; i < 6; ++i) {
        const sim::HostCommand& command = commands[i];
        SCOPED_TRACE(command.name);
        EXPECT_EQ(command.name, expected[i].name);
        EXPECT_EQ(ids[i], command.id);
        EXPECT_EQ(command.action, expected[i].action);
        EXPECT_EQ(command.priority, 2);
        EXPECT_TRUE(command.nonActiveWindow);
        EXPECT_FALSE(command.accessoryWindow);
        EXPECT_EQ(command.labelKey, expected[i].label);
        EXPECT_EQ(command.helpKey, expected[i].help);
        EXPECT_EQ(command.description, expected[i].description);
        EXPECT_EQ(command.messageFile, "vistrel_msg.txt");
        EXPECT_EQ(command.iconHistory, expected[i].icons);
        ASSERT_EQ(command.access, CommandAccessAvailable);
        EXPECT_EQ(command.access(ACCESS_AVAILABLE), ACCESS_AVAILABLE);
        EXPECT_EQ(command.access(static_cast<uiCmdAccessMode>(5)), ACCESS_AVAILABLE);
    }
    EXPECT_EQ(HostProblems(), "[]");

    // In manual mode the selection commands are marked the other way round.
    std::ofstream(kSettingsFileName) << "<r><selectionMode>manual</selectionMode></r>";
    StartPlugin();
    EXPECT_EQ(IconsSet("Manual selection"), Icons{"vs_update_checked.png"});
    EXPECT_EQ(IconsSet("Automatic selection"), Icons{"vs_update_unchecked.png"});
}

// Each function in turn is one the host lacks (its forwarder answers PRO_TK_COMM_ERROR): the
// plug-in starts all the same, the selection command saves its mode, an Export without a save
// dialog ends as on a cancel, and the end dialog without message texts shows empty ones, not
// whatever the buffers held.
TEST_F(HostCommands, AHostLackingAFunctionStillStartsAndRunsTheCommands) {
    const char kFinished[] = "The Vistrel export has finished.";
    const struct {
        const char* missing;
        size_t commands, saveDialogs;
        const char* told;
    } cases[] = {{"ProCmdActionAdd", 0, 1, kFinished},
                 {"ProCmdIconSet", 6, 1, kFinished},
                 {"ProFileSave", 6, 0, kFinished},
                 {"ProMessageToBuffer", 6, 1, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        std::filesystem::remove(kSettingsFileName);
        PluginApplication* app = StartPlugin(
            R"({"steps": [{"dialog": "ExportFinished", "press": "ExportOk"}, {"cancel": "save"}]})",
            c.missing);
        ASSERT_NE(app, nullptr);
        EXPECT_EQ(sim::Session().commands.All().size(), c.commands);
        EXPECT_EQ(app->manualCommandId, static_cast<uiCmdCmdId>(c.commands > 0 ? 1 : 0));

        EXPECT_EQ(OnManualSelection(0, nullptr, nullptr), 0);
        EXPECT_NE(SettingsFile().find("<selectionMode>manual</selectionMode>"), std::string::npos);

        ShowExportEndDialog(ExportOutcome::Written, u"");
        EXPECT_EQ(Recorded("dialogs")[0]["controls"][0]["properties"]["text"], c.told);

        EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
        EXPECT_EQ(Recorded("file_dialogs").size(), c.saveDialogs);
        EXPECT_EQ(Recorded("dialogs").size(), 1u);
        EXPECT_EQ(app->settings.exportPath, u"");
    }
}

// ---- Selection commands --------------------------------------------------------------------------

TEST_F(HostCommands, EachSelectionCommandSavesItsModeAndChecksItself) {
    // Each starts from the other mode, after a start-up in automatic mode.
    const struct {
        uiCmdCmdActFn command;
        int modeBefore;
        bool manual;
        const char* saved;
        Icons manualIcons, automaticIcons;
    } cases[] = {
        {OnManualSelection, 0, true, "<selectionMode>manual</selectionMode>",
         {"vs_update_unchecked.png", "vs_update_checked.png", "checked.png"},
         {"vs_update_checked.png", "vs_update_unchecked.png", "unchecked.png"}},
        {OnAutomaticSelection, 1, false, "<selectionMode>automatic</selectionMode>",
         {"vs_update_unchecked.png", "vs_update_unchecked.png", "unchecked.png"},
         {"vs_update_checked.png", "vs_update_checked.png", "checked.png"}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(kSettingsFileName);
        PluginApplication* app = StartPlugin();
        ASSERT_NE(app, nullptr);
        app->settings.selectionMode = c.modeBefore;
        EXPECT_EQ(c.command(0, nullptr, nullptr), 0);
        EXPECT_EQ(app->IsManualSelection(), c.manual);
        EXPECT_EQ(IconsSet("Manual selection"), c.manualIcons);
        EXPECT_EQ(IconsSet("Automatic selection"), c.automaticIcons);
        EXPECT_NE(SettingsFile().find(c.saved), std::string::npos);
    }
}

// ---- Export command ------------------------------------------------------------------------------

TEST_F(HostCommands, ExportAsksForAFileShowsTheEndAndSavesThePath) {
    PluginApplication* app = StartPlugin(R"({"steps": [{"save": "C:\\scenes\\car.vsb"},
        {"dialog": "ExportFinished", "press": "ExportOk"}]})");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);

    EXPECT_EQ(Recorded("file_dialogs").dump(),
              R"([{"dialog":"save","title":"Save as vsb","filter":"*.vsb","default_folder":"",)"
              R"("default_name":"","answer":"C:\\scenes\\car.vsb"}])");
    const Json& dialog = Recorded("dialogs")[0];
    EXPECT_EQ(dialog["name"], "ExportFinished");
    // A label over the OK button, each alone in its row and stretched to every side.
    const std::string place = R"("column":0,"cells":[1,1],"attach":{"top":true,"bottom":true,)"
                              R"("left":true,"right":true},"resize":[true,true],)"
                              R"("offsets":[-1,-1,-1,-1]})";
    EXPECT_EQ(dialog["controls"].dump(),
              R"([{"name":"ExportFinishedLabel","kind":"label","place":{"row":0,)" + place +
                  R"(,"properties":{"text":"The Vistrel export has finished."},"actions":[]},)"
                  R"({"name":"ExportOk","kind":"pushbutton","place":{"row":1,)" + place +
                  R"(,"properties":{"text":"OK"},"actions":["activate"]}])");
    EXPECT_EQ(dialog["exit_status"], 0);
    EXPECT_EQ(app->settings.exportPath, u"C:\\scenes\\car.vsb");
    EXPECT_NE(SettingsFile().find("<exportPath>C:\\scenes\\car.vsb</exportPath>"),
              std::string::npos);
    EXPECT_EQ(HostProblems(), "[]");
}

TEST_F(HostCommands, ExportOffersTheSavedFolderAndNameLeavingOutWhatDoesNotFit) {
    const std::string longFolder = "C:\\" + std::string(257, 'f');  // 260 characters
    const std::string longName = std::string(36, 'n') + ".vsb";     // 40 characters
    const struct {
        std::string path, folder, name;
    } cases[] = {
        {"C:\\scenes\\car.vsb", "C:\\scenes", "car.vsb"},
        {"/home/user/car.vsb", "/home/user", "car.vsb"},
        {longFolder + "\\car.vsb", "", "car.vsb"},
        {"C:\\" + longName, "C:", ""},
        // Just fitting: 259 and 39 characters.
        {longFolder.substr(1) + "\\" + longName.substr(1), longFolder.substr(1),
         longName.substr(1)},
        // A path without a separator is offered whole, as the folder and as the name.
        {"car.vsb", "car.vsb", "car.vsb"},
    };
    std::string steps = R"({"cancel": "save"})";
    for (size_t i = 1; i < std::size(cases); ++i) steps += R"(, {"cancel": "save"})";
    PluginApplication* app = StartPlugin(R"({"steps": [)" + steps + "]}");
    ASSERT_NE(app, nullptr);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::u16string path(cases[i].path.begin(), cases[i].path.end());
        app->SetExportPath(path.c_str());
        OnExport(0, nullptr, nullptr);
        const Json& offered = Recorded("file_dialogs")[i];
        EXPECT_EQ(offered["default_folder"], cases[i].folder) << i;
        EXPECT_EQ(offered["default_name"], cases[i].name) << i;
    }
}

// A cancel, and a save dialog that fails even after filling in a path: the command ends with
// nothing changed.
TEST_F(HostCommands, CancelledOrFailedSaveDialogChangesNothing) {
    const struct {
        const char* step;
        bool fails;
    } cases[] = {{R"({"cancel": "save"})", false}, {R"({"save": "C:\\other.vsb"})", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        PluginApplication* app = StartPlugin(std::string(R"({"steps": [)") + c.step + "]}");
        ASSERT_NE(app, nullptr);
        if (c.fails) BindSimulatedHost("ProFileSave", HostFailure::RefusesAfterItsWork);
        app->SetExportPath(u"C:\\scenes\\car.vsb");
        EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
        EXPECT_EQ(Recorded("file_dialogs").size(), 1u);
        EXPECT_EQ(Recorded("dialogs").size(), 0u);
        EXPECT_EQ(app->settings.exportPath, u"C:\\scenes\\car.vsb");
        EXPECT_FALSE(std::filesystem::exists(kSettingsFileName));
    }
}

TEST_F(HostCommands, SelectionAndExportCommandsCreateTheObjectWhenThereIsNone) {
    ASSERT_NE(StartPlugin(R"({"steps": [{"save": "C:\\a.vsb"},
        {"dialog": "ExportFinished", "press": "ExportOk"}]})"), nullptr);
    PluginTerminate();
    EXPECT_EQ(OnAutomaticSelection(0, nullptr, nullptr), 0);
    ASSERT_NE(FindPluginApplication(), nullptr);
    EXPECT_NE(SettingsFile().find("<selectionMode>automatic</selectionMode>"), std::string::npos);
    PluginTerminate();
    EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
    ASSERT_NE(FindPluginApplication(), nullptr);
    EXPECT_EQ(FindPluginApplication()->settings.exportPath, u"C:\\a.vsb");
}
