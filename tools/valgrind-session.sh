#!/usr/bin/env bash
# Runs one operator session on the simulated rig (start, connect the three stages, enable,
# home, scan, QUIT: the end-to-end scan test) under valgrind's memcheck, on a build that
# already exists. Fails on any memory error or definite leak that tests/valgrind.supp does not
# put down to a system library, and on a session that fails or does not run.
#
# Usage: tools/valgrind-session.sh [BUILD_DIR]   (default: build/default)
# The full valgrind report is left in BUILD_DIR/valgrind-session.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
binary=$build/bin/scan_tests
session=ScanTest.AnOperatorRunsAScanEndToEnd
# Far above the usual run under valgrind (well under a minute), so that only a hang trips it.
limit_seconds=${QUARLEX_VALGRIND_LIMIT:-600}

if ! command -v valgrind >/dev/null; then
  echo "valgrind-session: valgrind is not installed (tools/setup-debian.sh installs it)" >&2
  exit 2
fi
if [ ! -x "$binary" ]; then
  echo "valgrind-session: $binary is missing; build it first, e.g." >&2
  echo "  cmake --preset default && cmake --build --preset default --target scan_tests" >&2
  exit 2
fi

log=$build/valgrind-session.log
out=$build/valgrind-session.out
rm -f "$log" "$out"

export QT_QPA_PLATFORM=offscreen
status=0
timeout --kill-after=10 "$limit_seconds" \
  valgrind --tool=memcheck \
    --error-exitcode=1 \
    --suppressions="$root/tests/valgrind.supp" \
    --num-callers=30 \
    --track-origins=no \
    --leak-check=full \
    --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite \
    --fair-sched=try \
    --log-file="$log" \
    "$binary" --gtest_filter="$session" >"$out" 2>&1 || status=$?

cat "$out"
echo "---- valgrind ($log) ----"
cat "$log"

if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "valgrind-session: FAILED: the session did not end within ${limit_seconds} s" >&2
  exit 1
fi
if ! grep -q "ERROR SUMMARY: 0 errors" "$log"; then
  echo "valgrind-session: FAILED: memcheck reported errors (see above)" >&2
  exit 1
fi
# The filter must have picked the session and the session must have passed.
if ! grep -qF "[       OK ] $session" "$out"; then
  echo "valgrind-session: FAILED: the session test did not run and pass" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "valgrind-session: FAILED: exit status $status" >&2
  exit 1
fi
echo "valgrind-session: passed: no memcheck error and the session passed"
