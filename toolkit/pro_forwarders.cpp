// The plug-in's side of every host function: a forwarder that finds the host's function through
// the binding (by name, on its first call) and calls through the kept address.
#include <type_traits>

#include "toolkit/pro_function_types.h"
#include "toolkit/pro_toolkit.h"
#include "toolkit/toolkit_binding.h"

namespace {

// Tag that carries a forwarder's return type into the overloads below.
template <typename T>
struct Returns {};

// What a function the host lacks answers: PRO_TK_COMM_ERROR for a status, null for a pointer.
template <typename Result, typename... Arguments>
Result UnboundAnswer(Returns<Result>, Arguments...) {
  if constexpr (std::is_void_v<Result>) {
    return;
  } else if constexpr (std::is_pointer_v<Result>) {
    return nullptr;
  } else {
    return PRO_TK_COMM_ERROR;
  }
}

// The functions that answer no status get neutral answers of their own, chosen by their
// parameters (an exact match wins over the template above).

// Stamps that cannot be compared count as different, so the component is sent again.
ProBoolean UnboundAnswer(Returns<ProBoolean>, ProWVerstamp, ProWVerstamp) { return PRO_B_FALSE; }

// A conversion that cannot be made leaves an empty text, so the caller never reads a buffer
// that nobody terminated.
char* UnboundAnswer(Returns<char*>, char* narrow, const ProWchar*) {
  if (narrow != nullptr) narrow[0] = '\0';
  return narrow;
}

ProWchar* UnboundAnswer(Returns<ProWchar*>, ProWchar* wide, const char*) {
  if (wide != nullptr) wide[0] = 0;
  return wide;
}

}  // namespace

// Arguments come as "(a, b)"; VISTREL_UNPAREN turns them into "a, b". Every host function has
// at least one parameter.
#define VISTREL_UNPAREN(...) __VA_ARGS__

#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments)                             \
  ReturnType Name Parameters {                                                            \
    void* address = ToolkitResolve(ToolkitFunction::Name);                                \
    if (address == nullptr) {                                                             \
      return UnboundAnswer(Returns<ReturnType>(), VISTREL_UNPAREN Arguments);            \
    }                                                                                     \
    return reinterpret_cast<Name##_fn>(address) Arguments;                                \
  }
#include "toolkit/pro_functions.def"
#undef PRO_FUNCTION
#undef VISTREL_UNPAREN
