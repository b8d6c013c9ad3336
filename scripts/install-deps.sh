#!/usr/bin/env bash
# Installs the Debian packages Vantorix needs to build, test and run, when
# any is missing. Needs root or sudo.
set -euo pipefail

packages=(
  build-essential cmake pkgconf
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-liberation fonts-dejavu-core fonts-dejavu-extra
  libarchive-dev libzip-dev zlib1g-dev
  mgba-sdl time
  desktop-file-utils appstream shared-mime-info groff-base
)
if [ "${CI:-false}" = true ] || [ "${1:-}" = --fuzz ] || [ "${1:-}" = --package ]; then
  packages+=(lintian dpkg-dev file fakeroot)
fi
if [ "${VANTORIX_FUZZ:-OFF}" = ON ] || [ "${1:-}" = --fuzz ]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
