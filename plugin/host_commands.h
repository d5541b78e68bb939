// The actions of the plug-in's host commands. The host calls them from its event loop; each
// takes the plug-in object (creating it when there is none), ignores its arguments and answers
// 0. The settings command's action, OnSettings, lives with its dialog (ui/settings_dialog.h).
#pragma once

#include "toolkit/pro_toolkit.h"

// "Manual selection" and "Automatic selection": set the selection mode, save the settings and
// mark the command just run with "checked.png", the other with "unchecked.png".
int OnManualSelection(uiCmdCmdId command, uiCmdValue* value, void* data);
int OnAutomaticSelection(uiCmdCmdId command, uiCmdValue* value, void* data);

// "Vistrel Render" and "Vistrel Update": the live roads.
int OnRender(uiCmdCmdId command, uiCmdValue* value, void* data);
int OnUpdate(uiCmdCmdId command, uiCmdValue* value, void* data);

// "Vistrel Export": asks for the scene file, exports to it, reports the end of the command and
// saves the settings with the new path. A cancelled file dialog ends it with nothing changed.
int OnExport(uiCmdCmdId command, uiCmdValue* value, void* data);

// The access function of all six commands: always available.
uiCmdAccessState CommandAccessAvailable(uiCmdAccessMode mode);
