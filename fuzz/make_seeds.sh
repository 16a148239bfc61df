#!/usr/bin/env bash
# Seed corpora of the fuzz targets, made from valid files that the program's own writers
# produce: ./fuzz/make_seeds.sh BUILD_DIR OUT_DIR (BUILD_DIR holds fuzz/montara-fuzz-seeds).
set -euo pipefail
build=${1:?usage: make_seeds.sh BUILD_DIR OUT_DIR}
out=${2:?usage: make_seeds.sh BUILD_DIR OUT_DIR}
rm -rf "$out"
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/fuzz/montara-fuzz-seeds" "$out"
for target in project library language picture pack photolib; do
  count=$(find "$out/$target" -type f | wc -l)
  [ "$count" -gt 0 ] || { echo "no seeds for $target" >&2; exit 1; }
  echo "seeds: $target $count files"
done
