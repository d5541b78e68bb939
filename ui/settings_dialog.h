// The settings dialog "Vistrel_Settings", the action of the command that opens it, and the
// dialog's actions. PluginApplication::ShowSettingsDialog builds and runs it.
//
// One row per setting, its label in column 0 and its control in column 1: the tessellation
// quality twice (a spin box from 0 to 1 and a slider from 0 to 10000 that follow each other),
// separate materials, NURBS, the up axis, the selection mode and the prompt for a mechanism
// animation; below a separator the buttons Update, Render, OK and Cancel. Every action gets the
// plug-in object as its application data.
#pragma once

#include "toolkit/pro_toolkit.h"

// "Vistrel Settings": takes the plug-in object (creating it when there is none), shows the
// settings dialog and answers 0 whatever its outcome.
int OnSettings(uiCmdCmdId command, uiCmdValue* value, void* data);

// OK: writes every control back into the settings, saves the settings file, ends the dialog
// with 0.
void OnSettingsOk(const char* dialog, const char* component, ProAppData data);
// Cancel: puts back the tessellation quality the last change replaced, ends the dialog with -3.
void OnSettingsCancel(const char* dialog, const char* component, ProAppData data);
// Render and Update: what OK does, then the Render or the Update road, inside this action.
void OnSettingsRender(const char* dialog, const char* component, ProAppData data);
void OnSettingsUpdate(const char* dialog, const char* component, ProAppData data);
// A change of the spin box or of the slider: the quality takes it and the other control follows.
void OnTessellationSpinboxUpdate(const char* dialog, const char* component, ProAppData data);
void OnTessellationSliderUpdate(const char* dialog, const char* component, ProAppData data);
