#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them.
#   tools/fuzz.sh [BUILD_DIR] [libFuzzer options...]
# Default: the suite's short run, a fixed number of inputs per target (a few seconds each)
# from a fixed seed and the seed inputs alone, so it tries the same inputs on every machine
# and every run. The long run:
#   tools/fuzz.sh build/fuzz -runs=10000000
# FUZZ_TARGETS="fuzz_numbers fuzz_settingsfile" runs only those. Inputs are kept to 1,024
# bytes (longer than any field of a receipt or line of the settings file) unless the
# options say -max_len. Corpora grow in BUILD_DIR/corpus/<target>; a crash leaves its
# input in BUILD_DIR.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/fuzz}"
shift || true
options=("$@")
short=0
[ ${#options[@]} -eq 0 ] && { options=(-seed=1); short=1; }
[[ " ${options[*]}" == *" -max_len="* ]] || options+=(-max_len=1024)
targets=(${FUZZ_TARGETS:-fuzz_callerlines fuzz_chartfiles fuzz_csvtext fuzz_numbers fuzz_receiptwrap fuzz_settingsfile})
if ! command -v clang++ >/dev/null; then
  echo "clang++ is missing (tools/install-deps.sh installs it); fuzzing skipped"
  exit 77
fi
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
cd "$build"
status=0
for target in "${targets[@]}"; do
  corpus="corpus/$target"
  if [ $short -eq 1 ]; then
    corpus="corpus-short/$target"
    rm -rf "$corpus"
  fi
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/seeds/$target" ] && seeds=("$root/fuzz/seeds/$target")
  runs=()
  if [ $short -eq 1 ]; then
    # the chart files target writes two files an input
    [ "$target" = fuzz_chartfiles ] && runs=(-runs=5000) || runs=(-runs=100000)
  fi
  echo "== $target ${options[*]} ${runs[*]}"
  # The last lines of libFuzzer's report carry the executions and their speed.
  if ! ASAN_OPTIONS=detect_leaks=0 "./$target" "${options[@]}" "${runs[@]}" -print_final_stats=1 \
       "$corpus" "${seeds[@]}" > "$target.log" 2>&1; then
    status=1
    tail -40 "$target.log"
  fi
  grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|^stat::peak_rss_mb|Done [0-9]+ runs' "$target.log" || true
done
exit $status
