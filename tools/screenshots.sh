#!/usr/bin/env bash
# Saves the README's screenshots (menu, lobby, race) into docs/ by running the
# built game under an X server: the one in DISPLAY, or a private Xvfb.
#   tools/screenshots.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" -j3 --target screenshot_tour zorblitrally
mkdir -p "$here/docs"
started=""
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:97
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  started=$!
  sleep 1
fi
status=0
SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "$build/tools/screenshot_tour" "$here/docs" || status=$?
if [ -n "$started" ]; then kill "$started"; fi
exit $status
