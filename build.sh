#!/usr/bin/env bash
# Set-up, build and run in one step on Debian 12:
#   ./build.sh run    install what is missing, build, start the editor
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh asan   the same tests in a build with AddressSanitizer + UBSan
#   ./build.sh build  install what is missing and build only
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins
  libmagick++-6.q16-dev libjpeg62-turbo-dev libemf2svg-dev libtiff-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core fonts-urw-base35
  xvfb xauth imagemagick xdotool breeze-icon-theme ccache libvips-tools
  libglib2.0-bin gsettings-desktop-schemas
)

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

build() { # build dir, extra cmake options...
  local dir=$1; shift
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja -DMONTARA_WERROR=ON "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j2
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
    ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j2
    ;;
  build)
    install_missing
    build build
    ;;
  *)
    echo "usage: ./build.sh run|test|asan|build" >&2
    exit 2
    ;;
esac
