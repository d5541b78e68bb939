// The "ExportFinished" dialog: a label and an OK button that tell the user the Export command
// has ended. It reports the end of the command (also an early one: a cancel, no current model),
// except when the scene file could not be written: the label then says so and names the file.
#pragma once

#include <string>

#include "toolkit/pro_toolkit.h"

// Builds the dialog, runs it modally until its button ends it, and destroys it.
void ShowExportFinishedDialog();
// The same dialog, telling that the scene file at path could not be written.
void ShowExportFailedDialog(const std::u16string& path);

// The action of its button "ExportOk": ends the dialog with status 0.
void OnExportFinishedOk(const char* dialog, const char* component, ProAppData data);
