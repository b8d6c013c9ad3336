#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for SECONDS (default 60), one after another.
#   scripts/fuzz.sh [SECONDS] [TARGET...]    TARGET: LineReader Configuration
#                                            Interface RomHeader RomKey
#                                            CommandLine CartridgeDetails RomArchive
#                                            ClrMameProDat LogiqxDat LibraryStore
# New inputs gather in $FUZZ_BUILD_DIR/corpus/TARGET (the seeds in
# fuzz/corpus are only read); a crash leaves its input in
# $FUZZ_BUILD_DIR/artifacts and makes the script fail.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(LineReader Configuration Interface RomHeader RomKey CommandLine CartridgeDetails RomArchive ClrMameProDat LogiqxDat LibraryStore)
build=${FUZZ_BUILD_DIR:-$top/build-fuzz}

"$top/scripts/install-deps.sh" --fuzz
CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORIX_FUZZ=ON \
  -DVANTORIX_SANITIZE=ON -DVANTORIX_TESTS=OFF -DVANTORIX_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# libarchive asks malloc for what a hostile 7z header claims and copes with
# a refusal: let malloc refuse such sizes instead of calling them a crash.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1:max_allocation_size_mb=1024}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/fuzz-$target.log"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
       -rss_limit_mb=2048 -malloc_limit_mb=100000000 -max_len=65536 -artifact_prefix="$build/artifacts/$target-" \
       "$corpus" "$top/fuzz/corpus/$target" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  echo "fuzz_$target: $result, $runs executions in ${seconds} s, corpus $(ls "$corpus" | wc -l) inputs"
  [ "$result" = ok ] || tail -40 "$log"
done
exit $status
