#!/usr/bin/env bash
# Starts the editor in a real X server (Xvfb) and checks from a screenshot of the
# root window that the main window was drawn: caption band and body in their colours.
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
    body=$(convert "$2" -format "%[hex:p{640,400}]" info: 2>/dev/null)
    [ "${body:0:6}" = "E9ECF1" ] && break
  done
  kill $pid; wait $pid 2>/dev/null; true' _ "$exe" "$shot"
[ -f "$shot" ] || { echo "FAIL: no screenshot"; exit 1; }
caption=$(convert "$shot" -format "%[hex:p{400,12}]" info:)
body=$(convert "$shot" -format "%[hex:p{640,400}]" info:)
echo "caption pixel $caption, body pixel $body"
[ "${caption:0:6}" = "2B3A55" ] || { echo "FAIL: caption band not drawn"; exit 1; }
[ "${body:0:6}" = "E9ECF1" ] || { echo "FAIL: window body not drawn"; exit 1; }
echo "PASS"
