#!/usr/bin/env bash
# The clean-machine gate: builds a minimal Debian 12 root with debootstrap, copies the
# committed tree into it and, inside it, runs the README's first command word for word
# (install, build, start the panel offscreen), requires the three connect lines, then builds
# every test and benchmark target there. Nothing of this machine's installed packages, build
# trees or compiler cache reaches the root, so a missing install step cannot hide.
#
# Usage: tools/clean-root-check.sh [--suite]
#   --suite  also runs the README's second command (tools/test.sh) in the root.
# Environment: QUARLEX_DEBIAN_MIRROR overrides the mirror read from this machine's apt
# sources; QUARLEX_CLEAN_ROOT_KEEP=1 leaves the root in place for inspection. On a failure
# the logs stay in the work folder the script names.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
run_suite=0
case "${1:-}" in
  "") ;;
  --suite) run_suite=1 ;;
  *) echo "usage: $0 [--suite]" >&2; exit 2 ;;
esac

start=$SECONDS
stage() { echo "== clean-root: $1 ($(( SECONDS - start )) s)"; }
fail() { echo "clean-root: FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "must run as root (debootstrap, chroot, mount)"

# The first Debian mirror serving bookworm in this machine's apt sources (one-line or deb822).
find_mirror() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && awk '$1 == "deb" { for (i = 2; i < NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/) {
      if ($(i + 1) == "bookworm") { print $i; exit } break } }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && awk 'BEGIN { RS = ""; FS = "\n" } {
      uri = ""; suite = 0; off = 0
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^URIs:/) { split($i, w, " "); uri = w[2] }
        if ($i ~ /^Suites:/ && (" " $i " ") ~ / bookworm /) suite = 1
        if ($i ~ /^Enabled: *no/) off = 1
      }
      if (uri != "" && suite && !off) { print uri; exit } }' "$f"
  done
}
mirror=${QUARLEX_DEBIAN_MIRROR:-$(find_mirror | head -n 1)}
[ -n "$mirror" ] || fail "no bookworm mirror in this machine's apt sources; set QUARLEX_DEBIAN_MIRROR"

# The README's first command, read from the README itself: the first indented line.
readme_first=$(grep -m 1 '^    ' "$repo/README.md" | sed 's/^ *//')
readme_second=$(grep '^    ' "$repo/README.md" | sed -n '2s/^ *//p')
[[ "$readme_first" == tools/setup-debian.sh* ]] || fail "README's first command not found: '$readme_first'"
[ "$readme_second" = "tools/test.sh" ] || fail "README's second command is no longer tools/test.sh: '$readme_second'"

if ! command -v debootstrap >/dev/null; then
  stage "installing debootstrap on this machine"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi

work=$(mktemp -d "${TMPDIR:-/var/tmp}/quarlex-clean-root.XXXXXX")
root=$work/root
mkdir "$root"
mounts=()
cleanup() {
  local status=$? m i p
  # Whatever still runs inside the root (a panel or a build cut short) holds its mounts.
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -KILL "${p#/proc/}" 2>/dev/null
  done
  sleep 1
  for (( i = ${#mounts[@]} - 1; i >= 0; i-- )); do
    m=${mounts[$i]}
    umount "$m" 2>/dev/null || umount -l "$m" || true
  done
  # Never delete through a mount that is still there (the bind of /dev above all).
  if findmnt -rn -o TARGET | grep -q "^$root/"; then
    echo "clean-root: mounts left under $root; not removing it" >&2
  elif [ "${QUARLEX_CLEAN_ROOT_KEEP:-0}" = 1 ]; then
    echo "clean-root: root kept in $root"
  else
    rm -rf --one-file-system "$root"
    [ "$status" -ne 0 ] || rm -rf "$work"
  fi
  [ "$status" -eq 0 ] || echo "clean-root: logs in $work" >&2
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

stage "debootstrap --variant=minbase bookworm from $mirror into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 30 "$work/debootstrap.log" >&2; fail "debootstrap"; }
cp /etc/resolv.conf "$root/etc/resolv.conf"
# No service starts inside a root without an init.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

mount_in() {  # mount_in TARGET mount-arguments...
  local target=$root$1
  shift
  mount "$@" "$target"
  mounts+=("$target")
}
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts -t devpts devpts
mount_in /dev/shm -t tmpfs tmpfs

stage "copying the committed tree ($(git -C "$repo" rev-parse --short HEAD)) to /src/quarlex"
mkdir -p "$root/src/quarlex"
git -C "$repo" archive HEAD | tar -x -C "$root/src/quarlex"

# A command in the root runs with a clean environment: nothing of this machine's (a compiler
# launcher, say) reaches it.
clean_env=(/usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
  HOME=/root LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen)
in_root() { chroot "$root" "${clean_env[@]}" "$@"; }

connect_lines=(
  "Device 0 (serial 45388004) Connected... "
  "Device 1 (serial 45387934) Connected... "
  "Device 2 (serial 45388034) Connected... "
)
all_connected() {
  local line
  for line in "${connect_lines[@]}"; do grep -qxF -- "$line" "$1" || return 1; done
}

stage "the README's first command: $readme_first"
first_log=$work/first-command.log
# The command ends by starting the panel, which runs until QUIT: it is ended (SIGTERM to its
# process group through timeout) once the three connect lines are out, or at the time limit.
# chroot and env exec, so $! is timeout itself.
chroot "$root" "${clean_env[@]}" timeout --kill-after=10 "${QUARLEX_CLEAN_ROOT_LIMIT:-2400}" \
  bash -c "cd /src/quarlex && $readme_first" >"$first_log" 2>&1 &
runner=$!
until all_connected "$first_log" || ! kill -0 "$runner" 2>/dev/null; do sleep 2; done
sleep 2  # the panel stays up a moment after connecting
kill -TERM "$runner" 2>/dev/null || true
wait "$runner" || true
echo "---- last lines of the first command ----"
tail -n 15 "$first_log"
echo "----"
for line in "${connect_lines[@]}"; do
  grep -qxF -- "$line" "$first_log" || fail "missing line '$line'"
done
echo "clean-root: the three stages connected"

stage "building every target (tests and benchmarks): cmake --build --preset default"
in_root bash -c "cd /src/quarlex && cmake --build --preset default" >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; fail "building the test targets"; }
tests=$(in_root bash -c "cd /src/quarlex && ctest --preset default -N" | sed -n 's/^Total Tests: //p')
[ "${tests:-0}" -gt 0 ] || fail "no test found in the root's build"
echo "clean-root: built; ctest lists $tests tests"

if [ "$run_suite" = 1 ]; then
  stage "the README's second command: $readme_second"
  in_root bash -c "cd /src/quarlex && $readme_second" >"$work/suite.log" 2>&1 ||
    { tail -n 60 "$work/suite.log" >&2; fail "the suite in the root"; }
  grep 'tests passed' "$work/suite.log"
fi

stage "passed"
