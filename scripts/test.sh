#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DVANTORIX_TESTS=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-$top/build}" --output-on-failure -j"$(nproc)" --timeout 300
