// Properties of dialog controls: what the plug-in sets on a control is kept under the record's
// property name, and what it reads back is that same value, possibly changed by the scripted
// user meanwhile. A call on a control the dialog lacks (or of another kind) is refused and noted.
#include "simhost/host_functions.h"
#include "simhost/host_memory.h"
#include "simhost/host_session.h"
#include "simhost/wide_text.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

// Texts of controls are short; the bound only keeps a missing terminator from running on.
constexpr size_t kTextLimit = 4096;
// Radio groups name a handful of buttons; more is taken as a bad count.
constexpr int kMaxNames = 1000;

std::string Text(const char* text) { return text ? text : ""; }

// Finds the control and hands it to change; refuses (and notes) a missing one.
template <class Change>
ProError WithControl(const char* function, const char* dialog, const char* component,
                     ControlKind kind, Change change) {
    std::string error;
    DialogControl* control = Session().dialogs.FindControl(Text(dialog), Text(component), kind, error);
    if (!control) {
        Session().Problem(function, error);
        return PRO_TK_E_NOT_FOUND;
    }
    return change(*control);
}

ProError SetProperty(const char* function, const char* dialog, const char* component,
                     ControlKind kind, const char* property, Json value) {
    return WithControl(function, dialog, component, kind, [&](DialogControl& control) {
        control.properties[property] = std::move(value);
        return PRO_TK_NO_ERROR;
    });
}

Json WideProperty(const ProWchar* text) { return Utf16ToUtf8(WideFromBuffer(text, kTextLimit)); }

ProError SetAction(const char* function, const char* dialog, const char* component,
                   ControlKind kind, ControlAction DialogControl::*slot, ProUIAction action,
                   ProAppData data) {
    return WithControl(function, dialog, component, kind, [&](DialogControl& control) {
        control.*slot = ControlAction{action, data};
        return PRO_TK_NO_ERROR;
    });
}

ProError Unattach(const char* function, const char* dialog, const char* component,
                  ControlKind kind, ProBoolean ProUIGridopts::*side) {
    return WithControl(function, dialog, component, kind, [&](DialogControl& control) {
        control.place.*side = PRO_B_FALSE;
        return PRO_TK_NO_ERROR;
    });
}

// The value of property, or fallback when it was never set (a new control holds 0 or nothing).
template <class T>
T PropertyOr(const DialogControl& control, const char* property, T fallback) {
    return control.properties.contains(property) ? control.properties[property].get<T>() : fallback;
}

bool NamesArgument(const char* function, int count, const char* const* names, Json& out) {
    if (count < 0 || count > kMaxNames || (count > 0 && !names)) {
        Session().Problem(function, "bad list of " + std::to_string(count) + " names");
        return false;
    }
    out = Json::array();
    for (int i = 0; i < count; ++i) out.push_back(Text(names[i]));
    return true;
}

}  // namespace

// ---- Layouts and labels ----

ProError ProUILayoutUnattachLeft(const char* dialog, const char* component) {
    return Unattach("ProUILayoutUnattachLeft", dialog, component, ControlKind::Layout,
                    &ProUIGridopts::attach_left);
}
ProError ProUILayoutUnattachRight(const char* dialog, const char* component) {
    return Unattach("ProUILayoutUnattachRight", dialog, component, ControlKind::Layout,
                    &ProUIGridopts::attach_right);
}
ProError ProUILabelUnattachLeft(const char* dialog, const char* component) {
    return Unattach("ProUILabelUnattachLeft", dialog, component, ControlKind::Label,
                    &ProUIGridopts::attach_left);
}
ProError ProUILabelUnattachRight(const char* dialog, const char* component) {
    return Unattach("ProUILabelUnattachRight", dialog, component, ControlKind::Label,
                    &ProUIGridopts::attach_right);
}
ProError ProUILabelTextSet(const char* dialog, const char* component, const ProWchar* text) {
    return SetProperty("ProUILabelTextSet", dialog, component, ControlKind::Label, "text",
                       WideProperty(text));
}

// ---- Push buttons ----

ProError ProUIPushbuttonTextSet(const char* dialog, const char* component, const ProWchar* text) {
    return SetProperty("ProUIPushbuttonTextSet", dialog, component, ControlKind::Pushbutton,
                       "text", WideProperty(text));
}
ProError ProUIPushbuttonHelptextSet(const char* dialog, const char* component, const ProWchar* text) {
    return SetProperty("ProUIPushbuttonHelptextSet", dialog, component, ControlKind::Pushbutton,
                       "help_text", WideProperty(text));
}
ProError ProUIPushbuttonActivateActionSet(const char* dialog, const char* component,
                                          ProUIAction action, ProAppData data) {
    return SetAction("ProUIPushbuttonActivateActionSet", dialog, component,
                     ControlKind::Pushbutton, &DialogControl::activate, action, data);
}

