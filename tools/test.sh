#!/usr/bin/env bash
# Builds and tests everything; exits non-zero on any failure.
#
#   tools/test.sh [linux|asan|windows|fuzz|all]...      (default: all)
#
#   linux    Release build with the benchmarks built (not run), ctest          build/ci-linux
#   asan     Debug build, AddressSanitizer + UndefinedBehaviorSanitizer, ctest   build/ci-asan
#   windows  32-bit DLL and tests cross-built with mingw, ctest under wine     build/ci-windows
#            (also builds the Linux plug-in and host in build/ci-linux: one test compares the
#            two builds' exports)
#   fuzz     fuzz targets built with clang and libFuzzer, each run briefly     build/ci-fuzz
#
# Needs the packages of tools/install-deps.sh. Environment knobs:
#   JOBS=n            parallel build and test jobs (default: nproc)
#   FUZZ_SECONDS=n    run time of each fuzz target (default 10)
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
fuzz_seconds=${FUZZ_SECONDS:-10}

builds=("$@")
[ ${#builds[@]} -eq 0 ] && builds=(all)
if [ "${builds[*]}" = all ]; then builds=(linux asan windows fuzz); fi
for b in "${builds[@]}"; do
  case $b in linux|asan|windows|fuzz) ;; *)
    echo "usage: tools/test.sh [linux|asan|windows|fuzz|all]..." >&2; exit 2 ;;
  esac
done

failures=()       # what failed, for the closing summary
summaries=()      # ctest's closing line of each build
total_passed=0
total_failed=0
all_start=$(date +%s)

# step NAME COMMAND...: prints what it does and how long it took; records a failure.
step() {
  local name=$1; shift
  local t0=$(date +%s)
  echo "==> $name"
  "$@"
  local rc=$?
  local dt=$(( $(date +%s) - t0 ))
  if [ $rc -eq 0 ]; then
    echo "<== $name: ok (${dt} s)"
  else
    echo "<== $name: FAILED, exit $rc (${dt} s)"
    failures+=("$name")
  fi
  return $rc
}

configure() {  # configure DIR cmake-args...
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -Wno-dev "$@"
}

build() {
  cmake --build "$1" --parallel "$jobs"
}

# run_ctest NAME DIR [ctest-args...]: output goes to DIR/ctest.log (a file, not a pipe), and is
# printed afterwards; the closing line of ctest is kept for the summary.
run_ctest() {
  local name=$1 dir=$2; shift 2
  local log=$dir/ctest.log
  ctest --test-dir "$dir" --parallel "$jobs" --output-on-failure --no-tests=error \
        --timeout 600 "$@" >"$log" 2>&1
  local rc=$?
  cat "$log"
  local line
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    summaries+=("$name: $line")
    local failed total
    failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total_failed=$(( total_failed + failed ))
    total_passed=$(( total_passed + total - failed ))
  else
    summaries+=("$name: ctest gave no result (exit $rc)")
    [ $rc -eq 0 ] && rc=1
    total_failed=$(( total_failed + 1 ))
  fi
  return $rc
}

# --- Linux -------------------------------------------------------------------------------------
linux_dir=build/ci-linux
configure_linux() {
  configure $linux_dir -DCMAKE_BUILD_TYPE=Release -DVISTREL_BENCH=ON
}

do_linux() {
  local dir=$linux_dir
  step "linux: configure" configure_linux || return
  step "linux: build (tests and benchmarks)" build $dir || return
  step "linux: ctest" run_ctest linux $dir
}

# --- Sanitizers --------------------------------------------------------------------------------
do_asan() {
  local dir=build/ci-asan
  # Unoptimised with line tables only: builds in half the time of -O2 -g, the sanitizers see
  # everything, asserts stay on, and reports still name file and line.
  step "asan: configure" configure $dir -DCMAKE_BUILD_TYPE=Debug -DVISTREL_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" -DCMAKE_C_FLAGS_DEBUG="-O0 -g1" || return
  step "asan: build" build $dir || return
  # Any report fails its test: leaks included; UBSan stops at the first finding.
  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:print_summary=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:print_summary=1 \
  LSAN_OPTIONS=print_suppressions=0 \
    step "asan: ctest" run_ctest asan $dir
}

# TinyXML's source as Debian ships it, patched, for the builds that compile it (Windows, fuzz):
# fetched once into build/deps and shared. Sets tinyxml_dir.
tinyxml_dir=
tinyxml_source() {
  local src=$root/build/deps/tinyxml
  if ! ls "$src"/tinyxml-*/tinyxml.h >/dev/null 2>&1; then
    step "$1: apt-get source tinyxml" \
      bash -c "rm -rf '$src' && mkdir -p '$src' && cd '$src' && apt-get source -q tinyxml" || return
  fi
  tinyxml_dir=$(dirname "$(ls -d "$src"/tinyxml-*/tinyxml.h | head -n 1)")
}

