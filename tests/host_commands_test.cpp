// The six host commands: their registration, the selection commands and the Export command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "plugin/export_finished_dialog.h"
#include "plugin/host_commands.h"
#include "plugin/plugin_application.h"
#include "plugin/plugin_entry.h"
#include "plugin/settings_file.h"
#include "tests/fake_host.h"
#include "tests/file_text.h"
#include "tests/scoped_temp_folder.h"
#include "ui/settings_dialog.h"

namespace {

using Calls = std::vector<std::string>;

class HostCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { fake_host::Bind(); }
    void TearDown() override {
        PluginTerminate();
        fake_host::Unbind();
    }

    // Starts the plug-in as the host does and forgets the calls of the start-up.
    PluginApplication* Start() {
        ProWchar errors[80] = {};
        PluginInitialize(0, nullptr, nullptr, nullptr, errors);
        fake_host::Host().calls.clear();
        return FindPluginApplication();
    }

    static std::string SettingsFile() { return ReadFile(kSettingsFileName); }

    static std::string Icon(const char* command) {
        return fake_host::Host().commands.at(fake_host::CommandId(command) - 1).icon;
    }

    ScopedTempFolder folder;
};

const char kGrid[] = "column 0 cells 1x1 attach 1111 resize 11 offsets -1 -1 -1 -1";

const Calls kExportFinishedDialog = {
    "ProUIDialogCreate(ExportFinished, (null))",
    std::string("ProUIDialogLabelAdd(ExportFinished, ExportFinishedLabel, row 0 ") + kGrid + ")",
    "ProMessageToBuffer(vistrel_msg.txt, vistrelExportFinishedLabel)",
    "ProUILabelTextSet(ExportFinished, ExportFinishedLabel, text of vistrelExportFinishedLabel)",
    std::string("ProUIDialogPushbuttonAdd(ExportFinished, ExportOk, row 1 ") + kGrid + ")",
    "ProMessageToBuffer(vistrel_msg.txt, vistrelOK)",
    "ProUIPushbuttonTextSet(ExportFinished, ExportOk, text of vistrelOK)",
    "ProUIPushbuttonActivateActionSet(ExportFinished, ExportOk, (null))",
    "ProUIDialogActivate(ExportFinished, (null))",
    "ProUIDialogExit(ExportFinished, 0)",
    "ProUIDialogDestroy(ExportFinished)",
};

