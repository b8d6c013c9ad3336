#!/usr/bin/env bash
# Gathers the texts of the sources and window layouts into translations/*.ts
# with Qt's lupdate, keeping what is translated. With --check, nothing is
# written: it fails when the Italian file lacks a text or leaves one
# unfinished.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
sources=("$top/platform" "$top/rom" "$top/settings" "$top/names" "$top/pictures" "$top/reading" "$top/downloads" "$top/library" "$top/commands" "$top/widgets" "$top/app" "$top/config" "$top/catalogue" "$top/windows" "$top/resources")
if [ "${1:-}" = --check ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp "$top/translations/vantorix_it.ts" "$top/translations/vantorix_plurals_en.ts" "$work/"
  "$lupdate" -silent -locations none -no-obsolete "${sources[@]}" -ts "$work/vantorix_it.ts" 2>/dev/null
  "$lupdate" -silent -locations none -no-obsolete -pluralonly "${sources[@]}" -ts "$work/vantorix_plurals_en.ts" 2>/dev/null
  status=0
  for ts in vantorix_it.ts vantorix_plurals_en.ts; do
    unfinished=$(grep -c 'type="unfinished"' "$work/$ts" || true)
    if [ "$unfinished" -ne 0 ]; then
      echo "translations/$ts: $unfinished texts not translated:"
      grep -B3 'type="unfinished"' "$work/$ts" | grep '<source>' | head -20
      status=1
    else
      echo "translations/$ts: every text translated"
    fi
  done
  exit $status
fi
"$lupdate" -silent -locations none -no-obsolete "${sources[@]}" -ts "$top/translations/vantorix_it.ts"
# English needs its plural forms only ("1 file", "2 files").
"$lupdate" -silent -locations none -no-obsolete -pluralonly "${sources[@]}" -ts "$top/translations/vantorix_plurals_en.ts"
