// The "ExportFinished" dialog: a label and an OK button that tell the user the Export command
// has ended. It reports the end of the command (also an early one: a cancel, no current model),
// except when the export failed: the label then says so, and names the file when it was the
// scene file that could not be written.
#pragma once

#include <string>

#include "plugin/export_outcome.h"
#include "toolkit/pro_toolkit.h"

// Builds the dialog telling how the Export of the scene file at path ended, runs it modally
// until its button ends it, and destroys it.
void ShowExportEndDialog(ExportOutcome outcome, const std::u16string& path);

// The action of its button "ExportOk": ends the dialog with status 0.
void OnExportFinishedOk(const char* dialog, const char* component, ProAppData data);
