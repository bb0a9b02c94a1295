#!/usr/bin/env bash
# Renders the real panel file, with the simulated stages connected, to docs/panel.png.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target panel_render
build/default/bin/panel_render "$PWD/docs/panel.png"
echo "wrote docs/panel.png"
