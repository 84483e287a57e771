#!/usr/bin/env bash
# Shared set-up of play.sh, test.sh and bench.sh: installs what a fresh Debian
# machine lacks, then configures and builds into the folder given as the first
# argument (default build) with any further CMake arguments; "--target NAME"
# (repeatable) builds only those targets instead of everything.
#   tools/setup.sh [--tests] [BUILD_DIR] [CMAKE_ARGUMENT | --target NAME]...
# The game's own build and run-time packages (game_packages.txt) are always
# installed; --tests adds what only the tests, benchmarks and fuzz targets
# need (test_packages.txt). ZR_JOBS sets the build's parallel jobs.
set -euo pipefail
tools=$(dirname "$0")

lists=("$tools/game_packages.txt")
if [ "${1:-}" = "--tests" ]; then
  lists+=("$tools/test_packages.txt")
  shift
fi
mapfile -t packages < <(cat "${lists[@]}")

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${1:-build}
shift || true
cmake_arguments=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--target" ] && [ $# -ge 2 ]; then
    targets+=(--target "$2")
    shift 2
  else
    cmake_arguments+=("$1")
    shift
  fi
done
cmake -S "$tools/.." -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_arguments[@]}" \
  > "$build_dir.configure.log" 2>&1 || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" -j"${ZR_JOBS:-$(nproc)}" "${targets[@]}"
