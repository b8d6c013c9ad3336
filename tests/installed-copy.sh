#!/usr/bin/env bash
# An installed copy in the hands of an ordinary user: it runs, finds its
# bundled files, reads ROMs, and offers the user's own folder for the
# configuration, since it cannot write beside the program.
#   installed-copy.sh BUILD_DIR SAMPLE_ROM
set -euo pipefail
build=$1
rom=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
test -f "$work/prefix/share/vantorix/english.txt"
test -f "$work/prefix/share/applications/vantorix.desktop"
if [ "$(id -u)" -ne 0 ] || ! command -v runuser >/dev/null; then
  echo "not root: the checks as another user are left out"
  exit 0
fi
home=$work/home
mkdir -p "$home"
chown nobody "$home"
cp "$rom" "$work/game.gb"
chmod 644 "$work/game.gb"
as_nobody() {
  runuser -u nobody -- env HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen "$@"
}
as_nobody "$work/prefix/bin/kelpad" --version
as_nobody "$work/prefix/bin/kelpad" --info "$work/game.gb" | grep -qx 'Global checksum: valid'
# The load dialog comes up at start, in the user's folder, which nothing
# but a save creates.
status=0
as_nobody timeout 5 "$work/prefix/bin/kelpad" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "kelpad ended by itself with status $status"; exit 1; }
if [ -e "$home/.config/vantorix" ]; then echo "the user folder was made before any save"; exit 1; fi
echo "the installed copy works for an ordinary user"
