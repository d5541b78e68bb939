#include "ui/animation_dialog.h"

#include <cstdio>
#include <string>

#include "hostcall/host_callback_guard.h"
#include "hostcall/host_dialog.h"
#include "hostcall/host_held.h"
#include "platform/regular_file.h"
#include "plugin/file_dialog_defaults.h"
#include "plugin/plugin_application.h"
#include "ui/dialog_support.h"

namespace {

const char kDialog[] = "Vistrel_Animation";
const char kLabel[] = "Vistrel_Animation_Label";
const char kPathLayout[] = "Vistrel_Animation_Layout";
const char kPathPanel[] = "Vistrel_Animation_Inputpanel";
const char kBrowseButton[] = "Vistrel_Animation_Browse";
const char kSeparator[] = "Vistrel_OK_Separator";
const char kButtonLayout[] = "Vistrel_Animation_OK_Layout";
const char kExportButton[] = "Vistrel_Animation_Export";
const char kCancelButton[] = "Vistrel_Animation_Cancel";

// The panel takes a path of the host's length.
constexpr int kPathLength = PRO_PATH_SIZE;

PluginApplication* AppOf(ProAppData data) {
    return data != nullptr ? static_cast<PluginApplication*>(data) : GetPluginApplication();
}

void AddButton(int column, const char* name, const char* textKey) {
    AddLayoutButton(kDialog, kButtonLayout, column, name, textKey);
}

void AddPathRow(PluginApplication* app) {
    ProUIGridopts layout = DialogGridCell(1, 0);
    ProUIDialogLayoutAdd(kDialog, kPathLayout, &layout);
    ProUIGridopts panel = DialogGridCell(0, 0);
    ProUILayoutInputpanelAdd(kDialog, kPathLayout, kPathPanel, &panel);
    ProUIInputpanelInputtypeSet(kDialog, kPathPanel, PRO_UI_INPUT_TYPE_WSTRING);
    ProUIInputpanelMaxlenSet(kDialog, kPathPanel, kPathLength);
    ProUIGridopts browse = DialogGridCell(0, 1);
    ProUILayoutPushbuttonAdd(kDialog, kPathLayout, kBrowseButton, &browse);
    ProUIPushbuttonTextSet(kDialog, kBrowseButton, MessageText("vistrelBrowse").c_str());
    ProUIPushbuttonActivateActionSet(kDialog, kBrowseButton, OnAnimationBrowse, app);
}

void AddButtonRow(PluginApplication* app) {
    ProUIGridopts separator = DialogGridCell(2, 0);
    ProUIDialogSeparatorAdd(kDialog, kSeparator, &separator);
    ProUIGridopts layout = DialogGridCell(3, 0);
    ProUIDialogLayoutAdd(kDialog, kButtonLayout, &layout);
    ProUILayoutUnattachLeft(kDialog, kButtonLayout);
    ProUILayoutUnattachRight(kDialog, kButtonLayout);
    AddButton(0, kExportButton, "vistrelOk");
    AddButton(1, kCancelButton, "vistrelCancel");
    ProUIPushbuttonHelptextSet(kDialog, kExportButton,
                               MessageText("vistrelAnimationExportHelp").c_str());
    ProUIPushbuttonHelptextSet(kDialog, kCancelButton, MessageText("vistrelCancel").c_str());
    ProUIPushbuttonActivateActionSet(kDialog, kExportButton, OnAnimationExport, app);
    ProUIPushbuttonActivateActionSet(kDialog, kCancelButton, OnAnimationCancel, app);
}

// The panel's text as the user left it; empty when the host gives none.
std::u16string PanelText() {
    ProWchar* text = nullptr;
    if (ProUIInputpanelWidestringGet(kDialog, kPathPanel, &text) != PRO_TK_NO_ERROR) return {};
    const HeldWstring held(text);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

// The animation frames become those of the frame file at path: none when it does not open,
// which is not reported. Only a regular file is read: a FIFO or a device (/dev/zero) would hold
// the host for ever.
void ReadFrameFileAt(PluginApplication* app, const std::u16string& path) {
    const HeldFile file = OpenRegularFile(path.c_str(), u"r");
    app->ReadFrameFile(file.get());
}

}  // namespace

bool PluginApplication::ShowAnimationDialog() {
    ProMdl model = nullptr;
    if (ProMdlCurrentGet(&model) != PRO_TK_NO_ERROR) return false;

    HostDialog dialog(kDialog);
    ProUIGridopts label = DialogGridCell(0, 0);
    ProUIDialogLabelAdd(kDialog, kLabel, &label);
    ProUILabelTextSet(kDialog, kLabel, MessageText("vistrelAnimationLabel").c_str());
    ProUILabelUnattachLeft(kDialog, kLabel);
    ProUILabelUnattachRight(kDialog, kLabel);
    AddPathRow(this);
    AddButtonRow(this);
    ProUIDialogDisableResizing(kDialog);
    if (!settings.fraPath.empty())
        ProUIInputpanelValueSet(kDialog, kPathPanel, settings.fraPath.c_str());

    return dialog.Run() == 0;
}

namespace {

void BrowseFrameFile() {
    const PluginSettings settings = GetPluginApplication()->GetSettings();
    FileDialogDefaults defaults = FileDialogDefaultsOf(settings.fraPath);

    ProPath chosen = {};
    // Only a chosen file goes into the panel: on a cancel, and on any other failure, the host
    // need not have filled the result.
    if (ProFileOpen(u"Locate .fra animation", u"*.fra", nullptr, nullptr, defaults.folder,
                    defaults.name, chosen) != PRO_TK_NO_ERROR)
        return;
    chosen[PRO_PATH_SIZE - 1] = 0;
    ProUIInputpanelValueSet(kDialog, kPathPanel, chosen);
}

void ConfirmFrameFile(PluginApplication* app) {
    const std::u16string path = PanelText();
    app->SetFraPath(path.c_str());  // stored even when the file does not open
    ReadFrameFileAt(app, path);
    app->SaveSettings();
    ProUIDialogExit(kDialog, 0);
}

}  // namespace

void OnAnimationBrowse(const char* dialog, const char*, ProAppData) {
    GuardDialogAction(dialog, BrowseFrameFile);
}

void OnAnimationExport(const char* dialog, const char*, ProAppData data) {
    GuardDialogAction(dialog, [data] { ConfirmFrameFile(AppOf(data)); });
}

void OnAnimationCancel(const char* dialog, const char*, ProAppData) {
    GuardDialogAction(dialog, [] { ProUIDialogExit(kDialog, PRO_TK_USER_ABORT); });
}
