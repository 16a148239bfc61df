#!/usr/bin/env bash
# Starts the controls window in a real X server (Xvfb) once per control and checks from a
# screenshot of the root window that each was drawn: the menu's side bar and background, the
# list box's scroll bars, the combo box's open list. Keeps the screenshots when a folder is
# given as the second argument.
set -u
demo=$1
keep=${2:-}
if ! command -v xvfb-run >/dev/null || ! command -v import >/dev/null; then
  echo "SKIP: xvfb-run or ImageMagick's import is not installed"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work
unset QT_QPA_PLATFORM

# Pixels of exactly this colour in the picture.
count() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:round(mean*w*h)]" info:
}

status=0
check() { # mode colour least what
  local shot=$work/$1.png
  xvfb-run -a -s "-screen 0 1000x700x24" bash -c '
    "$1" "$2" & pid=$!
    sleep 2
    import -window root "$3"
    kill $pid; wait $pid 2>/dev/null; true' _ "$demo" "$1" "$shot"
  [ -f "$shot" ] || { echo "FAIL: no screenshot of $1"; status=1; return; }
  [ -n "$keep" ] && cp "$shot" "$keep/"
  local n
  n=$(count "$shot" "$2")
  echo "$1: $n pixels of $2 ($4)"
  [ "$n" -ge "$3" ] || { echo "FAIL: $4 not drawn"; status=1; }
}

check menu "rgb(0,0,192)" 20 "side bar gradient, blue end"
check menu "rgb(223,225,229)" 2000 "icon column"
check flat "rgb(234,235,237)" 20000 "menu background"
check list "rgb(244,245,247)" 3000 "scroll bar tracks"
check combo "rgb(118,124,135)" 300 "open list frame"
[ $status -eq 0 ] && echo "PASS"
exit $status
