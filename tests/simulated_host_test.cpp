// Whole sessions of the simulated host with the real plug-in library: the commands it registers,
// the settings file it writes in the current folder, the scripted user's answers and what the
// host reports when a command or a question goes wrong. Each test runs in a fresh folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "simhost/simulated_host.h"
#include "tests/file_text.h"
#include "tests/plugin_command_line.h"
#include "tests/scoped_temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

class SimulatedHost : public ::testing::Test {
protected:
    void WriteText(const std::string& name, const std::string& text) {
        std::ofstream(folder_.Path() / name, std::ios::binary) << text;
    }

    // Runs simhost with the plug-in, the text folder and a record, plus options and commands.
    int Run(std::vector<std::string> arguments) {
        sim::CommandLine options = PluginCommandLine();
        options.record = "record.json";
        for (size_t i = 0; i < arguments.size(); ++i) {
            const std::string& argument = arguments[i];
            if (argument == "--script") options.script = arguments[++i];
            else if (argument == "--model") options.model = arguments[++i];
            else if (argument == "--save-as") options.saveAs = arguments[++i];
            else if (argument == "--plugin") options.plugin = arguments[++i];
            else options.commands.push_back(argument);
        }
        std::ostringstream out;
        std::ostringstream err;
        const int status = sim::RunSimulatedHost(options, out, err);
        output_ = out.str();
        errors_ = err.str();
        const fs::path record = folder_.Path() / "record.json";
        record_ = fs::exists(record) ? Json::parse(ReadFile(record)) : Json();
        return status;
    }

    ScopedTempFolder folder_;
    std::string output_;
    std::string errors_;
    Json record_;
};

const char* kPartModel = R"({"current": "BRACKET", "models": [{"name": "BRACKET", "type": "part"}]})";

