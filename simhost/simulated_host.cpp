#include "simhost/simulated_host.h"

#include <chrono>
#include <thread>

#include "simhost/console_capture.h"
#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_session.h"
#include "simhost/host_world.h"
#include "simhost/model/model_file.h"
#include "simhost/model/world.h"
#include "simhost/model_change.h"
#include "simhost/model_functions.h"
#include "simhost/plugin_library.h"
#include "simhost/wide_text.h"
#include "toolkit/plugin_entry.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

// The table that the plug-in's lookup reads while it is loaded.
const FunctionTable* g_activeTable = nullptr;

void* LookupHostFunction(const char* name) {
    return g_activeTable && name ? g_activeTable->Find(name) : nullptr;
}

// Reads the inputs of the session: the script and the model file.
bool PrepareSession(const CommandLine& options, std::ostream& err) {
    HostSession& session = Session();
    session.saveAs = options.saveAs;
    session.textFolder = options.textFolder;
    std::string error;
    if (!options.script.empty() && !session.script.Load(options.script, error)) {
        err << "simhost: " << error << "\n";
        return false;
    }
    if (!options.model.empty() && !LoadModelFile(options.model, HostWorld(), error)) {
        err << "simhost: " << error << "\n";
        return false;
    }
    return true;
}

// The script's model changes and pauses that stand before the next command.
bool ApplyModelChanges(HostSession& session) {
    while (const ScriptStep* step = session.script.Next()) {
        if (step->question == Question::Pause) {
            std::this_thread::sleep_for(std::chrono::milliseconds(step->pauseMs));
            session.script.Take();
            continue;
        }
        if (step->question != Question::ModelChange) break;
        std::string error;
        if (!ApplyModelChange(HostWorld(), step->change, error)) {
            session.Stop("script " + step->Describe() + ": " + error);
            return false;
        }
        session.script.Take();
    }
    return true;
}

// The host is C: an exception thrown by the plug-in's command cannot pass through it and ends the
// process, as it would end the real host.
int CallAction(const HostCommand& command) noexcept {
    return command.action(command.id, nullptr, nullptr);
}

// Runs one registered command as the host's event loop would: asks its access function, then
// calls its action, catching what the plug-in prints meanwhile.
bool RunCommand(HostSession& session, const std::string& name, std::ostream& err) {
    HostCommand* command = session.commands.Find(name);
    Json run = {{"command", name}};
    if (command->access && command->access(0) != ACCESS_AVAILABLE) {
        run["unavailable"] = true;
        session.record.Append("runs", run);
        err << "simhost: command \"" << name << "\" is not available\n";
        return false;
    }
    ConsoleCapture capture;
    capture.Begin();
    const int answer = CallAction(*command);
    const std::string console = capture.End();
    session.record.AddConsole(console);
    run["answer"] = answer;
    run["console"] = console;
    if (session.Stopped()) run["stopped"] = session.StopMessage();
    session.record.Append("runs", run);
    return true;
}

Json CommandsToJson(const CommandRegistry& commands) {
    Json list = Json::array();
    for (const HostCommand& command : commands.All()) {
        Json entry = {{"name", command.name}, {"id", command.id}, {"priority", command.priority}};
        if (command.designated) {
            entry["label"] = command.labelKey;
            entry["help"] = command.helpKey;
            entry["description"] = command.description;
            entry["message_file"] = command.messageFile;
        }
        entry["icon"] = command.icon;
        entry["icons_set"] = command.iconHistory;
        list.push_back(std::move(entry));
    }
    return list;
}

bool CheckCommands(HostSession& session, const std::vector<std::string>& names, std::ostream& err) {
    for (const std::string& name : names) {
        if (session.commands.Find(name)) continue;
        err << "simhost: unknown command \"" << name << "\"; the plug-in registered:";
        for (const HostCommand& command : session.commands.All()) err << " \"" << command.name << "\"";
        err << "\n";
        return false;
    }
    return true;
}

