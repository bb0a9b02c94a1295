#!/usr/bin/env bash
# Builds the panel-file fuzzer (preset fuzz) and runs it for [seconds] (default 60), seeded
# with the real panel file, the run-time test forms and the broken-panel corpus (files the
# run-time refuses, and in misfit/ files it loads that the program refuses). Exits
# non-zero if the fuzzer finds a crash, leak, hang or sanitizer report; the failing input is
# left in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds=60]" >&2
  exit 2
fi

# clang and its libFuzzer/sanitizer run-time libraries.
missing=()
command -v clang++ >/dev/null || missing+=(clang)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "ok installed" || missing+=(libclang-rt-14-dev)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

fuzzer=build/fuzz/bin/panel_form_fuzz
# The working corpus grows across runs; it is a build product, never committed.
corpus=build/fuzz/corpus
findings=build/fuzz/findings
mkdir -p "$corpus" "$findings"

seeds=(app/Quarlex_ui.uir tests/runtime/forms/*.ui tests/fuzz/broken/*.uir tests/fuzz/broken/misfit/*.uir)
# Inputs up to twice the largest seed (the real panel file, about 100 kB), so that the
# fuzzer can mutate the whole of it.
largest=$(stat -c %s "${seeds[@]}" | sort -n | tail -n 1)
max_len=$((largest * 2))

# The seeds go into a directory of their own so the fuzzer reads them but adds only to the
# working corpus (the first directory).
seed_dir=build/fuzz/seeds
rm -rf "$seed_dir"
mkdir -p "$seed_dir"
for s in "${seeds[@]}"; do
  cp "$s" "$seed_dir/$(echo "$s" | tr / _)"
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
"$fuzzer" "$corpus" "$seed_dir" \
  -max_total_time="$seconds" \
  -max_len="$max_len" \
  -timeout=10 \
  -rss_limit_mb=4096 \
  -print_final_stats=1 \
  -artifact_prefix="$findings/" || status=$?

if [ "$status" -ne 0 ]; then
  echo "fuzz.sh: panel_form_fuzz failed (exit $status); inputs in $findings:" >&2
  ls -l "$findings" >&2
  exit 1
fi
echo "fuzz.sh: no finding in ${seconds} s"
