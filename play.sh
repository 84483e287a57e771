#!/usr/bin/env bash
# Installs what is missing, builds the game and its data (not the tests), and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh build --target zrplay
cd build/game
exec ./zorblitrally "$@"