TEST_F(SimulatedHost, ManualSelectionRegistersCommandsAndSavesTheModeHere) {
    ASSERT_EQ(Run({"Manual selection"}), 0) << errors_;
    const Json& commands = record_["commands"];
    ASSERT_EQ(commands.size(), 6u);
    const char* names[] = {"Manual selection", "Automatic selection", "Vistrel Settings",
                           "Vistrel Render", "Vistrel Export", "Vistrel Update"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(commands[i]["name"], names[i]);
    EXPECT_EQ(commands[0]["label"], "vistrelSettingsManual");
    EXPECT_EQ(commands[0]["help"], "vistrelSettingsManualHelp");
    EXPECT_EQ(commands[0]["description"], "vistrelSettingsManualHelp");
    EXPECT_EQ(commands[0]["message_file"], "vistrel_msg.txt");
    EXPECT_EQ(commands[4]["label"], "vistrelExport");
    EXPECT_EQ(commands[4]["description"], "Vistrel export");
    EXPECT_EQ(commands[4]["icon"], "vs_export.png");
    // Registered in automatic mode (no settings file yet), then switched to manual.
    EXPECT_EQ(commands[0]["icons_set"].dump(),
              R"(["vs_update_unchecked.png","vs_update_checked.png","checked.png"])");
    EXPECT_EQ(commands[1]["icons_set"].dump(),
              R"(["vs_update_checked.png","vs_update_unchecked.png","unchecked.png"])");
    EXPECT_EQ(commands[0]["icon"], "checked.png");
    EXPECT_EQ(record_["runs"][0]["answer"], 0);
    EXPECT_TRUE(record_["host_memory"].empty());
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();

    const std::string settings = ReadFile(folder_.Path() / "vistrel_plugin_settings.xml");
    EXPECT_NE(settings.find("<selectionMode>manual</selectionMode>"), std::string::npos) << settings;
    EXPECT_NE(output_.find("6 command(s) registered"), std::string::npos);
}

TEST_F(SimulatedHost, UnknownCommandRunsNothing) {
    EXPECT_EQ(Run({"Manual selection", "Vistrel Teleport"}), 1);
    EXPECT_NE(errors_.find("unknown command \"Vistrel Teleport\"; the plug-in registered: "
                           "\"Manual selection\""),
              std::string::npos)
        << errors_;
    EXPECT_TRUE(record_["runs"].empty());
    EXPECT_FALSE(fs::exists(folder_.Path() / "vistrel_plugin_settings.xml"));
}

TEST_F(SimulatedHost, CancelledSaveDialogExportsNothing) {
    WriteText("script.json", R"({"steps": [{"cancel": "save"}]})");
    ASSERT_EQ(Run({"--script", "script.json", "Vistrel Export"}), 0) << errors_;
    ASSERT_EQ(record_["file_dialogs"].size(), 1u);
    const Json& dialog = record_["file_dialogs"][0];
    EXPECT_EQ(dialog["dialog"], "save");
    EXPECT_EQ(dialog["title"], "Save as vsb");
    EXPECT_EQ(dialog["filter"], "*.vsb");
    EXPECT_EQ(dialog["default_folder"], "");
    EXPECT_TRUE(dialog["answer"].is_null());
    EXPECT_TRUE(record_["dialogs"].empty());
    EXPECT_FALSE(fs::exists(folder_.Path() / "vistrel_plugin_settings.xml"));
}

TEST_F(SimulatedHost, SaveAsAnswersTheDialogAndTheFinishedDialogIsConfirmed) {
    WriteText("model.json", kPartModel);
    ASSERT_EQ(Run({"--model", "model.json", "--save-as", "out.vsb", "Vistrel Export"}), 0) << errors_;
    EXPECT_EQ(record_["file_dialogs"][0]["answer"], "out.vsb");
    ASSERT_EQ(record_["dialogs"].size(), 1u);
    const Json& finished = record_["dialogs"][0];
    EXPECT_EQ(finished["name"], "ExportFinished");
    EXPECT_EQ(finished["controls"][0]["properties"]["text"], "The Vistrel export has finished.");
    EXPECT_EQ(finished["user"]["pressed"][0], "ExportOk");
    EXPECT_EQ(finished["exit_status"], 0);
    const std::string settings = ReadFile(folder_.Path() / "vistrel_plugin_settings.xml");
    EXPECT_NE(settings.find("<exportPath>out.vsb</exportPath>"), std::string::npos);
    EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
}

TEST_F(SimulatedHost, UnansweredQuestionStopsTheSession) {
    EXPECT_EQ(Run({"Vistrel Export", "Manual selection"}), 1);
    EXPECT_NE(errors_.find("stopped: the script does not answer the save dialog \"Save as vsb\": "
                           "it has no steps left"),
              std::string::npos)
        << errors_;
    // The stopped command ends as cancelled; the next command is not run.
    EXPECT_EQ(record_["runs"].size(), 1u);
    EXPECT_FALSE(record_["stopped"].is_null());
}

TEST_F(SimulatedHost, ScriptStepsLeftOverFailTheSession) {
    WriteText("script.json", R"({"steps": [{"cancel": "save"}, {"save": "again.vsb"}]})");
    EXPECT_EQ(Run({"--script", "script.json", "Vistrel Export"}), 1);
    EXPECT_NE(errors_.find("the script has 1 step(s) left that nothing asked for, from step 2 (save)"),
              std::string::npos)
        << errors_;
}

TEST_F(SimulatedHost, BadInputsAreReportedBeforeThePluginLoads) {
    WriteText("script.json", R"({"steps": [{"save": 3}]})");
    EXPECT_EQ(Run({"--script", "script.json", "Vistrel Export"}), 1);
    EXPECT_NE(errors_.find("script step 1: the path must be a non-empty text"), std::string::npos);
    WriteText("model.json", R"({"models": [{"name": "A", "type": "gadget"}]})");
    EXPECT_EQ(Run({"--model", "model.json", "Vistrel Export"}), 1);
    EXPECT_NE(errors_.find("model.json"), std::string::npos) << errors_;
    EXPECT_EQ(Run({"--model", "missing.json", "Vistrel Export"}), 1);
    EXPECT_EQ(Run({"--plugin", "no_such_plugin.so"}), 1);
    EXPECT_NE(errors_.find("cannot load the plug-in library \"no_such_plugin.so\""),
              std::string::npos);
}

}  // namespace
