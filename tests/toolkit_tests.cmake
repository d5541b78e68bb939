# The host toolkit boundary, and the plug-in's own side of the calls across it.
vistrel_add_test(toolkit_binding_test SOURCES toolkit_binding_test.cpp LIBS vistrel_core)
vistrel_add_test(host_callback_guard_test SOURCES host_callback_guard_test.cpp LIBS vistrel_core)
# The library's exports, with stand-ins of the plug-in's start-up and shut-down routines.
vistrel_add_test(plugin_entry_test
  SOURCES plugin_entry_test.cpp ${PROJECT_SOURCE_DIR}/toolkit/plugin_entry.cpp
  LIBS vistrel_core)

# The plug-in library exports exactly the host's two entries (listed with nm, or objdump for the
# Windows DLL; the check runs on the build machine, not under the emulator).
if(WIN32)
  set(export_lister -DOBJDUMP=${CMAKE_OBJDUMP})
else()
  set(export_lister -DNM=${CMAKE_NM})
endif()
add_test(NAME plugin_exports_test
         COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:vistrel_plugin> ${export_lister}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/check_plugin_exports.cmake)
