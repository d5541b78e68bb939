#include "simhost/dialog_player.h"

#include <limits>

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

// Calls action of control the way the host does: with the dialog's and the control's name and
// the action's data. The action may change the registry, so nothing is held across the call. An
// exception cannot pass through the host: it ends the process, as it would the real host.
void Fire(const std::string& dialog, const std::string& control, ControlAction action) noexcept {
    if (action.function) action.function(dialog.c_str(), control.c_str(), action.data);
}

bool InRange(const Json& properties, const char* minimum, const char* maximum, double value) {
    if (properties.contains(minimum) && value < properties[minimum].get<double>()) return false;
    if (properties.contains(maximum) && value > properties[maximum].get<double>()) return false;
    return true;
}

bool IsOneOf(const Json& names, const std::string& name) {
    if (!names.is_array()) return false;
    for (const Json& candidate : names)
        if (candidate == name) return true;
    return false;
}

// Sets one value as the user would; answers the action to fire, or sets error.
bool SetValue(DialogControl& control, const Json& value, ControlAction& fire, std::string& error) {
    Json& properties = control.properties;
    const std::string what = std::string(ControlKindName(control.kind)) + " \"" + control.name + "\"";
    switch (control.kind) {
        case ControlKind::Spinbox:
            if (!value.is_number()) break;
            if (!InRange(properties, "min_double", "max_double", value.get<double>())) {
                error = "value " + value.dump() + " lies outside the range of " + what;
                return false;
            }
            properties["double"] = value.get<double>();
            fire = control.update;
            return true;
        case ControlKind::Slider:
            if (!value.is_number_integer() || value.get<long long>() < std::numeric_limits<int>::min() ||
                value.get<long long>() > std::numeric_limits<int>::max())
                break;
            if (!InRange(properties, "min_integer", "max_integer", value.get<double>())) {
                error = "value " + value.dump() + " lies outside the range of " + what;
                return false;
            }
            properties["integer"] = value.get<int>();
            fire = control.update;
            return true;
        case ControlKind::Checkbutton:
            if (!value.is_boolean()) break;
            properties["set"] = value.get<bool>();
            fire = control.activate;
            return true;
        case ControlKind::Radiogroup:
            if (!value.is_string()) break;
            if (!properties.contains("names") || !IsOneOf(properties["names"], value.get<std::string>())) {
                error = what + " has no button " + value.dump();
                return false;
            }
            properties["selected_names"] = Json::array({value});
            return true;
        case ControlKind::Inputpanel:
            if (!value.is_string()) break;
            properties["value"] = value;
            return true;
        default:
            error = "the user cannot set the " + what;
            return false;
    }
    error = "value " + value.dump() + " does not suit the " + what;
    return false;
}

bool ApplySets(DialogRegistry& registry, const std::string& dialogName, const ScriptStep& step,
               Json& user, std::string& error) {
    for (const auto& set : step.sets) {
        Dialog* dialog = registry.Find(dialogName);
        DialogControl* control = dialog ? dialog->Find(set.first) : nullptr;
        if (!control) {
            error = "dialog \"" + dialogName + "\" has no control \"" + set.first + "\"";
            return false;
        }
        ControlAction fire;
        if (!SetValue(*control, set.second, fire, error)) return false;
        user["set"].push_back({{"control", set.first}, {"value", set.second}});
        Fire(dialogName, set.first, fire);
    }
    return true;
}

bool ApplyPresses(DialogRegistry& registry, const std::string& dialogName, const ScriptStep& step,
                  Json& user, std::string& error) {
    for (const std::string& button : step.presses) {
        Dialog* dialog = registry.Find(dialogName);
        if (!dialog) break;
        if (dialog->exitRequested) {
            error = "button \"" + button + "\" is pressed after the dialog has ended";
            return false;
        }
        const DialogControl* control = dialog->Find(button);
        if (!control || control->kind != ControlKind::Pushbutton) {
            error = "dialog \"" + dialogName + "\" has no push button \"" + button + "\"";
            return false;
        }
        user["pressed"].push_back(button);
        PressButton(registry, dialogName, button);
    }
    Dialog* dialog = registry.Find(dialogName);
    if (!dialog || !dialog->exitRequested) {
        error = "the dialog is still open after the script's last press";
        return false;
    }
    return true;
}

}  // namespace

bool PlayDialogStep(DialogRegistry& registry, const std::string& dialog, const ScriptStep& step,
                    Json& user, std::string& error) {
    user["set"] = Json::array();
    user["pressed"] = Json::array();
    return ApplySets(registry, dialog, step, user, error) &&
           ApplyPresses(registry, dialog, step, user, error);
}

void PressButton(DialogRegistry& registry, const std::string& dialog, const std::string& button) {
    Dialog* found = registry.Find(dialog);
    const DialogControl* control = found ? found->Find(button) : nullptr;
    if (control) Fire(dialog, button, control->activate);
}

std::string SolePushbutton(Dialog& dialog) {
    std::string sole;
    for (const DialogControl& control : dialog.controls) {
        if (control.kind != ControlKind::Pushbutton || !control.activate.function) continue;
        if (!sole.empty()) return "";
        sole = control.name;
    }
    return sole;
}

}  // namespace sim
