#!/usr/bin/env bash
# Starts the "Batch Convert" dialog in a real X server (Xvfb) with twelve pictures listed and
# a conversion to PNG running, takes a screenshot while it runs and checks from it that the
# dialog was drawn on its 230 grey and that the progress bar has started to fill; then that
# the converted files were written. Keeps the screenshot when a folder is given as the
# second argument.
set -u
demo=$1
keep=${2:-}
for tool in xvfb-run import convert xdotool; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work HOME=$work/home
unset QT_QPA_PLATFORM
mkdir -p "$work/in" "$work/out" "$HOME"
for i in $(seq 1 12); do
  convert -size 900x600 gradient:"rgb($((i * 20)),90,160)"-"rgb(240,200,60)" "$work/in/IMG_$((4100 + i)).jpg"
done

# The demo closes itself when its run has ended.
xvfb-run -a -s "-screen 0 1000x700x24" bash -c '
  "$1" "$2" --convert --quit "$3"/in/*.jpg & pid=$!
  sleep 3
  import -window root "$4"
  xdotool search --name "Batch Convert" getwindowgeometry --shell > "$5"
  wait $pid' _ "$demo" "$work/out" "$work" "$work/shot.png" "$work/geometry"
echo "demo exit status: $?"

status=0
[ -f "$work/shot.png" ] || { echo "FAIL: no screenshot"; exit 1; }
[ -n "$keep" ] && cp "$work/shot.png" "$keep/batch_convert.png"
. "$work/geometry" || { echo "FAIL: dialog window not found"; exit 1; }
count() { # picture colour
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:round(mean*w*h)]" info:
}
convert "$work/shot.png" -crop 560x375+"$X"+"$Y" "$work/dialog.png"
convert "$work/shot.png" -crop 518x8+$((X + 21))+$((Y + 346)) "$work/bar.png"
background=$(count "$work/dialog.png" "rgb(230,230,230)")
filled=$(count "$work/bar.png" "rgb(200,200,200)")
echo "dialog background: $background pixels of 230 grey; progress bar inside its frame: $filled filled"
[ "$background" -ge 15000 ] || { echo "FAIL: dialog background not drawn"; status=1; }
[ "$filled" -ge 8 ] || { echo "FAIL: progress bar not advancing"; status=1; }
[ "$filled" -lt $((518 * 8)) ] || { echo "FAIL: progress bar full while converting"; status=1; }
written=$(ls "$work/out" | grep -c '\.png$')
echo "written: $written of 12"
[ "$written" -eq 12 ] || { echo "FAIL: not every picture converted"; status=1; }
[ $status -eq 0 ] && echo "PASS"
exit $status
