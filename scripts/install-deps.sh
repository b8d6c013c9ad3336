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
  libarchive-dev libzip-dev zlib1g-dev libqt6sql6-sqlite mgba-common
  mgba-sdl time
  desktop-file-utils appstream shared-mime-info groff-base
  locales p7zip-full
  xdg-utils libglib2.0-bin
)
if [ "${CI:-false}" = true ] || [ "${1:-}" = --fuzz ] || [ "${1:-}" = --package ]; then
  packages+=(lintian dpkg-dev file fakeroot devscripts)
fi
if [ "${VANTORIX_FUZZ:-OFF}" = ON ] || [ "${1:-}" = --fuzz ]; then
  packages+=(clang libclang-rt-dev)
fi

# The locales the tests run names and messages under: a Latin-1 terminal,
# and Turkish, whose letter case differs from everyone else's.
make_locales() {
  command -v localedef >/dev/null || return 0
  [ "$(id -u)" -eq 0 ] || return 0
  local have
  have=$(locale -a 2>/dev/null)
  grep -qix 'it_IT.iso88591' <<<"$have" || localedef -i it_IT -f ISO-8859-1 it_IT.ISO-8859-1 2>/dev/null || true
  grep -qix 'tr_TR.utf8' <<<"$have" || localedef -i tr_TR -f UTF-8 tr_TR.UTF-8 2>/dev/null || true
}
trap make_locales EXIT

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
