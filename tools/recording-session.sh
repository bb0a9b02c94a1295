#!/usr/bin/env bash
# Builds the program against a second implementation of the motion library's C interface,
# the recording library of tests/recording_motion, and runs one short operator session
# through the real executable: connect, enable X, Y and Z, go to X = 12.5 mm, a 2 x 2 scan,
# quit. Then checks the stage calls the library recorded.
#
# The library and the session driver (a Qt generic plugin) come from the default build tree;
# the program is configured afresh in build/recording with -DQUARLEX_MOTION_LIB=<that file>.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "recording session: FAILED: $*" >&2; exit 1; }

cmake --preset default >/dev/null
cmake --build --preset default --target recording_motion session_driver
library=$PWD/build/default/lib/librecording_motion.so
[[ -f $library ]] || fail "the recording library $library was not built"

cmake -S . -B build/recording -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUARLEX_MOTION_LIB="$library" >/dev/null
cmake --build build/recording --target quarlex
exe=build/recording/bin/quarlex
# Whole outputs first: grep -q stopping early must not fail the pipe under pipefail.
grep -q librecording_motion.so <<<"$(ldd "$exe")" || fail "$exe does not load the recording library"
if grep -q 'motion_sim::' <<<"$(nm -C "$exe")"; then fail "$exe contains the simulator"; fi

record=build/recording/session.record
out=build/recording/session.out
rm -f "$record"
# The connection sequence alone sleeps about 6.3 s; the driver gives up after 120 s.
status=0
QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$PWD/build/default/plugins \
  QT_QPA_GENERIC_PLUGINS=quarlex_session_driver QUARLEX_MOTION_RECORD=$record \
  timeout 180 "$exe" >"$out" 2>&1 || status=$?
[[ $status -eq 0 ]] || { cat "$out" >&2; fail "the session ended with exit code $status"; }
for line in "Recording stage err=0" "Device Disconnected..."; do
  grep -qF "$line" "$out" || { cat "$out" >&2; fail "the program did not print \"$line\""; }
done
[[ -s $record ]] || fail "the recording library wrote no record to $record"

# The calls that open, enable, move and close, in order, against what the session must
# send: X 45388004, Y 45387934, Z 45388034; 409600 device units per millimetre.
expected=$(cat <<'END'
ISC_Open 45388004
ISC_Open 45387934
ISC_Open 45388034
ISC_EnableChannel 45388004
ISC_EnableChannel 45387934
ISC_EnableChannel 45388034
ISC_SetMoveAbsolutePosition 45388004 5120000
ISC_MoveAbsolute 45388004
ISC_SetMoveAbsolutePosition 45388034 1228800
ISC_MoveAbsolute 45388034
ISC_SetMoveAbsolutePosition 45387934 819200
ISC_MoveAbsolute 45387934
ISC_SetMoveAbsolutePosition 45388004 409600
ISC_MoveAbsolute 45388004
ISC_SetMoveAbsolutePosition 45388004 614400
ISC_MoveAbsolute 45388004
ISC_SetMoveAbsolutePosition 45387934 921600
ISC_MoveAbsolute 45387934
ISC_SetMoveAbsolutePosition 45388004 409600
ISC_MoveAbsolute 45388004
ISC_SetMoveAbsolutePosition 45388004 614400
ISC_MoveAbsolute 45388004
ISC_StopPolling 45388004
ISC_Close 45388004
ISC_StopPolling 45387934
ISC_Close 45387934
ISC_StopPolling 45388034
ISC_Close 45388034
END
)
seen=$(grep -E '^(ISC_Open|ISC_EnableChannel|ISC_DisableChannel|ISC_SetMove[A-Za-z]*|ISC_Move[A-Za-z]*|ISC_Home|ISC_StopPolling|ISC_Close) ' "$record")
if [[ $seen != "$expected" ]]; then
  diff <(echo "$expected") <(echo "$seen") >&2 || true
  fail "the stage calls differ from the session's (expected on the left, recorded on the right)"
fi
# Each stage polls from its connection on; every wait of the session reads its completion.
for serial in 45388004 45387934 45388034; do
  grep -qx "ISC_StartPolling $serial 50" "$record" || fail "polling of $serial never started"
done
moves=$(grep -c '^ISC_MoveAbsolute ' "$record")
completions=$(grep -c '^ISC_GetNextMessage ' "$record")
[[ $completions -ge $(( moves - 1 )) ]] ||
  fail "$moves moves but only $completions messages read: the scan's waits did not read their completions"
echo "recording session: passed ($(wc -l <"$record") calls recorded, $moves absolute moves)"
