# The settings file reader. Its sources are compiled into the target so that the fuzzer sees
# their coverage; with VISTREL_TINYXML_SOURCE_DIR (an unpacked `apt-get source tinyxml`) TinyXML's
# parser is compiled in as well and runs under the sanitizers too.
set(settings_fuzz_sources settings_file_fuzz.cpp ${PROJECT_SOURCE_DIR}/plugin/settings_file.cpp
                          ${PROJECT_SOURCE_DIR}/plugin/xml_parse_bounds.cpp)
if(VISTREL_TINYXML_SOURCE_DIR AND EXISTS ${VISTREL_TINYXML_SOURCE_DIR}/tinyxmlparser.cpp)
  vistrel_add_fuzzer(settings_file_fuzz
    SOURCES ${settings_fuzz_sources}
            ${VISTREL_TINYXML_SOURCE_DIR}/tinyxml.cpp
            ${VISTREL_TINYXML_SOURCE_DIR}/tinystr.cpp
            ${VISTREL_TINYXML_SOURCE_DIR}/tinyxmlerror.cpp
            ${VISTREL_TINYXML_SOURCE_DIR}/tinyxmlparser.cpp
    LIBS vistrel_platform)
  target_include_directories(settings_file_fuzz BEFORE PRIVATE ${VISTREL_TINYXML_SOURCE_DIR})
  target_compile_definitions(settings_file_fuzz PRIVATE TIXML_USE_STL)
else()
  vistrel_add_fuzzer(settings_file_fuzz SOURCES ${settings_fuzz_sources}
                     LIBS vistrel_platform vistrel::tinyxml)
endif()
