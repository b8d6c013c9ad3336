#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vantorix. When the bundled
# sample setup has been generated, it starts on it, from the folder of the
# sample ROMs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" -DVANTORIX_TESTS=OFF -DVANTORIX_BENCH=OFF
build=${BUILD_DIR:-$top/build}
args=()
if [ -f "$build/samples/vantorix.cfg" ]; then
  cd "$build/samples/roms"
  args=("$build/samples/vantorix.cfg")
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a "$build/kelpad" "${args[@]}"
fi
exec "$build/kelpad" "${args[@]}"
