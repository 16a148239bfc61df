#!/usr/bin/env bash
# The batch converter against `vips copy` at equal settings, one whole process per
# conversion, in one run:
#   12 MP and 24 MP JPEGs, each converted to JPEG, PNG and TIFF.
# Both sides run interleaved (montara, vips, montara, vips, ...) so that both see the same
# load on a shared machine. For each case the median of RUNS runs (default 7) of the wall
# time, the processor time (user + system) and the peak resident memory (/usr/bin/time %M)
# is printed, with montara / vips ratios.
#
# Equal settings: JPEG quality 90 with 4:2:0 chroma subsampling, baseline, standard Huffman
# tables; PNG zlib level 2 with libpng's adaptive row filters; TIFF LZW with the horizontal
# predictor.
# Metadata is stripped on the vips side (the sources carry none worth copying).
#
# Usage: bench/convert_compare.sh [BUILD_DIR [BASELINE_TOOL]]
#   BASELINE_TOOL  another montara-tool (an older build) measured in the same run.
# Sources: the first large JPEG wallpaper photo found under /usr/share/backgrounds or
# /usr/share/wallpapers, else a generated photo-like picture (plasma, noise); resized to
# 4000 x 3000 and 6000 x 4000 and saved at quality 92. Needs libvips-tools, imagemagick.
set -euo pipefail
build=${1:-build}
baseline=${2:-}
tool=$build/tools/montara-tool
runs=${RUNS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x "$tool" ] || { echo "no $tool (build the montara-tool target)" >&2; exit 1; }

photo=$(find /usr/share/backgrounds /usr/share/wallpapers -name '*.jpg' -size +1M 2>/dev/null | sort | head -1 || true)
if [ -n "$photo" ]; then
  base=$photo
  echo "source photo: $photo"
else
  base=$work/base.png
  convert -seed 7 -size 1500x1000 plasma:fractal -blur 0x1 "$base"
  echo "source photo: generated (plasma fractal with noise)"
fi
make_source() { # width height out
  convert "$base" -resize "$1x$2^" -gravity center -extent "$1x$2" -seed 11 -attenuate 0.35 +noise Gaussian \
    -quality 92 "$3"
}
make_source 4000 3000 "$work/photo12.jpg"
make_source 6000 4000 "$work/photo24.jpg"

measure() { # command... -> "wall cpu peakKB", into a fresh, empty output folder
  local t=$work/time.txt
  rm -rf "$work/out" && mkdir -p "$work/out"
  /usr/bin/time -o "$t" -f '%e %U %S %M' "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  awk '{printf "%.3f %.3f %d\n", $1, $2 + $3, $4}' "$t"
}

median() { # column file -> median of that column
  sort -g -k"$1","$1" "$2" | awk -v c="$1" '{v[NR]=$c} END {print v[int((NR + 1) / 2)]}'
}

vips_target() { # format out-base -> vips output with equal settings
  case "$1" in
    jpg) echo "$2.jpg[Q=90,subsample-mode=on,strip]" ;;
    png) echo "$2.png[compression=2,filter=all,strip]" ;;
    tif) echo "$2.tif[compression=lzw,predictor=horizontal,strip]" ;;
  esac
}

printf '%-8s %-4s | %-9s %8s %8s %8s | %-26s\n' "source" "to" "tool" "wall s" "cpu s" "peak MB" "ratio to vips (wall/cpu/mem)"
for size in 12 24; do
  src=$work/photo$size.jpg
  for format in jpg png tif; do
    : >"$work/m.txt"; : >"$work/v.txt"; : >"$work/b.txt"
    for _ in $(seq "$runs"); do
      measure "$tool" convert --format "$format" --out "$work/out" "$src" >>"$work/m.txt"
      if [ -n "$baseline" ]; then
        measure "$baseline" convert --format "$format" --out "$work/out" "$src" >>"$work/b.txt"
      fi
      measure vips copy "$src" "$(vips_target "$format" "$work/out/v")" >>"$work/v.txt"
    done
    vw=$(median 1 "$work/v.txt"); vc=$(median 2 "$work/v.txt"); vm=$(median 3 "$work/v.txt")
    row() { # label file
      local w c m
      w=$(median 1 "$2"); c=$(median 2 "$2"); m=$(median 3 "$2")
      printf '%-8s %-4s | %-9s %8.3f %8.3f %8.1f | %s\n' "${size} MP" "$format" "$1" "$w" "$c" "$(echo "$m / 1024" | bc -l)" \
        "$(awk -v w="$w" -v c="$c" -v m="$m" -v vw="$vw" -v vc="$vc" -v vm="$vm" \
          'BEGIN {printf "%.2f / %.2f / %.2f", w / vw, (vc > 0 ? c / vc : 0), m / vm}')"
    }
    row montara "$work/m.txt"
    [ -n "$baseline" ] && row baseline "$work/b.txt"
    row vips "$work/v.txt"
  done
done
echo "median of $runs runs each, interleaved; cpu = user + system; peak = maximum resident set size"
