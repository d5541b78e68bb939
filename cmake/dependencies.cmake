# Third-party dependencies. On Linux they come from Debian's packages; the Windows cross build
# compiles them from the sources Debian ships, so both builds use the same code. The fuzz build
# compiles TinyXML from that source too, so that its parser runs instrumented under the fuzzers.
#
# Defines, in both builds:
#   vistrel::tinyxml         TinyXML 2.6 with its std::string interface (TIXML_USE_STL)
#   vistrel::nlohmann_json   nlohmann JSON, header only (VISTREL_NLOHMANN_INCLUDE: its include dir)
#   GTest::gtest, GTest::gtest_main, GTest::gmock, GTest::gmock_main   (when VISTREL_TESTS)
#   benchmark::benchmark, benchmark::benchmark_main                    (when VISTREL_BENCH; Linux)

# --- TinyXML ---------------------------------------------------------------------------------
if(WIN32 OR VISTREL_FUZZ)
  # TinyXML from Debian's source package, with Debian's patches applied by `apt-get source`
  # (the same code as libtinyxml-dev, so both builds write the same XML).
  set(VISTREL_TINYXML_SOURCE_DIR "" CACHE PATH
      "Unpacked Debian source of tinyxml (apt-get source tinyxml); fetched into the build when empty")
  if(NOT VISTREL_TINYXML_SOURCE_DIR)
    set(_vistrel_tinyxml_fetch ${CMAKE_BINARY_DIR}/_deps/tinyxml-debian-source)
    file(GLOB _vistrel_tinyxml_found LIST_DIRECTORIES true ${_vistrel_tinyxml_fetch}/tinyxml-*/tinyxml.h)
    if(NOT _vistrel_tinyxml_found)
      message(STATUS "Fetching Debian's tinyxml source into ${_vistrel_tinyxml_fetch}")
      file(MAKE_DIRECTORY ${_vistrel_tinyxml_fetch})
      execute_process(COMMAND apt-get source -q tinyxml
                      WORKING_DIRECTORY ${_vistrel_tinyxml_fetch}
                      RESULT_VARIABLE _vistrel_rc OUTPUT_QUIET)
      file(GLOB _vistrel_tinyxml_found ${_vistrel_tinyxml_fetch}/tinyxml-*/tinyxml.h)
      if(NOT _vistrel_rc EQUAL 0 OR NOT _vistrel_tinyxml_found)
        message(FATAL_ERROR "apt-get source tinyxml failed: run tools/install-deps.sh "
                            "(it adds the deb-src entries) or set VISTREL_TINYXML_SOURCE_DIR")
      endif()
    endif()
    list(GET _vistrel_tinyxml_found 0 _vistrel_tinyxml_header)
    get_filename_component(_vistrel_tinyxml_dir ${_vistrel_tinyxml_header} DIRECTORY)
    set(VISTREL_TINYXML_SOURCE_DIR ${_vistrel_tinyxml_dir} CACHE PATH
        "Unpacked Debian source of tinyxml (apt-get source tinyxml)" FORCE)
  endif()
  if(NOT EXISTS ${VISTREL_TINYXML_SOURCE_DIR}/tinyxml.h)
    message(FATAL_ERROR "VISTREL_TINYXML_SOURCE_DIR=${VISTREL_TINYXML_SOURCE_DIR} holds no tinyxml.h")
  endif()
  if(NOT EXISTS ${VISTREL_TINYXML_SOURCE_DIR}/.pc/applied-patches)
    message(WARNING "${VISTREL_TINYXML_SOURCE_DIR} shows no applied Debian patches; "
                    "unpack it with apt-get source (needs dpkg-dev)")
  endif()
  add_library(vistrel_tinyxml STATIC
    ${VISTREL_TINYXML_SOURCE_DIR}/tinyxml.cpp
    ${VISTREL_TINYXML_SOURCE_DIR}/tinystr.cpp
    ${VISTREL_TINYXML_SOURCE_DIR}/tinyxmlerror.cpp
    ${VISTREL_TINYXML_SOURCE_DIR}/tinyxmlparser.cpp)
  target_include_directories(vistrel_tinyxml SYSTEM PUBLIC ${VISTREL_TINYXML_SOURCE_DIR})
  target_compile_definitions(vistrel_tinyxml PUBLIC TIXML_USE_STL)
  target_compile_options(vistrel_tinyxml PRIVATE -w)
else()
  # libtinyxml-dev: the same source with the same patches, built by Debian.
  find_path(VISTREL_TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
  find_library(VISTREL_TINYXML_LIBRARY tinyxml REQUIRED)
  add_library(vistrel_tinyxml INTERFACE)
  target_include_directories(vistrel_tinyxml SYSTEM INTERFACE ${VISTREL_TINYXML_INCLUDE_DIR})
  target_compile_definitions(vistrel_tinyxml INTERFACE TIXML_USE_STL)
  target_link_libraries(vistrel_tinyxml INTERFACE ${VISTREL_TINYXML_LIBRARY})
endif()
add_library(vistrel::tinyxml ALIAS vistrel_tinyxml)

if(NOT WIN32)
  # --- Linux: Debian's packages -------------------------------------------------------------
  find_package(nlohmann_json 3 REQUIRED)
  add_library(vistrel_nlohmann_json INTERFACE)
  target_link_libraries(vistrel_nlohmann_json INTERFACE nlohmann_json::nlohmann_json)
  add_library(vistrel::nlohmann_json ALIAS vistrel_nlohmann_json)
  get_target_property(VISTREL_NLOHMANN_INCLUDE nlohmann_json::nlohmann_json
                      INTERFACE_INCLUDE_DIRECTORIES)

  if(VISTREL_TESTS)
    find_package(GTest REQUIRED)
  endif()
  if(VISTREL_BENCH)
    find_package(benchmark REQUIRED)
  endif()
  return()
endif()

# --- Windows cross build ---------------------------------------------------------------------
if(VISTREL_BENCH)
  message(STATUS "Benchmarks are not built for Windows")
  set(VISTREL_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
endif()

# nlohmann JSON: header only. Its headers are copied out of /usr/include, since the Linux system
# include folder itself must never be on the cross compiler's search path.
find_path(VISTREL_NLOHMANN_SYSTEM_INCLUDE nlohmann/json.hpp
          PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(VISTREL_NLOHMANN_INCLUDE ${CMAKE_BINARY_DIR}/_deps/nlohmann_json/include)
file(COPY ${VISTREL_NLOHMANN_SYSTEM_INCLUDE}/nlohmann DESTINATION ${VISTREL_NLOHMANN_INCLUDE})
add_library(vistrel_nlohmann_json INTERFACE)
target_include_directories(vistrel_nlohmann_json SYSTEM INTERFACE ${VISTREL_NLOHMANN_INCLUDE})
add_library(vistrel::nlohmann_json ALIAS vistrel_nlohmann_json)

# GoogleTest from Debian's source in /usr/src/googletest.
if(VISTREL_TESTS)
  set(VISTREL_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source (libgtest-dev)")
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VISTREL_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  foreach(_vistrel_gt gtest gtest_main gmock gmock_main)
    target_compile_options(${_vistrel_gt} PRIVATE -w)
    if(NOT TARGET GTest::${_vistrel_gt})  # GoogleTest 1.11+ defines these aliases itself
      add_library(GTest::${_vistrel_gt} ALIAS ${_vistrel_gt})
    endif()
  endforeach()
endif()
