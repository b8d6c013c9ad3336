#!/usr/bin/env bash
# Renders the scalable icon into the PNG sizes desktops ask for, kept in the
# repository (resources/icons/hicolor) so that a build needs no renderer.
# Needs Debian's librsvg2-bin.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
svg=$top/resources/icons/eu.vantorix.Vantorix.svg
for size in 16 24 32 48 64 128 256 512; do
  mkdir -p "$top/resources/icons/hicolor/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$top/resources/icons/hicolor/${size}x${size}/eu.vantorix.Vantorix.png"
done
