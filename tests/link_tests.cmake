# The renderer link: the live-link library loader and the scene builder.

# Fake live-link libraries for the loader's tests, each in a folder of its own below
# live_link_fakes/: tag1 and tag2 ("trvvistrellive32", answering a factory), tag64
# ("trvvistrellive64"), noentry (no entry point) and nullfactory (an entry point answering null).
set(VISTREL_FAKE_LIVE_LINKS "")
function(vistrel_fake_live_link variant file)
  set(target fake_live_link_${variant})
  add_library(${target} MODULE fake_live_link_library.cpp)
  target_link_libraries(${target} PRIVATE vistrel_scene)
  target_compile_definitions(${target} PRIVATE ${ARGN})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX ".so"
    OUTPUT_NAME ${file}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/live_link_fakes/${variant}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/live_link_fakes/${variant})
  set(VISTREL_FAKE_LIVE_LINKS ${VISTREL_FAKE_LIVE_LINKS} ${target} PARENT_SCOPE)
endfunction()
vistrel_fake_live_link(tag1 trvvistrellive32 FAKE_LIBRARY_TAG=1)
vistrel_fake_live_link(tag2 trvvistrellive32 FAKE_LIBRARY_TAG=2)
vistrel_fake_live_link(tag64 trvvistrellive64 FAKE_LIBRARY_TAG=64)
vistrel_fake_live_link(noentry trvvistrellive32 FAKE_LIBRARY_TAG=0 FAKE_NO_ENTRY)
vistrel_fake_live_link(nullfactory trvvistrellive32 FAKE_LIBRARY_TAG=0 FAKE_NULL_FACTORY)

vistrel_add_test(live_link_loader_test
  SOURCES live_link_loader_test.cpp scoped_registry.cpp scoped_environment.cpp test_paths.cpp
  LIBS vistrel_core)
add_dependencies(live_link_loader_test ${VISTREL_FAKE_LIVE_LINKS})
# Bare library names are looked for in live_link_bare beside the program: on POSIX through the
# program's run path, and through LD_LIBRARY_PATH as well, since under AddressSanitizer dlopen
# is called from the sanitizer's library and the program's run path does not apply; on Windows
# the test makes the folder the DLL directory.
# The folder must exist before the program starts: the dynamic linker probes its search path
# while it loads the program and passes over, for the whole run, a folder it did not find then.
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/live_link_bare)
set_target_properties(live_link_loader_test PROPERTIES BUILD_RPATH "$ORIGIN/live_link_bare")
set_tests_properties(live_link_loader_test PROPERTIES RESOURCE_LOCK registry)
if(NOT WIN32)
  set_tests_properties(live_link_loader_test PROPERTIES
    ENVIRONMENT "LD_LIBRARY_PATH=${CMAKE_CURRENT_BINARY_DIR}/live_link_bare")
endif()

# The places of the scene interface, the factory and the instance lister, held to the tables of
# the renderer's library.
vistrel_add_test(interface_layout_test SOURCES interface_layout_test.cpp LIBS vistrel_scene)

# The same places as Microsoft's compiler lays out the renderer's own declarations, as clang
# lays them out in its Microsoft mode (tests/msabi). CI installs clang: without it this fails.
if(NOT CMAKE_CROSSCOMPILING)
  find_program(VISTREL_CLANGXX NAMES clang++ clang++-14)
  add_test(NAME msvc_vtable_layout_test
           COMMAND ${CMAKE_COMMAND} -DCLANG=${VISTREL_CLANGXX} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/msabi/check_vtable_layouts.cmake)
endif()

vistrel_add_test(scene_builder_test
  SOURCES scene_builder_test.cpp scoped_registry.cpp scoped_environment.cpp test_paths.cpp
  LIBS vistrel_core)
add_dependencies(scene_builder_test fake_live_link_tag1)
set_tests_properties(scene_builder_test PROPERTIES RESOURCE_LOCK registry)

vistrel_add_test(link_sleep_test SOURCES link_sleep_test.cpp LIBS vistrel_core)

# The instance list, the registry's renderer and port range, the renderer's start and the
# connection strategy.
vistrel_add_test(instance_list_test SOURCES instance_list_test.cpp LIBS vistrel_core)

# A renderer executable that only notes its start in a log file.
add_executable(fake_renderer fake_renderer.cpp)
add_library(vistrel_fake_renderer_log STATIC fake_renderer_log.cpp scoped_environment.cpp test_paths.cpp)
target_include_directories(vistrel_fake_renderer_log PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(vistrel_fake_renderer_log PRIVATE
  VISTREL_FAKE_RENDERER_NAME="$<TARGET_FILE_NAME:fake_renderer>")
add_dependencies(vistrel_fake_renderer_log fake_renderer)

vistrel_add_test(renderer_launch_test
  SOURCES renderer_launch_test.cpp scoped_registry.cpp
  LIBS vistrel_core vistrel_fake_renderer_log)
vistrel_add_test(live_link_port_test
  SOURCES live_link_port_test.cpp scoped_registry.cpp scoped_environment.cpp
  LIBS vistrel_core)
set_tests_properties(renderer_launch_test live_link_port_test PROPERTIES RESOURCE_LOCK registry)

# The scripted live-link library of the connection tests, in a folder of its own.
add_library(scripted_live_link MODULE scripted_live_link_library.cpp)
target_include_directories(scripted_live_link PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(scripted_live_link PROPERTIES
  PREFIX ""
  SUFFIX ".so"
  OUTPUT_NAME trvvistrellive32
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/scripted_live_link
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/scripted_live_link)

vistrel_add_test(live_link_connection_test
  SOURCES live_link_connection_test.cpp scoped_registry.cpp
  LIBS vistrel_core vistrel_fake_renderer_log)
add_dependencies(live_link_connection_test scripted_live_link)
set_tests_properties(live_link_connection_test PROPERTIES RESOURCE_LOCK registry)

# The live roads end to end: the simulated host with the plug-in library, the stand-in renderer
# and its live-link library.
vistrel_add_test(live_roads_test
  SOURCES live_roads_test.cpp plugin_command_line.cpp renderer_install.cpp scoped_registry.cpp
          scoped_environment.cpp test_paths.cpp
  LIBS vistrel_simhost vistrel_platform)
target_compile_definitions(live_roads_test PRIVATE
  VISTREL_PLUGIN_PATH="$<TARGET_FILE:vistrel_plugin>" VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(live_roads_test vistrel_plugin vistrel_live_link vistrel_renderer)
set_tests_properties(live_roads_test PROPERTIES RESOURCE_LOCK registry)
