// The dialogs of the host's dialog toolkit: creating, filling with controls, running with the
// scripted user, ending and destroying them. The running (ProUIDialogActivate) is where the
// script's dialog steps are played; the record gets each dialog as it stood when it opened.
#include "simhost/dialog_player.h"
#include "simhost/host_functions.h"
#include "simhost/host_session.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

std::string Text(const char* text) { return text ? text : ""; }

ProError AddControl(const char* function, const char* dialog, const char* layout,
                    const char* component, ControlKind kind, ProUIGridopts* grid) {
    std::string error;
    if (!Session().dialogs.AddControl(Text(dialog), Text(layout), Text(component), kind, grid, error)) {
        Session().Problem(function, error);
        return PRO_TK_BAD_INPUTS;
    }
    return PRO_TK_NO_ERROR;
}

Dialog* FindDialog(const char* function, const char* dialog) {
    Dialog* found = Session().dialogs.Find(Text(dialog));
    if (!found) Session().Problem(function, "no dialog \"" + Text(dialog) + "\"");
    return found;
}

// Runs the script's answer for the open dialog; when the script has none, a dialog with a single
// push button is confirmed with it, and anything else stops the session.
void PlayUser(const std::string& name, Json& entry) {
    HostSession& session = Session();
    const ScriptStep* step = session.TakeDialogAnswer(name);
    if (step) {
        std::string error;
        if (!PlayDialogStep(session.dialogs, name, *step, entry["user"], error))
            session.Stop("script " + step->Describe() + ": " + error);
        return;
    }
    Dialog* dialog = session.dialogs.Find(name);
    const std::string sole = dialog && !session.Stopped() ? SolePushbutton(*dialog) : "";
    if (sole.empty()) {
        session.TakeAnswer(Question::Dialog, "dialog \"" + name + "\"");
        return;
    }
    entry["user"] = {{"set", Json::array()}, {"pressed", Json::array({sole})}, {"by_default", true}};
    PressButton(session.dialogs, name, sole);
}

}  // namespace

ProError ProUIDialogCreate(const char* dialog, const char* resource) {
    if (Session().TakeDialogRefusal(Text(dialog))) return PRO_TK_GENERAL_ERROR;
    if (resource) {
        Session().Problem("ProUIDialogCreate", "this host has no resource file \"" + Text(resource) + "\"");
        return PRO_TK_E_NOT_FOUND;
    }
    if (!Session().dialogs.Create(Text(dialog))) {
        Session().Problem("ProUIDialogCreate", "dialog \"" + Text(dialog) + "\" exists already");
        return PRO_TK_GENERAL_ERROR;
    }
    return PRO_TK_NO_ERROR;
}

// Answers PRO_TK_NO_ERROR when a button ended the dialog. When the scripted user could not end
// it, the host closes it with the status PRO_TK_USER_ABORT, as a closed window would, so the
// plug-in takes its cancel road out.
ProError ProUIDialogActivate(const char* dialog, int* status) {
    HostSession& session = Session();
    const std::string name = Text(dialog);
    Dialog* found = FindDialog("ProUIDialogActivate", dialog);
    if (!found) return PRO_TK_E_NOT_FOUND;
    if (found->active) {
        session.Problem("ProUIDialogActivate", "dialog \"" + name + "\" is running already");
        return PRO_TK_GENERAL_ERROR;
    }
    found->active = true;
    found->exitRequested = false;
    found->exitStatus = 0;
    const size_t index = session.record.Append("dialogs", DialogToJson(*found));
    Json entry = {{"user", nullptr}};
    PlayUser(name, entry);
    found = session.dialogs.Find(name);  // still there: a running dialog cannot be destroyed
    const bool ended = found->exitRequested;
    const int exitStatus = ended ? found->exitStatus : PRO_TK_USER_ABORT;
    found->active = false;
    Json& recorded = session.record.At("dialogs", index);
    recorded["user"] = entry["user"];
    recorded["exit_status"] = exitStatus;
    if (!ended) recorded["closed_by_host"] = true;
    if (status) *status = exitStatus;
    return ended ? PRO_TK_NO_ERROR : PRO_TK_USER_ABORT;
}

