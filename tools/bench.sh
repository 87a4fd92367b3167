#!/usr/bin/env bash
# Times every screen of the program on a synthetic shop that has used it for ten years,
# beside the sqlite3 shell running the plain statements on the same file, and prints one
# table. Exits non-zero when a figure misses its goal.
#
#   tools/bench.sh
#
# The shop (1,000,000 orders, about 780 MB) is made once, in $VORLAN_BENCH_DIR (default
# ~/.cache/vorlan-bench), and reused while the generator's parameters stay the same. It
# must not be in the system temporary folder: the program warns on such a folder, and the
# system may clear it. Logs of the single benchmarks go to the same folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s)

tools/install-deps.sh
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
cmake -S . -B build/rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORLAN_BUILD_TESTS=OFF >/dev/null
benchmarks=(bench_startup bench_settle bench_history bench_reports bench_dishlist bench_catalog bench_receipt bench_backup bench_weborders)
cmake --build build/rel --target make_shop "${benchmarks[@]}" | tail -n 1
bin=$root/build/rel/benchmarks

dir=${VORLAN_BENCH_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vorlan-bench}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd -P)
for temporary in "${TMPDIR:-/tmp}" /tmp /var/tmp; do
  temporary=$(cd "$temporary" 2>/dev/null && pwd -P) || continue
  case "$dir/" in
    "$temporary"/*)
      echo "bench: $dir is inside the system temporary folder $temporary; set VORLAN_BENCH_DIR to another folder" >&2
      exit 2 ;;
  esac
done

shop=$dir/shop
stamp=$("$bin/make_shop" --describe)
if [ -f "$dir/shop.stamp" ] && [ "$(cat "$dir/shop.stamp")" = "$stamp" ] && [ -f "$shop/data/data.db" ]; then
  echo "reusing the shop in $shop ($stamp)"
else
  echo "making the shop once in $shop ($stamp)"
  rm -rf "$shop" "$dir/shop.stamp"
  "$bin/make_shop" "$shop"
  echo "$stamp" >"$dir/shop.stamp"
fi
# What the windows would build on first opening an older folder (schema upgrades, the
# report indexes, the order summary) is made here, outside the timed runs.
"$bin/make_shop" --prepare "$shop"

scratch=$dir/scratch
rm -rf "$scratch"
mkdir -p "$scratch" "$dir/logs"
rows=$dir/logs/rows.tsv
: >"$rows"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

run() {
  local name=$1
  shift
  echo "running $name ..."
  local status=0
  (cd "$scratch" && VORLAN_BENCH_ROWS=1 QT_QPA_PLATFORM=offscreen "$bin/$name" "$@") >"$dir/logs/$name.log" 2>&1 || status=$?
  grep -a -E '^@(row|note)' "$dir/logs/$name.log" >>"$rows" || true
  # 3 means a figure missed its goal: the table shows which.
  if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
    echo "bench: $name failed (exit $status), see $dir/logs/$name.log" >&2
    printf '@row\t%s failed (exit %s)\t-\t-\t-\t-\truns\t-\tFAIL\n' "$name" "$status" >>"$rows"
  fi
}

run bench_startup "$shop" 5
run bench_settle "$shop" 50
run bench_history "$shop" "$dir/history-export.csv"
run bench_reports "$shop"
run bench_dishlist 2000 50000
run bench_catalog "$scratch/catalog" 50000
run bench_receipt
run bench_backup "$shop" "$scratch"
run bench_weborders "$scratch/weborders" 1000 10
rm -rf "$scratch"

echo
echo "Vorlan benchmarks on $(nproc) cores; load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
echo "Figures: median of warm runs in ms, wall / CPU; raw = the sqlite3 shell on the same file (its .timer);"
echo "ratio and goals use CPU time (a loaded machine inflates wall time); +0.5 ms allowed per call beside raw."
echo
awk -F'\t' '
  $1 == "@note" { notes = notes "  " $2 "\n"; next }
  $1 != "@row" { next }
  {
    ratio = ($6 != "-" && $6 > 0) ? sprintf("%.2f", $4 / $6) : "-"
    printf "%-50s %9s %9s  %9s %9s  %6s  %-28s %5s  %s\n", $2, $3, $4, $5, $6, ratio, $7, $8, $9
    if ($9 == "FAIL") failed++
    count++
  }
  BEGIN {
    printf "%-50s %9s %9s  %9s %9s  %6s  %-28s %5s  %s\n", "operation", "ours wall", "ours cpu", "raw wall", "raw cpu", "ratio", "goal", "RSS", "result"
  }
  END {
    printf "\n%s", notes
    printf "%d figures, %d missed their goal\n", count, failed
    exit failed > 0 ? 1 : 0
  }' "$rows" && status=0 || status=$?
echo "total $(($(date +%s) - started)) s; logs in $dir/logs"
exit "$status"
