#!/usr/bin/env bash
# Builds the benchmarks and runs each case in a process of its own (so that
# its peak memory is its own), median of 5 repetitions, beside its baseline.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DVANTORIX_BENCH=ON
build=${BUILD_DIR:-$top/build}
for filter in 'HeaderPass/|RawLoop/' 'FolderOpen|RawLoop/10000$' 'ConfigLoad|RawRead' \
              'ConfigSave|RawWrite' 'StartUp|RawWindow'; do
  for case in $("$build/bench/vantorix_bench" --benchmark_list_tests --benchmark_filter="$filter"); do
    "$build/bench/vantorix_bench" --benchmark_filter="^${case}\$" --benchmark_repetitions=5 \
      --benchmark_report_aggregates_only=true 2>/dev/null | grep '_median'
  done
  echo
done