ProError ProUIDialogExit(const char* dialog, int status) {
    Dialog* found = FindDialog("ProUIDialogExit", dialog);
    if (!found) return PRO_TK_E_NOT_FOUND;
    if (!found->active) {
        Session().Problem("ProUIDialogExit", "dialog \"" + Text(dialog) + "\" is not running");
        return PRO_TK_GENERAL_ERROR;
    }
    found->exitRequested = true;
    found->exitStatus = status;
    return PRO_TK_NO_ERROR;
}

ProError ProUIDialogDestroy(const char* dialog) {
    if (!Session().dialogs.Destroy(Text(dialog))) {
        Session().Problem("ProUIDialogDestroy", "no dialog \"" + Text(dialog) + "\" that is not running");
        return PRO_TK_GENERAL_ERROR;
    }
    return PRO_TK_NO_ERROR;
}

ProError ProUIDialogDisableResizing(const char* dialog) {
    Dialog* found = FindDialog("ProUIDialogDisableResizing", dialog);
    if (!found) return PRO_TK_E_NOT_FOUND;
    found->resizing = false;
    return PRO_TK_NO_ERROR;
}

#define SIM_DIALOG_ADD(Name, Kind)                                                  \
    ProError Name(const char* dialog, const char* component, ProUIGridopts* grid) { \
        return AddControl(#Name, dialog, nullptr, component, Kind, grid);           \
    }
SIM_DIALOG_ADD(ProUIDialogLabelAdd, ControlKind::Label)
SIM_DIALOG_ADD(ProUIDialogPushbuttonAdd, ControlKind::Pushbutton)
SIM_DIALOG_ADD(ProUIDialogSpinboxAdd, ControlKind::Spinbox)
SIM_DIALOG_ADD(ProUIDialogSliderAdd, ControlKind::Slider)
SIM_DIALOG_ADD(ProUIDialogCheckbuttonAdd, ControlKind::Checkbutton)
SIM_DIALOG_ADD(ProUIDialogRadiogroupAdd, ControlKind::Radiogroup)
SIM_DIALOG_ADD(ProUIDialogSeparatorAdd, ControlKind::Separator)
SIM_DIALOG_ADD(ProUIDialogLayoutAdd, ControlKind::Layout)
#undef SIM_DIALOG_ADD

ProError ProUILayoutPushbuttonAdd(const char* dialog, const char* layout, const char* component,
                                  ProUIGridopts* grid) {
    return AddControl("ProUILayoutPushbuttonAdd", dialog, layout, component,
                      ControlKind::Pushbutton, grid);
}

ProError ProUILayoutInputpanelAdd(const char* dialog, const char* layout, const char* component,
                                  ProUIGridopts* grid) {
    return AddControl("ProUILayoutInputpanelAdd", dialog, layout, component,
                      ControlKind::Inputpanel, grid);
}

void RegisterDialogFunctions(FunctionTable& table) {
    SIM_ADD_FUNCTION(table, ProUIDialogCreate);
    SIM_ADD_FUNCTION(table, ProUIDialogActivate);
    SIM_ADD_FUNCTION(table, ProUIDialogExit);
    SIM_ADD_FUNCTION(table, ProUIDialogDestroy);
    SIM_ADD_FUNCTION(table, ProUIDialogDisableResizing);
    SIM_ADD_FUNCTION(table, ProUIDialogLabelAdd);
    SIM_ADD_FUNCTION(table, ProUIDialogPushbuttonAdd);
    SIM_ADD_FUNCTION(table, ProUIDialogSpinboxAdd);
    SIM_ADD_FUNCTION(table, ProUIDialogSliderAdd);
    SIM_ADD_FUNCTION(table, ProUIDialogCheckbuttonAdd);
    SIM_ADD_FUNCTION(table, ProUIDialogRadiogroupAdd);
    SIM_ADD_FUNCTION(table, ProUIDialogSeparatorAdd);
    SIM_ADD_FUNCTION(table, ProUIDialogLayoutAdd);
    SIM_ADD_FUNCTION(table, ProUILayoutPushbuttonAdd);
    SIM_ADD_FUNCTION(table, ProUILayoutInputpanelAdd);
}

}  // namespace sim
