vistrel_add_test(settings_file_test SOURCES settings_file_test.cpp LIBS vistrel_core)
vistrel_add_test(plugin_application_test
  SOURCES plugin_application_test.cpp fake_host.cpp LIBS vistrel_core)
vistrel_add_test(host_commands_test SOURCES host_commands_test.cpp fake_host.cpp LIBS vistrel_core)
vistrel_add_test(scene_file_output_test
  SOURCES scene_file_output_test.cpp allocation_failure.cpp LIBS vistrel_core)
