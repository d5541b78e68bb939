#include "tests/fake_host.h"

#include <algorithm>

#include "toolkit/pro_function_types.h"
#include "toolkit/toolkit_binding.h"

namespace fake_host {
namespace {

State state;
std::vector<std::string> missingFunctions;

std::string Text(const char* text) { return text != nullptr ? text : "(null)"; }
std::string Text(const ProWchar* text) { return Narrow(text != nullptr ? text : u""); }
std::string Given(const void* pointer, const char* what) { return pointer ? what : "(null)"; }

// Records "function(argument, argument)" and answers PRO_TK_NO_ERROR.
ProError Record(const char* function, const std::vector<std::string>& arguments) {
    std::string call = std::string(function) + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i) call += (i > 0 ? ", " : "") + arguments[i];
    state.calls.push_back(call + ")");
    return PRO_TK_NO_ERROR;
}

ProError WcharSizeVerify(size_t size) {
    return Record("ProWcharSizeVerify", {std::to_string(size)});
}

ProError CmdActionAdd(const char* name, uiCmdCmdActFn action, uiCmdPriority priority,
                      uiCmdAccessFn access, ProBoolean nonActive, ProBoolean accessory,
                      uiCmdCmdId* id) {
    state.commands.push_back(Command{Text(name), action, access, ""});
    *id = static_cast<uiCmdCmdId>(state.commands.size());
    return Record("ProCmdActionAdd", {Text(name), std::to_string(priority),
                                      std::to_string(nonActive), std::to_string(accessory)});
}

ProError CmdDesignate(uiCmdCmdId id, const char* label, const char* help, const char* description,
                      const ProWchar* messageFile) {
    return Record("ProCmdDesignate", {std::to_string(id), Text(label), Text(help),
                                      Text(description), Text(messageFile)});
}

ProError CmdIconSet(uiCmdCmdId id, const char* icon) {
    if (id >= 1 && id <= static_cast<int>(state.commands.size())) {
        state.commands[id - 1].icon = Text(icon);
    }
    return Record("ProCmdIconSet", {std::to_string(id), Text(icon)});
}

ProError FileSave(const ProWchar* title, const ProWchar* filter, ProPath* shortcutPaths,
                  ProName* shortcutNames, const ProWchar* folder, const ProWchar* name,
                  ProWchar* result) {
    state.offeredFolder = folder != nullptr ? folder : u"";
    state.offeredName = name != nullptr ? name : u"";
    Record("ProFileSave", {Text(title), Text(filter), Given(shortcutPaths, "paths"),
                           Given(shortcutNames, "names")});
    if (state.fileSaveAnswer == PRO_TK_NO_ERROR) {
        const std::u16string& path = state.fileSaveResult;
        const std::size_t n = std::min<std::size_t>(path.size(), PRO_PATH_SIZE - 1);
        std::copy(path.begin(), path.begin() + n, result);
        result[n] = 0;
    }
    return state.fileSaveAnswer;
}

ProError MessageToBuffer(ProWchar* buffer, const ProWchar* file, const char* key) {
    const std::string text = "text of " + Text(key);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return Record("ProMessageToBuffer", {Text(file), Text(key)});
}

std::string Grid(const ProUIGridopts* g) {
    return "row " + std::to_string(g->row) + " column " + std::to_string(g->column) + " cells " +
           std::to_string(g->horz_cells) + "x" + std::to_string(g->vert_cells) + " attach " +
           std::to_string(g->attach_top) + std::to_string(g->attach_bottom) +
           std::to_string(g->attach_left) + std::to_string(g->attach_right) + " resize " +
           std::to_string(g->horz_resize) + std::to_string(g->vert_resize) + " offsets " +
           std::to_string(g->top_offset) + " " + std::to_string(g->bottom_offset) + " " +
           std::to_string(g->left_offset) + " " + std::to_string(g->right_offset);
}

ProError DialogCreate(const char* dialog, const char* resource) {
    return Record("ProUIDialogCreate", {Text(dialog), Text(resource)});
}

ProError DialogLabelAdd(const char* dialog, const char* component, ProUIGridopts* grid) {
    return Record("ProUIDialogLabelAdd", {Text(dialog), Text(component), Grid(grid)});
}

ProError DialogPushbuttonAdd(const char* dialog, const char* component, ProUIGridopts* grid) {
    return Record("ProUIDialogPushbuttonAdd", {Text(dialog), Text(component), Grid(grid)});
}

ProError LabelTextSet(const char* dialog, const char* component, const ProWchar* text) {
    return Record("ProUILabelTextSet", {Text(dialog), Text(component), Text(text)});
}

ProError PushbuttonTextSet(const char* dialog, const char* component, const ProWchar* text) {
    return Record("ProUIPushbuttonTextSet", {Text(dialog), Text(component), Text(text)});
}

ProError PushbuttonActivateActionSet(const char* dialog, const char* component, ProUIAction action,
                                     ProAppData data) {
    state.buttonActions[Text(dialog) + "/" + Text(component)] = action;
    return Record("ProUIPushbuttonActivateActionSet",
                  {Text(dialog), Text(component), Given(data, "data")});
}

ProError DialogActivate(const char* dialog, int* status) {
    Record("ProUIDialogActivate", {Text(dialog), Given(status, "status")});
    const auto pressed = state.buttonActions.find(Text(dialog) + "/" + state.buttonToPress);
    if (pressed == state.buttonActions.end()) return PRO_TK_GENERAL_ERROR;
    pressed->second(dialog, state.buttonToPress.c_str(), nullptr);
    if (status != nullptr) *status = state.exitStatus;
    return PRO_TK_NO_ERROR;
}

ProError DialogExit(const char* dialog, int status) {
    state.exitStatus = status;
    return Record("ProUIDialogExit", {Text(dialog), std::to_string(status)});
}

ProError DialogDestroy(const char* dialog) { return Record("ProUIDialogDestroy", {Text(dialog)}); }

struct Entry {
    const char* name;
    void* address;
};

// Each address is converted from the function type the plug-in calls through, so a fake with
// another signature does not compile.
#define FAKE(Name, Function) \
    Entry { #Name, reinterpret_cast<void*>(static_cast<Name##_fn>(Function)) }

const Entry kFunctions[] = {
    FAKE(ProWcharSizeVerify, WcharSizeVerify),
    FAKE(ProCmdActionAdd, CmdActionAdd),
    FAKE(ProCmdDesignate, CmdDesignate),
    FAKE(ProCmdIconSet, CmdIconSet),
    FAKE(ProFileSave, FileSave),
    FAKE(ProMessageToBuffer, MessageToBuffer),
    FAKE(ProUIDialogCreate, DialogCreate),
    FAKE(ProUIDialogLabelAdd, DialogLabelAdd),
    FAKE(ProUIDialogPushbuttonAdd, DialogPushbuttonAdd),
    FAKE(ProUILabelTextSet, LabelTextSet),
    FAKE(ProUIPushbuttonTextSet, PushbuttonTextSet),
    FAKE(ProUIPushbuttonActivateActionSet, PushbuttonActivateActionSet),
    FAKE(ProUIDialogActivate, DialogActivate),
    FAKE(ProUIDialogExit, DialogExit),
    FAKE(ProUIDialogDestroy, DialogDestroy),
};

#undef FAKE

void* Lookup(const char* name) {
    const std::string wanted(name);
    if (std::find(missingFunctions.begin(), missingFunctions.end(), wanted) !=
        missingFunctions.end()) {
        return nullptr;
    }
    for (const Entry& entry : kFunctions) {
        if (wanted == entry.name) return entry.address;
    }
    return nullptr;
}

}  // namespace

State& Host() { return state; }

void Bind(const std::vector<std::string>& missing) {
    state = State();
    missingFunctions = missing;
    ToolkitBind(Lookup);
}

void Unbind() { ToolkitUnbind(); }

uiCmdCmdId CommandId(const std::string& name) {
    for (std::size_t i = 0; i < state.commands.size(); ++i) {
        if (state.commands[i].name == name) return static_cast<uiCmdCmdId>(i + 1);
    }
    return 0;
}

std::vector<std::string> CallsStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& call : state.calls) {
        if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
    }
    return found;
}

std::string Narrow(const std::u16string& text) {
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace fake_host
