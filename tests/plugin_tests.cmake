vistrel_add_test(settings_file_test SOURCES settings_file_test.cpp LIBS vistrel_core)
# The plug-in object and the host commands against the simulated host, in this process.
foreach(test plugin_application_test host_commands_test)
  vistrel_add_test(${test} SOURCES ${test}.cpp sim_export_fixture.cpp simhost_binding.cpp
                   recording_scene.cpp test_paths.cpp LIBS vistrel_core vistrel_simhost)
  target_compile_definitions(${test} PRIVATE VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endforeach()
vistrel_add_test(scene_file_output_test
  SOURCES scene_file_output_test.cpp allocation_failure.cpp LIBS vistrel_core)