Calls Concat(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

// ---- Registration --------------------------------------------------------------------------------

TEST_F(HostCommandsTest, RegistrationAddsSixCommandsInOrderWithKeysAndIcons) {
    ProWchar errors[80] = {};
    PluginInitialize(0, nullptr, nullptr, nullptr, errors);
    EXPECT_EQ(fake_host::Host().calls,
              (Calls{
                  "ProWcharSizeVerify(2)",
                  "ProCmdActionAdd(Manual selection, 2, 1, 0)",
                  "ProCmdDesignate(1, vistrelSettingsManual, vistrelSettingsManualHelp, "
                  "vistrelSettingsManualHelp, vistrel_msg.txt)",
                  "ProCmdActionAdd(Automatic selection, 2, 1, 0)",
                  "ProCmdDesignate(2, vistrelSettingsAutomatic, vistrelSettingsAutomaticHelp, "
                  "vistrelSettingsAutomaticHelp, vistrel_msg.txt)",
                  "ProCmdIconSet(1, vs_update_unchecked.png)",
                  "ProCmdIconSet(2, vs_update_checked.png)",
                  "ProCmdActionAdd(Vistrel Settings, 2, 1, 0)",
                  "ProCmdIconSet(3, vs_settings.png)",
                  "ProCmdActionAdd(Vistrel Render, 2, 1, 0)",
                  "ProCmdIconSet(4, vs_render.png)",
                  "ProCmdActionAdd(Vistrel Export, 2, 1, 0)",
                  "ProCmdIconSet(5, vs_export.png)",
                  "ProCmdActionAdd(Vistrel Update, 2, 1, 0)",
                  "ProCmdIconSet(6, vs_update.png)",
                  "ProCmdDesignate(3, vistrelSettings, vistrelSettingsHelp, Vistrel settings, "
                  "vistrel_msg.txt)",
                  "ProCmdDesignate(4, vistrelRender, vistrelRenderHelp, Vistrel render, "
                  "vistrel_msg.txt)",
                  "ProCmdDesignate(5, vistrelExport, vistrelExportHelp, Vistrel export, "
                  "vistrel_msg.txt)",
                  "ProCmdDesignate(6, vistrelUpdate, vistrelUpdateHelp, Vistrel update, "
                  "vistrel_msg.txt)",
              }));

    const PluginApplication* app = FindPluginApplication();
    EXPECT_EQ(app->manualCommandId, 1);
    EXPECT_EQ(app->automaticCommandId, 2);
    EXPECT_EQ(app->settingsCommandId, 3);
    EXPECT_EQ(app->renderCommandId, 4);
    EXPECT_EQ(app->exportCommandId, 5);
    EXPECT_EQ(app->updateCommandId, 6);

    const uiCmdCmdActFn actions[] = {OnManualSelection, OnAutomaticSelection, OnSettings,
                                     OnRender,          OnExport,             OnUpdate};
    for (std::size_t i = 0; i < 6; ++i) {
        const fake_host::Command& command = fake_host::Host().commands[i];
        EXPECT_EQ(command.action, actions[i]) << command.name;
        ASSERT_EQ(command.access, CommandAccessAvailable) << command.name;
        EXPECT_EQ(command.access(0), ACCESS_AVAILABLE);
        EXPECT_EQ(command.access(5), ACCESS_AVAILABLE);
    }
}

TEST_F(HostCommandsTest, RegistrationInManualModeMarksManualSelection) {
    std::ofstream(kSettingsFileName)
        << "<r><selectionMode>manual</selectionMode></r>";
    Start();
    EXPECT_EQ(Icon("Manual selection"), "vs_update_checked.png");
    EXPECT_EQ(Icon("Automatic selection"), "vs_update_unchecked.png");
}

TEST_F(HostCommandsTest, AHostLackingFunctionsStillStartsAndRunsTheCommands) {
    fake_host::Bind({"ProCmdActionAdd", "ProCmdIconSet", "ProFileSave", "ProMessageToBuffer"});
    ProWchar errors[80] = {};
    EXPECT_EQ(PluginInitialize(0, nullptr, nullptr, nullptr, errors), 0);
    PluginApplication* app = FindPluginApplication();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->manualCommandId, 0);  // never written
    EXPECT_TRUE(fake_host::Host().commands.empty());

    EXPECT_EQ(OnManualSelection(0, nullptr, nullptr), 0);
    EXPECT_NE(SettingsFile().find("<selectionMode>manual</selectionMode>"), std::string::npos);

    // Without a save dialog the Export command ends as on a cancel.
    fake_host::Host().calls.clear();
    EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
    EXPECT_TRUE(fake_host::Host().calls.empty());

    // Without message texts the dialog shows empty texts, not whatever the buffers held.
    fake_host::Host().buttonToPress = "ExportOk";
    ShowExportEndDialog(ExportOutcome::Written, u"");
    EXPECT_EQ(fake_host::CallsStartingWith("ProUILabelTextSet"),
              Calls{"ProUILabelTextSet(ExportFinished, ExportFinishedLabel, )"});
}

// ---- Selection commands --------------------------------------------------------------------------

TEST_F(HostCommandsTest, EachSelectionCommandSavesItsModeAndChecksItself) {
    // Each starts from the other mode; the manual command is 1, the automatic one 2.
    const struct {
        uiCmdCmdActFn command;
        int modeBefore;
        bool manual;
        const char* saved;
        Calls icons;
    } cases[] = {
        {OnManualSelection, 0, true, "<selectionMode>manual</selectionMode>",
         {"ProCmdIconSet(1, vs_update_checked.png)", "ProCmdIconSet(2, vs_update_unchecked.png)",
          "ProCmdIconSet(1, checked.png)", "ProCmdIconSet(2, unchecked.png)"}},
        {OnAutomaticSelection, 1, false, "<selectionMode>automatic</selectionMode>",
         {"ProCmdIconSet(1, vs_update_unchecked.png)", "ProCmdIconSet(2, vs_update_checked.png)",
          "ProCmdIconSet(1, unchecked.png)", "ProCmdIconSet(2, checked.png)"}},
    };
    for (const auto& c : cases) {
        PluginApplication* app = Start();
        app->settings.selectionMode = c.modeBefore;
        EXPECT_EQ(c.command(0, nullptr, nullptr), 0);
        EXPECT_EQ(app->IsManualSelection(), c.manual);
        EXPECT_EQ(fake_host::Host().calls, c.icons);
        EXPECT_NE(SettingsFile().find(c.saved), std::string::npos);
        TearDown();  // each case on a fresh host, without a settings file
        std::filesystem::remove(kSettingsFileName);
        SetUp();
    }
}

