// The scripted user in front of a running dialog: sets the values of a script step's "set" in
// order, firing each control's action as the host does when the user changes it, then presses
// the step's buttons in order until one of them ends the dialog.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "simhost/dialog_registry.h"
#include "simhost/user_script.h"

namespace sim {

// Plays step on the dialog of that name in registry, noting what the user did in user
// ("set": [...], "pressed": [...]). Answers false with error set when the step cannot be played:
// a control the dialog lacks, a value of the wrong kind or outside the control's range, a button
// pressed after the dialog ended, or no press that ended it.
bool PlayDialogStep(DialogRegistry& registry, const std::string& dialog, const ScriptStep& step,
                    nlohmann::ordered_json& user, std::string& error);

// Presses button of dialog as the user would: calls its action when it has one.
void PressButton(DialogRegistry& registry, const std::string& dialog, const std::string& button);

// The only push button of dialog that has an action, or empty when there are none or several.
std::string SolePushbutton(Dialog& dialog);

}  // namespace sim
