# The host toolkit boundary.
vistrel_add_test(toolkit_binding_test SOURCES toolkit_binding_test.cpp LIBS vistrel_core)
# The library's exports, with stand-ins of the plug-in's start-up and shut-down routines.
vistrel_add_test(plugin_entry_test
  SOURCES plugin_entry_test.cpp ${PROJECT_SOURCE_DIR}/toolkit/plugin_entry.cpp
  LIBS vistrel_core)