// ---- Export command ------------------------------------------------------------------------------

TEST_F(HostCommandsTest, ExportAsksForAFileShowsTheEndAndSavesThePath) {
    PluginApplication* app = Start();
    fake_host::Host().fileSaveResult = u"C:\\scenes\\car.vsb";
    fake_host::Host().buttonToPress = "ExportOk";
    EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);

    EXPECT_EQ(fake_host::Host().calls,
              Concat({"ProFileSave(Save as vsb, *.vsb, (null), (null))"}, kExportFinishedDialog));
    EXPECT_EQ(fake_host::Host().offeredFolder, u"");
    EXPECT_EQ(fake_host::Host().offeredName, u"");
    EXPECT_EQ(app->settings.exportPath, u"C:\\scenes\\car.vsb");
    EXPECT_NE(SettingsFile().find("<exportPath>C:\\scenes\\car.vsb</exportPath>"),
              std::string::npos);
}

TEST_F(HostCommandsTest, ExportOffersTheSavedFolderAndNameLeavingOutWhatDoesNotFit) {
    PluginApplication* app = Start();
    fake_host::Host().fileSaveAnswer = PRO_TK_USER_ABORT;
    const std::u16string longFolder = u"C:\\" + std::u16string(257, u'f');  // 260 characters
    const std::u16string longName = std::u16string(36, u'n') + u".vsb";     // 40 characters
    const struct {
        std::u16string path, folder, name;
    } cases[] = {
        {u"C:\\scenes\\car.vsb", u"C:\\scenes", u"car.vsb"},
        {u"/home/user/car.vsb", u"/home/user", u"car.vsb"},
        {longFolder + u"\\car.vsb", u"", u"car.vsb"},
        {u"C:\\" + longName, u"C:", u""},
        // Just fitting: 259 and 39 characters.
        {longFolder.substr(1) + u"\\" + longName.substr(1), longFolder.substr(1),
         longName.substr(1)},
        // A path without a separator is offered whole, as the folder and as the name.
        {u"car.vsb", u"car.vsb", u"car.vsb"},
    };
    for (const auto& c : cases) {
        app->SetExportPath(c.path.c_str());
        OnExport(0, nullptr, nullptr);
        EXPECT_EQ(fake_host::Host().offeredFolder, c.folder);
        EXPECT_EQ(fake_host::Host().offeredName, c.name);
    }
}

TEST_F(HostCommandsTest, CancelledOrFailedSaveDialogChangesNothing) {
    PluginApplication* app = Start();
    app->SetExportPath(u"C:\\scenes\\car.vsb");
    for (ProError answer : {PRO_TK_USER_ABORT, PRO_TK_GENERAL_ERROR}) {
        fake_host::Host().calls.clear();
        fake_host::Host().fileSaveAnswer = answer;
        fake_host::Host().fileSaveResult = u"C:\\other.vsb";
        EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
        EXPECT_EQ(fake_host::Host().calls, Calls{"ProFileSave(Save as vsb, *.vsb, (null), (null))"});
        EXPECT_EQ(app->settings.exportPath, u"C:\\scenes\\car.vsb");
        EXPECT_FALSE(std::filesystem::exists(kSettingsFileName));
    }
}

TEST_F(HostCommandsTest, SelectionAndExportCommandsCreateTheObjectWhenThereIsNone) {
    EXPECT_EQ(OnAutomaticSelection(0, nullptr, nullptr), 0);
    ASSERT_NE(FindPluginApplication(), nullptr);
    EXPECT_NE(SettingsFile().find("<selectionMode>automatic</selectionMode>"), std::string::npos);
    TearDown();
    SetUp();
    fake_host::Host().fileSaveResult = u"C:\\a.vsb";
    fake_host::Host().buttonToPress = "ExportOk";
    EXPECT_EQ(OnExport(0, nullptr, nullptr), 0);
    ASSERT_NE(FindPluginApplication(), nullptr);
    EXPECT_EQ(FindPluginApplication()->settings.exportPath, u"C:\\a.vsb");
}
