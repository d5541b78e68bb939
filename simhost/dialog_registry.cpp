#include "simhost/dialog_registry.h"

namespace sim {

using Json = nlohmann::ordered_json;

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label: return "label";
        case ControlKind::Pushbutton: return "pushbutton";
        case ControlKind::Spinbox: return "spinbox";
        case ControlKind::Slider: return "slider";
        case ControlKind::Checkbutton: return "checkbutton";
        case ControlKind::Radiogroup: return "radiogroup";
        case ControlKind::Separator: return "separator";
        case ControlKind::Layout: return "layout";
        case ControlKind::Inputpanel: return "inputpanel";
    }
    return "?";
}

DialogControl* Dialog::Find(const std::string& control) {
    for (DialogControl& candidate : controls)
        if (candidate.name == control) return &candidate;
    return nullptr;
}

bool DialogRegistry::Create(const std::string& name) {
    if (name.empty() || dialogs_.count(name)) return false;
    auto dialog = std::make_unique<Dialog>();
    dialog->name = name;
    dialogs_[name] = std::move(dialog);
    return true;
}

bool DialogRegistry::Destroy(const std::string& name) {
    auto found = dialogs_.find(name);
    if (found == dialogs_.end() || found->second->active) return false;
    dialogs_.erase(found);
    return true;
}

Dialog* DialogRegistry::Find(const std::string& name) {
    auto found = dialogs_.find(name);
    return found == dialogs_.end() ? nullptr : found->second.get();
}

bool DialogRegistry::AddControl(const std::string& dialogName, const std::string& layout,
                                const std::string& name, ControlKind kind,
                                const ProUIGridopts* place, std::string& error) {
    Dialog* dialog = Find(dialogName);
    if (!dialog) {
        error = "no dialog \"" + dialogName + "\"";
        return false;
    }
    if (name.empty() || !place) {
        error = "a control needs a name and a grid place";
        return false;
    }
    if (dialog->Find(name)) {
        error = "dialog \"" + dialogName + "\" has a control \"" + name + "\" already";
        return false;
    }
    if (!layout.empty()) {
        const DialogControl* holder = dialog->Find(layout);
        if (!holder || holder->kind != ControlKind::Layout) {
            error = "dialog \"" + dialogName + "\" has no layout \"" + layout + "\"";
            return false;
        }
    }
    DialogControl control;
    control.name = name;
    control.kind = kind;
    control.layout = layout;
    control.place = *place;
    dialog->controls.push_back(std::move(control));
    return true;
}

DialogControl* DialogRegistry::FindControl(const std::string& dialogName, const std::string& name,
                                           ControlKind kind, std::string& error) {
    Dialog* dialog = Find(dialogName);
    if (!dialog) {
        error = "no dialog \"" + dialogName + "\"";
        return nullptr;
    }
    DialogControl* control = dialog->Find(name);
    if (!control || control->kind != kind) {
        error = "dialog \"" + dialogName + "\" has no " + ControlKindName(kind) + " \"" + name + "\"";
        return nullptr;
    }
    return control;
}

std::vector<std::string> DialogRegistry::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : dialogs_) names.push_back(entry.first);
    return names;
}

namespace {

Json PlaceToJson(const ProUIGridopts& place) {
    auto flag = [](ProBoolean value) { return value != PRO_B_FALSE; };
    Json json = Json::object();
    json["row"] = place.row;
    json["column"] = place.column;
    json["cells"] = {place.horz_cells, place.vert_cells};
    json["attach"] = {{"top", flag(place.attach_top)}, {"bottom", flag(place.attach_bottom)},
                      {"left", flag(place.attach_left)}, {"right", flag(place.attach_right)}};
    json["resize"] = {flag(place.horz_resize), flag(place.vert_resize)};
    json["offsets"] = {place.top_offset, place.bottom_offset, place.left_offset, place.right_offset};
    return json;
}

}  // namespace

Json DialogToJson(const Dialog& dialog) {
    Json json = Json::object();
    json["name"] = dialog.name;
    json["resizing"] = dialog.resizing;
    Json controls = Json::array();
    for (const DialogControl& control : dialog.controls) {
        Json entry = Json::object();
        entry["name"] = control.name;
        entry["kind"] = ControlKindName(control.kind);
        if (!control.layout.empty()) entry["layout"] = control.layout;
        entry["place"] = PlaceToJson(control.place);
        entry["properties"] = control.properties;
        Json actions = Json::array();
        if (control.activate.function) actions.push_back("activate");
        if (control.update.function) actions.push_back("update");
        entry["actions"] = actions;
        controls.push_back(std::move(entry));
    }
    json["controls"] = std::move(controls);
    return json;
}

}  // namespace sim
