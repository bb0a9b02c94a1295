#!/usr/bin/env bash
# Runs every benchmark program of a build once, with the shortest measuring time, so that a
# benchmark that hangs, crashes or reports an error is caught. No timing is judged here.
#
# Usage: tools/run-benchmarks.sh [BUILD_DIR]   (default: build/default, already built)
# Each program's output is left in BUILD_DIR/benchmarks/NAME.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
# Far above a program's usual run (seconds), so that only a hang trips it.
limit_seconds=${QUARLEX_BENCH_LIMIT:-300}

shopt -s nullglob
programs=("$build"/bin/*_bench)
if [ ${#programs[@]} -eq 0 ]; then
  echo "run-benchmarks: no *_bench program in $build/bin; build it first, e.g." >&2
  echo "  cmake --preset default && cmake --build --preset default" >&2
  exit 2
fi

export QT_QPA_PLATFORM=offscreen
mkdir -p "$build/benchmarks"
failed=()
for program in "${programs[@]}"; do
  name=$(basename "$program")
  log=$build/benchmarks/$name.log
  echo "== $name"
  started=$SECONDS
  status=0
  # 1.7.1 reads the minimum time as plain seconds; benchmarks that fix their own iteration
  # or repetition counts keep them.
  timeout --kill-after=10 "$limit_seconds" "$program" --benchmark_min_time=0.01 >"$log" 2>&1 || status=$?
  cat "$log"
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "run-benchmarks: $name did not end within ${limit_seconds} s" >&2
    failed+=("$name")
  elif [ "$status" -ne 0 ]; then
    echo "run-benchmarks: $name failed with exit status $status" >&2
    failed+=("$name")
  elif grep -q "ERROR OCCURRED" "$log"; then
    echo "run-benchmarks: $name reported a benchmark error" >&2
    failed+=("$name")
  fi
  echo "-- $name: $(( SECONDS - started )) s"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "run-benchmarks: FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "run-benchmarks: all ${#programs[@]} benchmark programs ran to the end"
