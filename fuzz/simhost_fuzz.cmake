# The simulated host's readers of outside text: the user script (with its model changes) and the
# message files. Their sources are compiled into the targets so the fuzzer sees their coverage.
vistrel_add_fuzzer(user_script_fuzz
  SOURCES user_script_fuzz.cpp ${PROJECT_SOURCE_DIR}/simhost/user_script.cpp
          ${PROJECT_SOURCE_DIR}/simhost/model_change.cpp ${PROJECT_SOURCE_DIR}/simhost/model/world.cpp
  LIBS vistrel::nlohmann_json)
target_include_directories(user_script_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
vistrel_add_fuzzer(message_file_fuzz
  SOURCES message_file_fuzz.cpp ${PROJECT_SOURCE_DIR}/simhost/message_file.cpp
          ${PROJECT_SOURCE_DIR}/simhost/wide_text.cpp ${PROJECT_SOURCE_DIR}/platform/utf8.cpp)
target_include_directories(message_file_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
