# The real target: a 32-bit Windows DLL, cross-built with mingw-w64 (posix thread model, so that
# std::thread and std::mutex exist) and linked -static (see the top CMakeLists.txt), so neither the
# DLL nor the test programs need any mingw runtime DLL beside them. Tests run under wine.
# Every Windows target computes doubles in SSE2: the top CMakeLists.txt adds -msse2 -mfpmath=sse
# (there rather than here, so that a build folder configured before gets it too).
#
# The Windows build and all its tests:   tools/test.sh windows      (build folder build/ci-windows)
#
# By hand, for one target (e.g. the test code_page_test):
#
#   sudo tools/install-deps.sh                       # once
#   cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
#   cmake --build build/windows --target code_page_test
#   ctest --test-dir build/windows -R '^code_page_test$' --output-on-failure
#
# ctest runs each test program through wine in the folder build/windows/tests/run/<test>, with
# WINEPREFIX=build/windows/wineprefix (32-bit), WINEDEBUG=-all and LC_ALL=C.UTF-8 (so that file
# names outside ASCII survive); its fixture test wine_prefix creates the prefix on first use
# (about 10 s) and keeps a wineserver up (tools/wine-prefix.sh).
# To run a program by hand with the same settings (e.g. with --gtest_filter):
#
#   export WINEPREFIX=$PWD/build/windows/wineprefix WINEARCH=win32 WINEDEBUG=-all LC_ALL=C.UTF-8
#   tools/wine-prefix.sh
#   wine build/windows/tests/code_page_test.exe --gtest_filter='CodePage.*'
#
# TinyXML is compiled from Debian's source package (`apt-get source tinyxml`, patches applied);
# configure fetches it into the build folder unless VISTREL_TINYXML_SOURCE_DIR names an
# unpacked copy. GoogleTest is compiled from /usr/src/googletest; benchmarks are not built.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VISTREL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VISTREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VISTREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VISTREL_MINGW_PREFIX}-windres)
set(CMAKE_AR ${VISTREL_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VISTREL_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

# Headers and libraries come from the mingw sysroot only, never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${VISTREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# /usr/bin/wine runs 32-bit PE programs with Debian's wine32 loader. ctest and
# try_run run each test program through it; WINEPREFIX and WINEDEBUG come from the environment.
find_program(VISTREL_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VISTREL_WINE})