// ---- Spin boxes ----

ProError ProUISpinboxInputtypeSet(const char* dialog, const char* component, ProUIInputtype type) {
    return SetProperty("ProUISpinboxInputtypeSet", dialog, component, ControlKind::Spinbox,
                       "input_type", type);
}
ProError ProUISpinboxDigitsSet(const char* dialog, const char* component, int digits) {
    return SetProperty("ProUISpinboxDigitsSet", dialog, component, ControlKind::Spinbox, "digits",
                       digits);
}
ProError ProUISpinboxDoubleSet(const char* dialog, const char* component, double value) {
    return SetProperty("ProUISpinboxDoubleSet", dialog, component, ControlKind::Spinbox, "double",
                       value);
}
ProError ProUISpinboxDoubleGet(const char* dialog, const char* component, double* value) {
    if (!value) return PRO_TK_BAD_INPUTS;
    return WithControl("ProUISpinboxDoubleGet", dialog, component, ControlKind::Spinbox,
                       [&](DialogControl& control) {
                           *value = PropertyOr(control, "double", 0.0);
                           return PRO_TK_NO_ERROR;
                       });
}
ProError ProUISpinboxDoubleincrementSet(const char* dialog, const char* component, double increment) {
    return SetProperty("ProUISpinboxDoubleincrementSet", dialog, component, ControlKind::Spinbox,
                       "double_increment", increment);
}
ProError ProUISpinboxFastdoubleincrementSet(const char* dialog, const char* component,
                                            double increment) {
    return SetProperty("ProUISpinboxFastdoubleincrementSet", dialog, component,
                       ControlKind::Spinbox, "fast_double_increment", increment);
}
ProError ProUISpinboxMindoubleSet(const char* dialog, const char* component, double minimum) {
    return SetProperty("ProUISpinboxMindoubleSet", dialog, component, ControlKind::Spinbox,
                       "min_double", minimum);
}
ProError ProUISpinboxMaxdoubleSet(const char* dialog, const char* component, double maximum) {
    return SetProperty("ProUISpinboxMaxdoubleSet", dialog, component, ControlKind::Spinbox,
                       "max_double", maximum);
}
ProError ProUISpinboxUpdateActionSet(const char* dialog, const char* component,
                                     ProUIAction action, ProAppData data) {
    return SetAction("ProUISpinboxUpdateActionSet", dialog, component, ControlKind::Spinbox,
                     &DialogControl::update, action, data);
}
ProError ProUISpinboxHelptextSet(const char* dialog, const char* component, const ProWchar* text) {
    return SetProperty("ProUISpinboxHelptextSet", dialog, component, ControlKind::Spinbox,
                       "help_text", WideProperty(text));
}

// ---- Sliders ----

ProError ProUISliderLengthSet(const char* dialog, const char* component, int length) {
    return SetProperty("ProUISliderLengthSet", dialog, component, ControlKind::Slider, "length",
                       length);
}
ProError ProUISliderMinintegerSet(const char* dialog, const char* component, int minimum) {
    return SetProperty("ProUISliderMinintegerSet", dialog, component, ControlKind::Slider,
                       "min_integer", minimum);
}
ProError ProUISliderMaxintegerSet(const char* dialog, const char* component, int maximum) {
    return SetProperty("ProUISliderMaxintegerSet", dialog, component, ControlKind::Slider,
                       "max_integer", maximum);
}
ProError ProUISliderIntegerSet(const char* dialog, const char* component, int value) {
    return SetProperty("ProUISliderIntegerSet", dialog, component, ControlKind::Slider, "integer",
                       value);
}
ProError ProUISliderIntegerGet(const char* dialog, const char* component, int* value) {
    if (!value) return PRO_TK_BAD_INPUTS;
    return WithControl("ProUISliderIntegerGet", dialog, component, ControlKind::Slider,
                       [&](DialogControl& control) {
                           *value = PropertyOr(control, "integer", 0);
                           return PRO_TK_NO_ERROR;
                       });
}
ProError ProUISliderOrientationSet(const char* dialog, const char* component, int orientation) {
    return SetProperty("ProUISliderOrientationSet", dialog, component, ControlKind::Slider,
                       "orientation", orientation);
}
ProError ProUISliderUpdateActionSet(const char* dialog, const char* component, ProUIAction action,
                                    ProAppData data) {
    return SetAction("ProUISliderUpdateActionSet", dialog, component, ControlKind::Slider,
                     &DialogControl::update, action, data);
}
ProError ProUISliderEnableTracking(const char* dialog, const char* component) {
    return SetProperty("ProUISliderEnableTracking", dialog, component, ControlKind::Slider,
                       "tracking", true);
}
ProError ProUISliderHelptextSet(const char* dialog, const char* component, const ProWchar* text) {
    return SetProperty("ProUISliderHelptextSet", dialog, component, ControlKind::Slider,
                       "help_text", WideProperty(text));
}

