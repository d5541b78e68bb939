#!/bin/sh
# Gets the wine prefix $WINEPREFIX ready for the Windows tests, and keeps wine warm for them.
#
#   WINEPREFIX=$PWD/build/windows/wineprefix tools/wine-prefix.sh
#
# The Windows build's ctest runs this first (the fixture test wine_prefix), and tools/test.sh
# before ctest. It
#   - creates a 32-bit prefix once (wineboot, about 10 s) and waits for wineserver to write its
#     registry files, which it does on exit;
#   - starts a wineserver that stays up until 30 s after the last wine program ended, and wine's
#     own background programs (services.exe, explorer.exe, ...) with their output in a file.
#     Otherwise the first test program would start them with the test's output pipe, and ctest
#     would wait for that pipe until they exit, seconds after the test.
set -e
: "${WINEPREFIX:?set WINEPREFIX to the prefix folder}"
export LC_ALL=C.UTF-8  # as the tests run (tests/CMakeLists.txt)
export WINEARCH="${WINEARCH:-win32}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"  # no Mono/Gecko install prompts

log="$WINEPREFIX.log"
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  { wineboot -i && wineserver -w; } </dev/null >"$log" 2>&1 || { cat "$log"; exit 1; }
fi
# Fails when a wineserver serves this prefix already; that one does the job.
wineserver -p30 </dev/null >>"$log" 2>&1 || true
wine cmd /c exit </dev/null >>"$log" 2>&1
