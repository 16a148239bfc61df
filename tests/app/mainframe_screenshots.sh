#!/usr/bin/env bash
# Screenshots of the main window with a small collage and of its open menus, taken in a
# real X server (Xvfb). Usage: mainframe_screenshots.sh TEST_BINARY OUTPUT_FOLDER
set -eu
tests=$1
out=$2
mkdir -p "$out"
export QT_QPA_PLATFORM=xcb
MONTARA_SHOT_DIR=$(cd "$out" && pwd) xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$tests" --gtest_filter='MainFrameScreenshot.*'
ls "$out"
