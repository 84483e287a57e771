#!/usr/bin/env bash
# Installs what the game needs and is missing, builds the game and its data
# (not the tests), and starts it. A build folder test.sh has set up keeps its tests.
set -euo pipefail
cd "$(dirname "$0")"
testing=()
[ -f build/CMakeCache.txt ] || testing=(-DBUILD_TESTING=OFF)
tools/setup.sh build "${testing[@]}" --target zrplay
cd build/game
exec ./zorblitrally "$@"
