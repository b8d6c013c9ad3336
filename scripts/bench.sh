#!/usr/bin/env bash
# Builds the benchmarks and runs each case in a process of its own (so that
# its peak memory is its own), median of 5 repetitions, beside its baseline;
# then "kelpad --scan" against a plain C loop, whole process against whole
# process, over folders of 20,000 and 100,000 files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian's time)"; exit 1; }
"$top/scripts/build.sh" -DVANTORIX_BENCH=ON
build=${BUILD_DIR:-$top/build}
bench=$build/bench/vantorix_bench
for filter in 'HeaderPass/|RawLoop/' 'FolderOpen|RawLoop/10000$' 'ConfigLoad|RawRead' \
              'ConfigSave|RawWrite' 'StartUp|RawWindow' 'LargeText' \
              'ReaderFirstOpening|ScanInProcess' 'SelectionChange' 'MissingMarks|StatPerEntry'; do
  for case in $("$bench" --benchmark_list_tests --benchmark_filter="$filter"); do
    "$bench" --benchmark_filter="^${case}\$" --benchmark_repetitions=5 \
      --benchmark_report_aggregates_only=true 2>/dev/null | grep '_median'
  done
  echo
done

# Whole processes: the median wall time of 5 runs, and the peak memory.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median_ms() {
  local times=()
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p
}
for count in 20000 100000; do
  mkdir -p "$work/$count"
  "$build/bench/vantorix_rawloop" --make "$work/$count" "$count"
  "$build/bench/vantorix_rawloop" "$work/$count" >/dev/null  # warm the cache
  scan=$(median_ms "$build/kelpad" --scan "$work/$count")
  loop=$(median_ms "$build/bench/vantorix_rawloop" "$work/$count")
  memory=$( { /usr/bin/time -f '%M' "$build/kelpad" --scan "$work/$count" >/dev/null; } 2>&1 | tail -1)
  echo "kelpad --scan, $count files: ${scan} ms, plain C loop ${loop} ms," \
       "ratio $(awk "BEGIN {printf \"%.2f\", $scan / $loop}"), peak memory $((memory / 1024)) MiB"
done
