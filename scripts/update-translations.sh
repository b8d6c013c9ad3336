#!/usr/bin/env bash
# Gathers the texts of the sources and window layouts into translations/*.ts
# with Qt's lupdate, keeping what is translated. With --check, nothing is
# written: it fails when the Italian file lacks a text or leaves one
# unfinished.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
sources=("$top/app" "$top/config" "$top/catalogue" "$top/windows" "$top/resources")
if [ "${1:-}" = --check ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp "$top/translations/vantorix_it.ts" "$work/"
  "$lupdate" -silent -locations none -no-obsolete "${sources[@]}" -ts "$work/vantorix_it.ts" 2>/dev/null
  unfinished=$(grep -c 'type="unfinished"' "$work/vantorix_it.ts" || true)
  if [ "$unfinished" -ne 0 ]; then
    echo "translations/vantorix_it.ts: $unfinished texts not translated:"
    grep -B3 'type="unfinished"' "$work/vantorix_it.ts" | grep '<source>' | head -20
    exit 1
  fi
  echo "translations/vantorix_it.ts: every text translated"
  exit 0
fi
"$lupdate" -silent -locations none -no-obsolete "${sources[@]}" -ts "$top/translations/vantorix_it.ts"
