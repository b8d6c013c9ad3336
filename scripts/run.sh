#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vantorix on the bundled sample
# setup: the sample configuration, opened from the folder of the sample ROMs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DVANTORIX_TESTS=OFF -DVANTORIX_BENCH=OFF
build=${BUILD_DIR:-$top/build}
cd "$build/samples/roms"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a "$build/kelpad" "$build/samples/vantorix.cfg"
fi
exec "$build/kelpad" "$build/samples/vantorix.cfg"
