#!/usr/bin/env bash
# Installs everything the builds and tests need, from Debian's packages (bookworm), as root.
# Safe to run again: it only adds what is missing.
#
#   sudo tools/install-deps.sh
#
# What it sets up:
#   - the i386 architecture (wine32 runs the 32-bit Windows DLL and its tests);
#   - deb-src entries mirroring the configured deb entries, so that `apt-get source tinyxml`
#     fetches the TinyXML the Windows build compiles;
#   - the compilers (g++, clang with libFuzzer, the mingw-w64 i686 cross compiler), CMake, Ninja,
#     TinyXML, nlohmann JSON, GoogleTest, Google Benchmark, wine.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: run as root (sudo tools/install-deps.sh)" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
start=$(date +%s)

# retry CMD...: up to three tries, for a mirror that fails for a moment.
retry() {
  local n
  for n in 1 2 3; do
    "$@" && return 0
    [ $n -lt 3 ] && { echo "   failed; trying again in $((n * 10)) s" >&2; sleep $((n * 10)); }
  done
  return 1
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "== adding the i386 architecture"
  dpkg --add-architecture i386
fi

# deb-src: write one extra sources file that repeats the deb entries as deb-src, unless a deb-src
# entry is already configured. Works for deb822 (*.sources) and one-line (*.list) files.
src_file=/etc/apt/sources.list.d/vistrel-deb-src.sources
have_src() {
  grep -hsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
    >/dev/null
}
if ! have_src; then
  echo "== adding deb-src entries ($src_file)"
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    # Keep the stanzas of plain "Types: deb" entries (the Debian archive), as deb-src.
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[[:space:]]*deb[[:space:]]*(\n|$)/ && /(^|\n)URIs:[^\n]*debian/ {
           sub(/Types:[[:space:]]*deb[[:space:]]*/, "Types: deb-src\n"); print }' "$f" >>"$tmp"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    # One-line entries become deb822 stanzas: deb [opts] URI SUITE COMPONENTS...
    awk '$1 == "deb" && $0 ~ /debian/ {
           i = 2; if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
           printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $i, $(i + 1)
           for (j = i + 2; j <= NF; j++) printf " %s", $j
           printf "\n\n" }' "$f" >>"$tmp"
  done
  if [ ! -s "$tmp" ]; then
    # Nothing to mirror: fall back to Debian's own archive for this release.
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    cat >"$tmp" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  install -m 644 "$tmp" "$src_file"
  rm -f "$tmp"
fi

echo "== apt-get update"
retry apt-get update -q

packages=(
  cmake ninja-build g++
  clang libclang-rt-14-dev          # libFuzzer and the sanitizer runtimes for clang
  libtinyxml-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686                # the 32-bit Windows cross compiler (…-posix variants)
  wine wine32 wine64                # runs the Windows build's tests
  dpkg-dev                          # apt-get source unpacks and patches with dpkg-source
  ca-certificates
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== apt-get install ${missing[*]}"
  retry apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "== all packages already installed"
fi

echo "== install-deps.sh done in $(( $(date +%s) - start )) s"
