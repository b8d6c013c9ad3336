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
# VANTORIX_BENCH_PROCESSES_ONLY=1 leaves the in-process cases out.
[ -n "${VANTORIX_BENCH_PROCESSES_ONLY:-}" ] ||
for filter in 'HeaderPass/|RawLoop/' 'FolderOpen|RawLoop/10000$' 'ConfigLoad|RawRead' \
              'ConfigSave|RawWrite' 'StartUp|RawWindow' 'LargeText' \
              'ReaderFirstOpening|ScanInProcess' 'SelectionChange' 'MissingMarks|StatPerEntry' 'Hover' \
              'ReaderImport' 'NoIntro|CacheKeys' 'CacheOpen' 'GameNames'; do
  for case in $("$bench" --benchmark_list_tests --benchmark_filter="$filter"); do
    "$bench" --benchmark_filter="^${case}\$" --benchmark_repetitions=5 \
      --benchmark_report_aggregates_only=true 2>/dev/null | grep '_median'
  done
  echo
done

# Whole processes: the median wall time of 5 runs, and the peak memory.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The median of 5 runs; $before_each, when set, runs (untimed) before each.
median_ms() {
  local times=()
  for _ in 1 2 3 4 5; do
    [ -z "${before_each:-}" ] || "$before_each"
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p
}
# The medians of runs that take turns, so that whatever else the machine
# does falls on every case alike: paired_ms RUNS CASE... where each case is
# one word holding a command line. Prints the medians in 0.1 ms, in order.
paired_ms() {
  local runs=$1
  shift
  local -A times=()
  for ((run = 0; run < runs; run++)); do
    local k=0
    for case in "$@"; do
      [ -z "${before_each:-}" ] || "$before_each"
      local start end
      start=$(date +%s%N)
      eval "$case" >/dev/null
      end=$(date +%s%N)
      times[$k]+="$(((end - start) / 100000)) "
      k=$((k + 1))
    done
  done
  for ((k = 0; k < $#; k++)); do
    printf '%s\n' ${times[$k]} | sort -n | sed -n "$((runs / 2 + 1))p"
  done
}
ms() { awk "BEGIN {printf \"%.1f\", $1 / 10}"; }
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }
peak_mib() { local kib; kib=$( { /usr/bin/time -f '%M' "$@" >/dev/null; } 2>&1 | tail -1); echo $((kib / 1024)); }
# The CPU time of a command in ms: the shell's own timing counts to the
# millisecond, where time(1) prints hundredths.
cpu_ms() {
  local TIMEFORMAT='%3U %3S'
  { time "$@" >/dev/null 2>&1; } 2>&1 | tail -1 | awk '{printf "%d", ($1 + $2) * 1000}'
}
# The CPU time (user + system) of a command, median of 11 runs.
median_cpu_ms() {
  for _ in $(seq 11); do cpu_ms "$@"; echo; done | sort -n | sed -n 6p
}
kelpad=$build/kelpad
loop=$build/bench/vantorix_rawloop
for count in 20000 100000; do
  mkdir -p "$work/$count"
  "$loop" --make "$work/$count" "$count"
  "$loop" "$work/$count" >/dev/null  # warm the cache
  read -r -d '' scan plain one < <(paired_ms 21 "$kelpad --scan $work/$count" "$loop $work/$count" \
    "VANTORIX_READ_THREADS=0 $kelpad --scan $work/$count") || true
  echo "warm, $count files: kelpad --scan $(ms "$scan") ms, plain C loop $(ms "$plain") ms," \
       "ratio $(ratio "$scan" "$plain"); one reading thread $(ms "$one") ms;" \
       "peak memory $(peak_mib "$kelpad" --scan "$work/$count") MiB;" \
       "CPU $(median_cpu_ms "$kelpad" --scan "$work/$count") ms against one thread's" \
       "$(VANTORIX_READ_THREADS=0 median_cpu_ms "$kelpad" --scan "$work/$count") ms"
done

# Cold: the page cache dropped before each run, as after a reboot, with the
# program's own libraries read back in first (they are not what is measured).
drop_cache() {
  sync
  echo 3 >/proc/sys/vm/drop_caches
  "$kelpad" --version >/dev/null
  "$loop" /nonexistent >/dev/null 2>&1 || true
}
cold_ms() { before_each=drop_cache median_ms "$@"; }
if [ "$(id -u)" -eq 0 ] && [ -w /proc/sys/vm/drop_caches ]; then
  for count in 20000 100000; do
    read -r -d '' scan plain one < <(before_each=drop_cache paired_ms 5 "$kelpad --scan $work/$count" \
      "$loop $work/$count" "VANTORIX_READ_THREADS=0 $kelpad --scan $work/$count") || true
    echo "cold, $count files: kelpad --scan $(ms "$scan") ms, plain C loop $(ms "$plain") ms," \
         "ratio $(ratio "$scan" "$plain"); one reading thread $(ms "$one") ms"
  done
  # The ROMS reader's first opening on a cold folder: one iteration a run.
  reader_ms() {
    VANTORIX_BENCH_ROMS=$work "$bench" --benchmark_filter='^ReaderFirstOpening/20000/' 2>/dev/null |
      awk '/^ReaderFirstOpening/ {printf "%d", $2}'
  }
  readers=()
  for _ in 1 2 3 4 5; do
    drop_cache
    "$bench" --benchmark_list_tests >/dev/null
    readers+=("$(reader_ms)")
  done
  reader=$(printf '%s\n' "${readers[@]}" | sort -n | sed -n 3p)
  echo "cold, 20000 files: the ROMS reader's first opening ${reader} ms, plain C loop" \
       "$(cold_ms "$build/bench/vantorix_rawloop" "$work/20000") ms"
else
  echo "cold cases left out: dropping the page cache needs root"
fi

# A collection in folders: 10,000 files in 200 folders, scanned with its
# subfolders, against the same count in one folder, warm and cold.
mkdir -p "$work/flat" "$work/tree"
"$loop" --make "$work/flat" 10000
for ((g = 0; g < 200; g++)); do
  set_folder=$work/tree/GROUP$((g % 10))/SET$g
  mkdir -p "$set_folder"
  "$loop" --make "$set_folder" 50
done
"$kelpad" --scan "$work/tree" --subfolders >/dev/null
read -r -d '' tree flat < <(paired_ms 21 "$kelpad --scan $work/tree --subfolders" "$kelpad --scan $work/flat") || true
echo "warm, 10000 files in 200 folders: kelpad --scan --subfolders $(ms "$tree") ms, one folder $(ms "$flat") ms," \
     "ratio $(ratio "$tree" "$flat")"
if [ "$(id -u)" -eq 0 ] && [ -w /proc/sys/vm/drop_caches ]; then
  read -r -d '' tree flat < <(before_each=drop_cache paired_ms 5 "$kelpad --scan $work/tree --subfolders" \
    "$kelpad --scan $work/flat") || true
  echo "cold, 10000 files in 200 folders: kelpad --scan --subfolders $(ms "$tree") ms, one folder $(ms "$flat") ms," \
       "ratio $(ratio "$tree" "$flat")"
fi

# Zipped and 7z collections: 3,000 single-ROM archives of 32 KiB ROMs
# against the same ROMs unpacked, whole processes, warm.
for kind in plain zip 7z; do
  mkdir -p "$work/archives-$kind"
  "$build/bench/vantorix_make_archives" "$kind" "$work/archives-$kind" 3000
done
plain=$(median_ms "$build/kelpad" --scan "$work/archives-plain")
zip=$(median_ms "$build/kelpad" --scan "$work/archives-zip" --mask '*.zip')
sevenzip=$(median_ms "$build/kelpad" --scan "$work/archives-7z" --mask '*.7z')
echo "archives, 3000 files: unpacked ${plain} ms, zip ${zip} ms (ratio $(ratio "$zip" "$plain")), 7z ${sevenzip} ms (ratio $(ratio "$sevenzip" "$plain"))"
mkdir -p "$work/archives-20000"
"$build/bench/vantorix_make_archives" zip "$work/archives-20000" 20000
echo "archives, 20000 zip files: peak memory $(peak_mib "$build/kelpad" --scan "$work/archives-20000" --mask '*.zip') MiB"

# Names from the game databases (Debian's No-Intro list, mgba-common):
# 3,000 zips named from their directories against the plain scan of them;
# 20,000 plain ROMs of 32 KiB named with an empty cache against the one-thread
# C loop that reads each whole and takes its zlib CRC32 (warm and cold), and
# with the cache filled against the plain scan.
names_cache=$work/names-cache
export XDG_CACHE_HOME=$names_cache
read -r -d '' named plain < <(paired_ms 21 "$kelpad --scan $work/archives-zip --mask '*.zip' --names" \
  "$kelpad --scan $work/archives-zip --mask '*.zip'") || true
echo "names, 3000 zip files: --names $(ms "$named") ms, plain $(ms "$plain") ms, ratio $(ratio "$named" "$plain")"
mkdir -p "$work/named"
"$loop" --make "$work/named" 20000 32768
empty_cache() { rm -rf "$names_cache"; }
"$loop" --crc "$work/named" >/dev/null
read -r -d '' first crcloop < <(before_each=empty_cache paired_ms 11 "$kelpad --scan $work/named --names" \
  "$loop --crc $work/named") || true
echo "names, 20000 files of 32 KiB, empty cache, warm: --names $(ms "$first") ms, C loop with CRC32 $(ms "$crcloop") ms," \
     "ratio $(ratio "$first" "$crcloop")"
"$kelpad" --scan "$work/named" --names >/dev/null
read -r -d '' second plain < <(paired_ms 21 "$kelpad --scan $work/named --names" "$kelpad --scan $work/named") || true
echo "names, 20000 files of 32 KiB, cache filled: --names $(ms "$second") ms, plain $(ms "$plain") ms," \
     "ratio $(ratio "$second" "$plain")"
if [ "$(id -u)" -eq 0 ] && [ -w /proc/sys/vm/drop_caches ]; then
  cold_empty() { empty_cache; drop_cache; }
  read -r -d '' first crcloop < <(before_each=cold_empty paired_ms 3 "$kelpad --scan $work/named --names" \
    "$loop --crc $work/named") || true
  echo "names, 20000 files of 32 KiB, empty cache, cold: --names $(ms "$first") ms, C loop with CRC32" \
       "$(ms "$crcloop") ms, ratio $(ratio "$first" "$crcloop")"
fi

# The cache's size after ten scans of the same 20,000 files, every file
# changed before each, against its size after one.
empty_cache
"$kelpad" --scan "$work/named" --names >/dev/null
cache_bytes() { du -cb "$names_cache"/vantorix/hashes.sqlite* | tail -1 | cut -f1; }
once=$(cache_bytes)
for _ in $(seq 10); do
  find "$work/named" -type f -exec touch {} +
  "$kelpad" --scan "$work/named" --names >/dev/null
done
echo "names, cache after 10 scans of 20000 changed files: $(cache_bytes) bytes, after one $once bytes," \
     "ratio $(ratio "$(cache_bytes)" "$once")"

# The library at 100,000 games, its cache filled: --library-list against the
# cached named scan of the same folder, whole processes taking turns; then
# the window (opening until its caption counts every game, a sort by each
# column, a filter keystroke, its longest pause and the memory it adds)
# against the same scan in one process.
library_home=$work/library
mkdir -p "$library_home"
export XDG_DATA_HOME=$library_home/data XDG_CACHE_HOME=$library_home/cache XDG_CONFIG_HOME=$library_home/config
"$kelpad" --library-add "$work/100000" >/dev/null
"$kelpad" --library-list >/dev/null
"$kelpad" --scan "$work/100000" --subfolders --names >/dev/null
read -r -d '' listed scanned < <(paired_ms 11 "$kelpad --library-list" "$kelpad --scan $work/100000 --subfolders --names") || true
echo "library, 100000 games: --library-list $(ms "$listed") ms, cached --scan --subfolders --names $(ms "$scanned") ms," \
     "ratio $(ratio "$listed" "$scanned")"
# The collector's audit as a script sees it: --library-missing against
# --library-list, whole processes taking turns; then the audit and the look
# for saves in process, each beside its baseline.
read -r -d '' missing listed < <(paired_ms 11 "$kelpad --library-missing 2>/dev/null" "$kelpad --library-list") || true
echo "library, 100000 games: --library-missing $(ms "$missing") ms, --library-list $(ms "$listed") ms," \
     "ratio $(ratio "$missing" "$listed")"
for case in CollectionAudit CollectionAuditBaselineKeySet CollectionFindSaves CollectionFindSavesBaselineListing; do
  "$bench" --benchmark_filter="^${case}/" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null \
    | grep "^${case}/.*_median"
done
for case in LibraryWindowOpen LibraryBaselineScan; do
  "$bench" --benchmark_filter="^${case}/" 2>/dev/null | grep "^${case}"
done
# The same as a user sees it, whole processes under a virtual X server:
# kelpad --library until its caption counts every game, against the cached
# scan; and the window program's resident memory with the library open
# against the main window alone.
if command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null; then
  cat >"$work/library-window.sh" <<'SH'
#!/usr/bin/env bash
kelpad=$1 caption=$2
shown() {
  local deadline=$((SECONDS + 120))
  until xwininfo -root -tree 2>/dev/null | grep -q "$1"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.01
  done
}
start=$(date +%s%N)
"$kelpad" --library >/dev/null 2>&1 & pid=$!
shown "\"$caption\"" || { kill $pid; exit 1; }
end=$(date +%s%N)
# A moment after the caption, and once the pass's free heap is given back
# (at its end and 2 s later): what a system monitor shows then.
sleep 1
early=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
sleep 2
library=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
kill $pid; wait $pid 2>/dev/null
"$kelpad" >/dev/null 2>&1 & pid=$!
shown '"Vantorix'
sleep 2
main=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
kill $pid; wait $pid 2>/dev/null
echo "$(((end - start) / 1000000)) $library $main $early"
SH
  opened=() grown=() early_grown=()
  for _ in 1 2 3 4 5; do
    read -r ms library main early < <(xvfb-run -a -s "-screen 0 1366x768x24" bash "$work/library-window.sh" "$kelpad" \
      "Library - 100,000 games")
    opened+=("$ms") grown+=($(((library - main) / 1024))) early_grown+=($(((early - main) / 1024)))
  done
  scanned=$(median_ms "$kelpad" --scan "$work/100000" --subfolders --names)
  opened_ms=$(printf '%s\n' "${opened[@]}" | sort -n | sed -n 3p)
  echo "library window, 100000 games, whole processes: kelpad --library to the full caption ${opened_ms} ms," \
       "cached --scan --subfolders --names ${scanned} ms, ratio $(ratio "$opened_ms" "$scanned");" \
       "resident memory with the library open $(printf '%s\n' "${grown[@]}" | sort -n | sed -n 3p) MiB more than the main window's" \
       "($(printf '%s\n' "${early_grown[@]}" | sort -n | sed -n 3p) MiB 1 s after the caption)"
else
  echo "library window as whole processes left out: needs xvfb-run and xwininfo (x11-utils)"
fi

# The cached second named look and the start-up against another build of
# the command (VANTORIX_BASELINE_KELPAD, say main at 94eef68 built apart),
# whole processes taking turns, each with a cache of its own: 800 ROMs of
# 32 KiB to 1 MiB in four folders.
if [ -n "${VANTORIX_BASELINE_KELPAD:-}" ]; then
  look=$work/look
  python3 - "$look" <<'PY'
import os, random, sys
random.seed(7)
for i in range(800):
    folder = os.path.join(sys.argv[1], "abcd"[i % 4])
    os.makedirs(folder, exist_ok=True)
    size = random.choices([32768, 65536, 131072, 262144, 524288, 1048576], [10, 15, 30, 25, 15, 5])[0]
    rom = bytearray(random.getrandbits(8) for _ in range(4096)) * (size // 4096)
    rom[0x134:0x13C] = b"GAME%04d" % i
    rom[0x143] = 0x80 if i % 3 == 0 else 0
    open(os.path.join(folder, "Game %04d.%s" % (i, "gbc" if i % 3 == 0 else "gb")), "wb").write(rom)
PY
  mask='*.gb;*.gbc'  # what both builds read by default or not
  new="env XDG_CACHE_HOME=$work/look-new $kelpad --scan $look --subfolders --names --mask '$mask'"
  old="env XDG_CACHE_HOME=$work/look-old $VANTORIX_BASELINE_KELPAD --scan $look --subfolders --names --mask '$mask'"
  eval "$new" >/dev/null
  eval "$old" >/dev/null
  read -r -d '' mine theirs < <(paired_ms 21 "$new" "$old") || true
  echo "second named look, 800 ROMs: $(ms "$mine") ms, baseline $(ms "$theirs") ms, ratio $(ratio "$mine" "$theirs")"
  read -r -d '' mine theirs < <(paired_ms 21 "$kelpad --version" "$VANTORIX_BASELINE_KELPAD --version") || true
  echo "--version: $(ms "$mine") ms, baseline $(ms "$theirs") ms, ratio $(ratio "$mine" "$theirs")"
fi
