#!/usr/bin/env bash
# Cross-compiles for 64-bit Windows with mingw-w64, warnings as errors, every translation
# unit that needs no Qt: the clock, the motion simulator, stages/, scan/ and the program's
# own code in app/. Then builds the clock's and the simulator's tests for Windows with
# GoogleTest from Debian's sources and runs them under wine.
#
# Qt for Windows is not in Debian's packages, so the run-time and the executable are not
# cross-built here.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "cross-windows: FAILED: $*" >&2; exit 1; }

packages=(g++-mingw-w64-x86-64-posix googletest wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=$([[ $(id -u) -eq 0 ]] || echo sudo)
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" ||
    fail "could not install ${missing[*]}"
fi

# The posix thread model: std::thread and std::mutex on gcc 12's mingw-w64.
cxx=x86_64-w64-mingw32-g++-posix
out=build/windows
mkdir -p "$out/obj" "$out/gtest"
gtest=/usr/src/googletest/googletest
flags=(-std=c++20 -O1 -Wall -Wextra -Wpedantic -Werror -isystem "$gtest/include"
       -Iplatform/clock -Iplatform/motion -Iplatform/runtime -Istages -Iscan -Iapp)

# compile OBJDIR SOURCE...: one object per source, named after its path.
compile() {
  local dir=$1; shift
  for src in "$@"; do
    local obj="$dir/$(echo "${src%.cpp}" | tr / _).o"
    "$cxx" "${flags[@]}" -c "$src" -o "$obj" || fail "$src does not compile for Windows"
    echo "$obj"
  done
}

qt_free=()
for src in platform/clock/*.cpp platform/motion/*.cpp platform/motion/sim/*.cpp stages/*.cpp \
           scan/*.cpp app/*.cpp; do
  grep -q '#include <Q' "$src" || qt_free+=("$src")
done
echo "cross-windows: compiling ${#qt_free[@]} translation units"
compile "$out/obj" "${qt_free[@]}" >/dev/null

if [[ ! -f $out/gtest/gtest-all.o || ! -f $out/gtest/gtest_main.o ]]; then
  "$cxx" -std=c++20 -O1 -I"$gtest/include" -I"$gtest" -c "$gtest/src/gtest-all.cc" -o "$out/gtest/gtest-all.o"
  "$cxx" -std=c++20 -O1 -I"$gtest/include" -c "$gtest/src/gtest_main.cc" -o "$out/gtest/gtest_main.o"
fi

clock_objs=("$out/obj/platform_clock_platform_clock.o")
sim_objs=("$out"/obj/platform_motion_*.o)
# link NAME OBJECT... : a static Windows executable with GoogleTest's main.
link() {
  local name=$1; shift
  "$cxx" -static -o "$out/$name.exe" "$@" "$out/gtest/gtest-all.o" "$out/gtest/gtest_main.o" ||
    fail "$name does not link for Windows"
}
mapfile -t clock_test_objs < <(compile "$out/obj" tests/clock/*.cpp)
link clock_tests "${clock_test_objs[@]}" "${clock_objs[@]}"
mapfile -t motion_test_objs < <(compile "$out/obj" tests/motion/*.cpp)
link motion_sim_tests "${motion_test_objs[@]}" "${sim_objs[@]}" "${clock_objs[@]}"

# No Mono or Gecko prompts in a fresh prefix.
export WINEPREFIX=$PWD/$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for t in clock_tests motion_sim_tests; do
  echo "cross-windows: running $t.exe under wine"
  wine "$out/$t.exe" --gtest_brief=1 || fail "$t.exe failed under wine"
done
echo "cross-windows: passed"
