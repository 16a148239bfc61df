#!/usr/bin/env bash
# Starts the control gallery in a real X server (Xvfb), grabs the screen and compares the
# colours the gallery names (its --probes file: "x y RRGGBB name") with the screenshot.
# With MONTARA_SHOT=FILE the screenshot is kept there.
set -u
exe=$1
if ! command -v xvfb-run >/dev/null || ! command -v import >/dev/null; then
  echo "SKIP: xvfb-run or ImageMagick's import is not installed"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work
unset QT_QPA_PLATFORM
shot=$work/shot.png
probes=$work/probes.txt
xvfb-run -a -s "-screen 0 1600x1400x24" bash -c '
  # The pointer away from the window, so no control shows hover by accident.
  command -v xdotool >/dev/null && xdotool mousemove 1599 1399
  "$1" --probes "$3" & pid=$!
  for i in $(seq 1 100); do
    sleep 0.1
    [ -f "$3" ] && break
  done
  sleep 0.3
  import -window root "$2" 2>/dev/null
  kill $pid; wait $pid 2>/dev/null; true' _ "$exe" "$shot" "$probes"
[ -f "$probes" ] || { echo "FAIL: the gallery did not write its probes"; exit 1; }
[ -f "$shot" ] || { echo "FAIL: no screenshot"; exit 1; }
[ -n "${MONTARA_SHOT:-}" ] && cp "$shot" "$MONTARA_SHOT"
failed=0
count=0
while read -r x y want name; do
  got=$(convert "$shot" -format "%[hex:p{$x,$y}]" info:)
  count=$((count + 1))
  if [ "${got:0:6}" != "$want" ]; then
    echo "FAIL: $name at $x,$y is $got, expected $want"
    failed=1
  fi
done < "$probes"
[ "$count" -gt 10 ] || { echo "FAIL: only $count probes"; exit 1; }
[ $failed -eq 0 ] || exit 1
echo "PASS: $count probes"