// What the session leaves behind: dialogs never destroyed, unused script steps, host memory.
void Conclude(HostSession& session, bool& failed, std::ostream& err) {
    for (const std::string& dialog : session.dialogs.Names())
        session.Problem("ProUIDialogDestroy", "dialog \"" + dialog + "\" was never destroyed");
    if (!session.Stopped() && session.script.Remaining() > 0) {
        err << "simhost: the script has " << session.script.Remaining()
            << " step(s) left that nothing asked for, from " << session.script.Next()->Describe() << "\n";
        failed = true;
    }
    std::vector<std::string> unreleased = DescribeLiveHostBlocks();
    if (const size_t records = LiveModelRecords())
        unreleased.push_back(std::to_string(records) + " model record(s) (tessellations, interface data, ...)");
    session.record.Set("host_memory", unreleased);
    session.record.Set("commands", CommandsToJson(session.commands));
    if (session.Stopped()) session.record.Set("stopped", session.StopMessage());
}

void Summarize(HostSession& session, const CommandLine& options, std::ostream& out) {
    const Json& record = session.record.Document();
    out << "simhost: " << record["commands"].size() << " command(s) registered\n";
    for (const Json& run : record["runs"]) {
        out << "  ran \"" << run["command"].get<std::string>() << "\"";
        if (run.contains("answer")) out << ", answer " << run["answer"].get<int>();
        out << "\n";
        if (run.contains("console") && !run["console"].get<std::string>().empty())
            out << "  console: " << run["console"].get<std::string>() << "\n";
    }
    for (const Json& dialog : record["dialogs"])
        out << "  dialog \"" << dialog["name"].get<std::string>() << "\", exit status "
            << dialog["exit_status"].get<int>() << "\n";
    if (!record["problems"].empty())
        out << "  " << record["problems"].size() << " toolkit call(s) refused, first: "
            << record["problems"][0].get<std::string>() << "\n";
    out << "  host memory not freed: " << record["host_memory"].size() << " block(s)\n";
    if (!options.record.empty()) out << "  record: " << options.record << "\n";
}

// Loads and starts the plug-in; false with a message when it cannot.
bool StartPlugin(PluginLibrary& library, const std::string& path, std::ostream& err) {
    std::string error;
    if (!library.Open(path, error)) {
        err << "simhost: " << error << "\n";
        return false;
    }
    auto initialize = reinterpret_cast<UserInitializePlusFn>(library.Find("user_initialize_plus"));
    if (!initialize || !library.Find("user_terminate_plus")) {
        err << "simhost: \"" << path << "\" exports no user_initialize_plus / user_terminate_plus\n";
        return false;
    }
    char program[] = "simhost";
    char* argv[] = {program, nullptr};
    char version[] = "simhost";
    char build[] = "1";
    ProWchar errbuf[80] = {};
    const int status = initialize(LookupHostFunction, 1, argv, version, build, errbuf);
    if (status != 0) {
        err << "simhost: the plug-in did not start (status " << status << ")";
        const std::u16string text = WideFromBuffer(errbuf, 80);
        if (!text.empty()) err << ": " << Utf16ToUtf8(text);
        err << "\n";
        return false;
    }
    return true;
}

}  // namespace

int RunSimulatedHost(const CommandLine& options, std::ostream& out, std::ostream& err) {
    ResetSession();
    HostWorld() = World{};
    HostSession& session = Session();
    if (!PrepareSession(options, err)) return 1;

    FunctionTable table;
    RegisterRuntimeFunctions(table);
    RegisterModelFunctions(table);
    g_activeTable = &table;
    PluginLibrary library;
    bool failed = !StartPlugin(library, options.plugin, err);
    if (!failed) {
        failed = !CheckCommands(session, options.commands, err);
        for (size_t i = 0; !failed && i < options.commands.size() && !session.Stopped(); ++i)
            if (ApplyModelChanges(session)) failed = !RunCommand(session, options.commands[i], err);
        reinterpret_cast<UserTerminatePlusFn>(library.Find("user_terminate_plus"))();
    }
    library.Close();
    g_activeTable = nullptr;

    Conclude(session, failed, err);
    if (session.Stopped()) {
        err << "simhost: stopped: " << session.StopMessage() << "\n";
        failed = true;
    }
    std::string error;
    if (!options.record.empty() && !session.record.Write(options.record, error)) {
        err << "simhost: " << error << "\n";
        failed = true;
    }
    Summarize(session, options, out);
    return failed ? 1 : 0;
}

}  // namespace sim
