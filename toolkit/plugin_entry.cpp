// The two exports of the plug-in library. They bind the host's toolkit functions and hand over
// to the plug-in's start-up and shut-down routines. Nothing else leaves the library: everything
// is hidden by default and only these two are marked for export.
#include "plugin/plugin_entry.h"

#include <type_traits>

#include "toolkit/plugin_entry.h"
#include "toolkit/toolkit_binding.h"

#ifdef _WIN32
#define VISTREL_ENTRY extern "C" __declspec(dllexport)
#else
#define VISTREL_ENTRY extern "C" __attribute__((visibility("default")))
#endif

// The plug-in's routines keep their own failures from the host: a start-up that fails answers
// non-zero, and the host's functions are dropped again.
VISTREL_ENTRY int user_initialize_plus(ProToolkitLookup lookup, int argc, char* argv[],
                                       char* version, char* build, ProWchar errbuf[80]) {
  ToolkitBind(lookup);
  const int status = PluginInitialize(argc, argv, version, build, errbuf);
  if (status != 0) ToolkitUnbind();
  return status;
}

// The plug-in shuts down while the host's functions are still bound; they are dropped after.
VISTREL_ENTRY void user_terminate_plus() {
  PluginTerminate();
  ToolkitUnbind();
}

// The host looks the entries up by these exact types.
static_assert(std::is_same_v<decltype(&user_initialize_plus), UserInitializePlusFn>,
              "user_initialize_plus has the host's signature");
static_assert(std::is_same_v<decltype(&user_terminate_plus), UserTerminatePlusFn>,
              "user_terminate_plus has the host's signature");
