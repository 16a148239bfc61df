#!/usr/bin/env bash
# Saving a 3200 x 3200 collage of 30 photos as a picture from the window: time to the
# written file, peak memory and the longest pause of the interface thread, for JPEG, PNG
# and BMP. Each export in a process of its own.
# Usage: bench/export_window.sh [BUILD_DIR] [PHOTO...]
# Without photos: 30 JPEGs of 4000 x 3000 (12 megapixels) made here from three ImageMagick
# plasma pictures, which compress like photos; every photo is decoded on its own.
set -euo pipefail
build=${1:-build}
shift || true
setup=$build/bench/render_export_collage
bench=$build/bench/export_window_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

photos=("$@")
if [ ${#photos[@]} -eq 0 ]; then
  for i in 0 1 2; do
    convert -size 4000x3000 -seed "$i" plasma:fractal -quality 92 "$work/plasma$i.jpg"
  done
  for i in $(seq 0 29); do
    cp "$work/plasma$((i % 3)).jpg" "$work/photo$i.jpg"
    photos+=("$work/photo$i.jpg")
  done
fi
"$setup" "$work" "${photos[@]}" > /dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for ext in jpg png bmp; do
  "$bench" "$work/collage.vmz" "$work/out.$ext"
done
