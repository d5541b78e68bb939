# The frame-file reader. Its sources are compiled into the target so that the fuzzer sees their
# coverage.
vistrel_add_fuzzer(frame_file_fuzz
  SOURCES frame_file_fuzz.cpp ${PROJECT_SOURCE_DIR}/export/frame_file.cpp
          ${PROJECT_SOURCE_DIR}/export/component_path.cpp)
target_include_directories(frame_file_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
