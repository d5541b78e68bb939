// A small fake of the host for the plug-in core's tests: bound through ToolkitBind, it answers
// the command, file-dialog, message and dialog functions, and records every call in order as
// one line of text ("ProCmdIconSet(3, vs_render.png)").
#pragma once

#include <map>
#include <string>
#include <vector>

#include "toolkit/pro_toolkit.h"

namespace fake_host {

struct Command {
    std::string name;
    uiCmdCmdActFn action = nullptr;
    uiCmdAccessFn access = nullptr;
    std::string icon;  // the icon set last
};

// What the fake host holds and answers; reset by Bind.
struct State {
    std::vector<std::string> calls;
    std::vector<Command> commands;  // registered, by identifier - 1

    // ProFileSave: the answer, the path it gives, and the defaults it was offered.
    ProError fileSaveAnswer = PRO_TK_NO_ERROR;
    std::u16string fileSaveResult;
    std::u16string offeredFolder;
    std::u16string offeredName;

    // ProUIDialogActivate presses this button of the dialog (its action must end the dialog).
    std::string buttonToPress;
    std::map<std::string, ProUIAction> buttonActions;  // "dialog/button" -> action
    int exitStatus = 1;                                  // the status ProUIDialogExit got
};

State& Host();

// Resets the state and binds the fake host; functions named in missing answer as ones the
// host lacks.
void Bind(const std::vector<std::string>& missing = {});
void Unbind();

// The identifier of the command registered under name; 0 when there is none.
uiCmdCmdId CommandId(const std::string& name);

// The calls whose text starts with prefix, in order.
std::vector<std::string> CallsStartingWith(const std::string& prefix);

// Narrow text of a wide string (ASCII only; other characters as "?").
std::string Narrow(const std::u16string& text);

}  // namespace fake_host
