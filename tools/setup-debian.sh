#!/usr/bin/env bash
# Installs what building, running and testing Quarlex need on Debian 12: the build, the
# suites (run offscreen, so no X server), the fuzz target (clang) and the valgrind session.
# Recommended packages are not installed, so every package the build needs is named here;
# tools/clean-root-check.sh proves the list on a fresh root.
set -euo pipefail
packages=(
  build-essential cmake ninja-build
  qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-charts-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev valgrind
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
