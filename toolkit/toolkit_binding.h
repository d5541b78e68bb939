// Binding of the host's toolkit functions by name.
//
// The host hands the plug-in a lookup that answers the address of one of its functions by name
// (null when it lacks the function). ToolkitBind keeps the lookup; each host function is then
// looked up on its first call only, and its address kept until the next bind or unbind.
// Everything runs on the host's thread: there is no locking.
#pragma once

typedef void* (*ProToolkitLookup)(const char* name);

// Keeps lookup for the host functions' first calls and forgets every address kept so far.
// A null lookup binds nothing.
void ToolkitBind(ProToolkitLookup lookup);

// Forgets the lookup and every address kept: afterwards each host function answers as one the
// host lacks.
void ToolkitUnbind();

// The host functions by number, in the order of toolkit/pro_functions.def.
enum class ToolkitFunction : int {
#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments) Name,
#include "toolkit/pro_functions.def"
#undef PRO_FUNCTION
  Count
};

// The host's address of function, null when the host lacks it or nothing is bound. The lookup is
// asked on the first call after a bind and never again until the next bind, also when it
// answered null. Used by the forwarders.
void* ToolkitResolve(ToolkitFunction function);
