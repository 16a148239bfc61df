#!/usr/bin/env bash
# Starts the editor in a real X server (Xvfb) and checks from a screenshot of the
# root window that the main window was drawn: dialog body, caption bar, the menu bar's
# frame line and the photo column in their colours.
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
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1" & pid=$!
  for i in $(seq 1 50); do
    sleep 0.2
    import -window root "$2" 2>/dev/null || continue
    body=$(convert "$2" -format "%[hex:p{8,400}]" info: 2>/dev/null)
    [ "${body:0:6}" = "DDDDDD" ] && break
  done
  kill $pid; wait $pid 2>/dev/null; true' _ "$exe" "$shot"
[ -f "$shot" ] || { echo "FAIL: no screenshot"; exit 1; }
body=$(convert "$shot" -format "%[hex:p{8,400}]" info:)
caption=$(convert "$shot" -format "%[hex:p{600,15}]" info:)
menubar=$(convert "$shot" -format "%[hex:p{600,57}]" info:)
column=$(convert "$shot" -format "%[hex:p{90,400}]" info:)
echo "body pixel $body, caption pixel $caption, menu bar line pixel $menubar, photo column pixel $column"
[ "${body:0:6}" = "DDDDDD" ] || { echo "FAIL: window body not drawn"; exit 1; }
[ "${caption:0:6}" = "CCD1D9" ] || { echo "FAIL: caption bar not drawn"; exit 1; }
[ "${menubar:0:6}" = "C8C8C8" ] || { echo "FAIL: menu bar not drawn"; exit 1; }
[ "${column:0:6}" = "FFFFFF" ] || { echo "FAIL: photo library column not drawn"; exit 1; }
echo "PASS"
