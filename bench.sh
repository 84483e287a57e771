#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs each one; every line prints a
# figure beside a reference measured in the same run, with their ratio.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh --tests build-bench -DCMAKE_BUILD_TYPE=Release -DZR_BENCH=ON -DBUILD_TESTING=OFF
# The drawing benchmarks need an X server; without one, a virtual one is started.
if [ -z "${DISPLAY:-}" ]; then
  display=:$((500 + RANDOM % 400))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset > /tmp/zr-bench-xvfb.log 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  for _ in $(seq 50); do xdpyinfo -display "$display" > /dev/null 2>&1 && break; sleep 0.1; done
  export DISPLAY=$display
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# Each benchmark's figure lines, and any error or warning; the engine's status
# lines ("loading plugin: ...") are left out unless the benchmark fails.
status=0
for bench in build-bench/bench/bin/*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  if ! output=$("$bench" 2>&1); then
    echo "$output"
    echo "FAILED: $(basename "$bench")"
    status=1
    continue
  fi
  grep -E '\| ratio |^(ERROR|WARNING|Error|Warning)' <<< "$output" || true
done
exit $status
