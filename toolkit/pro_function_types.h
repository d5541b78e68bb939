// A function pointer type per host function, Name_fn, from the one list of functions. The
// simulated host assigns its implementations to these types, so a signature that differs from
// the plug-in's is a compile error there.
#pragma once

#include "toolkit/pro_toolkit.h"

#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments) \
  using Name##_fn = ReturnType(*) Parameters;
#include "toolkit/pro_functions.def"
#undef PRO_FUNCTION
