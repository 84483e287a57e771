#!/usr/bin/env bash
# Installs what is missing, builds the game and its data, and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh build
cd build/game
exec ./zorblitrally "$@"
