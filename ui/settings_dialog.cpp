#include "ui/settings_dialog.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "hostcall/host_callback_guard.h"
#include "hostcall/host_dialog.h"
#include "hostcall/on_exit.h"
#include "plugin/plugin_application.h"
#include "ui/dialog_support.h"

namespace {

const char kDialog[] = "Vistrel_Settings";

const char kTessLabel[] = "Vistrel_Tess_Level_Label";
const char kSpinbox[] = "stepbox";
const char kSliderLabel[] = "Vistrel_Tess_Level_Slider_Label";
const char kSlider[] = "Vistrel_Tess_Level_Slider";
const char kMaterialsLabel[] = "Vistrel_Materials_Label";
const char kMaterialsCheck[] = "Vistrel_Separate_Materials_Check";
const char kNurbsLabel[] = "Vistrel_NURBS_Label";
const char kNurbsCheck[] = "Vistrel_NURBS_Check";
const char kAxisLabel[] = "Vistrel_Axis_Label";
const char kAxisGroup[] = "Vistrel_Axis_Radiogroup";
const char kSelectionLabel[] = "Vistrel_Update_Label";
const char kSelectionGroup[] = "Vistrel_Update_Radiogroup";
const char kMechanismLabel[] = "Vistrel_Mechanism_Prompt_Label";
const char kMechanismCheck[] = "Vistrel_Mechanism_Prompt_Check";
const char kSeparator[] = "Vistrel_OK_Separator";
const char kButtonLayout[] = "Vistrel_OK_Layout";
const char kUpdateButton[] = "Vistrel_Update";
const char kRenderButton[] = "Vistrel_Export";
const char kOkButton[] = "Vistrel_OK";
const char kCancelButton[] = "Vistrel_Cancel";

// The up axes in the order of PluginSettings::upAxis (0 to 5).
constexpr int kAxisCount = 6;
const char* const kAxisNames[kAxisCount] = {"xaxis",  "yaxis",  "zaxis",
                                            "nxaxis", "nyaxis", "nzaxis"};
const ProWchar* const kAxisLabels[kAxisCount] = {u"x", u"y", u"z", u"-x", u"-y", u"-z"};

const char kAutomatic[] = "automatic";
const char kManual[] = "manual";

// The slider shows the quality in steps of 1/10000.
constexpr double kSliderSteps = 10000.0;

PluginApplication* AppOf(ProAppData data) {
    return data != nullptr ? static_cast<PluginApplication*>(data) : GetPluginApplication();
}

// The slider position of a quality, truncated toward zero. The quality may come from an edited
// settings file with any value; beyond the int range it is held at the range's ends, and a NaN
// gives 0, where a plain conversion would be undefined.
int SliderPosition(double quality) {
    // Stored to round the product to a double before it is truncated: where intermediates carry
    // more precision (x87), 0.35 x 10000 would otherwise come out a hair below 3500.
    volatile double rounded = quality * kSliderSteps;
    const double position = rounded;
    if (!(position > -2147483648.0)) return position < 0 ? INT32_MIN : 0;
    if (!(position < 2147483648.0)) return INT32_MAX;
    return static_cast<int>(position);
}

// The quality as the float that SetTessellationQuality keeps. A finite value beyond the float
// range becomes an infinity of its sign, as the conversion would give on IEEE machines, without
// leaving it undefined.
float NarrowQuality(double quality) {
    if (quality > FLT_MAX) return HUGE_VALF;
    if (quality < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(quality);
}

// ---- Building -----------------------------------------------------------------------------------

void AddLabel(int row, const char* name, const std::u16string& text) {
    ProUIGridopts grid = DialogGridCell(row, 0);
    ProUIDialogLabelAdd(kDialog, name, &grid);
    ProUILabelTextSet(kDialog, name, text.c_str());
    ProUILabelUnattachLeft(kDialog, name);
}

void AddSpinbox(int row, double quality, PluginApplication* app) {
    ProUIGridopts grid = DialogGridCell(row, 1);
    ProUIDialogSpinboxAdd(kDialog, kSpinbox, &grid);
    ProUISpinboxInputtypeSet(kDialog, kSpinbox, PRO_UI_INPUT_TYPE_DOUBLE);
    ProUISpinboxDigitsSet(kDialog, kSpinbox, 2);
    ProUISpinboxDoubleSet(kDialog, kSpinbox, quality);
    ProUISpinboxDoubleincrementSet(kDialog, kSpinbox, 0.05);
    ProUISpinboxFastdoubleincrementSet(kDialog, kSpinbox, 0.1);
    ProUISpinboxMindoubleSet(kDialog, kSpinbox, 0.0);
    ProUISpinboxMaxdoubleSet(kDialog, kSpinbox, 1.0);
    ProUISpinboxUpdateActionSet(kDialog, kSpinbox, OnTessellationSpinboxUpdate, app);
    ProUISpinboxHelptextSet(kDialog, kSpinbox, MessageText("vistrelSettingsTessHelp").c_str());
}

void AddSlider(int row, double quality, PluginApplication* app) {
    ProUIGridopts grid = DialogGridCell(row, 1);
    ProUIDialogSliderAdd(kDialog, kSlider, &grid);
    ProUISliderLengthSet(kDialog, kSlider, 25);
    ProUISliderMinintegerSet(kDialog, kSlider, 0);
    ProUISliderMaxintegerSet(kDialog, kSlider, static_cast<int>(kSliderSteps));
    ProUISliderIntegerSet(kDialog, kSlider, SliderPosition(quality));
    ProUISliderOrientationSet(kDialog, kSlider, 0);
    ProUISliderUpdateActionSet(kDialog, kSlider, OnTessellationSliderUpdate, app);
    ProUISliderEnableTracking(kDialog, kSlider);
    ProUISliderHelptextSet(kDialog, kSlider, MessageText("vistrelSettingsTessHelp").c_str());
}

// A check button left as created (not set) unless set is true.
void AddCheckbutton(int row, const char* name, const char* textKey, const std::u16string& help,
                    bool set) {
    ProUIGridopts grid = DialogGridCell(row, 1);
    ProUIDialogCheckbuttonAdd(kDialog, name, &grid);
    ProUICheckbuttonTextSet(kDialog, name, MessageText(textKey).c_str());
    ProUICheckbuttonHelptextSet(kDialog, name, help.c_str());
    if (set) ProUICheckbuttonSet(kDialog, name);
}

// A radio group with its buttons; selected names the button to select, or is null for none.
void AddRadiogroup(int row, const char* name, int count, const char* const* names,
                   const ProWchar* const* labels, const char* helpKey, const char* selected) {
    ProUIGridopts grid = DialogGridCell(row, 1);
    ProUIDialogRadiogroupAdd(kDialog, name, &grid);
    ProUIRadiogroupNamesSet(kDialog, name, count, names);
    ProUIRadiogroupLabelsSet(kDialog, name, count, labels);
    ProUIRadiogroupOrientationSet(kDialog, name, 0);
    ProUIRadiogroupHelptextSet(kDialog, name, MessageText(helpKey).c_str());
    if (selected != nullptr) ProUIRadiogroupSelectednamesSet(kDialog, name, 1, &selected);
}

void AddAxisGroup(int row, int32_t upAxis) {
    // An axis outside 0 to 5 (only an edited settings file holds one) has no button: none is
    // selected, and OK then keeps the stored value unless the user picks an axis.
    const char* selected = upAxis >= 0 && upAxis < kAxisCount ? kAxisNames[upAxis] : nullptr;
    AddRadiogroup(row, kAxisGroup, kAxisCount, kAxisNames, kAxisLabels, "vistrelSettingsAxisHelp",
                  selected);
}

void AddSelectionGroup(int row, int32_t selectionMode) {
    const char* const names[] = {kAutomatic, kManual};
    const std::u16string automatic = MessageText("vistrelSettingsAutomatic");
    const std::u16string manual = MessageText("vistrelSettingsManual");
    const ProWchar* const labels[] = {automatic.c_str(), manual.c_str()};
    AddRadiogroup(row, kSelectionGroup, 2, names, labels, "vistrelSettingsSelectionHelp",
                  selectionMode == 1 ? kManual : kAutomatic);
}

// The mechanism check button's help: two message lines joined. The whole text is kept, however
// long the two lines are together.
std::u16string MechanismHelp() {
    return MessageText("vistrelPromptForMechanismHelp") +
           MessageText("vistrelPromptForMechanismHelp2");
}

void AddSettingRows(const PluginSettings& settings, PluginApplication* app) {
    AddLabel(0, kTessLabel, MessageText("vistrelSettingsLabelTess"));
    AddSpinbox(0, settings.tessellationQuality, app);
    AddLabel(1, kSliderLabel, MessageText("vistrelSettingsLabelTess"));
    AddSlider(1, settings.tessellationQuality, app);
    AddLabel(2, kMaterialsLabel, MessageText("vistrelSettingsLabelMaterials"));
    AddCheckbutton(2, kMaterialsCheck, "vistrelSettingsSeparateMaterialsLabel",
                   MessageText("vistrelSettingsSeparateMaterialsHelp"), settings.separateMaterials);
    AddLabel(3, kNurbsLabel, u"NURBS:");
    AddCheckbutton(3, kNurbsCheck, "vistrelSettingsNURBSLabel",
                   MessageText("vistrelSettingsNURBSHelp"), settings.includeNURBS);
    AddLabel(4, kAxisLabel, MessageText("vistrelSettingsAxisLabel"));
    AddAxisGroup(4, settings.upAxis);
    AddLabel(5, kSelectionLabel, MessageText("vistrelSettingsSelectionLabel"));
    AddSelectionGroup(5, settings.selectionMode);
    AddLabel(6, kMechanismLabel, MessageText("vistrelPromptForMechanismLabel"));
    AddCheckbutton(6, kMechanismCheck, "vistrelPromptForMechanismCheck", MechanismHelp(),
                   settings.promptForMechanism);
}

void AddButton(int column, const char* name, const char* textKey) {
    AddLayoutButton(kDialog, kButtonLayout, column, name, textKey);
}

void AddButtonRow(PluginApplication* app) {
    ProUIGridopts separator = DialogGridCell(7, 0);
    ProUIDialogSeparatorAdd(kDialog, kSeparator, &separator);
    ProUIGridopts layout = DialogGridCell(8, 0, 2);
    ProUIDialogLayoutAdd(kDialog, kButtonLayout, &layout);
    ProUILayoutUnattachLeft(kDialog, kButtonLayout);
    ProUILayoutUnattachRight(kDialog, kButtonLayout);

    AddButton(0, kUpdateButton, "vistrelUpdate");
    AddButton(1, kRenderButton, "vistrelRender");
    AddButton(2, kOkButton, "vistrelOK");
    AddButton(3, kCancelButton, "vistrelCancel");

    ProUIPushbuttonHelptextSet(kDialog, kUpdateButton,
                               MessageText("vistrelSettingsUpdateHelp").c_str());
    ProUIPushbuttonHelptextSet(kDialog, kRenderButton,
                               MessageText("vistrelSettingsExportHelp").c_str());
    ProUIPushbuttonHelptextSet(kDialog, kOkButton, MessageText("vistrelSettingsOkHelp").c_str());
    ProUIPushbuttonHelptextSet(kDialog, kCancelButton,
                               MessageText("vistrelSettingsCancelHelp").c_str());

    ProUIPushbuttonActivateActionSet(kDialog, kUpdateButton, OnSettingsUpdate, app);
    ProUIPushbuttonActivateActionSet(kDialog, kRenderButton, OnSettingsRender, app);
    ProUIPushbuttonActivateActionSet(kDialog, kOkButton, OnSettingsOk, app);
    ProUIPushbuttonActivateActionSet(kDialog, kCancelButton, OnSettingsCancel, app);
}

// ---- Reading back -------------------------------------------------------------------------------

// The first selected name of a radio group; empty when none is selected or the host gives none.
std::string FirstSelectedName(const char* group) {
    int count = 0;
    char** names = nullptr;
    std::string first;
    if (ProUIRadiogroupSelectednamesGet(kDialog, group, &count, &names) != PRO_TK_NO_ERROR)
        return first;
    // Given back also when the copy fails.
    const auto release = [count](char** texts) { ProStringarrayFree(texts, count); };
    const std::unique_ptr<char*, decltype(release)> held(names, release);
    if (names != nullptr && count > 0 && names[0] != nullptr) first = names[0];
    return first;
}

// True exactly when the host says the button is set; a state it cannot give counts as not set.
bool IsChecked(const char* name) {
    ProBoolean state = PRO_B_FALSE;
    ProUICheckbuttonGetState(kDialog, name, &state);
    return state == PRO_B_TRUE;
}

void ReadUpAxis(PluginApplication* app) {
    const std::string name = FirstSelectedName(kAxisGroup);
    for (int axis = 0; axis < kAxisCount; ++axis) {
        if (name == kAxisNames[axis]) {
            app->SetUpAxis(axis);
            return;
        }
    }
}

double SpinboxValue() {
    double value = 0.0;
    ProUISpinboxDoubleGet(kDialog, kSpinbox, &value);
    return value;
}

}  // namespace

int OnSettings(uiCmdCmdId, uiCmdValue*, void*) {
    return GuardCommandAction([] { GetPluginApplication()->ShowSettingsDialog(); });
}

bool PluginApplication::ShowSettingsDialog() {
    LoadSettings();  // every time it is asked for, also when it does not open
    ProMdl model = nullptr;
    if (ProMdlCurrentGet(&model) != PRO_TK_NO_ERROR) return false;

    // Every move of the spin box or the slider goes into the settings at once, and Cancel only
    // puts back the value the last move replaced. A dialog that was not confirmed, or that
    // failed, must leave the quality as it found it, or the next save (after an Export, say)
    // would keep a cancelled one.
    const double openingQuality = settings.tessellationQuality;
    bool confirmed = false;
    const OnExit restoreUnlessConfirmed([&] {
        if (!confirmed) settings.tessellationQuality = openingQuality;
    });
    HostDialog dialog(kDialog);
    AddSettingRows(settings, this);
    AddButtonRow(this);
    ProUIDialogDisableResizing(kDialog);
    confirmed = dialog.Run() == 0;
    return confirmed;
}

namespace {

// What OK does: every control back into the settings, the settings file saved, the dialog
// ended with 0.
void ConfirmSettings(PluginApplication* app) {
    app->SetTessellationQuality(NarrowQuality(SpinboxValue()));  // the slider follows it
    ReadUpAxis(app);
    app->SetSelectionMode(FirstSelectedName(kSelectionGroup) == kManual);
    app->SetIncludeNURBS(IsChecked(kNurbsCheck));
    app->SetSeparateMaterials(IsChecked(kMaterialsCheck));
    app->SetPromptForMechanism(IsChecked(kMechanismCheck));
    app->SaveConfirmedSettings();  // every value is the user's now
    ProUIDialogExit(kDialog, 0);
}

}  // namespace

void OnSettingsOk(const char* dialog, const char*, ProAppData data) {
    GuardDialogAction(dialog, [data] { ConfirmSettings(AppOf(data)); });
}

void OnSettingsCancel(const char* dialog, const char*, ProAppData data) {
    GuardDialogAction(dialog, [data] {
        AppOf(data)->RestoreTessellationQuality();
        ProUIDialogExit(kDialog, PRO_TK_USER_ABORT);
    });
}

void OnSettingsRender(const char* dialog, const char*, ProAppData data) {
    GuardDialogAction(dialog, [data] {
        ConfirmSettings(AppOf(data));
        AppOf(data)->RenderOverLiveLink();
    });
}

void OnSettingsUpdate(const char* dialog, const char*, ProAppData data) {
    GuardDialogAction(dialog, [data] {
        ConfirmSettings(AppOf(data));
        AppOf(data)->UpdateOverLiveLink();
    });
}

void OnTessellationSpinboxUpdate(const char* dialog, const char*, ProAppData data) {
    GuardDialogAction(dialog, [data] {
        const double quality = SpinboxValue();
        AppOf(data)->SetTessellationQuality(NarrowQuality(quality));
        ProUISliderIntegerSet(kDialog, kSlider, SliderPosition(quality));
    });
}

void OnTessellationSliderUpdate(const char* dialog, const char*, ProAppData data) {
    GuardDialogAction(dialog, [data] {
        int position = 0;
        ProUISliderIntegerGet(kDialog, kSlider, &position);
        const double quality = position / kSliderSteps;
        AppOf(data)->SetTessellationQuality(NarrowQuality(quality));
        ProUISpinboxDoubleSet(kDialog, kSpinbox, quality);
    });
}
