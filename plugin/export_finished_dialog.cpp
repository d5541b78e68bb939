#include "plugin/export_finished_dialog.h"

#include "plugin/host_resources.h"
#include "hostcall/host_callback_guard.h"
#include "hostcall/host_dialog.h"
#include "ui/dialog_support.h"

namespace {

const char kDialog[] = "ExportFinished";
const char kLabel[] = "ExportFinishedLabel";
const char kButton[] = "ExportOk";

// The dialog whose label holds the text of labelKey, followed by detail when there is one.
void ShowDialog(const char* labelKey, const std::u16string& detail) {
    HostDialog dialog(kDialog);

    ProUIGridopts grid = DialogGridCell(0, 0);
    ProUIDialogLabelAdd(kDialog, kLabel, &grid);
    std::u16string text = MessageText(labelKey);
    if (!detail.empty()) text += u" " + detail;
    ProUILabelTextSet(kDialog, kLabel, text.c_str());

    grid.row = 1;
    ProUIDialogPushbuttonAdd(kDialog, kButton, &grid);
    ProUIPushbuttonTextSet(kDialog, kButton, MessageText("vistrelOK").c_str());
    ProUIPushbuttonActivateActionSet(kDialog, kButton, OnExportFinishedOk, nullptr);

    dialog.Show();
}

}  // namespace

void ShowExportEndDialog(ExportOutcome outcome, const std::u16string& path) {
    switch (outcome) {
        case ExportOutcome::Written:
        case ExportOutcome::EndedEarly: ShowDialog("vistrelExportFinishedLabel", u""); break;
        case ExportOutcome::Failed: ShowDialog("vistrelExportErrorLabel", u""); break;
        case ExportOutcome::FileNotWritten: ShowDialog("vistrelExportFailedLabel", path); break;
    }
}

void OnExportFinishedOk(const char* dialog, const char*, ProAppData) {
    GuardDialogAction(dialog, [] { ProUIDialogExit(kDialog, 0); });
}
