#!/usr/bin/env bash
# The layers hold: no include climbs out of its folder ("library/../widgets"
# would find a header the folder may not see), and no folder names a Qt
# module it may not use. Prints each fault and fails on any.
set -uo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2
faults=0
fault() { printf '%s\n' "$1"; faults=$((faults + 1)); }

code_folders=(platform rom settings names pictures reading downloads library commands widgets app config catalogue windows)
while IFS= read -r line; do
  fault "climbs out of its folder: $line"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]*\.\./' "${code_folders[@]}" --include='*.cpp' --include='*.h')

# Which Qt modules each folder may name (Core everywhere).
allowed() {
  case $1 in
    platform|rom|settings|pictures|commands) echo "Core" ;;
    names|reading|library) echo "Core Sql" ;;
    downloads) echo "Core Sql Network" ;;
    *) echo "Core Gui Widgets Sql Network" ;;
  esac
}
for folder in "${code_folders[@]}"; do
  may=" $(allowed "$folder") "
  while IFS= read -r line; do
    module=$(sed -nE 's/.*#[[:space:]]*include[[:space:]]*<Qt(Widgets|Gui|Network|Sql)\/.*/\1/p' <<<"$line")
    [[ $may == *" $module "* ]] || fault "Qt $module where $folder/ may not use it: $line"
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Qt(Widgets|Gui|Network|Sql)/' "$folder" --include='*.cpp' --include='*.h')
done

if [ "$faults" -gt 0 ]; then
  echo "$faults include(s) step around the layers"
  exit 1
fi
echo "the layers hold"
