#include "plugin/host_commands.h"

#include <string>

#include "plugin/export_finished_dialog.h"
#include "plugin/file_dialog_defaults.h"
#include "plugin/host_resources.h"
#include "plugin/plugin_application.h"
#include "hostcall/host_callback_guard.h"
#include "ui/settings_dialog.h"

namespace {

constexpr uiCmdPriority kCommandPriority = 2;

uiCmdCmdId AddCommand(const char* name, uiCmdCmdActFn action, uiCmdCmdId& id) {
    ProCmdActionAdd(name, action, kCommandPriority, CommandAccessAvailable, PRO_B_TRUE,
                    PRO_B_FALSE, &id);
    return id;
}

// Marks the selection command just run, after its settings were saved.
void ShowSelectionCommandRun(const PluginApplication& app, bool manual) {
    ProCmdIconSet(app.manualCommandId, manual ? kIconChecked : kIconUnchecked);
    ProCmdIconSet(app.automaticCommandId, manual ? kIconUnchecked : kIconChecked);
}

void RunSelectionCommand(bool manual) {
    PluginApplication* app = GetPluginApplication();
    // Written directly: SetSelectionMode would set the icons a second time.
    app->settings.selectionMode = manual ? 1 : 0;
    ProCmdIconSet(app->manualCommandId, manual ? kIconModeChosen : kIconModeNotChosen);
    ProCmdIconSet(app->automaticCommandId, manual ? kIconModeNotChosen : kIconModeChosen);
    app->SaveSettings();
    ShowSelectionCommandRun(*app, manual);
}

}  // namespace

void PluginApplication::RegisterCommands() {
    ProWcharSizeVerify(2);  // bytes per wide character

    AddCommand("Manual selection", OnManualSelection, manualCommandId);
    ProCmdDesignate(manualCommandId, "vistrelSettingsManual", "vistrelSettingsManualHelp",
                    "vistrelSettingsManualHelp", kMessageFile);
    AddCommand("Automatic selection", OnAutomaticSelection, automaticCommandId);
    ProCmdDesignate(automaticCommandId, "vistrelSettingsAutomatic", "vistrelSettingsAutomaticHelp",
                    "vistrelSettingsAutomaticHelp", kMessageFile);
    ShowSelectionModeIcons();

    ProCmdIconSet(AddCommand("Vistrel Settings", OnSettings, settingsCommandId), kIconSettings);
    ProCmdIconSet(AddCommand("Vistrel Render", OnRender, renderCommandId), kIconRender);
    ProCmdIconSet(AddCommand("Vistrel Export", OnExport, exportCommandId), kIconExport);
    ProCmdIconSet(AddCommand("Vistrel Update", OnUpdate, updateCommandId), kIconUpdate);

    ProCmdDesignate(settingsCommandId, "vistrelSettings", "vistrelSettingsHelp", "Vistrel settings",
                    kMessageFile);
    ProCmdDesignate(renderCommandId, "vistrelRender", "vistrelRenderHelp", "Vistrel render",
                    kMessageFile);
    ProCmdDesignate(exportCommandId, "vistrelExport", "vistrelExportHelp", "Vistrel export",
                    kMessageFile);
    ProCmdDesignate(updateCommandId, "vistrelUpdate", "vistrelUpdateHelp", "Vistrel update",
                    kMessageFile);
}

int OnManualSelection(uiCmdCmdId, uiCmdValue*, void*) {
    return GuardCommandAction([] { RunSelectionCommand(true); });
}

int OnAutomaticSelection(uiCmdCmdId, uiCmdValue*, void*) {
    return GuardCommandAction([] { RunSelectionCommand(false); });
}

int OnRender(uiCmdCmdId, uiCmdValue*, void*) {
    return GuardCommandAction([] { GetPluginApplication()->RenderOverLiveLink(); });
}

int OnUpdate(uiCmdCmdId, uiCmdValue*, void*) {
    return GuardCommandAction([] { GetPluginApplication()->UpdateOverLiveLink(); });
}

namespace {

// "Vistrel Export": the file dialog, the road, the dialog that tells how it ended, the settings.
void RunExportCommand() {
    PluginApplication* app = GetPluginApplication();
    const PluginSettings settings = app->GetSettings();

    FileDialogDefaults defaults = FileDialogDefaultsOf(settings.exportPath);

    ProPath chosen = {};
    // Only a chosen file goes on: on a cancel, and on any other failure, the host need not have
    // filled the result, so the command ends with nothing changed.
    if (ProFileSave(u"Save as vsb", u"*.vsb", nullptr, nullptr, defaults.folder, defaults.name,
                    chosen) != PRO_TK_NO_ERROR) {
        return;
    }
    chosen[PRO_PATH_SIZE - 1] = 0;  // a host that filled the whole buffer left no terminator

    app->SetExportPath(chosen);
    // The dialog reports the end of the command, also an early one. The path chosen is saved
    // also when the dialog fails on the way.
    const ExportOutcome outcome = app->ExportToSceneFile();
    try {
        ShowExportEndDialog(outcome, chosen);
    } catch (...) {
        app->SaveSettings();
        throw;
    }
    app->SaveSettings();
}

}  // namespace

int OnExport(uiCmdCmdId, uiCmdValue*, void*) { return GuardCommandAction(RunExportCommand); }

uiCmdAccessState CommandAccessAvailable(uiCmdAccessMode) { return ACCESS_AVAILABLE; }
