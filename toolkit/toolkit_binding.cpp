#include "toolkit/toolkit_binding.h"

namespace {

constexpr int kFunctionCount = static_cast<int>(ToolkitFunction::Count);

// Names as the host knows them, indexed by ToolkitFunction.
const char* const kFunctionNames[] = {
#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments) #Name,
#include "toolkit/pro_functions.def"
#undef PRO_FUNCTION
};
static_assert(sizeof(kFunctionNames) / sizeof(kFunctionNames[0]) == kFunctionCount,
              "one name per host function");

struct BoundFunction {
  void* address = nullptr;
  bool looked_up = false;  // kept apart from address so that a missing function is asked once
};

ProToolkitLookup g_lookup = nullptr;
BoundFunction g_functions[kFunctionCount];

void ForgetAddresses() {
  for (BoundFunction& function : g_functions) function = BoundFunction();
}

}  // namespace

void ToolkitBind(ProToolkitLookup lookup) {
  ForgetAddresses();
  g_lookup = lookup;
}

void ToolkitUnbind() {
  ForgetAddresses();
  g_lookup = nullptr;
}

void* ToolkitResolve(ToolkitFunction function) {
  const int index = static_cast<int>(function);
  if (g_lookup == nullptr || index < 0 || index >= kFunctionCount) return nullptr;
  BoundFunction& bound = g_functions[index];
  if (!bound.looked_up) {
    bound.address = g_lookup(kFunctionNames[index]);
    bound.looked_up = true;
  }
  return bound.address;
}
