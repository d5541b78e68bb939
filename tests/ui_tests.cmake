# The settings and animation dialogs: whole sessions of the simulated host with the real plug-in
# library, and their actions called in the test's own process.
foreach(dialog settings_dialog animation_dialog)
  vistrel_add_test(${dialog}_test
    SOURCES ${dialog}_test.cpp dialog_session.cpp plugin_command_line.cpp test_paths.cpp
    LIBS vistrel_core vistrel_simhost)
  target_compile_definitions(${dialog}_test PRIVATE
    VISTREL_PLUGIN_PATH="$<TARGET_FILE:vistrel_plugin>" VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(${dialog}_test vistrel_plugin)
endforeach()
