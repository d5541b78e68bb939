// What the plug-in's dialogs share: the grid cell every control is placed in, and the texts of
// the message file (MessageText, plugin/host_resources.h).
#pragma once

#include "plugin/host_resources.h"
#include "toolkit/pro_toolkit.h"

// A cell of the host's dialog grid at row and column, columns cells wide and one high, attached
// on all four sides, resizable both ways, with the host's default offsets (-1).
ProUIGridopts DialogGridCell(int row, int column, int columns = 1);

// A push button in row 0 and the given column of a layout, labelled with the text of textKey.
void AddLayoutButton(const char* dialog, const char* layout, int column, const char* name,
                     const char* textKey);
