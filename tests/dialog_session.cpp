#include "tests/dialog_session.h"

#include <fstream>
#include <sstream>

#include "simhost/simulated_host.h"
#include "tests/file_text.h"
#include "tests/open_handles.h"
#include "tests/plugin_command_line.h"

namespace {

const char kPartModel[] =
    R"({"current": "BRACKET", "models": [{"name": "BRACKET", "type": "part"}]})";

std::string Element(const std::string& name, const std::string& text) {
    return text.empty() ? "    <" + name + "></" + name + ">\n"
                        : "    <" + name + ">" + text + "</" + name + ">\n";
}

}  // namespace

void DialogSession::WriteText(const std::string& name, const std::string& text) {
    std::ofstream(folder_->Path() / std::filesystem::u8path(name), std::ios::binary) << text;
}

std::string DialogSession::ReadText(const std::string& name) const {
    return ReadFile(folder_->Path() / std::filesystem::u8path(name));
}

bool DialogSession::Run(const std::vector<std::string>& steps,
                        const std::vector<std::string>& commands) {
    if (!std::filesystem::exists(folder_->Path() / "model.json"))
        WriteText("model.json", kPartModel);
    std::string script = R"({"steps": [)";
    for (size_t i = 0; i < steps.size(); ++i) script += (i > 0 ? ", " : "") + steps[i];
    WriteText("script.json", script + "]}");

    sim::CommandLine options = PluginCommandLine();
    options.record = "record.json";
    options.model = "model.json";
    options.script = "script.json";
    options.commands = commands;
    std::ostringstream out;
    std::ostringstream err;
    const std::size_t openFiles = OpenFileCount();
    const int status = sim::RunSimulatedHost(options, out, err);
    EXPECT_EQ(OpenFileCount(), openFiles) << "files left open by the session";
    errors_ = err.str();
    const std::string record = ReadText("record.json");
    record_ = record.empty() ? Json() : Json::parse(record);
    EXPECT_EQ(status, 0) << errors_;
    return status == 0;
}

const DialogSession::Json& DialogSession::Dialog(const std::string& name, size_t n) const {
    static const Json none;
    if (!record_.contains("dialogs")) return none;
    for (const Json& dialog : record_["dialogs"])
        if (dialog["name"] == name && n-- == 0) return dialog;
    return none;
}

const DialogSession::Json& DialogSession::Control(const Json& dialog, const std::string& name) {
    static const Json none;
    if (!dialog.contains("controls")) return none;
    for (const Json& control : dialog["controls"])
        if (control["name"] == name) return control;
    return none;
}

std::string SettingsXml(const std::string& quality, const std::string& upAxis,
                        const std::string& selectionMode, const std::string& includeNurbs,
                        const std::string& separateMaterials, const std::string& prompt,
                        const std::string& exportPath, const std::string& fraPath) {
    return "<?xml version=\"1.0\" ?>\n<vistrel_plugin_settings>\n" +
           Element("tessellationQuality", quality) + Element("upAxis", upAxis) +
           Element("selectionMode", selectionMode) + Element("includeNURBS", includeNurbs) +
           Element("separateMaterials", separateMaterials) + Element("promptForMechanism", prompt) +
           Element("exportPath", exportPath) + Element("fraPath", fraPath) +
           "</vistrel_plugin_settings>\n";
}

std::string GridPlace(int row, int column, bool left, bool right, int cells) {
    nlohmann::ordered_json place = nlohmann::ordered_json::object();
    place["row"] = row;
    place["column"] = column;
    place["cells"] = {cells, 1};
    place["attach"] = {{"top", true}, {"bottom", true}, {"left", left}, {"right", right}};
    place["resize"] = {true, true};
    place["offsets"] = {-1, -1, -1, -1};
    return place.dump();
}
