#include "plugin/plugin_application.h"

#include "plugin/host_resources.h"
#include "plugin/settings_file.h"

namespace {

PluginApplication* pluginApplication = nullptr;

std::u16string CopyTerminated(const ProWchar* text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

}  // namespace

PluginApplication::PluginApplication() {
    // The members hold their defaults by now; the file's values replace them key by key, and
    // the quality to restore starts as the one just read.
    LoadSettings();
    previousTessellationQuality = settings.tessellationQuality;
}

void PluginApplication::SetTessellationQuality(float quality) {
    previousTessellationQuality = settings.tessellationQuality;
    settings.tessellationQuality = quality;
}

void PluginApplication::RestoreTessellationQuality() {
    settings.tessellationQuality = previousTessellationQuality;
}

void PluginApplication::SetUpAxis(int32_t axis) { settings.upAxis = axis; }

void PluginApplication::SetSelectionMode(bool manual) {
    settings.selectionMode = manual ? 1 : 0;
    ShowSelectionModeIcons();
}

void PluginApplication::ShowSelectionModeIcons() {
    const bool manual = IsManualSelection();
    ProCmdIconSet(manualCommandId, manual ? kIconModeChosen : kIconModeNotChosen);
    ProCmdIconSet(automaticCommandId, manual ? kIconModeNotChosen : kIconModeChosen);
}

void PluginApplication::SetIncludeNURBS(bool include) { settings.includeNURBS = include; }

void PluginApplication::SetSeparateMaterials(bool separate) {
    settings.separateMaterials = separate;
}

void PluginApplication::SetPromptForMechanism(bool prompt) {
    settings.promptForMechanism = prompt;
}

void PluginApplication::SetExportPath(const ProWchar* path) {
    settings.exportPath = CopyTerminated(path);
}

void PluginApplication::SetFraPath(const ProWchar* path) { settings.fraPath = CopyTerminated(path); }

void PluginApplication::SaveSettings() {
    if (!settingsFileUnread) WriteSettingsFile(settings, kSettingsFileName);
}

void PluginApplication::SaveConfirmedSettings() {
    WriteSettingsFile(settings, kSettingsFileName);
    settingsFileUnread = false;
}

void PluginApplication::LoadSettings() {
    if (ReadSettingsFile(kSettingsFileName, settings) == SettingsFileRead::Unread)
        settingsFileUnread = true;
}

PluginApplication* GetPluginApplication() {
    if (pluginApplication == nullptr) pluginApplication = new PluginApplication();
    return pluginApplication;
}

PluginApplication* FindPluginApplication() { return pluginApplication; }

void DestroyPluginApplication() {
    delete pluginApplication;
    pluginApplication = nullptr;
}
