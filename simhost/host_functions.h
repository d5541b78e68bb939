// The simulated host's implementation of every toolkit function, sim::Name, declared from the one
// list of functions so that each definition must match the toolkit's signature. Each group of
// functions registers its own in a FunctionTable; RegisterRuntimeFunctions registers those of the
// host's runtime side (memory and text, commands and messages, file dialogs, selection,
// dialogs), sim::RegisterModelFunctions (simhost/model_functions.h) those of the model.
#pragma once

#include "simhost/function_table.h"
#include "toolkit/pro_toolkit.h"

namespace sim {

#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments) ReturnType Name Parameters;
#include "toolkit/pro_functions.def"
#undef PRO_FUNCTION

void RegisterMemoryFunctions(FunctionTable& table);     // functions_memory.cpp
void RegisterCommandFunctions(FunctionTable& table);    // functions_commands.cpp
void RegisterFileDialogFunctions(FunctionTable& table); // functions_file_dialogs.cpp
void RegisterSelectionFunctions(FunctionTable& table);  // functions_selection.cpp
void RegisterDialogFunctions(FunctionTable& table);     // functions_dialogs.cpp
void RegisterControlFunctions(FunctionTable& table);    // functions_controls.cpp

// All of the above.
void RegisterRuntimeFunctions(FunctionTable& table);

}  // namespace sim
