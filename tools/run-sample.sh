#!/usr/bin/env bash
# The main job on Linux: builds the plug-in and the simulated host (build/linux) and exports the
# sample assembly with the plug-in in the simulated host to the scene file out/sample.vsb (the
# plug-in keeps its settings file in the host's current directory, out/).
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
rm -f vistrel_plugin_settings.xml sample.vsb
# The user runs "Vistrel Export" and saves the scene as sample.vsb; the settings file keeps the
# path.
args=(--plugin "$plugin" --text "$root/text" --model "$model" --save-as "$out/sample.vsb")
echo "==> simhost ${args[*]} \"Vistrel Export\"   (in $out)"
"$simhost" "${args[@]}" "Vistrel Export"
[ -s sample.vsb ] || { echo "no scene file was written" >&2; exit 1; }
echo "==> $out/sample.vsb: $(wc -c <sample.vsb) bytes, $(grep -a -c '^  group ' sample.vsb)" \
  "component group(s) in the model group; its head:"
head -n 20 sample.vsb
