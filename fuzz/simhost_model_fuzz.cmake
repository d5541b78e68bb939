# The simulated host's model file loader. Its sources are compiled into the target so that the
# fuzzer sees their coverage.
vistrel_add_fuzzer(model_file_fuzz
  SOURCES model_file_fuzz.cpp
          ${PROJECT_SOURCE_DIR}/simhost/model/bspline.cpp
          ${PROJECT_SOURCE_DIR}/simhost/model/json_node.cpp
          ${PROJECT_SOURCE_DIR}/simhost/model/model_file.cpp
          ${PROJECT_SOURCE_DIR}/simhost/model/outline.cpp
          ${PROJECT_SOURCE_DIR}/simhost/model/shapes.cpp
          ${PROJECT_SOURCE_DIR}/simhost/model/world.cpp
  LIBS vistrel::nlohmann_json)
target_include_directories(model_file_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
