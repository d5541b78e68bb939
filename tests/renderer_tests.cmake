# The stand-in renderer: its instance announcements and port range, and the live link end to
# end on loopback (the renderer started as the plug-in starts it, its library loaded by the
# plug-in's loader).
vistrel_add_test(instance_directory_test
  SOURCES instance_directory_test.cpp LIBS vistrel_renderer_common)
vistrel_add_test(renderer_config_test SOURCES renderer_config_test.cpp LIBS vistrel_renderer_app)

vistrel_add_test(live_link_session_test
  SOURCES live_link_session_test.cpp renderer_install.cpp scoped_registry.cpp
          scoped_environment.cpp test_paths.cpp
  LIBS vistrel_core vistrel_renderer_common)
add_dependencies(live_link_session_test vistrel_live_link vistrel_renderer)
set_tests_properties(live_link_session_test PROPERTIES RESOURCE_LOCK registry)

# The stand-in library's objects laid out table by table, as its Windows build hands them out.
vistrel_add_test(tabled_objects_test SOURCES tabled_objects_test.cpp LIBS vistrel_live_objects)
