# The simulated host: its runtime pieces, and whole sessions through the real plug-in library.
vistrel_add_test(host_memory_test SOURCES host_memory_test.cpp LIBS vistrel_simhost)
vistrel_add_test(message_file_test SOURCES message_file_test.cpp LIBS vistrel_simhost)
vistrel_add_test(user_script_test SOURCES user_script_test.cpp LIBS vistrel_simhost)
vistrel_add_test(command_line_test SOURCES command_line_test.cpp LIBS vistrel_simhost)
vistrel_add_test(dialog_functions_test SOURCES dialog_functions_test.cpp LIBS vistrel_simhost)
vistrel_add_test(file_dialog_functions_test SOURCES file_dialog_functions_test.cpp LIBS vistrel_simhost)
vistrel_add_test(model_change_test SOURCES model_change_test.cpp LIBS vistrel_simhost)
vistrel_add_test(selection_functions_test SOURCES selection_functions_test.cpp LIBS vistrel_simhost)

# Sessions through the real plug-in library, loaded as the host loads it.
vistrel_add_test(simulated_host_test SOURCES simulated_host_test.cpp plugin_command_line.cpp
                 test_paths.cpp LIBS vistrel_simhost)
target_compile_definitions(simulated_host_test PRIVATE
  VISTREL_PLUGIN_PATH="$<TARGET_FILE:vistrel_plugin>" VISTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(simulated_host_test vistrel_plugin)

# The Windows build under wine exports the sample model byte for byte as a Linux build of the
# same tree does (tools/test.sh windows builds that one's plug-in and host first).
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(VISTREL_NATIVE_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/ci-linux CACHE PATH
      "A Linux build of this tree, whose export the Windows build's must equal")
  add_test(NAME cross_build_export_test
           COMMAND ${CMAKE_COMMAND}
                   -DNATIVE_HOST=${VISTREL_NATIVE_BUILD_DIR}/simhost/simhost
                   -DNATIVE_PLUGIN=${VISTREL_NATIVE_BUILD_DIR}/toolkit/libvistrel_plugin.so
                   -DWINDOWS_HOST=$<TARGET_FILE:simhost>
                   -DWINDOWS_PLUGIN=$<TARGET_FILE:vistrel_plugin>
                   -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}
                   -DMODEL=${PROJECT_SOURCE_DIR}/examples/sample_assembly.json
                   -DTEXT=${PROJECT_SOURCE_DIR}/text
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/run/cross_build_export_test
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/compare_builds_export.cmake)
endif()
