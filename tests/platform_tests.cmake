vistrel_add_test(code_page_test SOURCES code_page_test.cpp LIBS vistrel_platform)
vistrel_add_test(wide_file_test SOURCES wide_file_test.cpp LIBS vistrel_platform)

# Registry, dynamic libraries, processes and Sleep (the renderer link's platform calls).
vistrel_add_test(registry_file_test SOURCES registry_file_test.cpp LIBS vistrel_platform)
vistrel_add_test(registry_test
  SOURCES registry_test.cpp scoped_registry.cpp scoped_environment.cpp
  LIBS vistrel_platform)
set_tests_properties(registry_test PROPERTIES RESOURCE_LOCK registry)
vistrel_add_test(win32_system_test SOURCES win32_system_test.cpp LIBS vistrel_platform)
