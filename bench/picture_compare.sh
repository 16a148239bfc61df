#!/usr/bin/env bash
# Side by side on the same photos, each as a whole process run (start-up included), the
# best of N runs in milliseconds:
#   thumbnail 80 x 80:  montara-tool thumbnail | vipsthumbnail | convert -thumbnail 80x80!
#   JPEG -> PNG:        montara-tool convert   | vips copy     | convert
# Usage: bench/picture_compare.sh [BUILD_DIR] [PHOTO...]
# Without photos: the large JPEG wallpapers of plasma-workspace-wallpapers and a
# 4000 x 3000 JPEG made from the first of them. Needs libvips-tools and imagemagick.
set -euo pipefail
build=${1:-build}
shift || true
tool=$build/tools/montara-tool
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

photos=("$@")
if [ ${#photos[@]} -eq 0 ]; then
  while IFS= read -r f; do photos+=("$f"); done < <(find /usr/share/wallpapers -name '*.jpg' -size +1M 2>/dev/null | sort | head -3)
fi
if [ ${#photos[@]} -gt 0 ]; then
  vips thumbnail "${photos[0]}" "$work/photo-4000x3000.jpg[Q=92]" 4000 --height 3000 --size force
  photos=("$work/photo-4000x3000.jpg" "${photos[@]}")
fi
[ ${#photos[@]} -gt 0 ] || { echo "no photos (install plasma-workspace-wallpapers or name some)" >&2; exit 1; }

best() { # command... -> best wall time in ms over $runs runs
  local b=999999 s e
  for _ in $(seq "$runs"); do
    s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(( ($(date +%s%N) - s) / 1000000 ))
    [ "$e" -lt "$b" ] && b=$e
  done
  echo "$b"
}

printf '%-46s %10s %10s %10s\n' "photo" "montara" "vips" "convert"
for p in "${photos[@]}"; do
  case "$p" in
    */contents/*) name="$(basename "$(dirname "$(dirname "$(dirname "$p")")")")/$(basename "$(dirname "$p")")" ;;
    *) name="$(basename "$p")" ;;
  esac
  name="$name $(identify -format '%wx%h' "$p")"
  m=$(best "$tool" thumbnail "$p" "$work/m.jpg")
  v=$(best vipsthumbnail "$p" -s '80x80!' -o "$work/v.jpg")
  c=$(best convert "$p" -thumbnail '80x80!' "$work/c.jpg")
  printf '%-46s %10s %10s %10s   thumbnail 80x80\n' "$name" "$m" "$v" "$c"
  m=$(best "$tool" convert --format png --out "$work/out" "$p")
  v=$(best vips copy "$p" "$work/v.png")
  c=$(best convert "$p" "$work/c.png")
  mb() { echo "$(( $(stat -c %s "$1") / 1000000 ))MB"; }
  out="$work/out/$(basename "${p%.*}").png"
  printf '%-46s %10s %10s %10s   JPEG->PNG (files %s / %s / %s)\n' "$name" "$m" "$v" "$c" "$(mb "$out")" "$(mb "$work/v.png")" "$(mb "$work/c.png")"
done
