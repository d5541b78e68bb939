# The registry file reader of the POSIX build. Its sources are compiled into the target so that
# the fuzzer sees their coverage.
vistrel_add_fuzzer(registry_file_fuzz
  SOURCES registry_file_fuzz.cpp ${PROJECT_SOURCE_DIR}/platform/registry_file.cpp
          ${PROJECT_SOURCE_DIR}/platform/utf8.cpp)
target_include_directories(registry_file_fuzz PRIVATE ${PROJECT_SOURCE_DIR})

# The instance-list reader of the renderer link.
vistrel_add_fuzzer(instance_list_fuzz
  SOURCES instance_list_fuzz.cpp ${PROJECT_SOURCE_DIR}/link/instance_list.cpp)
target_include_directories(instance_list_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
