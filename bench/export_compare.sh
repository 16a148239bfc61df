#!/usr/bin/env bash
# Export of a 3200 x 3200 collage of 30 photos of 12 megapixels (4000 x 3000 JPEGs), each
# shown at 600 x 448 and slightly turned, written as a JPEG:
#   montara-tool render                      (the editor's "Save Collage" path)
#   ImageMagick convert, compositing the same placements from the full-size photos
#   ImageMagick convert with its JPEG size hint (-define jpeg:size) for each photo
# Each as a whole process; the best wall time of N runs and the peak resident memory.
# Usage: bench/export_compare.sh [BUILD_DIR] [PHOTO...]
# Without photos: 4000 x 3000 JPEGs made from the large JPEG wallpapers of
# plasma-workspace-wallpapers (needs libvips-tools and imagemagick).
set -euo pipefail
build=${1:-build}
shift || true
tool=$build/tools/montara-tool
setup=$build/bench/render_export_collage
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sources=("$@")
if [ ${#sources[@]} -eq 0 ]; then
  while IFS= read -r f; do sources+=("$f"); done < <(find /usr/share/wallpapers -name '*.jpg' -size +1M 2>/dev/null | sort | head -10)
fi
[ ${#sources[@]} -gt 0 ] || { echo "no photos (install plasma-workspace-wallpapers or name some)" >&2; exit 1; }
photos=()
for i in $(seq 0 29); do
  src=${sources[$((i % ${#sources[@]}))]}
  out="$work/photo$i.jpg"
  # Distinct files: the wallpapers in turn, mirrored every other round.
  if [ $(( (i / ${#sources[@]}) % 2 )) -eq 1 ]; then
    vips thumbnail "$src" "$work/t.v" 4000 --height 3000 --size force && vips flip "$work/t.v" "$out[Q=92]" horizontal
  else
    vips thumbnail "$src" "$out[Q=92]" 4000 --height 3000 --size force
  fi
  photos+=("$out")
done
"$setup" "$work" "${photos[@]}" > "$work/placements.txt" 2>/dev/null

im_args() { # hint(0|1) -> convert arguments
  local args=(-size 3200x3200 xc:white)
  while read -r path w h angle x y; do
    local open=("$path")
    [ "$1" = 1 ] && open=(-define "jpeg:size=$((2 * w))x$((2 * h))" "$path")
    args+=("(" "${open[@]}" -resize "${w}x${h}!" -background none -rotate "$angle" ")" -geometry "+${x}+${y}" -composite)
  done < "$work/placements.txt"
  printf '%s\n' "${args[@]}"
}
mapfile -t plain < <(im_args 0)
mapfile -t hinted < <(im_args 1)

measure() { # label command... -> best ms, peak MB of the last run
  local label=$1 b=999999 s e peak
  shift
  for _ in $(seq "$runs"); do
    s=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
    e=$(( ($(date +%s%N) - s) / 1000000 ))
    [ "$e" -lt "$b" ] && b=$e
  done
  peak=$(( $(tail -1 "$work/rss") / 1024 ))
  printf '%-44s %8s ms %8s MB\n' "$label" "$b" "$peak"
}

printf '%-44s %11s %11s\n' "30 photos of 4000 x 3000 -> 3200 x 3200 JPEG" "time" "peak"
measure "montara-tool render" "$tool" render "$work/collage.vmz" "$work/m.jpg"
measure "convert (full-size decode)" convert "${plain[@]}" -quality 90 "$work/c.jpg"
measure "convert -define jpeg:size (reduced decode)" convert "${hinted[@]}" -quality 90 "$work/h.jpg"
echo "in process: $("$setup" --time "$work/collage.vmz" "$work/t.jpg" 2>/dev/null)"
