#include "plugin/host_commands.h"

#include <algorithm>
#include <string>

#include "plugin/export_finished_dialog.h"
#include "plugin/host_resources.h"
#include "plugin/plugin_application.h"
#include "ui/settings_dialog.h"

namespace {

constexpr uiCmdPriority kCommandPriority = 2;

// Sizes of the save dialog's default buffers, terminator included.
constexpr std::size_t kDefaultFolderSize = PRO_PATH_SIZE;
constexpr std::size_t kDefaultNameSize = 40;

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

// Copies text into a zero-filled buffer of size units when it fits with its terminator;
// a text too long is not cut (that would name another folder or file) but left out.
void CopyIfFits(const std::u16string& text, ProWchar* buffer, std::size_t size) {
    if (text.size() < size) std::copy(text.begin(), text.end(), buffer);
}

// The save dialog's defaults from the saved path: the folder before its last separator and the
// name after it. Either stays empty when the path has none, or when it does not fit.
void SplitExportPath(const std::u16string& path, ProWchar* folder, ProWchar* name) {
    const std::size_t separator = path.find_last_of(u"\\/");
    if (separator == std::u16string::npos) {
        CopyIfFits(path, name, kDefaultNameSize);  // a bare file name, in no folder
        return;
    }
    CopyIfFits(path.substr(0, separator), folder, kDefaultFolderSize);
    CopyIfFits(path.substr(separator + 1), name, kDefaultNameSize);
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
    RunSelectionCommand(true);
    return 0;
}

int OnAutomaticSelection(uiCmdCmdId, uiCmdValue*, void*) {
    RunSelectionCommand(false);
    return 0;
}

int OnRender(uiCmdCmdId, uiCmdValue*, void*) {
    GetPluginApplication()->RenderOverLiveLink();
    return 0;
}

int OnUpdate(uiCmdCmdId, uiCmdValue*, void*) {
    GetPluginApplication()->UpdateOverLiveLink();
    return 0;
}

int OnExport(uiCmdCmdId, uiCmdValue*, void*) {
    PluginApplication* app = GetPluginApplication();
    const PluginSettings settings = app->GetSettings();

    ProWchar folder[kDefaultFolderSize] = {};
    ProWchar name[kDefaultNameSize] = {};
    SplitExportPath(settings.exportPath, folder, name);

    ProPath chosen = {};
    // Only a chosen file goes on: on a cancel, and on any other failure, the host need not have
    // filled the result, so the command ends with nothing changed.
    if (ProFileSave(u"Save as vsb", u"*.vsb", nullptr, nullptr, folder, name, chosen) !=
        PRO_TK_NO_ERROR) {
        return 0;
    }
    chosen[PRO_PATH_SIZE - 1] = 0;  // a host that filled the whole buffer left no terminator

    app->SetExportPath(chosen);
    app->ExportToSceneFile();
    // The dialog reports the end of the command, whether the road wrote a file or not.
    ShowExportFinishedDialog();
    app->SaveSettings();
    return 0;
}

uiCmdAccessState CommandAccessAvailable(uiCmdAccessMode) { return ACCESS_AVAILABLE; }
