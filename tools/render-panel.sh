#!/usr/bin/env bash
# The README's pictures of the real program on the simulated rig: docs/panel.png, the whole
# 1366x768 screen once the stages are connected (tools/panel-screenshots.sh), and the panel
# during a scan, after a scan whose points timed out, the soft-limits dialog and a refused go-to
# (docs/scan-running.png, docs/scan-timed-out.png, docs/limits-dialog.png,
# docs/refused-go-to.png).
set -euo pipefail
cd "$(dirname "$0")/.."
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
tools/panel-screenshots.sh "$shots"
cp "$shots/idle-with-log.png" docs/panel.png
cmake --build --preset default --target panel_screens
QUARLEX_SHOTS_DIR="$PWD/docs" build/default/bin/panel_screens
echo "wrote docs/panel.png and the panel_screens pictures in docs/"
