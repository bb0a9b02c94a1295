#!/usr/bin/env bash
# Plants each fault of a table (tools/mutants.txt unless another file is given) in a scratch
# clone of the current commit, one at a time: applies it, builds the test targets the row
# names, runs their tests under CTest and reverts it. Prints the survivors (faults no test
# caught) and exits nonzero if any fault survived, was not found, or did not build.
# One clone and one build folder (build/mutants/ unless QUARLEX_MUTANTS_DIR says otherwise)
# serve every fault and every run, so builds after the first are incremental.
# A tool to run before stopping work, not a CI gate: it takes a few minutes per fault.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
table=$(realpath "${1:-$root/tools/mutants.txt}")
scratch=${QUARLEX_MUTANTS_DIR:-$root/build/mutants}
build=$scratch/build/default
logs=$scratch/build/logs
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_NOHASHDIR=1
export QT_QPA_PLATFORM=offscreen

# The table's rows, comments and blank lines left out, fields separated by \x1f.
rows() { grep -v -e '^[[:space:]]*#' -e '^[[:space:]]*$' "$table" | sed 's/ | /\x1f/g'; }

# Replaces the one occurrence of MUT_TEXT in file $1 with MUT_REPL (\n standing for a
# newline in both). Exit status 3: not found; 4: found more than once.
plant() {
  perl -e '
    my ($path) = @ARGV;
    my ($text, $repl) = map { (my $s = $_) =~ s/\\n/\n/g; $s } @ENV{qw(MUT_TEXT MUT_REPL)};
    open(my $in, "<", $path) or exit 3;
    my $source = do { local $/; <$in> };
    close $in;
    my $at = index($source, $text);
    exit 3 if $at < 0;
    exit 4 if index($source, $text, $at + 1) >= 0;
    substr($source, $at, length $text) = $repl;
    open(my $out, ">", $path) or die "$path: $!";
    print $out $source;
    close $out;' "$1"
}

# A CTest regular expression matching every test of the given test executables.
tests_of() {
  local names=()
  for target in "$@"; do
    local suite=""
    while IFS= read -r line; do
      case "$line" in
        "  "*) names+=("${suite}${line#  }") ;;
        *) suite=${line%%#*}; suite=${suite// /} ;;
      esac
    done < <("$build/bin/$target" --gtest_list_tests 2>/dev/null | sed 's/ *#.*//')
  done
  local IFS='|'
  echo "^(${names[*]//./\\.})\$"
}

# Builds the targets in $1 (comma-separated) and runs their tests; the log goes to $2.
build_and_test() {
  local targets
  IFS=',' read -r -a targets <<<"${1// /}"
  cmake --build "$build" --target "${targets[@]}" >"$2" 2>&1 || return 2
  local tests
  tests=$(tests_of "${targets[@]}")
  # No test to run is no catch.
  [ "$tests" != '^()$' ] || { echo "no tests listed by ${targets[*]}" >>"$2"; return 2; }
  ctest --test-dir "$build" -R "$tests" -j2 --stop-on-failure >>"$2" 2>&1 || return 1
}

sha=$(git -C "$root" rev-parse HEAD)
if [ ! -d "$scratch/.git" ]; then git clone -q --no-checkout "$root" "$scratch"; fi
git -C "$scratch" fetch -q "$root" HEAD
git -C "$scratch" checkout -q --force --detach FETCH_HEAD
git -C "$scratch" clean -q -f -d -x -e /build/
echo "Planting the faults of $table in ${sha:0:10} ($scratch)"
(cd "$scratch" && cmake --preset default >/dev/null)
mkdir -p "$logs"

all_targets=$(rows | cut -d $'\x1f' -f4 | tr ',' '\n' | tr -d ' ' | sort -u | paste -sd,)
echo "Unchanged code, $all_targets:"
if ! build_and_test "$all_targets" "$logs/baseline.log"; then
  echo "  the tests fail without any fault; see $logs/baseline.log" >&2
  exit 2
fi

survivors=()
broken=()
n=0
total=$(rows | wc -l)
while IFS=$'\x1f' read -r file text repl targets what; do
  n=$((n + 1))
  log=$logs/fault-$n.log
  printf '[%d/%d] %s: %s ... ' "$n" "$total" "$file" "$what"
  status=0
  MUT_TEXT=$text MUT_REPL=$repl plant "$scratch/$file" || status=$?
  if [ "$status" -eq 3 ]; then
    echo "EXACT TEXT NOT FOUND"
    broken+=("$file: $what (text not found)")
    continue
  elif [ "$status" -eq 4 ]; then
    echo "EXACT TEXT FOUND MORE THAN ONCE"
    broken+=("$file: $what (text not unique)")
    continue
  fi
  start=$SECONDS
  status=0
  build_and_test "$targets" "$log" </dev/null || status=$?
  git -C "$scratch" checkout -q -- "$file"
  case "$status" in
    0) echo "SURVIVED ($((SECONDS - start)) s)"; survivors+=("$file: $what") ;;
    1) killers=$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*\([A-Za-z]*\).*/\1 (\2)/p' "$log" | paste -sd, | sed 's/,/, /g')
       echo "killed by ${killers:-a failing test} ($((SECONDS - start)) s)" ;;
    *) echo "DOES NOT BUILD; see $log"; broken+=("$file: $what (does not build)") ;;
  esac
done < <(rows)

echo
if [ ${#survivors[@]} -eq 0 ]; then echo "No survivor."; else printf 'Survivor: %s\n' "${survivors[@]}"; fi
if [ ${#broken[@]} -gt 0 ]; then printf 'Not planted: %s\n' "${broken[@]}"; fi
[ ${#survivors[@]} -eq 0 ] && [ ${#broken[@]} -eq 0 ]
