#!/usr/bin/env bash
# Install time and peak memory of a 200-entry resource pack. Builds one photo-frame pack
# of 200 frames (the starter frames over and over: 640 x 480 PNG pictures, 120-pixel
# thumbnails) and one clip-art pack of 200 pictures, installs each into an empty data
# folder and into one that already holds them, and prints the figures of /usr/bin/time.
# Usage: pack_install.sh [BUILD_DIR]
set -eu
build=${1:-build}
tool=$build/tools/montara-tool
art=$build/resources/starter/art
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

measure() { # label pack data-folder
  /usr/bin/time -f "%e s, %M KB peak" "$tool" pack install --data "$3" "$2" 2>"$work/time" >/dev/null \
    || { cat "$work/time"; return 1; }
  echo "$1: $(tail -1 "$work/time")"
}

for category in frames clipart; do
  list=$art/$category.txt
  # 200 entries: the pictures of the list repeated.
  entries=()
  while [ ${#entries[@]} -lt 200 ]; do
    while read -r line && [ ${#entries[@]} -lt 200 ]; do entries+=("$line"); done < "$list"
  done
  args=()
  for line in "${entries[@]}"; do
    set -- $line
    args+=("$1")
    [ $# -gt 1 ] && args+=(--opening "$2")
  done
  "$tool" pack build "$category" "$work/$category-a.qrs" "${args[@]}"
  cp "$work/$category-a.qrs" "$work/$category-b.qrs"
  size=$(stat -c %s "$work/$category-a.qrs")
  echo "$category pack of 200 entries: $((size / 1024)) KB"
  measure "  install into an empty data folder" "$work/$category-a.qrs" "$work/data-$category/"
  measure "  install after 200 entries already there" "$work/$category-b.qrs" "$work/data-$category/"
done
