#!/usr/bin/env bash
# The main job on Linux: builds the plug-in and the simulated host (build/linux) and runs the
# plug-in in the simulated host on the sample assembly, in the scratch folder out/ (the plug-in
# keeps its settings file in the host's current directory).
#
#   tools/run-sample.sh              (after: sudo tools/install-deps.sh)
#   tools/run-sample.sh --install    installs the packages first (as root)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

if [ "${1:-}" = --install ]; then
  tools/install-deps.sh
fi

build=$root/build/linux
out=$root/out
mkdir -p "$root/build"
start=$(date +%s)
echo "==> building the plug-in and the simulated host in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVISTREL_TESTS=OFF -Wno-dev \
  >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --parallel "$(nproc)" --target simhost vistrel_plugin
echo "<== built in $(( $(date +%s) - start )) s"

simhost=$build/simhost/simhost
plugin=$build/toolkit/libvistrel_plugin.so
model=$root/examples/sample_assembly.json

mkdir -p "$out"
cd "$out"
rm -f vistrel_plugin_settings.xml
# Today the plug-in's part of the run is the selection-mode command, which writes the settings
# file. Once the export lands this becomes:
#   "$simhost" --plugin "$plugin" --model "$model" --save-as "$out/sample.vsb" "Vistrel Export"
args=(--plugin "$plugin" --text "$root/text")
[ -f "$model" ] && args+=(--model "$model")
echo "==> simhost ${args[*]} \"Manual selection\"   (in $out)"
"$simhost" "${args[@]}" "Manual selection"
echo "==> $out/vistrel_plugin_settings.xml:"
cat vistrel_plugin_settings.xml
