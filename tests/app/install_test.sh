#!/usr/bin/env bash
# cmake --install puts the programs, the desktop entry and the icons where a desktop finds them.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/montara bin/montara-tool share/applications/montara.desktop \
         share/icons/hicolor/scalable/apps/montara.svg share/icons/hicolor/256x256/apps/montara.png \
         share/montara/help/index.html; do
  [ -e "$prefix/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done
[ -x "$prefix/bin/montara" ] && [ -x "$prefix/bin/montara-tool" ] || { echo "FAIL: programs not executable"; exit 1; }
grep -q '^Categories=.*Graphics;' "$prefix/share/applications/montara.desktop" || { echo "FAIL: desktop entry lacks Graphics"; exit 1; }
grep -q '^Exec=montara$' "$prefix/share/applications/montara.desktop" || { echo "FAIL: desktop entry Exec"; exit 1; }
size=$(identify -format "%wx%h" "$prefix/share/icons/hicolor/256x256/apps/montara.png")
[ "$size" = "256x256" ] || { echo "FAIL: icon is $size"; exit 1; }
"$prefix/bin/montara-tool" --version | grep -q '^montara-tool ' || { echo "FAIL: installed tool does not run"; exit 1; }
echo PASS