// ---- Check buttons ----

ProError ProUICheckbuttonTextSet(const char* dialog, const char* component, const ProWchar* text) {
    return SetProperty("ProUICheckbuttonTextSet", dialog, component, ControlKind::Checkbutton,
                       "text", WideProperty(text));
}
ProError ProUICheckbuttonHelptextSet(const char* dialog, const char* component,
                                     const ProWchar* text) {
    return SetProperty("ProUICheckbuttonHelptextSet", dialog, component, ControlKind::Checkbutton,
                       "help_text", WideProperty(text));
}
ProError ProUICheckbuttonSet(const char* dialog, const char* component) {
    return SetProperty("ProUICheckbuttonSet", dialog, component, ControlKind::Checkbutton, "set",
                       true);
}
ProError ProUICheckbuttonGetState(const char* dialog, const char* component, ProBoolean* state) {
    if (!state) return PRO_TK_BAD_INPUTS;
    return WithControl("ProUICheckbuttonGetState", dialog, component, ControlKind::Checkbutton,
                       [&](DialogControl& control) {
                           *state = PropertyOr(control, "set", false) ? PRO_B_TRUE : PRO_B_FALSE;
                           return PRO_TK_NO_ERROR;
                       });
}

// ---- Radio groups ----

ProError ProUIRadiogroupNamesSet(const char* dialog, const char* component, int count,
                                 const char* const* names) {
    Json list;
    if (!NamesArgument("ProUIRadiogroupNamesSet", count, names, list)) return PRO_TK_BAD_INPUTS;
    return SetProperty("ProUIRadiogroupNamesSet", dialog, component, ControlKind::Radiogroup,
                       "names", std::move(list));
}
ProError ProUIRadiogroupLabelsSet(const char* dialog, const char* component, int count,
                                  const ProWchar* const* labels) {
    if (count < 0 || count > kMaxNames || (count > 0 && !labels)) {
        Session().Problem("ProUIRadiogroupLabelsSet", "bad list of " + std::to_string(count) + " labels");
        return PRO_TK_BAD_INPUTS;
    }
    Json list = Json::array();
    for (int i = 0; i < count; ++i) list.push_back(WideProperty(labels[i]));
    return SetProperty("ProUIRadiogroupLabelsSet", dialog, component, ControlKind::Radiogroup,
                       "labels", std::move(list));
}
ProError ProUIRadiogroupOrientationSet(const char* dialog, const char* component, int orientation) {
    return SetProperty("ProUIRadiogroupOrientationSet", dialog, component, ControlKind::Radiogroup,
                       "orientation", orientation);
}
ProError ProUIRadiogroupHelptextSet(const char* dialog, const char* component,
                                    const ProWchar* text) {
    return SetProperty("ProUIRadiogroupHelptextSet", dialog, component, ControlKind::Radiogroup,
                       "help_text", WideProperty(text));
}
ProError ProUIRadiogroupSelectednamesSet(const char* dialog, const char* component, int count,
                                         const char* const* names) {
    Json list;
    if (!NamesArgument("ProUIRadiogroupSelectednamesSet", count, names, list))
        return PRO_TK_BAD_INPUTS;
    return SetProperty("ProUIRadiogroupSelectednamesSet", dialog, component,
                       ControlKind::Radiogroup, "selected_names", std::move(list));
}
ProError ProUIRadiogroupSelectednamesGet(const char* dialog, const char* component, int* count,
                                         char*** names) {
    if (!count || !names) return PRO_TK_BAD_INPUTS;
    return WithControl("ProUIRadiogroupSelectednamesGet", dialog, component,
                       ControlKind::Radiogroup, [&](DialogControl& control) {
                           std::vector<std::string> selected;
                           if (control.properties.contains("selected_names"))
                               for (const Json& name : control.properties["selected_names"])
                                   selected.push_back(name.get<std::string>());
                           char** array = NewHostStringArray(selected);
                           if (!array) return PRO_TK_GENERAL_ERROR;
                           *count = static_cast<int>(selected.size());
                           *names = array;
                           return PRO_TK_NO_ERROR;
                       });
}

