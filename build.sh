#!/usr/bin/env bash
# Set-up, build and run in one step on Debian 12:
#   ./build.sh run    install what is missing, build, start the editor
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh asan   the same tests in a build with AddressSanitizer + UBSan
#   ./build.sh build  install what is missing and build only
#   ./build.sh fuzz [SECONDS [TARGET...]]  build the libFuzzer targets with clang (ASan +
#                     UBSan) in build-fuzz and run each for SECONDS (default 60), one after
#                     another, with an RSS limit of 1 GB and 5 s per input; findings and a
#                     summary in build-fuzz/runs/. TARGETs (project, library, language,
#                     picture, pack, photolib) run only those; none runs them all
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins
  libmagick++-6.q16-dev libjpeg62-turbo-dev libpng-dev libemf2svg-dev libtiff-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core fonts-urw-base35
  xvfb xauth imagemagick xdotool breeze-icon-theme ccache libvips-tools
  libglib2.0-bin gsettings-desktop-schemas
  openclipart-svg
)

# Only the fuzz mode needs clang and libFuzzer.
fuzz_packages=(clang libclang-rt-14-dev libfuzzer-14-dev)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "Missing Debian packages. Install them with:"
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}"
    exit 1
  fi
}

configure() { # build dir, extra cmake options...
  local dir=$1; shift
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja -DMONTARA_WERROR=ON "${launcher[@]}" "$@" >/dev/null
}

build() { # build dir, extra cmake options...
  configure "$@"
  cmake --build "$1" -j2
}

mode=${1:-}
case "$mode" in
  run)
    install_missing
    build build
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
      echo "No display: starting the editor under Xvfb"
      exec xvfb-run -a -s "-screen 0 1600x1000x24" build/src/montara
    fi
    exec build/src/montara
    ;;
  test)
    install_missing
    build build
    ctest --test-dir build --output-on-failure -j2
    ;;
  asan)
    install_missing
    build build-asan -DMONTARA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DMONTARA_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=0 MONTARA_SOAK_OPERATIONS=10000 ctest --test-dir build-asan --output-on-failure -j2
    ;;
  build)
    install_missing
    build build
    ;;
  fuzz)
    seconds=${2:-60}
    all_targets=(project library language picture pack photolib)
    targets=("${@:3}")
    [ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
    for target in "${targets[@]}"; do
      [[ " ${all_targets[*]} " == *" $target "* ]] || { echo "no fuzz target $target (${all_targets[*]})" >&2; exit 2; }
    done
    packages+=("${fuzz_packages[@]}")
    install_missing
    CC=clang CXX=clang++ configure build-fuzz -DMONTARA_FUZZ=ON -DMONTARA_BUILD_TESTS=OFF -DMONTARA_BUILD_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}" montara-fuzz-seeds
    fuzz/make_seeds.sh build-fuzz build-fuzz/seeds
    runs=build-fuzz/runs
    mkdir -p "$runs"
    # One picture may take the whole budget (512 MB); the sanitizer's hold of freed memory
    # is kept small so that it does not stack on top of that under the 1 GB limit.
    export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1:quarantine_size_mb=64
    export UBSAN_OPTIONS=print_stacktrace=1
    for target in "${targets[@]}"; do
      work="$runs/$target"
      mkdir -p "$work/corpus" "$work/findings"
      # Inputs that once failed are run again first (fuzz/regressions/TARGET-*).
      for kept in fuzz/regressions/"$target"-*; do
        [ -e "$kept" ] || continue
        "build-fuzz/fuzz/fuzz_$target" -rss_limit_mb=1024 -timeout=5 "$kept" >/dev/null 2>&1 \
          || { echo "regression $kept fails again" >&2; exit 1; }
      done
      echo "fuzz_$target: $seconds s"
      (cd "$work" && "../../fuzz/fuzz_$target" corpus ../../seeds/$target \
         -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=5 -jobs=1 -workers=1 \
         -artifact_prefix=findings/ -print_final_stats=1 >/dev/null 2>&1) || true
      log="$work/fuzz-0.log"
      { grep -E "^#[0-9]+.*(DONE|pulse|NEW|REDUCE)" "$log" | tail -1
        grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$log"
        echo "findings: $(find "$work/findings" -type f | wc -l)"; } | tee "$work/summary.txt"
    done
    ;;
  *)
    echo "usage: ./build.sh run|test|asan|build|fuzz [SECONDS [TARGET...]]" >&2
    exit 2
    ;;
esac
