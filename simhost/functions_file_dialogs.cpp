// The host's file dialogs (ProFileSave, ProFileOpen), answered by the scripted user: a path, or
// a cancel (PRO_TK_USER_ABORT). A save dialog the script does not answer takes the standing
// answer of --save-as when there is one.
#include "simhost/host_functions.h"
#include "simhost/host_session.h"
#include "simhost/wide_text.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

// Titles and filters are short texts; the bound only keeps a missing terminator from running on.
constexpr size_t kTextLimit = 1024;

std::string DialogText(const ProWchar* text, size_t limit) {
    return Utf16ToUtf8(WideFromBuffer(text, limit));
}

// The answer to the dialog: the step of the script, or --save-as for a save dialog; null when
// unanswered (the session is stopped then).
const ScriptStep* DialogAnswer(Question question, const std::string& title, std::string& standing) {
    HostSession& session = Session();
    const ScriptStep* next = session.script.Next();
    const bool scripted = next && next->question == question;
    if (question == Question::SaveDialog && !scripted && !session.saveAs.empty() &&
        !session.Stopped()) {
        standing = session.saveAs;
        return nullptr;
    }
    const std::string what = std::string(question == Question::SaveDialog ? "save" : "open") +
                             " dialog \"" + title + "\"";
    return session.TakeAnswer(question, what);
}

ProError FileDialog(Question question, const ProWchar* title, const ProWchar* filter,
                    const ProWchar* default_folder, const ProWchar* default_name,
                    ProWchar* result) {
    HostSession& session = Session();
    const char* kind = question == Question::SaveDialog ? "save" : "open";
    Json entry = {{"dialog", kind},
                  {"title", DialogText(title, kTextLimit)},
                  {"filter", DialogText(filter, kTextLimit)},
                  {"default_folder", DialogText(default_folder, PRO_PATH_SIZE)},
                  {"default_name", DialogText(default_name, PRO_PATH_SIZE)}};
    std::string path;
    const ScriptStep* step = DialogAnswer(question, entry["title"].get<std::string>(), path);
    if (step && !step->cancel) path = step->text;
    const std::u16string widePath = Utf8ToUtf16(path);
    if (!path.empty() && widePath.size() >= static_cast<size_t>(PRO_PATH_SIZE)) {
        session.Stop(std::string("the ") + kind + " dialog's answer is longer than the host's " +
                     std::to_string(PRO_PATH_SIZE - 1) + " characters: " + path);
        path.clear();
    }
    if (path.empty() || !result) {
        entry["answer"] = nullptr;  // cancelled, or no answer
        session.record.Append("file_dialogs", entry);
        return result ? PRO_TK_USER_ABORT : PRO_TK_BAD_INPUTS;
    }
    CopyToWideBuffer(widePath, result, PRO_PATH_SIZE);
    entry["answer"] = path;
    session.record.Append("file_dialogs", entry);
    return PRO_TK_NO_ERROR;
}

}  // namespace

ProError ProFileOpen(const ProWchar* title, const ProWchar* filter, ProPath* /*shortcut_paths*/,
                     ProName* /*shortcut_names*/, const ProWchar* default_folder,
                     const ProWchar* default_name, ProWchar* result) {
    return FileDialog(Question::OpenDialog, title, filter, default_folder, default_name, result);
}

ProError ProFileSave(const ProWchar* title, const ProWchar* filter, ProPath* /*shortcut_paths*/,
                     ProName* /*shortcut_names*/, const ProWchar* default_folder,
                     const ProWchar* default_name, ProWchar* result) {
    return FileDialog(Question::SaveDialog, title, filter, default_folder, default_name, result);
}

void RegisterFileDialogFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProFileOpen);
    SIM_ADD_FUNCTION(table, ProFileSave);
}

}  // namespace sim
