// The settings dialog "Vistrel_Settings" and the action of the command that opens it.
#pragma once

#include "toolkit/pro_toolkit.h"

// "Vistrel Settings": takes the plug-in object (creating it when there is none), shows the
// settings dialog and answers 0 whatever its outcome.
int OnSettings(uiCmdCmdId command, uiCmdValue* value, void* data);
