// The "ExportFinished" dialog: a label and an OK button that tell the user the Export command
// has ended. It reports the end of the command, not the success of the export.
#pragma once

#include "toolkit/pro_toolkit.h"

// Builds the dialog, runs it modally until its button ends it, and destroys it.
void ShowExportFinishedDialog();

// The action of its button "ExportOk": ends the dialog with status 0.
void OnExportFinishedOk(const char* dialog, const char* component, ProAppData data);
