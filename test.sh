#!/usr/bin/env bash
# Installs what is missing (the tests' packages too), builds everything, the
# benchmarks included, and runs every test: all of them under one virtual X
# server, then the unit tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

# Every random draw goes through the game's own generator.
sources=(base json platform net framework scene game import effects audio tools)
if grep -rnE --include='*.cpp' --include='*.h' '(^|[^_a-zA-Z0-9.>:])(std::)?s?rand *\(' "${sources[@]}"; then
  echo "FAILED: the C library's rand/srand is used outside the tests (above)"
  exit 1
fi

# A reader first sees the game's name, then the two commands.
if ! { head -1 README.md | grep -qx '# Zorblit Rally' && head -20 README.md | grep -q '^ *\./play\.sh' &&
       head -20 README.md | grep -q '^ *\./test\.sh'; }; then
  echo "FAILED: README.md opens with '# Zorblit Rally', with ./play.sh and ./test.sh in its first 20 lines"
  exit 1
fi

# Every benchmark is built (not run), so one that stops building fails here.
tools/setup.sh --tests build -DBUILD_TESTING=ON -DZR_BENCH=ON || exit 1
tools/setup.sh --tests build-asan -DBUILD_TESTING=ON -DZR_SANITIZE=ON || exit 1

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset > /tmp/zr-xvfb.log 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do
  xdpyinfo -display "$display" > /dev/null 2>&1 && break
  sleep 0.1
done

export DISPLAY=$display SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
status=0
ctest --test-dir build --output-on-failure -j"$jobs" || status=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -L unit || status=1
# Every reader of outside bytes under libFuzzer: its seeds followed by long
# tails, then a few seconds of fuzzing from its seeds.
ZR_JOBS=$jobs tests/fuzz/run.sh 5 || status=1
exit $status
