#!/usr/bin/env bash
# Photo import next to vipsthumbnail on the same files, in one run:
#   - makes COUNT (200) photo-like 4000 x 3000 JPEGs (12 MP) in a scratch folder,
#   - imports them into a photo library with one worker per core and with one worker
#     (total time, photos per second, peak memory, longest busy stretch of the
#     interface thread),
#   - makes 80 x 80 thumbnails of the same files with vipsthumbnail (one process for
#     all files, as the import is one process), time, rate and peak memory.
# Usage: bench/photo_import_compare.sh [BUILD_DIR] [COUNT]
# Needs libvips-tools for the comparison (skipped without it).
set -euo pipefail
build=${1:-build}
count=${2:-200}
bench=$build/bench/photo_import_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bench" make "$work/photos" "$count" 4000 3000
sync

# Warm the page cache so every run reads the files from memory.
cat "$work"/photos/*.jpg >/dev/null

"$bench" import "$work/photos" 0
"$bench" import "$work/photos" 1

if command -v vipsthumbnail >/dev/null; then
  mkdir -p "$work/vips"
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o "$work/vips.mem" \
    vipsthumbnail "$work"/photos/*.jpg -s '80x80!' -o "$work/vips/%s.jpg[Q=75]"
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  made=$(find "$work/vips" -name '*.jpg' | wc -l)
  read -r kb user sys < "$work/vips.mem"
  awk -v n="$made" -v ms="$ms" -v kb="$kb" -v user="$user" -v sys="$sys" 'BEGIN {
    cpu = user + sys
    printf "vipsthumbnail: %d photos: %.2f s, %.1f photos/s, CPU %.1f ms a photo, peak memory %.1f MB\n",
      n, ms / 1000, n / (ms / 1000), 1000 * cpu / n, kb / 1024 }'
else
  echo "vipsthumbnail not installed (libvips-tools): no comparison"
fi
