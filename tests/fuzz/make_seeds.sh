#!/usr/bin/env bash
# Writes every fuzz target's seed corpus anew from the game's own writers
# (tests/fuzz/seeds/make_seeds.cpp) into tests/fuzz/<target>/corpus/.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build-fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DZR_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ > "$build.configure.log"
fi
cmake --build "$build" -j"${ZR_JOBS:-3}" --target zr_fuzz_seeds > "$build.log"
TMPDIR=$(mktemp -d) ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/bin/zr_fuzz_seeds" tests/fuzz
