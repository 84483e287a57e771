#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz and runs each for SECONDS
# from its seed corpus, at most three at once. Before that, each target whose
# input is one stream runs every seed once followed by 1 MB of 0xFF and once
# followed by 1 MB of zeros (the fuzzing itself keeps inputs short). Exits
# non-zero when any target crashed, leaked, hung or ran out of memory; what it
# found is kept in build-fuzz/fuzz/crashes/ and its logs in build-fuzz/fuzz/logs/.
#   tests/fuzz/run.sh SECONDS [TARGET...]
# ZR_JOBS sets the build's parallel jobs (default 3), ZR_FUZZ_PARALLEL the
# targets run at once (default 3). New inputs found go to
# build-fuzz/fuzz/corpus/<target>/, never into the committed seeds.
# Re-run one input: build-fuzz/fuzz/bin/fuzz_<target> FILE (ZR_FUZZ_VERBOSE=1
# keeps what the game printed).
set -uo pipefail
cd "$(dirname "$0")/../.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
build=build-fuzz
jobs=${ZR_JOBS:-3}
parallel=${ZR_FUZZ_PARALLEL:-3}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DZR_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ > "$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; exit 1; }
fi
cmake --build "$build" -j"$jobs" --target zr_fuzz > "$build.log" 2>&1 || { tail -n 60 "$build.log"; exit 1; }

out=$build/fuzz
mkdir -p "$out/logs" "$out/crashes" "$out/tmp" "$out/tails"
declare -A wanted=()
for target in "$@"; do wanted[$target]=1; done

# The long-tail cases of one target's seeds, written anew into $out/tails/.
write_tails() {
  local name=$1 corpus=$2 tails=$out/tails/$1 seed
  rm -rf "$tails"
  mkdir -p "$tails"
  for seed in "$corpus"/*; do
    [ -f "$seed" ] || continue
    { cat "$seed"; head -c 1048576 /dev/zero | tr '\0' '\377'; } > "$tails/$(basename "$seed")+ff"
    { cat "$seed"; head -c 1048576 /dev/zero; } > "$tails/$(basename "$seed")+zeros"
  done
}

# Runs each long-tail case once, whole (the target's options, which may cut
# inputs short, do not apply).
run_tails() {
  local name=$1 program=$2 corpus=$3 log=$out/logs/$1-tails.log
  write_tails "$name" "$corpus"
  TMPDIR=$out/tmp ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$program" -timeout=60 -rss_limit_mb=2048 -artifact_prefix="$out/crashes/$name-" "$out/tails/$name"/* \
    > "$log" 2>&1
  local result=$?
  if [ $result -ne 0 ]; then
    echo "FAILED: fuzz $name, long-tail cases (exit $result); log $log:"
    grep -E 'ERROR|SUMMARY|Running:|#[0-9]+ 0x' "$log" | tail -n 30
  fi
  return $result
}

# One target: its long-tail cases, then a working corpus seeded from the
# committed one, bounded time, memory and time per input; extra libFuzzer
# flags (which win over these) from the file options beside the corpus.
run_target() {
  local name=$1 program=$2 corpus=$3 input=$4
  local work=$out/corpus/$name log=$out/logs/$name.log options=() tails=""
  if [ "$input" = stream ]; then
    if ! run_tails "$name" "$program" "$corpus"; then
      echo 1 > "$out/logs/$name.status"
      return
    fi
    tails=" after $(find "$out/tails/$name" -type f | wc -l) long-tail cases"
  fi
  mkdir -p "$work"
  [ -f "$corpus/../options" ] && read -r -a options < "$corpus/../options"
  TMPDIR=$out/tmp ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/crashes/$name-" "${options[@]}" "$work" "$corpus" > "$log" 2>&1
  local result=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ $result -eq 0 ]; then
    echo "fuzz $name: ${runs:-?} inputs in ${seconds} s${tails}, clean"
  else
    echo "FAILED: fuzz $name (exit $result); log $log:"
    grep -E 'ERROR|SUMMARY|Test unit written|#[0-9]+ 0x' "$log" | head -n 30
  fi
  echo $result > "$out/logs/$name.status"
}

names=()
while read -r name program corpus input; do
  [ -n "$name" ] || continue
  if [ ${#wanted[@]} -gt 0 ] && [ -z "${wanted[$name]:-}" ]; then continue; fi
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n; done
  rm -f "$out/logs/$name.status"
  run_target "$name" "$program" "$corpus" "$input" &
  names+=("$name")
done < "$out/targets.txt"
wait

status=0
for name in "${names[@]}"; do
  [ "$(cat "$out/logs/$name.status" 2>/dev/null)" = 0 ] || status=1
done
if [ ${#names[@]} -eq 0 ]; then
  echo "FAILED: no fuzz target matched: $*"
  exit 1
fi
exit $status
