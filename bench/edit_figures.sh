#!/usr/bin/env bash
# Figures of the item editors: every effect on a 3200 x 3200 collage (one process each,
# so that each peak memory is its own), then live tuning of a 24 MP photo.
# Usage: bench/edit_figures.sh [BUILD_DIR]
set -eu
exe=${1:-build}/bench/edit_figures
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for id in 11980 11981 11982 11984 11985 11986 11988 11989 11990 11991 11992 11993 11994; do
  "$exe" effect "$id"
done
"$exe" tuning
