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
test -f "$work/prefix/share/applications/eu.vantorix.Vantorix.desktop"
# What a desktop reads, checked by its own validators.
desktop-file-validate "$work/prefix/share/applications/eu.vantorix.Vantorix.desktop"
appstreamcli validate --no-net "$work/prefix/share/metainfo/eu.vantorix.Vantorix.metainfo.xml" >/dev/null
mkdir -p "$work/mime"
cp -r "$work/prefix/share/mime/packages" "$work/mime/"
update-mime-database "$work/mime"
[ -z "$(zcat "$work/prefix/share/man/man6/kelpad.6.gz" | groff -man -ww -z 2>&1)" ] || { echo "the manual page has warnings"; exit 1; }
for size in 16 24 32 48 64 128 256 512; do
  test -f "$work/prefix/share/icons/hicolor/${size}x${size}/apps/eu.vantorix.Vantorix.png"
done
test -f "$work/prefix/share/icons/hicolor/scalable/apps/eu.vantorix.Vantorix.svg"
# Only the generated games, never an emulator's save file, among the
# installed samples.
unexpected=$(find "$work/prefix/share/vantorix/roms" -type f ! -name '*.GB' ! -name '*.ZIP')
[ -z "$unexpected" ] || { echo "installed beside the samples: $unexpected"; exit 1; }
# The configuration type claims files by their first line, never by a glob.
! grep -q '<glob' "$work/prefix/share/mime/packages/eu.vantorix.Vantorix.xml" || { echo "the MIME type claims a glob"; exit 1; }
# Hardened as Debian's builds are, where the build is an optimised one.
if command -v hardening-check >/dev/null && grep -q 'CMAKE_BUILD_TYPE:STRING=Rel' "$build/CMakeCache.txt" \
   && ! grep -q 'VANTORIX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  # Debian 12's C start files carry no control-flow property, so no program
  # linked there shows one (its own ls neither): that check is left out.
  hardening-check --quiet --nocfprotection "$work/prefix/games/kelpad" "$work/prefix/libexec/vantorix/kelpad-window"
fi
if [ "$(id -u)" -ne 0 ] || ! command -v runuser >/dev/null; then
  echo "not root: the checks as another user are left out"
  exit 0
fi
home=$work/home
mkdir -p "$home"
chown nobody "$home"
cp "$rom" "$work/game.gb"
chmod 644 "$work/game.gb"
# Stand-ins for two emulators, found on the user's PATH.
mkdir -p "$work/bin"
for emulator in mgba-qt vba; do
  printf '#!/bin/sh\nexit 0\n' >"$work/bin/$emulator"
  chmod 755 "$work/bin/$emulator"
done
as_nobody() {
  runuser -u nobody -- env HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
    PATH="$work/bin:/usr/bin:/bin" LANG=it_IT.UTF-8 "$@"
}
as_nobody "$work/prefix/games/kelpad" --version
as_nobody "$work/prefix/games/kelpad" --info "$work/game.gb" | grep -qx 'Global checksum: valid'
as_nobody "$work/prefix/games/kelpad" --help | grep -q '^Uso: kelpad' || { echo "--help is not in Italian"; exit 1; }
# The first start writes a configuration ready to play before the load
# dialog comes up: the emulators found, the Italian interface, the samples.
# Italian is the language the translations chose from LANGUAGE, past one
# they lack: the interface file and the information lines speak it both.
# The samples are played from the user's own copy, made beside a file the
# user had there already, which stays as it was.
games=$home/.local/share/vantorix/roms
mkdir -p "$games"
echo mine >"$games/TENNIS.GB"
chown -R nobody "$home/.local"
status=0
as_nobody env LANG=en_US.UTF-8 LANGUAGE=xx:it timeout 5 "$work/prefix/games/kelpad" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "kelpad ended by itself with status $status"; exit 1; }
config=$home/.config/vantorix/user.cfg
test -f "$config" || { echo "no configuration written at the first start"; exit 1; }
for expected in italian.txt "Comando:  mgba-qt" vba "$games" "STAR HOPPER" "COLOR/GARDEN.GB"; do
  grep -q "$expected" "$config" || { echo "the first start's configuration lacks $expected"; exit 1; }
