#!/usr/bin/env bash
# Screenshots of the program on a 1366x768 screen with the simulated rig: one while the
# stages connect (0.5 s after start) and one idle, after the connection, with the log.
# Usage: tools/panel-screenshots.sh [OUT_DIR=build/screenshots]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots}")
mkdir -p "$out"
for p in Xvfb:xvfb import:imagemagick; do
  command -v "${p%%:*}" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${p##*:}" >/dev/null
done
cmake --preset default >/dev/null
cmake --build --preset default --target quarlex >/dev/null
disp=:$((300 + RANDOM % 100))
Xvfb "$disp" -screen 0 1366x768x24 >/dev/null 2>&1 & xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1
# A settings and runtime folder of its own, so that no running instance is in the way.
export XDG_CONFIG_HOME=$out/config XDG_RUNTIME_DIR=$out/runtime XDG_DATA_HOME=$out/data
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
DISPLAY=$disp build/default/bin/quarlex >/dev/null & app=$!
sleep 0.5
DISPLAY=$disp import -window root "$out/startup-0.5s.png"
sleep 9
DISPLAY=$disp import -window root "$out/idle-with-log.png"
echo "wrote $out/startup-0.5s.png and $out/idle-with-log.png"
