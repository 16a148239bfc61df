#!/usr/bin/env bash
# Time and peak memory of montara-tool on the hostile reproducers (made by the test
# suite through MONTARA_HOSTILE_OUT) and on a real 100 MP photo (made with the picture
# library's command-line tool). Usage: bench/hostile_inputs.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
tool="$build/tools/montara-tool"
tests="$build/tests/editing/editing_hostile_input_tests"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
MONTARA_HOSTILE_OUT="$work/in" QT_QPA_PLATFORM=offscreen "$tests" \
  --gtest_filter='HostileFilesForMeasuring.*' >/dev/null
convert -size 10000x10000 gradient:red-blue -quality 85 "$work/in/photo-100mp.jpg"
convert "$work/in/photo-100mp.jpg" -interlace JPEG -quality 85 "$work/in/photo-100mp-progressive.jpg"

measure() { # label, command...
  local label=$1; shift
  local status seconds kb
  if /usr/bin/time -f "%e %M" timeout 120 "$@" >/dev/null 2>"$work/err"; then status=0; else status=$?; fi
  read -r seconds kb < <(tail -1 "$work/err")
  printf "%-44s exit %d  %6.2f s  %7d MB\n" "$label" "$status" "$seconds" $((kb / 1024))
}

printf "%-44s %s\n" "input / command" "exit, time, peak memory"
for f in "$work"/in/*; do
  name=$(basename "$f")
  case "$name" in
    *.vmz)
      measure "$name render" "$tool" render "$f" "$work/out.png" ;;
    *)
      measure "$name info" "$tool" info "$f"
      measure "$name thumbnail" "$tool" thumbnail "$f" "$work/t.jpg"
      measure "$name convert" "$tool" convert --format png --out "$work/out" "$f"
      rm -rf "$work/out" ;;
  esac
done