done
[ "$(cat "$games/TENNIS.GB")" = mine ] || { echo "the first start wrote over the user's file"; exit 1; }
grep -q "^folder	" "$home/.local/share/vantorix/library.txt" || { echo "the first start's library is empty"; exit 1; }
cmp "$games/COLOR/GARDEN.GB" "$work/prefix/share/vantorix/roms/COLOR/GARDEN.GB" || { echo "the samples were not copied"; exit 1; }
as_nobody test -w "$games/STARHOP.GB" || { echo "the user cannot write beside the games"; exit 1; }
as_nobody sh -c "echo save >'$games/STARHOP.sav'" || { echo "no save file can be written beside a game"; exit 1; }
# A second start writes nothing over it.
touch -d '2000-01-01' "$config"
as_nobody timeout 3 "$work/prefix/games/kelpad" >/dev/null 2>&1 || true
[ "$(stat -c %Y "$config")" = "$(date -d '2000-01-01' +%s)" ] || { echo "the configuration was written again"; exit 1; }
# A double click on a Game Boy ROM in a file manager: the desktop's own
# tools find Vantorix for both ROM types and start it with the file, which
# starts the emulator the configuration checks (a recorder here) with the
# ROM's whole path and shows no window. A 7z named .gb is a ROM too; a
# configuration named .gb still opens the window.
update-desktop-database "$work/prefix/share/applications"
as_desktop() {
  as_nobody env XDG_DATA_DIRS="$work/prefix/share:/usr/share" XDG_DATA_HOME="$home/.local/share" \
    PATH="$work/prefix/games:$work/bin:/usr/bin:/bin" "$@"
}
for type in application/x-gameboy-rom application/x-gameboy-color-rom; do
  default=$(as_desktop xdg-mime query default "$type")
  [ "$default" = eu.vantorix.Vantorix.desktop ] || { echo "$type opens with '$default'"; exit 1; }
done
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/started" >"$work/bin/mgba-qt"
chmod 755 "$work/bin/mgba-qt"
7z a -bd -y "$work/zipped.gb" "$work/game.gb" >/dev/null
chmod 644 "$work/zipped.gb"
printf '## Configuration file for "Vantorix v2.5"\r\n' >"$work/settings.gb"
chmod 644 "$work/settings.gb"
wait_for_start() {
  for _ in $(seq 600); do
    grep -qx "$1" "$work/started" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "no emulator started with $1"; exit 1
}
touch "$work/started" && chmod 666 "$work/started"
for opened in "$work/game.gb" "$work/zipped.gb"; do
  as_desktop gio open "$opened"
  wait_for_start "$opened"
done
tr -d '\000' <"$home/.local/state/vantorix/last-played" | grep -qx "$work/zipped.gb" || { echo "the ROM started is not remembered"; exit 1; }
status=0
as_desktop timeout 5 kelpad -- "$work/settings.gb" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "a configuration named .gb did not open the window ($status)"; exit 1; }
! grep -q settings.gb "$work/started" || { echo "a configuration was started as a ROM"; exit 1; }
# The command starts the windows through the program it installed beside
# it; without that program it says so rather than fail silently.
window=$work/prefix/libexec/vantorix/kelpad-window
test -x "$window"
mv "$window" "$window.gone"
message=$(as_nobody "$work/prefix/games/kelpad" 2>&1 >/dev/null) && { echo "kelpad ran without its window program"; exit 1; }
grep -q 'impossibile avviare il programma delle finestre' <<<"$message" || { echo "no message without the window program: $message"; exit 1; }
mv "$window.gone" "$window"
echo "the installed copy works for an ordinary user"
