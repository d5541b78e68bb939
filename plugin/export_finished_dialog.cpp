#include "plugin/export_finished_dialog.h"

#include "plugin/host_resources.h"

namespace {

const char kDialog[] = "ExportFinished";
const char kLabel[] = "ExportFinishedLabel";
const char kButton[] = "ExportOk";

// One cell in column 0, attached on all sides and resizable, with the host's default offsets.
ProUIGridopts GridCell(int row) {
    ProUIGridopts grid = {};
    grid.row = row;
    grid.column = 0;
    grid.horz_cells = 1;
    grid.vert_cells = 1;
    grid.attach_top = grid.attach_bottom = grid.attach_left = grid.attach_right = PRO_B_TRUE;
    grid.horz_resize = grid.vert_resize = PRO_B_TRUE;
    grid.top_offset = grid.bottom_offset = grid.left_offset = grid.right_offset = -1;
    return grid;
}

}  // namespace

void ShowExportFinishedDialog() {
    ProUIDialogCreate(kDialog, nullptr);

    ProUIGridopts grid = GridCell(0);
    ProUIDialogLabelAdd(kDialog, kLabel, &grid);
    ProLine text = {};  // stays empty when the message file lacks the key
    ProMessageToBuffer(text, kMessageFile, "vistrelExportFinishedLabel");
    text[PRO_LINE_SIZE - 1] = 0;
    ProUILabelTextSet(kDialog, kLabel, text);

    grid.row = 1;
    ProUIDialogPushbuttonAdd(kDialog, kButton, &grid);
    ProLine buttonText = {};
    ProMessageToBuffer(buttonText, kMessageFile, "vistrelOK");
    buttonText[PRO_LINE_SIZE - 1] = 0;
    ProUIPushbuttonTextSet(kDialog, kButton, buttonText);
    ProUIPushbuttonActivateActionSet(kDialog, kButton, OnExportFinishedOk, nullptr);

    ProUIDialogActivate(kDialog, nullptr);
    ProUIDialogDestroy(kDialog);
}

void OnExportFinishedOk(const char*, const char*, ProAppData) { ProUIDialogExit(kDialog, 0); }
