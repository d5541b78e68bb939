// The dialogs that the plug-in builds with the host's dialog toolkit (ProUI...): each dialog by
// name with its controls in the order added, their grid places, the properties set on them and
// their actions. A property's value lives here while the dialog is up, so that what the code
// sets, what the scripted user changes and what the actions read back are one value.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "toolkit/pro_toolkit.h"

namespace sim {

enum class ControlKind {
    Label, Pushbutton, Spinbox, Slider, Checkbutton, Radiogroup, Separator, Layout, Inputpanel
};
const char* ControlKindName(ControlKind kind);

struct ControlAction {
    ProUIAction function = nullptr;
    ProAppData data = nullptr;
};

struct DialogControl {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string layout;  // the layout that holds the control; empty: the dialog's own grid
    ProUIGridopts place{};
    // Properties in the order first set, under the names of the record ("text", "double", ...).
    nlohmann::ordered_json properties = nlohmann::ordered_json::object();
    ControlAction activate;  // push button pressed, check button toggled
    ControlAction update;    // spin box or slider value changed
};

struct Dialog {
    std::string name;
    std::vector<DialogControl> controls;
    bool resizing = true;
    bool active = false;         // inside ProUIDialogActivate
    bool exitRequested = false;  // ProUIDialogExit was called during the activation
    int exitStatus = 0;

    DialogControl* Find(const std::string& control);
};

class DialogRegistry {
public:
    // Creates an empty dialog; false when one of that name exists or the name is empty.
    bool Create(const std::string& name);
    // Removes a dialog; false when there is none or it is running.
    bool Destroy(const std::string& name);
    Dialog* Find(const std::string& name);

    // Adds a control to dialog, inside layout when it is not empty. Fails with a message when the
    // dialog or the layout does not exist, the name is empty or taken in the dialog, or no grid
    // place is given.
    bool AddControl(const std::string& dialog, const std::string& layout, const std::string& name,
                    ControlKind kind, const ProUIGridopts* place, std::string& error);
    // The control name of kind in dialog; null with error set when there is none.
    DialogControl* FindControl(const std::string& dialog, const std::string& name, ControlKind kind,
                               std::string& error);

    std::vector<std::string> Names() const;
    void Clear() { dialogs_.clear(); }

private:
    // Held by pointer: a dialog stays where it is while actions create and destroy others.
    std::map<std::string, std::unique_ptr<Dialog>> dialogs_;
};

// The dialog as the record shows it: name, resizing, and every control with its kind, layout,
// grid place, properties and the actions set on it.
nlohmann::ordered_json DialogToJson(const Dialog& dialog);

}  // namespace sim
