#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
# With --full (the default when CI=true) the suite runs a second time built
# with AddressSanitizer and UndefinedBehaviorSanitizer, and every fuzz target
# runs for FUZZ_SECONDS (default 30).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
full=${CI:-false}
[ "${1:-}" = --full ] && full=true
build=${BUILD_DIR:-$top/build}
export QT_QPA_PLATFORM=offscreen

if [ "$full" = true ]; then
  "$top/scripts/install-deps.sh" --fuzz
else
  "$top/scripts/install-deps.sh"
fi
"$top/scripts/build.sh" -DVANTORIX_TESTS=ON
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300
[ "$full" = true ] || exit 0

echo "== Every text of the Italian translation"
"$top/scripts/update-translations.sh" --check

echo "== The Debian package, checked by lintian"
(cd "$build" && cpack -G DEB >/dev/null)
lintian_out=$(lintian "$build"/vantorix_*_amd64.deb 2>&1 | grep -v 'running with root privileges' || true)
[ -n "$lintian_out" ] && printf '%s\n' "$lintian_out"
if printf '%s\n' "$lintian_out" | grep -q '^E:'; then
  echo "lintian reports errors"
  exit 1
fi

echo "== The suite under AddressSanitizer and UndefinedBehaviorSanitizer"
BUILD_DIR=${SANITIZE_BUILD_DIR:-$top/build-sanitize} "$top/scripts/build.sh" \
  -DVANTORIX_TESTS=ON -DVANTORIX_BENCH=OFF -DVANTORIX_SANITIZE=ON
sanitize_log=$(mktemp)
sanitized() {
  ASAN_OPTIONS=detect_leaks=${LEAKS:-1} UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "${SANITIZE_BUILD_DIR:-$top/build-sanitize}" --output-on-failure -j"$(nproc)" --timeout 600 "$@"
}
# LeakSanitizer's own tracer may crash while it stops a busy process's
# threads at its end ("LeakSanitizer has encountered a fatal error", no
# finding): only then are the failed tests run once more, and where its
# tracer fails again, once more without the leak check (the tracer that
# would make it is what fails; every other check stays). A finding of a
# sanitizer, or any other failure, stands.
only_tracer_failed() {
  grep -q 'LeakSanitizer has encountered a fatal error' "$sanitize_log" \
    && ! grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer: detected)|runtime error:|Failure$' "$sanitize_log"
}
if ! sanitized 2>&1 | tee "$sanitize_log"; then
  only_tracer_failed || exit 1
  echo "== LeakSanitizer's tracer failed: the failed tests once more"
  if ! sanitized --rerun-failed 2>&1 | tee "$sanitize_log"; then
    only_tracer_failed || exit 1
    echo "== LeakSanitizer's tracer failed again: the failed tests without the leak check"
    LEAKS=0 sanitized --rerun-failed
  fi
fi
rm -f "$sanitize_log"

echo "== The reading threads and the hash cache under ThreadSanitizer"
tsan=${TSAN_BUILD_DIR:-$top/build-tsan}
BUILD_DIR=$tsan "$top/scripts/build.sh" -DVANTORIX_TESTS=ON -DVANTORIX_BENCH=OFF -DVANTORIX_TSAN=ON
for tests in vantorix_core_tests vantorix_tests; do
  TSAN_OPTIONS=halt_on_error=1:die_after_fork=0:suppressions=$top/tests/tsan.supp "$tsan/tests/$tests" \
    --gtest_filter='HeadReader.*:HeaderPass.*:ScanCommand.*:RomArchive.*:NamesCommand.*:HashCacheFile.*:LibraryRows.TextsShared*'
done

echo "== Fuzz targets, ${FUZZ_SECONDS:-30} s each"
"$top/scripts/fuzz.sh" "${FUZZ_SECONDS:-30}"
