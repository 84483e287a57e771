#!/usr/bin/env bash
# Shared set-up of play.sh and test.sh: installs what a fresh Debian machine
# lacks, then configures and builds into the folder given as $1 (default build)
# with any further CMake arguments; "--target NAME" (repeatable) builds only
# those targets instead of everything.
set -euo pipefail

packages=(cmake g++ make pkg-config
  libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-net1.2-dev libsdl-mixer1.2-dev
  libasound2-dev libvorbis-dev
  libglew-dev libglu1-mesa-dev libpng-dev libtiff-dev libgl1-mesa-dri
  libgtest-dev googletest
  nlohmann-json3-dev rapidjson-dev
  xvfb xauth x11-utils libx11-dev libxtst-dev
  fonts-dejavu-core
  clang libclang-rt-14-dev)

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
cmake -S "$(dirname "$0")/.." -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_arguments[@]}" \
  > "$build_dir.configure.log" 2>&1 || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