# --- Windows (mingw, wine) ---------------------------------------------------------------------
# Lists the DLLs that a PE file imports.
pe_imports() {
  i686-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# The DLL and the programs are linked -static: none may import a mingw runtime DLL
# (libstdc++-6, libgcc_s_*, libwinpthread-1, ...), which a user's machine does not have.
check_static_imports() {
  local dir=$1 bad=0 n=0 f dll
  while IFS= read -r f; do
    n=$((n + 1))
    while IFS= read -r dll; do
      case ${dll,,} in lib*.dll)
        echo "$f imports $dll"; bad=1 ;;
      esac
    done < <(pe_imports "$f")
  done < <(find "$dir" \( -name CMakeFiles -o -name _deps -o -name wineprefix \) -prune -o \
                \( -name '*.dll' -o -name '*.exe' \) -type f -print)
  echo "checked the imports of $n DLLs and programs"
  return $bad
}

# The Linux build's plug-in and simulated host, current, for the test that compares the two
# builds' exports of the sample model.
build_linux_export() {
  { [ -f $linux_dir/build.ninja ] || configure_linux; } &&
    cmake --build $linux_dir --parallel "$jobs" --target simhost vistrel_plugin
}

do_windows() {
  local dir=build/ci-windows
  tinyxml_source windows || return
  step "windows: configure" configure $dir -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
    -DVISTREL_TINYXML_SOURCE_DIR="$tinyxml_dir" -DVISTREL_NATIVE_BUILD_DIR="$root/$linux_dir" || return
  step "windows: build" build $dir || return
  step "windows: the Linux export to compare with" build_linux_export || return
  step "windows: no mingw runtime DLL imported" check_static_imports $dir
  # The same settings the tests get from ctest (tests/CMakeLists.txt).
  export WINEPREFIX=$root/$dir/wineprefix WINEARCH=win32 WINEDEBUG=-all LC_ALL=C.UTF-8 \
         WINEDLLOVERRIDES='mscoree,mshtml='
  step "windows: wine prefix" tools/wine-prefix.sh || return
  step "windows: ctest under wine" run_ctest windows $dir
}

# --- Fuzz targets ------------------------------------------------------------------------------
# fuzz_run EXE LOG: a run of FUZZ_SECONDS from the seeds in fuzz/corpus/<name> and with the
# dictionary fuzz/<name>.dict, when they exist; new inputs and crash files go to its own folder.
fuzz_run() {
  local exe=$1 log=$2 name
  name=$(basename "$exe")
  local work=$root/build/ci-fuzz/run/$name
  rm -rf "$work" && mkdir -p "$work/corpus"
  local args=("$work/corpus")
  [ -d "$root/fuzz/corpus/$name" ] && args+=("$root/fuzz/corpus/$name")
  [ -f "$root/fuzz/$name.dict" ] && args+=("-dict=$root/fuzz/$name.dict")
  cd "$work" && "$exe" "${args[@]}" -max_total_time="$fuzz_seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 >"$log" 2>&1
}

do_fuzz() {
  local dir=build/ci-fuzz
  tinyxml_source fuzz || return
  step "fuzz: configure (clang)" configure $dir -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVISTREL_FUZZ=ON -DVISTREL_TESTS=OFF -DVISTREL_TINYXML_SOURCE_DIR="$tinyxml_dir" || return
  # Only the fuzz targets and what they link (the phony target Ninja makes for the folder).
  step "fuzz: build" cmake --build $dir --parallel "$jobs" --target fuzz/all || return
  local targets=()
  mapfile -t targets < <(find "$root/$dir/fuzz" -maxdepth 1 -type f -perm -u+x 2>/dev/null | sort)
  if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz: no fuzz targets yet"
    return 0
  fi
  # The targets run side by side, JOBS at a time.
  local t0 t name running=0 fz_passed=0 fz_failed=0
  t0=$(date +%s)
  echo "==> fuzz: ${#targets[@]} targets, ${fuzz_seconds} s each, $jobs at a time"
  mkdir -p "$root/$dir/run"
  for t in "${targets[@]}"; do
    name=$(basename "$t")
    ( fuzz_run "$t" "$root/$dir/run/$name.log"; echo $? >"$root/$dir/run/$name.rc" ) &
    running=$((running + 1))
    if [ $running -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
  done
  wait
  for t in "${targets[@]}"; do
    name=$(basename "$t")
    if [ "$(cat "$root/$dir/run/$name.rc")" = 0 ]; then
      fz_passed=$((fz_passed + 1))
      echo "$name: ok, $(grep -E '^Done [0-9]+ runs' "$root/$dir/run/$name.log")"
    else
      fz_failed=$((fz_failed + 1))
      failures+=("fuzz: $name")
      echo "$name: FAILED; its output: $dir/run/$name.log, its inputs: $dir/run/$name/"
      tail -n 60 "$root/$dir/run/$name.log"
    fi
  done
  echo "<== fuzz: runs done ($(( $(date +%s) - t0 )) s)"
  summaries+=("fuzz: $fz_passed fuzz targets ran clean, $fz_failed failed")
  total_passed=$(( total_passed + fz_passed ))
  total_failed=$(( total_failed + fz_failed ))
}

for b in "${builds[@]}"; do
  t0=$(date +%s)
  echo
  echo "################ $b"
  "do_$b"
  echo "################ $b done in $(( $(date +%s) - t0 )) s"
done

echo
echo "================ summary ($(( $(date +%s) - all_start )) s)"
for s in "${summaries[@]}"; do echo "$s"; done
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failures[@]}"
fi
echo "Total: $total_passed passed, $total_failed failed"
[ ${#failures[@]} -eq 0 ] && [ "$total_failed" -eq 0 ]
