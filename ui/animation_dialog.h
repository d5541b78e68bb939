// The animation dialog "Vistrel_Animation": asks for the frame file of a mechanism animation
// before an export road goes on. PluginApplication::ShowAnimationDialog builds and runs it.
//
// An input panel with the frame file's path (fraPath when one is stored) and a Browse button;
// below a separator the buttons Export (the dialog's OK) and Cancel. Every action gets the
// plug-in object as its application data.
#pragma once

#include "toolkit/pro_toolkit.h"

// Browse: the host's file-open dialog for a "*.fra" file, starting at the stored fraPath; a
// chosen file becomes the panel's text. Neither fraPath nor any file changes.
void OnAnimationBrowse(const char* dialog, const char* component, ProAppData data);
// Export: stores the panel's text as fraPath (also when it names no file that opens), makes the
// animation frames those of the frame file it names (none when it does not open), saves the
// settings file and ends the dialog with 0.
void OnAnimationExport(const char* dialog, const char* component, ProAppData data);
// Cancel: ends the dialog with -3 and does nothing else.
void OnAnimationCancel(const char* dialog, const char* component, ProAppData data);