// ---- Input panels ----

ProError ProUIInputpanelInputtypeSet(const char* dialog, const char* component, ProUIInputtype type) {
    return SetProperty("ProUIInputpanelInputtypeSet", dialog, component, ControlKind::Inputpanel,
                       "input_type", type);
}
ProError ProUIInputpanelMaxlenSet(const char* dialog, const char* component, int length) {
    return SetProperty("ProUIInputpanelMaxlenSet", dialog, component, ControlKind::Inputpanel,
                       "max_length", length);
}
ProError ProUIInputpanelValueSet(const char* dialog, const char* component, const ProWchar* text) {
    return SetProperty("ProUIInputpanelValueSet", dialog, component, ControlKind::Inputpanel,
                       "value", WideProperty(text));
}
ProError ProUIInputpanelWidestringGet(const char* dialog, const char* component, ProWchar** text) {
    if (!text) return PRO_TK_BAD_INPUTS;
    return WithControl("ProUIInputpanelWidestringGet", dialog, component, ControlKind::Inputpanel,
                       [&](DialogControl& control) {
                           const std::string value = PropertyOr(control, "value", std::string());
                           ProWchar* copy = NewHostWstring(Utf8ToUtf16(value));
                           if (!copy) return PRO_TK_GENERAL_ERROR;
                           *text = copy;
                           return PRO_TK_NO_ERROR;
                       });
}

void RegisterControlFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProUILayoutUnattachLeft);
    SIM_ADD_FUNCTION(table, ProUILayoutUnattachRight);
    SIM_ADD_FUNCTION(table, ProUILabelTextSet);
    SIM_ADD_FUNCTION(table, ProUILabelUnattachLeft);
    SIM_ADD_FUNCTION(table, ProUILabelUnattachRight);
    SIM_ADD_FUNCTION(table, ProUIPushbuttonTextSet);
    SIM_ADD_FUNCTION(table, ProUIPushbuttonHelptextSet);
    SIM_ADD_FUNCTION(table, ProUIPushbuttonActivateActionSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxInputtypeSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxDigitsSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxDoubleSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxDoubleGet);
    SIM_ADD_FUNCTION(table, ProUISpinboxDoubleincrementSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxFastdoubleincrementSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxMindoubleSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxMaxdoubleSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxUpdateActionSet);
    SIM_ADD_FUNCTION(table, ProUISpinboxHelptextSet);
    SIM_ADD_FUNCTION(table, ProUISliderLengthSet);
    SIM_ADD_FUNCTION(table, ProUISliderMinintegerSet);
    SIM_ADD_FUNCTION(table, ProUISliderMaxintegerSet);
    SIM_ADD_FUNCTION(table, ProUISliderIntegerSet);
    SIM_ADD_FUNCTION(table, ProUISliderIntegerGet);
    SIM_ADD_FUNCTION(table, ProUISliderOrientationSet);
    SIM_ADD_FUNCTION(table, ProUISliderUpdateActionSet);
    SIM_ADD_FUNCTION(table, ProUISliderEnableTracking);
    SIM_ADD_FUNCTION(table, ProUISliderHelptextSet);
    SIM_ADD_FUNCTION(table, ProUICheckbuttonTextSet);
    SIM_ADD_FUNCTION(table, ProUICheckbuttonHelptextSet);
    SIM_ADD_FUNCTION(table, ProUICheckbuttonSet);
    SIM_ADD_FUNCTION(table, ProUICheckbuttonGetState);
    SIM_ADD_FUNCTION(table, ProUIRadiogroupNamesSet);
    SIM_ADD_FUNCTION(table, ProUIRadiogroupLabelsSet);
    SIM_ADD_FUNCTION(table, ProUIRadiogroupOrientationSet);
    SIM_ADD_FUNCTION(table, ProUIRadiogroupHelptextSet);
    SIM_ADD_FUNCTION(table, ProUIRadiogroupSelectednamesSet);
    SIM_ADD_FUNCTION(table, ProUIRadiogroupSelectednamesGet);
    SIM_ADD_FUNCTION(table, ProUIInputpanelInputtypeSet);
    SIM_ADD_FUNCTION(table, ProUIInputpanelMaxlenSet);
    SIM_ADD_FUNCTION(table, ProUIInputpanelValueSet);
    SIM_ADD_FUNCTION(table, ProUIInputpanelWidestringGet);
}

}  // namespace sim
