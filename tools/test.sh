#!/usr/bin/env bash
# Sets up a Debian 12 machine if needed, builds with a preset (default, asan or tsan) and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
tools/setup-debian.sh
case "$preset" in
  asan) export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
          LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ;;
  tsan) export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" ;;
esac
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
# The summary stays in the build folder for .ci/run's closing count.
ctest --preset "$preset" 2>&1 | tee "build/$preset/ctest.log"
