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
set_target_properties(live_link_loader_test PROPERTIES BUILD_RPATH "$ORIGIN/live_link_bare")
set_tests_properties(live_link_loader_test PROPERTIES RESOURCE_LOCK registry)
if(NOT WIN32)
  set_tests_properties(live_link_loader_test PROPERTIES
    ENVIRONMENT "LD_LIBRARY_PATH=${CMAKE_CURRENT_BINARY_DIR}/live_link_bare")
endif()

vistrel_add_test(scene_builder_test
  SOURCES scene_builder_test.cpp scoped_registry.cpp scoped_environment.cpp test_paths.cpp
  LIBS vistrel_core)
add_dependencies(scene_builder_test fake_live_link_tag1)
set_tests_properties(scene_builder_test PROPERTIES RESOURCE_LOCK registry)

vistrel_add_test(link_sleep_test SOURCES link_sleep_test.cpp LIBS vistrel_core)
