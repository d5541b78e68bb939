vistrel_add_test(component_path_test SOURCES component_path_test.cpp LIBS vistrel_core)

# NURBS surfaces and trim loops, against the simulated host bound in the test's own process.
vistrel_add_test(trim_loops_test SOURCES trim_loops_test.cpp simhost_binding.cpp
                 allocation_failure.cpp LIBS vistrel_core vistrel_simhost)
vistrel_add_test(nurbs_surfaces_test SOURCES nurbs_surfaces_test.cpp simhost_binding.cpp
                 LIBS vistrel_core vistrel_simhost)
vistrel_add_test(nurbs_export_test SOURCES nurbs_export_test.cpp plugin_command_line.cpp
                 test_paths.cpp LIBS vistrel_simhost)
target_compile_definitions(nurbs_export_test PRIVATE
  VISTREL_PLUGIN_PATH="$<TARGET_FILE:vistrel_plugin>" VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(nurbs_export_test vistrel_plugin)

# Mesh merge, materials, part instances, surfaces.
vistrel_add_test(mesh_buffers_test SOURCES mesh_buffers_test.cpp LIBS vistrel_core)
vistrel_add_test(materials_test SOURCES materials_test.cpp sim_geometry_host.cpp
                 LIBS vistrel_core vistrel_simhost)
vistrel_add_test(part_instances_test SOURCES part_instances_test.cpp LIBS vistrel_core)
vistrel_add_test(solid_geometry_test SOURCES solid_geometry_test.cpp sim_geometry_host.cpp
                 LIBS vistrel_core vistrel_simhost)

# Animation: the frame-file reader and the animation block.
vistrel_add_test(frame_file_test SOURCES frame_file_test.cpp LIBS vistrel_core)
target_compile_definitions(frame_file_test PRIVATE VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
vistrel_add_test(animation_test SOURCES animation_test.cpp allocation_failure.cpp LIBS vistrel_core)

# Export roads, component walk, cameras, units and chord heights; most run against the simulated
# host bound in the test's own process, writing into a recording scene.
vistrel_add_test(scene_head_test SOURCES scene_head_test.cpp LIBS vistrel_core)
foreach(test component_walk_test cameras_test metre_scale_test tessellation_test)
  string(REPLACE "_test" "" concept ${test})
  vistrel_add_test(${test} SOURCES ${concept}_test.cpp sim_export_fixture.cpp simhost_binding.cpp
                   recording_scene.cpp
                   LIBS vistrel_core vistrel_simhost)
endforeach()
vistrel_add_test(export_roads_test
  SOURCES export_roads_test.cpp sim_export_fixture.cpp simhost_binding.cpp recording_scene.cpp
          scoped_registry.cpp scoped_environment.cpp allocation_failure.cpp test_paths.cpp
          renderer_install.cpp
  LIBS vistrel_core vistrel_simhost)
target_compile_definitions(export_roads_test PRIVATE VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# A live road against the stand-in renderer.
add_dependencies(export_roads_test vistrel_live_link vistrel_renderer)
# TinyXML's parser is not exception-safe: an allocation that a start-up test makes fail inside it
# loses the node it was reading. The loss is TinyXML's, so the sanitizer does not count it here.
set_tests_properties(export_roads_test PROPERTIES ENVIRONMENT
  "LSAN_OPTIONS=print_suppressions=0:suppressions=${CMAKE_CURRENT_SOURCE_DIR}/tinyxml_parse_leaks.supp")
set_tests_properties(export_roads_test PROPERTIES RESOURCE_LOCK registry)
# The Export command through the simulated host and the real plug-in library.
vistrel_add_test(export_command_test SOURCES export_command_test.cpp plugin_command_line.cpp
                 test_paths.cpp LIBS vistrel_simhost)
target_compile_definitions(export_command_test PRIVATE
  VISTREL_PLUGIN_PATH="$<TARGET_FILE:vistrel_plugin>" VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(export_command_test vistrel_plugin)
