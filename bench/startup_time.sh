#!/usr/bin/env bash
# Time from process start to the main window shown, over N starts of the editor on the
# offscreen platform; prints every figure and the median. Usage: startup_time.sh [EXE] [N]
set -eu
exe=${1:-build/src/montara}
runs=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen TMPDIR=$work QT_LOGGING_RULES="montara.startup.info=true"
times=()
for i in $(seq 1 "$runs"); do
  log=$work/log$i
  start=$(date +%s%N)
  "$exe" 2>"$log" & pid=$!
  until grep -q "window shown" "$log" 2>/dev/null; do sleep 0.005; done
  end=$(date +%s%N)
  kill $pid; wait $pid 2>/dev/null || true
  inner=$(sed -n 's/.*window shown after \([0-9]*\) ms.*/\1/p' "$log")
  outer=$(( (end - start) / 1000000 ))
  times+=("$outer")
  echo "start $i: ${outer} ms from exec (${inner} ms inside the program)"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "median of $runs starts: ${sorted[$((runs / 2))]} ms"
