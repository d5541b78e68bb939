// Commands and the message file: what the plug-in registers (ProCmdActionAdd, ProCmdDesignate,
// ProCmdIconSet) and the texts it asks for (ProMessageToBuffer).
#include "simhost/host_functions.h"
#include "simhost/host_session.h"
#include "simhost/wide_text.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

std::string Text(const char* text) { return text ? text : ""; }

// The file name of a message file as the plug-in passes it (a wide text of at most a path).
std::string MessageFileName(const ProWchar* file) {
    return Utf16ToUtf8(WideFromBuffer(file, PRO_PATH_SIZE));
}

HostCommand* FindCommand(const char* function, uiCmdCmdId id) {
    HostCommand* command = Session().commands.Find(id);
    if (!command) Session().Problem(function, "no command " + std::to_string(id));
    return command;
}

}  // namespace

ProError ProCmdActionAdd(const char* name, uiCmdCmdActFn action, uiCmdPriority priority,
                         uiCmdAccessFn access, ProBoolean allow_in_non_active_window,
                         ProBoolean allow_in_accessory_window, uiCmdCmdId* command) {
    if (!name || !action || !command) {
        Session().Problem("ProCmdActionAdd", "needs a name, an action and an identifier");
        return PRO_TK_BAD_INPUTS;
    }
    const uiCmdCmdId id = Session().commands.Add(name, action, access, priority,
                                                 allow_in_non_active_window != PRO_B_FALSE,
                                                 allow_in_accessory_window != PRO_B_FALSE);
    if (id == 0) {
        Session().Problem("ProCmdActionAdd", "command \"" + Text(name) + "\" cannot be added twice");
        return PRO_TK_GENERAL_ERROR;
    }
    *command = id;
    return PRO_TK_NO_ERROR;
}

ProError ProCmdDesignate(uiCmdCmdId command, const char* label, const char* help,
                         const char* description, const ProWchar* message_file) {
    HostCommand* found = FindCommand("ProCmdDesignate", command);
    if (!found) return PRO_TK_BAD_INPUTS;
    found->designated = true;
    found->labelKey = Text(label);
    found->helpKey = Text(help);
    found->description = Text(description);
    found->messageFile = MessageFileName(message_file);
    return PRO_TK_NO_ERROR;
}

ProError ProCmdIconSet(uiCmdCmdId command, const char* icon_file) {
    HostCommand* found = FindCommand("ProCmdIconSet", command);
    if (!found || !icon_file) return PRO_TK_BAD_INPUTS;
    found->icon = icon_file;
    found->iconHistory.push_back(icon_file);
    return PRO_TK_NO_ERROR;
}

// A key that the file lacks leaves an empty text in the buffer, so the caller never shows
// whatever its buffer held before.
ProError ProMessageToBuffer(ProWchar* buffer, const ProWchar* message_file, const char* key) {
    if (!buffer || !key) return PRO_TK_BAD_INPUTS;
    buffer[0] = 0;
    const std::string fileName = MessageFileName(message_file);
    const MessageFile* file = Session().Messages(fileName);
    const std::u16string* text = file ? file->Find(key) : nullptr;
    Json entry = {{"file", fileName}, {"key", key}};
    if (!text) {
        entry["missing"] = true;
        Session().record.Append("messages", entry);
        if (file) Session().Problem("ProMessageToBuffer", "no key \"" + Text(key) + "\" in " + fileName);
        return PRO_TK_E_NOT_FOUND;
    }
    CopyToWideBuffer(*text, buffer, PRO_LINE_SIZE);
    entry["text"] = Utf16ToUtf8(WideFromBuffer(buffer, PRO_LINE_SIZE));
    Session().record.Append("messages", entry);
    return PRO_TK_NO_ERROR;
}

void RegisterCommandFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProCmdActionAdd);
    SIM_ADD_FUNCTION(table, ProCmdDesignate);
    SIM_ADD_FUNCTION(table, ProCmdIconSet);
    SIM_ADD_FUNCTION(table, ProMessageToBuffer);
}

}  // namespace sim
