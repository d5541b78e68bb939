# Third-party dependencies, from Debian's packages on Linux and built from source for the
# Windows cross build. Defines: vistrel::tinyxml, GTest::gtest / GTest::gtest_main,
# benchmark::benchmark (when VISTREL_BENCH), and VISTREL_NLOHMANN_INCLUDE.
if(NOT WIN32)
  add_library(vistrel_tinyxml INTERFACE)
  target_compile_definitions(vistrel_tinyxml INTERFACE TIXML_USE_STL)
  target_link_libraries(vistrel_tinyxml INTERFACE tinyxml)
  add_library(vistrel::tinyxml ALIAS vistrel_tinyxml)
  if(VISTREL_TESTS)
    find_package(GTest REQUIRED)
  endif()
  if(VISTREL_BENCH)
    find_package(benchmark REQUIRED)
  endif()
endif()
