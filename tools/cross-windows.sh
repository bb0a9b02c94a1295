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
launcher=()
if command -v ccache >/dev/null; then launcher=(ccache); fi
out=build/windows
mkdir -p "$out/obj" "$out/gtest"
gtest=/usr/src/googletest/googletest
# The program's version, as CMake hands it to the scan record.
version=$(sed -n 's/^project(quarlex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
flags=(-std=c++20 -O1 -Wall -Wextra -Wpedantic -Werror -isystem "$gtest/include"
       "-DQUARLEX_VERSION=\"$version\"" -Iplatform/clock -Iplatform/motion -Iplatform/runtime -Istages -Iscan -Iapp)

# compile DIR SOURCE...: one object per source in DIR, named after the source's path.
compile() {
  local dir=$1; shift
  mkdir -p "$dir"
  for src in "$@"; do
    if grep -q '#include <Q' "$src"; then continue; fi  # needs Qt: not for this build
    "${launcher[@]}" "$cxx" "${flags[@]}" -c "$src" -o "$dir/$(echo "${src%.cpp}" | tr / _).o" ||
      fail "$src does not compile for Windows"
  done
}

# link NAME OBJECT...: a static Windows executable with GoogleTest's main.
link() {
  local name=$1; shift
  "$cxx" -static -o "$out/$name.exe" "$@" "$out/gtest/gtest-all.o" "$out/gtest/gtest_main.o" ||
    fail "$name does not link for Windows"
}

rm -rf "$out/obj"
echo "cross-windows: compiling the Qt-free translation units"
compile "$out/obj/clock" platform/clock/*.cpp
compile "$out/obj/motion" platform/motion/*.cpp platform/motion/sim/*.cpp
compile "$out/obj/program" stages/*.cpp scan/*.cpp app/*.cpp
echo "cross-windows: $(find "$out/obj" -name '*.o' | wc -l) translation units compiled"

if [[ ! -f $out/gtest/gtest-all.o || ! -f $out/gtest/gtest_main.o ]]; then
  "$cxx" -std=c++20 -O1 -I"$gtest/include" -I"$gtest" -c "$gtest/src/gtest-all.cc" -o "$out/gtest/gtest-all.o"
  "$cxx" -std=c++20 -O1 -I"$gtest/include" -c "$gtest/src/gtest_main.cc" -o "$out/gtest/gtest_main.o"
fi
compile "$out/obj/clock_tests" tests/clock/*.cpp
link clock_tests "$out"/obj/clock_tests/*.o "$out"/obj/clock/*.o
compile "$out/obj/motion_tests" tests/motion/*.cpp
link motion_sim_tests "$out"/obj/motion_tests/*.o "$out"/obj/motion/*.o "$out"/obj/clock/*.o

# No Mono or Gecko prompts in a fresh prefix.
export WINEPREFIX=$PWD/$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for t in clock_tests motion_sim_tests; do
  echo "cross-windows: running $t.exe under wine"
  wine "$out/$t.exe" --gtest_brief=1 || fail "$t.exe failed under wine"
done
echo "cross-windows: passed"
